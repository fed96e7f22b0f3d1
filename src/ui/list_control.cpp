// `list`: a list of texts typed into an edit box, kept sorted, stored as a
// list value (or one secret). Import, when the descriptor gives it, reads
// the texts from a file.
#include <QLineEdit>

#include "base/string_util.h"
#include "ui/control_catalogue.h"
#include "ui/item_list.h"

namespace vossik {
namespace {

class ListCell : public ItemListCell {
 public:
  ListCell(SettingControl& control, QWidget* parent)
      : ItemListCell(control, parent, Order::kSorted) {
    input_ = new QLineEdit;
    AddInput(input_, "input");
    connect(input_, &QLineEdit::textChanged, this, [this] { RefreshButtons(); });
    FinishCreating();
  }

 protected:
  std::string InputText() const override {
    return std::string(TrimBlanks(FromQString(input_->text())));
  }
  void ClearInput() override { input_->clear(); }
  void FocusInput() override { input_->setFocus(); }
  QWidget* EnterTarget() const override { return input_; }

 private:
  QLineEdit* input_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeListControl() {
  return std::make_unique<ItemListControlOf<ListCell>>();
}

}  // namespace vossik
