#include "helpgen/guide_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "helpgen/descriptor_walk.h"
#include "helpgen/help_run.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Writes the guide of every sheet of a descriptor into a temporary "hlp".
class GuideRun {
 public:
  GuideRun(std::string_view xml, GuideKind kind) {
    dir_.ChangeInto();
    EXPECT_EQ(0, document_.Parse(xml));
    run_.root = document_.Root();
    run_.product_name = "Vossik";
    run_.wording = WordingOf(kind);
    run_.footer = "<DIV CLASS=\"footer\"></DIV>";
    EXPECT_TRUE(run_.folder.Create());
    run_.contents.Start();
    GuidePages guide(&run_);
    for (const XmlNode* sheet : FindAllElements(document_.Root(), "sheet")) guide.WriteSheet(sheet);
    guide.WriteGuideIndex();
    contents_ = run_.contents.Finish("");
  }

  std::string Page(std::string_view file) const { return ReadFile(dir_.Path() / "hlp" / file); }
  bool Exists(std::string_view file) const {
    return std::filesystem::exists(dir_.Path() / "hlp" / file);
  }
  const std::string& Contents() const { return contents_; }

 private:
  TempDir dir_;
  XmlDocument document_;
  HelpRun run_;
  std::string contents_;
};

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

std::string LinkRow(std::string_view file, std::string_view text) {
  return "<TR><TD WIDTH=25%></TD><TD  ALIGN=right VALIGN=center WIDTH=64><IMG VALIGN=center "
         "SRC=\"bullet.gif\">"
         "</TD><TD ALIGN=left VALIGN=center ><A HREF=\"" +
         std::string(file) + "\">" + std::string(text) + "</A></TD><TD ></TD></TR>";
}

constexpr std::string_view kGeneralSheet =
    "<d><config><section uid='index' name='Index'><parameter uid='dirsrc' "
    "name='DirSrc'><control>edit</control>"
    "<type>text</type><description>Site folder</description></parameter></section></config>"
    "<sheet name='General'><description> Basic settings </description>"
    "<page name='Main' uid='main'><description>Where the site is</description><parameter "
    "uid='index:dirsrc'/></page>"
    "<page name='Advanced' uid='advanced'><group name='Log'><description>Logging</description>"
    "<parameter uid='index:dirsrc' name='Other'/></group></page>"
    "</sheet></d>";

TEST(GuidePages, SheetGetsAnOverviewAndAPagePerPage) {
  const GuideRun guide(kGeneralSheet, GuideKind::kAdministration);
  for (const char* file :
       {"admin-General.html", "admin-General-main.html", "admin-General-advanced.html"}) {
    EXPECT_TRUE(guide.Exists(file)) << file;
  }
  EXPECT_NE(
      std::string::npos,
      guide.Page("admin-index.html")
          .find("<H1>Index</H1><UL><LI><A HREF=\"admin-General.html\">General Pages</A></UL>"));

  const std::string overview = guide.Page("admin-General.html");
  EXPECT_NE(std::string::npos,
            overview.find("<title>Vossik Administration Guide - General Pages</title>"));
  EXPECT_NE(std::string::npos,
            overview.find("<H1>General</H1><P>Basic settings</P><P>The following pages are found "
                          "in this section:</P>"
                          "<CENTER><TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=100%>" +
                          LinkRow("admin-General-main.html", "General - Main") +
                          LinkRow("admin-General-advanced.html", "General - Advanced") +
                          "</TABLE></CENTER>"));

  EXPECT_NE(std::string::npos,
            guide.Page("admin-General-advanced.html")
                .find("<H1>Advanced</H1><DL><IMG SRC=\"advanced.bmp\">"
                      "<H4><FONT SIZE=+1>&nbsp;&nbsp;&nbsp;Log</FONT>&nbsp;Group</H4><DL>Logging"
                      "<DT><B><A NAME=\"dirsrc\"/><FONT CLASS=data>Other</FONT></B></DT><DD>Site "
                      "folder<TABLE>\r\n"
                      "<TR><TD WIDTH=200>Example interface:</TD><TD><IMG "
                      "SRC=\"index_dirsrc.bmp\"></TD></TR>"
                      "</TD></TR>\r\n</TABLE>\r\n</DD></DL><BR></DL><BR><DIV"));
  EXPECT_NE(std::string::npos,
            guide.Page("admin-General-main.html").find("<DL><P>Where the site is</P>"));

  EXPECT_NE(
      std::string::npos,
      guide.Contents().find(
          "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"General\">"
          "<param name=\"Local\" value=\"admin-General.html\"><param name=\"ImageNumber\" "
          "value=\"1\">"
          "</OBJECT>\r\n<UL>\r\n"
          "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"General - Main\">"
          "<param name=\"Local\" value=\"admin-General-main.html\"></OBJECT>\r\n"
          "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"General - Advanced\">"
          "<param name=\"Local\" value=\"admin-General-advanced.html\"></OBJECT>\r\n</UL>\r\n"));
}

