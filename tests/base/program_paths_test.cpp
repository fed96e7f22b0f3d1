#include "base/program_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vossik {
namespace {

TEST(ProgramPaths, NamesComeFromTheProgramPath) {
  struct Row {
    const char* path;
    const char* directory;
    const char* base;
    const char* help;
    bool administration;
  };
  const Row rows[] = {
      {"/usr/bin/vossik", "/usr/bin", "vossik", "vossik", false},
      {"/usr/bin/vossikadmin", "/usr/bin", "vossikadmin", "vossik", true},
      {"vossik", "", "vossik", "vossik", false},
      {"C:\\Tools\\Release\\Tool.exe", "C:\\Tools", "Tool", "Tool", false},
      {"/opt/x/Release/ToolAdmin.EXE", "/opt/x", "ToolAdmin", "ToolAdmin", false},
      {"/opt/toolADMIN", "/opt", "toolADMIN", "toolADMIN", false},
      {"/opt/toadminladmin", "/opt", "toadminladmin", "to", true},
  };
  for (const Row& row : rows) {
    const ProgramPaths paths = ProgramPaths::FromProgramPath(row.path);
    EXPECT_EQ(row.directory, paths.program_directory) << row.path;
    EXPECT_EQ(row.base, paths.base_name) << row.path;
    EXPECT_EQ(row.help, paths.help_base_name) << row.path;
    EXPECT_EQ(row.administration, paths.AdministrationMode()) << row.path;
  }
}

// A program started by name alone is looked up on the PATH and keeps the
// name it was started by, even when that name is a link to another file:
// vossikadmin is a link to vossik.
TEST(ProgramPaths, AProgramFoundOnThePathKeepsItsName) {
  testing::TempDir dir;
  const std::filesystem::path bin = dir.Write("bin/vossik", "#!/bin/sh\n");
  std::filesystem::permissions(bin, std::filesystem::perms::owner_all);
  std::filesystem::create_symlink("vossik", dir.Path() / "bin" / "vossikadmin");
  dir.Write("plain/vossikadmin", "not a program");  // not executable: skipped
  const std::string folders = (dir.Path() / "empty").string() + ":" +
                              (dir.Path() / "plain").string() + ":" + (dir.Path() / "bin").string();

  EXPECT_EQ((dir.Path() / "bin" / "vossikadmin").string(), FindProgramPath("vossikadmin", folders));
  EXPECT_EQ((dir.Path() / "bin" / "vossik").string(), FindProgramPath("vossik", folders));
  EXPECT_EQ("", FindProgramPath("vossikd", folders));
  EXPECT_EQ("./build/vossikadmin", FindProgramPath("./build/vossikadmin", folders));
  EXPECT_EQ("", FindProgramPath("", folders));
}

}  // namespace
}  // namespace vossik
