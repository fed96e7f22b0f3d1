// `number`: a label, a numeric edit box and an up-down button pair; also the
// cell of `port` and `unitnumber`.
#include "ui/number_control.h"

#include <QFontMetrics>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <limits>

#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr int kUpDownWidth = 16;
constexpr int kUpDownGap = 2;  // between the edit box and the up-down buttons
constexpr int kUnitGap = 4;    // between the up-down buttons and the unit text
constexpr int kUnitPadding = 8;
constexpr int kZeroMaximumEditWidth = 54;

int32_t Saturated(long long value) {
  return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t Clamped(long long value, NumberRange range) {
  return static_cast<int32_t>(std::clamp<long long>(value, range.minimum, range.maximum));
}

class NumberControl;

class NumberCell : public ControlCell {
 public:
  NumberCell(NumberControl& control, QWidget* parent);

 protected:
  void LayoutChildren(int, int height) override {
    Label()->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
    const int edit_width =
        range_.maximum == 0
            ? kZeroMaximumEditWidth
            : edit_->fontMetrics().horizontalAdvance("00" + QString::number(range_.maximum));
    edit_->setGeometry(kInputLeft, 0, edit_width, height);
    const int up_down_left = kInputLeft + edit_width + kUpDownGap;
    up_down_->setGeometry(up_down_left, 0, kUpDownWidth, height);
    if (unit_ != nullptr) {
      unit_->setGeometry(up_down_left + kUpDownWidth + kUnitGap, kLabelTop,
                         unit_->fontMetrics().horizontalAdvance(unit_->text()) + kUnitPadding,
                         height - kLabelTop);
    }
  }

  // The arrow keys in the edit box step the number as the buttons do.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        Step(key == Qt::Key_Up ? 1 : -1);
        return true;
      }
    }
    return ControlCell::eventFilter(watched, event);
  }

 private:
  void Step(int delta) {
    const int32_t from = Clamped(ReadNumber(FromQString(edit_->text())), range_);
    edit_->setText(QString::number(Clamped(static_cast<long long>(from) + delta, range_)));
    ReportChange();
  }

  NumberRange range_;
  QLineEdit* edit_;
  UpDownButtons* up_down_;
  QLabel* unit_ = nullptr;
};

}  // namespace

NumberRange AllowedRange(const SettingControl& control, NumberRange fallback) {
  NumberRange range = fallback;
  if (const XmlNode* allowed = control.Child("allowed")) {
    if (const std::string* min = allowed->Attribute("min")) {
      range.minimum = Saturated(ParseLeadingNumber(*min));
    }
    if (const std::string* max = allowed->Attribute("max")) {
      range.maximum = Saturated(ParseLeadingNumber(*max));
    }
  }
  range.maximum = std::max(range.minimum, range.maximum);
  return range;
}

int32_t ReadNumber(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  long long value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ',') continue;
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), 1LL << 32);
  }
  return Saturated(negative ? -value : value);
}

std::string ClampedNumberText(std::string_view text, NumberRange range) {
  if (text.empty()) return std::string();
  return std::to_string(Clamped(ReadNumber(text), range));
}

void ClampNumberInput(QLineEdit* edit, NumberRange range) {
  if (edit == nullptr) return;
  const std::string text = FromQString(edit->text());
  const std::string clamped = ClampedNumberText(text, range);
  if (clamped != text) edit->setText(ToQString(clamped));
}

UpDownButtons::UpDownButtons(NumberRange range, QWidget* parent)
    : QWidget(parent), range_(range), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setObjectName("up");
  down_->setObjectName("down");
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up_, down_}) {
    button->setAutoRepeat(true);
    // The edit box keeps the focus, as beside a spin box.
    button->setFocusPolicy(Qt::NoFocus);
  }
  connect(up_, &QToolButton::clicked, this, [this] { emit Stepped(1); });
  connect(down_, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
}

void UpDownButtons::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

namespace {

class NumberControl : public CellControl<NumberCell, NumberControl> {
 public:
  NumberControl(int32_t default_maximum, bool with_unit)
      : default_maximum_(default_maximum), with_unit_(with_unit) {}

  void ExchangeValue(bool save) override {
    if (save && Cell() != nullptr) {
      ClampNumberInput(qobject_cast<QLineEdit*>(Cell()->MainInput()), Range());
    }
    SettingControl::ExchangeValue(save);
  }

  NumberRange Range() const { return AllowedRange(*this, {0, default_maximum_}); }
  bool WithUnit() const { return with_unit_; }

 private:
  int32_t default_maximum_;
  bool with_unit_;
};

NumberCell::NumberCell(NumberControl& control, QWidget* parent)
    : ControlCell(control, parent), range_(control.Range()) {
  edit_ = new QLineEdit;
  edit_->setValidator(new QIntValidator(range_.minimum, range_.maximum, edit_));
  connect(edit_, &QLineEdit::textEdited, this, [this] { ReportChange(); });
  SetMainInput(edit_);
  CreateLabel();

  up_down_ = new UpDownButtons(range_);
  connect(up_down_, &UpDownButtons::Stepped, this, [this](int delta) { Step(delta); });
  AddInput(up_down_, "updown");

  if (control.WithUnit()) {
    const std::string* unit = control.ChildText("unit");
    unit_ = new QLabel(ToQString(unit != nullptr ? *unit : std::string()));
    AddInput(unit_, "unit");
  }
}

}  // namespace

std::unique_ptr<SettingControl> MakeNumberControlFor(int32_t default_maximum, bool with_unit) {
  return std::make_unique<NumberControl>(default_maximum, with_unit);
}

std::unique_ptr<SettingControl> MakeNumberControl() { return MakeNumberControlFor(65535, false); }

}  // namespace vossik
