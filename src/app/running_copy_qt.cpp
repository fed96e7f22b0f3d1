#include "app/running_copy_qt.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace vossik {
namespace {

constexpr int kConnectTimeoutMs = 1000;

}  // namespace

RunningCopyListener::RunningCopyListener(const std::filesystem::path& socket, QWidget* window)
    : server_(new QLocalServer(this)), window_(window) {
  const QString name = QString::fromStdString(socket.string());
  // Only this user may ask: the socket lives in the user's runtime folder.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(name);
  server_->listen(name);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
      client->deleteLater();
      RaiseWindow();
    }
  });
}

RunningCopyListener::~RunningCopyListener() { server_->close(); }

bool RunningCopyListener::Listening() const { return server_->isListening(); }

void RunningCopyListener::RaiseWindow() {
  if (window_ == nullptr) return;
  if (window_->isMinimized()) window_->showNormal();
  window_->raise();
  window_->activateWindow();
}

bool RaiseRunningCopyAt(const std::filesystem::path& socket) {
  QLocalSocket client;
  client.connectToServer(QString::fromStdString(socket.string()));
  if (!client.waitForConnected(kConnectTimeoutMs)) return false;
  client.disconnectFromServer();
  return true;
}

}  // namespace vossik
