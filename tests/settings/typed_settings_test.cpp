#include "settings/typed_settings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "settings/secret_cipher.h"
#include "settings/settings_store.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

using Items = std::vector<std::string>;

constexpr std::string_view kDescriptor = R"(<product>
  <types>
    <parameter uid="loglevel" name="LogLevel"><allowed>Off Critical General</allowed><default>General</default></parameter>
    <parameter uid="logtypes" name="LogTypes"><allowed>Error, Warning, Message</allowed><default>Error|Message</default></parameter>
    <parameter uid="dirsrc"><default>/srv/www</default></parameter>
  </types>
  <config>
    <section uid="index" name="Index">
      <parameter uid="dirsrc" name="DirSrc"/>
      <parameter uid="count" name="Count"><default>7</default></parameter>
      <parameter uid="size" name="Size"><default>1,024</default></parameter>
      <parameter uid="recurse" name="Recurse"><default>yes</default></parameter>
      <parameter uid="mode" name="Mode"><allowed>Off Critical General</allowed><default>Critical</default></parameter>
      <parameter uid="plain" name="Plain"/>
      <parameter uid="types" name="Types"><default>htm,"a,b"</default></parameter>
      <parameter uid="password" name="Password" encrypted="true"/>
      <parameter uid="entry" name="Entry%d" numbered="true"/>
      <parameter uid="label" name="Label%d" numbered="true"/>
      <parameter uid="cell" name="Cell%d_%d" numbered="true" subnumbered="true"/>
      <parameter uid="filled" name="Filled%ld" numbered="true"><default>x</default></parameter>
      <parameter uid="broken" name="Broken" numbered="true"><default>5</default></parameter>
    </section>
    <section uid="log" name="Log"/>
  </config>
</product>)";

class TypedSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, descriptor_.Parse(kDescriptor)); }

  void UseFile(std::string_view text) {
    store_.Clear();
    ASSERT_EQ(0, store_.Parse(text));
  }
  const XmlNode* Root() const { return descriptor_.Root(); }

  std::string Stored(std::string_view section, std::string_view key) const {
    std::string value;
    return store_.GetValue(section, key, "<absent>", &value) == 0 ? value : "<absent>";
  }

  int32_t Number(std::string_view uid, int* result = nullptr) const {
    int32_t value = -999;
    const int r = GetNumber(store_, Root(), {uid}, &value);
    if (result) *result = r;
    return value;
  }

  XmlDocument descriptor_;
  SettingsStore store_;
};

TEST_F(TypedSettingsTest, ResolvesSectionsAndDefaults) {
  UseFile("[Default]\nLogLevel=Critical\nDirSrc=/wrong\n[Index]\nDirSrc=c:\\web\n");
  std::string text;
  EXPECT_EQ(0, GetString(store_, Root(), {"index:dirsrc"}, &text));
  EXPECT_EQ("c:\\web", text);
  EXPECT_EQ(0, GetString(store_, Root(), {"dirsrc", "index"}, &text));
  EXPECT_EQ("c:\\web", text);
  // A parameter only in types, addressed without ":", lives in [Default].
  EXPECT_EQ(0, GetString(store_, Root(), {"loglevel"}, &text));
  EXPECT_EQ("Critical", text);

  // A section parameter without a default takes the types default.
  UseFile("[Index]\nCount=1\n");
  EXPECT_EQ(-1, GetString(store_, Root(), {"index:dirsrc"}, &text));
  EXPECT_EQ("/srv/www", text);

  text = "untouched";
  EXPECT_EQ(-2, GetString(store_, Root(), {"index:nosuch"}, &text));
  EXPECT_EQ(-2, GetString(store_, Root(), {"index:broken"}, &text));
  EXPECT_EQ("untouched", text);
  EXPECT_EQ(-2, SetString(store_, Root(), {"index:broken"}, "v"));
}

TEST_F(TypedSettingsTest, WritesIntoTheResolvedSection) {
  UseFile("[Default]\nLogLevel=Off\n[Index]\nCount=1\n");
  EXPECT_EQ(0, SetString(store_, Root(), {"index:dirsrc"}, "/web"));
  EXPECT_EQ(0, SetString(store_, Root(), {"loglevel"}, "Full"));
  EXPECT_EQ(0, SetNumber(store_, Root(), {"index:count"}, -4));
  EXPECT_EQ("[Default]\nLogLevel=Full\n\n[Index]\nCount=-4\nDirSrc=/web\n\n\n", store_.Serialize());
}

