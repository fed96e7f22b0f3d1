#include "indexer/pages_report.h"

#include <algorithm>
#include <cstdint>

#include "base/file_io.h"
#include "indexer/utf8.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

void AppendElement(std::string& out, std::string_view name, std::string_view text) {
  out += "<";
  out += name;
  out += ">";
  AppendEscapedUtf8(out, text);
  out += "</";
  out += name;
  out += ">";
}

struct NamedReference {
  std::string_view name;
  uint32_t code;
};
constexpr NamedReference kNamedReferences[] = {
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0},
};

}  // namespace

std::string ReadableTitle(std::string_view title) {
  std::string out;
  std::size_t i = 0;
  while (i < title.size()) {
    const std::size_t end = title[i] == '&' ? title.find(';', i) : std::string_view::npos;
    // References are short; a lone "&" stays as it is.
    if (end == std::string_view::npos || end - i > 10) {
      out += title[i++];
      continue;
    }
    const std::string_view body = title.substr(i + 1, end - i - 1);
    uint32_t code = 0;
    bool known = false;
    if (body.size() > 1 && body[0] == '#') {
      const bool hex = body[1] == 'x' || body[1] == 'X';
      std::size_t at = hex ? 2 : 1;
      known = at < body.size();
      for (; at < body.size() && known; ++at) {
        const char c = body[at];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        known = digit >= 0 && code <= 0x10FFFF;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(std::max(digit, 0));
      }
      known = known && code != 0;
    } else {
      for (const NamedReference& reference : kNamedReferences) {
        if (body == reference.name) {
          code = reference.code;
          known = true;
        }
      }
    }
    if (!known) {
      out += title[i++];
      continue;
    }
    AppendUtf8(out, code);
    i = end + 1;
  }
  return out;
}

std::string PagesReportPath(std::string_view log_name) {
  return "logs/" + std::string(log_name) + ".pages.xml";
}

long SharePercent(uint64_t size, uint64_t largest) {
  if (largest == 0) return 0;
  if (size >= largest) return 100;
  // size * 100 cannot overflow for any file that fits on a disk today, but
  // the division goes first for sizes where it could.
  if (largest > UINT64_MAX / 100) return static_cast<long>(size / (largest / 100));
  return static_cast<long>(size * 100 / largest);
}

void AppendPageXml(std::string& out, const PageRecord& page, uint64_t largest) {
  out += "<page>";
  AppendElement(out, "url", page.url);
  AppendElement(out, "title", ReadableTitle(page.title));
  AppendElement(out, "size", std::to_string(page.size));
  AppendElement(out, "modified", std::to_string(static_cast<long long>(page.modified)));
  AppendElement(out, "words", std::to_string(page.words));
  AppendElement(out, "share", std::to_string(SharePercent(page.size, largest)));
  out += "</page>\n";
}

std::string PagesReportXml(const std::vector<PageRecord>& pages) {
  uint64_t largest = 0;
  for (const PageRecord& page : pages) largest = std::max(largest, page.size);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pages total=\"" +
                    std::to_string(pages.size()) + "\" start=\"0\">\n";
  for (const PageRecord& page : pages) AppendPageXml(out, page, largest);
  out += "</pages>\n";
  return out;
}

bool WritePagesReport(const std::string& path, const std::vector<PageRecord>& pages,
                      std::string* reason) {
  return ReplaceFileAtomically(path, PagesReportXml(pages), reason);
}

}  // namespace vossik
