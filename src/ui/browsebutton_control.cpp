// `browsebutton`: the `hint` text as a label and a button that imports a
// file into the application folder. The user picks a file (filter `mask`,
// default extension `defextension`); once the file passes the validation
// step it is copied there under its own name, after a question when it
// would replace one and `msgtitle` and `msgprompt` ask for it. It stores
// nothing.
//
// The file to import and the messages are the definition's business: they
// are read from the definition and its type, never from the page.
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>

#include "base/file_io.h"
#include "ui/application_folder.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/file_dialogs.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

namespace fs = std::filesystem;

constexpr int kButtonFromRight = 120;
constexpr int kButtonWidth = 64;
constexpr int kLabelGap = 8;
constexpr char kCopyFailed[] =
    "There was an error while copying the file.\n Please check disk space and permissions on "
    "the files:\n%s\n%s";
constexpr char kNotSuitable[] = "The file you have selected is not suitable for this operation. %s";
constexpr char kRefusedTitle[] = "File Error";

// `format` with its "%s" marks replaced by `values` in order; a value's
// own text is never taken for a mark.
std::string Substituted(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string text(format);
  std::size_t from = 0;
  for (std::string_view value : values) {
    const std::size_t at = text.find("%s", from);
    if (at == std::string::npos) break;
    text.replace(at, 2, value);
    from = at + value.size();
  }
  return text;
}

// The part of `path` after its last "/" or "\".
std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Copies `from` over `to` so that a copy that fails half-way leaves the
// file it was to replace intact.
bool CopyOver(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (fs::equivalent(from, to, error)) return true;
  std::string bytes;
  return ReadWholeFile(from, &bytes) && ReplaceFileAtomically(to, bytes);
}

class BrowseButtonControl;

class BrowseButtonCell : public ControlCell {
 public:
  BrowseButtonCell(BrowseButtonControl& control, QWidget* parent);

 protected:
  void LayoutChildren(int width, int height) override {
    Label()->setGeometry(0, kLabelTop, std::max(0, width - kButtonFromRight - kLabelGap),
                         std::max(0, height - kLabelTop));
    MainInput()->setGeometry(width - kButtonFromRight, 0, kButtonWidth, height);
  }
};

class BrowseButtonControl : public CellControl<BrowseButtonCell, BrowseButtonControl> {
 public:
  void ExchangeValue(bool) override {}
  bool HoldsValue() const override { return false; }

  void Import() {
    FileDialogRequest request;
    request.kind = FileDialogKind::kOpen;
    request.filter = DefinitionText("mask");
    request.default_extension = DefinitionText("defextension");
    const std::optional<std::string> chosen = RunFileDialog(Dialogs(), request);
    if (!chosen) return;

    const std::string title = DefinitionText("msgtitle");
    std::string detail;
    if (!Validate(*chosen, &detail)) {
      const std::string* invalid = Ref().ChildText("msginvalid", false);
      Message(MessageKind::kWarning, title.empty() ? kRefusedTitle : title,
              Substituted(invalid != nullptr ? *invalid : kNotSuitable, {detail}));
      return;
    }

    const std::string destination = ApplicationFolder(WorkingFolder()) + "/" + FileName(*chosen);
    const std::string prompt = DefinitionText("msgprompt");
    std::error_code error;
    if (!title.empty() && !prompt.empty() && fs::exists(destination, error)) {
      if (Message(MessageKind::kQuestion, title, prompt) != MessageAnswer::kYes) return;
    }
    if (!CopyOver(*chosen, destination)) {
      Message(MessageKind::kWarning, title, Substituted(kCopyFailed, {*chosen, destination}));
      return;
    }
    const std::string success = DefinitionText("msgsuccess");
    if (!success.empty()) Message(MessageKind::kInformation, title, success);
  }

 protected:
  /// Whether `file` may be imported; `detail` may say why not. This type
  /// takes every file.
  virtual bool Validate(const std::string& /*file*/, std::string* /*detail*/) { return true; }

 private:
  std::string DefinitionText(std::string_view name) const {
    const std::string* text = Ref().ChildText(name, false);
    return text != nullptr ? *text : std::string();
  }

  QWidget* Dialogs() const { return Cell() != nullptr ? Cell()->window() : nullptr; }

  // Messages without a title of their own carry the settings window's.
  MessageAnswer Message(MessageKind kind, const std::string& title, const std::string& text) {
    const std::string shown =
        title.empty() ? MessageTitle(Sheet() != nullptr ? Sheet()->ProductName() : "") : title;
    return ShowMessageBox(Dialogs(), kind, shown, text);
  }
};

BrowseButtonCell::BrowseButtonCell(BrowseButtonControl& control, QWidget* parent)
    : ControlCell(control, parent) {
  const std::string* caption = control.ChildText("buttontext");
  auto* button = new QPushButton(ToQString(caption != nullptr ? *caption : "Browse..."));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [&control] { control.Import(); });
  SetMainInput(button);
  const std::string hint = EscapeMnemonics(control.Hint());
  CreateLabel(&hint);
}

}  // namespace

std::unique_ptr<SettingControl> MakeBrowseButtonControl() {
  return std::make_unique<BrowseButtonControl>();
}

}  // namespace vossik
