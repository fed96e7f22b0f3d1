#include "ui/service_bar.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <thread>

#include "base/ascii_case.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "ui/connect_dialog.h"
#include "ui/control_cell.h"
#include "ui/fitted_font.h"
#include "ui/message_box.h"
#include "ui/posted_events.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"

namespace vossik {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr char kLocalHost[] = "127.0.0.1";
// The offer to start a stopped service paused: a first wait, then state
// queries this far apart, for this long in all.
constexpr seconds kStartSettle{5};
constexpr milliseconds kStartPoll{500};
constexpr seconds kStartLimit{40};
// A service still starting is asked again after this pause, for as long as
// a start may take; a service that never finishes starting is reported.
constexpr milliseconds kStartingPause{500};
constexpr milliseconds kGoingAwayPause{200};

/// Message 2024: the service's state, for the bar's status display.
class ServiceStateEvent : public QEvent {
 public:
  explicit ServiceStateEvent(ServiceState state) : QEvent(kServiceStateEvent), state_(state) {}
  ServiceState State() const { return state_; }

 private:
  ServiceState state_;
};

/// The wait cursor for the life of one client call.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

void Place(QWidget* widget, const Rect& r) {
  widget->setGeometry(r.left, r.top, r.width, r.height);
}

void Paint(QLineEdit* field, int red, int green, int blue) {
  QPalette palette = field->palette();
  for (const QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, QColor(red, green, blue));
    palette.setColor(group, QPalette::Text, Qt::black);
  }
  field->setPalette(palette);
}

// The sheet's font, small enough for every text the bar shows to fit its
// place (buttons and fields keep a few pixels for their frames).
QFont BarFont(const QFont& font) {
  const ServiceBarGeometry g = LayOutServiceBar(true);
  std::vector<FittedText> texts = {
      {"Service:", g.service_label.width, g.service_label.height},
      {"Status:", g.status_label.width, g.status_label.height},
      {"65535", g.port.width - 6, g.port.height},
      {"Switch Service", g.connect.width - 10, g.connect.height},
      {"Refresh", g.refresh.width - 10, g.refresh.height},
      {"Start", g.start_stop.width - 10, g.start_stop.height},
      {"Continue", g.pause_continue.width - 10, g.pause_continue.height},
  };
  for (const char* state : {"Running", "Paused", "Stopped", "Unknown"}) {
    texts.push_back({state, g.status.width - 4, g.status.height});
  }
  return FittedFont(font, texts);
}

}  // namespace

ServiceBarGeometry LayOutServiceBar(bool local_service) {
  ServiceBarGeometry g;
  g.service_label = {0, 3, 38, 20};
  g.host = {42, 1, 98, 20};
  g.colon_label = {141, 3, 4, 20};
  g.port = {146, 1, 46, 20};
  g.connect = {193, 0, 90, 22};
  g.status_label = {295, 3, 32, 20};
  g.status = {329, 1, 54, 20};
  g.refresh = {383, 0, 50, 22};
  g.start_stop = {445, 0, 40, 22};
  g.pause_continue = local_service ? Rect{489, 0, 54, 22} : Rect{445, 0, 54, 22};
  return g;
}

StatusLook StatusLookFor(ServiceState state) {
  switch (state) {
    case ServiceState::kStartPending:
    case ServiceState::kRunning:
      return {"Running", 148, 246, 164, "Stop", true, "Pause"};
    case ServiceState::kPaused:
      return {"Paused", 0, 190, 190, "Stop", true, "Continue"};
    case ServiceState::kStopPending:
    case ServiceState::kStopped:
    case ServiceState::kUnknown:
      break;
  }
  return {"Stopped", 240, 0, 0, "Start", false, "Pause"};
}

