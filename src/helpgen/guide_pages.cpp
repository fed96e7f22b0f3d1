#include "helpgen/guide_pages.h"

#include <algorithm>

#include "helpgen/descriptor_walk.h"
#include "helpgen/help_run.h"
#include "xml/xml_document.h"

namespace vossik {

GuidePages::GuidePages(HelpRun* run)
    : run_(run), entries_(run->root, HelpEntryStyle::kGuide, &run->keywords) {
  entries_.SetDefinitionDocumenter(
      [this](const XmlNode* definition, std::string_view control, std::string* out) {
        DocumentDefinition(definition, control, out);
      });
}

void GuidePages::WriteSheet(const XmlNode* sheet) {
  const std::string sheet_name = AttributeText(sheet, "name");
  const std::string file = "admin-" + sheet_name + ".html";
  const std::string title =
      run_->product_name + std::string(run_->wording.guide_name) + " - " + sheet_name + " Pages";

  run_->contents.Append("<LI> <OBJECT type=\"text/sitemap\">" + HelpNameParam(sheet_name) +
                        HelpLocalParam(file) + "<param name=\"ImageNumber\" value=\"1\">" +
                        "</OBJECT>\r\n");
  run_->contents.Append("<UL>\r\n");
  guide_index_ += "<LI><A HREF=\"" + file + "\">" + sheet_name + " Pages</A>";

  std::string body;
  const std::string introduction = IntroductionText(sheet->Text(), sheet);
  if (!introduction.empty()) body += "<P>" + introduction + "</P>";
  run_->keywords.Add(title, file, title);
  entries_.AppendEntries(sheet, HelpPageRef{title, file}, &body);
  body += "<P>The following pages are found in this section:</P>";
  body += "<CENTER><TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=100%>";
  for (const XmlNode* page : FindAllElements(sheet, "page")) DocumentPage(page, sheet, &body);
  body += "</TABLE></CENTER>";
  run_->contents.Append("</UL>\r\n");

  run_->WritePage(file, title, title, sheet_name, body);
}

void GuidePages::WriteGuideIndex() {
  run_->WritePage("admin-index.html",
                  run_->product_name + std::string(run_->wording.index_title_suffix),
                  run_->product_name + std::string(run_->wording.running_head_suffix), "Index",
                  "<UL>" + guide_index_ + "</UL>");
}

bool GuidePages::OnPath(const XmlNode* page) const {
  return std::ranges::find(path_, page) != path_.end();
}

void GuidePages::DocumentPage(const XmlNode* page, const XmlNode* sheet, std::string* links) {
  if (OnPath(page)) return;
  const std::string sheet_name = AttributeText(sheet, "name");
  const std::string page_name = AttributeText(page, "name");
  const std::string page_uid = AttributeText(page, "uid");
  const std::string file = "admin-" + sheet_name + "-" + page_uid + ".html";
  const std::string title = run_->product_name + std::string(run_->wording.guide_name) + " - " +
                            sheet_name + " - " + page_name;

  if (run_->contents.Enabled() && run_->contents.ListOnce(file)) {
    run_->contents.AddEntry(sheet_name + " - " + page_name, file);
  }
  *links += "<TR><TD WIDTH=25%></TD><TD  ALIGN=right VALIGN=center WIDTH=64>";
  *links += "<IMG VALIGN=center SRC=\"bullet.gif\"></TD><TD ALIGN=left VALIGN=center ><A HREF=\"" +
            file + "\">" + sheet_name + " - " + page_name + "</A>";
  *links += "</TD><TD ></TD></TR>";

  path_.push_back(page);
  const HelpPageRef here{title, file};
  std::string body = "<DL>";
  const std::string introduction = IntroductionText(sheet->Text(), page);
  if (!introduction.empty()) body += "<P>" + introduction + "</P>";
  run_->keywords.Add(title, file, title);
  body += "<IMG SRC=\"" + page_uid + ".bmp\">";
  entries_.AppendEntries(page, here, &body);
  for (const XmlNode* group : FindAllElements(page, "group")) {
    const std::string group_name = AttributeText(group, "name");
    body += "<H4><FONT SIZE=+1>&nbsp;&nbsp;&nbsp;" + group_name + "</FONT>&nbsp;Group</H4>";
    body += "<DL>";
    run_->keywords.Add(title, file, group_name);
    body += DirectChildText(group, "description");
    entries_.AppendEntries(group, here, &body);
    body += "</DL><BR>";
  }
  body += "</DL><BR>";
  path_.pop_back();

  run_->WritePage(file, title, title, page_name, body);
}

void GuidePages::AppendSheetPages(const XmlNode* parent, std::string* out) {
  const XmlNode* sheet = parent ? parent->FindElement("sheet") : nullptr;
  for (const XmlNode* page : FindAllElements(sheet, "page")) {
    if (OnPath(page)) continue;
    *out += "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>";
    DocumentPage(page, sheet, out);
    *out += "</TABLE>";
  }
}

}  // namespace vossik
