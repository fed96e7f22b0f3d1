#include "settings/parameter_ref.h"

#include <string>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The first `name` element below `parent` whose uid is `uid`: the direct
// children first, then each child's subtree in document order, the same
// order in which the descriptor's elements are searched everywhere else.
const XmlNode* FindWithUid(const XmlNode* parent, std::string_view name, std::string_view uid) {
  for (const XmlNode* child = parent->FirstChild(); child; child = child->NextSibling()) {
    if (child->Name() != name) continue;
    const std::string* value = child->Attribute("uid");
    if (value && *value == uid) return child;
  }
  for (const XmlNode* child = parent->FirstChild(); child; child = child->NextSibling()) {
    if (const XmlNode* found = FindWithUid(child, name, uid)) return found;
  }
  return nullptr;
}

bool IsExactlyTrue(const std::string* text) { return text && *text == "true"; }

// Substitutes the indices for the "%d"/"%ld" patterns of a key name, first
// `index`, then `sub_index`. The name comes from the descriptor, so it is
// never handed to printf: any other "%" sequence is kept as written.
std::string FormatKey(std::string_view pattern, int index, int sub_index) {
  std::string key;
  int used = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::string_view rest = pattern.substr(i);
    const std::size_t length = rest.starts_with("%d") ? 2 : rest.starts_with("%ld") ? 3 : 0;
    if (length == 0 || used == 2) {
      if (rest.starts_with("%%")) ++i;
      key.push_back(pattern[i]);
      continue;
    }
    key += std::to_string(used++ == 0 ? index : sub_index);
    i += length - 1;
  }
  return key;
}

}  // namespace

const std::string* ParameterRef::Attribute(std::string_view name, bool use_override) const {
  for (const XmlNode* element : {use_override ? override_element : nullptr, parameter, type}) {
    if (!element) continue;
    if (const std::string* value = element->Attribute(name)) return value;
  }
  return nullptr;
}

const XmlNode* ParameterRef::Child(std::string_view name, bool use_override) const {
  for (const XmlNode* element : {use_override ? override_element : nullptr, parameter, type}) {
    if (!element) continue;
    if (const XmlNode* child = element->FindElement(name)) return child;
  }
  return nullptr;
}

const std::string* ParameterRef::ChildText(std::string_view name, bool use_override) const {
  const XmlNode* child = Child(name, use_override);
  return child && child->HasText() ? &child->Text() : nullptr;
}

bool ParameterRef::Key(int index, int sub_index, std::string* key) const {
  // Where a value is stored belongs to the setting, not to the page that
  // shows it: a page may rename a setting's label without moving its value.
  const std::string* name = Attribute("name", false);
  if (!name || name->empty()) return false;
  if (!IsExactlyTrue(Attribute("numbered", false))) {
    *key = *name;
    return true;
  }
  if (name->find("%d") == std::string::npos && name->find("%ld") == std::string::npos) return false;
  const int first = index < 0 ? 0 : index;
  const int second =
      IsExactlyTrue(Attribute("subnumbered", false)) ? (sub_index < 0 ? 0 : sub_index) : 0;
  *key = FormatKey(*name, first, second);
  return true;
}

ParameterRef ResolveParameter(const XmlNode* root, std::string_view address,
                              std::string_view section_uid) {
  std::string_view parameter_uid = address;
  if (section_uid.empty()) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) {
      section_uid = address;
    } else {
      section_uid = address.substr(0, colon);
      parameter_uid = address.substr(colon + 1);
    }
  }

  ParameterRef ref;
  if (root) {
    if (const XmlNode* config = root->FindElement("config")) {
      if (const XmlNode* section = FindWithUid(config, "section", section_uid)) {
        ref.section_matched = true;
        if (const std::string* name = section->Attribute("name")) ref.section_name = *name;
        ref.parameter = FindWithUid(section, "parameter", parameter_uid);
      }
    }
    if (const XmlNode* types = root->FindElement("types")) {
      ref.type = FindWithUid(types, "parameter", parameter_uid);
    }
  }
  // The file layer finds "default" as the [Default] section, where the
  // settings that belong to no section live.
  if (!ref.section_matched) ref.section_name = "default";
  return ref;
}

bool ParseSwitch(std::string_view text) {
  if (ParseLeadingNumber(text) != 0) return true;
  const std::string lowered = AsciiLowered(text.substr(0, 11));
  const std::string_view head = lowered;
  return head.starts_with("y") || head.starts_with("true") || head.starts_with("on");
}

}  // namespace vossik
