#include "indexer/index_builder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_io.h"
#include "base/result_codes.h"
#include "indexer/output_folder.h"
#include "indexer/page_extractor.h"
#include "indexer/pattern_list.h"
#include "indexer/search_templates.h"
#include "log/log.h"

namespace vossik {
namespace {

constexpr int kBuckets = 256;
constexpr int kIndexTableChains = 256;
constexpr int kPageWordChains = 1024;
// Units of the generating pass: 8 per bucket, reserved when counting ends.
constexpr long kUnitsPerBucket = 8;
constexpr long kGeneratingUnits = kBuckets * kUnitsPerBucket;
constexpr uint64_t kBytesPerUnit = 4096;

std::string Formatted(const char* format, const std::string& argument) {
  const int size = std::snprintf(nullptr, 0, format, argument.c_str());
  std::string out(static_cast<std::size_t>(size), '\0');
  std::snprintf(out.data(), out.size() + 1, format, argument.c_str());
  return out;
}

constexpr const char* kMissingFolders =
    "You must specify some content to index (Source files) and a target folder";

// The templates a build fills, in the order it publishes their outputs.
constexpr const char* kScriptTemplate = "vkfunctions.js";
constexpr const char* kPageTemplate = "vkexample.html";
constexpr const char* kOfflinePage = "offlineexample.html";
constexpr const char* kBulletImage = "bullet.gif";

// A folder written by an earlier build, perhaps under another search folder
// setting: its search pages are not the site's content.
bool HoldsSearchIndex(const std::string& folder) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(folder + "/sitemap.js", ignored) &&
         std::filesystem::is_regular_file(folder + "/vkindex0.js", ignored);
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += ',';
    out += items[i];
  }
  return out;
}

}  // namespace

IndexBuilder::IndexBuilder(int time_slice_ms, const std::filesystem::path& templates_dir)
    : IndexBuilder(time_slice_ms, std::vector<std::filesystem::path>{templates_dir}) {}

IndexBuilder::IndexBuilder(int time_slice_ms, std::vector<std::filesystem::path> template_folders)
    : ProgressTask(time_slice_ms),
      template_folders_(std::move(template_folders)),
      page_words_(kPageWordChains) {
  index_tables_.reserve(kBuckets);
  for (int i = 0; i < kBuckets; ++i) index_tables_.emplace_back(kIndexTableChains);
}

IndexBuilder::~IndexBuilder() = default;

void IndexBuilder::LogMessage(int level, const std::string& text) {
  build_log_->Write(kLogMessage, level, text);
}

