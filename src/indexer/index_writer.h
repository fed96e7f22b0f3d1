// The files a build publishes for the browser: one index file per bucket,
// the page list, and the optional site-map links file. Their bytes are laid
// out in doc/index-format.md.
//
// Index files and the page list replace the previous build's files only by
// renames, so a browser never reads a half-written file, and a build that
// fails or is cancelled before publishing leaves the previous index whole.
// Failures are reported by the results, never thrown. Not thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "indexer/word_table.h"

namespace vossik {

/// Creates `folder` with every missing parent. The path is split at "\" and
/// "/" and rebuilt with "/", keeping a leading "/". True when the folder
/// exists afterwards.
[[nodiscard]] bool CreateFolderPath(const std::string& folder);

/// outputFolder + "/vkindex" + bucket in lower-case hex + ".js".
std::string IndexFileName(const std::string& output_folder, int bucket);

/// The whole index file of one bucket: "fnIJ(g_asIndex,[", then each word
/// in double quotes followed by its page numbers, all comma-separated in
/// insertion order, then "]);". No line break.
std::string RenderIndexFile(const WordTable& table);

/// The index files of one build, written under temporary names beside their
/// final ones until publish(). Whatever is not published is removed when
/// the set is discarded or destroyed.
class IndexFileSet {
 public:
  explicit IndexFileSet(std::string output_folder);
  ~IndexFileSet();
  IndexFileSet(const IndexFileSet&) = delete;
  IndexFileSet& operator=(const IndexFileSet&) = delete;

  /// Writes the bucket's file under its temporary name, creating the output
  /// folder with its parents when missing. False when it cannot be written;
  /// the set then refuses to publish.
  [[nodiscard]] bool WriteBucket(int bucket, const WordTable& table);

  /// Renames every written file into place. Renames nothing and discards
  /// the set when a write failed, since the new files would then mix with
  /// the previous build's. False on any failure.
  [[nodiscard]] bool Publish();

  /// Removes the temporary files not yet published.
  void Discard();

 private:
  std::string TemporaryName(int bucket) const;

  std::string output_folder_;
  std::vector<int> pending_;  // buckets written and not yet published
  bool failed_ = false;
};

/// "g_asPages=[" + entries cut at their last comma + "];\r\n".
std::string RenderPageList(const std::string& entries);

/// Replaces `file` with the rendered page list (through a temporary file
/// and a rename). Writes nothing and returns false when either is empty or
/// the file cannot be written.
[[nodiscard]] bool writePageList(const std::string& file, const std::string& entries);

/// Empties the site-map links file, creating it when missing; a build does
/// this once before the pages are analysed. False when it cannot be opened.
[[nodiscard]] bool TruncateSiteMapLinks(const std::string& file);

/// Appends "<A HREF=\"url\"><FONT class=hidden>title</FONT></A>\r\n" to
/// `file`, creating it when missing; a double quote in the URL is written
/// as "%22". Does nothing when the file cannot be opened.
void appendSiteMapLink(const std::string& file, std::string_view url, std::string_view title);

}  // namespace vossik
