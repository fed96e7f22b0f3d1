#include "service/service_settings.h"

#include <gtest/gtest.h>

#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "settings/typed_settings.h"

namespace vossik {
namespace {

class ServiceSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(descriptor_.LoadFile(std::string(VOSSIK_BINARY_DIR) + "/vossik.cfgml"));
  }
  ConfigDescriptor descriptor_;
};

TEST_F(ServiceSettingsTest, ReadsTheDefaultsAndTheFile) {
  SettingsStore empty;
  ASSERT_EQ(0, empty.Parse("[Default]\n"));
  const ServiceSettings defaults = ReadServiceSettings(empty, descriptor_.Root());
  EXPECT_EQ("127.0.0.1", defaults.host);
  EXPECT_EQ(7290, defaults.port);
  EXPECT_EQ((std::vector<std::string>{"127.0.0.0/8", "::1"}), defaults.allow);
  EXPECT_EQ("", defaults.password);
  EXPECT_EQ(5, defaults.delay_seconds);
  EXPECT_EQ(0, defaults.interval_minutes);
  EXPECT_EQ("", ProblemsWith(defaults));

  SettingsStore store;
  ASSERT_EQ(0, store.Parse("[Service]\nHost=::1\nPort=8123\nAllow=10.0.0.0/8\n[Watch]\nDelay=1\n"
                           "Interval=60\n"));
  ASSERT_GE(SetSecret(store, descriptor_.Root(), {.uid = "administrator:password"}, "pw"), -1);
  const ServiceSettings read = ReadServiceSettings(store, descriptor_.Root());
  EXPECT_EQ("::1", read.host);
  EXPECT_EQ(8123, read.port);
  EXPECT_EQ((std::vector<std::string>{"10.0.0.0/8"}), read.allow);
  EXPECT_EQ("pw", read.password);
  EXPECT_EQ(1, read.delay_seconds);
  EXPECT_EQ(60, read.interval_minutes);
}

TEST_F(ServiceSettingsTest, ReadsTheEnabledScheduledBuildsUpToTheFirstGap) {
  SettingsStore store;
  ASSERT_EQ(0, store.Parse("[Schedule]\n"
                           "Time0=3:0\nDays0=Mon+Sun+\nEnabled0=1\n"
                           "Time1=4:30\nEnabled1=0\n"    // switched off
                           "Time2=23:59\n"               // every day, on by default
                           "Time3=25:00\nDays3=Tue+\n"   // no time of day
                           "Time5=6:0\nDays5=Mon+\n"));  // after the gap
  const ServiceSettings read = ReadServiceSettings(store, descriptor_.Root());
  EXPECT_EQ((std::vector<ScheduledBuild>{{180, 0x41}, {1439, 0x7F}, {-1, 0x02}}), read.schedule);
  EXPECT_EQ("schedule:time \"25:00\" is not a time of day\n", ProblemsWith(read));
  SettingsStore none;
  ASSERT_EQ(0, none.Parse("[Default]\n"));
  EXPECT_TRUE(ReadServiceSettings(none, descriptor_.Root()).schedule.empty());
}

TEST_F(ServiceSettingsTest, NamesEverySettingItCannotUse) {
  ServiceSettings settings;
  settings.host = "no-such-host.invalid";
  settings.port = 70000;
  settings.allow = {"10.0.0.0/99"};
  settings.delay_seconds = -1;
  settings.interval_minutes = 20000;
  const std::string problems = ProblemsWith(settings);
  for (const char* uid :
       {"service:host", "service:port", "service:allow", "watch:delay", "watch:interval"}) {
    EXPECT_NE(std::string::npos, problems.find(uid)) << problems;
  }
}

}  // namespace
}  // namespace vossik
