#include "xml/xml_escaping.h"

#include <gtest/gtest.h>

#include <string>

namespace vossik {
namespace {

std::string Escaped(std::string_view bytes) {
  std::string out;
  AppendEscaped(out, bytes);
  return out;
}

std::string Decoded(std::string_view bytes) {
  std::string out;
  AppendDecoded(out, bytes);
  return out;
}

TEST(AppendEscaped, WritesEntitiesAndBlanksControlBytes) {
  EXPECT_EQ("a&#9;&lt;&#200; ", Escaped(std::string_view("a\t<\xC8\x01", 5)));
  EXPECT_EQ("&#10;&#13;&quot;&amp;&gt;", Escaped("\n\r\"&>"));
  EXPECT_EQ("~&#127;&#255;", Escaped("~\x7F\xFF"));
  EXPECT_EQ(" x", Escaped(std::string_view("\0x", 2)));
}

TEST(AppendEscaped, AppendsToWhatIsThere) {
  std::string out = "<a>";
  AppendEscaped(out, "&");
  EXPECT_EQ("<a>&amp;", out);
}

TEST(AppendEscapedUtf8, KeepsValidSequencesAndEscapesTheRest) {
  const auto escaped = [](std::string_view bytes) {
    std::string out;
    AppendEscapedUtf8(out, bytes);
    return out;
  };
  EXPECT_EQ("caf\xC3\xA9 &amp; \xE2\x82\xAC&#10;", escaped("caf\xC3\xA9 & \xE2\x82\xAC\n"));
  EXPECT_EQ("caf&#233;", escaped("caf\xE9"));                // a Latin-1 byte
  EXPECT_EQ("&#195;(", escaped("\xC3("));                    // a cut sequence
  EXPECT_EQ("&#192;&#128;", escaped("\xC0\x80"));            // overlong
  EXPECT_EQ("&#237;&#160;&#128;", escaped("\xED\xA0\x80"));  // a surrogate
  EXPECT_EQ("\xF0\x9F\x98\x80&#226;&#130;", escaped("\xF0\x9F\x98\x80\xE2\x82"));
}

TEST(AppendDecoded, DecodesEntitiesOnce) {
  EXPECT_EQ("x &lt; y A z &q", Decoded("x &amp;lt; y &#65; z &q"));
  EXPECT_EQ("<>\"&", Decoded("&lt;&gt;&quot;&amp;"));
  EXPECT_EQ("AB", Decoded("&#65B"));       // the ";" after the digits is optional
  EXPECT_EQ("A", Decoded("&#321;"));       // taken modulo 256
  EXPECT_EQ("&#x41;", Decoded("&#x41;"));  // no decimal digits: copied
  EXPECT_EQ("&unknown;", Decoded("&unknown;"));
}

TEST(AppendDecoded, StaysInsideTheInputNearItsEnd) {
  // An entity cut off by the end of the input is copied, never completed
  // from bytes beyond it.
  const std::string buffer = "&amp;";
  EXPECT_EQ("&am", Decoded(std::string_view(buffer).substr(0, 3)));
  EXPECT_EQ("&amp", Decoded(std::string_view(buffer).substr(0, 4)));
  EXPECT_EQ("&quo", Decoded("&quo"));
  EXPECT_EQ("&#1", Decoded("&#1"));
  EXPECT_EQ(std::string(1, '\x07'), Decoded("&#07"));
  EXPECT_EQ("&", Decoded("&"));
}

}  // namespace
}  // namespace vossik
