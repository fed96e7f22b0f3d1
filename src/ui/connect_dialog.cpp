#include "ui/connect_dialog.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "base/string_util.h"
#include "ui/control_cell.h"
#include "ui/fitted_font.h"
#include "ui/number_control.h"

namespace vossik {
namespace {

// A rectangle from its left, top, right and bottom edges.
Rect Edges(int left, int top, int right, int bottom) {
  return {left, top, right - left, bottom - top};
}

constexpr char kPrompt[] = "Use 127.0.0.1 as the host if configuring the service on this machine";

void Place(QWidget* widget, const Rect& r) {
  widget->setGeometry(r.left, r.top, r.width, r.height);
}

}  // namespace

ConnectDialogGeometry LayOutConnectDialog() {
  ConnectDialogGeometry g;
  g.prompt = Edges(20, 8, 220, 44);
  g.host_label = Edges(20, 44, 120, 66);
  g.host = Edges(124, 44, 220, 66);
  g.port_label = Edges(20, 68, 120, 90);
  g.port = Edges(124, 68, 170, 90);
  g.port_spin = Edges(170, 68, 186, 90);
  g.password_label = Edges(20, 92, 120, 114);
  g.password = Edges(124, 92, 200, 114);
  g.ok = Edges(74, 126, 144, 150);
  g.cancel = Edges(150, 126, 220, 150);
  g.width = 240;
  g.height = 160;
  return g;
}

ConnectDialog::ConnectDialog(const std::string& host, const std::string& port,
                             const std::string& password, QWidget* parent)
    : QDialog(parent) {
  setObjectName("connectDialog");
  setWindowTitle("Connect to Service");
  const ConnectDialogGeometry g = LayOutConnectDialog();
  setFixedSize(g.width, g.height);
  setFont(
      FittedFont(font(), {{kPrompt, g.prompt.width, g.prompt.height, true},
                          {"Service Password:", g.password_label.width, g.password_label.height},
                          {"65535", g.port.width - 6, g.port.height}}));

  auto label = [this](const char* text, const Rect& r) {
    auto* l = new QLabel(text, this);
    Place(l, r);
    return l;
  };
  QLabel* prompt = label(kPrompt, g.prompt);
  prompt->setWordWrap(true);
  prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label("Service Host:", g.host_label);
  label("Service Port:", g.port_label);
  label("Service Password:", g.password_label);

  host_ = new QLineEdit(ToQString(host), this);
  host_->setObjectName("connectHost");
  host_->setToolTip("The hostname or IP Address of the service to configure");
  Place(host_, g.host);

  port_ = new QLineEdit(ToQString(port), this);
  port_->setObjectName("connectPort");
  port_->setToolTip("The port of the service to configure");
  port_->setValidator(new QIntValidator(0, 65535, port_));
  Place(port_, g.port);

  // The port's spin control: up-down buttons beside the edit box.
  spin_ = new UpDownButtons({kConnectPortMin, kConnectPortMax}, this);
  spin_->setObjectName("connectPortSpin");
  Place(spin_, g.port_spin);
  connect(spin_, &UpDownButtons::Stepped, this, &ConnectDialog::StepPort);

  password_ = new QLineEdit(ToQString(password), this);
  password_->setObjectName("connectPassword");
  password_->setEchoMode(QLineEdit::Password);
  password_->setToolTip("The password required to connect to the service you wish to configure");
  Place(password_, g.password);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("connectOk");
  ok->setDefault(true);
  Place(ok, g.ok);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("connectCancel");
  Place(cancel, g.cancel);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  setTabOrder(host_, port_);
  setTabOrder(port_, password_);
  setTabOrder(password_, ok);
  setTabOrder(ok, cancel);
  host_->setFocus();
}

std::string ConnectDialog::Host() const { return FromQString(host_->text()); }
std::string ConnectDialog::Port() const { return FromQString(port_->text()); }
std::string ConnectDialog::Password() const { return FromQString(password_->text()); }

void ConnectDialog::StepPort(int step) {
  const long current = ParseLeadingNumber(Port());
  const long next = std::clamp<long>(current + step, kConnectPortMin, kConnectPortMax);
  port_->setText(QString::number(next));
}

}  // namespace vossik
