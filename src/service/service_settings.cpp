#include "service/service_settings.h"

#include <netdb.h>

#include "base/date_text.h"
#include "service/address_rules.h"
#include "settings/typed_settings.h"

namespace vossik {
namespace {

constexpr int32_t kLongestDelaySeconds = 3600;
constexpr int32_t kLongestIntervalMinutes = 7 * 24 * 60;

bool Resolves(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  freeaddrinfo(found);
  return true;
}

}  // namespace

ServiceSettings ReadServiceSettings(const SettingsStore& settings, const XmlNode* descriptor) {
  ServiceSettings read;
  std::string host;
  // An empty host listens where the default does, on this machine only.
  static_cast<void>(GetString(settings, descriptor, {.uid = "service:host"}, &host));
  if (!host.empty()) read.host = host;
  static_cast<void>(GetNumber(settings, descriptor, {.uid = "service:port"}, &read.port));
  static_cast<void>(GetList(settings, descriptor, {.uid = "service:allow"}, &read.allow));
  static_cast<void>(
      GetSecret(settings, descriptor, {.uid = "administrator:password"}, &read.password));
  static_cast<void>(GetNumber(settings, descriptor, {.uid = "watch:delay"}, &read.delay_seconds));
  static_cast<void>(
      GetNumber(settings, descriptor, {.uid = "watch:interval"}, &read.interval_minutes));
  // Entries run from 0 to the first one without a time, as the settings
  // window lists them.
  for (int n = 0;; ++n) {
    std::string time;
    if (GetString(settings, descriptor, {.uid = "schedule:time", .index = n}, &time) != 0 ||
        time.empty()) {
      break;
    }
    bool enabled = true;
    static_cast<void>(
        GetSwitch(settings, descriptor, {.uid = "schedule:enabled", .index = n}, &enabled));
    if (!enabled) continue;
    uint32_t days = 0;
    static_cast<void>(GetFlags(settings, descriptor, {.uid = "schedule:days", .index = n}, &days));
    // The flags count the allowed names Mon ... Sun from bit 1.
    ScheduledBuild entry{MinuteOfDay(time), (days >> 1) & 0x7Fu};
    if (entry.minute < 0) read.unreadable_times.push_back(time);
    read.schedule.push_back(entry);
  }
  return read;
}

std::string ProblemsWith(const ServiceSettings& settings) {
  std::string problems;
  auto add = [&problems](const std::string& problem) { problems += problem + "\n"; };
  if (!Resolves(settings.host)) add("service:host \"" + settings.host + "\" is not an address");
  if (settings.port < 0 || settings.port > 65535) {
    add("service:port " + std::to_string(settings.port) + " is not a port");
  }
  AllowList allow;
  std::string error;
  if (!allow.Parse(settings.allow, &error)) add("service:allow " + error);
  if (settings.delay_seconds < 0 || settings.delay_seconds > kLongestDelaySeconds) {
    add("watch:delay must be 0 to " + std::to_string(kLongestDelaySeconds) + " seconds");
  }
  if (settings.interval_minutes < 0 || settings.interval_minutes > kLongestIntervalMinutes) {
    add("watch:interval must be 0 to " + std::to_string(kLongestIntervalMinutes) + " minutes");
  }
  for (const std::string& time : settings.unreadable_times) {
    add("schedule:time \"" + time + "\" is not a time of day");
  }
  return problems;
}

}  // namespace vossik
