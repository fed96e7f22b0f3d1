#include "xml/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/container_cipher.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::TempDir;

// name{attr=value,...}'text'(children...), walking the sibling chain and
// checking every parent link on the way.
std::string Dump(const XmlNode& node) {
  std::string out = node.Name();
  if (!node.Attributes().empty()) {
    out += '{';
    for (const auto& [key, value] : node.Attributes()) out += key + "=" + value + ",";
    out.back() = '}';
  }
  if (node.HasText()) out += "'" + node.Text() + "'";
  if (node.FirstChild() != nullptr) {
    out += '(';
    for (const XmlNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
      EXPECT_EQ(&node, child->Parent()) << child->Name();
      out += Dump(*child) + " ";
    }
    out.back() = ')';
  }
  return out;
}

// All top-level elements, separated by blanks.
std::string Dump(const XmlDocument& document) {
  std::string out;
  for (const XmlNode* node = document.Root(); node != nullptr; node = node->NextSibling()) {
    EXPECT_EQ(nullptr, node->Parent());
    out += (out.empty() ? "" : " ") + Dump(*node);
  }
  return out;
}

std::string Parsed(std::string_view xml, int expected_result = 0) {
  XmlDocument document;
  EXPECT_EQ(expected_result, document.Parse(xml)) << xml;
  return Dump(document);
}

