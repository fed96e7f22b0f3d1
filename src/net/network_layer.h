// The network library's start-up and clean-up: start-up checks that the
// process may use sockets, and writes the DNS resolver's list of root
// servers to "mxroots" in the working folder when it is missing. Start and
// Shutdown run on the main thread, before and after every other thread.
#pragma once

#include <string>

namespace vossik {

class NetworkLayer {
 public:
  /// Writes "mxroots" (one root server name per line) when it is missing.
  /// False when the process cannot open a socket.
  [[nodiscard]] bool Start();
  void Shutdown();
  bool Started() const { return started_; }

  /// The names of the DNS root servers, in the order written to "mxroots".
  static const char* const* RootServers();

 private:
  bool started_ = false;
};

}  // namespace vossik
