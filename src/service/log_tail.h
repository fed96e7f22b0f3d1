// The end of a log file, as the service hands it to the log view: the last
// lines, read backwards from the end so that a large log costs no more
// than the lines asked for.
#pragma once

#include <filesystem>
#include <string>

namespace vossik {

/// The last `lines` lines of `file` (each with its line end), at most all
/// of it. False when the file exists but cannot be read; a missing file
/// reads as empty.
[[nodiscard]] bool ReadLastLines(const std::filesystem::path& file, long lines, std::string* text);

}  // namespace vossik