bool IndexBuilder::configure(const IndexOptions& options, std::string* description) {
  build_log_ = std::make_unique<LockingLog>(std::string(kBuildLogName), false, true);
  build_log_->Configure(options.build_log);
  LogMessage(kLogGeneral, "Configuring indexer");

  source_folder_ = options.source_folder;
  *description += "Indexing ";
  *description += "files from:\r\n";
  *description += source_folder_;
  LogMessage(kLogGeneral, Formatted("Configured to index files from %s", source_folder_));

  if (options.recurse) {
    *description += "\r\n\t(and all subdirectories)";
    LogMessage(kLogDebug, "Indexing subdirs");
  } else {
    LogMessage(kLogDebug, "Not indexing subdirs");
  }

  *description += "\r\nto:\r\n";
  LogMessage(kLogGeneral, Formatted("Storing index in %s", options.target_folder));
  if (!CheckFolders(options)) {
    LogMessage(kLogGeneral, configure_error_);
    return false;
  }
  output_folder_ = OutputFolderFor(source_folder_, target_folder_);
  *description += output_folder_;
  *description += "\r\n\r\n";
  page_list_file_ = output_folder_ + "/sitemap.js";
  site_map_file_ = options.site_map_file;

  WalkRules rules;
  rules.source_folder = source_folder_;
  rules.output_folder = output_folder_;
  rules.recurse = options.recurse;
  struct ListSetting {
    const std::optional<std::vector<std::string>>& items;
    std::optional<PatternList>* list;
    const char* caption;
    bool describe_when_empty;
  };
  const ListSetting lists[] = {
      {options.type_include, &rules.type_include, "\t- only files matching the types ", true},
      {options.type_exclude, &rules.type_exclude, "\t- not indexing files matching the types ",
       true},
      {options.match_include, &rules.match_include, "\t- indexing files matching ", false},
      {options.match_exclude, &rules.match_exclude, "\t- not indexing files matching ", false},
  };
  for (const ListSetting& setting : lists) {
    if (!setting.items) continue;
    setting.list->emplace(*setting.items);
    const PatternList& list = **setting.list;
    if (!setting.describe_when_empty && list.Empty()) continue;
    *description += setting.caption;
    *description += Joined(list.Items());
    *description += "\r\n";
  }

  rules.robots.Read(source_folder_, options.robot_name, build_log_.get());

  word_rules_.min_word_length = options.min_word_length;
  word_rules_.include_mixed_numbers = options.include_mixed_numbers;
  summary_length_ = options.summary_length;
  stop_list_ = buildStopList(options.stop_list);
  word_rules_.stop_words = stop_list_.words.get();

  walker_ = std::make_unique<SourceWalker>(std::move(rules));
  folders_.clear();
  folders_.push_back(std::make_unique<FolderListing>(source_folder_));
  StartWalk();
  phase_ = 0;

  stems_ = buildStems();

  std::string recovered;
  std::string error;
  if (!RecoverPublish(output_folder_, site_map_file_, &recovered, &error)) {
    failure_ = error;
  } else if (!recovered.empty()) {
    LogMessage(kLogGeneral, recovered);
  }
  // A missing template fails the build before it starts rather than after
  // the whole site has been read.
  for (const char* name : {kScriptTemplate, kPageTemplate, kBulletImage}) {
    if (!failure_.empty()) break;
    if (FindTemplate(template_folders_, name).empty()) {
      std::string places;
      for (const std::filesystem::path& folder : template_folders_) {
        places += places.empty() ? "" : ", ";
        places += folder.string();
      }
      failure_ = "cannot find the template '" + std::string(name) + "' (looked in " + places + ")";
    }
  }
  return true;
}

bool IndexBuilder::CheckFolders(const IndexOptions& options) {
  if (source_folder_.empty() || options.target_folder.empty()) {
    configure_error_ = kMissingFolders;
    return false;
  }
  const std::string quoted = "'" + source_folder_ + "'";
  struct stat state {};
  if (source_folder_.find('\0') != std::string::npos ||
      options.target_folder.find('\0') != std::string::npos) {
    configure_error_ = "Website folder " + quoted + " is not a valid folder name";
    return false;
  }
  if (::stat(source_folder_.c_str(), &state) != 0) {
    const int error = errno;
    configure_error_ =
        error == ENOENT || error == ENOTDIR
            ? "Website folder " + quoted + " does not exist"
            : "Website folder " + quoted + " cannot be read: " + std::strerror(error);
    return false;
  }
  if (!S_ISDIR(state.st_mode)) {
    configure_error_ = "Website folder " + quoted + " is not a folder";
    return false;
  }
  // Turned to "/" before the join, so that a target written a\b is one
  // folder path and not a folder named "a\b".
  return ResolveTargetFolder(source_folder_, options.target_folder, &target_folder_,
                             &configure_error_);
}

void IndexBuilder::StartWalk() {
  visited_.clear();
  struct stat state {};
  if (::stat(source_folder_.c_str(), &state) == 0) visited_.insert({state.st_dev, state.st_ino});
  current_entry_ = CurrentFolder().firstEntry();
  if (phase_ == 1 && !CurrentFolder().ListError().empty()) {
    Skip("cannot read the folder " + source_folder_ + ": " + CurrentFolder().ListError());
  }
}

void IndexBuilder::Skip(const std::string& why) {
  ++files_skipped_;
  const std::string line = "Warning: " + why;
  build_log_->Write(kLogWarning, kLogGeneral, why);
  Notify(line);
}

void IndexBuilder::Fail(const std::string& error) {
  failure_ = error;
  build_log_->Write(kLogError, kLogCritical, error);
  Notify("Error: " + error);
  SetFailure("Build failed: " + error + "; the previous index is unchanged");
}

std::string IndexBuilder::CompleteText() const {
  std::string text = "Complete (" + std::to_string(files_indexed_) + " files indexed";
  if (files_skipped_ > 0) text += ", " + std::to_string(files_skipped_) + " skipped";
  return text + ")";
}

std::string IndexBuilder::ShortPath(const std::string& path) const {
  if (source_folder_.empty()) return path;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = path.find(source_folder_, from)) != std::string::npos;) {
    out.append(path, from, at - from);
    out += "...";
    from = at + source_folder_.size();
  }
  out.append(path, from, std::string::npos);
  return out;
}

