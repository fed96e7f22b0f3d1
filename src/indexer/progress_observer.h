// ProgressObserver receives a build's progress. The worker thread only ever
// posts: each report carries its own copy of the status text, which the
// receiver owns from then on, so the worker never touches the receiver's
// objects. The Qt progress window and the terminal progress bar implement it.
#pragma once

#include <memory>
#include <string>

namespace vossik {

class ProgressObserver {
 public:
  virtual ~ProgressObserver() = default;

  /// Called on the worker thread. Must only queue the report for the
  /// receiver's own thread and return at once. `status` may be null.
  virtual void PostProgress(int percent, std::unique_ptr<std::string> status) = 0;

  /// Called on the worker thread with a warning or error line of the build
  /// log ("Warning: cannot read ..."), as it happens. As PostProgress; the
  /// default drops it.
  virtual void PostNotice(std::unique_ptr<std::string> line) { static_cast<void>(line); }
};

}  // namespace vossik
