// SettingsStore holds a configuration file in memory as named sections of
// key=value lines, with the [Default] section as the fallback for lookups.
// This is the file layer: it knows sections and keys, not the descriptor;
// typed access by "section:parameter" address lives in typed_settings.h.
//
// Thread safety: none. A store is used by one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

/// A table from names to items, indexed case-insensitively in 64 buckets.
/// Lookup searches a bucket from its newest entry, so a later duplicate wins.
class NameIndex {
 public:
  /// The bucket of a name: h = h * 131 + lower(c) over its bytes, (h + 1) % 64.
  static std::size_t BucketOf(std::string_view name);

  void Add(std::string_view name, std::size_t item);
  /// The item added last under `name` (any case), or -1.
  [[nodiscard]] long Find(std::string_view name) const;
  void Clear();

 private:
  struct Entry {
    std::string lowered;
    std::size_t item;
  };
  std::vector<Entry> buckets_[64];
};

/// One line of a section: a keyed line, or a bare line kept as written.
struct SettingsLine {
  bool keyed = false;
  std::string key;    // as written; keyed lines only
  std::string value;  // keyed lines: may be empty only after a SetValue
  std::string text;   // bare lines: the whole line
};

struct SettingsSection {
  std::string name;  // as written between the brackets
  std::vector<SettingsLine> lines;
  NameIndex keys;  // keyed lines by key
  bool ever_held_line = false;
};

class SettingsStore {
 public:
  SettingsStore();
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  /// Records `file`, reads and parses it, replacing the store's content only
  /// when the file was read. 0; -3 missing, under 2 bytes or without "[";
  /// -2 empty text; -5 an encrypted container (store left as it was).
  [[nodiscard]] int Load(const std::string& file);

  /// Writes the serialized text to the recorded file. The file is replaced
  /// atomically (a synced temporary file beside it is renamed into place), so
  /// a failed save leaves the old file whole; its permissions are kept and a
  /// symbolic link is written through. 0, or -3 when the text is under 2
  /// bytes or the file cannot be written. LastText() takes the text either way.
  [[nodiscard]] int Save();

  /// Adds the sections of `text` to those already held; a repeated section
  /// name adds another section, which lookups find first. A section named
  /// exactly "Default" becomes the fallback. A UTF-8 byte-order mark at the
  /// start is skipped. Results as Load.
  [[nodiscard]] int Parse(std::string_view text);

  /// What the last Parse (or Load) passed over that a user may have meant
  /// as a setting, one "line N: reason" each: text before the first section,
  /// a header without "]", a value without a key, blanks around a key.
  const std::vector<std::string>& IgnoredLines() const { return ignored_lines_; }

  /// The configuration text: LF line ends, sections that never held a line omitted.
  std::string Serialize() const;

  void Clear();

  /// The value of `key` in `section`, falling back to [Default] for a
  /// missing section or key, into `out` trimmed of blanks, CR, LF and tabs.
  /// 0 found; -1 `def` used (trimmed likewise); -2 empty key, `out` untouched.
  [[nodiscard]] int GetValue(std::string_view section, std::string_view key, std::string_view def,
                             std::string* out) const;

  /// The value of `key` exactly as stored (untrimmed), found as GetValue
  /// finds it; nullptr when neither the section nor [Default] holds the key.
  /// Valid until the store changes.
  const std::string* FindStoredValue(std::string_view section, std::string_view key) const;

  /// Replaces the value of an existing key (an empty value too); appends a
  /// new line only for a non-empty value. Creates a missing section after
  /// all others; a created section is never the [Default] fallback. The
  /// number form writes decimal.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  void SetValue(std::string_view section, std::string_view key, int32_t value);

  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string file) { file_name_ = std::move(file); }

  /// The text most recently parsed or saved.
  const std::string& LastText() const { return last_text_; }

  const std::vector<std::unique_ptr<SettingsSection>>& Sections() const { return sections_; }

 private:
  SettingsSection* FindSection(std::string_view name) const;
  SettingsSection& SectionForWrite(std::string_view name);

  std::string file_name_;
  std::vector<std::unique_ptr<SettingsSection>> sections_;
  NameIndex section_index_;
  SettingsSection* default_section_ = nullptr;
  std::string last_text_;
  std::vector<std::string> ignored_lines_;
};

}  // namespace vossik
