// The main dialog of vossikadmin: the program's name chooses administration
// mode, and the window then configures a real vossikd through its service
// bar. Pictures of the window connected (running and paused), disconnected,
// and of the Connect dialog, for a person to look at.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/application.h"
#include "app/main_dialog_qt.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/must_parse.h"
#include "support/running_vossikd.h"
#include "support/temp_dir.h"
#include "ui/connect_dialog.h"
#include "ui/message_box.h"
#include "ui/property_sheet.h"
#include "ui/service_bar.h"
#include "ui/service_configuration.h"

namespace {

using vossik::MainDialog;

vossik::ProductIdentity Identity() {
  vossik::ProductIdentity identity;
  identity.maker = "Orrindale";
  identity.product_name = "Vossik";
  identity.version = "1.1.0";
  identity.build = "000";
  return identity;
}

void Shoot(QWidget& window, const QString& name) {
  const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QVERIFY(QDir().mkpath(folder));
  QCoreApplication::processEvents();
  QVERIFY(window.grab().save(folder + "/" + name));
}

}  // namespace

class AdminWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<vossik::testing::TempDir>();
    dir_->ChangeInto();
    QVERIFY(vossik::testing::LoadBuiltDescriptor(&descriptor_));
    messages_.clear();
    previous_hook_ = vossik::SetMessageHook(
        [this](vossik::MessageKind kind, const std::string& title, const std::string& text) {
          messages_ << QString::fromStdString(title + "|" + text);
          return kind == vossik::MessageKind::kQuestion ? vossik::MessageAnswer::kNo
                                                        : vossik::MessageAnswer::kOk;
        });
  }

  void cleanup() {
    dialog_.reset();
    store_.Clear();
    service_.reset();
    vossik::SetMessageHook(std::move(previous_hook_));
    dir_.reset();
  }

  void TheProgramNameChoosesAdministrationMode_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("administration");
    QTest::addColumn<QString>("configuration");
    QTest::addColumn<QString>("service");
    QTest::newRow("vossik") << "/usr/bin/vossik" << false << "vossik.cfg"
                            << "vossik";
    QTest::newRow("vossikadmin") << "/usr/bin/vossikadmin" << true << "vossikadmin.cfg"
                                 << "vossik";
    QTest::newRow("build tree") << "./vossikadmin" << true << "vossikadmin.cfg"
                                << "vossik";
  }
  void TheProgramNameChoosesAdministrationMode() {
    QFETCH(QString, program);
    vossik::ConsoleUi ui;
    vossik::Application application(Identity(), program.toStdString(), {}, ui);
    const vossik::MainDialogSetup setup = vossik::MainDialogSetupFor(application);
    QTEST(setup.administration, "administration");
    QTEST(QString::fromStdString(application.ConfigurationFile()), "configuration");
    QTEST(QString::fromStdString(setup.service_name), "service");
    QCOMPARE(setup.admin_version, std::string("1.1.0.000"));
    // Both names read the one descriptor.
    QCOMPARE(vossik::ConfigDescriptor::FileNameFor(application.Paths().base_name),
             std::string("vossik.cfgml"));
  }

  void TheSettingsWindowHasNoServiceBar() {
    store_.SetFileName("vossik.cfg");
    vossik::testing::MustParse(store_, "[Default]\n");
    dialog_ = std::make_unique<MainDialog>(Setup(&store_, false));
    dialog_->show();
    QCoreApplication::processEvents();
    QCOMPARE(dialog_->Bar(), nullptr);
    QCOMPARE(dialog_->Sheet().ServiceBar(), nullptr);
    QCOMPARE(dialog_->windowTitle(), QString("Vossik"));
    QVERIFY(dialog_->findChild<QTreeWidget*>("selector") == nullptr);
  }

  void TheAdministrationWindowConfiguresTheService() {
    const int port = vossik::testing::FreeLoopbackPort();
    QVERIFY(vossik::testing::WriteServiceFolder(dir_->Path() / "service", port, {}));
    service_ = std::make_unique<vossik::testing::RunningVossikd>(dir_->Path() / "service");
    QCOMPARE(service_->Port(), port);
    store_.SetFileName("vossikadmin.cfg");
    vossik::testing::MustParse(store_,
                               "[Service]\nHost=127.0.0.1\nPort=" + std::to_string(port) + "\n");

    dialog_ = std::make_unique<MainDialog>(Setup(&store_, true));
    dialog_->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY2(messages_.isEmpty(), qPrintable(messages_.join("\n")));
    QVERIFY(dialog_->Bar() != nullptr);
    QCOMPARE(dialog_->windowTitle(), QString("Vossik Administration [local:%1]").arg(port));
    auto* selector = dialog_->findChild<QTreeWidget*>("selector");
    QVERIFY(selector != nullptr);
    QCOMPARE(selector->topLevelItem(0)->text(0), QString("Website"));
    QCOMPARE(selector->topLevelItem(1)->text(0), QString("Service"));
    auto* status = dialog_->findChild<QLineEdit*>("serviceStatus");
    QCOMPARE(status->text(), QString("Running"));
    // The bar sits between the tabs and the buttons, as wide as the tabs allow.
    const QRect bar = dialog_->Bar()->geometry();
    QCOMPARE(bar.top(), dialog_->Sheet().height() - 52);
    QCOMPARE(bar.height(), 22);
    Shoot(*dialog_, "admin-connected-running.png");

    selector->setCurrentItem(selector->topLevelItem(1)->child(0));
    QCoreApplication::processEvents();
    QTest::mouseClick(dialog_->findChild<QPushButton*>("servicePauseContinue"), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(status->text(), QString("Paused"));
    Shoot(*dialog_, "admin-connected-paused.png");

    // The Connect dialog, answered by the test: cancelled, it changes nothing.
    bool seen = false;
    QTimer::singleShot(0, this, [this, &seen] {
      auto* connect_dialog =
          qobject_cast<vossik::ConnectDialog*>(QApplication::activeModalWidget());
      if (connect_dialog == nullptr) return;
      seen = true;
      QCOMPARE(connect_dialog->Host(), std::string("127.0.0.1"));
      Shoot(*connect_dialog, "admin-connect-dialog.png");
      connect_dialog->reject();
    });
    QTest::mouseClick(dialog_->findChild<QPushButton*>("serviceConnect"), Qt::LeftButton);
    QVERIFY(seen);

    // The service goes away: the next request says so and the bar disconnects.
    QVERIFY(service_->Stop());
    std::string reply;
    QVERIFY(dialog_->Bar()->ServiceRequest("GETSTATUS", -1, {}, &reply) ==
            vossik::AdminResult::kCommFailure);
    QCOMPARE(status->text(), QString("Unknown"));
    Shoot(*dialog_, "admin-disconnected.png");
    QCOMPARE(messages_.size(), 1);
  }

 private:
  vossik::MainDialogSetup Setup(vossik::SettingsStore* store, bool administration) {
    vossik::MainDialogSetup setup;
    setup.identity = Identity();
    setup.help_base_name = "vossik";
    setup.settings = store;
    setup.descriptor_root = descriptor_.Root();
    setup.administration = administration;
    setup.admin_version = "1.1.0.000";
    setup.service_environment.sleep = [](std::chrono::milliseconds) {};
    return setup;
  }

  vossik::ConfigDescriptor descriptor_;
  vossik::SettingsStore store_;
  std::unique_ptr<vossik::testing::TempDir> dir_;
  std::unique_ptr<vossik::testing::RunningVossikd> service_;
  std::unique_ptr<MainDialog> dialog_;
  vossik::MessageHook previous_hook_;
  QStringList messages_;
};

QTEST_MAIN(AdminWindowTest)
#include "admin_window_qt_test.moc"
