#include "settings/config_descriptor.h"

#include <gtest/gtest.h>

#include "base/container_cipher.h"
#include "base/log_sink.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"
#include "support/temp_dir.h"

namespace vossik {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr std::string_view kDescriptor = R"(<?xml version="1.0"?>
<tool>
  <types>
    <parameter uid="loglevel" name="LogLevel"><allowed>Off,Critical,General,Verbose</allowed><default>General</default></parameter>
  </types>
  <config>
    <section uid="index" name="Index">
      <parameter uid="dirsrc" name="DirSrc"/>
      <parameter uid="dirdest" name="DirDest"><default>out</default></parameter>
      <parameter uid="depth" name="Depth"><default>2</default></parameter>
      <parameter uid="types" name="Types"/>
      <parameter uid="password" name="Password" encrypted="true"/>
      <parameter uid="entry" name="Entry%d" numbered="true"/>
    </section>
  </config>
</tool>)";

TEST(ConfigDescriptor, FileNameCutsAtTheLastAdmin) {
  EXPECT_EQ("Tool.cfgml", ConfigDescriptor::FileNameFor("ToolAdmin"));
  EXPECT_EQ("Tool.cfgml", ConfigDescriptor::FileNameFor("Tool"));
  EXPECT_EQ("tool.cfgml", ConfigDescriptor::FileNameFor("toolADMIN"));
  EXPECT_EQ("AdminTool.cfgml", ConfigDescriptor::FileNameFor("AdminToolAdminPanel"));
  EXPECT_EQ("toadminl.cfgml", ConfigDescriptor::FileNameFor("toadminladmin"));  // cut once
}

// Keeps every line written to it as "TYPE/LEVEL TEXT".
struct RecordingSink : LogSink {
  void Write(int type, int level, std::string_view message) override {
    lines.push_back(std::to_string(type) + "/" + std::to_string(level) + " " +
                    std::string(message));
  }
  std::vector<std::string> lines;
};

TEST(ConfigDescriptor, LoadsTheContainerAndLogsIt) {
  TempDir dir;
  dir.ChangeInto();
  ASSERT_TRUE(WriteContainer("Tool.cfgml", kDescriptor));
  ConfigDescriptor descriptor;
  EXPECT_EQ(nullptr, descriptor.Root());
  RecordingSink log;
  ASSERT_TRUE(descriptor.Load("ToolAdmin", &log));
  ASSERT_NE(nullptr, descriptor.Root());
  EXPECT_EQ("tool", descriptor.Root()->Name());
  ASSERT_EQ(1u, log.lines.size());
  EXPECT_EQ("4/3 Reading configuration descriptor file Tool.cfgml", log.lines[0]);
}

TEST(ConfigDescriptor, UnreadableFilesFailAndKeepTheLoadedTree) {
  TempDir dir;
  dir.ChangeInto();
  ASSERT_TRUE(WriteContainer("Good.cfgml", kDescriptor));
  dir.Write("Plain.cfgml", kDescriptor);
  ASSERT_TRUE(WriteContainer("Broken.cfgml", "<tool><config></tool>"));
  ASSERT_TRUE(WriteContainer("Empty.cfgml", ""));

  ConfigDescriptor descriptor;
  ASSERT_TRUE(descriptor.Load("Good"));
  for (const char* name : {"Missing", "Plain", "Broken", "Empty"}) {
    EXPECT_FALSE(descriptor.Load(name)) << name;
    ASSERT_NE(nullptr, descriptor.Root()) << name;
    EXPECT_EQ("tool", descriptor.Root()->Name()) << name;
  }
}

TEST(ConfigDescriptor, FallsBackToFurtherFoldersInOrder) {
  TempDir dir;
  for (const char* sub : {"site", "first", "second"}) {
    std::filesystem::create_directories(dir.Path() / sub);
  }
  ASSERT_TRUE(WriteContainer(dir.Path() / "first" / "Tool.cfgml", "<first/>"));
  ASSERT_TRUE(WriteContainer(dir.Path() / "second" / "Tool.cfgml", "<second/>"));
  const std::vector<std::filesystem::path> fallbacks{dir.Path() / "none", dir.Path() / "first",
                                                     dir.Path() / "second"};
  dir.ChangeInto();
  std::filesystem::current_path(dir.Path() / "site");

  ConfigDescriptor descriptor;
  ASSERT_TRUE(descriptor.Load("Tool", nullptr, fallbacks));
  EXPECT_EQ("first", descriptor.Root()->Name());

  ASSERT_TRUE(WriteContainer("Tool.cfgml", "<local/>"));
  ASSERT_TRUE(descriptor.Load("Tool", nullptr, fallbacks));
  EXPECT_EQ("local", descriptor.Root()->Name());
}

