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

#include "indexer/index_builder.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "widgets/gradient_progress_bar.h"

using vossik::GradientProgressBar;
using vossik::IndexBuilder;
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

    vossik::IndexBuildOptions options;
    options.tick_pause_ms = 0;
    QVERIFY(vossik::RunIndexBuild(&owner, SettingsFor("site-run"), descriptor_.Root(),
                                  TemplatesDir(), options));
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
    auto window = WindowFor("site-paused", 5);
    window->show();
    auto* bar = Child<GradientProgressBar>(*window, "progressBar");
    auto* status = Child<QLineEdit>(*window, "status");
    auto* pause = Child<QPushButton>(*window, "pauseButton");
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() >= 30, 20000);

    pause->click();
    QCOMPARE(pause->text(), QString("Continue"));
    // A tick already past its pause test may still report once.
    QTest::qWait(250);
    const int held_at = bar->Position();
    const QString held_status = status->text();
    QTest::qWait(400);
    QCOMPARE(bar->Position(), held_at);
    QCOMPARE(status->text(), held_status);
    SaveScreenshot(*window, "index_progress_window.png");

    pause->click();
    QCOMPARE(pause->text(), QString("Pause"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString("Complete (3 files indexed)"), 20000);
    QCOMPARE(bar->Position(), 100);
    QVERIFY(pause->isHidden());
    QCOMPARE(Child<QPushButton>(*window, "cancelButton")->text(), QString("Close"));
  }

  // Cancel closes the window; destroying it stops and joins the worker, and
  // the stopped build publishes nothing: no index files, page list or pages.
  void CancelClosesAndStopsTheBuild() {
    auto window = WindowFor("site-cancelled", 5);
    window->show();
    auto* bar = Child<GradientProgressBar>(*window, "progressBar");
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() >= 10, 20000);
    Child<QPushButton>(*window, "cancelButton")->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    window.reset();

    QCOMPARE(FilesIn("site-cancelled/search"), std::size_t(0));
    QTest::qWait(300);
    QCOMPARE(FilesIn("site-cancelled/search"), std::size_t(0));
  }

  // "Close" promises a complete index, so closing at once must still let
  // the finishing step that follows the report of 100 run.
  void ClosingAtCompletionLetsTheFinishRun() {
    std::atomic<bool> published{false};
    auto task = vossik::MakeTask<OneStepTask>(published);
    OneStepTask* raw = task.get();
    auto window = std::make_unique<IndexProgressWindow>(std::move(task), std::string());
    SlowObserver slow(window.get());
    raw->SetObserver(&slow);
    window->show();
    auto* cancel = Child<QPushButton>(*window, "cancelButton");
    QTRY_COMPARE_WITH_TIMEOUT(cancel->text(), QString("Close"), 5000);
    QVERIFY(!published);
    cancel->click();
    window.reset();
    QVERIFY(published);
  }

  void WindowWithoutTaskClosesAtOnce() {
    IndexProgressWindow window(nullptr, std::string());
    window.show();
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(Child<QPlainTextEdit>(window, "description") == nullptr);
  }

  void MissingFoldersShowIndexError() {
    QWidget owner;
    vossik::SettingsStore settings;
    settings.Parse("[Index]\nDirDest=search\n");
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
    QVERIFY(!vossik::RunIndexBuild(&owner, settings, descriptor_.Root(), TemplatesDir(), options));
    QCOMPARE(calls, 1);
    QCOMPARE(caption, QString("Index Error"));
    QCOMPARE(text, QString("You must specify some content to index (Source files) and a "
                           "target folder"));
    QVERIFY(owner.findChild<IndexProgressWindow*>() == nullptr);
  }

  void IndexErrorIsAWarningBoxWithOk() {
    vossik::SettingsStore settings;
    settings.Parse("[Index]\nDirSrc=site-run\n");
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
    QVERIFY(!vossik::RunIndexBuild(nullptr, settings, descriptor_.Root(), TemplatesDir()));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(title, QString("Index Error"));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

 private:
  static std::filesystem::path TemplatesDir() {
    return std::filesystem::path(VOSSIK_BINARY_DIR) / "templates";
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

  std::unique_ptr<IndexProgressWindow> WindowFor(const std::string& site, int tick_pause_ms) {
    auto builder = vossik::MakeTask<IndexBuilder>(tick_pause_ms, TemplatesDir());
    std::string description;
    if (!builder->configure(ReadIndexOptions(SettingsFor(site), descriptor_.Root()), &description))
      return {};
    return std::make_unique<IndexProgressWindow>(std::move(builder), description);
  }

  static std::size_t FilesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    if (!std::filesystem::exists(folder)) return count;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file()) ++count;
    }
    return count;
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
