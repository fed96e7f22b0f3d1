#include "base/size_text.h"

namespace vossik {

void AppendKilobytes(std::string& out, int32_t bytes) {
  const long kilobytes = bytes / 1024;
  const long thousands = kilobytes / 1000;
  if (thousands != 0) {
    const long rest = kilobytes - thousands * 1000;
    const char* pad = rest >= 100 ? "" : rest >= 10 ? "0" : "00";
    out += std::to_string(thousands) + "," + pad + std::to_string(rest) + "KB";
  } else if (kilobytes <= 0) {
    out += "1KB";
  } else {
    out += std::to_string(kilobytes) + "KB";
  }
}

}  // namespace vossik
