// What the service data views ask of the service connection: one generic
// administration request. The service bar implements it; the data views find
// it by casting the sheet's service bar, so a sheet without a bar (the local
// settings window) simply has no connection and fetches nothing from a service.
//
// Requests run on the user-interface thread and block it for the client's own
// time-outs.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "admin/admin_result.h"

namespace vossik {

class ServiceRequests {
 public:
  virtual ~ServiceRequests() = default;

  /// Sends `action` with the local copy's modification time `stamp` (-1: none)
  /// and `extra_query` (appended as given, "&name=value..."). On kOk `*reply`
  /// holds the reply body; kNotModified leaves it empty. Without a connection
  /// to a service the result is kCommFailure and nothing is sent.
  [[nodiscard]] virtual AdminResult ServiceRequest(std::string_view action, std::time_t stamp,
                                                   std::string_view extra_query,
                                                   std::string* reply) = 0;
};

}  // namespace vossik
