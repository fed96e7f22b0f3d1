// A fresh temporary folder for one test, removed again with everything in
// it. With ChangeInto() the test also runs inside it, because the program
// names its files relative to the current directory.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  /// Makes the folder the current directory until the TempDir is destroyed.
  void ChangeInto();

  /// Writes `bytes` to `relative` below the folder, creating parent folders.
  std::filesystem::path Write(std::string_view relative, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_cwd_;
};

/// The whole content of a file, or "" when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);

}  // namespace vossik::testing
