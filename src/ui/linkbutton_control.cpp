// `linkbutton`: the `hint` text as a label and, at the right, a link
// captioned `buttontext` (or "Go!") that opens `url`. Without `url` the link
// stays disabled. It stores nothing.
#include <QLabel>
#include <algorithm>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"
#include "widgets/hyperlink_label.h"

namespace vossik {
namespace {

constexpr int kLinkMargin = 8;
constexpr int kLabelGap = 128;  // the label stops this far short of the cell's right edge

class LinkButtonCell : public ControlCell {
 public:
  LinkButtonCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    const std::string* caption = control.ChildText("buttontext");
    link_ = new HyperlinkLabel(ToQString(caption != nullptr ? *caption : "Go!"));
    if (const std::string* url = control.ChildText("url")) link_->SetUrl(ToQString(*url));
    SetMainInput(link_);
    UpdateLink();
    const std::string hint = EscapeMnemonics(control.Hint());
    CreateLabel(&hint);
  }

  void UpdateLink() { link_->setEnabled(!link_->Url().trimmed().isEmpty()); }

 protected:
  void LayoutChildren(int width, int height) override {
    const int e = link_->fontMetrics().horizontalAdvance(link_->text());
    const int label_height = std::max(0, height - kLabelTop);
    Label()->setGeometry(0, kLabelTop, std::max(0, width - kLabelGap), label_height);
    link_->setGeometry(width - e - kLinkMargin, kLabelTop, e, label_height);
  }

 private:
  HyperlinkLabel* link_;
};

class LinkButtonControl : public CellControl<LinkButtonCell> {
 public:
  void ExchangeValue(bool) override {}
  bool HoldsValue() const override { return false; }

  void SetEnabled(bool enable) override {
    SettingControl::SetEnabled(enable);
    // Enabling the page must not wake a link that has nowhere to go.
    if (LinkButtonCell* cell = TypedCell()) cell->UpdateLink();
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeLinkButtonControl() {
  return std::make_unique<LinkButtonControl>();
}

}  // namespace vossik
