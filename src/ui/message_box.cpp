#include "ui/message_box.h"

#include <QMessageBox>
#include <QString>

namespace vossik {
namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

}  // namespace

MessageHook SetMessageHook(MessageHook hook) {
  MessageHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

std::string MessageTitle(std::string_view product_name, std::string_view word) {
  std::string title(product_name);
  title += ' ';
  title += word;
  return title;
}

MessageAnswer ShowMessageBox(QWidget* parent, MessageKind kind, const std::string& title,
                             const std::string& text) {
  if (Hook()) return Hook()(kind, title, text);

  QMessageBox::Icon icon = QMessageBox::Information;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  switch (kind) {
    case MessageKind::kInformation:
      break;
    case MessageKind::kQuestion:
      icon = QMessageBox::Question;
      buttons = QMessageBox::Yes | QMessageBox::No;
      break;
    case MessageKind::kWarning:
      icon = QMessageBox::Warning;
      break;
    case MessageKind::kWarningRetry:
      icon = QMessageBox::Warning;
      buttons = QMessageBox::Retry | QMessageBox::Cancel;
      break;
    case MessageKind::kError:
      icon = QMessageBox::Critical;
      break;
    case MessageKind::kErrorRetry:
      icon = QMessageBox::Critical;
      buttons = QMessageBox::Retry | QMessageBox::Cancel;
      break;
  }
  QMessageBox box(icon, QString::fromLocal8Bit(title.data(), qsizetype(title.size())),
                  QString::fromLocal8Bit(text.data(), qsizetype(text.size())), buttons, parent);
  // Messages quote names, paths and replies that may start with a tag.
  box.setTextFormat(Qt::PlainText);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    case QMessageBox::Retry:
      return MessageAnswer::kRetry;
    case QMessageBox::Cancel:
      return MessageAnswer::kCancel;
    default:
      // A question closed without choosing counts as No, a retry box as Cancel.
      if (kind == MessageKind::kQuestion) return MessageAnswer::kNo;
      if (kind == MessageKind::kWarningRetry || kind == MessageKind::kErrorRetry) {
        return MessageAnswer::kCancel;
      }
      return MessageAnswer::kOk;
  }
}

MessageAnswer ShowAdminMessage(QWidget* parent, MessageKind kind, std::string_view product_name,
                               const std::string& text) {
  return ShowMessageBox(parent, kind, MessageTitle(product_name), text);
}

}  // namespace vossik