TEST(XmlDocument, BuildsElementsAttributesAndDecodedText) {
  struct Case {
    const char* xml;
    const char* tree;
  } cases[] = {
      {"<a>x<b/>y</a>", "a'xy'(b)"},
      {"<a><b/></a>", "a(b)"},
      {"<a k=\"1\" j=\"&amp;\"><b/><c>t</c></a>", "a{k=1,j=&}(b c't')"},
      {"<a><![CDATA[&lt;]]></a>", "a'<'"},
      {"<a><![CDATA[&gt;&amp;&quot;&#65;&#321x&#66]]></a>", "a'>&\"AAxB'"},
      {"<a><![CDATA[&#;&x &l &lt]]></a>", "a'&#;&x &l &lt'"},
      // The parser resolves "&amp;" into a piece of its own, so no sequence
      // forms across it.
      {"<a>&amp;lt;&#38;#65;</a>", "a'&lt;&#65;'"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.tree, Parsed(c.xml)) << c.xml;
}

TEST(XmlDocument, EmptyAndMalformedInput) {
  XmlDocument document;
  ASSERT_EQ(0, document.Parse("<a/>"));
  EXPECT_EQ(-3, document.Parse(""));
  EXPECT_EQ(nullptr, document.Root());

  EXPECT_EQ(-2, document.Parse("<a><b/><c></a>"));
  EXPECT_EQ("a(b c)", Dump(document));
}

TEST(XmlDocument, ErrorMessageQuotesTheInputAroundTheError) {
  struct Case {
    const char* xml;
    const char* message;
  } cases[] = {
      {"<a>&z<b/></a>",
       "error 'not well-formed (invalid token)' at line 1, byte index 5 [< 0x60] in "
       "[<a>&z<b/></a>]"},
      {"<r>0123456789abcdefghijklmnopqrstuvwxyz&!ABCDEFGHIJKLMNOPQRSTUVWXYZ</r>",
       "error 'not well-formed (invalid token)' at line 1, byte index 40 [! 0x33] "
       "in [lmnopqrstuvwxyz&!ABCDEFGHIJKLMNO]"},
      {"<a>\n<b></a>", "error 'mismatched tag' at line 2, byte index 9 [a 0x97] in [<a>\n<b></a>]"},
      // The error lies past the last byte: nothing beyond the input is read.
      {"<a>", "error 'no element found' at line 1, byte index 3 [  0x0] in [<a>]"},
  };
  for (const Case& c : cases) {
    XmlDocument document;
    std::string error = "earlier; ";
    EXPECT_EQ(-2, document.Parse(c.xml, &error));
    EXPECT_EQ(std::string("earlier; ") + c.message, error);
  }
}

TEST(XmlNode, FindElementPrefersDirectChildrenThenEarlierSubtrees) {
  XmlDocument document;
  ASSERT_EQ(0,
            document.Parse(
                "<p>"
                "<x><parameter id='deep'/><y><t id='y'/><q id='deeper'/></y><q id='shallower'/></x>"
                "<z><t id='z'/></z>"
                "<parameter id='direct'>text</parameter><parameter id='second'/>"
                "</p>"));
  const XmlNode& p = *document.Root();
  const auto child = [&](const char* id) {
    for (XmlNode* node = p.FirstChild(); node != nullptr; node = node->NextSibling())
      if (const std::string* value = node->Attribute("id"); value != nullptr && *value == id)
        return node;
    return static_cast<XmlNode*>(nullptr);
  };
  struct Case {
    const char* name;
    const XmlNode* start;
    bool recursive;
    const char* found_id;  // "" when nothing is found
  } cases[] = {
      {"parameter", nullptr, true, "direct"},
      {"parameter", child("direct")->NextSibling(), true, "second"},
      {"q", nullptr, true, "shallower"},
      {"t", nullptr, true, "y"},
      {"t", p.FindElement("z"), true, "z"},
      {"t", nullptr, false, ""},
      {"missing", nullptr, true, ""},
  };
  for (const Case& c : cases) {
    const XmlNode* found = p.FindElement(c.name, c.start, c.recursive);
    EXPECT_EQ(c.found_id, found != nullptr ? *found->Attribute("id") : "") << c.name;
  }

  ASSERT_NE(nullptr, p.ElementText("parameter"));
  EXPECT_EQ("text", *p.ElementText("parameter"));
  EXPECT_EQ(nullptr, p.ElementText("q"));
  EXPECT_EQ(nullptr, p.ElementText("missing"));
}

TEST(XmlNode, DetachChildRelinksSiblings) {
  XmlNode parent("p");
  XmlNode* a = parent.AppendChild(std::make_unique<XmlNode>("a"));
  XmlNode* b = parent.AppendChild(std::make_unique<XmlNode>("b"));
  parent.AppendChild(std::make_unique<XmlNode>("c"));

  std::unique_ptr<XmlNode> detached = parent.DetachChild(b);
  ASSERT_EQ(b, detached.get());
  EXPECT_EQ(nullptr, b->Parent());
  EXPECT_EQ(nullptr, b->NextSibling());
  EXPECT_EQ("p(a c)", Dump(parent));
  EXPECT_EQ(nullptr, parent.DetachChild(b));
  EXPECT_EQ(nullptr, a->DetachChild(a->NextSibling()));
}

TEST(XmlDocument, DeepNestingNeedsNoDeepStack) {
  constexpr int kDepth = 200000;
  std::string xml;
  for (int i = 0; i < kDepth; ++i) xml += "<a>";
  for (int i = 0; i < kDepth; ++i) xml += "</a>";
  XmlDocument document;
  ASSERT_EQ(0, document.Parse(xml));
  EXPECT_EQ(nullptr, document.Root()->FindElement("b"));
}

class XmlIncludeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.ChangeInto();
    dir_.Write("f.xml",
               "<site><pages><page id='p1'><title>T</title><body/></page><page id='p2'/></pages>"
               "<empty/></site>");
    dir_.Write("bad.xml", "<a><b></a>");
    ASSERT_TRUE(WriteContainer(dir_.Path() / "enc.xml", "<secret k='v'><s/></secret>"));
  }

  TempDir dir_;
};

