// The one routine through which setting controls ask the user for a file or
// folder. It runs a modal Qt file dialog, unless a hook is installed: tests
// install one that answers with a path (or with a cancel) so no dialog ever
// blocks them.
//
// Use on the user-interface thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace vossik {

enum class FileDialogKind {
  kOpen,           // an existing file
  kSave,           // a file to write; asks before replacing one
  kFolder,         // an existing folder
  kNetworkFolder,  // an existing folder, offered as for a network share
};

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::kOpen;
  std::string title;              // "" for the dialog's own
  std::string filter;             // "Text (*.txt)|*.txt|All|*.*" or Qt's own form
  std::string default_extension;  // without the dot; added to a typed name without one
  std::string start;              // file or folder shown first; "" for the current folder
};

/// Answers a request instead of a dialog: a path, or nullopt for a cancel.
using FileDialogHook = std::function<std::optional<std::string>(const FileDialogRequest&)>;

/// Installs `hook` for every later request (an empty hook restores the
/// dialogs) and returns the previous one.
FileDialogHook SetFileDialogHook(FileDialogHook hook);

/// Asks for a path over `parent` (may be null); nullopt when cancelled.
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request);

/// A filter in the descriptor's form, pairs of description and patterns
/// separated by "|" with the patterns separated by ";", in Qt's form
/// ("Text (*.txt);;All (*.*)"). A text without "|" is taken as Qt's form.
std::string QtFileFilter(std::string_view filter);

}  // namespace vossik
