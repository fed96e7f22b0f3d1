// SingleInstanceLock keeps a second copy of the program from running at the
// same time as the first, for one user: the first holds an exclusive lock
// on a file named after the program in the user's runtime folder for its
// whole life, and writes its process number into it, so that a second copy
// can say which process it found.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik {

class SingleInstanceLock {
 public:
  enum class Outcome {
    kAcquired,       // this process holds the lock now
    kHeldElsewhere,  // another process holds it
    kUnavailable,    // the lock file cannot be opened; Reason() says why
  };

  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  /// Tries for at most `wait_ms` to take the lock named `name`.
  [[nodiscard]] Outcome Acquire(std::string_view name, int wait_ms = 30);
  void Release();
  bool Held() const { return fd_ >= 0; }
  /// The process that holds the lock, as written into the lock file (this
  /// one after kAcquired); 0 when none was written.
  long HolderProcess() const { return holder_; }
  /// After kUnavailable: the system's reason.
  const std::string& Reason() const { return reason_; }

  /// The lock file for `name`: "NAME.lock" in $XDG_RUNTIME_DIR, else
  /// "NAME-UID.lock" in the temporary folder, so that users never share one.
  static std::filesystem::path LockFileFor(std::string_view name);
  /// Where the holder listens for a second copy's request to show itself:
  /// the lock file with ".socket" in place of ".lock".
  static std::filesystem::path SocketFileFor(std::string_view name);

 private:
  int fd_ = -1;
  long holder_ = 0;
  std::string reason_;
};

}  // namespace vossik