ServiceBar::ServiceBar(std::string product_name, Environment environment, QWidget* parent)
    : QFrame(parent), product_name_(std::move(product_name)), environment_(std::move(environment)) {
  setObjectName("serviceBar");
  auto label = [this](const char* text) { return new QLabel(text, this); };
  auto field = [this](const char* name, int id, const char* tip) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setProperty("commandId", id);
    edit->setReadOnly(true);
    edit->setToolTip(tip);
    return edit;
  };
  auto button = [this](const char* name, int id, const char* text, const char* tip) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setProperty("commandId", id);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
  };
  service_label_ = label("Service:");
  host_ = field("serviceHost", kHostField,
                "The hostname or IP Address of the service being configured");
  colon_label_ = label(":");
  port_ = field("servicePort", kPortField, "The port of the service being configured");
  connect_ = button("serviceConnect", kConnectCommand, "Connect", "Configure a different service");
  status_label_ = label("Status:");
  status_ = field("serviceStatus", kStatusField, "Status of the service");
  status_->setAlignment(Qt::AlignCenter);
  refresh_ = button("serviceRefresh", kRefreshCommand, "Refresh", "Refresh the status");
  start_stop_ = button("serviceStartStop", kStartStopCommand, "Start", "Start the service");
  pause_continue_ =
      button("servicePauseContinue", kPauseContinueCommand, "Pause", "Pause/Continue the service");

  status_->setText("Stopped");
  Paint(status_, 192, 192, 192);
  setFont(BarFont(font()));

  connect(connect_, &QPushButton::clicked, this, &ServiceBar::SwitchService);
  connect(refresh_, &QPushButton::clicked, this, &ServiceBar::Refresh);
  connect(start_stop_, &QPushButton::clicked, this, &ServiceBar::StartStop);
  connect(pause_continue_, &QPushButton::clicked, this, &ServiceBar::PauseContinue);
  PlaceChildren();
}

ServiceBar::~ServiceBar() = default;

// -- Connection ---------------------------------------------------------------

void ServiceBar::Connect(std::string_view service_name, const XmlNode* descriptor,
                         SettingsStore* store) {
  ShowDisconnected();
  std::lock_guard hold(lock_);
  if (!service_name.empty()) service_name_ = service_name;
  descriptor_ = descriptor;
  store_ = store;
  client_.reset();
  client_ = std::make_unique<AdminClient>(environment_.opener);
  if (environment_.configure_client) environment_.configure_client(*client_);

  std::string host;
  int32_t port = 0;
  std::string password;
  if (store_ != nullptr) {
    // Missing settings read as their defaults; an unresolvable one leaves
    // the value empty, which the checks below turn away.
    static_cast<void>(GetString(*store_, descriptor_, {.uid = "service:host"}, &host));
    static_cast<void>(GetNumber(*store_, descriptor_, {.uid = "service:port"}, &port));
    static_cast<void>(
        GetSecret(*store_, descriptor_, {.uid = "administrator:password"}, &password));
  }
  if (host.empty()) host = kLocalHost;
  const int initialised = client_->Initialise(service_name_, host, port);
  port_->setText(QString::number(client_->Port()));
  host_->setText(host == kLocalHost || host == "localhost" ? "<local>" : ToQString(host));
  host_->setCursorPosition(0);
  client_->SetPassword(std::move(password));
  if (initialised != kClientReady && initialised != kClientNoServiceManager) client_.reset();
  PlaceChildren();
}

std::string ServiceBar::Host() const { return client_ ? client_->Host() : std::string(); }
int32_t ServiceBar::Port() const { return client_ ? client_->Port() : 0; }
bool ServiceBar::HasLocalService() const { return client_ && client_->HasLocalService(); }

// -- State ----------------------------------------------------------------------

void ServiceBar::RefreshStatus() {
  std::lock_guard hold(lock_);
  if (!client_) return;
  AdminResult ignored = AdminResult::kOk;
  ServiceState state = ServiceState::kUnknown;
  {
    WaitCursor wait;
    state = client_->GetStatus(&ignored);
  }
  QCoreApplication::postEvent(this, new ServiceStateEvent(state));
}

ServiceState ServiceBar::GetState() {
  std::lock_guard hold(lock_);
  if (!client_) return ServiceState::kStopped;
  AdminResult error = AdminResult::kOk;
  ServiceState state = ServiceState::kUnknown;
  {
    WaitCursor wait;
    state = client_->GetStatus(&error);
  }
  if (error == AdminResult::kBadPassword) Warn(kBadPasswordText);
  return state;
}

bool ServiceBar::event(QEvent* event) {
  if (event->type() == kServiceStateEvent) {
    // A state that arrives after a failure was reported belongs to the
    // request before it; the disconnected look stands until a request succeeds.
    if (connected_) ShowState(static_cast<ServiceStateEvent*>(event)->State());
    return true;
  }
  return QFrame::event(event);
}

