// The batch build: one whole index build from the command line, on the
// builder's worker thread without pauses, with its progress on a terminal.
#pragma once

#include <filesystem>
#include <ostream>

namespace vossik {

class SettingsStore;
class XmlNode;

/// Builds the index configured in `settings`. Progress goes to `progress`:
/// a live bar with the percentage and the status line when it is a terminal,
/// plain status lines otherwise; the last line is "Complete (N files
/// indexed)". Ctrl-C cancels cleanly, leaving the previous index whole.
/// Returns 0 when complete, 2 without source or target folder, 130 when
/// interrupted.
[[nodiscard]] int RunBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                                const std::filesystem::path& templates_dir, std::ostream& progress);

}  // namespace vossik
