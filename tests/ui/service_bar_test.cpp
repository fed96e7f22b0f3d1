// The service bar of the administration window, driven through its own
// buttons (found by objectName) against a real vossikd, and against a fake
// local service manager for starting and stopping, with a clock that the
// waits move instead of time passing.
#include "ui/service_bar.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <vector>

#include "admin/local_service.h"
#include "ui/admin_sheet_fixture.h"
#include "ui/posted_events.h"
#include "ui/property_page.h"

namespace vossik {
namespace {

using std::chrono::milliseconds;
using testing::AdminSheetFixture;

QString Message(const char* title, const char* text) {
  return QString::fromStdString(std::string(title) + "|" + text);
}
QString Admin(const char* text) { return Message("Vossik Admin", text); }

/// The local service manager's view of one service, shared with the fakes
/// that the clients open.
struct FakeManager {
  ServiceState state = ServiceState::kRunning;
  int starting_queries = 0;  // queries that still answer StartPending after a start
  std::vector<std::string> calls;
  std::function<void()> on_start;
};

class FakeService : public LocalService {
 public:
  explicit FakeService(FakeManager& manager) : manager_(manager) {}
  const std::string& Name() const override { return name_; }
  ServiceState QueryState() override {
    manager_.calls.push_back("query");
    if (manager_.state == ServiceState::kStartPending && manager_.starting_queries-- <= 0) {
      manager_.state = ServiceState::kRunning;
    }
    return manager_.state;
  }
  bool Start() override { return Change("start", ServiceState::kStartPending); }
  bool Stop() override { return Change("stop", ServiceState::kStopped); }
  bool Pause() override { return Change("pause", ServiceState::kPaused); }
  bool Continue() override { return Change("continue", ServiceState::kRunning); }
  ServiceState LastState() const override { return manager_.state; }

 protected:
  void WaitBeforeNextQuery() override {}

 private:
  bool Change(const char* call, ServiceState state) {
    manager_.calls.push_back(call);
    manager_.state = state;
    if (std::string(call) == "start" && manager_.on_start) manager_.on_start();
    return true;
  }

  FakeManager& manager_;
  std::string name_ = "vossik";
};

/// A clock that only the bar's waits move.
struct FakeTime {
  ServiceBar::Clock::time_point now{};
  std::vector<milliseconds> sleeps;

  ServiceBar::Environment Environment(FakeManager* manager) {
    ServiceBar::Environment environment;
    environment.now = [this] { return now; };
    environment.sleep = [this](milliseconds duration) {
      sleeps.push_back(duration);
      now += duration;
    };
    if (manager != nullptr) {
      environment.opener = [manager](const std::string&, bool* available) {
        *available = true;
        return std::unique_ptr<LocalService>(std::make_unique<FakeService>(*manager));
      };
    }
    return environment;
  }
};

/// Records the configuration events that reach the sheet.
class SheetEvents : public QObject {
 public:
  QList<int> seen;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == kApplyEvent || event->type() == kLoadConfigurationEvent) {
      seen << int(event->type());
    }
    return false;
  }
};

QColor FieldColour(QLineEdit* field) { return field->palette().color(QPalette::Base); }

// The colour the field shows on screen: the commonest one inside its frame.
QColor PaintedColour(QLineEdit* field) {
  const QImage image = field->grab().toImage();
  QHash<QRgb, int> counts;
  for (int y = 2; y < image.height() - 2; ++y) {
    for (int x = 2; x < image.width() - 2; ++x) ++counts[image.pixel(x, y)];
  }
  QRgb commonest = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > counts.value(commonest)) commonest = it.key();
  }
  return QColor(commonest);
}