TEST_F(XmlIncludeTest, SplicesTheChosenElementOrItsChildren) {
  struct Case {
    const char* xml;
    const char* tree;
  } cases[] = {
      {"<r><xmlinclude file='f.xml' type='plain' node='pages/page' flatten='1'/><after/></r>",
       "r(title'T' body after)"},
      {"<r><xmlinclude file='f.xml' type='plain' node='pages/page'/><after/></r>",
       "r(page{id=p1,file=f.xml,type=plain,node=pages/page}(title'T' body) after)"},
      // Elements written inside the include go below what it made current.
      {"<r><xmlinclude file='f.xml' type='plain' node='pages/page' "
       "flatten='1'><in/></xmlinclude><after/></r>",
       "r(title'T'(in) body after)"},
      {"<r><xmlinclude file='f.xml' type='plain' node='page'><in/></xmlinclude></r>",
       "r(page{id=p1,file=f.xml,type=plain,node=page}(title'T' body in))"},
      // Nothing to splice: the end tag must not climb above the including element.
      {"<r><x><xmlinclude file='f.xml' type='plain' node='empty' flatten='1'/><after/></x></r>",
       "r(x(after))"},
      {"<xmlinclude file='f.xml' type='plain' node='pages' flatten='1'/>",
       "page{id=p1}(title'T' body) page{id=p2}"},
      {"<xmlinclude file='f.xml' type='plain' node='empty' flatten='1'/>", ""},
      // Without a type, or with one beginning "encrypted", the file is a container.
      {"<r><xmlinclude file='enc.xml' node='secret'/></r>",
       "r(secret{k=v,file=enc.xml,node=secret}(s))"},
      {"<r><xmlinclude file='enc.xml' type='encrypted3'/></r>",
       "r(secret{k=v,file=enc.xml,type=encrypted3}(s))"},
      // Failures leave an empty "xmlinclude" with the including attributes.
      {"<r><xmlinclude file='f.xml' node='page'/></r>", "r(xmlinclude{file=f.xml,node=page})"},
      {"<r><xmlinclude file='none.xml' type='plain'/></r>",
       "r(xmlinclude{file=none.xml,type=plain})"},
      {"<r><xmlinclude file='bad.xml' type='plain'/></r>",
       "r(xmlinclude{file=bad.xml,type=plain})"},
      {"<r><xmlinclude file='f.xml' type='plain' node='pages/page/title' flatten=''/></r>",
       "r(xmlinclude{file=f.xml,type=plain,node=pages/page/title,flatten=})"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.tree, Parsed(c.xml)) << c.xml;
}

TEST_F(XmlIncludeTest, ReplacesKeysLeftToRightBeforeParsing) {
  struct Case {
    const char* replace;
    const char* text;
    const char* result;
  } cases[] = {
      {"$name$=Site,$x$=", "$name$ and $x$", "Site and $x$"},
      {"ab=ba", "abb", "bba"},  // the scan goes on inside a no-longer replacement
      {"a=aa", "aa", "aaaa"},   // but skips a longer one
      {"k=v=w", "k", "v=w"},
      {"a=b,b=c", "ab", "cc"},
      {"=z,q", "q", "q"},
  };
  for (const Case& c : cases) {
    dir_.Write("r.xml", std::string("<t>") + c.text + "</t>");
    XmlDocument document;
    ASSERT_EQ(0, document.Parse(std::string("<r><xmlinclude file='r.xml' type='plain' replace='") +
                                c.replace + "'/></r>"));
    const std::string* text = document.Root()->ElementText("t");
    ASSERT_NE(nullptr, text) << c.replace;
    EXPECT_EQ(c.result, *text) << c.replace;
  }
}

TEST_F(XmlIncludeTest, SelfIncludeStopsAtTheDepthLimit) {
  dir_.Write("a.xml", "<a><xmlinclude file='a.xml' type='plain'/></a>");
  dir_.Write("b.xml", "<b><xmlinclude file='c.xml' type='plain'/></b>");
  dir_.Write("c.xml", "<c><xmlinclude file='b.xml' type='plain'/></c>");
  for (const char* file : {"a.xml", "b.xml"}) {
    XmlDocument document;
    ASSERT_EQ(0, document.Parse(testing::ReadFile(file))) << file;
    int depth = 0;
    const XmlNode* node = document.Root();
    for (; node->Name() != "xmlinclude"; node = node->FirstChild()) ++depth;
    EXPECT_EQ(XmlDocument::kMaxIncludeDepth + 1, depth) << file;
    EXPECT_EQ(nullptr, node->FirstChild());
  }
}

// Counts the elements named `name` in the tree below `node`, without recursion.
int CountElements(const XmlNode* node, std::string_view name) {
  int count = 0;
  std::vector<const XmlNode*> open{node};
  while (!open.empty()) {
    const XmlNode* at = open.back();
    open.pop_back();
    if (at->Name() == name) ++count;
    for (const XmlNode* child = at->FirstChild(); child; child = child->NextSibling()) {
      open.push_back(child);
    }
  }
  return count;
}

TEST_F(XmlIncludeTest, FanningOutIncludesStopAtTheFileLimit) {
  // Three includes of itself per level: 3^16 parses without a limit on files.
  dir_.Write("f.xml",
             "<f><xmlinclude file='f.xml' type='plain'/><xmlinclude file='f.xml' type='plain'/>"
             "<xmlinclude file='f.xml' type='plain'/></f>");
  XmlDocument document;
  ASSERT_EQ(0, document.Parse(testing::ReadFile("f.xml")));
  EXPECT_EQ(XmlDocument::kMaxIncludedFiles + 1, CountElements(document.Root(), "f"));
}

}  // namespace
}  // namespace vossik
