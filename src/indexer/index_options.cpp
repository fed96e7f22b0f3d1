#include "indexer/index_options.h"

#include "base/result_codes.h"
#include "settings/typed_settings.h"

namespace vossik {
namespace {

std::optional<std::vector<std::string>> ReadList(const SettingsStore& settings,
                                                 const XmlNode* descriptor, const char* uid) {
  std::vector<std::string> items;
  if (GetList(settings, descriptor, {uid}, &items) == kResultUnresolved) return std::nullopt;
  return items;
}

}  // namespace

IndexOptions ReadIndexOptions(const SettingsStore& settings, const XmlNode* descriptor) {
  IndexOptions options;
  options.build_log = ReadLogSettings(settings, descriptor);
  GetString(settings, descriptor, {"index:dirsrc"}, &options.source_folder);
  GetSwitch(settings, descriptor, {"index:checkrecurse"}, &options.recurse);
  GetString(settings, descriptor, {"index:dirdest"}, &options.target_folder);
  GetString(settings, descriptor, {"index:sitemap"}, &options.site_map_file);
  options.type_include = ReadList(settings, descriptor, "index:typeinclude");
  options.type_exclude = ReadList(settings, descriptor, "index:typeexclude");
  options.match_include = ReadList(settings, descriptor, "index:matchinclude");
  options.match_exclude = ReadList(settings, descriptor, "index:matchexclude");
  GetString(settings, descriptor, {"index:robotname"}, &options.robot_name);
  GetNumber(settings, descriptor, {"index:minwordlength"}, &options.min_word_length);
  GetSwitch(settings, descriptor, {"index:includemixednumbers"}, &options.include_mixed_numbers);
  GetNumber(settings, descriptor, {"index:summarylength"}, &options.summary_length);
  GetString(settings, descriptor, {"index:stoplist"}, &options.stop_list);
  return options;
}

}  // namespace vossik
