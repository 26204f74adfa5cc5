#include "locator/config_candidates.h"

#include <gtest/gtest.h>

#include "platform/faulty_platform.h"
#include "tests/test_support.h"

namespace {

struct JoinCase {
  const char* base;
  const char* path;
};
void PrintTo(const JoinCase& c, std::ostream* os) {
  *os << testing::PrintToString(std::string(c.base));
}

class BuildConfigPathTest : public testing::TestWithParam<JoinCase> {};

TEST_P(BuildConfigPathTest, JoinsWithASlashWhereNeeded) {
  EXPECT_EQ(BuildConfigPath(GetParam().base, "data/ini/ConfigDefault.xml"), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildConfigPathTest,
    testing::Values(JoinCase{"C:\\Games\\Risen 2", "C:\\Games\\Risen 2/data/ini/ConfigDefault.xml"},
                    JoinCase{"C:\\Games\\Risen 2\\",
                             "C:\\Games\\Risen 2\\data/ini/ConfigDefault.xml"},
                    JoinCase{"/games/risen2/", "/games/risen2/data/ini/ConfigDefault.xml"},
                    JoinCase{"", "/data/ini/ConfigDefault.xml"},
                    JoinCase{"\"C:\\Games\"", "\"C:\\Games\"/data/ini/ConfigDefault.xml"},
                    JoinCase{" dir ", " dir /data/ini/ConfigDefault.xml"},
                    // A double-byte character whose second byte is 0x5C, a backslash.
                    JoinCase{"C:\\\x95\\", "C:\\\x95\\data/ini/ConfigDefault.xml"}));

TEST(ConfigPathForAttemptTest, FirstAttemptIsTheCommandTextAndLeavesTheRegistryAlone) {
  FaultyPlatform platform(SystemPlatform());
  EXPECT_EQ(ConfigPathForAttempt(0, "D:\\Risen 2", platform),
            "D:\\Risen 2/data/ini/ConfigDefault.xml");
  EXPECT_EQ(platform.Count(FaultyPlatform::Call::kRegistry), 0);
}

TEST(ConfigPathForAttemptTest, SecondAttemptIsTheSteamLibrary) {
  TempDir prefix;
  WriteFile(prefix / "user.reg", UserRegWithSteamPath("c:/program files/steam"));
  ScopedEnv env("WINEPREFIX", prefix.path());
  FaultyPlatform platform(SystemPlatform());
  EXPECT_EQ(ConfigPathForAttempt(1, "ignored", platform),
            "c:/program files/steam/SteamApps/common/risen 2/data/ini/ConfigDefault.xml");
  EXPECT_EQ(platform.Count(FaultyPlatform::Call::kRegistry), 1);
}

TEST(ConfigPathForAttemptTest, SecondAttemptWithoutSteamIsTheBareTail) {
  TempDir prefix;
  ScopedEnv env("WINEPREFIX", prefix.path());
  EXPECT_EQ(ConfigPathForAttempt(1, "ignored", SystemPlatform()),
            "/SteamApps/common/risen 2/data/ini/ConfigDefault.xml");
}

}  // namespace

namespace {

// A registry value must fit, with its terminating zero, in 200000 bytes.
TEST(ReadSteamPathTest, ValuesBeyondTheCapacityReadAsMissing) {
  TempDir prefix;
  ScopedEnv env("WINEPREFIX", prefix.path());
  for (const std::size_t length : {std::size_t{199999}, std::size_t{200000}, std::size_t{500000}}) {
    WriteFile(prefix / "user.reg", UserRegWithSteamPath(std::string(length, 's')));
    EXPECT_EQ(ReadSteamPath(SystemPlatform()).size(), length < 200000 ? length : 0) << length;
  }
}

}  // namespace
