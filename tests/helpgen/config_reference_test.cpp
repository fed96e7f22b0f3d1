#include "helpgen/config_reference.h"

#include <gtest/gtest.h>

#include <string>

#include "helpgen/help_run.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

// The body of a written page: what lies between its heading and its footer.
std::string Body(const std::string& page) {
  const std::size_t start = page.find("</H1>");
  const std::size_t end = page.find("<DIV CLASS=\"footer\">");
  if (start == std::string::npos || end == std::string::npos) return "(no body)";
  return page.substr(start + 5, end - start - 5);
}

TEST(ConfigReference, WritesAnIndexAndAPagePerSection) {
  TempDir dir;
  dir.ChangeInto();
  XmlDocument document;
  ASSERT_EQ(0, document.Parse(
                   "<d><config>"
                   "<section uid='empty' name='Empty'>\n  Only an introduction.\n  <hint>Not "
                   "this</hint>\n</section>"
                   "<section uid='log' name='Log'><hint>The log</hint>"
                   "<parameter uid='level' name='Level'><type>text</type></parameter></section>"
                   "</config></d>"));
  HelpRun run;
  run.root = document.Root();
  run.product_name = "Vossik";
  run.footer = "<DIV CLASS=\"footer\"></DIV>";
  ASSERT_TRUE(run.folder.Create());
  run.contents.Start();
  WriteConfigReference(&run);

  const std::string index = ReadFile("hlp/config-index.html");
  EXPECT_NE(std::string::npos, index.find("<title>Vossik Configuration Reference Index</title>"));
  EXPECT_NE(std::string::npos, index.find("NOWRAP>Vossik&nbsp;Configuration&nbsp;Reference</TD>"));
  EXPECT_EQ(
      "<UL><LI><A HREF=\"config-Empty.html\">[Empty]</A><LI><A "
      "HREF=\"config-Log.html\">[Log]</A></UL>",
      Body(index));

  const std::string empty = ReadFile("hlp/config-Empty.html");
  EXPECT_NE(std::string::npos,
            empty.find("<title>Vossik Configuration Reference - Empty Section</title>"));
  EXPECT_NE(std::string::npos,
            empty.find("NOWRAP>Vossik&nbsp;Configuration&nbsp;Reference [Empty]</TD>"));
  EXPECT_NE(std::string::npos, empty.find("<H1>[Empty]</H1>"));
  EXPECT_EQ("<P>Only an introduction.</P>", Body(empty));

  EXPECT_EQ(
      "<P>The log</P><P>The following settings can be used in this section:</p><DL>"
      "<DT><B><A NAME=\"level\"/><FONT CLASS=data>Level</FONT></B></DT><TABLE>\r\n"
      "<TR><TD WIDTH=200>Type:</TD><TD>text</TD></TR></TD></TR>\r\n</TABLE>\r\n</DD></DL><BR>",
      Body(ReadFile("hlp/config-Log.html")));

  EXPECT_NE(std::string::npos,
            run.contents.Finish("").find(
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"[Log]\">"
                "<param name=\"Local\" value=\"config-Log.html\"><param name=\"ImageNumber\" "
                "value=\"41\">"
                "</OBJECT>\r\n"));
}

}  // namespace
}  // namespace vossik
