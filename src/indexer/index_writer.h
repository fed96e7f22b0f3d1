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

/// The files of one build, each written under a temporary name beside its
/// final one (the final name + ".tmp") and renamed into place by Publish().
/// Publishing first syncs them to the disk and records the renames in a journal
/// (kPublishJournal in the output folder), so that a run cut short while
/// renaming is finished by the next run that touches the index
/// (RecoverPublish). Whatever is not published is removed when the set is
/// discarded or destroyed.
class IndexFileSet {
 public:
  explicit IndexFileSet(std::string output_folder);
  ~IndexFileSet();
  IndexFileSet(const IndexFileSet&) = delete;
  IndexFileSet& operator=(const IndexFileSet&) = delete;

  /// Writes the bucket's index file under its temporary name, creating the
  /// output folder with its parents when missing. False, with `error` set
  /// when given, when it cannot be written; the set then refuses to publish.
  [[nodiscard]] bool WriteBucket(int bucket, const WordTable& table, std::string* error = nullptr);

  /// Writes `bytes` under the temporary name of `file`, which may lie
  /// outside the output folder (the links file). As WriteBucket.
  [[nodiscard]] bool Stage(const std::string& file, std::string_view bytes,
                           std::string* error = nullptr);

  /// Renames every written file into place, in the order written. Renames
  /// nothing and discards the set when a write failed, since the new files
  /// would then mix with the previous build's. False, with `error` set, on
  /// any failure.
  [[nodiscard]] bool Publish(std::string* error = nullptr);

  /// Removes the temporary files not yet published.
  void Discard();

 private:
  struct Pending {
    std::string temporary;
    std::string file;
  };
  bool Fail(std::string* error, std::string text);

  std::string output_folder_;
  std::vector<Pending> pending_;  // written and not yet published
  bool failed_ = false;
};

/// The journal of a publish under way, in the output folder.
inline constexpr const char* kPublishJournal = "vkpublish.journal";

/// The temporary name under which a build writes `file` before publishing it.
std::string TemporaryNameOf(const std::string& file);

/// Finishes a publish that a run left half done in `outputFolder` (the
/// journal is there: every file it names that is still under its temporary
/// name is renamed into place), or, without a journal, removes the
/// temporary files a run cut short before publishing left behind, in the
/// output folder and beside `linksFile` (may be empty). `done`, when given,
/// receives a line for the log when there was anything to do. False, with
/// `error` set, when a rename fails; the journal then stays for another try.
[[nodiscard]] bool RecoverPublish(const std::string& output_folder, const std::string& links_file,
                                  std::string* done = nullptr, std::string* error = nullptr);

/// "g_asPages=[" + entries cut at their last comma + "];\r\n".
std::string RenderPageList(const std::string& entries);

/// Appends "<A HREF=\"url\"><FONT class=hidden>title</FONT></A>\r\n" to
/// `links`, the text of the site-map links file. The title is HTML-escaped
/// ("&", "<", ">" and double quotes); in the URL a double quote, a control
/// byte and a byte that is not part of valid UTF-8 are percent-encoded, and a URL whose first
/// segment holds a ":" (and so could be read as a scheme such as "javascript:") gets "./" in front.
void AppendSiteMapLink(std::string& links, std::string_view url, std::string_view title);

}  // namespace vossik
