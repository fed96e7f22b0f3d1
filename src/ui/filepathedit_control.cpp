// `filepathedit`: a label, an edit box for a path (a drop-down of the paths
// used before when the `browsebutton` element has `memory`), a browse button
// that fills it from a file or folder dialog, and, with `openbutton`, a
// button that opens the path named. The value is the path.
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/string_util.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/file_dialogs.h"
#include "ui/remembered_values.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

FileDialogKind DialogKind(const XmlNode* browse) {
  if (browse == nullptr) return FileDialogKind::kSave;
  const std::string* open = browse->Attribute("open");
  if (open != nullptr && *open == "true") return FileDialogKind::kOpen;
  const std::string* type = browse->Attribute("type");
  if (type == nullptr) return FileDialogKind::kSave;
  if (*type == "folder") return FileDialogKind::kFolder;
  if (*type == "networkfolder") return FileDialogKind::kNetworkFolder;
  if (*type == "open") return FileDialogKind::kOpen;
  return FileDialogKind::kSave;
}

class FilePathEditCell : public ControlCell {
 public:
  FilePathEditCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    const XmlNode* browse = control.Child("browsebutton");
    kind_ = DialogKind(browse);
    if (browse != nullptr) {
      if (const std::string* filter = browse->Attribute("filter")) filter_ = *filter;
    }
    if (const std::string* extension = control.ChildText("defextension")) {
      default_extension_ = std::string(TrimBlanks(*extension));
    }

    if (browse != nullptr && browse->Attribute("memory") != nullptr) {
      remembered_ = new QComboBox;
      remembered_->setEditable(true);
      remembered_->setInsertPolicy(QComboBox::NoInsert);
      line_ = remembered_->lineEdit();
      // A path picked from the list changes the value as typing does.
      connect(remembered_, &QComboBox::activated, this, [this] { ReportChange(); });
      SetMainInput(remembered_);
    } else {
      line_ = new QLineEdit;
      SetMainInput(line_);
    }
    connect(line_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
    connect(line_, &QLineEdit::textChanged, this, [this] { UpdateOpenButton(); });

    std::string caption =
        browse != nullptr ? std::string(TrimBlanks(browse->Text())) : std::string();
    browse_ = new QPushButton(ToQString(caption.empty() ? "Browse..." : caption));
    browse_->setAutoDefault(false);
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    AddInput(browse_, "browse");

    if (const XmlNode* open = control.Child("openbutton")) {
      const std::string open_caption = std::string(TrimBlanks(open->Text()));
      open_ = new QPushButton(ToQString(open_caption.empty() ? "Open" : open_caption));
      open_->setAutoDefault(false);
      connect(open_, &QPushButton::clicked, this, [this] { OpenPath(); });
      AddInput(open_, "open");
    }
    CreateLabel();
    UpdateOpenButton();
  }

  void SetText(const std::string& text) override {
    const QString value = ToQString(text);
    if (line_->text() != value) line_->setText(value);
  }

  bool GetText(std::string* text) const override {
    *text = FromQString(line_->text());
    return true;
  }

  bool Remembers() const { return remembered_ != nullptr; }

  void SetRemembered(const std::vector<std::string>& paths) {
    const QString text = line_->text();
    remembered_->clear();
    for (const std::string& path : paths) remembered_->addItem(ToQString(path));
    remembered_->setEditText(text);
  }

  void Remember(const std::string& path) {
    const QString value = ToQString(path);
    if (remembered_->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
      const QString text = line_->text();
      remembered_->addItem(value);
      remembered_->setEditText(text);
    }
  }

  void UpdateOpenButton() {
    if (open_ == nullptr) return;
    const std::filesystem::path path(FromQString(line_->text()));
    std::error_code error;
    const bool folder_mode =
        kind_ == FileDialogKind::kFolder || kind_ == FileDialogKind::kNetworkFolder;
    const bool exists =
        !path.empty() && (folder_mode ? std::filesystem::is_directory(path, error)
                                      : std::filesystem::is_regular_file(path, error));
    open_->setEnabled(line_->isEnabled() && exists);
  }

 protected:
  void LayoutChildren(int width, int height) override {
    ControlCell::LayoutChildren(width, height);
    const int e = browse_->fontMetrics().horizontalAdvance(browse_->text());
    const int f = open_ != nullptr ? open_->fontMetrics().horizontalAdvance(open_->text()) + 20 : 0;
    const int h = width - f - e - 28;
    const int button_height = std::max(0, height - 2);
    MainInput()->setGeometry(kInputLeft, 0, std::max(0, h - 8 - kInputLeft), height);
    browse_->setGeometry(h, 1, e + 20, button_height);
    if (open_ != nullptr) open_->setGeometry(width - f, 1, std::max(0, f - 8), button_height);
  }

 private:
  void Browse() {
    FileDialogRequest request;
    request.kind = kind_;
    request.filter = filter_;
    request.default_extension = default_extension_;
    request.start = FromQString(line_->text());
    const std::optional<std::string> path = RunFileDialog(window(), request);
    if (!path) return;
    line_->setText(ToQString(*path));
    ReportChange();
  }

  void OpenPath() {
    std::error_code error;
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path(FromQString(line_->text())), error);
    if (error) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(path.string())));
  }

  FileDialogKind kind_ = FileDialogKind::kSave;
  std::string filter_;
  std::string default_extension_;
  QLineEdit* line_ = nullptr;
  QComboBox* remembered_ = nullptr;
  QPushButton* browse_ = nullptr;
  QPushButton* open_ = nullptr;
};

class FilePathEditControl : public CellControl<FilePathEditCell> {
 public:
  void ExchangeValue(bool save) override {
    FilePathEditCell* cell = TypedCell();
    if (Store() == nullptr || cell == nullptr) return;
    if (!save) {
      std::string path = LoadText();
      if (cell->Remembers()) {
        // The stored path is what the configuration holds; the path chosen
        // last only stands in while there is none.
        if (path.empty()) path = SelectedValue(*this);
        WhileLoading([&] { cell->SetRemembered(UsedValues(*this)); });
      }
      WhileLoading([&] { cell->SetText(path); });
      return;
    }
    std::string path;
    if (!cell->GetText(&path)) return;
    SaveText(path);
    if (!cell->Remembers()) return;
    RememberValue(*this, path);
    if (!path.empty()) cell->Remember(path);
  }

  void SetEnabled(bool enable) override {
    SettingControl::SetEnabled(enable);
    if (FilePathEditCell* cell = TypedCell()) cell->UpdateOpenButton();
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeFilePathEditControl() {
  return std::make_unique<FilePathEditControl>();
}

}  // namespace vossik
