#include "indexer/index_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
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

std::string TemporaryNameOf(const std::string& file) { return file + ".tmp"; }

bool IndexFileSet::Fail(std::string* error, std::string text) {
  failed_ = true;
  if (error != nullptr) *error = std::move(text);
  return false;
}

bool IndexFileSet::WriteBucket(int bucket, const WordTable& table, std::string* error) {
  if (bucket < 0 || bucket > 255)
    return Fail(error, "no index file for bucket " + std::to_string(bucket));
  return Stage(IndexFileName(output_folder_, bucket), RenderIndexFile(table), error);
}

bool IndexFileSet::Stage(const std::string& file, std::string_view bytes, std::string* error) {
  const fs::path folder = fs::path(file).parent_path();
  if (!folder.empty() && !IsFolder(folder.string())) {
    std::error_code created;
    fs::create_directories(folder, created);
    if (!IsFolder(folder.string())) {
      return Fail(error, FileErrorText("create the folder", folder,
                                       created ? created.message() : "Not a directory"));
    }
  }
  const std::string temporary = TemporaryNameOf(file);
  std::string reason;
  if (!WriteWholeFile(temporary, bytes, &reason)) {
    RemoveQuietly(temporary);
    return Fail(error, FileErrorText("write", file, reason));
  }
  const auto same = [&](const Pending& p) { return p.file == file; };
  if (std::find_if(pending_.begin(), pending_.end(), same) == pending_.end()) {
    pending_.push_back({temporary, file});
  }
  return true;
}

bool IndexFileSet::Publish(std::string* error) {
  if (failed_) {
    Discard();
    if (error != nullptr && error->empty()) *error = "an output file could not be written";
    return false;
  }
  if (pending_.empty()) return true;
  // The new files reach the disk before the journal names them, and the
  // journal names every rename before the first one, so that a run stopped
  // half way is finished by the next one instead of leaving an index that
  // mixes two builds.
  std::vector<fs::path> folders;
  for (const Pending& p : pending_) {
    const fs::path folder = fs::path(p.file).parent_path();
    if (std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(folder);
  }
  std::string reason;
  for (const fs::path& folder : folders) {
    if (!SyncFileSystem(folder, &reason)) {
      Discard();
      return Fail(error, FileErrorText("sync the files in", folder, reason));
    }
  }
  std::string journal = "vossik publish 1\n";
  const auto absolute = [](const std::string& path) {
    std::error_code ignored;  // then the path stays as given
    const fs::path full = fs::absolute(path, ignored);
    return full.empty() ? path : full.string();
  };
  for (const Pending& p : pending_) {
    journal += absolute(p.temporary) + '\t' + absolute(p.file) + '\n';
  }
  journal += "end\n";
  const std::string journal_file = output_folder_ + "/" + kPublishJournal;
  if (!ReplaceFileAtomically(journal_file, journal, &reason)) {
    Discard();
    return Fail(error, FileErrorText("write", journal_file, reason));
  }
  std::string failure;
  for (const Pending& p : pending_) {
    std::error_code renamed;
    fs::rename(p.temporary, p.file, renamed);
    if (renamed && failure.empty()) failure = FileErrorText("replace", p.file, renamed.message());
  }
  pending_.clear();
  if (!failure.empty()) {
    // The journal stays: the next run tries the renames again.
    return Fail(error, failure);
  }
  for (const fs::path& folder : folders) static_cast<void>(SyncFolder(folder));
  if (::unlink(journal_file.c_str()) != 0) {
    return Fail(error, FileErrorText("remove", journal_file, std::strerror(errno)));
  }
  static_cast<void>(SyncFolder(output_folder_));
  return true;
}

void IndexFileSet::Discard() {
  for (const Pending& p : pending_) RemoveQuietly(p.temporary);
  pending_.clear();
  failed_ = false;
}

namespace {

// The renames a complete journal names; nothing when it is not one.
std::vector<std::pair<std::string, std::string>> JournalRenames(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> renames;
  std::size_t at = 0;
  bool complete = false;
  bool first = true;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) return {};
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    if (first) {
      if (line != "vossik publish 1") return {};
      first = false;
      continue;
    }
    if (line == "end") {
      complete = at == text.size();
      break;
    }
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0 || tab + 1 == line.size()) return {};
    renames.emplace_back(std::string(line.substr(0, tab)), std::string(line.substr(tab + 1)));
  }
  if (!complete) return {};
  return renames;
}

bool IsRegularFile(const std::string& file) {
  std::error_code ignored;
  return fs::is_regular_file(fs::symlink_status(file, ignored));
}

}  // namespace

