#include "settings/value_rules.h"

#include <gtest/gtest.h>

#include "base/result_codes.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

constexpr std::string_view kDescriptor = R"(<tool>
  <types>
    <parameter uid="loglevel"><type>select</type><allowed>Off,Critical,General</allowed></parameter>
    <parameter uid="logtypes"><type>flags</type><allowed>Error,Warning,Message</allowed></parameter>
  </types>
  <config><section uid="index" name="Index">
    <parameter uid="length" name="Length"><type>number</type><allowed min="1" max="32"/></parameter>
    <parameter uid="count" name="Count"><type>number</type></parameter>
    <parameter uid="recurse" name="Recurse"><type>bool</type></parameter>
    <parameter uid="folder" name="Folder"><type>text</type></parameter>
    <parameter uid="loose" name="Loose"/>
  </section></config>
</tool>)";

class ValueRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(kResultOk, document_.Parse(kDescriptor)); }
  ValueRule Rule(std::string_view uid) { return RuleFor(ResolveParameter(document_.Root(), uid)); }
  XmlDocument document_;
};

TEST_F(ValueRulesTest, AcceptsWhatTheTypeAndTheAllowedElementAllow) {
  const struct {
    const char* uid;
    const char* value;
    bool accepted;
  } rows[] = {
      {"index:length", "2", true},
      {"index:length", " 32 ", true},
      {"index:length", "999", false},
      {"index:length", "0", false},
      {"index:length", "two", false},
      {"index:length", "", true},  // the default
      {"index:count", "-1,024", true},
      {"index:count", "12abc", false},
      {"index:recurse", "Yes", true},
      {"index:recurse", "0", true},
      {"index:recurse", "maybe", false},
      {"loglevel", "general", true},
      {"loglevel", "Loud", false},
      {"logtypes", "Error+Warning", true},
      {"logtypes", "All", true},
      {"logtypes", "Error+Noise", false},
      {"index:folder", "any text at all", true},
      {"index:loose", "anything", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.accepted, Accepts(Rule(row.uid), row.value)) << row.uid << "=" << row.value;
  }
}

TEST_F(ValueRulesTest, DescribesWhatItAccepts) {
  EXPECT_EQ("a whole number from 1 to 32", DescribeAccepted(Rule("index:length")));
  EXPECT_EQ("a whole number", DescribeAccepted(Rule("index:count")));
  EXPECT_EQ("one of Off, Critical, General", DescribeAccepted(Rule("loglevel")));
  EXPECT_EQ("All, None, or any of Error, Warning, Message joined by +",
            DescribeAccepted(Rule("logtypes")));
  EXPECT_EQ("on or off (also yes or no, true or false, 1 or 0)",
            DescribeAccepted(Rule("index:recurse")));
}

TEST_F(ValueRulesTest, NumbersAreBroughtIntoTheirRange) {
  const ValueRule length = Rule("index:length");
  EXPECT_EQ(32, ClampToRule(length, 999));
  EXPECT_EQ(1, ClampToRule(length, -5));
  EXPECT_EQ(7, ClampToRule(length, 7));
  EXPECT_EQ(1024, ParseRuleNumber("1,024"));
  EXPECT_EQ(std::nullopt, ParseRuleNumber("-"));
}

}  // namespace
}  // namespace vossik
