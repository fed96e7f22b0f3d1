// The settings window remembers what the user chose across runs of the
// program: the whole start-up runs twice here, through the Qt user
// interface the program uses, and the second run offers what the first kept.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/application.h"
#include "app/main_dialog_qt.h"
#include "app/qt_application_ui_qt.h"
#include "support/temp_dir.h"

namespace {

// Runs `step` on the main dialog as soon as it is on screen.
void WhenTheWindowShows(std::function<void(QWidget&)> step) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, step] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<vossik::MainDialog*>(widget);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      poll->deleteLater();
      step(*dialog);
      return;
    }
  });
  poll->start(20);
}

}  // namespace

class PreferencesTest : public QObject {
  Q_OBJECT

 private slots:
  void TheWebsiteFolderChosenBeforeIsOfferedAfterARestart() {
    vossik::testing::TempDir dir;
    dir.ChangeInto();
    qputenv("XDG_RUNTIME_DIR", dir.Path().string().c_str());
    QVERIFY(std::filesystem::copy_file(VOSSIK_BINARY_DIR "/vossik.cfgml", "vossik.cfgml"));
    const std::string program = (dir.Path() / "vossik").string();
    int argc = 1;
    char name[] = "vossik";
    char* argv[] = {name, nullptr};

    WhenTheWindowShows([](QWidget& dialog) {
      auto* folder = dialog.findChild<QComboBox*>("index:dirsrc");
      QVERIFY(folder != nullptr);
      folder->lineEdit()->clear();
      QTest::keyClicks(folder->lineEdit(), "/srv/site-one");
      QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    {
      vossik::QtApplicationUi ui(argc, argv, vossik::VossikIdentity());
      vossik::Application application(vossik::VossikIdentity(), program, {}, ui);
      QCOMPARE(application.Run(), vossik::kExitOk);
    }
    QVERIFY(vossik::testing::ReadFile("vossik.prefs").find("[Preferences]") != std::string::npos);

    QStringList offered;
    WhenTheWindowShows([&offered](QWidget& dialog) {
      auto* folder = dialog.findChild<QComboBox*>("index:dirsrc");
      QVERIFY(folder != nullptr);
      for (int i = 0; i < folder->count(); ++i) offered << folder->itemText(i);
      QTest::mouseClick(dialog.findChild<QPushButton*>("cancel"), Qt::LeftButton);
    });
    {
      vossik::QtApplicationUi ui(argc, argv, vossik::VossikIdentity());
      vossik::Application application(vossik::VossikIdentity(), program, {}, ui);
      QCOMPARE(application.Run(), vossik::kExitOk);
    }
    QVERIFY2(offered.contains("/srv/site-one"), qPrintable(offered.join(", ")));
  }
};

QTEST_MAIN(PreferencesTest)
#include "preferences_qt_test.moc"
