// `htmlviewer`: a label and an HTML view, `lines` high, that shows a page
// made from settings or a file a setting names. It only shows: loading
// fills the view, saving stores nothing.
//
// With `show`, the values of the listed settings are joined into a preview
// page, written to "preview/temp.html" in the application folder and shown
// from there. Otherwise `showfile` names the file, part by part; a file
// that is missing gives way to `defaultfile` in the application folder, and
// with neither the view stays empty.
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/file_io.h"
#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "settings/typed_settings.h"
#include "ui/application_folder.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCurrentFolderMark = "$cwd$";

// `text` split at ",", each piece without surrounding blanks. Empty pieces
// are kept: the `show` and `default` lists are matched by position.
std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      pieces.emplace_back(TrimBlanks(text.substr(begin, i - begin)));
      begin = i + 1;
    }
  }
  return pieces;
}

class HtmlViewerCell : public ControlCell {
 public:
  HtmlViewerCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    view_ = new QTextBrowser;
    view_->setOpenExternalLinks(true);
    SetMainInput(view_);
    CreateLabel();
  }

  void ShowFile(const std::string& file) {
    std::error_code error;
    fs::path path = fs::absolute(fs::path(file), error);
    if (error) path = file;
    const QUrl url = QUrl::fromLocalFile(ToQString(path.string()));
    // The same address again is shown afresh: its file was rewritten.
    if (view_->source() == url) {
      view_->reload();
    } else {
      view_->setSource(url);
    }
  }

  void Clear() {
    view_->setSource(QUrl());
    view_->clear();
  }

  void SetText(const std::string&) override {}
  bool GetText(std::string*) const override { return false; }

 private:
  QTextBrowser* view_;
};

class HtmlViewerControl : public CellControl<HtmlViewerCell> {
 public:
  bool HoldsValue() const override { return false; }

  void ExchangeValue(bool save) override {
    HtmlViewerCell* cell = TypedCell();
    if (save || Store() == nullptr || cell == nullptr) return;
    const std::string folder = ApplicationFolder(WorkingFolder());
    if (const std::string* show = ChildText("show")) {
      const std::string page = folder + "/preview/temp.html";
      const std::string preview = Preview(*show);
      // An empty preview is still written, but the view has nothing to show.
      if (WritePreview(preview, folder + "/preview", page) && !preview.empty()) {
        cell->ShowFile(page);
      } else {
        cell->Clear();
      }
      return;
    }
    if (const std::string* parts = ChildText("showfile")) {
      std::string file = JoinedPath(*parts, folder);
      std::error_code error;
      if (!fs::exists(file, error)) {
        const std::string* fallback = ChildText("defaultfile");
        file = fallback != nullptr ? folder + "/" + *fallback : std::string();
      }
      // With neither file there is nothing to show, and no error page either.
      if (!file.empty() && fs::exists(file, error)) {
        cell->ShowFile(file);
      } else {
        cell->Clear();
      }
    }
  }

 private:
  std::string Value(const std::string& uid, int* result) const {
    std::string value;
    const int rc = GetString(*Store(), Root(), AddressOf(uid), &value);
    if (result != nullptr) *result = rc;
    return value;
  }

  // The listed settings' values in order; one that is not stored is
  // replaced by the setting at the same place in `default`.
  std::string Preview(const std::string& show) const {
    const std::vector<std::string> uids = SplitList(show);
    const std::string* defaults_text = ChildText("default");
    const std::vector<std::string> defaults =
        defaults_text != nullptr ? SplitList(*defaults_text) : std::vector<std::string>();
    std::string page;
    for (std::size_t i = 0; i < uids.size(); ++i) {
      if (uids[i].empty()) continue;
      int rc = -2;
      std::string value = Value(uids[i], &rc);
      if (rc != 0 && i < defaults.size() && !defaults[i].empty())
        value = Value(defaults[i], nullptr);
      page += value;
    }
    return page;
  }

  static bool WritePreview(const std::string& page, const std::string& folder,
                           const std::string& file) {
    std::error_code error;
    fs::create_directories(folder, error);
    return WriteWholeFile(file, page);
  }

  // The `showfile` parts joined with "/": "$cwd$" is the application
  // folder, a setting's uid its value, anything else is taken as written.
  std::string JoinedPath(const std::string& parts, const std::string& folder) const {
    std::string path;
    bool first = true;
    for (const std::string& part : SplitList(parts)) {
      if (!first) path += '/';
      first = false;
      if (part == kCurrentFolderMark) {
        path += folder;
      } else if (ResolveParameter(Root(), part).IsDefined()) {
        path += Value(part, nullptr);
      } else {
        path += part;
      }
    }
    return path;
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeHtmlViewerControl() {
  return std::make_unique<HtmlViewerControl>();
}

}  // namespace vossik
