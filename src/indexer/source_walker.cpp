#include "indexer/source_walker.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "indexer/output_folder.h"
#include "indexer/wildcard.h"

namespace vossik {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string Joined(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

// One spelling per folder, so that "site//search/" and "site/./search"
// compare equal to "site/search".
std::string ComparableFolder(std::string_view path) {
  std::string single;
  single.reserve(path.size());
  for (char c : path) {
    if (c != '/' || single.empty() || single.back() != '/') single += c;
  }
  std::string normal = NormaliseFolder(single);
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// The part of `path` after the first occurrence of the source folder, with
// leading separators skipped; all of `path` when the folder is not in it.
std::string_view PathBelow(std::string_view path, std::string_view source_folder) {
  const std::size_t at = path.find(source_folder);
  if (at == std::string_view::npos) return path;
  path.remove_prefix(at + source_folder.size());
  while (!path.empty() && IsSeparator(path.front())) path.remove_prefix(1);
  return path;
}

// The built-in exclusions see "/" + the path below the source folder, so
// that a source folder such as ".../index-site" or ".../vkindex-test" does
// not exclude itself.
std::string RootedBelowSource(std::string_view path, std::string_view source_folder) {
  std::string rooted = "/";
  rooted += PathBelow(path, source_folder);
  return rooted;
}

bool ListFilters(const std::optional<PatternList>& list) { return list && !list->Empty(); }

}  // namespace

SourceEntry::~SourceEntry() = default;

FileEntry::~FileEntry() { Close(); }

uint64_t FileEntry::Size() const {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(Path(), error);
  return error ? 0 : bytes;
}

bool FileEntry::Open(std::string* reason) {
  Close();
  file_ = std::fopen(Path().c_str(), "rb");
  if (file_ == nullptr && reason != nullptr) *reason = std::strerror(errno);
  return file_ != nullptr;
}

bool FileEntry::ReadWhole(std::string* content, std::string* reason) {
  content->clear();
  if (file_ == nullptr) {
    if (reason != nullptr) *reason = std::strerror(EBADF);
    return false;
  }
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
  const int read_error = errno;
  content->resize(length);
  if (std::ferror(file_) == 0) return true;
  if (reason != nullptr) *reason = std::strerror(read_error);
  return false;
}

void FileEntry::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

std::unique_ptr<SourceEntry> FolderListing::firstEntry() {
  children_.clear();
  next_ = 0;
  list_error_.clear();
  std::error_code error;
  std::filesystem::directory_iterator it(Path(), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::string name = it->path().filename().string();
    std::error_code type_error;
    if (it->is_directory(type_error)) {
      children_.push_back({std::move(name), true});
    } else if (it->is_regular_file(type_error) && name.find('.') != std::string::npos) {
      // Only regular files: reading a pipe or device could block the build.
      children_.push_back({std::move(name), false});
    }
  }
  if (error) {
    children_.clear();
    list_error_ = error.message();
  }
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
  std::string child_path = Joined(Path(), child.name);
  if (child.folder) return std::make_unique<FolderListing>(std::move(child_path));
  return std::make_unique<FileEntry>(std::move(child_path));
}

SourceWalker::SourceWalker(WalkRules rules)
    : rules_(std::move(rules)), output_(ComparableFolder(rules_.output_folder)) {}

bool SourceWalker::ShouldDescend(const std::string& folder_path) const {
  if (!rules_.recurse) return false;
  const std::string below = RootedBelowSource(folder_path, rules_.source_folder);
  if (Matches("*/vkindex*", below, false) || Matches("*\\vkindex*", below, false)) return false;
  if (!output_.empty() && ComparableFolder(folder_path) == output_) return false;
  const std::string as_folder =
      folder_path.empty() || folder_path.back() != '/' ? folder_path + '/' : folder_path;
  if (ListFilters(rules_.match_include) && rules_.match_include->Match(as_folder) < 0) return false;
  if (ListFilters(rules_.match_exclude) && rules_.match_exclude->Match(as_folder) >= 0)
    return false;
  return true;
}

bool SourceWalker::Accepts(const std::string& file_path) const {
  if (ListFilters(rules_.type_include) && rules_.type_include->Match(file_path) < 0) return false;
  if (ListFilters(rules_.type_exclude) && rules_.type_exclude->Match(file_path) >= 0) return false;
  if (ListFilters(rules_.match_include) && rules_.match_include->Match(file_path) < 0) return false;
  if (ListFilters(rules_.match_exclude) && rules_.match_exclude->Match(file_path) >= 0)
    return false;
  const std::string below = RootedBelowSource(file_path, rules_.source_folder);
  if (Matches("*index*.js", below, false) || Matches("*robots.txt", below, false)) return false;
  if (IsGeneratedOutput(file_path)) return false;
  if (!rules_.robots.DisallowedPaths().empty() && rules_.robots.Disallows("/" + UrlOf(file_path))) {
    return false;
  }
  return true;
}

bool SourceWalker::IsGeneratedOutput(const std::string& file_path) const {
  static constexpr std::array<std::string_view, 5> kGenerated = {
      "sitemap.js", "vkfunctions.js", "vkexample.html", "offlineexample.html", "bullet.gif"};
  if (output_.empty()) return false;
  const std::size_t slash = file_path.rfind('/');
  if (slash == std::string::npos) return false;
  const std::string_view name = std::string_view(file_path).substr(slash + 1);
  if (std::find(kGenerated.begin(), kGenerated.end(), name) == kGenerated.end()) return false;
  return ComparableFolder(std::string_view(file_path).substr(0, slash)) == output_;
}

std::string SourceWalker::UrlOf(const std::string& path) const {
  return UrlBelow(path, rules_.source_folder);
}

std::string UrlBelow(std::string_view path, std::string_view source_folder) {
  std::string url(PathBelow(path, source_folder));
  std::replace(url.begin(), url.end(), '\\', '/');
  return url;
}

}  // namespace vossik
