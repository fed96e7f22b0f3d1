#include "ui/index_progress_window.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "widgets/gradient_progress_bar.h"

using vossik::GradientProgressBar;
using vossik::IndexProgressWindow;
using vossik::ProgressWindowLayout;

namespace {

const char kDescription[] = "Indexing files from:\r\nsite\r\nto:\r\nsite/search\r\n\r\n";

// Reaches the task after the window has handed it its report, so a test can
// hold the worker between the report of 100 and the finishing step.
class SlowObserver : public vossik::ProgressObserver {
 public:
  explicit SlowObserver(vossik::ProgressObserver* window) : window_(window) {}
  void PostProgress(int percent, std::unique_ptr<std::string> status) override {
    window_->PostProgress(percent, std::move(status));
    if (percent == 100) std::this_thread::sleep_for(std::chrono::seconds(1));
  }

 private:
  vossik::ProgressObserver* window_;
};

// Completes in its first step; records whether its finishing step ran.
class OneStepTask : public vossik::ProgressTask {
 public:
  explicit OneStepTask(std::atomic<bool>& published) : ProgressTask(0), published_(published) {}
  int step() override {
    setProgress(100, "done");
    return 1;
  }
  void finish() override {
    published_ = true;
    setProgress(100, "published");
  }

 private:
  std::atomic<bool>& published_;
};

// A build of 3000 steps of a millisecond each, in the window's time slices:
// slow enough to pause and cancel half way. Records whether it finished.
class SlowTask : public vossik::ProgressTask {
 public:
  explicit SlowTask(std::atomic<bool>& finished) : finished_(finished) {}
  int step() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++steps_;
    setProgress(steps_ == kSteps ? 100 : steps_ * 100 / kSteps,
                "Analyzing [" + std::to_string(steps_) + "]...");
    return 1;
  }
  void finish() override {
    finished_ = true;
    setProgress(100, "Complete (3000 files indexed)");
  }

 private:
  static constexpr int kSteps = 3000;
  int steps_ = 0;
  std::atomic<bool>& finished_;
};

// Fails in its first step, as a build does that cannot write its index.
class FailingTask : public vossik::ProgressTask {
 public:
  int step() override {
    setProgress(40, "Generating Index...");
    SetFailure("Build failed: cannot write 'x': No space left on device");
    return 1;
  }
  void finish() override {}
};

