// What the fuzz targets share: a private scratch folder for the targets
// whose input is a file on disk, and a check that stops the run with a
// message when a property fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vossik::fuzz {

/// A folder of this process's own, created on first use and removed at exit.
const std::filesystem::path& ScratchFolder();

/// Writes `bytes` to `file`, aborting when it cannot: a fuzz run that
/// cannot set up its input would test nothing.
void WriteOrDie(const std::filesystem::path& file, std::string_view bytes);

/// Aborts with `what` when `holds` is false, so that libFuzzer keeps the input.
void Require(bool holds, const char* what);

/// The fuzzer's input as text.
inline std::string_view AsText(const uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace vossik::fuzz
