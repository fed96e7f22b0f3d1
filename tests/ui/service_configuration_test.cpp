// Configuration transfer of the administration window against a real
// vossikd: the local copy written from GETCONFIG, edits sent back with
// SETCONFIG, and edits made while the service was away kept in the copy and
// sent when the window next reaches it.
#include "ui/service_configuration.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

#include "support/must_parse.h"
#include "support/scripted_http_server.h"
#include "ui/admin_sheet_fixture.h"
#include "ui/property_page.h"

namespace vossik {
namespace {

using testing::AdminSheetFixture;
using testing::ReadFile;

QString Admin(const char* text) { return QString("Vossik Admin|") + text; }

// Types `value` into the Watch page's quiet time, as a user would.
void TypeDelay(AdminSheetFixture& f, const char* value) {
  f.sheet->ShowSheet("Service");
  f.sheet->ActivatePage(1);  // Watch
  auto* delay = f.Find<QLineEdit>("watch:delay");
  QVERIFY(delay != nullptr);
  QVERIFY(delay->isEnabled());
  delay->selectAll();
  QTest::keyClicks(delay, value);
  QCoreApplication::processEvents();  // the change reaches the page as a posted event
  QCOMPARE(delay->text(), QString(value));
}

// A setting of the service's configuration file as it is now.
std::string ServiceSetting(const AdminSheetFixture& f, const char* section, const char* key) {
  SettingsStore store;
  if (store.Load((f.ServiceFolder() / "vossikd.cfg").string()) != kResultOk) return "?";
  const std::string* value = store.FindStoredValue(section, key);
  return value != nullptr ? *value : "(none)";
}

QImage Picture(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

}  // namespace

class ServiceConfigurationTest : public QObject {
  Q_OBJECT

 private slots:
  void CopyNamesAndLabelsComeFromHostAndPort_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("label");
    QTest::newRow("address") << "10.0.0.5" << 8080 << "10.0.0.5.8080"
                             << "10.0.0.5:8080";
    QTest::newRow("this machine") << "127.0.0.1" << 7290 << "127.0.0.1.7290"
                                  << "local:7290";
    QTest::newRow("name") << "docs.example.org" << 7290 << "docs.example.org.7290"
                          << "docs.example.org:7290";
    // A host setting cannot lead the copy out of the working folder.
    QTest::newRow("slashes") << "../../etc/x" << 80 << ".._.._etc_x.80"
                             << "../../etc/x:80";
    QTest::newRow("dots") << ".." << 80 << "_...80"
                          << "..:80";
  }
  void CopyNamesAndLabelsComeFromHostAndPort() {
    QFETCH(QString, host);
    QFETCH(int, port);
    QTEST(QString::fromStdString(CopyNameFor(host.toStdString(), port)), "copy");
    QTEST(QString::fromStdString(ConnectionLabelFor(host.toStdString(), port)), "label");
  }

