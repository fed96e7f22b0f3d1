#include "ui/index_progress_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "indexer/index_builder.h"
#include "indexer/index_options.h"
#include "ui/posted_events.h"
#include "widgets/gradient_progress_bar.h"

namespace vossik {
namespace {

constexpr int kInset = 8;
constexpr int kDescriptionLineHeight = 14;
constexpr int kDescriptionGap = 4;
constexpr int kRowHeight = 22;
constexpr int kRowPitch = 24;
constexpr int kButtonWidth = 60;
constexpr int kPauseFromMiddle = 66;
constexpr int kCancelFromPause = 72;
constexpr int kBelowButtons = 38;
// The layout's 14-pixel description lines and 22-pixel rows were made for
// the classic 8-point dialog face, which is 11 pixels high.
constexpr int kFontPixelSize = 11;

const QColor kBoxGrey(192, 192, 192);
const QColor kGradientStart(100, 100, 200);
const QColor kGradientEnd(90, 250, 125);

// A progress report on its way from the worker to the window; it owns the
// status text, so a report still queued when the window goes frees it too.
class ProgressEvent : public QEvent {
 public:
  ProgressEvent(int percent, std::unique_ptr<std::string> status)
      : QEvent(kProgressEvent), percent_(percent), status_(std::move(status)) {}
  int Percent() const { return percent_; }
  const std::string* Status() const { return status_.get(); }

