// Writes test vectors for the search script as JSON on standard output: for
// hundreds of tokens and texts, the index words and buckets that the build
// gives them. The browser tests check that the script in the browser cuts,
// normalises and hashes every one of them the same way.
//
// Output: {"stems": ..., "stoplist": ..., "tokens": [{"hex", "word", "bucket"}],
//          "texts": [{"text", "words": [[word, bucket], ...]}],
//          "shown": [{"text", "shown"}]}
// "word" is null for a token the build drops. Texts are valid UTF-8 and are
// taken the way the build takes page text: lower-cased, then cut into words.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "indexer/search_index.h"
#include "indexer/word_rules.h"
#include "indexer/word_table.h"

namespace {

using vossik::bucketOf;

// Mixed case and repeats, as a user may type the setting.
constexpr std::string_view kStopSetting =
    "a,an,and,are,as,at,be,by,for,from,has,in,is,it,its,of,on,or,that,The,this,to,"
    "was,were,will,with, AND\tof\r\nit's";

std::string Json(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::vector<std::string> Tokens() {
  std::vector<std::string> out;
  const char* stems[] = {"", "ying", "ment", "ing", "ies", "ed", "es", "ly", "s", "y", "e"};
  const char* bases[] = {"run",         "agree",      "fl",         "play",    "box",  "quick",
                         "cat",         "happ",       "hous",       "sa",      "walk", "bridg",
                         "pancak",      "Dog",        "WALK",       "Snowsho", "x",    "mp3",
                         "caf\xC3\xA9", "well-known", "snake_case", "the",     "-",    "_"};
  for (const char* base : bases) {
    for (const char* stem : stems) out.push_back(std::string(base) + stem);
  }
  // Tokens equal to a suffix, in both cases.
  for (const char* stem : stems) {
    std::string upper(stem);
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    out.push_back(stem);
    out.push_back(upper);
  }
  const char* special[] = {
      "--",
      "__",
      "-_-",
      "-ing",
      "_ed",
      "a-b",
      "2003",
      "1st",
      "3d",
      "x86_64",
      "12-34",
      "--1",
      "A1",
      "0x1F",
      "The",
      "AND",
      "tHe",
      "it's",
      "its",
      "&amp",
      "&&",
      "\x01\x02",
      "~~",
      "na\xC3\xAFve",
      "\xC3\x9Cnterberg",
      "cr\xC3\xA8me",
      "br\xC3\xBBl\xC3\xA9"
      "e",
      "n\xC3\xA3o",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
      "\xF0\x9F\x98\x80",
      "\xC4\x80",
      "\xE9",
      "\xFF\xFE",
      "\xC3",
      "Z\xE9Z",
      "abcdefghijklmnopqrstuvwxyzabcdefghijklmn",
      "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN",
      "abcdefghijklmnopqrstuvwxyzabcdefsing",  // suffix beyond the cut
      "abcdefghijklmnopqrstuvwxyzabcding",     // 33 bytes: cut to 32, then no "ing"
      "abcdefghijklmnopqrstuvwxyzabcdefghi\xC3\xA9",
      "1234567890123456789012345678901234x",
      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\xC3\xA9\xC3\xA9"};
  for (const char* token : special) out.push_back(token);
  // Random tokens over every byte that is not a separator, deterministic.
  uint32_t seed = 12345;
  for (int i = 0; i < 200; ++i) {
    std::string token;
    seed = seed * 1103515245u + 12345u;
    const int length = 1 + static_cast<int>((seed >> 16) % 40);
    while (static_cast<int>(token.size()) < length) {
      seed = seed * 1103515245u + 12345u;
      const auto byte = static_cast<unsigned char>(seed >> 16);
      if (!vossik::IsSeparator(byte)) token += static_cast<char>(byte);
    }
    out.push_back(token);
  }
  return out;
}

std::vector<std::string> Texts() {
  return {
      "The running dogs, 2003 and mp3",
      "DOGS Dogs dogs; RUNNING running",
      "well-known snake_case -- __ ed es ly ing",
      "Caf\xC3\xA9 au lait \xE2\x82\xAC"
      "5 \xC2\xA3"
      "3 price\xE2\x82\xACtag"
      " not\xC2\xACthis n\xC3\xA3o",
      "a.b?c!d\"e'f`g$h;i:j,k(l)m{n}o[p]q<r>s%t^u*v+w=x@y~z#aa/bb|cc\\dd ee\rff\ngg\thh",
      "it's the end of AND and of",
      "os.path.join(a, b) returns json.dumps({}) \xE2\x80\x94 asyncio-task",
      "\xF0\x9F\x98\x80 emoji \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E text \xC4\x80\xC4\x81",
      "abcdefghijklmnopqrstuvwxyzabcdefghijklmn and ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFsing",
      "<img src=x onerror=window.__pwned=1> &amp; &lt;b&gt;",
      "Heron Valley hiking: snowshoes, pancakes & hot chocolate!",
      "",
  };
}

// Titles and summaries with the character references pages carry.
std::vector<std::string> ShownTexts() {
  return {
      "json \xE2\x80\x94 JSON encoder &#8212; and decoder &#x2014;",
      "Fish &amp; chips &lt;b&gt; &quot;q&quot; &apos;a&apos; no&nbsp;break",
      "&AMP; &amp &#; &#x; &#xZZ; &bogus; &#0; &#55296; &#1114112; &#x10FFFF; &#12345678;",
      "&&amp;; & ;&amp",
  };
}

}  // namespace

int main() {
  const vossik::StopList stops = vossik::buildStopList(kStopSetting);
  vossik::WordRules rules;
  rules.stop_words = stops.words.get();

  std::string out = "{\"stems\":" + Json(vossik::buildStems()) +
                    ",\"stoplist\":" + Json(stops.text) + ",\"tokens\":[";
  bool first = true;
  for (const std::string& token : Tokens()) {
    std::string word;
    const bool kept = vossik::NormaliseToken(token, rules, &word);
    for (char& c : word) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"hex\":\"" + Hex(token) + "\",\"word\":" + (kept ? Json(word) : "null") +
           ",\"bucket\":" + std::to_string(kept ? bucketOf(word) : -1) + "}";
  }
  out += "],\n\"texts\":[";
  first = true;
  for (const std::string& text : Texts()) {
    std::string lowered = text;
    for (char& c : lowered) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    vossik::WordTable page(1024);
    vossik::collectWords(lowered, rules, page);
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"text\":" + Json(text) + ",\"words\":[";
    bool first_word = true;
    for (const vossik::WordEntry& entry : page) {
      out += first_word ? "" : ",";
      first_word = false;
      out += "[" + Json(entry.text) + "," + std::to_string(entry.bucket) + "]";
    }
    out += "]}";
  }
  out += "],\n\"shown\":[";
  first = true;
  for (const std::string& text : ShownTexts()) {
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"text\":" + Json(text) + ",\"shown\":" + Json(vossik::DisplayText(text)) + "}";
  }
  out += "]}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