  void TheFirstConnectionWritesTheCopyFromTheService() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));

    const std::string copy = "127.0.0.1." + std::to_string(f.port);
    QCOMPARE(QString::fromStdString(f.transfer->CopyName()), QString::fromStdString(copy));
    QVERIFY(std::filesystem::is_directory(copy));
    QCOMPARE(f.sheet->WorkingFolder(), copy);
    QCOMPARE(ReadFile(copy + ".cfg"), f.ServiceConfigurationText());
    QCOMPARE(f.sheet->Store(), f.transfer->EditedStore());
    QCOMPARE(f.sheet->windowTitle(), QString("Vossik Administration [local:%1]").arg(f.port));
    QCOMPARE(QString::fromStdString(f.bar->ConnectionLabel()), QString("local:%1").arg(f.port));

    // The pages show the service's settings, ready to edit.
    f.sheet->ShowSheet("Service");
    f.sheet->ActivatePage(1);
    QCOMPARE(f.Find<QLineEdit>("watch:delay")->text(), QString("1"));
    QVERIFY(!f.sheet->Modified());
  }

  void ApplySendsTheEditsWithTheAdministrationVersion() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    TypeDelay(f, "7");
    QVERIFY(f.sheet->HasChanges());
    f.sheet->Apply();

    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));
    QVERIFY(!f.sheet->HasChanges());
    QCOMPARE(ServiceSetting(f, "Watch", "Delay"), std::string("7"));
    QCOMPARE(ServiceSetting(f, "Default", "AdminVersion"), std::string(testing::kAdminVersion));
    // What was sent is what the copy holds.
    QCOMPARE(ReadFile(f.transfer->CopyPath()), f.ServiceConfigurationText());
  }

  void EditsMadeWhileTheServiceIsAwayReachItAtTheNextConnection() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    f.OpenWindow();
    QVERIFY(f.service->Stop());

    TypeDelay(f, "9");
    f.sheet->Apply();
    QCOMPARE(f.messages, QStringList{Admin(kCommunicationFailedText)});
    QVERIFY(ReadFile(f.transfer->CopyPath()).find("Delay=9") != std::string::npos);
    QCOMPARE(ServiceSetting(f, "Watch", "Delay"), std::string("1"));
    f.CloseWindow();

    f.messages.clear();
    f.service->Start();
    QCOMPARE(f.service->Port(), f.port);
    f.OpenWindow();
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));
    QCOMPARE(ServiceSetting(f, "Watch", "Delay"), std::string("9"));
    QCOMPARE(ServiceSetting(f, "Default", "AdminVersion"), std::string(testing::kAdminVersion));
    f.sheet->ShowSheet("Service");
    f.sheet->ActivatePage(1);
    QCOMPARE(f.Find<QLineEdit>("watch:delay")->text(), QString("9"));
  }

  void AnEmptyConfigurationBlockChangesNothing() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    testing::ScriptedHttpServer server;
    using Server = testing::ScriptedHttpServer;
    server.Add({Server::Reply(200, "<service><STATUS>RUNNING</STATUS></service>"),
                Server::Reply(200, "<CONFIG></CONFIG>")});
    QVERIFY(f.NameService("127.0.0.1", server.Port()));
    f.OpenWindow();
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));
    const std::vector<std::string> paths = server.Paths();
    QVERIFY(paths.size() >= 2);
    // No copy yet: the time stamp is 0, sent as minus the current time.
    QVERIFY(paths[1].starts_with("/ACTION=GETCONFIG&ifmodifiedsince=-"));
    QVERIFY(!std::filesystem::exists(f.transfer->CopyPath()));
    QCOMPARE(f.sheet->Store(), nullptr);
  }

  void ACopyNewerThanTheServiceIsLoadedAndSentBack() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    testing::ScriptedHttpServer server;
    using Server = testing::ScriptedHttpServer;
    const std::string running = "<service><STATUS>RUNNING</STATUS></service>";
    // The state, the configuration, the state once connected, the copy sent.
    server.Add({Server::Reply(200, running), Server::Reply(304), Server::Reply(200, running),
                Server::Reply(200)});
    QVERIFY(f.NameService("127.0.0.1", server.Port()));
    const std::string copy = "[Watch]\nDelay=12\n";
    f.dir.Write("127.0.0.1." + std::to_string(server.Port()) + ".cfg", copy);
    f.OpenWindow();
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));
    const auto requests = server.Requests();
    QCOMPARE(requests.size(), std::size_t(4));
    QVERIFY(requests[1].path.starts_with("/ACTION=GETCONFIG&ifmodifiedsince="));
    QCOMPARE(requests[3].path, std::string("/ACTION=SETCONFIG"));
    QCOMPARE(requests[3].body, "<CONFIG>" + copy + "</CONFIG>");
    QVERIFY(f.sheet->Store() != nullptr);
    QCOMPARE(f.sheet->windowTitle(),
             QString("Vossik Administration [local:%1]").arg(server.Port()));
  }

  void ACopyThatCannotBeWrittenIsReportedAndNothingLoads() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY2(f.StartService(), f.service->Output().c_str());
    QVERIFY(f.NameService("127.0.0.1", f.port));
    const std::string copy = "127.0.0.1." + std::to_string(f.port) + ".cfg";
    std::filesystem::create_directories(copy + "/blocked");  // a folder where the file goes
    int asked = 0;
    f.answer = [&asked](MessageKind kind, const std::string&) {
      if (kind != MessageKind::kWarningRetry) return MessageAnswer::kOk;
      return ++asked < 2 ? MessageAnswer::kRetry : MessageAnswer::kCancel;
    };
    f.OpenWindow();
    const QString question = QString(
                                 "Disk Error|Couldn't open local configuration file copy '%1' "
                                 "for writing.\n Please check disk space, permissions, and "
                                 "that another program hasn't got it open.")
                                 .arg(QString::fromStdString(copy));
    QCOMPARE(f.messages, (QStringList{question, question}));
    QCOMPARE(f.sheet->Store(), nullptr);
  }

  void WithoutAServiceToReachTheWindowStaysOpenWithNothingToEdit() {
    AdminSheetFixture f;
    QVERIFY(f.ok);
    QVERIFY(f.NameService("127.0.0.1", 0));  // no usable port: no client at all
    f.OpenWindow();
    QVERIFY(!f.bar->HasClient());
    QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join("\n")));
    QCOMPARE(f.sheet->Store(), nullptr);
    QVERIFY(f.sheet->isVisible());
  }

  void ASheetWhoseMainSwitchIsOffShowsTheDisabledIcon() {
    testing::TempDir dir;
    dir.ChangeInto();
    XmlDocument document;
    testing::MustParse(document, R"(<vossik>
      <config>
        <section uid="service" name="Service">
          <parameter uid="host" name="Host"><control>edit</control></parameter>
          <parameter uid="port" name="Port"><control>number</control><type>number</type></parameter>
        </section>
        <section uid="administrator" name="Administrator">
          <parameter uid="password" name="Password" encrypted="true"><control>password</control></parameter>
        </section>
        <section uid="alpha" name="Alpha">
          <parameter uid="mainswitch" name="MainSwitch"><control>switch</control><type>switch</type></parameter>
        </section>
        <section uid="beta" name="Beta">
          <parameter uid="mainswitch" name="MainSwitch"><control>switch</control><type>switch</type></parameter>
        </section>
      </config>
      <administration>
        <sheet name="Alpha" icon="icons/website.bmp"><page name="A"><parameter uid="alpha:mainswitch"/></page></sheet>
        <sheet name="Beta" icon="icons/files.bmp"><page name="B"><parameter uid="beta:mainswitch"/></page></sheet>
      </administration>
    </vossik>)");
    SettingsStore main_store;
    main_store.SetFileName("vossikadmin.cfg");
    testing::MustParse(main_store, "[Service]\nHost=127.0.0.1\nPort=0\n");
    dir.Write("127.0.0.1.0.cfg", "[Alpha]\nMainSwitch=false\n[Beta]\nMainSwitch=true\n");

    CGUIPropertySheet sheet(&main_store);
    auto* bar = new ServiceBar("Vossik", {.sleep = [](std::chrono::milliseconds) {}});
    sheet.SetServiceBar(bar);
    ServiceConfiguration transfer(*bar, main_store, document.Root(), {}, "Vossik",
                                  testing::kAdminVersion);
    sheet.SetConfigurationSource(&transfer);
    sheet.SetSheetRoot(document.Root()->FindElement("administration", nullptr, false));
    transfer.Prepare();
    sheet.SetUp("Vossik", "vossik", document.Root());
    sheet.show();
    QCoreApplication::processEvents();

    // Without a client the copy is loaded as it is.
    QVERIFY(sheet.Store() != nullptr);
    auto* selector = sheet.findChild<QTreeWidget*>("selector");
    QVERIFY(selector != nullptr);
    const QImage disabled = Picture(QIcon(LoadSheetBitmap("./icons/disabled.bmp")));
    QCOMPARE(Picture(selector->topLevelItem(0)->icon(0)), disabled);
    QCOMPARE(Picture(selector->topLevelItem(1)->icon(0)),
             Picture(QIcon(LoadSheetBitmap("icons/files.bmp"))));
    sheet.close();
  }
};

}  // namespace vossik

QTEST_MAIN(vossik::ServiceConfigurationTest)
#include "service_configuration_test.moc"
