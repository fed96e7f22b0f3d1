#include "helpgen/parameter_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpgen/keyword_index.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// A descriptor whose section "Index" holds `section` and whose page holds
// `page`, with the shared type and the other sections that see-also links
// and guide pages resolve against.
std::string Descriptor(std::string_view section, std::string_view page) {
  return "<d><types><parameter uid=\"dirsrc\"><type>text</type></parameter></types><config>"
         "<section uid=\"index\" name=\"Index\">" +
         std::string(section) +
         "</section>"
         "<section uid=\"net\" name=\"Network\"><parameter uid=\"server\" "
         "name=\"Server%ld\"/></section>"
         "<section uid=\"dest\" name=\"Dest\"><parameter uid=\"dirdest\" "
         "name=\"DirDest\"/></section>"
         "</config><page>" +
         std::string(page) + "</page></d>";
}

std::string ReferenceEntries(std::string_view section, KeywordIndex* keywords = nullptr) {
  XmlDocument document;
  EXPECT_EQ(0, document.Parse(Descriptor(section, "")));
  KeywordIndex unused;
  const ParameterEntryWriter writer(document.Root(), HelpEntryStyle::kReference,
                                    keywords ? keywords : &unused);
  std::string out;
  writer.AppendEntries(document.Root()->FindElement("section"), HelpPageRef{"Title", "file.html"},
                       &out);
  return out;
}

// The entries of the page, with every definition documented as "[definition]".
std::string GuideEntries(std::string_view section, std::string_view page,
                         std::vector<std::string>* definitions) {
  XmlDocument document;
  EXPECT_EQ(0, document.Parse(Descriptor(section, page)));
  KeywordIndex keywords;
  ParameterEntryWriter writer(document.Root(), HelpEntryStyle::kGuide, &keywords);
  writer.SetDefinitionDocumenter(
      [definitions](const XmlNode* definition, std::string_view control, std::string* out) {
        *out += "[definition]";
        definitions->push_back(std::string(control) + ":" + definition->Name());
      });
  std::string out;
  writer.AppendEntries(document.Root()->FindElement("page"), HelpPageRef{"Title", "file.html"},
                       &out);
  return out;
}

constexpr std::string_view kEnd = "</TD></TR>\r\n</TABLE>\r\n</DD>";

