// Small readers of the descriptor tree shared by the help page writers:
// walking every element of a name in the descriptor's search order, and the
// introduction texts of sections, sheets and pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vossik {

class XmlNode;

/// Every `name` element below `parent` in search order: the first is the one
/// XmlNode::FindElement finds, and each next search continues from the
/// sibling after the last one found (that sibling and its later siblings
/// first, then their subtrees). The walk ends when the last one found has no
/// next sibling.
std::vector<const XmlNode*> FindAllElements(const XmlNode* parent, std::string_view name);

/// The sheets the guide documents, in its order: those of the first
/// `wizard`, then every other `sheet` of the descriptor. The search for
/// sheets from the root finds a wizard's sheets again; they are listed once.
struct GuideSheets {
  std::vector<const XmlNode*> wizard;
  std::vector<const XmlNode*> others;
};
GuideSheets FindGuideSheets(const XmlNode* root);

/// The direct children of `parent` named `name`, in document order.
std::vector<const XmlNode*> ChildElements(const XmlNode* parent, std::string_view name);

/// The text of the first direct child named `name`, or "" when there is none.
std::string DirectChildText(const XmlNode* parent, std::string_view name);

/// The first of `own_text`, the `description` child of `element` and its
/// `hint` child that is not empty once trimmed; trimmed. Direct children
/// only, so the description of a setting inside never stands in for it.
std::string IntroductionText(std::string_view own_text, const XmlNode* element);

/// `text` with every blank written as "&nbsp;".
std::string NonBreaking(std::string_view text);

/// The value of attribute `name` of `element`, or "" when it has none.
std::string AttributeText(const XmlNode* element, std::string_view name);

}  // namespace vossik
