#include "service/site_walk.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "indexer/output_folder.h"

namespace vossik {

std::unique_ptr<SourceWalker> SiteWalkerFor(const IndexOptions& options) {
  WalkRules rules;
  rules.source_folder = options.source_folder;
  rules.output_folder =
      OutputFolderFor(options.source_folder, TargetWithSlashes(options.target_folder));
  rules.recurse = options.recurse;
  if (options.type_include) rules.type_include.emplace(*options.type_include);
  if (options.type_exclude) rules.type_exclude.emplace(*options.type_exclude);
  if (options.match_include) rules.match_include.emplace(*options.match_include);
  if (options.match_exclude) rules.match_exclude.emplace(*options.match_exclude);
  rules.robots.Read(options.source_folder, options.robot_name, nullptr);
  return std::make_unique<SourceWalker>(std::move(rules));
}

std::time_t NewestAcceptedPage(const SourceWalker& walker) {
  std::time_t newest = 0;
  if (walker.Rules().source_folder.empty()) return newest;
  std::vector<std::unique_ptr<FolderListing>> pending;
  pending.push_back(std::make_unique<FolderListing>(walker.Rules().source_folder));
  while (!pending.empty()) {
    std::unique_ptr<FolderListing> folder = std::move(pending.back());
    pending.pop_back();
    for (std::unique_ptr<SourceEntry> entry = folder->firstEntry(); entry;
         entry = folder->nextEntry()) {
      if (entry->IsFolder()) {
        if (walker.ShouldDescend(entry->Path())) {
          pending.push_back(std::make_unique<FolderListing>(entry->Path()));
        }
      } else if (walker.Accepts(entry->Path())) {
        struct stat info {};
        if (stat(entry->Path().c_str(), &info) == 0) newest = std::max(newest, info.st_mtime);
      }
    }
  }
  return newest;
}

}  // namespace vossik
