#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "base/file_io.h"

namespace vossik::fuzz {

const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vossik-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchFolder(), ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

void WriteOrDie(const std::filesystem::path& file, std::string_view bytes) {
  std::string reason;
  if (!WriteWholeFile(file, bytes, &reason)) {
    std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), reason.c_str());
    std::abort();
  }
}

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

}  // namespace vossik::fuzz
