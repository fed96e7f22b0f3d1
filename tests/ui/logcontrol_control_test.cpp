// `logcontrol`: the tail of a real vossikd's log at the chosen length, the
// length kept as a preference, Clear at the service and on a file here, and
// a picture of the page.
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "ui/property_page.h"
#include "ui/service_fixture.h"

namespace {

using vossik::testing::ClientServiceBar;
using vossik::testing::DataViewSheet;
using vossik::testing::ReadFile;
using vossik::testing::RunningVossikd;
using vossik::testing::TempDir;
using vossik::testing::WaitUntil;

std::string Descriptor(const std::string& source, const std::string& log) {
  return R"(<vossik><config><section uid="status" name="Status">
    <parameter uid="log" name="Service log" lines="12" resize="true"><control>logcontrol</control>
      <hint>The last lines of the log</hint>
      <file>log.xml</file><populateaction>)" +
         source + "</populateaction><logfile>" + log + R"(</logfile><color>FFFFF0</color>
    </parameter>
  </section></config>
  <sheet name="Service"><page name="Log" uid="log"><hint>The newest lines of the log</hint>
    <parameter uid="status:log"/></page></sheet></vossik>)";
}

QPlainTextEdit* View(const DataViewSheet& f) { return f.Find<QPlainTextEdit>("status:log"); }
QComboBox* Counts(const DataViewSheet& f) { return f.Find<QComboBox>("status:log/taillines"); }

int LineCount(const DataViewSheet& f) {
  const QString text = View(f)->toPlainText();
  return text.isEmpty() ? 0 : int(text.split('\n', Qt::SkipEmptyParts).size());
}

void Click(const DataViewSheet& f, const char* button) {
  QTest::mouseClick(f.Find<QPushButton>(button), Qt::LeftButton);
  QCoreApplication::processEvents();
}

void SaveScreenshot(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QVERIFY(QDir().mkpath(folder));
  QVERIFY(widget->grab().save(folder + "/" + name));
}

}  // namespace

class LogControlTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheServicesLogAtTheChosenLengthAndKeepsIt() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    // Every request the service answers is a line of its log.
    std::string body;
    for (int i = 0; i < 300; ++i) {
      QVERIFY(bar->Client().GenericRequest("GETSTATUS", -1, {}, false, &body) ==
              vossik::AdminResult::kOk);
    }
    {
      DataViewSheet f(Descriptor("GETLOG", "Vossik"), bar, "copies");
      QCOMPARE(Counts(f)->currentText(), QString("15"));
      QCOMPARE(bar->requests.value(0), QString("GETLOG|&log=Vossik&lines=15|-1"));
      QCOMPARE(LineCount(f), 15);

      Counts(f)->setCurrentText("250");
      Click(f, "status:log/refresh");
      QCOMPARE(bar->requests.last().section('|', 0, 1), QString("GETLOG|&log=Vossik&lines=250"));
      QCOMPARE(LineCount(f), 250);
      QVERIFY(View(f)->toPlainText().contains("GETSTATUS from 127.0.0.1"));
      QCOMPARE(QString::fromStdString(ReadFile(dir.Path() / "preferences.cfg"))
                   .contains("status:logLogLines=250"),
               true);
    }
    // The next window starts with the length chosen before.
    DataViewSheet again(Descriptor("GETLOG", "Vossik"), new ClientServiceBar(service.Port()),
                        "copies");
    QCOMPARE(Counts(again)->currentText(), QString("250"));
    QCOMPARE(LineCount(again), 250);
  }

  // The product's Log page of administration mode: the service's log and
  // its builds' log, from a real service.
  void TheProductsServiceLogPage() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    std::string body;
    QVERIFY(WaitUntil([&] {
      return bar->Client().GenericRequest("GETLOG", -1, "&log=Indexing", false, &body) ==
                 vossik::AdminResult::kOk &&
             body.find("Complete (3 files indexed)") != std::string::npos;
    }));
    const std::string descriptor = vossik::testing::ProductDescriptor(true);
    QVERIFY(!descriptor.empty());
    DataViewSheet f(descriptor, bar, "copies");
    f.sheet->ShowSheet("Status");
    // The pages shown before go at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.sheet->EnableAllPages(true);
    f.sheet->ActivatePage(1);
    QCoreApplication::processEvents();
    auto* service_log = f.Find<QPlainTextEdit>("logview");
    auto* build_log = f.Find<QPlainTextEdit>("buildlogview");
    QVERIFY(service_log != nullptr && service_log->isVisible());
    QVERIFY(build_log != nullptr && build_log->isVisible());
    QVERIFY2(service_log->toPlainText().contains("GETLOG from 127.0.0.1"),
             qPrintable(service_log->toPlainText()));
    QVERIFY2(build_log->toPlainText().contains("Complete (3 files indexed)"),
             qPrintable(build_log->toPlainText()));
    QVERIFY(bar->requests.contains("GETLOG|&log=Vossik&lines=15|-1"));
    QVERIFY(bar->requests.contains("GETLOG|&log=Indexing&lines=15|-1"));
    QVERIFY(f.messages.isEmpty());
    SaveScreenshot(f.sheet.get(), "admin-log-page.png");
  }

  // The product's Log page of the local window: the build log on disk.
  void TheProductsLocalLogPage() {
    TempDir dir;
    dir.ChangeInto();
    std::string log;
    for (int i = 1; i <= 30; ++i) {
      log += "10/12/2026 09:00:" + std::to_string(10 + i) + "  Analyzing /site/page" +
             std::to_string(i) + ".html\n";
    }
    log += "10/12/2026 09:00:41  Complete (30 files indexed)\n";
    dir.Write("logs/Indexing.log", log);
    DataViewSheet f(vossik::testing::ProductDescriptor(false));
    int page = -1;
    for (int i = 0; i < f.sheet->PageCount(); ++i) {
      if (f.sheet->Page(i)->PlainTitle() == "Log") page = i;
    }
    QVERIFY(page >= 0);
    f.sheet->ActivatePage(page);
    QCoreApplication::processEvents();
    auto* view = f.Find<QPlainTextEdit>("buildlogview");
    QVERIFY(view != nullptr && view->isVisible());
    QVERIFY(view->toPlainText().endsWith("Complete (30 files indexed)\n"));
    QCOMPARE(int(view->toPlainText().count('\n')), 15);
    SaveScreenshot(f.sheet.get(), "log-page.png");
  }

  void ClearEmptiesTheServicesLog() {
    TempDir dir;
    dir.ChangeInto();
    RunningVossikd service(dir.Path());
    QVERIFY2(service.Port() != 0, service.Output().c_str());
    auto* bar = new ClientServiceBar(service.Port());
    DataViewSheet f(Descriptor("GETLOG", "Vossik"), bar, "copies");
    QVERIFY(View(f)->toPlainText().contains("Service started"));
    bar->requests.clear();
    Click(f, "status:log/clear");
    QCOMPARE(bar->requests.value(0), QString("CLEARLOG|&log=Vossik|0"));
    QCOMPARE(bar->requests.value(1).section('|', 0, 1), QString("GETLOG|&log=Vossik&lines=15"));
    QVERIFY2(!View(f)->toPlainText().contains("Service started"),
             qPrintable(View(f)->toPlainText()));
    QVERIFY(f.messages.isEmpty());
  }

  // In the local window the log is a file here: its last lines show as
  // written, and Clear deletes it.
  void ShowsAndClearsALogFileHere() {
    TempDir dir;
    dir.ChangeInto();
    std::string log;
    for (int i = 1; i <= 40; ++i) log += "Line " + std::to_string(i) + " <b> & \"c\"\n";
    dir.Write("logs/Indexing.log", log);
    DataViewSheet f(Descriptor("FILE://logs/Indexing.log", "Indexing"));
    QCOMPARE(LineCount(f), 15);
    QVERIFY(View(f)->toPlainText().startsWith("Line 26 <b> & \"c\"\n"));
    QVERIFY(View(f)->toPlainText().endsWith("Line 40 <b> & \"c\"\n"));

    Click(f, "status:log/clear");
    QVERIFY(!std::filesystem::exists(dir.Path() / "logs/Indexing.log"));
    QCOMPARE(View(f)->toPlainText(), QString());
    QVERIFY(f.messages.isEmpty());
  }

  // A copy that is not XML empties the view; no copy at all leaves it.
  void BrokenCopyEmptiesTheViewAndNoCopyKeepsIt() {
    TempDir dir;
    dir.ChangeInto();
    dir.Write("logs/Indexing.log", "kept line\n");
    DataViewSheet f(Descriptor("FILE://logs/Indexing.log", "Indexing"));
    QCOMPARE(View(f)->toPlainText(), QString("kept line\n"));
    std::filesystem::remove(dir.Path() / "log.xml");
    f.Reload();
    QCOMPARE(View(f)->toPlainText(), QString("kept line\n"));  // read again from the file
    std::filesystem::remove(dir.Path() / "logs/Indexing.log");
    std::filesystem::remove(dir.Path() / "log.xml");
    f.Reload();
    QCOMPARE(View(f)->toPlainText(), QString("kept line\n"));
    dir.Write("log.xml", "not <xml");
    f.Reload();
    QCOMPARE(View(f)->toPlainText(), QString());
  }
};

QTEST_MAIN(LogControlTest)
#include "logcontrol_control_test.moc"
