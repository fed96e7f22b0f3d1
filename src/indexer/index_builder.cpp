#include "indexer/index_builder.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

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

std::string CompleteText(long files_indexed) {
  return "Complete (" + std::to_string(files_indexed) + " files indexed)";
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

IndexBuilder::IndexBuilder(int tick_pause_ms, std::filesystem::path templates_dir)
    : ProgressTask(tick_pause_ms),
      templates_dir_(std::move(templates_dir)),
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
  // Turned to "/" before the join, so that a target written a\b is one
  // folder path and not a folder named "a\b".
  target_folder_ = TargetWithSlashes(options.target_folder);
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
  current_entry_ = CurrentFolder().firstEntry();
  phase_ = 0;

  stems_ = buildStems();

  return !source_folder_.empty() && !target_folder_.empty();
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
  if (current_entry_) {
    StepEntry();
  } else {
    EndPass();
  }
  return 1;
}

void IndexBuilder::StepEntry() {
  if (current_entry_->IsFolder()) {
    if (walker_->ShouldDescend(current_entry_->Path())) {
      std::unique_ptr<FolderListing> folder(static_cast<FolderListing*>(current_entry_.release()));
      folders_.push_back(std::move(folder));
      current_entry_ = CurrentFolder().firstEntry();
    } else {
      current_entry_.reset();
      current_entry_ = CurrentFolder().nextEntry();
    }
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

void IndexBuilder::Analyse(FileEntry& file) {
  if (!file.Open()) return;
  ++files_indexed_;
  content_.clear();
  const bool read = file.ReadWhole(&content_);
  file.Close();
  if (!read || content_.empty()) return;
  const ExtractedPage page =
      extractPage(file.Path(), content_, source_folder_, summary_length_, site_map_file_);
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
      current_entry_ = CurrentFolder().firstEntry();
      files_indexed_ = 0;
      // The links file describes this build's pages only.
      if (!site_map_file_.empty()) TruncateSiteMapLinks(site_map_file_);
    } else {
      units_done_ = 1;
      scale_ = 0.01f;
      setProgress(100, "Nothing to do");
      if (TickPauseMs() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
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
    index_files_->WriteBucket(bucket_cursor_, index_tables_[bucket_cursor_]);
    ++bucket_cursor_;
  } else {
    setProgress(100, CompleteText(files_indexed_));
    if (TickPauseMs() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

void IndexBuilder::finish() {
  // The bucket files go live first and the page list last, each by a
  // rename, so a reader never sees page numbers of another build.
  const bool published = !index_files_ || index_files_->Publish();
  if (published && !page_list_file_.empty() && !page_entries_.empty()) {
    writePageList(page_list_file_, page_entries_);
  }
  // The report describes the index as published; a build that could not
  // publish leaves the report of the index that stands.
  if (published) {
    std::string reason;
    if (!WritePagesReport(PagesReportPath(kBuildLogName), pages_, &reason)) {
      LogMessage(kLogGeneral, "Pages report not written: " + reason);
    }
  }
  TemplateValues values;
  values.index_dir = target_folder_;
  values.stems = stems_;
  values.stop_list = stop_list_.text;
  instantiateTemplate(templates_dir_, "vkfunctions.js", output_folder_, values);
  instantiateTemplate(templates_dir_, "vkexample.html", output_folder_, values);
  instantiateTemplate(templates_dir_, "vkexample.html", output_folder_, values,
                      "offlineexample.html", output_folder_);
  copyBulletImage(templates_dir_, output_folder_);
  setProgress(100, CompleteText(files_indexed_));
  LogMessage(kLogGeneral, CompleteText(files_indexed_));
  if (TickPauseMs() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace vossik
