// SiteWatcher follows a site's folders with inotify and says when a change
// concerns the index: a page the build would index was written, moved or
// deleted, robots.txt changed, or a folder the build walks appeared or went
// away. New folders are watched as they appear. The output folder, which
// the build itself writes, is never watched, and the site-map links file
// is ignored, so a build does not set off another.
//
// The owner polls Descriptor() for reading and then calls ReadChanges().
// Thread safety: one thread at a time.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "indexer/source_walker.h"

namespace vossik {

class SiteWatcher {
 public:
  SiteWatcher() = default;
  ~SiteWatcher();
  SiteWatcher(const SiteWatcher&) = delete;
  SiteWatcher& operator=(const SiteWatcher&) = delete;

  /// Watches every folder that `walker` walks, from its source folder down.
  /// `ignored_file` (the site-map links file, may be empty) never counts as
  /// a change. False, with the reason in `*problem`, when inotify cannot be
  /// used or the source folder cannot be watched.
  [[nodiscard]] bool Watch(std::shared_ptr<const SourceWalker> walker, std::string ignored_file,
                           std::string* problem);
  /// Takes new rules (robots.txt or the settings changed) for judging later
  /// changes; the watched folders stay.
  void SetWalker(std::shared_ptr<const SourceWalker> walker) { walker_ = std::move(walker); }
  /// Stops watching; the descriptor is closed.
  void Stop();

  /// The inotify descriptor to poll, or -1 when not watching.
  int Descriptor() const { return fd_; }
  /// Reads every event waiting; true when one of them concerns the index.
  [[nodiscard]] bool ReadChanges();
  /// How many folders are watched.
  std::size_t WatchedFolders() const { return folders_.size(); }
  /// Why the last folder that could not be watched failed; empty when none did.
  const std::string& LastProblem() const { return last_problem_; }

 private:
  void AddTree(const std::string& folder);
  [[nodiscard]] bool AddFolder(const std::string& folder);
  void ForgetTree(const std::string& folder);
  [[nodiscard]] bool Concerns(uint32_t mask, const std::string& path);

  int fd_ = -1;
  std::shared_ptr<const SourceWalker> walker_;
  std::string ignored_file_;
  std::map<int, std::string> folders_;  // watch descriptor -> folder path
  std::string last_problem_;
};

}  // namespace vossik
