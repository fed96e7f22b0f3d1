// RunningCopyListener lets a second copy of the program bring the running
// copy's window to the front: the running copy listens on a local socket
// beside its single-instance lock, and a second copy that finds the lock
// taken connects to it with RaiseRunningCopyAt before it ends.
//
// User-interface thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>

class QLocalServer;
class QWidget;

namespace vossik {

class RunningCopyListener : public QObject {
  Q_OBJECT

 public:
  /// Listens on `socket` (replacing a stale socket file left by a killed
  /// copy) and raises `window` on each connection. `window` may go first.
  RunningCopyListener(const std::filesystem::path& socket, QWidget* window);
  ~RunningCopyListener() override;

  bool Listening() const;

 private:
  void RaiseWindow();

  QLocalServer* server_;
  QPointer<QWidget> window_;
};

/// Connects to the copy listening on `socket`; true when it was reached.
bool RaiseRunningCopyAt(const std::filesystem::path& socket);

}  // namespace vossik
