// `slider`: a track bar with a tick every 5 units, the number it stands at
// in an edit box beside it, and the `unit` text after that. The value is the
// edit's text through the common load and save rules.
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/number_control.h"

namespace vossik {
namespace {

constexpr int kTickInterval = 5;
constexpr int kTrackRightMargin = 228;  // the track bar ends this far from the right edge
constexpr int kEditFromRight = 80;
constexpr int kEditWidth = 40;
constexpr int kUnitFromRight = 40;
constexpr int kUnitTop = 9;
constexpr int kUnitWidth = 23;

// The `allowed` range, 0 to 100 unless it says otherwise.
NumberRange SliderRange(const SettingControl& control) { return AllowedRange(control, {0, 100}); }

class SliderCell : public ControlCell {
 public:
  SliderCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    const NumberRange range = SliderRange(control);
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setRange(range.minimum, range.maximum);
    slider_->setTickInterval(kTickInterval);
    slider_->setTickPosition(QSlider::TicksBelow);
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
      if (following_edit_) return;
      edit_->setText(QString::number(position));
      ReportChange();
    });

    // The edit box holds the value, so it is the main input.
    edit_ = new QLineEdit;
    edit_->setValidator(new QIntValidator(range.minimum, range.maximum, edit_));
    connect(edit_, &QLineEdit::textEdited, this, [this] {
      FollowEdit();
      ReportChange();
    });
    SetMainInput(edit_);
    CreateLabel();
    AddInput(slider_, "trackbar");

    const std::string* unit = control.ChildText("unit");
    unit_ = new QLabel(ToQString(unit != nullptr ? *unit : std::string()));
    AddInput(unit_, "unit");
  }

  int PreferredHeight() const override { return kRowHeight * 3 / 2; }

  void SetText(const std::string& text) override {
    ControlCell::SetText(text);
    FollowEdit();
  }

 protected:
  void LayoutChildren(int width, int height) override {
    Label()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
    slider_->setGeometry(kInputLeft, 0, width - kTrackRightMargin, height);
    edit_->setGeometry(width - kEditFromRight, kLabelTop, kEditWidth, kRowHeight);
    unit_->setGeometry(width - kUnitFromRight, kUnitTop, kUnitWidth, kLineHeight);
  }

 private:
  // Moves the track bar to the edit's number without writing it back.
  void FollowEdit() {
    following_edit_ = true;
    slider_->setValue(ReadNumber(FromQString(edit_->text())));
    following_edit_ = false;
  }

  QSlider* slider_;
  QLineEdit* edit_;
  QLabel* unit_;
  bool following_edit_ = false;
};

class SliderControl : public CellControl<SliderCell> {
 public:
  void ExchangeValue(bool save) override {
    if (save && Cell() != nullptr) {
      ClampNumberInput(qobject_cast<QLineEdit*>(Cell()->MainInput()), SliderRange(*this));
    }
    SettingControl::ExchangeValue(save);
  }
};

}  // namespace

std::unique_ptr<SettingControl> MakeSliderControl() { return std::make_unique<SliderControl>(); }

}  // namespace vossik