int IndexBuilder::step() {
  if (!failure_.empty()) {
    // A failure found while configuring ends the build before any work.
    Fail(failure_);
    return 1;
  }
  if (current_entry_) {
    StepEntry();
  } else {
    EndPass();
  }
  return 1;
}

void IndexBuilder::StepEntry() {
  if (current_entry_->IsFolder()) {
    Descend();
  } else {
    auto& file = static_cast<FileEntry&>(*current_entry_);
    const bool accepted = walker_->Accepts(file.Path());
    units_done_ += 1;
    if (accepted) units_done_ += std::max<long>(1, static_cast<long>(file.Size() / kBytesPerUnit));
    if (phase_ == 0) {
      setProgress(0, "Scanning [" + ShortPath(file.Path()) + "]...");
    } else if (accepted) {
      LogMessage(kLogFull, Formatted("Analyzing %s", file.Path()));
      setProgress(static_cast<int>(static_cast<float>(units_done_) / scale_),
                  "Analyzing [" + ShortPath(file.Path()) + "]...");
      Analyse(file);
    } else {
      LogMessage(kLogFull, Formatted("Skipping %s", file.Path()));
      setProgress(static_cast<int>(static_cast<float>(units_done_) / scale_),
                  "Skipping [" + ShortPath(file.Path()) + "]...");
    }
    current_entry_.reset();
    current_entry_ = CurrentFolder().nextEntry();
  }
  // A finished folder hands the walk back to the folder it was found in.
  while (!current_entry_ && folders_.size() > 1) {
    folders_.pop_back();
    current_entry_ = CurrentFolder().nextEntry();
  }
}

void IndexBuilder::Descend() {
  const std::string& path = current_entry_->Path();
  // Only the analysing pass speaks, so each line is written once.
  const bool report = phase_ == 1;
  bool enter = walker_->ShouldDescend(path);
  if (enter && HoldsSearchIndex(path)) {
    if (report) LogMessage(kLogGeneral, Formatted("Skipping %s: it holds a search index", path));
    enter = false;
  }
  if (enter) {
    struct stat state {};
    if (::stat(path.c_str(), &state) != 0) {
      if (report) Skip("cannot read the folder " + path + ": " + std::strerror(errno));
      enter = false;
    } else if (!visited_.insert({state.st_dev, state.st_ino}).second) {
      if (report) {
        LogMessage(kLogGeneral,
                   Formatted("Skipping %s: a link to a folder that is walked already", path));
      }
      enter = false;
    }
  }
  if (!enter) {
    current_entry_.reset();
    current_entry_ = CurrentFolder().nextEntry();
    return;
  }
  std::unique_ptr<FolderListing> folder(static_cast<FolderListing*>(current_entry_.release()));
  folders_.push_back(std::move(folder));
  current_entry_ = CurrentFolder().firstEntry();
  if (report && !CurrentFolder().ListError().empty()) {
    Skip("cannot read the folder " + CurrentFolder().Path() + ": " + CurrentFolder().ListError());
  }
}

void IndexBuilder::Analyse(FileEntry& file) {
  std::string reason;
  if (!file.Open(&reason)) {
    Skip("cannot read " + file.Path() + ": " + reason);
    return;
  }
  content_.clear();
  const bool read = file.ReadWhole(&content_, &reason);
  file.Close();
  if (!read) {
    Skip("cannot read " + file.Path() + ": " + reason);
    return;
  }
  if (const std::string_view kind = NotTextReason(content_); !kind.empty()) {
    ++files_skipped_;
    LogMessage(kLogGeneral, "Skipping " + file.Path() + ": " + std::string(kind));
    return;
  }
  ++files_indexed_;
  if (content_.empty()) return;
  const ExtractedPage page = extractPage(file.Path(), content_, source_folder_, summary_length_);
  if (!site_map_file_.empty()) AppendSiteMapLink(site_map_links_, page.url, page.site_map_title);
  collectWords(page.word_text, word_rules_, page_words_);
  ++page_number_;
  AppendPageEntry(page_entries_, page);
  PageRecord record;
  record.url = page.url;
  record.title = page.title;
  // The file as it lies on the disk, as the service reports it too.
  struct stat info {};
  if (stat(file.Path().c_str(), &info) == 0) {
    record.size = static_cast<uint64_t>(info.st_size);
    record.modified = info.st_mtime;
  }
  record.words = static_cast<long>(page_words_.Size());
  pages_.push_back(std::move(record));
  mergePage(page_words_, page_number_, index_tables_);
}

