#include "settings/typed_settings.h"

#include <algorithm>
#include <climits>

#include "base/ascii_case.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "settings/secret_cipher.h"
#include "settings/settings_store.h"
#include "settings/value_quoting.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// One access: the resolution of the address and, when it has one, the key.
struct Access {
  ParameterRef ref;
  std::string key;
  bool resolved = false;

  std::string_view DefaultText() const {
    const std::string* text = ref.ChildText("default");
    return text ? std::string_view(*text) : std::string_view();
  }
};

Access Resolve(const XmlNode* root, const SettingAddress& at) {
  Access access;
  access.ref = ResolveParameter(root, at.uid, at.section);
  access.ref.override_element = at.override_element;
  access.resolved = access.ref.Key(at.index, at.sub_index, &access.key);
  return access;
}

// Numbers and switches are read from the value as it stands in the file,
// where GetValue would have trimmed it: "key= 5" is not the number 5.
int GetStoredValue(const SettingsStore& store, std::string_view section, std::string_view key,
                   std::string* out) {
  if (key.empty()) return kResultUnresolved;
  const std::string* stored = store.FindStoredValue(section, key);
  if (stored == nullptr) return kResultDefaultUsed;
  *out = *stored;
  return kResultOk;
}

// The number rule for stored values: commas between digits are skipped, so
// "1,024" is 1024. Unlike descriptor defaults, no white space is skipped.
int32_t ParseStoredNumber(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] == ',') continue;
    if (text[i] < '0' || text[i] > '9') break;
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int32_t DefaultNumber(const Access& access) {
  const long value = ParseLeadingNumber(access.DefaultText());
  return static_cast<int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

int ReadNumber(const SettingsStore& store, const Access& access, int32_t* out) {
  std::string stored;
  const int result = GetStoredValue(store, access.ref.section_name, access.key, &stored);
  if (result == kResultUnresolved) return result;
  *out = result == kResultOk ? ParseStoredNumber(stored) : DefaultNumber(access);
  return result;
}

int32_t ChoiceIndex(const std::vector<std::string>& allowed, std::string_view value) {
  for (std::size_t i = 0; i < allowed.size(); ++i) {
    if (EqualsIgnoringCase(allowed[i], value)) return static_cast<int32_t>(i);
  }
  return 0;
}

uint32_t FlagsMask(const std::vector<std::string>& allowed, std::string_view value) {
  if (EqualsIgnoringCase(value, "All")) return 0xFFFFFF;
  if (EqualsIgnoringCase(value, "None")) return 0;
  uint32_t mask = 0;
  for (const std::string& piece : SplitTrimmed(value, "+,.-_|& ;:()\"")) {
    for (std::size_t i = 0; i < allowed.size() && i < 31; ++i) {
      if (EqualsIgnoringCase(allowed[i], piece)) mask |= 1u << (i + 1);
    }
  }
  return mask;
}

// Reads the value and turns it into a number through the setting's
// `allowed` list, as `convert` (ChoiceIndex or FlagsMask) does.
template <typename Number, typename Convert>
int GetAgainstAllowed(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                      Number* out, Convert convert) {
  const Access access = Resolve(root, at);
  std::vector<std::string> allowed;
  if (!access.resolved || !AllowedList(access.ref, &allowed)) return kResultUnresolved;
  std::string value;
  const int result =
      store.GetValue(access.ref.section_name, access.key, access.DefaultText(), &value);
  if (result == kResultUnresolved) return result;
  *out = convert(allowed, value);
  return result;
}

// Whether the numbered-entry operations run the second index: for a
// sub-numbered parameter whose first index the caller fixed.
bool RunsSubIndex(const XmlNode* root, const SettingAddress& at) {
  if (at.index < 0) return false;
  const Access access = Resolve(root, at);
  const std::string* sub = access.ref.Attribute("subnumbered");
  return sub && *sub == "true";
}

SettingAddress AtEntry(SettingAddress at, bool run_sub, int i) {
  (run_sub ? at.sub_index : at.index) = i;
  return at;
}

// The trimmed, unquoted text of a setting, or its descriptor default.
int ReadUnquoted(const SettingsStore& store, const Access& access, std::string* out) {
  if (!access.resolved) return kResultUnresolved;
  std::string value;
  const int result =
      store.GetValue(access.ref.section_name, access.key, access.DefaultText(), &value);
  if (result != kResultUnresolved) *out = UnquoteValue(value);
  return result;
}

}  // namespace

// Inside a quoted run a backslash escapes the next character, so an item
// that ends in a backslash ("c:\\web\\") still closes its run.
std::vector<std::string> ParseListValue(std::string_view text) {
  std::vector<std::string> items;
  std::string piece;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '\\' && i + 1 < text.size()) {
      piece.push_back(c);
      piece.push_back(text[++i]);
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      if (!piece.empty()) items.push_back(UnquoteValue(piece));
      piece.clear();
      continue;
    }
    piece.push_back(c);
  }
  if (!piece.empty()) items.push_back(UnquoteValue(piece));
  return items;
}

std::string FormatListValue(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    std::string quoted = QuoteValue(item);
    if (quoted.find(',') != std::string::npos && !quoted.starts_with('"')) {
      quoted = '"' + quoted + '"';
    }
    if (!text.empty()) text += ',';
    text += quoted;
  }
  return text;
}

