#include "app/running_copy_qt.h"

#include <QWidget>
#include <QtTest>

#include "support/temp_dir.h"

using vossik::RaiseRunningCopyAt;
using vossik::RunningCopyListener;

class RunningCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void ASecondCopyBringsTheWindowBack() {
    vossik::testing::TempDir dir;
    const std::filesystem::path socket = dir.Path() / "vossik.socket";
    QWidget window;
    window.showMinimized();
    const RunningCopyListener listener(socket, &window);
    QVERIFY(listener.Listening());

    QVERIFY(RaiseRunningCopyAt(socket));
    QTRY_VERIFY(!window.isMinimized());
  }

  void AStaleSocketFileIsReplaced() {
    vossik::testing::TempDir dir;
    const std::filesystem::path socket = dir.Path() / "vossik.socket";
    dir.Write("vossik.socket", "left by a killed copy");
    QWidget window;
    const RunningCopyListener listener(socket, &window);
    QVERIFY(listener.Listening());
  }

  void NoCopyListeningIsReported() {
    vossik::testing::TempDir dir;
    QVERIFY(!RaiseRunningCopyAt(dir.Path() / "nobody.socket"));
  }
};

QTEST_MAIN(RunningCopyTest)
#include "running_copy_qt_test.moc"
