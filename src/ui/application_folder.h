// Where a control's own files live: the working folder the sheet gives the
// control ("." for the local program, or the local data folder of an
// administered service), made absolute so that dialogs and views that do
// not share the program's current directory still find it.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace vossik {

/// `working_folder` made absolute against the current directory, without a
/// trailing "/" (the current directory itself for "" and ".").
inline std::string ApplicationFolder(const std::string& working_folder) {
  std::error_code error;
  std::filesystem::path folder = working_folder.empty() ? "." : working_folder;
  std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (error) absolute = folder;
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace vossik
