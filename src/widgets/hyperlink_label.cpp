#include "widgets/hyperlink_label.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>

namespace vossik {

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setObjectName(QStringLiteral("hyperlinkLabel"));
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::StrongFocus);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  // Only the enabled colour groups take the link colour; the disabled group
  // keeps the palette's grey, so the state shows without extra drawing.
  QPalette colours = palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::WindowText, colours.color(group, QPalette::Link));
  }
  setPalette(colours);
  ShowEnabledState();
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  // Like a button, the link acts only when the press and release both fall on it.
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) Activate();
}

void HyperlinkLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Activate();
      event->accept();
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void HyperlinkLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) ShowEnabledState();
  QLabel::changeEvent(event);
}

void HyperlinkLabel::Activate() {
  if (!isEnabled()) return;
  // A receiver of activated() may delete the link, so its address is taken first.
  const QString url = url_;
  emit Activated();
  if (!url.isEmpty()) QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

void HyperlinkLabel::ShowEnabledState() {
  if (isEnabled()) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
}

}  // namespace vossik
