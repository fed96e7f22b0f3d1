// What the service takes from its configuration file besides the index
// build's settings: where it listens and whom it answers (`service`), the
// administrator password (`administrator`), and when it rebuilds (`watch`
// and the numbered entries of `schedule`),
// read through the descriptor so that its defaults apply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/build_scheduler.h"

namespace vossik {

class SettingsStore;
class XmlNode;

struct ServiceSettings {
  std::string host = "127.0.0.1";  // service:host, the address listened on
  int32_t port = 0;                // service:port; 0 listens on any free port
  std::vector<std::string> allow;  // service:allow, addresses and networks
  std::string password;            // administrator:password, in clear text
  int32_t delay_seconds = 5;       // watch:delay, quiet after a change before a build
  int32_t interval_minutes = 0;    // watch:interval, 0 for no scheduled builds
  // schedule:time%d, schedule:days%d and schedule:enabled%d, the enabled
  // entries only; an entry whose time cannot be read has minute -1.
  std::vector<ScheduledBuild> schedule;
  std::vector<std::string> unreadable_times;  // those times as written

  bool operator==(const ServiceSettings&) const = default;
};

ServiceSettings ReadServiceSettings(const SettingsStore& settings, const XmlNode* descriptor);

/// Why the service cannot run with `settings`, one reason per line; empty
/// when it can. The host must be an address of this machine's kind (an IP
/// address or a name that resolves), the port at most 65535, every allow
/// entry an address or a network, the times within their ranges, and every
/// enabled scheduled build at a time of day.
std::string ProblemsWith(const ServiceSettings& settings);

}  // namespace vossik
