#include "helpgen/help_topic.h"

namespace vossik {

std::string HelpTopicPath(std::string_view /*help_base_name*/, std::string_view sheet_name,
                          std::string_view page_uid) {
  if (!sheet_name.empty() && !page_uid.empty()) {
    return "hlp/admin-" + std::string(sheet_name) + "-" + std::string(page_uid) + ".html";
  }
  if (!sheet_name.empty() || !page_uid.empty()) {
    return "hlp/admin-" + std::string(sheet_name.empty() ? page_uid : sheet_name) + ".html";
  }
  return "hlp/admin-index.html";
}

}  // namespace vossik
