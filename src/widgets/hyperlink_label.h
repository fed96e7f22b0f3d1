// HyperlinkLabel is a line of link text that acts when clicked, or when
// Space or Enter is pressed while it has the focus: it emits activated()
// and, when it has an address, opens it with the desktop's handler. A
// disabled link is drawn in the disabled text colour and does not act.
#pragma once

#include <QLabel>
#include <QString>

namespace vossik {

class HyperlinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit HyperlinkLabel(const QString& text = QString(), QWidget* parent = nullptr);

  /// The address opened on activation; none by default.
  void SetUrl(const QString& url) { url_ = url; }
  QString Url() const { return url_; }

 signals:
  void Activated();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Activate();
  void ShowEnabledState();

  QString url_;
  bool pressed_ = false;
};

}  // namespace vossik
