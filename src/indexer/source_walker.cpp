#include "indexer/source_walker.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "indexer/output_folder.h"
#include "indexer/wildcard.h"

namespace vossik {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string joined(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

// One spelling per folder, so that "site//search/" and "site/./search"
// compare equal to "site/search".
std::string comparableFolder(std::string_view path) {
  std::string single;
  single.reserve(path.size());
  for (char c : path) {
    if (c != '/' || single.empty() || single.back() != '/') single += c;
  }
  std::string normal = normaliseFolder(single);
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// The part of `path` after the first occurrence of the source folder, with
// leading separators skipped; all of `path` when the folder is not in it.
std::string_view pathBelow(std::string_view path, std::string_view sourceFolder) {
  const std::size_t at = path.find(sourceFolder);
  if (at == std::string_view::npos) return path;
  path.remove_prefix(at + sourceFolder.size());
  while (!path.empty() && isSeparator(path.front())) path.remove_prefix(1);
  return path;
}

// The built-in exclusions see "/" + the path below the source folder, so
// that a source folder such as ".../index-site" or ".../vkindex-test" does
// not exclude itself.
std::string rootedBelowSource(std::string_view path, std::string_view sourceFolder) {
  std::string rooted = "/";
  rooted += pathBelow(path, sourceFolder);
  return rooted;
}

bool listFilters(const std::optional<PatternList>& list) { return list && !list->empty(); }

}  // namespace

SourceEntry::~SourceEntry() = default;

FileEntry::~FileEntry() { close(); }

uint64_t FileEntry::size() const {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(path(), error);
  return error ? 0 : bytes;
}

bool FileEntry::open() {
  close();
  file_ = std::fopen(path().c_str(), "rb");
  return file_ != nullptr;
}

bool FileEntry::readWhole(std::string* content) {
  content->clear();
  if (file_ == nullptr) return false;
  struct stat info;
  std::size_t expected = 0;
  if (fstat(fileno(file_), &info) == 0 && info.st_size > 0) {
    expected = static_cast<std::size_t>(info.st_size);
  }
  // Read one byte more than the size on record, to notice a file that grew.
  std::size_t capacity = expected + 1;
  std::size_t length = 0;
  for (;;) {
    content->resize(capacity);
    length += std::fread(content->data() + length, 1, capacity - length, file_);
    if (length < capacity) break;
    capacity += std::max<std::size_t>(capacity / 2, 65536);
  }
  content->resize(length);
  return std::ferror(file_) == 0;
}

void FileEntry::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

std::unique_ptr<SourceEntry> FolderListing::firstEntry() {
  children_.clear();
  next_ = 0;
  std::error_code error;
  std::filesystem::directory_iterator it(path(), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::string name = it->path().filename().string();
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      children_.push_back({std::move(name), true});
    } else if (it->is_regular_file(typeError) && name.find('.') != std::string::npos) {
      // Only regular files: reading a pipe or device could block the build.
      children_.push_back({std::move(name), false});
    }
  }
  if (error) children_.clear();
  std::sort(children_.begin(), children_.end(),
            [](const Child& a, const Child& b) { return a.name < b.name; });
  return nextEntry();
}

std::unique_ptr<SourceEntry> FolderListing::nextEntry() {
  if (next_ >= children_.size()) {
    children_.clear();
    next_ = 0;
    return nullptr;
  }
  const Child& child = children_[next_++];
  std::string childPath = joined(path(), child.name);
  if (child.folder) return std::make_unique<FolderListing>(std::move(childPath));
  return std::make_unique<FileEntry>(std::move(childPath));
}

SourceWalker::SourceWalker(WalkRules rules)
    : rules_(std::move(rules)), output_(comparableFolder(rules_.outputFolder)) {}

bool SourceWalker::shouldDescend(const std::string& folderPath) const {
  if (!rules_.recurse) return false;
  const std::string below = rootedBelowSource(folderPath, rules_.sourceFolder);
  if (matches("*/vkindex*", below, false) || matches("*\\vkindex*", below, false)) return false;
  if (!output_.empty() && comparableFolder(folderPath) == output_) return false;
  const std::string asFolder =
      folderPath.empty() || folderPath.back() != '/' ? folderPath + '/' : folderPath;
  if (listFilters(rules_.matchInclude) && rules_.matchInclude->match(asFolder) < 0) return false;
  if (listFilters(rules_.matchExclude) && rules_.matchExclude->match(asFolder) >= 0) return false;
  return true;
}

bool SourceWalker::accepts(const std::string& filePath) const {
  if (listFilters(rules_.typeInclude) && rules_.typeInclude->match(filePath) < 0) return false;
  if (listFilters(rules_.typeExclude) && rules_.typeExclude->match(filePath) >= 0) return false;
  if (listFilters(rules_.matchInclude) && rules_.matchInclude->match(filePath) < 0) return false;
  if (listFilters(rules_.matchExclude) && rules_.matchExclude->match(filePath) >= 0) return false;
  const std::string below = rootedBelowSource(filePath, rules_.sourceFolder);
  if (matches("*index*.js", below, false) || matches("*robots.txt", below, false)) return false;
  if (isGeneratedOutput(filePath)) return false;
  if (!rules_.robots.disallowedPaths().empty() &&
      rules_.robots.disallows("/" + urlOf(filePath))) {
    return false;
  }
  return true;
}

bool SourceWalker::isGeneratedOutput(const std::string& filePath) const {
  static constexpr std::array<std::string_view, 5> kGenerated = {
      "sitemap.js", "vkfunctions.js", "vkexample.html", "offlineexample.html", "bullet.gif"};
  if (output_.empty()) return false;
  const std::size_t slash = filePath.rfind('/');
  if (slash == std::string::npos) return false;
  const std::string_view name = std::string_view(filePath).substr(slash + 1);
  if (std::find(kGenerated.begin(), kGenerated.end(), name) == kGenerated.end()) return false;
  return comparableFolder(std::string_view(filePath).substr(0, slash)) == output_;
}

std::string SourceWalker::urlOf(const std::string& path) const {
  return urlBelow(path, rules_.sourceFolder);
}

std::string urlBelow(std::string_view path, std::string_view sourceFolder) {
  std::string url(pathBelow(path, sourceFolder));
  std::replace(url.begin(), url.end(), '\\', '/');
  return url;
}

}  // namespace vossik
