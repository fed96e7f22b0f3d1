#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vossik::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vossik-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!previous_cwd_.empty()) std::filesystem::current_path(previous_cwd_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::ChangeInto() {
  if (previous_cwd_.empty()) previous_cwd_ = std::filesystem::current_path();
  std::filesystem::current_path(path_);
}

std::filesystem::path TempDir::Write(std::string_view relative, std::string_view bytes) const {
  std::filesystem::path file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vossik::testing
