// ServiceBar is the one-line bar of the administration window, below the
// settings tabs: which service is configured (host and port), its state in
// a coloured field, and Start/Stop, Pause/Continue, Refresh and Connect
// (later Switch Service). It owns the window's one AdminClient, and every
// exchange with the service, the sheet's configuration transfer and the data
// views' requests alike, goes through it, so that one lock, one wait cursor
// and one error policy apply to all of them: failures become the fixed
// messages below, a stopped local service is offered to be started paused,
// and a request is repeated while the service is still starting.
//
// The bar is a child of the sheet (CGUIPropertySheet::SetServiceBar); it
// owns its client and its controls. Requests run on the user-interface
// thread and block it for the client's time-outs. User-interface thread only.
#pragma once

#include <QFrame>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "admin/admin_client.h"
#include "ui/page_layout.h"
#include "ui/service_requests.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vossik {

class CGUIPropertySheet;
class SettingsStore;
class XmlNode;

/// The command identifiers of the bar's controls (also each control's
/// "commandId" property).
inline constexpr int kStartStopCommand = 12000;
inline constexpr int kPauseContinueCommand = 12001;
inline constexpr int kStatusField = 12003;
inline constexpr int kConnectCommand = 12004;
inline constexpr int kRefreshCommand = 12005;
inline constexpr int kHostField = 12006;
inline constexpr int kPortField = 12007;

/// The messages of the bar's error handling.
inline constexpr char kCommunicationFailedText[] =
    "Couldn't communicate with the service.\nIt may not be running, configured on a different "
    "port or may be configured to refuse connections from your IP Address.";
inline constexpr char kNotSupportedText[] =
    "The server you are connected to does not support the operation you attempted.\nYou need to "
    "upgrade your server and administration interface to a matching version.";
inline constexpr char kBadPasswordText[] =
    "The password you supplied is incorrect for the service you tried to attach to.";
inline constexpr char kUnknownErrorText[] = "Unknown error communicating with service.";
inline constexpr char kStartPausedQuestion[] =
    "The server you are trying to configure is not running.\nThe server must be running in order "
    "to configure it.\nDo you want to start the server (paused)?";
inline constexpr char kExitPausedQuestion[] =
    "The server you are connected to is paused.\nDo you want to start the server before exiting "
    "this administration client?";
inline constexpr char kServiceInformationTitle[] = "Service Information";

/// The bar's children, left to right, as (x, y, width, height) within the
/// bar. Without a local service the Start/Stop button is hidden and
/// Pause/Continue takes its place.
struct ServiceBarGeometry {
  Rect service_label, host, colon_label, port, connect, status_label, status, refresh;
  Rect start_stop;  // only with a local service
  Rect pause_continue;
};
ServiceBarGeometry LayOutServiceBar(bool local_service);

/// What the status field shows for a state, and how the two control
/// buttons read.
struct StatusLook {
  const char* text;
  int red, green, blue;
  const char* start_stop_text;
  bool pause_enabled;
  const char* pause_text;
};
StatusLook StatusLookFor(ServiceState state);

class ServiceBar : public QFrame, public ServiceRequests {
  Q_OBJECT

 public:
  using Clock = std::chrono::steady_clock;
  /// What the bar takes from its surroundings; tests replace the clock and
  /// the waits so that the start-paused wait takes no time.
  struct Environment {
    LocalServiceOpener opener;                             // null: the machine's services
    std::function<Clock::time_point()> now;                // null: the steady clock
    std::function<void(std::chrono::milliseconds)> sleep;  // null: sleeps
    std::function<void(AdminClient&)> configure_client;    // runs on every new client
  };

  /// `product_name` titles the messages ("<product> Admin").
  explicit ServiceBar(std::string product_name, Environment environment = {},
                      QWidget* parent = nullptr);
  ~ServiceBar() override;

  /// Builds a new client for the service that `store` names (service:host,
  /// empty meaning 127.0.0.1; service:port; administrator:password) and
  /// shows its address; the bar stays disconnected until a request
  /// succeeds. `service_name` (empty: keep the one given before) is the
  /// name the service is installed under on this machine.
  void Connect(std::string_view service_name, const XmlNode* descriptor, SettingsStore* store);

  bool HasClient() const { return client_ != nullptr; }
  /// The client's host and port ("" and 0 without a client).
  std::string Host() const;
  int32_t Port() const;
  bool HasLocalService() const;
  /// Whether the connected look is on (a request has succeeded since the
  /// last failure).
  bool Connected() const { return connected_; }

  /// Posts the client's state to the bar (message 2024); nothing without a client.
  void RefreshStatus();
  /// The client's state, `Stopped` without a client; a refused password is
  /// shown as a warning.
  ServiceState GetState();

  // -- Requests for the sheet and the data views ------------------------------

  /// Any action; repeated while the service is still starting.
  AdminResult ServiceRequest(std::string_view action, std::time_t stamp,
                             std::string_view extra_query, std::string* reply) override;
  /// GETCONFIG; after the service was started paused, asked exactly once more.
  AdminResult GetConfiguration(std::string* text, std::time_t stamp);
  /// SETCONFIG; false only without a client. A failure has been shown;
  /// `outcome`, when given, receives the last result.
  bool SetConfiguration(std::string_view text, AdminResult* outcome = nullptr);

  /// The window is closing: with `ask`, a paused service is offered to be
  /// started again. The client goes.
  void GoingAway(bool ask);

  /// "host:port" or "local:port", for the window title.
  void SetConnectionLabel(std::string label) { connection_label_ = std::move(label); }
  const std::string& ConnectionLabel() const { return connection_label_; }

  // -- Commands ---------------------------------------------------------------

  void StartStop();
  void PauseContinue();
  void Refresh();
  /// Connect / Switch Service: asks for the service to configure.
  void SwitchService();
  /// The switch itself, as confirmed in the dialog: saves the connection
  /// settings, applies unsent changes to the service being left when it
  /// is another one, connects and has the sheet load the configuration.
  void SwitchTo(const std::string& host, const std::string& port, const std::string& password);

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  AdminResult Dispatch(AdminResult result);
  AdminResult OfferStartPaused();
  void ShowDisconnected();
  void ShowConnected();
  void ShowState(ServiceState state);
  void ShowTabIcons();
  void Warn(const std::string& text);
  void PlaceChildren();
  CGUIPropertySheet* Sheet() const;
  Clock::time_point Now() const;
  void Sleep(std::chrono::milliseconds duration) const;

  std::string product_name_;
  Environment environment_;
  std::unique_ptr<AdminClient> client_;
  std::recursive_mutex lock_;
  std::string service_name_;
  const XmlNode* descriptor_ = nullptr;
  SettingsStore* store_ = nullptr;
  std::string connection_label_;
  bool connected_ = false;
  // Until when a service that is still starting is asked again.
  Clock::time_point starting_deadline_{};

  QLabel* service_label_ = nullptr;
  QLineEdit* host_ = nullptr;
  QLabel* colon_label_ = nullptr;
  QLineEdit* port_ = nullptr;
  QPushButton* connect_ = nullptr;
  QLabel* status_label_ = nullptr;
  QLineEdit* status_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QPushButton* start_stop_ = nullptr;
  QPushButton* pause_continue_ = nullptr;
};

}  // namespace vossik
