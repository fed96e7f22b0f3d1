#include "app/single_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vossik {

SingleInstanceLock::~SingleInstanceLock() { Release(); }

std::filesystem::path SingleInstanceLock::LockFileFor(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::filesystem::path folder = (runtime != nullptr && *runtime != '\0')
                                     ? std::filesystem::path(runtime)
                                     : std::filesystem::temp_directory_path();
  return folder / (std::string(name) + ".lock");
}

bool SingleInstanceLock::Acquire(std::string_view name, int wait_ms) {
  Release();
  const std::filesystem::path file = LockFileFor(name);
  // Everyone may open the lock file, as everyone could open the named mutex.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  fd_ = fd;
  return true;
}

void SingleInstanceLock::Release() {
  if (fd_ < 0) return;
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}

}  // namespace vossik
