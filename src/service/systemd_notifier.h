// Tells systemd, when it started the service, that the service is ready
// and what it is doing, as the one line that `systemctl status` shows
// ("Running", "Paused", "Building 42 %"). Without systemd (no
// NOTIFY_SOCKET) every call does nothing.
//
// Thread safety: one thread at a time.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

class SystemdNotifier {
 public:
  /// READY=1 with the first status line.
  void Ready(std::string_view status);
  /// The status line; repeats of the last one, and lines before Ready, are
  /// not sent.
  void Status(std::string_view status);
  void Reloading();
  void Stopping();

 private:
  void Send(const std::string& state);

  bool ready_ = false;
  std::string last_status_;
};

}  // namespace vossik
