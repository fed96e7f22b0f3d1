#include "settings/settings_store.h"

#include <algorithm>
#include <filesystem>

#include "base/ascii_case.h"
#include "base/container_cipher.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "base/string_util.h"

namespace vossik {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Where the section starting at `from` ends: at the next "[" that begins a
// line, so a "[" inside a value does not split a section.
std::size_t SectionEnd(std::string_view text, std::size_t from) {
  for (std::size_t i = from + 1; i < text.size(); ++i) {
    if (text[i] == '[' && IsLineEnd(text[i - 1])) return i;
  }
  return text.size();
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
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) return kResultMissing;
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
  return ReplaceFileAtomically(file_name_, text) ? kResultOk : kResultMissing;
}

int SettingsStore::Parse(std::string_view text) {
  if (text.empty()) return kResultUnresolved;
  last_text_ = std::string(text);
  ignored_lines_.clear();
  const std::string_view whole = text;
  const auto note = [&](std::string_view at, const char* why) {
    const std::size_t offset = static_cast<std::size_t>(at.data() - whole.data());
    const long line = 1 + std::count(whole.begin(), whole.begin() + offset, '\n');
    ignored_lines_.push_back("line " + std::to_string(line) + ": " + why);
  };
  // Editors that save UTF-8 may put a byte-order mark first.
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  if (text.empty()) return kResultUnresolved;

  std::size_t start = 0;
  if (text[0] != '[') {
    start = SectionEnd(text, 0);
    if (start == text.size()) return kResultMissing;
    if (!TrimBlanks(text.substr(0, start)).empty()) note(text, "text before the first section");
  }

  while (start < text.size()) {
    const std::size_t end = SectionEnd(text, start);
    std::string_view chunk = text.substr(start, end - start);
    start = end;

    const std::size_t close = chunk.find(']');
    if (close == std::string_view::npos) {
      note(chunk, "section header without ']'; the section is ignored");
      continue;
    }

    auto section = std::make_unique<SettingsSection>();
    section->name = std::string(chunk.substr(1, close - 1));
    std::string_view body = chunk.substr(close + 1);
    // What follows the "]" is read as the section's first line, except a
    // second header ("[Index][Default]"): saved on a line of its own it would
    // come back as a section.
    if (body.starts_with('[')) {
      note(body, "text after ']' on a section header line; it is ignored");
      const std::size_t line_end = body.find_first_of("\r\n");
      body = line_end == std::string_view::npos ? std::string_view() : body.substr(line_end);
    }
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
        if (eq == 0) {
          note(line, "a value without a key");
          continue;
        }
        // An empty value stands for the default, as saving writes it.
        if (eq + 1 == line.size()) continue;
        const std::string_view key = line.substr(0, eq);
        if (key.front() == ' ' || key.back() == ' ' || key.front() == '\t' || key.back() == '\t') {
          note(line, "blanks around the key; no setting reads it");
        }
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

const std::string* SettingsStore::FindStoredValue(std::string_view section,
                                                  std::string_view key) const {
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
  *out = std::string(TrimBlanks(stored ? std::string_view(*stored) : def));
  return stored ? kResultOk : kResultDefaultUsed;
}

void SettingsStore::SetValue(std::string_view section, std::string_view key,
                             std::string_view value) {
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
