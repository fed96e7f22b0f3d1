#include "indexer/index_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/file_io.h"
#include "indexer/js_string.h"

namespace fs = std::filesystem;

namespace vossik {
namespace {

bool isFolder(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

// Only our own temporary files go; an empty folder of the same name is not ours.
void removeQuietly(const std::string& file) {
  std::error_code ignored;
  if (!fs::is_directory(fs::symlink_status(file, ignored))) fs::remove(file, ignored);
}

}  // namespace

bool createFolderPath(const std::string& folder) {
  if (folder.empty()) return false;
  std::string path;
  if (folder.front() == '/' || folder.front() == '\\') path = "/";
  std::size_t start = 0;
  while (start < folder.size()) {
    std::size_t end = folder.find_first_of("/\\", start);
    if (end == std::string::npos) end = folder.size();
    if (end > start) {
      if (!path.empty() && path.back() != '/') path += '/';
      path.append(folder, start, end - start);
      if (!isFolder(path)) {
        std::error_code ignored;
        fs::create_directory(path, ignored);
      }
    }
    start = end + 1;
  }
  return isFolder(path);
}

std::string indexFileName(const std::string& outputFolder, int bucket) {
  char name[32];
  std::snprintf(name, sizeof name, "/vkindex%x.js", static_cast<unsigned>(bucket));
  return outputFolder + name;
}

std::string renderIndexFile(const WordTable& table) {
  std::string text = "fnIJ(g_asIndex,[";
  const std::size_t header = text.size();
  char number[16];
  for (const WordEntry& word : table) {
    text += '"';
    appendJsStringContent(text, word.text);
    text += "\",";
    for (int32_t page : word.pages) {
      const auto result = std::to_chars(number, number + sizeof number, page);
      text.append(number, result.ptr);
      text += ',';
    }
  }
  if (text.size() > header) text.pop_back();
  text += "]);";
  return text;
}

IndexFileSet::IndexFileSet(std::string outputFolder) : outputFolder_(std::move(outputFolder)) {}

IndexFileSet::~IndexFileSet() { discard(); }

std::string IndexFileSet::temporaryName(int bucket) const {
  return indexFileName(outputFolder_, bucket) + ".tmp";
}

bool IndexFileSet::writeBucket(int bucket, const WordTable& table) {
  if (bucket < 0 || bucket > 255) {
    failed_ = true;
    return false;
  }
  if (!isFolder(outputFolder_)) createFolderPath(outputFolder_);
  const std::string temporary = temporaryName(bucket);
  if (!WriteWholeFile(temporary, renderIndexFile(table))) {
    removeQuietly(temporary);
    failed_ = true;
    return false;
  }
  if (std::find(pending_.begin(), pending_.end(), bucket) == pending_.end()) {
    pending_.push_back(bucket);
  }
  return true;
}

bool IndexFileSet::publish() {
  if (failed_) {
    discard();
    return false;
  }
  bool ok = true;
  for (int bucket : pending_) {
    std::error_code error;
    fs::rename(temporaryName(bucket), indexFileName(outputFolder_, bucket), error);
    if (error) {
      removeQuietly(temporaryName(bucket));
      ok = false;
    }
  }
  pending_.clear();
  return ok;
}

void IndexFileSet::discard() {
  for (int bucket : pending_) removeQuietly(temporaryName(bucket));
  pending_.clear();
  failed_ = false;
}

std::string renderPageList(const std::string& entries) {
  std::string text = "g_asPages=[";
  const std::size_t lastComma = entries.rfind(',');
  text.append(entries, 0, lastComma == std::string::npos ? entries.size() : lastComma);
  text += "];\r\n";
  return text;
}

bool writePageList(const std::string& file, const std::string& entries) {
  if (file.empty() || entries.empty()) return false;
  return ReplaceFileAtomically(file, renderPageList(entries));
}

bool truncateSiteMapLinks(const std::string& file) {
  if (file.empty()) return false;
  return WriteWholeFile(file, {});
}

void appendSiteMapLink(const std::string& file, std::string_view url, std::string_view title) {
  if (file.empty()) return;
  std::string line = "<A HREF=\"";
  for (char c : url) {
    if (c == '"') {
      line += "%22";
    } else {
      line += c;
    }
  }
  line += "\"><FONT class=hidden>";
  line += title;
  line += "</FONT></A>\r\n";

  std::FILE* out = std::fopen(file.c_str(), "ab");
  if (out == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), out);
  std::fclose(out);
}

}  // namespace vossik
