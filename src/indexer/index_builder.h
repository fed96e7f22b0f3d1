// IndexBuilder is one run of the site index build. It takes its options,
// then, one small step per tick on its worker thread, counts the
// accepted files, analyses every page into the 256 word tables, writes one
// index file per bucket, and finally publishes the index with its page list
// and search pages. A new builder is made for every build.
//
// Ownership: the builder owns its tables, listings, texts and build log; a
// started builder is owned through TaskPtr (see worker_thread.h).
// Thread safety: configure() runs before start(), on the caller's thread;
// afterwards only the thread-safe operations of ProgressTask may be called
// from other threads. A build stopped before it finished, or one that
// failed, leaves the previous index as it was: every output is written
// under a temporary name and published together at the end (IndexFileSet).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "indexer/index_options.h"
#include "indexer/index_writer.h"
#include "indexer/pages_report.h"
#include "indexer/robots_rules.h"
#include "indexer/source_walker.h"
#include "indexer/word_rules.h"
#include "indexer/word_table.h"
#include "indexer/worker_thread.h"

namespace vossik {

class LockingLog;

/// The name of the build log, which names the pages report beside it too.
inline constexpr std::string_view kBuildLogName = "Indexing";

class IndexBuilder : public ProgressTask {
 public:
  /// `timeSliceMs` as for ProgressTask. Each template is read from the
  /// first of `templateFolders` that holds it.
  IndexBuilder(int time_slice_ms, std::vector<std::filesystem::path> template_folders);
  /// Templates from `templatesDir` alone.
  explicit IndexBuilder(int time_slice_ms = kWindowTimeSliceMs,
                        const std::filesystem::path& templates_dir = "templates");
  ~IndexBuilder() override;

  /// Takes the build's options, logs the configuration to the build log
  /// "Indexing" and appends the build's description to `description`. True
  /// when the build can start: both folders are set and the website folder
  /// is a folder. Otherwise ConfigureError() says why, and nothing has been
  /// created. An index that an earlier run left half published is finished
  /// here first.
  [[nodiscard]] bool configure(const IndexOptions& options, std::string* description);
  /// Why configure() returned false.
  const std::string& ConfigureError() const { return configure_error_; }

  int step() override;
  void finish() override;

  const std::string& SourceFolder() const { return source_folder_; }
  const std::string& TargetFolder() const { return target_folder_; }
  const std::string& OutputFolder() const { return output_folder_; }
  const std::string& PageListFile() const { return page_list_file_; }
  long FilesIndexed() const { return files_indexed_; }
  /// Files and folders passed over because they could not be read or are
  /// not text.
  long FilesSkipped() const { return files_skipped_; }
  /// The pages indexed so far, in page-list order.
  const std::vector<PageRecord>& Pages() const { return pages_; }

 private:
  using FolderId = std::pair<dev_t, ino_t>;

  void StepEntry();
  void Descend();
  void EndPass();
  void Analyse(FileEntry& file);
  void StartWalk();
  void Skip(const std::string& why);
  void Fail(const std::string& error);
  bool CheckFolders(const IndexOptions& options);
  std::string CompleteText() const;
  FolderListing& CurrentFolder() { return *folders_.back(); }
  std::string ShortPath(const std::string& path) const;
  void LogMessage(int level, const std::string& text);

  std::vector<std::filesystem::path> template_folders_;
  std::unique_ptr<LockingLog> build_log_;
  std::string configure_error_;
  std::string failure_;  // worker thread only; the task's Failure() is the public copy

  std::string source_folder_;
  std::string target_folder_;
  std::string output_folder_;
  std::string page_list_file_;
  std::string page_entries_;
  std::vector<PageRecord> pages_;
  std::string site_map_file_;
  std::string site_map_links_;
  std::string stems_;
  StopList stop_list_;
  WordRules word_rules_;
  int summary_length_ = 512;

  std::unique_ptr<SourceWalker> walker_;
  // The open folders of the depth-first walk: the root at the bottom, the
  // folder being listed on top; the ones below it are suspended.
  std::vector<std::unique_ptr<FolderListing>> folders_;
  std::unique_ptr<SourceEntry> current_entry_;
  // Every folder entered in this pass, so that symbolic links that lead
  // back up the tree (or to a folder already walked) are not walked again.
  std::set<FolderId> visited_;

  std::vector<WordTable> index_tables_;
  WordTable page_words_;
  std::string content_;
  std::optional<IndexFileSet> index_files_;

  int page_number_ = 0;
  int phase_ = 0;
  bool analysed_ = false;  // the analysing pass ran: the links file is this build's
  long units_done_ = 0;
  float scale_ = 0;
  int bucket_cursor_ = 0;
  long files_indexed_ = 0;
  long files_skipped_ = 0;
};

}  // namespace vossik
