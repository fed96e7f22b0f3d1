#include "helpgen/config_reference.h"

#include "helpgen/descriptor_walk.h"
#include "helpgen/help_run.h"
#include "helpgen/parameter_entry.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

void WriteSectionPage(HelpRun* run, const ParameterEntryWriter& entries, const XmlNode* section) {
  const std::string name = AttributeText(section, "name");
  const std::string file = "config-" + name + ".html";
  const std::string running_head =
      run->product_name + "&nbsp;Configuration&nbsp;Reference [" + name + "]";

  std::string body;
  const std::string introduction = IntroductionText(section->Text(), section);
  if (!introduction.empty()) body += "<P>" + introduction + "</P>";
  if (section->FindElement("parameter", nullptr, false)) {
    body += "<P>The following settings can be used in this section:</p>";
    body += "<DL>";
    entries.AppendEntries(section, HelpPageRef{running_head, file}, &body);
    body += "</DL><BR>";
  }
  run->WritePage(file, run->product_name + " Configuration Reference - " + name + " Section",
                 running_head, "[" + name + "]", body);

  run->contents.Append("<LI> <OBJECT type=\"text/sitemap\">" + HelpNameParam("[" + name + "]") +
                       HelpLocalParam(file) + "<param name=\"ImageNumber\" value=\"41\">" +
                       "</OBJECT>\r\n");
}

}  // namespace

void WriteConfigReference(HelpRun* run) {
  const XmlNode* config = run->root->FindElement("config");
  const std::vector<const XmlNode*> sections = FindAllElements(config, "section");

  std::string index = "<UL>";
  for (const XmlNode* section : sections) {
    const std::string name = AttributeText(section, "name");
    index += "<LI><A HREF=\"config-" + name + ".html\">[" + name + "]</A>";
  }
  index += "</UL>";
  run->WritePage("config-index.html", run->product_name + " Configuration Reference Index",
                 run->product_name + "&nbsp;Configuration&nbsp;Reference", "Index", index);

  const ParameterEntryWriter entries(run->root, HelpEntryStyle::kReference, &run->keywords);
  for (const XmlNode* section : sections) WriteSectionPage(run, entries, section);
}

}  // namespace vossik
