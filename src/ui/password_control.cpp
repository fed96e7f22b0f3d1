// `password`: two masked edit boxes on one row, the second to retype the
// password. The password is saved only when both entries are equal; when
// they differ the user is told and the stored password stays as it was.
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "base/product_identity.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

constexpr int kEntryMaxWidth = 120;
constexpr int kFirstEntryLeft = 147;
constexpr int kEntryGap = 8;

QLineEdit* MaskedEdit() {
  auto* edit = new QLineEdit;
  edit->setEchoMode(QLineEdit::Password);
  return edit;
}

class PasswordCell : public ControlCell {
 public:
  PasswordCell(SettingControl& control, QWidget* parent)
      : ControlCell(control, parent), first_(MaskedEdit()), second_(MaskedEdit()) {
    connect(first_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
    connect(second_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
    SetMainInput(first_);
    CreateLabel();
    retype_ = new QLabel("Retype:");
    AddInput(retype_, "retypelabel");
    AddInput(second_, "retype");
  }

  void SetText(const std::string& text) override {
    const QString value = ToQString(text);
    first_->setText(value);
    second_->setText(value);
  }

  /// Refuses while the two entries differ.
  bool GetText(std::string* text) const override {
    if (!EntriesAgree()) return false;
    *text = FromQString(first_->text());
    return true;
  }

  bool EntriesAgree() const { return first_->text() == second_->text(); }

 protected:
  void LayoutChildren(int width, int height) override {
    const int entry = std::min(kEntryMaxWidth, (width - kInputLeft) / 3);
    Label()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
    first_->setGeometry(kFirstEntryLeft, 0, entry - kEntryGap, height);
    retype_->setGeometry(entry + kInputLeft, kLabelTop, entry - kEntryGap, height - kLabelTop);
    second_->setGeometry(2 * entry + kInputLeft, 0, entry - kEntryGap, height);
  }

 private:
  QLineEdit* first_;
  QLineEdit* second_;
  QLabel* retype_ = nullptr;
};

class PasswordControl : public CellControl<PasswordCell> {
 public:
  void ExchangeValue(bool save) override {
    PasswordCell* cell = TypedCell();
    if (save && Store() != nullptr && cell != nullptr && !cell->EntriesAgree()) {
      const std::string& product = Sheet() != nullptr && !Sheet()->ProductName().empty()
                                       ? Sheet()->ProductName()
                                       : VossikIdentity().product_name;
      ShowAdminMessage(cell, MessageKind::kInformation, product,
                       "Password not changed, two entries differ.");
      return;
    }
    SettingControl::ExchangeValue(save);
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakePasswordControl() {
  return std::make_unique<PasswordControl>();
}

}  // namespace vossik
