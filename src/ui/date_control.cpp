// `date`: a label, a date editor showing "dd/MM/yyyy" and a "..." button
// that opens the editor's calendar. The value is stored day first as
// "%ld/%ld/%ld"; other stored forms, such as the month-first
// "US(%ld/%ld/%ld)", are read as dates in general are.
#include <QCoreApplication>
#include <QDateEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <ctime>
#include <regex>
#include <string>

#include "base/date_text.h"
#include "ui/cell_control.h"
#include "ui/control_catalogue.h"
#include "ui/control_cell.h"
#include "ui/setting_control.h"

namespace vossik {
namespace {

// Wide enough for "DD/MM/YYYY" in a smaller font than the desktop's; the
// editor widens to what its own font needs, and the button follows it.
constexpr int kEditorWidth = 70;
constexpr int kCalendarButtonWidth = 20;

// The date a stored value names; an invalid date when it names none.
QDate ParseStoredDate(const std::string& text) {
  // The control's own form is read here rather than by ParseDate, which
  // takes a first number of 12 or less as the month: it would swap day and
  // month of every date early in a month on each load and save.
  static const std::regex kOwnForm(R"(\s*(\d{1,2})/(\d{1,2})/(\d{1,4})\s*)");
  std::smatch match;
  if (std::regex_match(text, match, kOwnForm)) {
    int year = std::stoi(match[3].str());
    if (match[3].length() <= 2) year += year < 70 ? 2000 : 1900;
    const QDate date(year, std::stoi(match[2].str()), std::stoi(match[1].str()));
    if (date.isValid()) return date;
  }
  const std::time_t when = ParseDate(text);
  std::tm local{};
  if (when == 0 || localtime_r(&when, &local) == nullptr) return QDate();
  return QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

class DateCell : public ControlCell {
 public:
  DateCell(SettingControl& control, QWidget* parent) : ControlCell(control, parent) {
    editor_ = new QDateEdit;
    editor_->setDisplayFormat("dd/MM/yyyy");
    editor_->setCalendarPopup(true);
    editor_->setDate(QDate::currentDate());
    connect(editor_, &QDateEdit::dateChanged, this, [this] { ReportChange(); });
    SetMainInput(editor_);
    calendar_button_ = new QPushButton("...");
    calendar_button_->setAutoDefault(false);
    connect(calendar_button_, &QPushButton::clicked, this, [this] { OpenCalendar(); });
    AddInput(calendar_button_, "calendar");
    CreateLabel();
  }

  void SetText(const std::string& text) override {
    const QDate date = ParseStoredDate(text);
    // A value that names no date leaves the editor on the date it shows.
    if (date.isValid()) editor_->setDate(date);
  }

  bool GetText(std::string* text) const override {
    const QDate date = editor_->date();
    *text = std::to_string(date.day()) + "/" + std::to_string(date.month()) + "/" +
            std::to_string(date.year());
    return true;
  }

 protected:
  void LayoutChildren(int width, int height) override {
    ControlCell::LayoutChildren(width, height);
    const int editor_width = std::max(kEditorWidth, editor_->minimumSizeHint().width());
    editor_->setGeometry(kInputLeft, 0, editor_width, height);
    calendar_button_->setGeometry(kInputLeft + editor_width, 0, kCalendarButtonWidth, height);
  }

 private:
  // The editor opens its calendar only for a press on its drop-down arrow,
  // so the button presses there on the user's behalf.
  void OpenCalendar() {
    if (!editor_->isEnabled()) return;
    QStyleOptionComboBox option;
    option.initFrom(editor_);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow = editor_->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxArrow, editor_);
    const QPointF at = arrow.isValid() ? QPointF(arrow.center())
                                       : QPointF(editor_->width() - 2, editor_->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, editor_->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor_, &press);
  }

  QDateEdit* editor_;
  QPushButton* calendar_button_;
};

}  // namespace

std::unique_ptr<SettingControl> MakeDateControl() {
  return std::make_unique<CellControl<DateCell>>();
}

}  // namespace vossik
