// ParameterRef is the resolution of one setting address through the
// configuration descriptor: the elements that define the setting and the
// section of the configuration file that holds it. It is made afresh for
// every access and holds non-owning pointers into the descriptor tree.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

class XmlNode;

struct ParameterRef {
  const XmlNode* override_element = nullptr;  // e.g. the parameter element on a settings page
  const XmlNode* parameter = nullptr;         // the section's parameter element
  const XmlNode* type = nullptr;              // the parameter of the same uid in <types>
  std::string section_name;  // the section's name, "default" when no section matched
  bool section_matched = false;

  /// True when any defining element was found.
  bool IsDefined() const { return parameter != nullptr || type != nullptr; }

  /// An attribute in inheritance order: the override element (only when
  /// `use_override`), the parameter, then the type. nullptr when none has it.
  const std::string* Attribute(std::string_view name, bool use_override = true) const;

  /// The first child element of that name, searched in the same order.
  const XmlNode* Child(std::string_view name, bool use_override = true) const;

  /// The text of Child(name), or nullptr when there is no such child or it has no text.
  const std::string* ChildText(std::string_view name, bool use_override = true) const;

  /// The file key for the given indices: the `name` attribute, formatted
  /// with the indices when `numbered` (and `subnumbered`) are exactly "true".
  /// False when there is no usable key.
  [[nodiscard]] bool Key(int index, int sub_index, std::string* key) const;
};

/// Resolves `address` ("section:parameter", or a parameter uid when
/// `section_uid` is given; an address without ":" serves as both uids).
ParameterRef ResolveParameter(const XmlNode* root, std::string_view address,
                              std::string_view section_uid = {});

/// The descriptor's boolean rule (also the switch rule for stored values):
/// a non-zero leading number, or a text beginning with "y", "true" or "on"
/// in any case, is true.
[[nodiscard]] bool ParseSwitch(std::string_view text);

}  // namespace vossik
