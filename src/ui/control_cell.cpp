#include "ui/control_cell.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/setting_control.h"

namespace vossik {

QString ToQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}

std::string FromQString(const QString& text) { return text.toLocal8Bit().toStdString(); }

std::string EscapeMnemonics(std::string_view text) {
  std::string shown;
  for (char c : text) {
    shown += c;
    if (c == '&') shown += '&';
  }
  return shown;
}

ControlCell::ControlCell(SettingControl& control, QWidget* parent)
    : QWidget(parent), control_(control) {
  setObjectName(ToQString(control.Uid() + "/cell"));
}

ControlCell::~ControlCell() = default;

int ControlCell::PreferredHeight() const {
  const int lines = control_.Lines();
  return lines >= 2 ? kLineHeight * lines : kRowHeight;
}

int ControlCell::Place(const Rect& rect) {
  setGeometry(rect.left, rect.top, rect.width, rect.height);
  LayoutChildren(rect.width, rect.height);
  return rect.height;
}

void ControlCell::LayoutChildren(int width, int height) {
  if (label_ != nullptr) label_->setGeometry(0, kLabelTop, kLabelWidth, height - kLabelTop);
  if (main_input_ != nullptr) main_input_->setGeometry(kInputLeft, 0, width - kInputLeft, height);
}

void ControlCell::SetText(const std::string& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(main_input_)) {
    const QString value = ToQString(text);
    if (edit->text() != value) edit->setText(value);
  }
}

bool ControlCell::GetText(std::string* text) const {
  if (auto* edit = qobject_cast<QLineEdit*>(main_input_)) {
    *text = FromQString(edit->text());
    return true;
  }
  return false;
}

QLabel* ControlCell::CreateLabel(const std::string* text) {
  label_ = new QLabel(ToQString(text != nullptr ? *text : control_.LabelText()), this);
  label_->setObjectName(ToQString(control_.Uid() + "/label"));
  // Names and hints are shown as written, even when they look like markup.
  label_->setTextFormat(Qt::PlainText);
  label_->setToolTip(ToQString(control_.Hint()));
  // Level with the first line of the input, also beside a multi-line box.
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (main_input_ != nullptr) label_->setBuddy(main_input_);
  ++child_windows_;
  return label_;
}

void ControlCell::SetMainInput(QWidget* input) {
  main_input_ = input;
  input->setParent(this);
  input->setObjectName(ToQString(control_.Uid()));
  // The label's "&&" is shown as one "&" only when it names its input.
  if (label_ != nullptr) label_->setBuddy(input);
  Watch(input);
}

void ControlCell::AddInput(QWidget* input, std::string_view suffix) {
  input->setParent(this);
  input->setObjectName(ToQString(control_.Uid() + "/" + std::string(suffix)));
  Watch(input);
}

void ControlCell::Watch(QWidget* input) {
  const std::string hint = control_.Hint();
  if (!hint.empty()) input->setToolTip(ToQString(hint));
  input->installEventFilter(this);
  ++child_windows_;
}

void ControlCell::ReportChange() { control_.ReportChange(); }

bool ControlCell::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Delete:
        control_.DeleteAction();
        ReportChange();
        break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        control_.EnterAction();
        break;
      case Qt::Key_F5:
        control_.RefreshAction();
        break;
      case Qt::Key_A:
        if (key->modifiers() & Qt::ControlModifier) control_.SelectAllAction();
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vossik
