// The batch build's record in the statistics file: after each `-build` the
// file "stats/<base name>.stats" gets the build's figures in the form the
// service keeps for its own builds (BuildStatistics: pages, words, index
// size, pages by file type, durations and page counts of the last builds),
// so that the settings window's Status page can show them without a
// service.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace vossik {

class SettingsStore;
class XmlNode;

/// Runs RunBatchBuild and then records it in `statistics_file`: a complete
/// build with the census of the index it published, a cancelled or failed
/// one as a failure; a build that never started (no source or target
/// folder) is not recorded. A statistics file that cannot be written is
/// reported on `progress` and leaves the build's result as it was.
/// Returns RunBatchBuild's result.
[[nodiscard]] int RunRecordedBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                                        const std::filesystem::path& templates_dir,
                                        const std::string& statistics_file, std::ostream& progress);

}  // namespace vossik