void ServiceBar::ShowState(ServiceState state) {
  const StatusLook look = StatusLookFor(state);
  status_->setText(look.text);
  Paint(status_, look.red, look.green, look.blue);
  start_stop_->setEnabled(true);
  start_stop_->setText(look.start_stop_text);
  pause_continue_->setEnabled(look.pause_enabled);
  pause_continue_->setText(look.pause_text);
}

void ServiceBar::ShowDisconnected() {
  connected_ = false;
  start_stop_->setEnabled(false);
  pause_continue_->setEnabled(false);
  refresh_->setEnabled(false);
  status_->setText("Unknown");
  Paint(status_, 190, 190, 190);
  status_->setEnabled(false);
  connect_->setText("Connect");
  ShowTabIcons();
}

void ServiceBar::ShowConnected() {
  connected_ = true;
  start_stop_->setEnabled(true);
  pause_continue_->setEnabled(true);
  refresh_->setEnabled(true);
  status_->setEnabled(true);
  connect_->setText("Switch Service");
  ShowTabIcons();
  RefreshStatus();
}

void ServiceBar::ShowTabIcons() {
  // The tabs look enabled while the service is reached and there is
  // something to edit.
  if (CGUIPropertySheet* sheet = Sheet()) sheet->ShowTabIcons(connected_ && sheet->Store());
}

void ServiceBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ParentChange) {
    if (CGUIPropertySheet* sheet = Sheet()) {
      connect(sheet, &CGUIPropertySheet::SelectorShown, this, &ServiceBar::ShowTabIcons,
              Qt::UniqueConnection);
    }
  }
  QFrame::changeEvent(event);
}

// -- Error handling ---------------------------------------------------------------

void ServiceBar::Warn(const std::string& text) {
  ShowAdminMessage(this, MessageKind::kWarning, product_name_, text);
}

AdminResult ServiceBar::Dispatch(AdminResult result) {
  switch (result) {
    case AdminResult::kOk:
    case AdminResult::kNotModified:
      if (!pause_continue_->isEnabled()) ShowConnected();
      return result;
    case AdminResult::kNotFound:
      return result;
    case AdminResult::kCommFailure: {
      const ServiceState state = GetState();
      if (state == ServiceState::kStartPending && Now() < starting_deadline_) {
        Sleep(kStartingPause);
        return AdminResult::kRetry;
      }
      if (state == ServiceState::kStopped) return OfferStartPaused();
      Warn(kCommunicationFailedText);
      ShowDisconnected();
      return result;
    }
    case AdminResult::kNotSupported:
      Warn(kNotSupportedText);
      return result;
    case AdminResult::kBadPassword:
      Warn(kBadPasswordText);
      ShowDisconnected();
      return result;
    default:
      if (GetState() == ServiceState::kStopped) return OfferStartPaused();
      Warn(kUnknownErrorText);
      ShowDisconnected();
      return result;
  }
}

AdminResult ServiceBar::OfferStartPaused() {
  std::lock_guard hold(lock_);
  if (!client_ || !client_->HasLocalService()) return AdminResult::kCommFailure;
  if (ShowMessageBox(this, MessageKind::kQuestion, kServiceInformationTitle,
                     kStartPausedQuestion) != MessageAnswer::kYes) {
    return AdminResult::kCommFailure;
  }
  const Clock::time_point began = Now();
  AdminResult started = AdminResult::kOk;
  {
    WaitCursor wait;
    started = client_->Start();
  }
  if (started != AdminResult::kOk) {
    // Nothing to wait for: the service manager turned the start down.
    Warn(kUnknownErrorText);
    ShowDisconnected();
    return started;
  }
  RefreshStatus();

  ServiceState state = ServiceState::kUnknown;
  {
    WaitCursor wait;
    Sleep(kStartSettle);
    for (;;) {
      AdminResult ignored = AdminResult::kOk;
      state = client_->GetStatus(&ignored);
      if (state == ServiceState::kRunning || Now() - began >= kStartLimit) break;
      Sleep(kStartPoll);
    }
  }
  if (state != ServiceState::kRunning) return AdminResult::kCommFailure;
  PauseContinue();
  return AdminResult::kStartedPaused;
}

