#include "app/qt_application_ui_qt.h"

#include <QApplication>

#include "app/application.h"
#include "app/main_dialog_qt.h"
#include "app/program_icon_qt.h"
#include "app/running_copy_qt.h"
#include "app/single_instance_lock.h"
#include "ui/message_box.h"

namespace vossik {

QtApplicationUi::QtApplicationUi(int& argc, char** argv, ProductIdentity identity)
    : argc_(argc), argv_(argv), identity_(std::move(identity)) {}

QtApplicationUi::~QtApplicationUi() = default;

void QtApplicationUi::EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  qt_ = std::make_unique<QApplication>(argc_, argv_);
  QApplication::setApplicationName(QString::fromStdString(identity_.product_name));
  QApplication::setOrganizationName(QString::fromStdString(identity_.maker));
  QApplication::setApplicationVersion(QString::fromStdString(identity_.version));
  QApplication::setWindowIcon(ProgramIcon());
}

MessageAnswer QtApplicationUi::ShowMessage(MessageKind kind, const std::string& caption,
                                           const std::string& text) {
  EnsureApplication();
  return ShowMessageBox(QApplication::activeWindow(), kind, caption, text);
}

bool QtApplicationUi::RunMainDialog(Application& application) {
  EnsureApplication();
  MainDialog dialog(MainDialogSetupFor(application));
  const RunningCopyListener listener(
      SingleInstanceLock::SocketFileFor(application.Paths().base_name), &dialog);
  dialog.exec();
  return true;
}

bool QtApplicationUi::RaiseRunningCopy(const std::filesystem::path& socket) {
  return RaiseRunningCopyAt(socket);
}

}  // namespace vossik
