#include "base/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace vossik {
namespace {

namespace fs = std::filesystem;

bool Fail(std::string* reason, int error_number) {
  if (reason != nullptr) *reason = std::strerror(error_number);
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Writes, syncs and closes `fd`; on failure errno tells why.
bool WriteSyncClose(int fd, std::string_view bytes) {
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int saved = errno;
  const bool closed = ::close(fd) == 0;
  if (!written) errno = saved;
  return written && closed;
}

}  // namespace

std::string FileErrorText(std::string_view action, const fs::path& file, std::string_view reason) {
  std::string text = "cannot ";
  text += action;
  text += " '" + file.string() + "': ";
  text += reason;
  return text;
}

bool ReadWholeFile(const fs::path& file, std::string* bytes, std::string* reason) {
  // Non-blocking, so that a named pipe in place of a file cannot stall the
  // reader; the check below turns it away.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Fail(reason, errno);
  struct stat state {};
  const bool stated = ::fstat(fd, &state) == 0;
  if (!stated || !S_ISREG(state.st_mode)) {
    const int saved_errno = !stated ? errno : S_ISDIR(state.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return Fail(reason, saved_errno);
  }
  std::string content;
  content.reserve(static_cast<std::size_t>(state.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int saved_errno = errno;
      ::close(fd);
      return Fail(reason, saved_errno);
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  *bytes = std::move(content);
  return true;
}

bool WriteWholeFile(const fs::path& file, std::string_view bytes, std::string* reason) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(reason, errno);
  const bool written = WriteAll(fd, bytes);
  const int saved_errno = errno;
  if (::close(fd) != 0 || !written) return Fail(reason, written ? errno : saved_errno);
  return true;
}

bool SyncFileSystem(const fs::path& folder, std::string* reason) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(reason, errno);
  const bool synced = ::syncfs(fd) == 0;
  const int saved_errno = errno;
  ::close(fd);
  return synced || Fail(reason, saved_errno);
}

bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

namespace {

// The process id of "NAME.PID.N.tmp" for `name`, or 0 when `entry` is not such a file.
long TemporaryOwner(const std::string& entry, const std::string& name) {
  const std::string prefix = name + ".";
  const std::string suffix = ".tmp";
  if (entry.size() <= prefix.size() + suffix.size() || !entry.starts_with(prefix) ||
      !entry.ends_with(suffix)) {
    return 0;
  }
  const std::string middle =
      entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size());
  const std::size_t dot = middle.find('.');
  if (dot == 0 || dot == std::string::npos || dot + 1 == middle.size()) return 0;
  const auto digits = [](std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos && text.size() < 10;
  };
  if (!digits(std::string_view(middle).substr(0, dot)) ||
      !digits(std::string_view(middle).substr(dot + 1))) {
    return 0;
  }
  return std::stol(middle.substr(0, dot));
}

}  // namespace

int RemoveStaleTemporaries(const fs::path& file) {
  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const std::string name = file.filename().string();
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const long owner = TemporaryOwner(it->path().filename().string(), name);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM) continue;  // still running
    std::error_code type;
    if (it->is_regular_file(type) && ::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

bool ReplaceFileAtomically(const fs::path& file, std::string_view bytes, std::string* reason) {
  if (file.empty()) return Fail(reason, ENOENT);
  std::error_code ec;
  fs::path target = file;
  // Writing in place went through a symbolic link; keep it that way rather
  // than replacing the link with a plain file.
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  struct stat old_state {};
  const bool existed = ::stat(target.c_str(), &old_state) == 0;
  // The rename would ignore the file's own permissions; a read-only file
  // stays as it is, as it would for a write in place.
  if (existed && ::access(target.c_str(), W_OK) != 0) return Fail(reason, errno);

  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.parent_path();
  fs::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder / (target.filename().string() + "." + std::to_string(::getpid()) + "." +
                          std::to_string(counter++) + ".tmp");
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Fail(reason, errno);
  }
  if (fd < 0) return Fail(reason, EEXIST);
  if (existed) ::fchmod(fd, old_state.st_mode & 07777);

  if (!WriteSyncClose(fd, bytes) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    const int saved_errno = errno;
    ::unlink(temporary.c_str());
    return Fail(reason, saved_errno);
  }
  // The data is safe once renamed; a folder that cannot be synced only
  // risks the rename itself after a crash.
  static_cast<void>(SyncFolder(folder));
  return true;
}

}  // namespace vossik
