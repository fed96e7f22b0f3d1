// LocalService controls a service installed on this machine through the
// machine's service manager: its state, start, stop, pause and continue.
// The administration client uses it instead of the protocol when the
// service it administers is the local one. SystemdService is the real one;
// tests use fakes.
//
// Thread safety: one object is used by one thread at a time.
#pragma once

#include <memory>
#include <string>

#include "admin/admin_result.h"

namespace vossik {

class LocalService {
 public:
  virtual ~LocalService() = default;

  /// The name the service is installed under.
  virtual const std::string& Name() const = 0;
  /// Asks the manager afresh; kUnknown when it cannot say.
  [[nodiscard]] virtual ServiceState QueryState() = 0;
  /// Each asks the manager and returns whether it accepted the request.
  [[nodiscard]] virtual bool Start() = 0;
  [[nodiscard]] virtual bool Stop() = 0;
  [[nodiscard]] virtual bool Pause() = 0;
  [[nodiscard]] virtual bool Continue() = 0;
  /// The state of the last query or control call.
  virtual ServiceState LastState() const = 0;

  /// Waits while the service is stopping (for at most two minutes), then
  /// starts it when it is stopped and continues it otherwise. Returns
  /// whether that last request was accepted.
  [[nodiscard]] bool StartOrContinue();

 protected:
  /// The pause between two state queries while the service stops.
  virtual void WaitBeforeNextQuery();
};

}  // namespace vossik
