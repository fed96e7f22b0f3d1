#include "base/program_paths.h"

#include <gtest/gtest.h>

namespace vossik {
namespace {

TEST(ProgramPaths, NamesComeFromTheProgramPath) {
  struct Row {
    const char* path;
    const char* directory;
    const char* base;
    const char* help;
  };
  const Row rows[] = {
      {"/usr/bin/vossik", "/usr/bin", "vossik", "vossik"},
      {"vossik", "", "vossik", "vossik"},
      {"C:\\Tools\\Release\\Tool.exe", "C:\\Tools", "Tool", "Tool"},
      {"/opt/x/Release/ToolAdmin.EXE", "/opt/x", "ToolAdmin", "ToolAdmin"},
      {"/opt/toolADMIN", "/opt", "toolADMIN", "toolADMIN"},
      {"/opt/toadminladmin", "/opt", "toadminladmin", "to"},
  };
  for (const Row& row : rows) {
    const ProgramPaths paths = ProgramPaths::FromProgramPath(row.path);
    EXPECT_EQ(row.directory, paths.program_directory) << row.path;
    EXPECT_EQ(row.base, paths.base_name) << row.path;
    EXPECT_EQ(row.help, paths.help_base_name) << row.path;
  }
}

}  // namespace
}  // namespace vossik