TEST_F(TypedSettingsTest, StringsAreQuotedWhenNeeded) {
  UseFile("[Index]\nCount=1\n");
  for (const std::string value : {"a\nb", "tab\there", "say \"hi\"", "c:\\dir\\", "plain, text"}) {
    SCOPED_TRACE(value);
    ASSERT_EQ(0, SetString(store_, Root(), {"index:plain"}, value));
    std::string back;
    EXPECT_EQ(0, GetString(store_, Root(), {"index:plain"}, &back));
    EXPECT_EQ(value, back);
  }
  EXPECT_EQ(0, SetString(store_, Root(), {"index:plain"}, "a\nb"));
  EXPECT_EQ("\"a\\nb\"", Stored("Index", "Plain"));
}

TEST_F(TypedSettingsTest, NumbersReadTheValueAsStored) {
  const struct {
    const char* line;
    int32_t value;
  } cases[] = {
      {"Count=1,024", 1024},
      {"Count=-12abc", -12},
      {"Count= 5", 0},
      {"Count=42 ", 42},
      {"Count=abc", 0},
      {"Count=-", 0},
      {"Count=99999999999", INT32_MAX},
  };
  for (const auto& c : cases) {
    UseFile(std::string("[Index]\n") + c.line + "\n");
    int result = 0;
    EXPECT_EQ(c.value, Number("index:count", &result)) << c.line;
    EXPECT_EQ(0, result);
  }

  UseFile("[Index]\nOther=1\n");
  int result = 0;
  EXPECT_EQ(7, Number("index:count", &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(1, Number("index:size"));  // a default is read without skipping commas
  EXPECT_EQ(0, Number("index:plain"));

  // Unresolvable: GetNumber stores the default, GetLong leaves its output alone.
  EXPECT_EQ(5, Number("index:broken", &result));
  EXPECT_EQ(-2, result);
  EXPECT_EQ(0, Number("index:nosuch"));
  int32_t value = 77;
  EXPECT_EQ(-2, GetLong(store_, Root(), {"index:broken"}, &value));
  EXPECT_EQ(77, value);
  UseFile("[Index]\nCount=1,5\n");
  EXPECT_EQ(0, GetLong(store_, Root(), {"index:count"}, &value));
  EXPECT_EQ(15, value);
}

TEST_F(TypedSettingsTest, Switches) {
  const struct {
    const char* stored;
    bool value;
  } cases[] = {
      {"Yes", true},  {"TRUE", true}, {"on", true},     {"1", true},      {"12", true},
      {"Off", false}, {"0", false},   {"false", false}, {"maybe", false}, {" yes", false},
  };
  for (const auto& c : cases) {
    UseFile(std::string("[Index]\nRecurse=") + c.stored + "\n");
    bool value = !c.value;
    EXPECT_EQ(0, GetSwitch(store_, Root(), {"index:recurse"}, &value));
    EXPECT_EQ(c.value, value) << c.stored;
  }
  // An emptied value is the empty text, which is false; a missing one is the default.
  UseFile("[Index]\nRecurse=1\n");
  store_.SetValue("Index", "Recurse", "");
  bool value = true;
  EXPECT_EQ(0, GetSwitch(store_, Root(), {"index:recurse"}, &value));
  EXPECT_FALSE(value);
  UseFile("[Index]\nCount=1\n");
  EXPECT_EQ(-1, GetSwitch(store_, Root(), {"index:recurse"}, &value));
  EXPECT_TRUE(value);
}

TEST_F(TypedSettingsTest, Choices) {
  const struct {
    const char* stored;
    int32_t index;
  } cases[] = {{"general", 2}, {"Off", 0}, {"CRITICAL", 1}, {"unknown", 0}, {" General ", 2}};
  for (const auto& c : cases) {
    UseFile(std::string("[Index]\nMode=") + c.stored + "\n");
    int32_t index = -1;
    EXPECT_EQ(0, GetChoice(store_, Root(), {"index:mode"}, &index));
    EXPECT_EQ(c.index, index) << c.stored;
  }
  UseFile("[Index]\nCount=1\n");
  int32_t index = -1;
  EXPECT_EQ(-1, GetChoice(store_, Root(), {"index:mode"}, &index));
  EXPECT_EQ(1, index);
  index = -1;
  EXPECT_EQ(-2, GetChoice(store_, Root(), {"index:count"}, &index));  // no allowed list
  EXPECT_EQ(-1, index);
}

TEST_F(TypedSettingsTest, Flags) {
  const struct {
    const char* stored;
    uint32_t mask;
  } cases[] = {
      {"Warning|Message", 12},
      {"All", 16777215},
      {"all", 16777215},
      {"None", 0},
      {"error,error", 2},
      {"Error+Bogus;Message", 10},
      {"(Warning) & \"Error\"", 6},
  };
  for (const auto& c : cases) {
    UseFile(std::string("[Default]\nLogTypes=") + c.stored + "\n");
    uint32_t mask = 99;
    EXPECT_EQ(0, GetFlags(store_, Root(), {"logtypes"}, &mask));
    EXPECT_EQ(c.mask, mask) << c.stored;
  }
  UseFile("[Index]\nCount=1\n");
  uint32_t mask = 0;
  EXPECT_EQ(-1, GetFlags(store_, Root(), {"logtypes"}, &mask));
  EXPECT_EQ(10u, mask);
}

TEST_F(TypedSettingsTest, ListsReadQuotedItemsWhole) {
  const struct {
    const char* stored;
    Items items;
  } cases[] = {
      {R"("a,b",c)", {"a,b", "c"}},
      {"a, b,,c,", {"a", " b", "c"}},
      {R"("x\"y",z)", {"x\"y", "z"}},
      {R"("c:\\web\\","d:\\x")", {"c:\\web\\", "d:\\x"}},
  };
  for (const auto& c : cases) {
    UseFile(std::string("[Index]\nTypes=") + c.stored + "\n");
    Items items;
    EXPECT_EQ(0, GetList(store_, Root(), {"index:types"}, &items));
    EXPECT_EQ(c.items, items) << c.stored;
  }
  UseFile("[Index]\nCount=1\n");
  Items items;
  EXPECT_EQ(-1, GetList(store_, Root(), {"index:types"}, &items));
  EXPECT_EQ((Items{"htm", "a,b"}), items);
}

