// IndexProgressWindow is the modal "Progress" dialog an index build runs
// behind. It shows what is being indexed, a gradient bar with the
// percentage, the latest status line, and Pause/Continue and Cancel (Close
// once the build is done). It owns the build's task, starts the task's
// worker thread when it is first shown, and learns of progress only through
// events it posts to itself from postProgress(), so the worker never
// touches a widget. Destroying the window destroys the task, which stops
// and joins its thread.
//
// runIndexBuild() is the main window's answer to the build-request message.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/progress_observer.h"
#include "indexer/worker_thread.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vossik {

class GradientProgressBar;
class SettingsStore;
class XmlNode;

/// The dialog's client width in pixels: its 319 dialog units at the classic
/// dialog font's 1.5 pixels per unit.
inline constexpr int kProgressWindowWidth = 479;

/// Where the dialog's controls go, in client pixels.
struct ProgressWindowLayout {
  QRect description;  // null when there is no description
  QRect bar;
  QRect status;
  QRect pause_button;
  QRect cancel_button;
  /// The outer height of the window, frame and caption included.
  int window_height = 0;
  /// What is left of windowHeight inside a frame `frameHeight` high.
  int client_height = 0;
};

/// Lays the dialog out for a client `clientWidth` wide showing
/// `description` (lines ended by CR LF) in a window frame whose caption and
/// borders take `frameHeight` pixels of height.
ProgressWindowLayout LayoutProgressWindow(int client_width, std::string_view description,
                                          int frame_height);

/// Shows a build's failure (to start or to finish); the default is a warning box with OK.
using IndexErrorPresenter =
    std::function<void(QWidget* owner, const QString& caption, const QString& text)>;

class IndexProgressWindow : public QDialog, public ProgressObserver {
  Q_OBJECT

 public:
  /// `task` may be null; the dialog then closes as soon as it is shown.
  IndexProgressWindow(TaskPtr<ProgressTask> task, std::string description,
                      QWidget* parent = nullptr);
  ~IndexProgressWindow() override;

  /// Called on the worker thread: queues the report for the window's thread.
  void PostProgress(int percent, std::unique_ptr<std::string> status) override;

  /// Shows the build's failure; a warning box captioned "Index Error"
  /// unless replaced.
  void SetErrorPresenter(IndexErrorPresenter presenter) { show_error_ = std::move(presenter); }

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ShowProgress(int percent, const std::string* status);
  void TogglePause();

  TaskPtr<ProgressTask> task_;
  IndexErrorPresenter show_error_;
  bool started_ = false;
  bool completed_ = false;
  bool failed_ = false;
  QPlainTextEdit* description_ = nullptr;
  GradientProgressBar* bar_ = nullptr;
  QLineEdit* status_ = nullptr;
  QPushButton* pause_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

struct IndexBuildOptions {
  /// The worker's time slice between two progress reports (ProgressTask).
  int time_slice_ms = kWindowTimeSliceMs;
  /// Replaces the warning box, for callers that must not block on it.
  IndexErrorPresenter show_error;
};

/// Configures a new IndexBuilder from `settings` and runs it behind a modal
/// IndexProgressWindow owned by `owner`, returning when the window closes.
/// The builder takes each template from the first of `templateFolders`
/// that holds it. When the build cannot start (no source or target folder:
/// "You must specify some content to index (Source files) and a target
/// folder"; a website folder that is missing or no folder) it shows why,
/// captioned "Index Error", instead and returns false. A build that fails
/// shows its error the same way.
bool RunIndexBuild(QWidget* owner, const SettingsStore& settings, const XmlNode* descriptor,
                   const std::vector<std::filesystem::path>& template_folders,
                   const IndexBuildOptions& options = {});

}  // namespace vossik
