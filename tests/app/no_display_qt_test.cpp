// The windowed program, started where there is no display, says so and
// which modes still work, instead of aborting inside Qt.
#include <QProcess>
#include <QtTest>

#include "support/temp_dir.h"

class NoDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutADisplayTheProgramSaysWhatStillWorks() {
    vossik::testing::TempDir dir;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
      environment.remove(variable);
    }
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(dir.Path().string()));
    program.start(VOSSIK_BINARY_DIR "/vossik", {});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QCOMPARE(program.readAllStandardError(),
             QByteArray("vossik: no display; use -build, -search or -generatehtml, or run it in a "
                        "desktop session\n"));
    QVERIFY(std::filesystem::is_empty(dir.Path()));  // nothing written either
  }
};

QTEST_MAIN(NoDisplayTest)
#include "no_display_qt_test.moc"
