// `time`: a label and a time-of-day editor showing hours and minutes. The
// value is stored as "%ld:%ld" (not zero-padded, "9:5"); a stored value
// may separate its hours, minutes and seconds by any of ":.; hmso".
#include <QTimeEdit>
#include <algorithm>
#include <string_view>
#include <vector>

#include "base/string_util.h"
#include "settings/parameter_ref.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

// Wide enough for "hh:mm" in a smaller font than the desktop's; the editor
// widens to what its own font needs.
constexpr int kEditorWidth = 36;

// Hours and minutes of a stored time; an unreadable part counts as 0 and a
// time that is no time of day as midnight.
QTime ParseTimeOfDay(std::string_view text) {
  std::vector<long> parts;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || std::string_view(":.; hmso").find(text[i]) != std::string_view::npos) {
      if (i > begin) parts.push_back(ParseLeadingNumber(text.substr(begin, i - begin)));
      begin = i + 1;
    }
  }
  const long hours = parts.size() > 0 ? parts[0] : 0;
  const long minutes = parts.size() > 1 ? parts[1] : 0;
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return QTime(0, 0);
  return QTime(int(hours), int(minutes));
}

class TimeCell : public ControlCell {
 public:
  TimeCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    editor_ = new QTimeEdit;
    editor_->setDisplayFormat("hh:mm");
    editor_->setTime(QTime(0, 0));
    connect(editor_, &QTimeEdit::timeChanged, this, [this] { ReportChange(); });
    SetMainInput(editor_);
    CreateLabel();
  }

  void SetText(const std::string& text) override { editor_->setTime(ParseTimeOfDay(text)); }

  bool GetText(std::string* text) const override {
    const QTime time = editor_->time();
    *text = std::to_string(time.hour()) + ":" + std::to_string(time.minute());
    return true;
  }

 protected:
  void LayoutChildren(int width, int height) override {
    ControlCell::LayoutChildren(width, height);
    editor_->setGeometry(kInputLeft, 0, std::max(kEditorWidth, editor_->minimumSizeHint().width()),
                         height);
  }

 private:
  QTimeEdit* editor_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeTimeControl() {
  return std::make_unique<CellControl<TimeCell>>();
}

}  // namespace vossik
