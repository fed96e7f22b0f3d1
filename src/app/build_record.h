// The record of builds in the statistics file: after each `-build` the file
// "stats/<base name>.stats" gets the build's figures in the form the service
// keeps for its own builds (BuildStatistics: pages, words, index size, pages
// by file type, durations and page counts of the last builds), so that the
// settings window's Status page can show them without a service.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vossik {

class SettingsStore;
class XmlNode;
struct IndexOptions;

/// Adds one build of `options` that took `seconds` to the record in
/// `statistics_file` (created with its folder when missing): a complete
/// build with the census of the index it published, any other as a
/// failure. False, with the reason in `*error`, when the record cannot be
/// written; a complete build whose index cannot be counted is recorded with
/// no pages and the reason in `*error`.
[[nodiscard]] bool RecordBuild(const std::string& statistics_file, const IndexOptions& options,
                               bool complete, double seconds, std::string* error);

/// Runs RunBatchBuild and then records it in `statistics_file`; a build
/// that never started (no source or target folder) is not recorded. What
/// keeps the record from being written is reported on `progress` as a
/// warning and leaves the build's result as it was. Returns RunBatchBuild's
/// result.
[[nodiscard]] int RunRecordedBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                                        const std::vector<std::filesystem::path>& template_folders,
                                        const std::string& statistics_file, std::ostream& progress,
                                        bool verbose = false);

}  // namespace vossik
