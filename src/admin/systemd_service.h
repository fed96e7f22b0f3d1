// SystemdService is a LocalService run by systemd, through the systemctl
// program found on the PATH: the state comes from `systemctl show` (the
// unit's ActiveState and the one-line status the service reports with
// sd_notify), start and stop are `systemctl start` and `stop`, and pause and
// continue send the service SIGUSR1 and SIGUSR2 with `systemctl kill`.
// systemctl never asks for a password here: a request that needs one fails.
//
// Thread safety: one object is used by one thread at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "admin/local_service.h"

namespace vossik {

/// Where systemd keeps its runtime state; it exists only while systemd runs
/// the machine.
inline constexpr std::string_view kSystemdRuntimeFolder = "/run/systemd/system";

class SystemdService : public LocalService {
 public:
  /// `name` without ".service" ("vossik").
  explicit SystemdService(std::string name);

  const std::string& Name() const override { return name_; }
  ServiceState QueryState() override;
  bool Start() override;
  bool Stop() override;
  bool Pause() override;
  bool Continue() override;
  ServiceState LastState() const override { return last_state_; }

  /// The state systemd's properties describe: ActiveState and, for an
  /// active unit, whether its status text says it is paused.
  static ServiceState StateFromProperties(std::string_view show_output);

 private:
  [[nodiscard]] bool Control(const std::vector<std::string>& args);

  std::string name_;
  std::string unit_;
  ServiceState last_state_ = ServiceState::kUnknown;
};

/// Attaches the service `name` when systemd runs this machine (its runtime
/// folder exists) and knows a unit `name`.service. `*manager_available`
/// says whether systemd runs at all. Null when there is no such service.
std::unique_ptr<LocalService> OpenSystemdService(
    const std::string& name, bool* manager_available,
    const std::filesystem::path& runtime_folder = kSystemdRuntimeFolder);

}  // namespace vossik
