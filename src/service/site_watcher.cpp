#include "service/site_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vossik {
namespace {

constexpr uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                   IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;

std::string Joined(const std::string& folder, const char* name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + name;
}

bool IsRobotsFile(const std::string& path, const std::string& source_folder) {
  return path == Joined(source_folder, "robots.txt");
}

}  // namespace

SiteWatcher::~SiteWatcher() { Stop(); }

void SiteWatcher::Stop() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  folders_.clear();
}

bool SiteWatcher::Watch(std::shared_ptr<const SourceWalker> walker, std::string ignored_file,
                        std::string* problem) {
  Stop();
  walker_ = std::move(walker);
  ignored_file_ = std::move(ignored_file);
  last_problem_.clear();
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) {
    *problem = std::string("cannot watch the site: ") + std::strerror(errno);
    return false;
  }
  const std::string& root = walker_->Rules().source_folder;
  if (root.empty() || !AddFolder(root)) {
    *problem = root.empty() ? "no site folder is set" : last_problem_;
    Stop();
    return false;
  }
  // The root is watched; its sub-folders are walked below it.
  AddTree(root);
  if (!last_problem_.empty()) *problem = last_problem_;
  return true;
}

bool SiteWatcher::AddFolder(const std::string& folder) {
  const int wd = inotify_add_watch(fd_, folder.c_str(), kFolderEvents);
  if (wd < 0) {
    last_problem_ = "cannot watch " + folder + ": " + std::strerror(errno);
    if (errno == ENOSPC) last_problem_ += " (raise fs.inotify.max_user_watches)";
    return false;
  }
  folders_[wd] = folder;
  return true;
}

void SiteWatcher::AddTree(const std::string& folder) {
  std::vector<std::string> pending{folder};
  while (!pending.empty()) {
    FolderListing listing(pending.back());
    pending.pop_back();
    for (std::unique_ptr<SourceEntry> entry = listing.firstEntry(); entry;
         entry = listing.nextEntry()) {
      if (!entry->IsFolder() || !walker_->ShouldDescend(entry->Path())) continue;
      if (AddFolder(entry->Path())) pending.push_back(entry->Path());
    }
  }
}

void SiteWatcher::ForgetTree(const std::string& folder) {
  const std::string below = folder + "/";
  for (auto it = folders_.begin(); it != folders_.end();) {
    if (it->second == folder || it->second.starts_with(below)) {
      inotify_rm_watch(fd_, it->first);
      it = folders_.erase(it);
    } else {
      ++it;
    }
  }
}

bool SiteWatcher::Concerns(uint32_t mask, const std::string& path) {
  const std::string& root = walker_->Rules().source_folder;
  if (mask & IN_ISDIR) {
    if (mask & (IN_DELETE | IN_MOVED_FROM)) {
      const bool watched = [&] {
        for (const auto& [wd, folder] : folders_) {
          if (folder == path) return true;
        }
        return false;
      }();
      ForgetTree(path);
      return watched;
    }
    if (!walker_->ShouldDescend(path) || !AddFolder(path)) return false;
    AddTree(path);
    return true;
  }
  if (path == ignored_file_) return false;
  return IsRobotsFile(path, root) || walker_->Accepts(path);
}

bool SiteWatcher::ReadChanges() {
  if (fd_ < 0) return false;
  bool changed = false;
  alignas(inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got <= 0) {
      if (got < 0 && errno == EINTR) continue;
      break;
    }
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        // Events were lost: whatever they were, the index may be stale, and
        // folders may have appeared unseen.
        changed = true;
        AddTree(walker_->Rules().source_folder);
        continue;
      }
      const auto folder = folders_.find(event->wd);
      if (folder == folders_.end()) continue;
      if (event->mask & IN_IGNORED) {
        folders_.erase(folder);
        continue;
      }
      if (event->mask & IN_DELETE_SELF) {
        changed = true;
        continue;
      }
      if (event->len == 0) continue;
      if (Concerns(event->mask, Joined(folder->second, event->name))) changed = true;
    }
  }
  return changed;
}

}  // namespace vossik
