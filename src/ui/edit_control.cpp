// `edit`: a label and an edit box, multi-line when `lines` is 2 or more.
// The value is the text, through the common load and save rules.
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

class EditCell : public ControlCell {
 public:
  EditCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    if (control.Lines() >= 2) {
      multi_ = new QPlainTextEdit;
      // textChanged also fires when loading sets the text; ReportChange
      // ignores those.
      connect(multi_, &QPlainTextEdit::textChanged, this, [this] { ReportChange(); });
      SetMainInput(multi_);
    } else {
      auto* line = new QLineEdit;
      connect(line, &QLineEdit::textEdited, this, [this] { ReportChange(); });
      SetMainInput(line);
    }
    CreateLabel();
  }

  void SetText(const std::string& text) override {
    if (multi_ == nullptr) return ControlCell::SetText(text);
    const QString value = ToQString(text);
    if (multi_->toPlainText() != value) multi_->setPlainText(value);
  }

  bool GetText(std::string* text) const override {
    if (multi_ == nullptr) return ControlCell::GetText(text);
    *text = FromQString(multi_->toPlainText());
    return true;
  }

 private:
  QPlainTextEdit* multi_ = nullptr;
};

}  // namespace

std::unique_ptr<SettingControl> MakeEditControl() {
  return std::make_unique<CellControl<EditCell>>();
}

}  // namespace vossik
