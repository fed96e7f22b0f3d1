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
  // Whether a value came from the file or from a default does not matter
  // here; a setting the descriptor lacks keeps the record's default.
  const auto text = [&](const char* uid, std::string* out) {
    static_cast<void>(GetString(settings, descriptor, {uid}, out));
  };
  const auto number = [&](const char* uid, int32_t* out) {
    static_cast<void>(GetNumber(settings, descriptor, {uid}, out));
  };
  const auto on_off = [&](const char* uid, bool* out) {
    static_cast<void>(GetSwitch(settings, descriptor, {uid}, out));
  };
  options.build_log = ReadLogSettings(settings, descriptor);
  text("index:dirsrc", &options.source_folder);
  on_off("index:checkrecurse", &options.recurse);
  text("index:dirdest", &options.target_folder);
  text("index:sitemap", &options.site_map_file);
  options.type_include = ReadList(settings, descriptor, "index:typeinclude");
  options.type_exclude = ReadList(settings, descriptor, "index:typeexclude");
  options.match_include = ReadList(settings, descriptor, "index:matchinclude");
  options.match_exclude = ReadList(settings, descriptor, "index:matchexclude");
  text("index:robotname", &options.robot_name);
  number("index:minwordlength", &options.min_word_length);
  on_off("index:includemixednumbers", &options.include_mixed_numbers);
  number("index:summarylength", &options.summary_length);
  text("index:stoplist", &options.stop_list);
  return options;
}

}  // namespace vossik