TEST_F(TypedSettingsTest, ListsWriteAndReadBack) {
  const struct {
    Items items;
    const char* stored;
  } cases[] = {
      {{"x,y", "z"}, R"("x,y",z)"},
      {{"z", "x,y"}, R"(z,"x,y")"},
      {{"a\nb", "c"}, R"("a\nb",c)"},
      {{"c:\\web\\", "d,e\\"}, R"("c:\\web\\","d,e\\")"},
  };
  for (const auto& c : cases) {
    UseFile("[Index]\nCount=1\n");
    ASSERT_EQ(0, SetList(store_, Root(), {"index:types"}, c.items));
    EXPECT_EQ(c.stored, Stored("Index", "Types"));
    Items back;
    EXPECT_EQ(0, GetList(store_, Root(), {"index:types"}, &back));
    EXPECT_EQ(c.items, back);
  }
  // An empty list empties an existing value and creates no missing one.
  EXPECT_EQ(0, SetList(store_, Root(), {"index:types"}, {}));
  EXPECT_EQ("", Stored("Index", "Types"));
  EXPECT_EQ(0, SetList(store_, Root(), {"index:plain"}, {}));
  EXPECT_EQ("<absent>", Stored("Index", "Plain"));
}

TEST_F(TypedSettingsTest, SecretsAreStoredEncryptedAndQuotedWhenMultiline) {
  UseFile("[Index]\nCount=1\n");
  const std::string long_secret(100, 's');
  for (const std::string& plain : {std::string("hunter2"), long_secret}) {
    ASSERT_EQ(0, SetSecret(store_, Root(), {"index:password"}, plain));
    std::string back;
    EXPECT_EQ(0, GetSecret(store_, Root(), {"index:password"}, &back));
    EXPECT_EQ(plain, back);
  }
  // Two blocks: a quoted value whose line feed is escaped.
  const std::string stored = Stored("Index", "Password");
  EXPECT_TRUE(stored.starts_with("\"499602D2")) << stored;
  EXPECT_NE(std::string::npos, stored.find("\\n"));

  EXPECT_EQ(0, SetSecret(store_, Root(), {"index:password"}, "short"));
  EXPECT_TRUE(Stored("Index", "Password").starts_with("499602D2"));

  // Empty: an existing key is emptied, a missing one is not created.
  EXPECT_EQ(0, SetSecret(store_, Root(), {"index:password"}, ""));
  EXPECT_EQ("", Stored("Index", "Password"));
  EXPECT_EQ(0, SetSecret(store_, Root(), {"index:plain"}, ""));
  EXPECT_EQ("<absent>", Stored("Index", "Plain"));
}

