#include "helpgen/help_project.h"

#include <gtest/gtest.h>

#include <string>

#include "base/product_identity.h"
#include "helpgen/help_contents.h"
#include "helpgen/keyword_index.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

TEST(HelpProject, ProjectFileNamesTheCompiledHelp) {
  EXPECT_EQ(
      "[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=vossik.chm\r\n"
      "Contents file=Table of Contents.hhc\r\nDefault topic=default.htm\r\nDisplay compile "
      "progress=No\r\n"
      "Full-text search=Yes\r\nIndex file=Index.hhk\r\nLanguage=0x409 English (United States)\r\n"
      "Title=Vossik Help\r\n\r\n[INFOTYPES]\r\n",
      HelpProjectFile("vossik", "Vossik"));
}

TEST(HelpProject, WelcomePageLinksTheConfigurationReferenceOnlyWhenWritten) {
  const std::string config_row =
      "<TR><TD></TD><TD VALIGN=center ><IMG VALIGN=center  SRC=\"bullet.gif\"></TD><TD "
      "VALIGN=center >"
      "<A HREF=\"config-index.html\">Configuration by directly editing the Vossik configuration "
      "file</A>"
      "</TD><TD></TD></TR>";
  const std::string admin = HelpWelcomePage(
      VossikIdentity(), "vossik", WordingOf(GuideKind::kAdministration), true, "<FOOTER>");
  EXPECT_NE(
      std::string::npos,
      admin.find(
          "<H1><CENTER>Welcome</CENTER></H1><CENTER><IMG SRC=\"logo.gif\"></CENTER>"
          "<CENTER><P>Please select the area for which you need assistance:</P></CENTER>"
          "<CENTER><TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=100%>"
          "<TR><TD WIDTH=40%></TD><TD  VALIGN=center ><IMG VALIGN=center SRC=\"bullet.gif\"></TD>"
          "<TD VALIGN=center ><A HREF=\"gettingstarted.html\">Getting Started</A></TD><TD "
          "></TD></TR>"));
  EXPECT_NE(std::string::npos,
            admin.find(
                "<A HREF=\"running.html\">Running Vossik</A></TD><TD></TD></TR>"
                "<TR><TD></TD><TD VALIGN=center ><IMG VALIGN=center  SRC=\"bullet.gif\"></TD>"
                "<TD VALIGN=center ><A HREF=\"configuring.html\">Configuring "
                "Vossik</A></TD><TD></TD></TR>"
                "<TR><TD></TD><TD VALIGN=center ><IMG VALIGN=center  SRC=\"bullet.gif\"></TD>"
                "<TD VALIGN=center ><A HREF=\"admin-index.html\">"
                "Administration using the Windows Graphical User Interface</A></TD><TD></TD></TR>" +
                config_row + "</TABLE></CENTER><BR><BR><CENTER><P><A HREF=\"" +
                VossikIdentity().maker_web_address +
                "/vossik/\">Vossik on the web</A></P></CENTER><FOOTER>"));

  const std::string user =
      HelpWelcomePage(VossikIdentity(), "vossik", WordingOf(GuideKind::kUser), false, "");
  EXPECT_NE(std::string::npos, user.find("<A HREF=\"admin-index.html\">The User Interface</A>"));
  EXPECT_EQ(std::string::npos, user.find("config-index.html"));
}

TEST(HelpProject, ProductDocumentationListsEachGroupWithItsPages) {
  testing::TempDir dir;
  const auto piml = dir.Write("product.piml",
                              "<product><documentation><pages>"
                              "<group name='Tutorials'><page name='First site' file='first.html'/>"
                              "<page name='Templates' file='templates.html'/></group>"
                              "<group name='Empty'/>"
                              "</pages></documentation></product>");
  HelpContents contents;
  contents.Start();
  AddProductDocumentation(piml, &contents);
  AddProductDocumentation(dir.Path() / "missing.piml", &contents);
  const std::string text = contents.Finish("");
  EXPECT_NE(
      std::string::npos,
      text.find("<UL>"
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Tutorials\">"
                "<param name=\"Local\" value=\"first.html\"><param name=\"ImageNumber\" "
                "value=\"1\"></OBJECT><UL>"
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"First site\">"
                "<param name=\"Local\" value=\"first.html\"></OBJECT>\r\n"
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Templates\">"
                "<param name=\"Local\" value=\"templates.html\"></OBJECT>\r\n</UL>"
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Empty\">"
                "<param name=\"ImageNumber\" value=\"1\"></OBJECT><UL></UL></UL>"));
}

TEST(HelpProject, KeywordIndexFileListsEveryMention) {
  KeywordIndex keywords;
  keywords.SetCollecting(true);
  keywords.Add("Log page", "log.html", "Log");
  keywords.Add("Other page", "other.html", "log");
  EXPECT_EQ(HelpListHead(false) +
                "<LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"log\">\r\n"
                "<param name=\"Name\" value=\"Log page\">\r\n<param name=\"Local\" "
                "value=\"log.html\">\r\n"
                "<param name=\"Name\" value=\"Other page\">\r\n<param name=\"Local\" "
                "value=\"other.html\">\r\n"
                "</OBJECT>\r\n</UL><FOOTER></html>\n",
            KeywordIndexFile(keywords, "<FOOTER>"));
  EXPECT_EQ(
      "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><html>\n<head>\n"
      "<META HTTP-EQUIV=\"Content-Type\" Content=\"text/html; charset=UTF-8\">"
      "<meta name=\"GENERATOR\" content=\"Microsoft&reg; HTML Help Workshop 4.1\"><!-- Sitemap 1.0 "
      "-->"
      "<LINK type=text/css  rel=stylesheet href=\"style.css\"></head>\n<body TOPMARGIN=\"0\">\n"
      "<TABLE CLASS=\"buttonbarshade\" CELLSPACING=0><TR><TD>&nbsp;</TD></TR></TABLE>"
      "<TABLE CLASS=\"buttonbartable\" CELLSPACING=0><TR ID=\"hdr\"><TD CLASS=\"runninghead\" "
      "NOWRAP></TD></TR>"
      "</TABLE><UL>",
      HelpListHead(false));
}

}  // namespace
}  // namespace vossik
