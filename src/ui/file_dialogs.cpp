#include "ui/file_dialogs.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "base/string_util.h"
#include "ui/control_cell.h"

namespace vossik {
namespace {

FileDialogHook& Hook() {
  static FileDialogHook hook;
  return hook;
}

}  // namespace

FileDialogHook SetFileDialogHook(FileDialogHook hook) {
  FileDialogHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

std::string QtFileFilter(std::string_view filter) {
  if (filter.find('|') == std::string_view::npos) return std::string(filter);
  std::vector<std::string_view> parts;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= filter.size(); ++i) {
    if (i == filter.size() || filter[i] == '|') {
      parts.push_back(filter.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  std::string result;
  // The descriptor's form ends with "||"; the empty pairs it leaves are skipped.
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string_view description = TrimBlanks(parts[i]);
    const std::string_view patterns = i + 1 < parts.size() ? TrimBlanks(parts[i + 1]) : "";
    if (description.empty() && patterns.empty()) continue;
    std::string qt_patterns;
    for (char c : patterns) qt_patterns += c == ';' ? ' ' : c;
    if (!result.empty()) result += ";;";
    result += description;
    if (!qt_patterns.empty()) result += " (" + qt_patterns + ")";
  }
  return result;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
  if (Hook()) return Hook()(request);

  QFileDialog dialog(parent, ToQString(request.title), ToQString(request.start),
                     ToQString(QtFileFilter(request.filter)));
  switch (request.kind) {
    case FileDialogKind::kOpen:
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      break;
    case FileDialogKind::kSave:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      break;
    case FileDialogKind::kFolder:
    case FileDialogKind::kNetworkFolder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly);
      break;
  }
  if (!request.default_extension.empty()) {
    std::string_view extension = request.default_extension;
    if (extension.starts_with('.')) extension.remove_prefix(1);
    dialog.setDefaultSuffix(ToQString(extension));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return FromQString(chosen.front());
}

}  // namespace vossik
