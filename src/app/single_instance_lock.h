// SingleInstanceLock keeps a second copy of the program from running at the
// same time as the first: the first holds an exclusive lock on a file named
// after the program in the user's runtime folder for its whole life.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik {

class SingleInstanceLock {
 public:
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  /// Tries for at most `wait_ms` to take the lock named `name`. False when
  /// another process holds it (or the lock file cannot be made).
  [[nodiscard]] bool Acquire(std::string_view name, int wait_ms = 30);
  void Release();
  bool Held() const { return fd_ >= 0; }

  /// The lock file for `name`: in $XDG_RUNTIME_DIR, else in the temporary folder.
  static std::filesystem::path LockFileFor(std::string_view name);

 private:
  int fd_ = -1;
};

}  // namespace vossik