template <typename T>
T* Child(QWidget& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class IndexProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<vossik::testing::TempDir>();
    dir_->ChangeInto();
    std::filesystem::create_directory("logs");
    QVERIFY(descriptor_.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
  }

  void cleanupTestCase() { dir_.reset(); }

  void Layout_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QRect>("descriptionBox");
    QTest::addColumn<int>("barTop");
    QTest::addColumn<int>("windowHeight");
    QTest::newRow("no description") << "" << QRect() << 8 << 116;
    QTest::newRow("one line without CR LF") << "x" << QRect(8, 8, 463, 14) << 26 << 134;
    QTest::newRow("five CR LF") << kDescription << QRect(8, 8, 463, 84) << 96 << 204;
    QTest::newRow("a lone LF is no line end") << "a\nb" << QRect(8, 8, 463, 14) << 26 << 134;
  }
  void Layout() {
    QFETCH(QString, description);
    QFETCH(QRect, descriptionBox);
    QFETCH(int, barTop);
    QFETCH(int, windowHeight);
    const ProgressWindowLayout layout =
        vossik::LayoutProgressWindow(vossik::kProgressWindowWidth, description.toStdString(), 30);
    QCOMPARE(layout.description, descriptionBox);
    QCOMPARE(layout.bar, QRect(8, barTop, 463, 22));
    QCOMPARE(layout.status, QRect(8, barTop + 24, 463, 22));
    QCOMPARE(layout.pause_button, QRect(239 - 66, barTop + 48, 60, 22));
    QCOMPARE(layout.cancel_button, QRect(239 - 66 + 72, barTop + 48, 60, 22));
    QCOMPARE(layout.window_height, windowHeight);
    QCOMPARE(layout.client_height, windowHeight - 30);
  }

  void RunIndexBuildRunsToCompletionAndClose() {
    QWidget owner;
    QString status_at_close;
    bool pause_hidden = false;
    bool description_at_end = false;
    QTimer poll;
    int polls = 0;
    connect(&poll, &QTimer::timeout, [&] {
      auto* window = owner.findChild<IndexProgressWindow*>();
      if (window == nullptr || !window->isVisible()) return;
      auto* cancel = Child<QPushButton>(*window, "cancelButton");
      const bool timed_out = ++polls > 600;
      if (cancel->text() != "Close" && !timed_out) return;
      status_at_close = Child<QLineEdit>(*window, "status")->text();
      pause_hidden = Child<QPushButton>(*window, "pauseButton")->isHidden();
      const QScrollBar* scroll = Child<QPlainTextEdit>(*window, "description")->verticalScrollBar();
      description_at_end = scroll->value() == scroll->maximum();
      cancel->click();
    });
    poll.start(50);

    QVERIFY(vossik::RunIndexBuild(&owner, SettingsFor("site-run"), descriptor_.Root(),
                                  TemplateFolders()));
    QCOMPARE(status_at_close, QString("Complete (3 files indexed)"));
    QVERIFY(pause_hidden);
    QVERIFY(description_at_end);
    QVERIFY(owner.findChild<IndexProgressWindow*>() == nullptr);
    QVERIFY(std::filesystem::exists("site-run/search/sitemap.js"));
    QVERIFY(std::filesystem::exists("site-run/search/vkfunctions.js"));
  }

  // Pause stops the steps, Continue resumes them; the paused window is the
  // screenshot, since it holds still mid-build.
  void PauseHoldsTheBuildAndContinueResumes() {
    std::atomic<bool> finished{false};
    auto task = vossik::MakeTask<SlowTask>(finished);
    SlowTask* raw = task.get();
    auto window = std::make_unique<IndexProgressWindow>(std::move(task), kDescription);
    window->show();
    auto* bar = Child<GradientProgressBar>(*window, "progressBar");
    auto* status = Child<QLineEdit>(*window, "status");
    auto* pause = Child<QPushButton>(*window, "pauseButton");
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() >= 30, 20000);

    pause->click();
    QCOMPARE(pause->text(), QString("Continue"));
    // The worker stops at the end of its step, well within its time slice.
    QTRY_VERIFY_WITH_TIMEOUT(raw->IsHeld(), 1000);
    QTest::qWait(100);  // the last report before the hold arrives
    const int held_at = bar->Position();
    const QString held_status = status->text();
    QTest::qWait(300);
    QCOMPARE(bar->Position(), held_at);
    QCOMPARE(status->text(), held_status);
    SaveScreenshot(*window, "index_progress_window.png");

    pause->click();
    QCOMPARE(pause->text(), QString("Pause"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Complete (3000 files indexed)"), 20000);
    QCOMPARE(bar->Position(), 100);
    QVERIFY(pause->isHidden());
    QCOMPARE(Child<QPushButton>(*window, "cancelButton")->text(), QString("Close"));
    QVERIFY(finished);
  }

  // Cancel closes the window; destroying it stops and joins the worker
  // before the build could finish.
  void CancelClosesAndStopsTheBuild() {
    std::atomic<bool> finished{false};
    auto window =
        std::make_unique<IndexProgressWindow>(vossik::MakeTask<SlowTask>(finished), std::string());
    window->show();
    auto* bar = Child<GradientProgressBar>(*window, "progressBar");
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() >= 10, 20000);
    Child<QPushButton>(*window, "cancelButton")->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    window.reset();
    QVERIFY(!finished);
  }

  // The report of 100 comes after the finishing step, so "Close" always
  // stands for a published index.
  void CloseAppearsOnlyOnceTheFinishHasRun() {
    std::atomic<bool> published{false};
    auto task = vossik::MakeTask<OneStepTask>(published);
    OneStepTask* raw = task.get();
    auto window = std::make_unique<IndexProgressWindow>(std::move(task), std::string());
    SlowObserver slow(window.get());
    raw->SetObserver(&slow);
    window->show();
    auto* cancel = Child<QPushButton>(*window, "cancelButton");
    QTRY_COMPARE_WITH_TIMEOUT(cancel->text(), QString("Close"), 5000);
    QVERIFY(published);
    QCOMPARE(Child<QLineEdit>(*window, "status")->text(), QString("published"));
    cancel->click();
    window.reset();
  }

  // A failed build shows its error in the "Index Error" box and never a
  // full green bar.
  void FailedBuildShowsIndexError() {
    auto window =
        std::make_unique<IndexProgressWindow>(vossik::MakeTask<FailingTask>(), std::string());
    QStringList shown;
    window->SetErrorPresenter([&](QWidget* parent, const QString& caption, const QString& text) {
      QCOMPARE(parent, window.get());
      shown << caption + "|" + text;
    });
    window->show();
    const QString failure("Build failed: cannot write 'x': No space left on device");
    QTRY_COMPARE_WITH_TIMEOUT(shown, QStringList{"Index Error|" + failure}, 5000);
    QCOMPARE(Child<QLineEdit>(*window, "status")->text(), failure);
    QVERIFY(Child<GradientProgressBar>(*window, "progressBar")->Position() < 100);
    QCOMPARE(Child<QPushButton>(*window, "cancelButton")->text(), QString("Close"));
  }

  void WindowWithoutTaskClosesAtOnce() {
    IndexProgressWindow window(nullptr, std::string());
    window.show();
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(Child<QPlainTextEdit>(window, "description") == nullptr);
  }

  void BuildThatCannotStartShowsIndexError() {
    QWidget owner;
    vossik::SettingsStore settings;
    settings.Parse("[Index]\nDirSrc=nonexistent\n");
    int calls = 0;
    QString caption;
    QString text;
    vossik::IndexBuildOptions options;
    options.show_error = [&](QWidget* parent, const QString& c, const QString& t) {
      QCOMPARE(parent, &owner);
      ++calls;
      caption = c;
      text = t;
    };
    QVERIFY(
        !vossik::RunIndexBuild(&owner, settings, descriptor_.Root(), TemplateFolders(), options));
    QCOMPARE(calls, 1);
    QCOMPARE(caption, QString("Index Error"));
    QCOMPARE(text, QString("Website folder 'nonexistent' does not exist"));
    QVERIFY(owner.findChild<IndexProgressWindow*>() == nullptr);
  }

  void IndexErrorIsAWarningBoxWithOk() {
    vossik::SettingsStore settings;
    settings.Parse("[Index]\nDirDest=search\n");
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QMessageBox::StandardButtons buttons;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible()) continue;
        icon = box->icon();
        title = box->windowTitle();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
      }
    });
    poll.start(20);
    QVERIFY(!vossik::RunIndexBuild(nullptr, settings, descriptor_.Root(), TemplateFolders()));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(title, QString("Index Error"));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

 private:
  static std::vector<std::filesystem::path> TemplateFolders() {
    return {std::filesystem::path(VOSSIK_BINARY_DIR) / "templates"};
  }

  // Settings for a build of a fresh three-page site named `site` into its
  // folder "search"; each build has its own site so that none indexes
  // another's output.
  const vossik::SettingsStore& SettingsFor(const std::string& site) {
    dir_->Write(site + "/index.htm", "<title>Home</title>Welcome to the trail maps");
    dir_->Write(site + "/trails.htm", "<title>Trails</title>Ridge trail and river trail");
    dir_->Write(site + "/huts.htm", "<title>Huts</title>Mountain huts open in summer");
    settings_.Clear();
    settings_.Parse("[Index]\nDirSrc=" + (dir_->Path() / site).string() + "\nDirDest=search\n");
    return settings_;
  }

  static void SaveScreenshot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("VOSSIK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QVERIFY(window.grab().save(folder + "/" + name));
  }

  std::unique_ptr<vossik::testing::TempDir> dir_;
  vossik::ConfigDescriptor descriptor_;
  vossik::SettingsStore settings_;
};

QTEST_MAIN(IndexProgressWindowTest)
#include "index_progress_window_test.moc"
