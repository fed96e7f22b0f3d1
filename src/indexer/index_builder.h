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
// from other threads. A build stopped before it finished leaves the previous
// index as it was.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
  /// `templatesDir` holds the search page templates and bullet.gif.
  explicit IndexBuilder(int tick_pause_ms = 100, std::filesystem::path templates_dir = "templates");
  ~IndexBuilder() override;

  /// Takes the build's options, logs the configuration to the build log
  /// "Indexing" and appends the build's description to `description`. True
  /// when both the source and the target folder are set.
  [[nodiscard]] bool configure(const IndexOptions& options, std::string* description);

  int step() override;
  void finish() override;

  const std::string& SourceFolder() const { return source_folder_; }
  const std::string& TargetFolder() const { return target_folder_; }
  const std::string& OutputFolder() const { return output_folder_; }
  const std::string& PageListFile() const { return page_list_file_; }
  long FilesIndexed() const { return files_indexed_; }
  /// The pages indexed so far, in page-list order.
  const std::vector<PageRecord>& Pages() const { return pages_; }

 private:
  void StepEntry();
  void EndPass();
  void Analyse(FileEntry& file);
  FolderListing& CurrentFolder() { return *folders_.back(); }
  std::string ShortPath(const std::string& path) const;
  void LogMessage(int level, const std::string& text);

  std::filesystem::path templates_dir_;
  std::unique_ptr<LockingLog> build_log_;

  std::string source_folder_;
  std::string target_folder_;
  std::string output_folder_;
  std::string page_list_file_;
  std::string page_entries_;
  std::vector<PageRecord> pages_;
  std::string site_map_file_;
  std::string stems_;
  StopList stop_list_;
  WordRules word_rules_;
  int summary_length_ = 512;

  std::unique_ptr<SourceWalker> walker_;
  // The open folders of the depth-first walk: the root at the bottom, the
  // folder being listed on top; the ones below it are suspended.
  std::vector<std::unique_ptr<FolderListing>> folders_;
  std::unique_ptr<SourceEntry> current_entry_;

  std::vector<WordTable> index_tables_;
  WordTable page_words_;
  std::string content_;
  std::optional<IndexFileSet> index_files_;

  int page_number_ = 0;
  int phase_ = 0;
  long units_done_ = 0;
  float scale_ = 0;
  int bucket_cursor_ = 0;
  long files_indexed_ = 0;
};

}  // namespace vossik
