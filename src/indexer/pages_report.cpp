#include "indexer/pages_report.h"

#include <algorithm>
#include <cstdint>

#include "base/file_io.h"
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

}  // namespace

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
  AppendElement(out, "title", page.title);
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