// The whole path a setting takes: a packed descriptor, typed reads and
// writes, Save, and a fresh load that must see exactly what was written.
TEST(ConfigDescriptorRoundTrip, PackedDescriptorSettingsSurviveSaveAndReload) {
  TempDir dir;
  dir.ChangeInto();
  ASSERT_TRUE(WriteContainer("Tool.cfgml", kDescriptor));
  dir.Write("Tool.cfg",
            "[Default]\nLogLevel=Verbose\n\n[Index]\n// kept as written\nDirSrc=c:\\web\n");
  ConfigDescriptor descriptor;
  ASSERT_TRUE(descriptor.Load("ToolAdmin"));
  const XmlNode* root = descriptor.Root();

  SettingsStore store;
  ASSERT_EQ(0, store.Load("Tool.cfg"));
  std::string text;
  int32_t number = 0;
  EXPECT_EQ(0, GetString(store, root, {"index:dirsrc"}, &text));
  EXPECT_EQ("c:\\web", text);
  EXPECT_EQ(0, GetChoice(store, root, {"loglevel"}, &number));
  EXPECT_EQ(3, number);
  EXPECT_EQ(-1, GetNumber(store, root, {"index:depth"}, &number));
  EXPECT_EQ(2, number);

  const std::vector<std::string> types{"htm", "a,b", "tab\there"};
  ASSERT_EQ(0, SetString(store, root, {"index:dirdest"}, "/out dir\\"));
  ASSERT_EQ(0, SetNumber(store, root, {"index:depth"}, 5));
  ASSERT_EQ(0, SetList(store, root, {"index:types"}, types));
  ASSERT_EQ(0, SetSecret(store, root, {"index:password"}, std::string(70, 'p')));
  ASSERT_EQ(0, SetString(store, root, {.uid = "index:entry", .index = 0}, "first"));
  ASSERT_EQ(0, SetString(store, root, {.uid = "index:entry", .index = 1}, "second"));
  ASSERT_EQ(0, SetString(store, root, {"loglevel"}, "Critical"));
  ASSERT_EQ(0, store.Save());
  const std::string saved = ReadFile("Tool.cfg");

  SettingsStore reloaded;
  ASSERT_EQ(0, reloaded.Load("Tool.cfg"));
  EXPECT_EQ(store.Serialize(), reloaded.Serialize());
  EXPECT_NE(std::string::npos, saved.find("// kept as written\n"));

  EXPECT_EQ(0, GetString(reloaded, root, {"index:dirsrc"}, &text));
  EXPECT_EQ("c:\\web", text);
  EXPECT_EQ(0, GetString(reloaded, root, {"index:dirdest"}, &text));
  EXPECT_EQ("/out dir\\", text);
  EXPECT_EQ(0, GetNumber(reloaded, root, {"index:depth"}, &number));
  EXPECT_EQ(5, number);
  std::vector<std::string> items;
  EXPECT_EQ(0, GetList(reloaded, root, {"index:types"}, &items));
  EXPECT_EQ(types, items);
  EXPECT_EQ(0, GetSecret(reloaded, root, {"index:password"}, &text));
  EXPECT_EQ(std::string(70, 'p'), text);
  EXPECT_EQ(1, LastIndex(reloaded, root, {"index:entry"}, 0));
  EXPECT_EQ(0, GetChoice(reloaded, root, {"loglevel"}, &number));
  EXPECT_EQ(1, number);

  ASSERT_EQ(0, reloaded.Save());
  EXPECT_EQ(saved, ReadFile("Tool.cfg"));
}

}  // namespace
}  // namespace vossik
