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

bool IsFolder(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

// Only our own temporary files go; an empty folder of the same name is not ours.
void RemoveQuietly(const std::string& file) {
  std::error_code ignored;
  if (!fs::is_directory(fs::symlink_status(file, ignored))) fs::remove(file, ignored);
}

}  // namespace

bool CreateFolderPath(const std::string& folder) {
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
      if (!IsFolder(path)) {
        std::error_code ignored;
        fs::create_directory(path, ignored);
      }
    }
    start = end + 1;
  }
  return IsFolder(path);
}

std::string IndexFileName(const std::string& output_folder, int bucket) {
  char name[32];
  std::snprintf(name, sizeof name, "/vkindex%x.js", static_cast<unsigned>(bucket));
  return output_folder + name;
}

std::string RenderIndexFile(const WordTable& table) {
  std::string text = "fnIJ(g_asIndex,[";
  const std::size_t header = text.size();
  char number[16];
  for (const WordEntry& word : table) {
    text += '"';
    AppendJsStringContent(text, word.text);
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

IndexFileSet::IndexFileSet(std::string output_folder) : output_folder_(std::move(output_folder)) {}

IndexFileSet::~IndexFileSet() { Discard(); }

std::string IndexFileSet::TemporaryName(int bucket) const {
  return IndexFileName(output_folder_, bucket) + ".tmp";
}

bool IndexFileSet::WriteBucket(int bucket, const WordTable& table) {
  if (bucket < 0 || bucket > 255) {
    failed_ = true;
    return false;
  }
  if (!IsFolder(output_folder_) && !CreateFolderPath(output_folder_)) {
    failed_ = true;
    return false;
  }
  const std::string temporary = TemporaryName(bucket);
  if (!WriteWholeFile(temporary, RenderIndexFile(table))) {
    RemoveQuietly(temporary);
    failed_ = true;
    return false;
  }
  if (std::find(pending_.begin(), pending_.end(), bucket) == pending_.end()) {
    pending_.push_back(bucket);
  }
  return true;
}

bool IndexFileSet::Publish() {
  if (failed_) {
    Discard();
    return false;
  }
  bool ok = true;
  for (int bucket : pending_) {
    std::error_code error;
    fs::rename(TemporaryName(bucket), IndexFileName(output_folder_, bucket), error);
    if (error) {
      RemoveQuietly(TemporaryName(bucket));
      ok = false;
    }
  }
  pending_.clear();
  return ok;
}

void IndexFileSet::Discard() {
  for (int bucket : pending_) RemoveQuietly(TemporaryName(bucket));
  pending_.clear();
  failed_ = false;
}

std::string RenderPageList(const std::string& entries) {
  std::string text = "g_asPages=[";
  const std::size_t last_comma = entries.rfind(',');
  text.append(entries, 0, last_comma == std::string::npos ? entries.size() : last_comma);
  text += "];\r\n";
  return text;
}

bool writePageList(const std::string& file, const std::string& entries) {
  if (file.empty() || entries.empty()) return false;
  return ReplaceFileAtomically(file, RenderPageList(entries));
}

bool TruncateSiteMapLinks(const std::string& file) {
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
