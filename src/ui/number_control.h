// The `number` setting control and, with another default maximum or a unit
// text after it, `port` and `unitnumber`: a label, a numeric edit box just
// wide enough for the largest value, and an up-down button pair that steps
// the edit within the `allowed` range. The value is the edit's text through
// the common load and save rules; a number outside the range is brought to
// the nearest bound before it is saved.
//
// The range helpers are shared with the other numeric controls (`slider`).
// User-interface thread only.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ui/setting_control.h"

class QLineEdit;
class QToolButton;

namespace vossik {

/// An inclusive range of whole numbers.
struct NumberRange {
  int32_t minimum = 0;
  int32_t maximum = 0;
};

/// The `allowed` element's `min` and `max` attributes, each falling back to
/// `fallback`'s bound; a maximum below the minimum is raised to it.
NumberRange AllowedRange(const SettingControl& control, NumberRange fallback);

/// `text` by the configuration's number rule: an optional "-" (or "+", which
/// the input's validator lets through), then digits with commas skipped, up
/// to the first other character; 0 when there are none. Saturates at the
/// 32-bit bounds.
int32_t ReadNumber(std::string_view text);

/// "" for an empty `text`; otherwise its number brought into `range`, in
/// plain decimal, so that "+50" or "1,024" is stored as the configuration
/// reads it back.
std::string ClampedNumberText(std::string_view text, NumberRange range);

/// Replaces the text of `edit` by ClampedNumberText() of it when that
/// differs. A validator lets a number with no more digits than the maximum
/// through even when it is larger; a setting must not be saved outside its
/// range.
void ClampNumberInput(QLineEdit* edit, NumberRange range);

/// Two small stacked arrow buttons that step a number up or down by one;
/// holding a button repeats. The buttons only report the step: the owner
/// changes the number and keeps it in `Range()`.
class UpDownButtons : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownButtons(NumberRange range, QWidget* parent = nullptr);

  NumberRange Range() const { return range_; }
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  /// +1 for the up button, -1 for the down button.
  void Stepped(int delta);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  NumberRange range_;
  QToolButton* up_;
  QToolButton* down_;
};

/// A new numeric control. `default_maximum` bounds the range when `allowed`
/// gives no `max` (the minimum defaults to 0); `with_unit` adds the `unit`
/// text after the up-down buttons.
std::unique_ptr<SettingControl> MakeNumberControlFor(int32_t default_maximum, bool with_unit);

}  // namespace vossik
