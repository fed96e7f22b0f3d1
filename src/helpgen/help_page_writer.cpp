#include "helpgen/help_page_writer.h"

#include <cstdio>

#include "base/product_identity.h"

namespace vossik {

std::string HelpBuildDate(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm parts{};
  if (gmtime_r(&when, &parts) == nullptr) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%s, %ld %s %ld", kDays[parts.tm_wday],
                static_cast<long>(parts.tm_mday), kMonths[parts.tm_mon],
                static_cast<long>(parts.tm_year) + 1900);
  return text;
}

std::string HelpFooter(const ProductIdentity& identity, std::time_t build_time) {
  std::string footer = "<DIV CLASS=\"footer\">";
  footer += identity.maker;
  footer += " ";
  footer += identity.maker_web_address;
  footer += ".<BR>This content last built on ";
  footer += HelpBuildDate(build_time);
  footer += ".<BR>&nbsp;</DIV>";
  footer += "</body>\n";
  return footer;
}

std::string HelpBodyStart(std::string_view running_head) {
  std::string text = "<body TOPMARGIN=\"0\">\n";
  text += "<TABLE CLASS=\"buttonbarshade\" CELLSPACING=0><TR><TD>&nbsp;</TD></TR></TABLE>";
  text += "<TABLE CLASS=\"buttonbartable\" CELLSPACING=0>";
  text += "<TR ID=\"hdr\"><TD CLASS=\"runninghead\" NOWRAP>";
  text += running_head;
  text += "</TD></TR>";
  text += "</TABLE>";
  return text;
}

std::string HelpPage(std::string_view title, std::string_view running_head,
                     std::string_view heading, std::string_view body, std::string_view footer) {
  std::string page(kHelpDoctype);
  page += "<head>\n";
  page += kHelpMetaLine;
  page += "<title>";
  page += title;
  page += "</title>\n";
  page += kHelpStyleLink;
  page += "</head>\n";
  page += HelpBodyStart(running_head);
  if (!heading.empty()) {
    page += "<H1>";
    page += heading;
    page += "</H1>";
  }
  page += body;
  page += footer;
  page += "</html>\n";
  return page;
}

}  // namespace vossik
