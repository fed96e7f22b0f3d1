#include "helpgen/help_project.h"

#include "base/file_io.h"
#include "base/product_identity.h"
#include "base/result_codes.h"
#include "helpgen/descriptor_walk.h"
#include "helpgen/help_contents.h"
#include "helpgen/help_page_writer.h"
#include "helpgen/keyword_index.h"
#include "xml/xml_document.h"

namespace vossik {

std::string HelpProjectFile(std::string_view help_base_name, std::string_view product_name) {
  std::string project = "[OPTIONS]\r\n";
  project += "Compatibility=1.1 or later\r\n";
  project += "Compiled file=" + std::string(help_base_name) + ".chm\r\n";
  project += "Contents file=Table of Contents.hhc\r\n";
  project += "Default topic=default.htm\r\n";
  project += "Display compile progress=No\r\n";
  project += "Full-text search=Yes\r\n";
  project += "Index file=Index.hhk\r\n";
  project += "Language=0x409 English (United States)\r\n";
  project += "Title=" + std::string(product_name) + " Help\r\n";
  project += "\r\n";
  project += "[INFOTYPES]\r\n";
  return project;
}

std::string HelpWelcomePage(const ProductIdentity& identity, std::string_view help_base_name,
                            const GuideWording& wording, bool with_configuration,
                            std::string_view footer) {
  const std::string& product = identity.product_name;
  constexpr std::string_view kBullet =
      "<IMG VALIGN=center  SRC=\"bullet.gif\"></TD><TD VALIGN=center ><A HREF=\"";
  std::string body = "<CENTER><IMG SRC=\"logo.gif\"></CENTER>";
  body += "<CENTER><P>Please select the area for which you need assistance:</P></CENTER>";
  body += "<CENTER><TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=100%>";
  body += "<TR><TD WIDTH=40%></TD><TD  VALIGN=center >";
  body +=
      "<IMG VALIGN=center SRC=\"bullet.gif\"></TD><TD VALIGN=center ><A "
      "HREF=\"gettingstarted.html\">"
      "Getting Started</A>";
  body += "</TD><TD ></TD></TR>";

  const std::string links[] = {
      "downloading.html\">Downloading the product or product updates</A>",
      "installing.html\">Installing the product or product updates</A>",
      "running.html\">Running " + product + "</A>",
      "configuring.html\">Configuring " + product + "</A>",
      "admin-index.html\">" + std::string(wording.welcome_link_text),
      "config-index.html\">Configuration by directly editing the " + product +
          " configuration file</A>",
  };
  // The last link leads to the configuration reference, which only the
  // administration guide run writes.
  const std::size_t count = with_configuration ? std::size(links) : std::size(links) - 1;
  for (std::size_t i = 0; i < count; ++i) {
    body += "<TR><TD></TD><TD VALIGN=center >";
    body += kBullet;
    body += links[i];
    body += "</TD><TD></TD></TR>";
  }
  body += "</TABLE></CENTER>";
  body += "<BR><BR><CENTER><P><A HREF=\"" + identity.maker_web_address + "/" +
          std::string(help_base_name) + "/\">" + product + " on the web</A></P></CENTER>";

  const std::string title = product + " Help";
  return HelpPage(title, title, "<CENTER>Welcome</CENTER>", body, footer);
}

void AddFixedContents(HelpContents* contents) {
  contents->AddEntry("Welcome", "default.htm");
  contents->AddEntry("Getting Started", "gettingstarted.html");
  contents->AddEntry("Downloading", "downloading.html");
  contents->AddEntry("Installing", "installing.html");
  contents->AddEntry("General Configuration", "configuring.html");
  contents->AddEntry("Running", "running.html");
}

void AddProductDocumentation(const std::filesystem::path& piml, HelpContents* contents) {
  std::string text;
  if (!ReadWholeFile(piml, &text)) return;
  XmlDocument document;
  if (document.Parse(text) != kResultOk) return;
  const XmlNode* root = document.Root();
  if (!root) return;
  const XmlNode* documentation =
      root->Name() == "documentation" ? root : root->FindElement("documentation");
  const XmlNode* pages = documentation ? documentation->FindElement("pages") : nullptr;
  for (const XmlNode* group : FindAllElements(pages, "group")) {
    const std::vector<const XmlNode*> group_pages = FindAllElements(group, "page");
    contents->Append("<LI> <OBJECT type=\"text/sitemap\">");
    contents->Append(HelpNameParam(AttributeText(group, "name")));
    if (!group_pages.empty())
      contents->Append(HelpLocalParam(AttributeText(group_pages.front(), "file")));
    contents->Append("<param name=\"ImageNumber\" value=\"1\">");
    contents->Append("</OBJECT>");
    contents->Append("<UL>");
    for (const XmlNode* page : group_pages) {
      contents->AddEntry(AttributeText(page, "name"), AttributeText(page, "file"));
    }
    contents->Append("</UL>");
  }
}

std::string KeywordIndexFile(const KeywordIndex& keywords, std::string_view footer) {
  std::string index = HelpListHead(false);
  for (const KeywordIndex::Keyword& keyword : keywords.Keywords()) {
    index += "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + keyword.word +
             "\">\r\n";
    for (const KeywordIndex::Mention& mention : keyword.mentions) {
      index += "<param name=\"Name\" value=\"" + mention.title + "\">\r\n";
      index += "<param name=\"Local\" value=\"" + mention.file + "\">\r\n";
    }
    index += "</OBJECT>\r\n";
  }
  index += "</UL>";
  index += footer;
  index += "</html>\n";
  return index;
}

}  // namespace vossik