bool RecoverPublish(const std::string& output_folder, const std::string& links_file,
                    std::string* done, std::string* error) {
  const std::string journal_file = output_folder + "/" + kPublishJournal;
  std::string journal;
  const bool journalled = ReadWholeFile(journal_file, &journal);
  const auto renames = JournalRenames(journal);
  if (journalled && !renames.empty()) {
    int renamed_count = 0;
    for (const auto& [temporary, file] : renames) {
      // Our own temporary names only: a damaged journal must not move other files.
      if (temporary != TemporaryNameOf(file) || !IsRegularFile(temporary)) continue;
      std::error_code renamed;
      fs::rename(temporary, file, renamed);
      if (renamed) {
        if (error != nullptr) *error = FileErrorText("replace", file, renamed.message());
        return false;
      }
      static_cast<void>(SyncFolder(fs::path(file).parent_path()));
      ++renamed_count;
    }
    if (::unlink(journal_file.c_str()) != 0) {
      if (error != nullptr) *error = FileErrorText("remove", journal_file, std::strerror(errno));
      return false;
    }
    if (done != nullptr) {
      *done = "Finished publishing the index that an earlier run left half published (" +
              std::to_string(renamed_count) + " files)";
    }
    return true;
  }
  // No journal (or one cut short, which was never acted upon): whatever
  // still has a temporary name was never published.
  if (journalled && ::unlink(journal_file.c_str()) != 0) {
    if (error != nullptr) *error = FileErrorText("remove", journal_file, std::strerror(errno));
    return false;
  }
  std::vector<std::string> leftovers;
  for (int bucket = 0; bucket < 256; ++bucket) {
    leftovers.push_back(TemporaryNameOf(IndexFileName(output_folder, bucket)));
  }
  for (const char* name :
       {"sitemap.js", "vkfunctions.js", "vkexample.html", "offlineexample.html", "bullet.gif"}) {
    leftovers.push_back(TemporaryNameOf(output_folder + "/" + name));
  }
  if (!links_file.empty()) leftovers.push_back(TemporaryNameOf(links_file));
  int removed = 0;
  for (const std::string& file : leftovers) {
    if (IsRegularFile(file) && ::unlink(file.c_str()) == 0) ++removed;
  }
  if (removed > 0 && done != nullptr) {
    *done = "Removed " + std::to_string(removed) +
            " temporary files that an earlier run cut short left behind";
  }
  return true;
}

std::string RenderPageList(const std::string& entries) {
  std::string text = "g_asPages=[";
  const std::size_t last_comma = entries.rfind(',');
  text.append(entries, 0, last_comma == std::string::npos ? entries.size() : last_comma);
  text += "];\r\n";
  return text;
}

namespace {

// Whether the bytes from `at` begin a well-formed UTF-8 sequence; its length
// in *length.
bool Utf8SequenceAt(std::string_view text, std::size_t at, std::size_t* length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t size = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return false;
  }
  if (at + size > text.size()) return false;
  if (byte(at + 1) < low || byte(at + 1) > high) return false;
  for (std::size_t i = 2; i < size; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return false;
  }
  *length = size;
  return true;
}

void AppendPercentEncoded(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

// Whether `text` starts with "&name;", "&#digits;" or "&#xhex;".
bool StartsCharacterReference(std::string_view text) {
  std::size_t i = 1;
  const auto is = [&](auto test) {
    return i < text.size() && test(static_cast<unsigned char>(text[i]));
  };
  if (is([](unsigned char c) { return c == '#'; })) {
    ++i;
    const bool hex = is([](unsigned char c) { return c == 'x' || c == 'X'; });
    if (hex) ++i;
    const std::size_t digits = i;
    while (
        is([hex](unsigned char c) { return hex ? std::isxdigit(c) != 0 : std::isdigit(c) != 0; }))
      ++i;
    if (i == digits) return false;
  } else {
    const std::size_t letters = i;
    while (is([](unsigned char c) { return std::isalnum(c) != 0; })) ++i;
    if (i == letters) return false;
  }
  return is([](unsigned char c) { return c == ';'; });
}

// A URL whose first segment holds a ":" reads as one with a scheme.
bool LooksLikeScheme(std::string_view url) {
  const std::size_t colon = url.find(':');
  return colon != std::string_view::npos && colon < url.find_first_of("/?#");
}

}  // namespace

void AppendSiteMapLink(std::string& links, std::string_view url, std::string_view title) {
  links += "<A HREF=\"";
  if (LooksLikeScheme(url)) links += "./";
  for (std::size_t i = 0; i < url.size();) {
    const auto byte = static_cast<unsigned char>(url[i]);
    std::size_t length = 1;
    if (byte == '"' || byte < 0x20 || byte == 0x7F) {
      AppendPercentEncoded(links, byte);
    } else if (byte < 0x80) {
      links += static_cast<char>(byte);
    } else if (Utf8SequenceAt(url, i, &length)) {
      links.append(url, i, length);
    } else {
      AppendPercentEncoded(links, byte);
    }
    i += length;
  }
  links += "\"><FONT class=hidden>";
  for (std::size_t i = 0; i < title.size(); ++i) {
    const char c = title[i];
    switch (c) {
      case '&':
        // A character reference the page wrote ("&amp;", "&#8212;") stays as it is.
        links += StartsCharacterReference(title.substr(i)) ? "&" : "&amp;";
        break;
      case '<':
        links += "&lt;";
        break;
      case '>':
        links += "&gt;";
        break;
      case '"':
        links += "&quot;";
        break;
      default:
        links += c;
    }
  }
  links += "</FONT></A>\r\n";
}

}  // namespace vossik
