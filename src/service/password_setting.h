// `vossikd -password`: sets the administrator password in the service's
// configuration file, encrypted as the file keeps it, from a line read on
// the standard input (not echoed when it is a terminal). An empty line
// removes the password, so that only clients on this machine are answered.
// A running service takes the new password when it reads its
// configuration again (SIGHUP, `systemctl reload vossik.service`).
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace vossik {

/// Writes the password into the configuration file of the service started
/// as `program_path`, in the current folder. Returns 0, or 1 on failure
/// after a message on `messages`.
[[nodiscard]] int SetServicePassword(const std::string& program_path, std::istream& in,
                                     std::ostream& messages);

}  // namespace vossik
