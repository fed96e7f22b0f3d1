#include "helpgen/descriptor_walk.h"

#include <algorithm>

#include "base/string_util.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The search of XmlNode::FindElement, started at `first` and running along
// its sibling chain: the siblings themselves, then each one's subtree.
const XmlNode* FindFrom(const XmlNode* first, std::string_view name) {
  for (const XmlNode* node = first; node; node = node->NextSibling()) {
    if (node->Name() == name) return node;
  }
  for (const XmlNode* node = first; node; node = node->NextSibling()) {
    if (const XmlNode* found = FindFrom(node->FirstChild(), name)) return found;
  }
  return nullptr;
}

}  // namespace

std::vector<const XmlNode*> FindAllElements(const XmlNode* parent, std::string_view name) {
  std::vector<const XmlNode*> found;
  if (!parent) return found;
  for (const XmlNode* node = FindFrom(parent->FirstChild(), name); node;
       node = node->NextSibling() ? FindFrom(node->NextSibling(), name) : nullptr) {
    found.push_back(node);
  }
  return found;
}

GuideSheets FindGuideSheets(const XmlNode* root) {
  GuideSheets sheets;
  if (!root) return sheets;
  sheets.wizard = FindAllElements(root->FindElement("wizard"), "sheet");
  for (const XmlNode* sheet : FindAllElements(root, "sheet")) {
    if (std::ranges::find(sheets.wizard, sheet) == sheets.wizard.end())
      sheets.others.push_back(sheet);
  }
  return sheets;
}

std::vector<const XmlNode*> ChildElements(const XmlNode* parent, std::string_view name) {
  std::vector<const XmlNode*> children;
  if (!parent) return children;
  for (const XmlNode* child = parent->FirstChild(); child; child = child->NextSibling()) {
    if (child->Name() == name) children.push_back(child);
  }
  return children;
}

std::string DirectChildText(const XmlNode* parent, std::string_view name) {
  if (!parent) return {};
  const std::string* text = parent->ElementText(name, nullptr, false);
  return text ? *text : std::string();
}

std::string IntroductionText(std::string_view own_text, const XmlNode* element) {
  for (const std::string& candidate :
       {std::string(own_text), DirectChildText(element, "description"),
        DirectChildText(element, "hint")}) {
    const std::string_view trimmed = TrimBlanks(candidate);
    if (!trimmed.empty()) return std::string(trimmed);
  }
  return {};
}

std::string NonBreaking(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == ' ') {
      result += "&nbsp;";
    } else {
      result += c;
    }
  }
  return result;
}

std::string AttributeText(const XmlNode* element, std::string_view name) {
  const std::string* value = element ? element->Attribute(name) : nullptr;
  return value ? *value : std::string();
}

}  // namespace vossik
