// The walk over the site's folder tree: FolderListing enumerates one folder,
// FileEntry reads one page, and SourceWalker decides which sub-folders are
// walked and which files are indexed. The build walks the same tree twice
// (counting, then analysing), so the verdicts depend on the path alone.
//
// Paths are built by joining with "/". Entries are owned by whoever takes
// them from a listing. None of these types is thread-safe; a SourceWalker is
// immutable after construction and may be shared.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/pattern_list.h"
#include "indexer/robots_rules.h"

namespace vossik {

class SourceEntry {
 public:
  explicit SourceEntry(std::string path) : path_(std::move(path)) {}
  virtual ~SourceEntry();
  SourceEntry(const SourceEntry&) = delete;
  SourceEntry& operator=(const SourceEntry&) = delete;

  /// The full path, as built from the source folder.
  const std::string& Path() const { return path_; }
  [[nodiscard]] virtual bool IsFolder() const = 0;

 private:
  std::string path_;
};

/// A file of the site, read as raw bytes. Closed on destruction.
class FileEntry : public SourceEntry {
 public:
  explicit FileEntry(std::string path) : SourceEntry(std::move(path)) {}
  ~FileEntry() override;

  bool IsFolder() const override { return false; }
  /// The size in bytes from the file system; 0 when it cannot be read.
  uint64_t Size() const;
  /// False, with the system's reason in `reason` when given, when the file
  /// cannot be opened for reading.
  [[nodiscard]] bool Open(std::string* reason = nullptr);
  /// Replaces `content` by the whole rest of the open file. False when the
  /// file is not open or a read fails (a folder in place of the file, say);
  /// `content` then holds what was read and `reason` says why.
  [[nodiscard]] bool ReadWhole(std::string* content, std::string* reason = nullptr);
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

/// One folder being listed. Children come sorted by name in byte order,
/// folders and files in one sequence: every sub-folder, and every other
/// regular file whose name contains a dot. A folder that cannot be listed
/// has no children.
class FolderListing : public SourceEntry {
 public:
  explicit FolderListing(std::string path) : SourceEntry(std::move(path)) {}

  bool IsFolder() const override { return true; }
  /// Lists the folder afresh and returns its first child, or nullptr.
  std::unique_ptr<SourceEntry> firstEntry();
  /// The child after the one returned last, or nullptr when the listing has
  /// run out (or never started).
  std::unique_ptr<SourceEntry> nextEntry();
  /// Why the last firstEntry() found no children because the folder could
  /// not be listed; empty when it could.
  const std::string& ListError() const { return list_error_; }

 private:
  struct Child {
    std::string name;
    bool folder;
  };
  std::vector<Child> children_;
  std::size_t next_ = 0;
  std::string list_error_;
};

/// What the walk takes. An absent or empty pattern list does not filter.
struct WalkRules {
  std::string source_folder;
  std::string output_folder;  // where the index is written; never walked
  bool recurse = false;
  std::optional<PatternList> type_include;
  std::optional<PatternList> type_exclude;
  std::optional<PatternList> match_include;
  std::optional<PatternList> match_exclude;
  RobotsRules robots;
};

class SourceWalker {
 public:
  explicit SourceWalker(WalkRules rules);

  /// Whether the walk enters the folder at `folderPath`: only when recursing,
  /// never into a "vkindex" folder or the output folder, and only as the
  /// match lists allow for the path with a trailing "/".
  [[nodiscard]] bool ShouldDescend(const std::string& folder_path) const;

  /// Whether the file at `filePath` is indexed: the type and match lists
  /// allow it, it is none of the build's own files (index scripts,
  /// robots.txt, the generated search pages in the output folder), and
  /// robots.txt does not disallow its URL.
  [[nodiscard]] bool Accepts(const std::string& file_path) const;

  /// The page URL of `path` relative to the source folder.
  std::string UrlOf(const std::string& path) const;

  const WalkRules& Rules() const { return rules_; }

 private:
  [[nodiscard]] bool IsGeneratedOutput(const std::string& file_path) const;

  WalkRules rules_;
  std::string output_;  // the output folder in comparable form
};

/// The page URL of `path`: the part after the first occurrence of
/// `sourceFolder`, without leading "/" or "\", with "\" turned into "/";
/// the whole path (converted the same way) when the source folder is not in
/// it.
std::string UrlBelow(std::string_view path, std::string_view source_folder);

}  // namespace vossik