TEST_F(TypedSettingsTest, UnreadableSecretsAreEmpty) {
  const std::string good = EncryptSecret("pw");
  for (const std::string& stored :
       {std::string("pw"), std::string("499602D2"), "499602D2" + std::string(255, 'A'),
        good.substr(0, 100), "\"" + good + "\\nABC\""}) {
    UseFile("[Index]\nPassword=" + stored + "\n");
    std::string back = "untouched";
    EXPECT_EQ(0, GetSecret(store_, Root(), {"index:password"}, &back));
    EXPECT_EQ("", back) << stored;
  }
}

TEST_F(TypedSettingsTest, NumberedEntries) {
  UseFile(
      "[Index]\nEntry0=zero\nEntry1=one\nEntry2=two\nEntry4=four\n"
      "Cell3_0=a\nCell3_1=b\nCell1_0=other\n");
  EXPECT_EQ(2, LastIndex(store_, Root(), {"index:entry"}, 0));
  EXPECT_EQ(-1, LastIndex(store_, Root(), {"index:plain"}, 0));
  EXPECT_EQ(2, LastIndex(store_, Root(), {"index:entry"}, 3));
  EXPECT_EQ(4, LastIndex(store_, Root(), {"index:entry"}, 4));
  EXPECT_EQ(1, FindIndex(store_, Root(), {"index:entry"}, "one", 0));
  EXPECT_EQ(-1, FindIndex(store_, Root(), {"index:entry"}, "ONE", 0));
  EXPECT_EQ(-1, FindIndex(store_, Root(), {"index:entry"}, "four", 0));  // past the gap
  // With the first index fixed, a sub-numbered parameter runs its second index.
  EXPECT_EQ(1, LastIndex(store_, Root(), {.uid = "index:cell", .index = 3}, 0));
  EXPECT_EQ(1, FindIndex(store_, Root(), {.uid = "index:cell", .index = 3}, "b", 0));
  // Entries with a default end at the first one the file lacks.
  EXPECT_EQ(-1, LastIndex(store_, Root(), {"index:filled"}, 0));
}

TEST_F(TypedSettingsTest, RemovingEntriesRenumbersDependentsToo) {
  UseFile("[Index]\nEntry0=a\nEntry1=b\nEntry2=c\nEntry3=d\nLabel0=A\nLabel1=B\nLabel3=D\n");
  RenumberAfterRemoval(store_, Root(), {"index:entry"}, {"index:label"}, {1, 2}, 0);
  EXPECT_EQ(1, LastIndex(store_, Root(), {"index:entry"}, 0));
  std::string text;
  for (const auto& [uid, index, expected] :
       std::vector<std::tuple<const char*, int, const char*>>{{"index:entry", 0, "a"},
                                                              {"index:entry", 1, "d"},
                                                              {"index:entry", 2, ""},
                                                              {"index:label", 0, "A"},
                                                              {"index:label", 1, "D"},
                                                              {"index:label", 3, ""}}) {
    static_cast<void>(GetString(store_, Root(), {.uid = uid, .index = index}, &text));
    EXPECT_EQ(expected, text) << uid << index;
  }

  CopyEntry(store_, Root(), {.uid = "index:cell", .index = 2, .sub_index = 2}, 5, 1);
  CopyEntry(store_, Root(), {.uid = "index:entry", .index = 0}, 7, -1);
  EXPECT_EQ("a", Stored("Index", "Entry7"));
  EXPECT_EQ("<absent>", Stored("Index", "Cell5_1"));
  ClearIndices(store_, Root(), {"index:entry"}, {0, 7});
  EXPECT_EQ("", Stored("Index", "Entry0"));
  EXPECT_EQ("", Stored("Index", "Entry7"));
}

TEST_F(TypedSettingsTest, OverrideElementIsConsultedFirstButNeverMovesTheKey) {
  UseFile("[Index]\nOther=9\n");
  XmlNode page_parameter("parameter");
  page_parameter.AddAttribute("name", "Other");
  page_parameter.AppendChild(std::make_unique<XmlNode>("default"))->AppendText("7");
  int32_t value = 0;
  EXPECT_EQ(-1, GetNumber(store_, Root(),
                          {.uid = "index:count", .override_element = &page_parameter}, &value));
  EXPECT_EQ(7, value);
  EXPECT_EQ(
      0, SetNumber(store_, Root(), {.uid = "index:count", .override_element = &page_parameter}, 4));
  EXPECT_EQ(4, Number("index:count"));
  EXPECT_EQ("9", Stored("Index", "Other"));
}

}  // namespace
}  // namespace vossik