 private:
  int percent_;
  std::unique_ptr<std::string> status_;
};

int CountLineEnds(std::string_view text) {
  int count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
       at = text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

void SetBoxBackground(QWidget* box) {
  QPalette colours = box->palette();
  colours.setColor(QPalette::Base, kBoxGrey);
  box->setPalette(colours);
}

// The window height counts the caption and borders of the classic frame;
// taking them off leaves the client the same 8 pixels below the buttons as
// on its other sides, whatever frame the window system draws.
constexpr int kClassicFrameHeight = 30;

void ShowWarningBox(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace

ProgressWindowLayout LayoutProgressWindow(int client_width, std::string_view description,
                                          int frame_height) {
  ProgressWindowLayout layout;
  const int width = client_width - 2 * kInset;
  int top = kInset;
  if (!description.empty()) {
    const int height = kDescriptionLineHeight * CountLineEnds(description) + kDescriptionLineHeight;
    layout.description = QRect(kInset, top, width, height);
    top += height + kDescriptionGap;
  }
  layout.bar = QRect(kInset, top, width, kRowHeight);
  top += kRowPitch;
  layout.status = QRect(kInset, top, width, kRowHeight);
  top += kRowPitch;
  const int pause_left = client_width / 2 - kPauseFromMiddle;
  layout.pause_button = QRect(pause_left, top, kButtonWidth, kRowHeight);
  layout.cancel_button = QRect(pause_left + kCancelFromPause, top, kButtonWidth, kRowHeight);
  layout.window_height = top + kRowHeight + kBelowButtons;
  layout.client_height = layout.window_height - frame_height;
  return layout;
}

IndexProgressWindow::IndexProgressWindow(TaskPtr<ProgressTask> task, std::string description,
                                         QWidget* parent)
    : QDialog(parent), task_(std::move(task)) {
  setObjectName(QStringLiteral("indexProgressWindow"));
  setWindowTitle(QStringLiteral("Progress"));
  setModal(true);
  QFont dialog_font = font();
  dialog_font.setPixelSize(kFontPixelSize);
  setFont(dialog_font);

  const ProgressWindowLayout layout =
      LayoutProgressWindow(kProgressWindowWidth, description, kClassicFrameHeight);

  if (!layout.description.isNull()) {
    description_ = new QPlainTextEdit(this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setReadOnly(true);
    description_->setLineWrapMode(QPlainTextEdit::NoWrap);
    description_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A narrow margin lets the box's 14-pixel lines all show, as they were sized to.
    description_->document()->setDocumentMargin(1);
    SetBoxBackground(description_);
    description_->setPlainText(
        QString::fromStdString(description).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The end shows what the build writes to; the first show scrolls to the cursor.
    description_->moveCursor(QTextCursor::End);
    description_->setGeometry(layout.description);
  }

  bar_ = new GradientProgressBar(this);
  bar_->setObjectName(QStringLiteral("progressBar"));
  bar_->SetRange(0, 100);
  bar_->SetPosition(0);
  bar_->SetGradientColours(kGradientStart, kGradientEnd);
  bar_->SetTextColour(Qt::black);
  bar_->SetShowPercentage(true);
  bar_->setGeometry(layout.bar);

  status_ = new QLineEdit(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setReadOnly(true);
  SetBoxBackground(status_);
  status_->setGeometry(layout.status);

  pause_ = new QPushButton(QStringLiteral("Pause"), this);
  pause_->setObjectName(QStringLiteral("pauseButton"));
  pause_->setAutoDefault(false);
  pause_->setGeometry(layout.pause_button);
  connect(pause_, &QPushButton::clicked, this, &IndexProgressWindow::TogglePause);

  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  cancel_->setDefault(true);
  cancel_->setGeometry(layout.cancel_button);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  cancel_->setFocus();

  setFixedSize(kProgressWindowWidth, layout.client_height);
  if (task_) task_->SetObserver(this);
}

IndexProgressWindow::~IndexProgressWindow() {
  // Once the task has reported 100 its finishing step (the page list and the
  // search pages) follows at once; a stop now would cut the index short after
  // "Close" has told the user it was complete.
  if (completed_) task_->WaitUntilFinished();
  task_.reset();
}

void IndexProgressWindow::PostProgress(int percent, std::unique_ptr<std::string> status) {
  QCoreApplication::postEvent(this, new ProgressEvent(percent, std::move(status)));
}

bool IndexProgressWindow::event(QEvent* event) {
  if (event->type() == kProgressEvent) {
    if (const auto* report = dynamic_cast<ProgressEvent*>(event)) {
      ShowProgress(report->Percent(), report->Status());
    }
    return true;
  }
  return QDialog::event(event);
}

void IndexProgressWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  if (task_) {
    task_->start(0, 0);
  } else {
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
  }
}

void IndexProgressWindow::ShowProgress(int percent, const std::string* status) {
  if (status != nullptr) status_->setText(QString::fromStdString(*status));
  if (percent != 100) {
    bar_->SetPosition(percent);
    return;
  }
  completed_ = true;
  pause_->hide();
  cancel_->setText(QStringLiteral("Close"));
  const std::string failure = task_ ? task_->Failure() : std::string();
  if (failure.empty()) {
    bar_->SetPosition(percent);
    return;
  }
  // A failed build is no 100 %: the bar stays where the build stopped.
  if (failed_) return;
  failed_ = true;
  const QString text = QString::fromStdString(failure);
  // Shown once this report has been handled, so that the window is up to
  // date behind the box.
  QMetaObject::invokeMethod(
      this,
      [this, text] {
        if (show_error_) {
          show_error_(this, QStringLiteral("Index Error"), text);
        } else {
          ShowWarningBox(this, QStringLiteral("Index Error"), text);
        }
      },
      Qt::QueuedConnection);
}

void IndexProgressWindow::TogglePause() {
  if (!task_) return;
  if (task_->isPaused()) {
    pause_->setText(QStringLiteral("Pause"));
    task_->pause(false);
  } else {
    pause_->setText(QStringLiteral("Continue"));
    task_->pause(true);
  }
}

bool RunIndexBuild(QWidget* owner, const SettingsStore& settings, const XmlNode* descriptor,
                   const std::vector<std::filesystem::path>& template_folders,
                   const IndexBuildOptions& options) {
  TaskPtr<IndexBuilder> builder = MakeTask<IndexBuilder>(options.time_slice_ms, template_folders);
  std::string description;
  if (!builder->configure(ReadIndexOptions(settings, descriptor), &description)) {
    const QString caption = QStringLiteral("Index Error");
    const QString text = QString::fromStdString(builder->ConfigureError());
    if (options.show_error) {
      options.show_error(owner, caption, text);
    } else {
      ShowWarningBox(owner, caption, text);
    }
    return false;
  }
  IndexProgressWindow window(std::move(builder), std::move(description), owner);
  if (options.show_error) window.SetErrorPresenter(options.show_error);
  window.exec();
  return true;
}

}  // namespace vossik
