#include "app/single_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/string_util.h"

namespace vossik {

SingleInstanceLock::~SingleInstanceLock() { Release(); }

std::filesystem::path SingleInstanceLock::LockFileFor(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') {
    return std::filesystem::path(runtime) / (std::string(name) + ".lock");
  }
  std::error_code ignored;
  return std::filesystem::temp_directory_path(ignored) /
         (std::string(name) + "-" + std::to_string(::getuid()) + ".lock");
}

std::filesystem::path SingleInstanceLock::SocketFileFor(std::string_view name) {
  return std::filesystem::path(LockFileFor(name)).replace_extension(".socket");
}

SingleInstanceLock::Outcome SingleInstanceLock::Acquire(std::string_view name, int wait_ms) {
  Release();
  holder_ = 0;
  reason_.clear();
  const std::filesystem::path file = LockFileFor(name);
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    reason_ = file.string() + ": " + std::strerror(errno);
    return Outcome::kUnavailable;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      reason_ = file.string() + ": " + std::strerror(errno);
      ::close(fd);
      return Outcome::kUnavailable;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      char text[32] = {};
      const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
      if (n > 0) holder_ = ParseLeadingNumber(std::string_view(text, static_cast<std::size_t>(n)));
      ::close(fd);
      return Outcome::kHeldElsewhere;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  // A holder that cannot write its number still holds the lock; a second
  // copy then names no process.
  const std::string pid = std::to_string(::getpid()) + "\n";
  const bool recorded = ::ftruncate(fd, 0) == 0 &&
                        ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
  holder_ = recorded ? ::getpid() : 0;
  fd_ = fd;
  return Outcome::kAcquired;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace vossik