// -- Requests ---------------------------------------------------------------------

AdminResult ServiceBar::ServiceRequest(std::string_view action, std::time_t stamp,
                                       std::string_view extra_query, std::string* reply) {
  std::lock_guard hold(lock_);
  if (!client_) return AdminResult::kCommFailure;
  starting_deadline_ = Now() + kStartLimit;
  AdminResult result = AdminResult::kRetry;
  while (result == AdminResult::kRetry) {
    reply->clear();
    AdminResult sent = AdminResult::kCommFailure;
    {
      WaitCursor wait;
      sent = client_->GenericRequest(action, stamp, extra_query, false, reply);
    }
    result = Dispatch(sent);
    if (!client_) break;
  }
  return result;
}

AdminResult ServiceBar::GetConfiguration(std::string* text, std::time_t stamp) {
  std::lock_guard hold(lock_);
  if (!client_) return AdminResult::kCommFailure;
  starting_deadline_ = Now() + kStartLimit;
  auto fetch = [&] {
    text->clear();
    WaitCursor wait;
    return client_->GetConfiguration(text, stamp);
  };
  AdminResult result = AdminResult::kRetry;
  while (result == AdminResult::kRetry && client_) result = Dispatch(fetch());
  if (result != AdminResult::kStartedPaused || !client_) return result;
  // The service now runs paused: ask once more, and take that answer as it is.
  const AdminResult again = fetch();
  if (again == AdminResult::kOk || again == AdminResult::kNotModified) {
    static_cast<void>(Dispatch(again));
  }
  return again;
}

bool ServiceBar::SetConfiguration(std::string_view text, AdminResult* outcome) {
  std::lock_guard hold(lock_);
  if (!client_) return false;
  starting_deadline_ = Now() + kStartLimit;
  AdminResult result = AdminResult::kRetry;
  while (result == AdminResult::kRetry && client_) {
    AdminResult sent = AdminResult::kCommFailure;
    {
      WaitCursor wait;
      sent = client_->SetConfiguration(text);
    }
    result = Dispatch(sent);
  }
  if (outcome != nullptr) *outcome = result;
  return true;
}

void ServiceBar::GoingAway(bool ask) {
  std::lock_guard hold(lock_);
  if (ask && client_ && GetState() == ServiceState::kPaused &&
      ShowMessageBox(this, MessageKind::kQuestion, kServiceInformationTitle, kExitPausedQuestion) ==
          MessageAnswer::kYes) {
    // Continue starts a local service through its manager and asks a
    // remote one with CONTINUE, so that a remote service is not left paused.
    AdminResult error = AdminResult::kOk;
    bool continued = false;
    {
      WaitCursor wait;
      continued = client_->Continue(&error);
    }
    if (!continued) Warn(kUnknownErrorText);
    RefreshStatus();
  }
  client_.reset();
  Sleep(kGoingAwayPause);
}

// -- Commands ---------------------------------------------------------------------

void ServiceBar::StartStop() {
  std::lock_guard hold(lock_);
  if (!client_) return;
  starting_deadline_ = Now() + kStartLimit;
  AdminResult error = AdminResult::kOk;
  ServiceState state = ServiceState::kUnknown;
  {
    WaitCursor wait;
    state = client_->GetStatus(&error);
  }
  if (state == ServiceState::kPaused || state == ServiceState::kRunning) {
    bool stopped = false;
    {
      WaitCursor wait;
      stopped = client_->Stop(&error);
    }
    // A refused control call leaves the code alone; it is a failure all the same.
    if (!stopped && error == AdminResult::kOk) error = AdminResult::kControlFailed;
  } else if (client_->HasLocalService()) {
    AdminResult started = AdminResult::kOk;
    {
      WaitCursor wait;
      started = client_->Start();
    }
    if (started != AdminResult::kOk) error = started;
  }
  static_cast<void>(Dispatch(error));
  RefreshStatus();
}

