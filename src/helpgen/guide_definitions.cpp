// The documentation of the lists and pop-up windows that a setting's
// `definition` element describes: its pages, icon key, column headings,
// buttons and context menu.
#include "helpgen/descriptor_walk.h"
#include "helpgen/guide_pages.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The description child of an icon or column, else its own text.
std::string ItemDescription(const XmlNode* item) {
  const std::string* description = item->ElementText("description", nullptr, false);
  return description ? *description : item->Text();
}

// The description child of an action option, else its hint.
std::string OptionDescription(const XmlNode* option) {
  std::string description = DirectChildText(option, "description");
  return description.empty() ? DirectChildText(option, "hint") : description;
}

}  // namespace

void GuidePages::DocumentDefinition(const XmlNode* definition, std::string_view control,
                                    std::string* out) {
  if (control == "popupbutton") {
    AppendSheetPages(definition, out);
    return;
  }
  *out += "<TABLE>\r\n";
  if (const XmlNode* icons = definition->FindElement("icons")) AppendIcons(icons, out);
  if (const XmlNode* headings = definition->FindElement("headings")) AppendHeadings(headings, out);
  if (const XmlNode* actions = definition->FindElement("actions"))
    AppendActions(definition, actions, out);
  *out += "</TABLE>\r\n";
}

void GuidePages::AppendIcons(const XmlNode* icons, std::string* out) const {
  *out += "<TR><TD VALIGN=top WIDTH=200>";
  const std::vector<const XmlNode*> list = ChildElements(icons, "icon");
  if (!list.empty()) {
    *out += "Icon key:</TD><TD VALIGN=top>";
    for (const XmlNode* icon : list) {
      if (icon != list.front()) *out += "<BR>";
      *out +=
          "<IMG SRC=\"" + AttributeText(icon, "name") + "\">&nbsp;-&nbsp;" + ItemDescription(icon);
    }
  }
  *out += "</TD></TR>\r\n";
}

void GuidePages::AppendHeadings(const XmlNode* headings, std::string* out) const {
  *out += "<TR><TD VALIGN=top WIDTH=200>";
  const std::vector<const XmlNode*> titles = ChildElements(headings, "title");
  if (!titles.empty() && !titles.front()->Text().empty()) {
    *out +=
        "Column Headings:<BR>(Click the heading to sort by the column)</TD><TD VALIGN=top>"
        "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0><TR><TD>";
    *out += "<B>" + AttributeText(titles.front(), "name") + "</B></TD><TD>" +
            ItemDescription(titles.front()) + "</TD></TR>";
    for (std::size_t i = 1; i < titles.size(); ++i) {
      *out += "<TR><TD><B>" + AttributeText(titles[i], "name") + "</B></TD><TD>" +
              ItemDescription(titles[i]) + "</TD></TR>\r\n";
    }
    *out += "</TABLE>\r\n";
  }
  *out += "</TD></TR>\r\n";
}

void GuidePages::AppendActions(const XmlNode* definition, const XmlNode* actions,
                               std::string* out) {
  std::vector<const XmlNode*> buttons;
  std::vector<const XmlNode*> menus;
  for (const XmlNode* option : ChildElements(actions, "option")) {
    if (option->Attribute("button")) buttons.push_back(option);
    if (option->Attribute("menu")) menus.push_back(option);
  }
  if (!buttons.empty()) {
    *out +=
        "<TR><TD VALIGN=top WIDTH=200>Buttons:<BR>(Underneath control)</TD><TD VALIGN=top>"
        "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>";
    for (const XmlNode* option : buttons) {
      *out += "<TR><TD><B>" + NonBreaking(AttributeText(option, "button")) + "</B></TD><TD>" +
              OptionDescription(option) + "</TD></TR>\r\n";
      if (AppendEntryViewer(definition, option, out)) *out += "</TD></TR>\r\n";
    }
    *out += "</TABLE>\r\n</TD></TR>\r\n";
  }
  if (!menus.empty()) {
    *out +=
        "<TR><TD VALIGN=top WIDTH=200>Context Menu:<BR>(Right click selected items)</TD><TD "
        "VALIGN=top>"
        "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>";
    for (const XmlNode* option : menus) AppendMenuRow(definition, option, out);
    *out += "</TABLE>\r\n</TD></TR>\r\n";
  }
}

void GuidePages::AppendMenuRow(const XmlNode* definition, const XmlNode* option, std::string* out) {
  *out += "<TR><TD><B>" + NonBreaking(AttributeText(option, "menu")) + "</B></TD><TD>" +
          OptionDescription(option);
  const std::vector<const XmlNode*> submenu = ChildElements(option, "option");
  if (!submenu.empty()) {
    *out += ".&nbsp;Submenu options:<BR><TABLE CELLSPACING=0 CELLPADDING=0 BORDER=0>";
    for (const XmlNode* sub : submenu) AppendMenuRow(definition, sub, out);
    *out += "</TABLE>";
  }
  *out += "</TD></TR>";
  // Without an entry viewer the row simply closes.
  static_cast<void>(AppendEntryViewer(definition, option, out));
  *out += "</TD></TR>\r\n";
}

bool GuidePages::AppendEntryViewer(const XmlNode* definition, const XmlNode* option,
                                   std::string* out) {
  const std::string* viewer = option->Attribute("entryviewer");
  if (!viewer) return false;
  *out += "<TR><TD></TD><TD VALIGN=center>Clicking this opens the page(s):";
  for (const XmlNode* entry_viewer : FindAllElements(definition, "entryviewer")) {
    if (AttributeText(entry_viewer, "uid") == *viewer) AppendSheetPages(entry_viewer, out);
  }
  return true;
}

}  // namespace vossik
