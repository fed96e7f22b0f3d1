// Typed access to settings by descriptor address ("index:dirsrc"): resolves
// the address to a section and key, takes defaults and allowed values from
// the descriptor, and converts stored text to numbers, switches, choices,
// flags, lists and encrypted secrets. It keeps no state of its own.
//
// Results: 0 found in the file; -1 not found, default used; -2 the setting
// cannot be resolved and the output is left as it was (GetNumber then stores
// its default). Callers treat -1 as success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/parameter_ref.h"

namespace vossik {

class SettingsStore;
class XmlNode;

/// Which setting an operation addresses.
struct SettingAddress {
  std::string_view uid;           // "section:parameter", or the parameter uid with `section`
  std::string_view section = {};  // a separately given section uid
  int index = -1;                 // entry index of a numbered parameter
  int sub_index = -1;             // second index of a sub-numbered parameter
  const XmlNode* override_element = nullptr;  // consulted first when given
};

/// The value trimmed and unquoted; the descriptor `default` when the file lacks it.
[[nodiscard]] int GetString(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, std::string* out);
/// Stores the value quoted. An empty value empties an existing key and adds no new one.
[[nodiscard]] int SetString(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                            std::string_view value);

/// The value as stored, untrimmed: optional "-", then digits with commas
/// skipped ("1,024" is 1024, " 5" is 0). The default is read by the
/// leading-digits rule; an unresolvable setting stores the default (0 when
/// the descriptor has none).
[[nodiscard]] int GetNumber(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, int32_t* out);
/// As GetNumber, but an unresolvable setting leaves `out` unchanged.
[[nodiscard]] int GetLong(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                          int32_t* out);
[[nodiscard]] int SetNumber(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                            int32_t value);

/// ParseSwitch on the value as stored, or on the default.
[[nodiscard]] int GetSwitch(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, bool* out);
/// The position of the value in the `allowed` list (any case); 0 for an
/// unknown or empty value. -2 without an `allowed` element.
[[nodiscard]] int GetChoice(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, int32_t* out);
/// "All" is 0xFFFFFF, "None" 0; otherwise every piece between the separators
/// +,.-_|& ;:()" that names allowed entry i (any case) sets bit i + 1.
[[nodiscard]] int GetFlags(const SettingsStore& store, const XmlNode* root,
                           const SettingAddress& at, uint32_t* out);

/// The value split at commas outside double-quoted runs (where a backslash
/// escapes the next character), empty items dropped, each item unquoted.
[[nodiscard]] int GetList(const SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                          std::vector<std::string>* out);
/// Items quoted, an item with a comma enclosed in double quotes, joined with ",".
[[nodiscard]] int SetList(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                          const std::vector<std::string>& items);

/// The decrypted value; "" for anything that is not a readable secret.
[[nodiscard]] int GetSecret(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, std::string* out);
/// Stores the encrypted value quoted; an empty text stores no value.
[[nodiscard]] int SetSecret(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                            std::string_view plain);

// Numbered entries, as the list controls keep them: entries first, first+1,
// ... up to the first empty one. The "running" index is the first index, or
// the second for a sub-numbered parameter whose first index `at` fixes (>= 0);
// the other index is taken from `at`.

/// The last running index from `first` up whose string value is non-empty
/// (first - 1 when none). An entry missing from the file ends the run even
/// when the descriptor gives entries a default.
[[nodiscard]] int LastIndex(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, int first);

/// The first running index from `first` up whose value equals `text` exactly
/// (case-sensitive), before the run ends as for LastIndex; first - 1 when none.
[[nodiscard]] int FindIndex(const SettingsStore& store, const XmlNode* root,
                            const SettingAddress& at, std::string_view text, int first);

/// Writes the empty string at each running index in `indices`.
void ClearIndices(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                  const std::vector<int>& indices);

/// Copies the string value at (from.index, from.sub_index) to (to_index,
/// to_sub_index); an entry the file lacks is copied as an empty value.
void CopyEntry(SettingsStore& store, const XmlNode* root, const SettingAddress& from, int to_index,
               int to_sub_index);

/// Removes the entries at the running indices `removed` (still in the store)
/// from the run that starts at `first`: the later entries move down to close
/// the gaps and the freed tail is cleared, for `at` and for each of
/// `dependents`, parameter uids addressed like `at.uid` (same `at.section`)
/// whose entries belong to the same rows.
void RenumberAfterRemoval(SettingsStore& store, const XmlNode* root, const SettingAddress& at,
                          const std::vector<std::string_view>& dependents,
                          const std::vector<int>& removed, int first);

/// The items of a stored list value: split at commas outside double-quoted
/// runs, empty pieces dropped, each piece unquoted (GetList's rule).
std::vector<std::string> ParseListValue(std::string_view text);

/// The stored form of a list (SetList's rule): each item quoted, an item
/// that then holds a comma and does not begin with a quote enclosed in
/// double quotes, joined by "," with no blanks.
std::string FormatListValue(const std::vector<std::string>& items);

/// The `allowed` list split at ", +|\/" (empty pieces dropped). False when
/// the setting has no `allowed` element.
[[nodiscard]] bool AllowedList(const ParameterRef& ref, std::vector<std::string>* items);

}  // namespace vossik
