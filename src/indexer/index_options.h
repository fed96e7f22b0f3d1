// IndexOptions is everything an index build takes from the settings, read
// in one place. The builder and the rest of the indexer see only this
// record, never the settings store.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/log.h"

namespace vossik {

class SettingsStore;
class XmlNode;

struct IndexOptions {
  std::string source_folder;  // index:dirsrc, the site's root folder
  bool recurse = false;       // index:checkrecurse
  std::string target_folder;  // index:dirdest, as written
  std::string site_map_file;  // index:sitemap, the links file; none when empty
  // index:typeinclude, typeexclude, matchinclude and matchexclude; absent
  // when the descriptor does not declare the setting.
  std::optional<std::vector<std::string>> type_include;
  std::optional<std::vector<std::string>> type_exclude;
  std::optional<std::vector<std::string>> match_include;
  std::optional<std::vector<std::string>> match_exclude;
  std::string robot_name;             // index:robotname
  int32_t min_word_length = 2;        // index:minwordlength
  bool include_mixed_numbers = true;  // index:includemixednumbers
  int32_t summary_length = 512;       // index:summarylength
  std::string stop_list;              // index:stoplist
  LogSettings build_log;              // the build log "Indexing", from the [Default] log settings
};

/// Reads the `index` settings and the build log's settings from `settings`
/// with the defaults of `descriptor`.
IndexOptions ReadIndexOptions(const SettingsStore& settings, const XmlNode* descriptor);

}  // namespace vossik