TEST(ParameterEntry, ReferenceEntriesAreWrittenByteForByte) {
  struct Case {
    const char* parameter;
    std::string expected;
  };
  const Case cases[] = {
      {"<parameter uid=\"timeout\" "
       "name=\"Timeout\"><control>unitnumber</control><type>number</type>"
       "<unit>seconds</unit><allowed min=\"1\" "
       "max=\"65535\"/><description>Wait.</description></parameter>",
       "<DT><B><A NAME=\"timeout\"/><FONT CLASS=data>Timeout</FONT></B></DT><DD>Wait.<TABLE>\r\n"
       "<TR><TD WIDTH=200>Type:</TD><TD>number</TD></TR>"
       "<TR><TD><FONT CLASS=parampropertytitle>Range:</FONT></TD><TD>1 - "
       "65535&nbsp;seconds</TD></TR>\r\n" +
           std::string(kEnd)},
      // Numbered: one example line per entry; quoted entries keep their commas.
      {"<parameter uid=\"server\" name=\"server%ld\" "
       "numbered=\"true\"><example>a,\"b,c\"</example></parameter>",
       "<DT><B><A NAME=\"server\"/><FONT "
       "CLASS=data>server</B><I>x</I><B></FONT></B></DT><TABLE>\r\n"
       "<TR><TD>Example:</TD><TD><B>server0=a<BR>\r\nserver1=\"b,c\"<BR>\r\n" +
           std::string(kEnd)},
      {"<parameter uid=\"cell\" name=\"Cell%dx%d\" numbered=\"true\" "
       "subnumbered=\"true\"><default>7</default>"
       "</parameter>",
       "<DT><B><A NAME=\"cell\"/><FONT "
       "CLASS=data>Cell</B><I>x</I><B>x</B><I>y</I><B></FONT></B></DT><TABLE>\r\n"
       "<TR><TD>Example:</TD><TD><B>Cell0x0=7<BR>\r\n</TD></TR>\r\n<TR><TD>Default:</TD><TD>7" +
           std::string(kEnd)},
      {"<parameter uid=\"mode\" name=\"Mode\"><type>Select</type><allowed "
       "helplink=\"modes.html\">off|0,on|1"
       "</allowed><default>off</default></parameter>",
       "<DT><B><A NAME=\"mode\"/><FONT CLASS=data>Mode</FONT></B></DT><TABLE>\r\n"
       "<TR><TD WIDTH=200>Type:</TD><TD>Select</TD></TR>"
       "<TR><TD>Options:<BR><A HREF=\"modes.html\">(More Info)</A></TD><TD>off, on</TD></TR>\r\n"
       "<TR><TD>Example:</TD><TD><B>Mode=off</TD></TR>\r\n<TR><TD>Default:</TD><TD>off" +
           std::string(kEnd)},
      {"<parameter uid=\"recurse\" name=\"Recurse\"><type>bool</type><example>yes</example>"
       "<default showinhelp=\"false\">1</default></parameter>",
       "<DT><B><A NAME=\"recurse\"/><FONT CLASS=data>Recurse</FONT></B></DT><TABLE>\r\n"
       "<TR><TD WIDTH=200>Type:</TD><TD>bool</TD></TR>"
       "<TR><TD>Options:</TD><TD>On/Off, True/False, Yes/No, 1/0</TD></TR>\r\n"
       "<TR><TD>Example:</TD><TD><B>Recurse=yes" +
           std::string(kEnd)},
      {"<parameter uid=\"dirsrc\" name=\"DirSrc\"><example>/srv</example></parameter>",
       "<DT><B><A NAME=\"dirsrc\"/><FONT CLASS=data>DirSrc</FONT></B></DT><TABLE>\r\n"
       "<TR><TD WIDTH=200>Type:</TD><TD>text</TD></TR>"  // from the shared type
       "<TR><TD>Example:</TD><TD><B>DirSrc=/srv" +
           std::string(kEnd)},
      {"<parameter uid=\"note\" name=\"Note\"><control>statictext</control></parameter>"
       "<parameter uid=\"nameless\"><type>text</type></parameter>",
       ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ReferenceEntries(c.parameter)) << c.parameter;
}

TEST(ParameterEntry, DefaultRowFollowsShowInHelp) {
  const struct {
    const char* attribute;
    bool shown;
  } cases[] = {{"", true}, {" showinhelp=\"true\"", true}, {" showinhelp=\"false\"", false}};
  for (const auto& c : cases) {
    const std::string entry =
        ReferenceEntries(std::string("<parameter uid=\"p\" name=\"P\"><default") + c.attribute +
                         ">5</default></parameter>");
    EXPECT_EQ(c.shown, entry.find("Default:</TD><TD>5") != std::string::npos) << c.attribute;
  }
}

TEST(ParameterEntry, SeeAlsoLinksResolvedSettingsWithoutTrailingComma) {
  const struct {
    const char* see_also;
    std::string cell;
  } cases[] = {
      {"dest:dirdest, net:server",
       "<A HREF=\"config-Dest.html#dirdest\">DirDest</A>, <A "
       "HREF=\"config-Network.html#server\">Serverx</A>"},
      {"dest:dirdest+nosuch:thing", "<A HREF=\"config-Dest.html#dirdest\">DirDest</A>"},
      // Nothing resolves: the commas of the rows above stay where they are.
      {"nosuch:thing dirsrc", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        "<DT><B><A NAME=\"mode\"/><FONT CLASS=data>Mode</FONT></B></DT><TABLE>\r\n"
        "<TR><TD WIDTH=200>Type:</TD><TD>select</TD></TR>"
        "<TR><TD>Options:</TD><TD>a, b</TD></TR>\r\n"
        "</TD></TR>\r\n<TR><TD>See Also:</TD><TD>" +
            c.cell + std::string(kEnd),
        ReferenceEntries(std::string("<parameter uid=\"mode\" name=\"Mode\"><type>select</type>"
                                     "<allowed>a,b</allowed><seealso>") +
                         c.see_also + "</seealso></parameter>"))
        << c.see_also;
  }
}

TEST(ParameterEntry, GuideEntriesShowTheSettingsWindowsView) {
  // The page's element overrides the definition's name but not the anchor;
  // the image is named after the page's address.
  std::vector<std::string> definitions;
  EXPECT_EQ(
      "<DT><B><A NAME=\"timeout\"/><FONT CLASS=data>Wait "
      "for</FONT></B></DT><DD>Wait.[definition]<TABLE>\r\n"
      "<TR><TD WIDTH=200>Example interface:</TD><TD><IMG SRC=\"index_timeout.bmp\"></TD></TR>"
      "<TR><TD><FONT CLASS=parampropertytitle>Range:</FONT></TD><TD>1 - 60&nbsp;s</TD></TR>\r\n"
      "<TR><TD>Example:</TD><TD><B>10&nbsp;s</TD></TR>\r\n<TR><TD>Default:</TD><TD>10&nbsp;s" +
          std::string(kEnd) +
          "<DT><B><A NAME=\"on\"/><FONT CLASS=data>On</FONT></B></DT><TABLE>\r\n"
          "<TR><TD WIDTH=200></TD></TR><TR><TD>Options:</TD><TD>On/Off</TD></TR>\r\n"
          "<TR><TD>Example:</TD><TD><B>a,b" +
          std::string(kEnd) +
          "<DT><B><A NAME=\"server\"/><FONT "
          "CLASS=data>Server</B><I>x</I><B></FONT></B></DT><TABLE>\r\n"
          "<TR><TD>Example:</TD><TD><B>a,b" +
          std::string(kEnd),
      GuideEntries(
          "<parameter uid=\"timeout\" name=\"Timeout\"><type>number</type><unit>s</unit>"
          "<allowed min=\"1\" max=\"60\"/><default>10</default><description>Wait.</description>"
          "</parameter><parameter uid=\"on\" name=\"On\"/>",
          "<parameter uid=\"index:timeout\" name=\"Wait for\"><control>unitnumber</control>"
          "<definition/></parameter>"
          "<parameter uid=\"index:on\"><type>bool</type><example>a,b</example></parameter>"
          "<parameter uid=\"net:server\" "
          "numbered=\"true\"><example>\"a,b\",c</example></parameter>",
          &definitions));
  EXPECT_EQ(std::vector<std::string>{"unitnumber:definition"}, definitions);
}

TEST(ParameterEntry, NamesBecomeKeywordsOfThePage) {
  KeywordIndex keywords;
  keywords.SetCollecting(true);
  ReferenceEntries("<parameter uid=\"s\" name=\"Server%ldPort\" numbered=\"true\"/>", &keywords);
  ASSERT_EQ(2u, keywords.Keywords().size());
  EXPECT_EQ("server", keywords.Keywords()[0].word);
  EXPECT_EQ("port", keywords.Keywords()[1].word);
  EXPECT_EQ("file.html", keywords.Keywords()[1].mentions.at(0).file);
}

TEST(ParameterEntry, NumberPlaceholdersAreFilledInOrder) {
  EXPECT_EQ("a1b2c2", FillNumberPlaceholders("a%ldb%dc%d", "1", "2"));
  EXPECT_EQ("100%x", FillNumberPlaceholders("100%%%d", "x", ""));
  EXPECT_EQ("Plain%d", DisplayName("Plain%d", false, false));
}

}  // namespace
}  // namespace vossik