QRect RectOf(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

class ServiceBarTest : public QObject {
  Q_OBJECT

 private slots:
  void TheControlsSitWhereTheBarPutsThem() {
    const ServiceBarGeometry local = LayOutServiceBar(true);
    const ServiceBarGeometry remote = LayOutServiceBar(false);
    QCOMPARE(RectOf(local.host), QRect(42, 1, 98, 20));
    QCOMPARE(RectOf(local.port), QRect(146, 1, 46, 20));
    QCOMPARE(RectOf(local.connect), QRect(193, 0, 90, 22));
    QCOMPARE(RectOf(local.status), QRect(329, 1, 54, 20));
    QCOMPARE(RectOf(local.refresh), QRect(383, 0, 50, 22));
    QCOMPARE(RectOf(local.start_stop), QRect(445, 0, 40, 22));
    QCOMPARE(RectOf(local.pause_continue), QRect(489, 0, 54, 22));
    // Without a local service Pause/Continue takes the Start/Stop place.
    QCOMPARE(RectOf(remote.pause_continue), QRect(445, 0, 54, 22));
  }

  void TheStatusTableGivesTextColourAndButtons_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("start_stop");
    QTest::addColumn<bool>("pause_enabled");
    QTest::addColumn<QString>("pause");
    const QColor running(148, 246, 164), paused(0, 190, 190), stopped(240, 0, 0);
    QTest::newRow("start pending")
        << int(ServiceState::kStartPending) << "Running" << running << "Stop" << true << "Pause";
    QTest::newRow("running") << int(ServiceState::kRunning) << "Running" << running << "Stop"
                             << true << "Pause";
    QTest::newRow("paused") << int(ServiceState::kPaused) << "Paused" << paused << "Stop" << true
                            << "Continue";
    QTest::newRow("stop pending") << int(ServiceState::kStopPending) << "Stopped" << stopped
                                  << "Start" << false << "Pause";
    QTest::newRow("stopped") << int(ServiceState::kStopped) << "Stopped" << stopped << "Start"
                             << false << "Pause";
    QTest::newRow("unknown") << int(ServiceState::kUnknown) << "Stopped" << stopped << "Start"
                             << false << "Pause";
  }
  void TheStatusTableGivesTextColourAndButtons() {
    QFETCH(int, state);
    const StatusLook look = StatusLookFor(ServiceState(state));
    QTEST(QString(look.text), "text");
    QTEST(QColor(look.red, look.green, look.blue), "colour");
    QTEST(QString(look.start_stop_text), "start_stop");
    QTEST(look.pause_enabled, "pause_enabled");
    QTEST(QString(look.pause_text), "pause");
  }

  void ShowsARunningServiceThenPausedThenStopped() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));

    auto* host = f.Find<QLineEdit>("serviceHost");
    auto* port = f.Find<QLineEdit>("servicePort");
    auto* status = f.Find<QLineEdit>("serviceStatus");
    auto* connect = f.Find<QPushButton>("serviceConnect");
    auto* pause = f.Find<QPushButton>("servicePauseContinue");
    auto* start_stop = f.Find<QPushButton>("serviceStartStop");
    auto* refresh = f.Find<QPushButton>("serviceRefresh");
    QCOMPARE(host->text(), QString("<local>"));
    QCOMPARE(host->toolTip(),
             QString("The hostname or IP Address of the service being configured"));
    QCOMPARE(port->text(), QString::number(f.port));
    QCOMPARE(status->property("commandId").toInt(), kStatusField);
    QCOMPARE(connect->text(), QString("Switch Service"));
    QCOMPARE(connect->toolTip(), QString("Configure a different service"));
    // No local service: Start/Stop is hidden and Pause/Continue takes its place.
    QVERIFY(!start_stop->isVisible());
    QCOMPARE(pause->geometry(), QRect(445, 0, 54, 22));

    QCOMPARE(status->text(), QString("Running"));
    QCOMPARE(FieldColour(status), QColor(148, 246, 164));
    QCOMPARE(PaintedColour(status), QColor(148, 246, 164));
    QVERIFY(pause->isEnabled());
    QCOMPARE(pause->text(), QString("Pause"));

    QTest::mouseClick(pause, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(status->text(), QString("Paused"));
    QCOMPARE(PaintedColour(status), QColor(0, 190, 190));
    QCOMPARE(pause->text(), QString("Continue"));

    QTest::mouseClick(pause, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(status->text(), QString("Running"));

    // A service that went away reads as stopped on Refresh.
    QVERIFY(f.service->Stop());
    QTest::mouseClick(refresh, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(status->text(), QString("Stopped"));
    QCOMPARE(PaintedColour(status), QColor(240, 0, 0));
    QVERIFY(!pause->isEnabled());
    QVERIFY(f.messages.isEmpty());

    // A request to it now fails: the message, and the disconnected look.
    std::string reply;
    QVERIFY(f.bar->ServiceRequest("GETSTATUS", -1, {}, &reply) == AdminResult::kCommFailure);
    QCOMPARE(f.messages, QStringList{Admin(kCommunicationFailedText)});
    QCOMPARE(status->text(), QString("Unknown"));
    QCOMPARE(connect->text(), QString("Connect"));
    QVERIFY(!refresh->isEnabled());
  }

  void AWrongPasswordWarnsAndLeavesTheBarDisconnected() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService("river walk 42"), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port, "wrong"));
    f.OpenWindow();
    QVERIFY(f.messages.contains(Admin(kBadPasswordText)));
    auto* status = f.Find<QLineEdit>("serviceStatus");
    QCOMPARE(status->text(), QString("Unknown"));
    QCOMPARE(FieldColour(status), QColor(190, 190, 190));
    QVERIFY(!status->isEnabled());
    QVERIFY(!f.Find<QPushButton>("servicePauseContinue")->isEnabled());
    QVERIFY(!f.Find<QPushButton>("serviceRefresh")->isEnabled());
    QCOMPARE(f.Find<QPushButton>("serviceConnect")->text(), QString("Connect"));
    QVERIFY(!f.bar->Connected());
    // Nothing to edit: the pages have no store.
    QCOMPARE(f.sheet->Store(), nullptr);
  }

  void ARefusedConnectionSaysSoAndLeavesTheBarDisconnected() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY(f.NameService("127.0.0.1", f.port));  // nothing listens there
    f.OpenWindow();
    QVERIFY2(f.messages.contains(Admin(kCommunicationFailedText)),
             qPrintable(f.messages.join("\n")));
    QVERIFY(f.messages.contains(Admin(kCouldNotContactText)));
    QCOMPARE(f.Find<QLineEdit>("serviceStatus")->text(), QString("Unknown"));
    QVERIFY(!f.Find<QPushButton>("servicePauseContinue")->isEnabled());
    QCOMPARE(f.sheet->Store(), nullptr);
  }

  void StartStopDrivesTheLocalService() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    FakeManager manager;
    FakeTime time;
    f.OpenWindow(time.Environment(&manager), "vossik");
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));

    auto* start_stop = f.Find<QPushButton>("serviceStartStop");
    auto* pause = f.Find<QPushButton>("servicePauseContinue");
    auto* status = f.Find<QLineEdit>("serviceStatus");
    QVERIFY(start_stop->isVisible());
    QCOMPARE(start_stop->geometry(), QRect(445, 0, 40, 22));
    QCOMPARE(pause->geometry(), QRect(489, 0, 54, 22));
    QCOMPARE(start_stop->toolTip(), QString("Start the service"));
    QCOMPARE(start_stop->text(), QString("Stop"));

    manager.calls.clear();
    QTest::mouseClick(start_stop, Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(manager.calls.size() >= 2);
    QCOMPARE(manager.calls[1], std::string("stop"));
    QCOMPARE(status->text(), QString("Stopped"));
    QCOMPARE(start_stop->text(), QString("Start"));
    QVERIFY(!pause->isEnabled());

    manager.calls.clear();
    QTest::mouseClick(start_stop, Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(std::find(manager.calls.begin(), manager.calls.end(), "start") != manager.calls.end());
    QCOMPARE(status->text(), QString("Running"));
    QCOMPARE(start_stop->text(), QString("Stop"));
    QVERIFY(f.messages.isEmpty());
  }

  void AStoppedLocalServiceIsStartedPausedAndAskedAgain() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY(testing::WriteServiceFolder(f.ServiceFolder(), f.port, {}));
    QVERIFY(f.NameService("127.0.0.1", f.port));
    FakeManager manager;
    manager.state = ServiceState::kStopped;
    manager.starting_queries = 3;
    manager.on_start = [&f] {
      f.service = std::make_unique<testing::RunningVossikd>(f.ServiceFolder());
    };
    FakeTime time;
    f.answer = [](MessageKind kind, const std::string&) {
      return kind == MessageKind::kQuestion ? MessageAnswer::kYes : MessageAnswer::kCancel;
    };
    f.OpenWindow(time.Environment(&manager), "vossik");

    QCOMPARE(f.messages, QStringList{Message(kServiceInformationTitle, kStartPausedQuestion)});
    QVERIFY(f.service && f.service->Port() == f.port);
    // Five seconds to settle, then half-second polls until it runs; then paused.
    QVERIFY(time.sleeps.size() >= 2);
    QVERIFY(time.sleeps[0] == milliseconds(5000));
    QVERIFY(time.sleeps[1] == milliseconds(500));
    const auto start = std::find(manager.calls.begin(), manager.calls.end(), "start");
    QVERIFY(start != manager.calls.end());
    QVERIFY(std::find(start, manager.calls.end(), "pause") != manager.calls.end());
    // The request was made again and answered: the copy is written and loaded.
    QVERIFY(std::filesystem::exists(f.transfer->CopyPath()));
    QVERIFY(f.sheet->Store() != nullptr);
    QVERIFY(f.bar->Connected());
    QCOMPARE(f.Find<QLineEdit>("serviceStatus")->text(), QString("Paused"));
  }

  void AServiceThatNeverRunsIsGivenUpAfterFortySeconds() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY(f.NameService("127.0.0.1", f.port));
    FakeManager manager;
    manager.state = ServiceState::kStopped;
    manager.starting_queries = 1 << 20;
    FakeTime time;
    f.answer = [](MessageKind kind, const std::string&) {
      return kind == MessageKind::kQuestion ? MessageAnswer::kYes : MessageAnswer::kCancel;
    };
    f.OpenWindow(time.Environment(&manager), "vossik");

    milliseconds waited{0};
    for (const milliseconds sleep : time.sleeps) waited += sleep;
    QVERIFY(waited >= std::chrono::seconds(40));
    QVERIFY(waited <= std::chrono::milliseconds(40500));
    QVERIFY(std::find(manager.calls.begin(), manager.calls.end(), "pause") == manager.calls.end());
    QVERIFY(f.messages.contains(Admin(kCouldNotContactText)));
    QCOMPARE(f.sheet->Store(), nullptr);
  }

  void SwitchingToTheSameServiceSendsNoApplyAndAnotherOneDoes() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    SheetEvents events;
    f.sheet->installEventFilter(&events);
    f.sheet->SetModified(true);

    f.bar->SwitchTo("<LOCAL>", std::to_string(f.port), "");
    QCOMPARE(events.seen, QList<int>{int(kLoadConfigurationEvent)});
    std::string host;
    QVERIFY(GetString(f.main_store, f.descriptor.Root(), {.uid = "service:host"}, &host) >= -1);
    QCOMPARE(QString::fromStdString(host), QString("127.0.0.1"));

    events.seen.clear();
    f.sheet->SetModified(true);
    const int elsewhere = testing::FreeLoopbackPort();
    f.bar->SwitchTo("127.0.0.1", std::to_string(elsewhere), "");
    QCOMPARE(events.seen, (QList<int>{int(kApplyEvent), int(kLoadConfigurationEvent)}));
    QCOMPARE(f.bar->Port(), elsewhere);
    // The configuration file names the service now configured.
    SettingsStore saved;
    QCOMPARE(saved.Load("vossikadmin.cfg"), kResultOk);
    int32_t port = 0;
    QVERIFY(GetNumber(saved, f.descriptor.Root(), {.uid = "service:port"}, &port) >= -1);
    QCOMPARE(port, elsewhere);
  }

  void LeavingAPausedServiceOffersToContinueIt() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    QTest::mouseClick(f.Find<QPushButton>("servicePauseContinue"), Qt::LeftButton);
    QVERIFY(f.bar->GetState() == ServiceState::kPaused);

    f.answer = [](MessageKind kind, const std::string&) {
      return kind == MessageKind::kQuestion ? MessageAnswer::kYes : MessageAnswer::kOk;
    };
    f.CloseWindow();
    QVERIFY(f.messages.contains(Message(kServiceInformationTitle, kExitPausedQuestion)));
    AdminClient client;
    QCOMPARE(client.Initialise("", "127.0.0.1", f.port), kClientReady);
    AdminResult error = AdminResult::kCommFailure;
    QVERIFY(client.GetStatus(&error) == ServiceState::kRunning);
  }
};

}  // namespace vossik

QTEST_MAIN(vossik::ServiceBarTest)
#include "service_bar_test.moc"
