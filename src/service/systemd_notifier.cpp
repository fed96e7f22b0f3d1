#include "service/systemd_notifier.h"

#include <systemd/sd-daemon.h>

namespace vossik {

void SystemdNotifier::Send(const std::string& state) {
  // A failure to notify changes nothing about the service's work.
  static_cast<void>(sd_notify(0, state.c_str()));
}

void SystemdNotifier::Ready(std::string_view status) {
  ready_ = true;
  last_status_ = std::string(status);
  Send("READY=1\nSTATUS=" + last_status_);
}

void SystemdNotifier::Status(std::string_view status) {
  // Before READY the status goes with it.
  if (!ready_ || status == last_status_) return;
  last_status_ = std::string(status);
  Send("STATUS=" + last_status_);
}

void SystemdNotifier::Reloading() { Send("RELOADING=1"); }

void SystemdNotifier::Stopping() { Send("STOPPING=1\nSTATUS=Stopping"); }

}  // namespace vossik
