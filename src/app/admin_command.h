// `vossik -admin ACTION [ARGUMENT]...`: the administration client for
// scripts. It reaches the service named by service:host, service:port and
// administrator:password of the program's settings, runs one action, and
// says in one line what happened (or prints what was asked for).
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "admin/admin_client.h"

namespace vossik {

class SettingsStore;
class XmlNode;

/// The actions, one a line, as -admin's error message lists them.
const char* AdminActionsText();

/// Runs the action `args[0]` with its arguments. `service_name` names the
/// locally installed service ("vossik" for vossik.service), which start,
/// stop, pause, continue and status use when the host is this machine;
/// `opener` attaches it (the default asks systemd). Returns 0 on success,
/// else the AdminResult number: 7 bad argument, 8 communication failure,
/// 9 not found, 10 not supported, 14 not modified, 15 wrong password, 3 the
/// service manager refused, 4 no local service.
[[nodiscard]] int RunAdminCommand(const SettingsStore& settings, const XmlNode* descriptor,
                                  std::string_view service_name,
                                  const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err, LocalServiceOpener opener = nullptr);

}  // namespace vossik
