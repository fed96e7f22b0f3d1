#include "helpgen/help_contents.h"

#include "helpgen/help_page_writer.h"

namespace vossik {

void HelpContents::Start() {
  enabled_ = true;
  text_ = HelpListHead(true);
  listed_.clear();
}

void HelpContents::Append(std::string_view markup) {
  if (enabled_) text_ += markup;
}

void HelpContents::AddEntry(std::string_view name, std::string_view file) {
  if (!enabled_) return;
  text_ += "<LI> <OBJECT type=\"text/sitemap\">";
  text_ += HelpNameParam(name);
  text_ += HelpLocalParam(file);
  text_ += "</OBJECT>\r\n";
}

bool HelpContents::ListOnce(std::string_view file) { return listed_.emplace(file).second; }

std::string HelpContents::Finish(std::string_view footer) {
  std::string contents = std::move(text_);
  contents += "</UL>";
  contents += footer;
  contents += "</html>\n";
  text_.clear();
  listed_.clear();
  enabled_ = false;
  return contents;
}

std::string HelpListHead(bool site_properties) {
  std::string head(kHelpDoctype);
  head += "<head>\n";
  head += kHelpMetaLine;
  head +=
      "<meta name=\"GENERATOR\" content=\"Microsoft&reg; HTML Help Workshop 4.1\"><!-- Sitemap 1.0 "
      "-->";
  head += kHelpStyleLink;
  head += "</head>\n";
  head += HelpBodyStart("");
  if (site_properties) {
    head +=
        "<OBJECT type=\"text/site properties\"><param name=\"ImageType\" "
        "value=\"Folder\"></OBJECT>";
  }
  head += "<UL>";
  return head;
}

std::string HelpNameParam(std::string_view name) {
  return "<param name=\"Name\" value=\"" + std::string(name) + "\">";
}

std::string HelpLocalParam(std::string_view file) {
  return "<param name=\"Local\" value=\"" + std::string(file) + "\">";
}

}  // namespace vossik
