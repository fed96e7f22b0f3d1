// ConnectDialog asks which service the administration window configures:
// its host, its port and the administrator password. It only collects the
// three texts; the service bar decides what they mean (ServiceBar::SwitchTo).
//
// The controls keep fixed places (ConnectDialogGeometry). User-interface
// thread only.
#pragma once

#include <QDialog>
#include <string>

#include "ui/page_layout.h"

class QLineEdit;

namespace vossik {

class UpDownButtons;

/// The dialog's controls as (x, y, width, height) in its client area.
struct ConnectDialogGeometry {
  Rect prompt, host_label, host, port_label, port, port_spin, password_label, password;
  Rect ok, cancel;
  int width = 0, height = 0;  // the client area
};
ConnectDialogGeometry LayOutConnectDialog();

/// The range the port's up-down buttons step through.
inline constexpr int kConnectPortMin = 1024;
inline constexpr int kConnectPortMax = 65534;

class ConnectDialog : public QDialog {
  Q_OBJECT

 public:
  ConnectDialog(const std::string& host, const std::string& port, const std::string& password,
                QWidget* parent = nullptr);

  std::string Host() const;
  std::string Port() const;
  std::string Password() const;

  /// One step of the port's up-down buttons (+1 or -1), kept within range.
  void StepPort(int step);

 private:
  QLineEdit* host_ = nullptr;
  QLineEdit* port_ = nullptr;
  QLineEdit* password_ = nullptr;
  UpDownButtons* spin_ = nullptr;
};

}  // namespace vossik
