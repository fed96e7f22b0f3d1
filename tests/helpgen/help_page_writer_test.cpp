#include "helpgen/help_page_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "base/product_identity.h"

namespace vossik {
namespace {

// Puts the process in a time zone five hours east of GMT for one test.
class EasternTimeZone {
 public:
  EasternTimeZone() {
    if (const char* tz = std::getenv("TZ")) previous_ = tz;
    setenv("TZ", "XST-5", 1);
    tzset();
  }
  ~EasternTimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> previous_;
};

TEST(HelpPageWriter, BuildDateIsTheGmtDay) {
  const EasternTimeZone zone;  // 23:30 GMT is the next day there
  const struct {
    std::time_t when;
    const char* expected;
  } cases[] = {
      {1795217400, "Fri, 20 Nov 2026"},  // 23:30 GMT
      {0, "Thu, 1 Jan 1970"},
      {951782400, "Tue, 29 Feb 2000"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, HelpBuildDate(c.when)) << c.when;
}

TEST(HelpPageWriter, PageIsFramedByteForByte) {
  ProductIdentity identity;
  identity.maker = "Orrindale";
  identity.maker_web_address = "https://orrindale.example";
  EXPECT_EQ(
      "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><html>\n<head>\n"
      "<META HTTP-EQUIV=\"Content-Type\" Content=\"text/html; charset=UTF-8\">"
      "<title>Title</title>\n<LINK type=text/css  rel=stylesheet href=\"style.css\"></head>\n"
      "<body TOPMARGIN=\"0\">\n<TABLE CLASS=\"buttonbarshade\" "
      "CELLSPACING=0><TR><TD>&nbsp;</TD></TR></TABLE>"
      "<TABLE CLASS=\"buttonbartable\" CELLSPACING=0><TR ID=\"hdr\"><TD CLASS=\"runninghead\" "
      "NOWRAP>Head</TD></TR>"
      "</TABLE><H1>Heading</H1><P>Body</P>"
      "<DIV CLASS=\"footer\">Orrindale https://orrindale.example.<BR>This content last built on "
      "Fri, 20 Nov 2026.<BR>&nbsp;</DIV></body>\n</html>\n",
      HelpPage("Title", "Head", "Heading", "<P>Body</P>", HelpFooter(identity, 1795217400)));
}

}  // namespace
}  // namespace vossik