bool AllowedList(const ParameterRef& ref, std::vector<std::string>* items) {
  const XmlNode* allowed = ref.Child("allowed");
  if (!allowed) return false;
  *items = SplitTrimmed(allowed->Text(), ", +|\\/");
  return true;
}

int GetString(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              std::string* out) {
  std::string value;
  const int result = ReadUnquoted(store, Resolve(root, at), &value);
  if (result != kResultUnresolved) *out = std::move(value);
  return result;
}

int SetString(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              std::string_view value) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  store.SetValue(access.ref.section_name, access.key, QuoteValue(value));
  return kResultOk;
}

int GetNumber(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              int32_t* out) {
  const Access access = Resolve(root, at);
  if (!access.resolved) {
    *out = DefaultNumber(access);
    return kResultUnresolved;
  }
  return ReadNumber(store, access, out);
}

int GetLong(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
            int32_t* out) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  return ReadNumber(store, access, out);
}

int SetNumber(SettingsStore& store, const XmlNode* root, const SettingAddress& at, int32_t value) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  store.SetValue(access.ref.section_name, access.key, value);
  return kResultOk;
}

int GetSwitch(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              bool* out) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  std::string stored;
  const int result = GetStoredValue(store, access.ref.section_name, access.key, &stored);
  if (result == kResultUnresolved) return result;
  *out = ParseSwitch(result == kResultOk ? std::string_view(stored) : access.DefaultText());
  return result;
}

int GetChoice(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              int32_t* out) {
  return GetAgainstAllowed(store, root, at, out, ChoiceIndex);
}

int GetFlags(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
             uint32_t* out) {
  return GetAgainstAllowed(store, root, at, out, FlagsMask);
}

int GetList(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
            std::vector<std::string>* out) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  std::string value;
  const int result =
      store.GetValue(access.ref.section_name, access.key, access.DefaultText(), &value);
  if (result == kResultUnresolved) return result;
  *out = ParseListValue(value);
  return result;
}

int SetList(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
            const std::vector<std::string>& items) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  store.SetValue(access.ref.section_name, access.key, FormatListValue(items));
  return kResultOk;
}

int GetSecret(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              std::string* out) {
  std::string value;
  const int result = ReadUnquoted(store, Resolve(root, at), &value);
  if (result != kResultUnresolved) *out = DecryptSecret(value);
  return result;
}

int SetSecret(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              std::string_view plain) {
  const Access access = Resolve(root, at);
  if (!access.resolved) return kResultUnresolved;
  const std::string stored = EncryptSecret(plain);
  // Never replace a secret with nothing because encryption failed.
  if (stored.empty() && !plain.empty()) return kResultUnresolved;
  store.SetValue(access.ref.section_name, access.key, stored.empty() ? stored : QuoteValue(stored));
  return kResultOk;
}

int LastIndex(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              int first) {
  const bool run_sub = RunsSubIndex(root, at);
  int last = first - 1;
  for (int i = first; i < INT_MAX; ++i) {
    std::string value;
    // A missing entry ends the run even when the descriptor gives entries a
    // default: otherwise every later index would read that default and the
    // run would never end.
    if (GetString(store, root, AtEntry(at, run_sub, i), &value) != kResultOk || value.empty())
      break;
    last = i;
  }
  return last;
}

int FindIndex(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
              std::string_view text, int first) {
  const bool run_sub = RunsSubIndex(root, at);
  for (int i = first; i < INT_MAX; ++i) {
    std::string value;
    if (GetString(store, root, AtEntry(at, run_sub, i), &value) != kResultOk || value.empty())
      break;
    if (value == text) return i;
  }
  return first - 1;
}

void ClearIndices(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                  const std::vector<int>& indices) {
  const bool run_sub = RunsSubIndex(root, at);
  // The address resolved for reading the run, so every write resolves too.
  for (int i : indices) static_cast<void>(SetString(store, root, AtEntry(at, run_sub, i), {}));
}

void CopyEntry(SettingsStore& store, const XmlNode* root, const SettingAddress& from, int to_index,
               int to_sub_index) {
  std::string value;
  const int result = GetString(store, root, from, &value);
  if (result == kResultUnresolved) return;
  // An entry the file lacks stays absent rather than taking its default in writing.
  if (result == kResultDefaultUsed) value.clear();
  SettingAddress to = from;
  to.index = to_index;
  to.sub_index = to_sub_index;
  static_cast<void>(SetString(store, root, to, value));
}

void RenumberAfterRemoval(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                          const std::vector<std::string_view>& dependents,
                          const std::vector<int>& removed, int first) {
  const bool run_sub = RunsSubIndex(root, at);
  const int last = LastIndex(store, root, at, first);
  std::vector<SettingAddress> columns{at};
  for (std::string_view uid : dependents) {
    SettingAddress dependent = at;
    dependent.uid = uid;
    columns.push_back(dependent);
  }

  int next = first;
  for (int i = first; i <= last; ++i) {
    if (std::find(removed.begin(), removed.end(), i) != removed.end()) continue;
    if (i != next) {
      for (const SettingAddress& column : columns) {
        const SettingAddress source = AtEntry(column, run_sub, i);
        const SettingAddress target = AtEntry(column, run_sub, next);
        CopyEntry(store, root, source, target.index, target.sub_index);
      }
    }
    ++next;
  }
  std::vector<int> tail;
  for (int i = next; i <= last; ++i) tail.push_back(i);
  for (const SettingAddress& column : columns) ClearIndices(store, root, column, tail);
}

}  // namespace vossik