void IndexBuilder::EndPass() {
  if (phase_ == 0) {
    page_number_ = 0;
    phase_ = 1;
    if (units_done_ != 0) {
      scale_ = static_cast<float>(units_done_ + kGeneratingUnits) * 0.01f;
      units_done_ = 0;
      setProgress(0, "Indexing...");
      files_indexed_ = 0;
      files_skipped_ = 0;
      analysed_ = true;
      StartWalk();
    } else {
      // Straight to the end of the generating pass, which reports the
      // completion once "Nothing to do" has been seen.
      units_done_ = 1;
      scale_ = 0.01f;
      phase_ = 2;
      bucket_cursor_ = kBuckets;
      setProgress(0, "Nothing to do");
    }
  } else if (phase_ == 1) {
    LogMessage(kLogGeneral, "Generating Index...");
    phase_ = 2;
    bucket_cursor_ = 0;
    index_files_.emplace(output_folder_);
  } else if (bucket_cursor_ < kBuckets) {
    units_done_ += kUnitsPerBucket;
    // Kept below 100 until the last step; on a tiny site the first buckets
    // would otherwise report -1.
    setProgress(std::max(0, static_cast<int>(static_cast<float>(units_done_) / scale_) - 1),
                "Generating Index...");
    std::string error;
    if (!index_files_->WriteBucket(bucket_cursor_, index_tables_[bucket_cursor_], &error)) {
      Fail(error);
      return;
    }
    ++bucket_cursor_;
  } else {
    setProgress(100, CompleteText());
  }
}

void IndexBuilder::finish() {
  if (!failure_.empty()) {
    if (index_files_) index_files_->Discard();
    return;
  }
  // Everything is written under temporary names first and then published
  // together, the bucket files first and the page list last, so that a
  // failure leaves the previous index whole and a reader never sees page
  // numbers of another build.
  if (!index_files_) index_files_.emplace(output_folder_);
  IndexFileSet& files = *index_files_;
  TemplateValues values;
  values.index_dir = target_folder_;
  values.stems = stems_;
  values.stop_list = stop_list_.text;
  // Templates are filled; the bullet image is copied as it is.
  const auto stage_template = [&](const char* name, const char* output, bool fill,
                                  const std::string& offline_path) {
    const std::filesystem::path source = FindTemplate(template_folders_, name);
    std::string text;
    std::string reason = std::strerror(ENOENT);
    if (source.empty() || !ReadWholeFile(source, &text, &reason)) {
      Fail(FileErrorText("read the template", source.empty() ? name : source, reason));
      return false;
    }
    if (fill) text = FillTemplate(std::move(text), values, offline_path);
    std::string error;
    if (!files.Stage(output_folder_ + "/" + output, text, &error)) {
      Fail(error);
      return false;
    }
    return true;
  };
  if (!stage_template(kScriptTemplate, kScriptTemplate, true, {}) ||
      !stage_template(kPageTemplate, kPageTemplate, true, {}) ||
      !stage_template(kPageTemplate, kOfflinePage, true, output_folder_) ||
      !stage_template(kBulletImage, kBulletImage, false, {})) {
    files.Discard();
    return;
  }
  std::string error;
  if (analysed_ && !site_map_file_.empty() &&
      !files.Stage(site_map_file_, site_map_links_, &error)) {
    Fail(error);
    files.Discard();
    return;
  }
  if (!page_list_file_.empty() && !page_entries_.empty() &&
      !files.Stage(page_list_file_, RenderPageList(page_entries_), &error)) {
    Fail(error);
    files.Discard();
    return;
  }
  if (!files.Publish(&error)) {
    Fail(error);
    return;
  }
  // The report describes the index as published; a build that could not
  // publish leaves the report of the index that stands.
  std::string reason;
  if (!WritePagesReport(PagesReportPath(kBuildLogName), pages_, &reason)) {
    LogMessage(kLogGeneral, "Pages report not written: " + reason);
  }
  setProgress(100, CompleteText());
  LogMessage(kLogGeneral, CompleteText());
}

}  // namespace vossik
