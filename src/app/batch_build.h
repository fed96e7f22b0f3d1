// The batch build: one whole index build from the command line, on the
// builder's worker thread without pauses, with its progress on a terminal.
#pragma once

#include <filesystem>
#include <ostream>
#include <vector>

namespace vossik {

class SettingsStore;
class XmlNode;

/// Builds the index configured in `settings`, taking each template from
/// the first of `templateFolders` that holds it. Progress goes to
/// `progress` (TerminalProgress: a live bar on a terminal, a few lines
/// elsewhere, every status when `verbose`), with every warning and error;
/// the last line is "Complete (N files indexed)" (with ", M skipped" when
/// files could not be read or are not text) or why the build failed.
/// Ctrl-C cancels cleanly, leaving the previous index whole. Returns 0 when
/// complete, 1 when the build failed (the previous index is kept), 2 when
/// the settings do not allow a build (no source or target folder, a website
/// folder that is missing), 130 when interrupted.
[[nodiscard]] int RunBatchBuild(const SettingsStore& settings, const XmlNode* descriptor,
                                const std::vector<std::filesystem::path>& template_folders,
                                std::ostream& progress, bool verbose = false);

}  // namespace vossik