void ServiceBar::PauseContinue() {
  std::lock_guard hold(lock_);
  if (!client_) return;
  starting_deadline_ = Now() + kStartLimit;
  AdminResult error = AdminResult::kOk;
  ServiceState state = ServiceState::kUnknown;
  {
    WaitCursor wait;
    state = client_->GetStatus(&error);
  }
  error = AdminResult::kOk;
  bool done = false;
  {
    WaitCursor wait;
    done = state == ServiceState::kPaused ? client_->Continue(&error) : client_->Pause(&error);
  }
  if (!done && error == AdminResult::kOk) error = AdminResult::kControlFailed;
  static_cast<void>(Dispatch(error));
  RefreshStatus();
}

void ServiceBar::Refresh() { RefreshStatus(); }

void ServiceBar::SwitchService() {
  std::string host;
  std::string port;
  std::string password;
  if (store_ != nullptr) {
    static_cast<void>(GetString(*store_, descriptor_, {.uid = "service:host"}, &host));
    static_cast<void>(GetString(*store_, descriptor_, {.uid = "service:port"}, &port));
    static_cast<void>(
        GetSecret(*store_, descriptor_, {.uid = "administrator:password"}, &password));
  }
  ConnectDialog dialog(host, port, password, this);
  if (dialog.exec() != QDialog::Accepted) return;
  SwitchTo(dialog.Host(), dialog.Port(), dialog.Password());
}

void ServiceBar::SwitchTo(const std::string& host_entry, const std::string& port_entry,
                          const std::string& password) {
  std::string host = host_entry;
  if (EqualsIgnoringCase(host, "<local>") || host == "localhost") host = kLocalHost;
  const int32_t port = static_cast<int32_t>(ParseLeadingNumber(port_entry));
  const std::string status = FromQString(status_->text());
  {
    std::lock_guard hold(lock_);
    if (store_ != nullptr) {
      const bool written =
          SetSecret(*store_, descriptor_, {.uid = "administrator:password"}, password) ==
              kResultOk &&
          SetString(*store_, descriptor_, {.uid = "service:host"}, host) == kResultOk &&
          SetString(*store_, descriptor_, {.uid = "service:port"}, std::to_string(port)) ==
              kResultOk;
      if (!written || store_->Save() != kResultOk) {
        Warn("The connection settings could not be saved to '" + store_->FileName() +
             "'.\nThey are used until the program ends.");
      }
    }
  }
  CGUIPropertySheet* sheet = Sheet();
  if (sheet != nullptr && status != "Stopped" &&
      (!client_ || client_->Host() != host || client_->Port() != port)) {
    // Unsent changes go to the service being left; what the page on view
    // holds counts too.
    if (CGUIPropertyPage* page = sheet->ActivePage(); page != nullptr && sheet->Store()) {
      page->ExchangeValues(true);
    }
    QEvent apply(kApplyEvent);
    QCoreApplication::sendEvent(sheet, &apply);
  }
  Connect({}, descriptor_, store_);
  if (sheet != nullptr) {
    QEvent load(kLoadConfigurationEvent);
    QCoreApplication::sendEvent(sheet, &load);
  }
}

// -- Geometry and surroundings ------------------------------------------------------

void ServiceBar::resizeEvent(QResizeEvent* event) {
  PlaceChildren();
  QFrame::resizeEvent(event);
}

void ServiceBar::PlaceChildren() {
  const bool local = HasLocalService();
  const ServiceBarGeometry g = LayOutServiceBar(local);
  Place(service_label_, g.service_label);
  Place(host_, g.host);
  Place(colon_label_, g.colon_label);
  Place(port_, g.port);
  Place(connect_, g.connect);
  Place(status_label_, g.status_label);
  Place(status_, g.status);
  Place(refresh_, g.refresh);
  Place(start_stop_, g.start_stop);
  Place(pause_continue_, g.pause_continue);
  start_stop_->setVisible(local);
  if (!local) start_stop_->setEnabled(false);
}

CGUIPropertySheet* ServiceBar::Sheet() const {
  return qobject_cast<CGUIPropertySheet*>(parentWidget());
}

ServiceBar::Clock::time_point ServiceBar::Now() const {
  return environment_.now ? environment_.now() : Clock::now();
}

void ServiceBar::Sleep(std::chrono::milliseconds duration) const {
  if (environment_.sleep) {
    environment_.sleep(duration);
  } else {
    std::this_thread::sleep_for(duration);
  }
}

}  // namespace vossik
