// The pages report: every page a build indexed, with its title, size,
// modification time, the number of distinct words it added to the index and
// its size as a share of the largest page. Each build writes it beside its
// log ("logs/Indexing.pages.xml"), and the service answers GETPAGES in the
// same form, so that the settings window shows either in one table:
//
//   <pages total="812" start="0">
//   <page><url>docs/a.html</url><title>A</title><size>10240</size>
//   <modified>1796632830</modified><words>311</words><share>42</share></page>
//   </pages>
//
// Texts are UTF-8, escaped. Plain functions; thread-safe.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

struct PageRecord {
  std::string url;  // relative to the site folder, with "/"
  std::string title;
  uint64_t size = 0;  // bytes of the page's file
  std::time_t modified = 0;
  long words = 0;  // distinct words of the page in the index
};

/// A page's title as a person reads it: the character references a page
/// writes in its title ("&#8212;", "&#x2014;", "&amp;", "&nbsp;" ...) turned
/// into their characters in UTF-8; anything else as it is.
std::string ReadableTitle(std::string_view title);

/// The report's file for the build log named `log_name`.
std::string PagesReportPath(std::string_view log_name);

/// `size` as a percentage of `largest`, rounded down; 0 when `largest` is 0.
long SharePercent(uint64_t size, uint64_t largest);

/// Appends "<page>...</page>" and a line feed for one page, its title
/// made readable, its share taken against `largest`.
void AppendPageXml(std::string& out, const PageRecord& page, uint64_t largest);

/// The whole report of `pages`, all of them from 0.
std::string PagesReportXml(const std::vector<PageRecord>& pages);

/// Writes PagesReportXml(pages) to `path`, replacing the file whole. False,
/// with the reason, when it cannot be written.
[[nodiscard]] bool WritePagesReport(const std::string& path, const std::vector<PageRecord>& pages,
                                    std::string* reason);

}  // namespace vossik