TEST(GuidePages, UserGuideTitles) {
  const GuideRun guide(kGeneralSheet, GuideKind::kUser);
  EXPECT_NE(std::string::npos, guide.Page("admin-General-main.html")
                                   .find("<title>Vossik User Guide - General - Main</title>"));
  EXPECT_NE(
      std::string::npos,
      guide.Page("admin-General.html").find("<title>Vossik User Guide - General Pages</title>"));
  const std::string index = guide.Page("admin-index.html");
  EXPECT_NE(std::string::npos, index.find("<title>Vossik User Guide Index</title>"));
  EXPECT_NE(std::string::npos, index.find("NOWRAP>Vossik&nbsp;User&nbsp;Guide</TD>"));
}

// The pop-up of "entries" shows a page whose setting is "entries" again.
constexpr std::string_view kPopupLoop =
    "<d><types><parameter uid='entries' name='Entries'><control>popupbutton</control>"
    "<definition><sheet name='Entry'><page name='Entry' uid='entry'><parameter "
    "uid='entries'/></page></sheet>"
    "</definition></parameter></types>"
    "<sheet name='General'><page name='One' uid='one'><parameter uid='entries'/></page>"
    "<page name='Two' uid='two'><parameter uid='entries'/></page></sheet></d>";

TEST(GuidePages, PopupPageIsListedOnceAndNeverDocumentsItselfAgain) {
  const GuideRun guide(kPopupLoop, GuideKind::kAdministration);
  const std::string popup_link = "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>" +
                                 LinkRow("admin-Entry-entry.html", "Entry - Entry") + "</TABLE>";
  EXPECT_NE(std::string::npos, guide.Page("admin-General-one.html").find(popup_link));
  EXPECT_NE(std::string::npos, guide.Page("admin-General-two.html").find(popup_link));
  EXPECT_EQ(1u, Count(guide.Contents(), "admin-Entry-entry.html"));

  const std::string popup = guide.Page("admin-Entry-entry.html");
  EXPECT_NE(std::string::npos, popup.find("<FONT CLASS=data>Entries</FONT>"));
  EXPECT_EQ(std::string::npos, popup.find("HREF=\"admin-Entry-entry.html\""));
}

TEST(GuidePages, ListDefinitionDocumentsIconsHeadingsButtonsAndMenus) {
  const GuideRun guide(
      "<d><sheet name='S'><page name='P' uid='p'><parameter uid='list' "
      "name='List'><control>cfglist</control>"
      "<description>The list</description>"
      "<definition>"
      "<icons><icon name='ok.bmp'><description>Fine</description></icon><icon "
      "name='bad.bmp'>Broken</icon></icons>"
      "<headings><title name='Name'>The name<description>File name</description></title>"
      "<title name='Size'>Bytes</title></headings>"
      "<actions><option button='Add entry' entryviewer='ev'><description>Adds "
      "one</description></option>"
      "<option menu='Remove all'><hint>Removes</hint><option menu='Sub "
      "one'><description>First</description>"
      "</option></option></actions>"
      "<entryviewer uid='ev'><sheet name='Edit'><page name='Entry' "
      "uid='entry'/></sheet></entryviewer>"
      "</definition></parameter></page></sheet></d>",
      GuideKind::kAdministration);
  const std::string page = guide.Page("admin-S-p.html");
  EXPECT_NE(
      std::string::npos,
      page.find(
          "<FONT CLASS=data>List</FONT></B></DT><DD>The list<TABLE>\r\n"
          "<TR><TD VALIGN=top WIDTH=200>Icon key:</TD><TD VALIGN=top>"
          "<IMG SRC=\"ok.bmp\">&nbsp;-&nbsp;Fine<BR><IMG "
          "SRC=\"bad.bmp\">&nbsp;-&nbsp;Broken</TD></TR>\r\n"
          "<TR><TD VALIGN=top WIDTH=200>Column Headings:<BR>(Click the heading to sort by the "
          "column)"
          "</TD><TD VALIGN=top><TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>"
          "<TR><TD><B>Name</B></TD><TD>File name</TD></TR>"
          "<TR><TD><B>Size</B></TD><TD>Bytes</TD></TR>\r\n</TABLE>\r\n</TD></TR>\r\n"
          "<TR><TD VALIGN=top WIDTH=200>Buttons:<BR>(Underneath control)</TD><TD VALIGN=top>"
          "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>"
          "<TR><TD><B>Add&nbsp;entry</B></TD><TD>Adds one</TD></TR>\r\n"
          "<TR><TD></TD><TD VALIGN=center>Clicking this opens the page(s):"
          "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>" +
          LinkRow("admin-Edit-entry.html", "Edit - Entry") +
          "</TABLE></TD></TR>\r\n</TABLE>\r\n</TD></TR>\r\n"
          "<TR><TD VALIGN=top WIDTH=200>Context Menu:<BR>(Right click selected items)</TD>"
          "<TD VALIGN=top><TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>"
          "<TR><TD><B>Remove&nbsp;all</B></TD><TD>Removes.&nbsp;Submenu options:<BR>"
          "<TABLE CELLSPACING=0 CELLPADDING=0 BORDER=0>"
          "<TR><TD><B>Sub&nbsp;one</B></TD><TD>First</TD></TR></TD></TR>\r\n"
          "</TABLE></TD></TR></TD></TR>\r\n</TABLE>\r\n</TD></TR>\r\n</TABLE>\r\n<TABLE>\r\n"))
      << page;
  EXPECT_TRUE(guide.Exists("admin-Edit-entry.html"));
}

}  // namespace
}  // namespace vossik
