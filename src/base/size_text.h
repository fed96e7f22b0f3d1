// Byte counts written as the program shows sizes: whole kilobytes with at
// most one thousands separator.
#pragma once

#include <cstdint>
#include <string>

namespace vossik {

/// Appends a byte count as kilobytes: "1KB", "512KB", "4,882KB".
void AppendKilobytes(std::string& out, int32_t bytes);

}  // namespace vossik
