// IpAddressField edits an IPv4 address as four octet boxes between fixed
// dots, the way a host's address is typed: digits only, each box 0 to 255,
// "." or a third digit moving on to the next box, Backspace in an empty box
// and the arrow keys at a box's ends moving between boxes.
#pragma once

#include <QFrame>
#include <QString>
#include <array>

class QLineEdit;

namespace vossik {

class IpAddressField : public QFrame {
  Q_OBJECT

 public:
  explicit IpAddressField(QWidget* parent = nullptr);

  /// The dotted address, such as "192.168.1.20"; a blank box counts as 0.
  /// "" while every box is blank.
  QString Text() const;
  /// Shows a dotted address. Anything but four decimal octets of 0 to 255
  /// (blanks around it ignored) clears the field and returns false; so
  /// does "".
  bool SetText(const QString& address);
  void clear();
  bool IsBlank() const;

 signals:
  /// Emitted on every change of a box, by the user or by setText.
  void TextChanged(const QString& address);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FocusOctet(int index, bool select_all);
  int IndexOf(QObject* object) const;

  std::array<QLineEdit*, 4> octets_{};
};

}  // namespace vossik
