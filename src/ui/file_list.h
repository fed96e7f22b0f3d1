// FileList is what the service data views share: the files a view keeps
// local copies of, where each comes from, and the fetch that brings the
// copies up to date. A file's source is a web address ("HTTP://..."), a
// file on this machine ("FILE://path", kept as "<file><data>" + the text,
// escaped, + "</data></file>"), or else the name of an action that the
// administered service answers through the sheet's service bar
// (service_requests.h). The copies live in the sheet's working folder, so a
// service's data sits beside its configuration copy.
//
// Fetches run on the user-interface thread under the wait cursor and block
// it: web addresses for up to 60 seconds, service actions for the client's
// own time-outs. A failed fetch leaves the copy as it was.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class SettingControl;
struct ParameterRef;

/// One file of a view.
struct ListedFile {
  std::string local_name;    // the copy's name in the working folder
  std::string source;        // HTTP://..., FILE://... or a service action
  std::string empty_prompt;  // said when the service has no such file; "" for nothing
};

enum class FileSourceKind { kHttp, kFile, kService };

/// Which kind `source` is; the prefixes are compared without regard to case.
FileSourceKind SourceKindOf(std::string_view source);

/// The path of a "FILE://" source (what follows the prefix).
std::string_view FileSourcePath(std::string_view source);

/// "<file><data>", `content` escaped as XML text, "</data></file>". Valid
/// UTF-8 stays as it is, so a log in UTF-8 reads back unchanged.
std::string WrapFileData(std::string_view content);

/// `folder` and `local_name` joined with "/" (none added when the folder
/// already ends with one).
std::string LocalCopyPath(std::string_view folder, std::string_view local_name);

/// The files a parameter names: its own `file` element (a direct child of
/// the page element, else of the definition, else of the type) when its
/// text is not empty, then every `file` inside its `files` element. Each
/// takes its `populateaction` and `emptyprompt` from its own child
/// elements, else from the parameter's.
std::vector<ListedFile> ListedFilesOf(const ParameterRef& ref);

/// The statistics in a fetched copy, as configuration text: the root
/// element's text, or for a copy of a file on this machine (its root `file`)
/// the text of its `data` element. False when the copy is not XML.
[[nodiscard]] bool StatisticsText(std::string_view copy, std::string* text);

/// The text of the `data` element of a fetched log ("" when it has none).
/// False when the copy is not XML. Neither reads a copy that would have the
/// parser include a file ("xmlinclude"): fetched data names no files here.
[[nodiscard]] bool LogText(std::string_view copy, std::string* text);

/// The last `count` lines of `text` (all of it when it has no more); a
/// line end at the very end does not start another line.
std::string LastLines(std::string_view text, int count);

/// Replaces the copy at `path` with `bytes`, creating its folder when
/// needed. False, with the reason, when it cannot be written.
[[nodiscard]] bool WriteLocalCopy(const std::string& path, std::string_view bytes,
                                  std::string* reason);

/// The modification time of `path`, 0 when it does not exist.
std::time_t CopyTime(const std::string& path);

/// What Refresh does in every data view: the page saves and then loads its
/// controls again, which makes the views fetch and show their data afresh.
void RefreshPage(const SettingControl& control);

class FileList {
 public:
  /// Reads the files from `control`'s parameter reference.
  void Configure(const SettingControl& control);

  const std::vector<ListedFile>& Files() const { return files_; }
  /// Appended to every service request ("&name=value...").
  void SetExtraQuery(std::string query) { extra_query_ = std::move(query); }
  const std::string& ExtraQuery() const { return extra_query_; }

  /// Brings every local copy of `control`'s working folder up to date, in
  /// order. A service action that answers "not found" for a file with an
  /// empty prompt shows that prompt; a copy that cannot be written is
  /// reported. Without a service connection service actions fetch nothing.
  ///
  /// A service request carries the copy's time (less a second, for data
  /// that changed in the second the copy was written), so that an unchanged
  /// file is not sent again, only when this list fetched it before with the
  /// same extra query: a copy of fewer log lines is no answer to a request
  /// for more, however recent it is.
  void Fetch(const SettingControl& control);

  /// The content of the copy named `local_name` (the first file's when
  /// empty). False when there is no such file or copy.
  bool Read(const SettingControl& control, std::string_view local_name, std::string* content) const;

  /// The copy of the first file, "" when there are no files.
  std::string FirstCopyPath(const SettingControl& control) const;

 private:
  std::vector<ListedFile> files_;
  std::string extra_query_;
  bool fetched_ = false;
  std::string fetched_query_;  // the extra query of the last fetch
};

}  // namespace vossik
