#include "settings/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/container_cipher.h"
#include "settings/result_codes.h"
#include "xml/ascii_case.h"

namespace vossik {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimValue(std::string_view text) {
  constexpr std::string_view kBlanks = " \r\n\t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Where the section starting at `from` ends: at the next "[" that begins a
// line, so a "[" inside a value does not split a section.
std::size_t SectionEnd(std::string_view text, std::size_t from) {
  for (std::size_t i = from + 1; i < text.size(); ++i) {
    if (text[i] == '[' && IsLineEnd(text[i - 1])) return i;
  }
  return text.size();
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

// Replaces `target` with `bytes` so that a crash or a full disk leaves
// either the old file or the new one, never a truncated mix: the text goes
// to a temporary file in the same folder (rename is atomic only within one
// file system), which is synced and then renamed over the target.
bool ReplaceFile(const std::filesystem::path& file, std::string_view bytes) {
  namespace fs = std::filesystem;
  if (file.empty()) return false;
  std::error_code ec;
  fs::path target = file;
  // Overwriting in place wrote through a symbolic link; keep it that way
  // rather than replacing the link with a plain file.
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }

  static std::atomic<unsigned> counter{0};
  const fs::path dir = target.parent_path();
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir / (target.filename().string() + "." + std::to_string(::getpid()) + "." +
                  std::to_string(counter++) + ".tmp");
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  // The replacement keeps the permissions the old file had.
  struct stat old_state {};
  if (::stat(target.c_str(), &old_state) == 0) ::fchmod(fd, old_state.st_mode & 07777);

  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here no longer risks the data.
  const int dir_fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

}  // namespace

std::size_t NameIndex::BucketOf(std::string_view name) {
  uint32_t h = 0;
  for (char c : name) h = h * 131u + static_cast<unsigned char>(AsciiLower(c));
  return (h + 1u) % 64u;
}

void NameIndex::Add(std::string_view name, std::size_t item) {
  buckets_[BucketOf(name)].push_back(Entry{AsciiLowered(name), item});
}

long NameIndex::Find(std::string_view name) const {
  const std::vector<Entry>& bucket = buckets_[BucketOf(name)];
  const std::string lowered = AsciiLowered(name);
  for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
    if (it->lowered == lowered) return static_cast<long>(it->item);
  }
  return -1;
}

void NameIndex::Clear() {
  for (std::vector<Entry>& bucket : buckets_) bucket.clear();
}

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

int SettingsStore::Load(const std::string& file) {
  file_name_ = file;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kResultMissing;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (IsContainer(bytes)) return kResultEncrypted;
  if (bytes.size() < 2) return kResultMissing;
  Clear();
  return Parse(bytes);
}

int SettingsStore::Save() {
  const std::string text = Serialize();
  if (text.size() < 2) return kResultMissing;
  // Kept even when the disk write fails: the configuration transfer sends
  // this text to a service, and it is what the user committed.
  last_text_ = text;
  return ReplaceFile(file_name_, text) ? kResultOk : kResultMissing;
}

int SettingsStore::Parse(std::string_view text) {
  if (text.empty()) return kResultUnresolved;
  last_text_ = std::string(text);

  std::size_t start = 0;
  if (text[0] != '[') {
    start = SectionEnd(text, 0);
    if (start == text.size()) return kResultMissing;
  }

  while (start < text.size()) {
    const std::size_t end = SectionEnd(text, start);
    std::string_view chunk = text.substr(start, end - start);
    start = end;

    const std::size_t close = chunk.find(']');
    if (close == std::string_view::npos) continue;

    auto section = std::make_unique<SettingsSection>();
    section->name = std::string(chunk.substr(1, close - 1));
    std::string_view body = chunk.substr(close + 1);
    while (!body.empty()) {
      const std::size_t line_end = body.find_first_of("\r\n");
      const std::string_view line = body.substr(0, line_end);
      body = line_end == std::string_view::npos ? std::string_view() : body.substr(line_end);
      while (!body.empty() && IsLineEnd(body.front())) body.remove_prefix(1);
      if (line.empty()) continue;

      SettingsLine entry;
      const std::size_t eq = line.find('=');
      if (eq == std::string_view::npos) {
        entry.text = std::string(line);
      } else {
        if (eq == 0 || eq + 1 == line.size()) continue;
        entry.keyed = true;
        entry.key = std::string(line.substr(0, eq));
        entry.value = std::string(line.substr(eq + 1));
        section->keys.Add(entry.key, section->lines.size());
      }
      section->lines.push_back(std::move(entry));
      section->ever_held_line = true;
    }

    if (section->name == "Default") default_section_ = section.get();
    section_index_.Add(section->name, sections_.size());
    sections_.push_back(std::move(section));
  }
  return kResultOk;
}

std::string SettingsStore::Serialize() const {
  std::string out;
  for (const auto& section : sections_) {
    if (!section->ever_held_line) continue;
    out += '[';
    out += section->name;
    out += "]\n";
    for (const SettingsLine& line : section->lines) {
      if (line.keyed) {
        out += line.key;
        out += '=';
        out += line.value;
      } else {
        out += line.text;
      }
      out += '\n';
    }
    out += '\n';
  }
  out += '\n';
  return out;
}

void SettingsStore::Clear() {
  sections_.clear();
  section_index_.Clear();
  default_section_ = nullptr;
}

const std::string* SettingsStore::FindStoredValue(std::string_view section, std::string_view key) const {
  if (key.empty()) return nullptr;
  const SettingsSection* in = FindSection(section);
  if (in == nullptr) in = default_section_;

  long line = in ? in->keys.Find(key) : -1;
  if (line < 0 && default_section_ != nullptr && in != default_section_) {
    in = default_section_;
    line = in->keys.Find(key);
  }
  return line < 0 ? nullptr : &in->lines[static_cast<std::size_t>(line)].value;
}

int SettingsStore::GetValue(std::string_view section, std::string_view key, std::string_view def,
                            std::string* out) const {
  if (key.empty()) return kResultUnresolved;
  const std::string* stored = FindStoredValue(section, key);
  *out = std::string(TrimValue(stored ? std::string_view(*stored) : def));
  return stored ? kResultOk : kResultDefaultUsed;
}

void SettingsStore::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  SettingsSection& target = SectionForWrite(section);
  const long line = target.keys.Find(key);
  if (line >= 0) {
    target.lines[static_cast<std::size_t>(line)].value = std::string(value);
    return;
  }
  if (value.empty()) return;
  SettingsLine entry;
  entry.keyed = true;
  entry.key = std::string(key);
  entry.value = std::string(value);
  target.keys.Add(entry.key, target.lines.size());
  target.lines.push_back(std::move(entry));
  target.ever_held_line = true;
}

void SettingsStore::SetValue(std::string_view section, std::string_view key, int32_t value) {
  SetValue(section, key, std::to_string(value));
}

SettingsSection* SettingsStore::FindSection(std::string_view name) const {
  const long found = section_index_.Find(name);
  return found < 0 ? nullptr : sections_[static_cast<std::size_t>(found)].get();
}

SettingsSection& SettingsStore::SectionForWrite(std::string_view name) {
  if (SettingsSection* found = FindSection(name)) return *found;
  auto section = std::make_unique<SettingsSection>();
  section->name = std::string(name);
  section_index_.Add(section->name, sections_.size());
  sections_.push_back(std::move(section));
  return *sections_.back();
}

}  // namespace vossik
