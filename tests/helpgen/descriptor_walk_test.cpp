#include "helpgen/descriptor_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/xml_document.h"

namespace vossik {
namespace {

std::string Found(std::string_view xml, std::string_view name) {
  XmlDocument document;
  EXPECT_EQ(0, document.Parse(xml));
  std::string ids;
  for (const XmlNode* node : FindAllElements(document.Root(), name))
    ids += AttributeText(node, "id");
  return ids;
}

TEST(DescriptorWalk, FindsElementsInSearchOrder) {
  const struct {
    const char* xml;
    const char* expected;
  } cases[] = {
      {"<r><p id='1'/><x/><p id='2'/></r>", "12"},
      // Direct children win; the search then continues after the last one
      // found, into the subtrees of its later siblings only.
      {"<r><g><p id='a'/></g><p id='1'/><g><p id='b'/></g></r>", "1b"},
      {"<r><g><p id='a'/><p id='b'/></g><g><p id='c'/></g></r>", "ab"},
      {"<r><x/></r>", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Found(c.xml, "p")) << c.xml;
}

TEST(DescriptorWalk, IntroductionTakesTheFirstNonBlankText) {
  XmlDocument document;
  ASSERT_EQ(0, document.Parse("<s>\n  <parameter><description>Setting</description></parameter>\n"
                              "  <hint> Hint </hint>\n</s>"));
  const XmlNode* section = document.Root();
  EXPECT_EQ("Own text", IntroductionText(" Own text\r\n", section));
  // Only the section's own children count, not the description of a setting inside.
  EXPECT_EQ("Hint", IntroductionText(section->Text(), section));
}

}  // namespace
}  // namespace vossik
