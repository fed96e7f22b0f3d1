#include "settings/parameter_ref.h"

#include <gtest/gtest.h>

#include <climits>

#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr std::string_view kDescriptor = R"(<product>
  <config>
    <section uid="index" name="Index">
      <parameter uid="dirsrc" name="DirSrc"/>
      <parameter uid="level" name="IndexLevel"><allowed>Low High</allowed></parameter>
    </section>
    <section uid="log" name="Log"/>
    <section uid="index" name="Shadowed">
      <parameter uid="late" name="Late"/>
    </section>
  </config>
  <types>
    <parameter uid="dirsrc" name="Ignored" hint="from types"><default>/srv/www</default></parameter>
    <parameter uid="level"><default>High</default><allowed>A B</allowed></parameter>
    <parameter uid="loglevel" name="LogLevel"/>
  </types>
</product>)";

class ParameterRefTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, document_.Parse(kDescriptor)); }
  const XmlNode* Root() const { return document_.Root(); }
  XmlDocument document_;
};

TEST_F(ParameterRefTest, ResolvesSectionParameterAndType) {
  const struct {
    std::string_view address, section_uid, section_name;
    bool has_parameter, has_type;
  } cases[] = {
      {"index:dirsrc", "", "Index", true, true},     {"dirsrc", "index", "Index", true, true},
      {"loglevel", "", "default", false, true},  // defined only in types
      {"log:loglevel", "", "Log", false, true},  // a section that does not list it
      {"nosuch:dirsrc", "", "default", false, true}, {"index:nosuch", "", "Index", false, false},
      {"index:late", "", "Index", false, false},     // only the first matching section counts
      {"Index:dirsrc", "", "default", false, true},  // uids are case-sensitive
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const ParameterRef ref = ResolveParameter(Root(), c.address, c.section_uid);
    EXPECT_EQ(c.section_name, ref.section_name);
    EXPECT_EQ(c.has_parameter, ref.parameter != nullptr);
    EXPECT_EQ(c.has_type, ref.type != nullptr);
  }
  EXPECT_FALSE(ResolveParameter(nullptr, "index:dirsrc").IsDefined());
}

TEST_F(ParameterRefTest, PropertiesInheritFromTypesAndOverride) {
  ParameterRef ref = ResolveParameter(Root(), "index:dirsrc");
  EXPECT_EQ("DirSrc", *ref.Attribute("name"));
  EXPECT_EQ("from types", *ref.Attribute("hint"));
  EXPECT_EQ("/srv/www", *ref.ChildText("default"));
  EXPECT_EQ(nullptr, ref.Attribute("encrypted"));

  const ParameterRef level = ResolveParameter(Root(), "index:level");
  EXPECT_EQ("Low High", *level.ChildText("allowed"));  // the section's own wins
  EXPECT_EQ("High", *level.ChildText("default"));

  XmlNode page_parameter("parameter");
  page_parameter.AddAttribute("name", "FromPage");
  ref.override_element = &page_parameter;
  EXPECT_EQ("FromPage", *ref.Attribute("name"));
  EXPECT_EQ("DirSrc", *ref.Attribute("name", /*use_override=*/false));
}

TEST_F(ParameterRefTest, APageThatRenamesASettingKeepsItsKey) {
  ParameterRef ref = ResolveParameter(Root(), "index:dirsrc");
  XmlNode page_parameter("parameter");
  page_parameter.AddAttribute("name", "Website folder");
  page_parameter.AddAttribute("numbered", "true");
  ref.override_element = &page_parameter;
  std::string key;
  ASSERT_TRUE(ref.Key(-1, -1, &key));
  EXPECT_EQ("DirSrc", key);
}

TEST(ParameterRefKey, FormatsNumberedNames) {
  const struct {
    const char* name;  // nullptr: no name attribute
    const char* numbered;
    const char* subnumbered;
    int index, sub_index;
    const char* key;  // nullptr: no key
  } cases[] = {
      {"DirSrc", nullptr, nullptr, 3, 4, "DirSrc"},
      {"Entry%d", "true", nullptr, 3, -1, "Entry3"},
      {"Entry%d", "true", nullptr, -5, -1, "Entry0"},
      {"Entry%ld", "true", nullptr, 12, -1, "Entry12"},
      {"Cell%d_%ld", "true", "true", 2, 5, "Cell2_5"},
      {"Cell%d_%d", "true", "true", -1, -1, "Cell0_0"},
      {"Cell%d", "true", "yes", 2, 5, "Cell2"},
      {"Entry%d", "TRUE", nullptr, 3, -1, "Entry%d"},  // only exactly "true" numbers
      {"Entry", "true", nullptr, 3, -1, nullptr},
      {"%s%%%d", "true", nullptr, 7, -1, "%s%7"},  // never a printf format
      {"", nullptr, nullptr, -1, -1, nullptr},
      {nullptr, "true", nullptr, 1, -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name ? c.name : "(none)");
    XmlNode parameter("parameter");
    if (c.name) parameter.AddAttribute("name", c.name);
    if (c.numbered) parameter.AddAttribute("numbered", c.numbered);
    if (c.subnumbered) parameter.AddAttribute("subnumbered", c.subnumbered);
    ParameterRef ref;
    ref.parameter = &parameter;
    std::string key = "untouched";
    EXPECT_EQ(c.key != nullptr, ref.Key(c.index, c.sub_index, &key));
    EXPECT_EQ(c.key ? c.key : "untouched", key);
  }
}

TEST(ParameterRefRules, Switch) {
  for (const char* text : {"Yes", "TRUE", "on", "1", "12", "-3", "online", "y"}) {
    EXPECT_TRUE(ParseSwitch(text)) << text;
  }
  for (const char* text : {"Off", "0", "false", "", "maybe", "no", "0yes", " yes"}) {
    EXPECT_FALSE(ParseSwitch(text)) << text;
  }
}

}  // namespace
}  // namespace vossik
