// `urledit`: a label, an edit box for an address and a link captioned
// `linktext` (or "View") that opens the address typed. The link acts only
// while there is an address. The value is the text.
#include <QLineEdit>
#include <algorithm>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"
#include "widgets/hyperlink_label.h"

namespace vossik {
namespace {

class UrlEditCell : public ControlCell {
 public:
  UrlEditCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    edit_ = new QLineEdit;
    connect(edit_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
    // Also on loading, so the link follows every text the box shows.
    connect(edit_, &QLineEdit::textChanged, this, [this] { UpdateLink(); });
    SetMainInput(edit_);
    const std::string* caption = control.ChildText("linktext");
    link_ = new HyperlinkLabel(ToQString(caption != nullptr ? *caption : "View"));
    AddInput(link_, "link");
    CreateLabel();
    UpdateLink();
  }

  void UpdateLink() {
    const QString address = edit_->text().trimmed();
    link_->SetUrl(address);
    link_->setEnabled(edit_->isEnabled() && !address.isEmpty());
  }

 protected:
  void LayoutChildren(int width, int height) override {
    ControlCell::LayoutChildren(width, height);
    const int e = link_->fontMetrics().horizontalAdvance(link_->text());
    edit_->setGeometry(kInputLeft, 0, std::max(0, width - e - 24 - kInputLeft), height);
    link_->setGeometry(width - e - 16, kLabelTop, e + 8, std::max(0, height - kLabelTop));
  }

 private:
  QLineEdit* edit_;
  HyperlinkLabel* link_;
};

class UrlEditControl : public CellControl<UrlEditCell> {
 public:
  void SetEnabled(bool enable) override {
    SettingControl::SetEnabled(enable);
    if (UrlEditCell* cell = TypedCell()) cell->UpdateLink();
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeUrlEditControl() { return std::make_unique<UrlEditControl>(); }

}  // namespace vossik
