// The native program as a player's installer would start it: real process,
// real files, real exit status, warnings on standard error.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "patcher/patch_run.h"
#include "tests/program_runner.h"
#include "tests/test_support.h"

namespace {

const std::string kOriginal =
    "<Config>\r\n  <Engine\r\n    SpeedTree_Small=\"1500.0\"\r\n    SpeedTree_Medium=\"3500.0\"\r\n"
    "    SpeedTree_Large=\"6000.0\"\r\n  />\r\n</Config>\r\n";
const std::string kPatched =
    "<Config>\r\n  <Engine\r\n    SpeedTree_Small=\"3000.0\"\r\n    SpeedTree_Medium=\"7000.0\"\r\n"
    "    SpeedTree_Large=\"12500.0\"\r\n  />\r\n</Config>\r\n";

std::string Warning(const char* message) {
  return std::string("Risen 2 Evenbough: ") + message + "\n";
}

RunOptions Options(bool unprivileged, long long file_size_limit = -1, bool ignore_sigxfsz = false) {
  RunOptions options;
  options.unprivileged = unprivileged;
  options.file_size_limit = file_size_limit;
  options.ignore_sigxfsz = ignore_sigxfsz;
  return options;
}

class NativeProgramTest : public testing::Test {
 protected:
  // The program runs from inside the test's directory: the build folder may
  // lie where the unprivileged user cannot reach it (under /root, say).
  NativeProgramTest() {
    std::filesystem::create_directories(root_ / "bin");
    std::filesystem::copy_file(EVENBOUGH_PROGRAM, program_);
    std::filesystem::permissions(program_, std::filesystem::perms(0755));
  }

  std::string GameDir() const { return root_ / "Risen 2"; }
  std::string ConfigPath() const { return root_ / "Risen 2/data/ini/ConfigDefault.xml"; }
  std::string SteamConfigPath() const {
    return root_ / "steam/SteamApps/common/risen 2/data/ini/ConfigDefault.xml";
  }

  RunResult Run(const std::vector<std::string>& args, RunOptions options = {}) {
    options.env["WINEPREFIX"] = root_ / "wine";
    return RunProgram(program_, args, options);
  }

  TempDir root_;
  const std::string program_ = root_ / "bin/evenbough";
};

TEST_F(NativeProgramTest, ArgumentsAreOneDirectoryWithBlanks) {
  WriteFile(ConfigPath(), kOriginal);
  const RunResult result = Run({root_ / "Risen", "2"});
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(ReadFile(ConfigPath()), kPatched);
}

TEST_F(NativeProgramTest, WithoutArgumentsTheSteamLibraryFromWinesRegistryIsPatched) {
  ASSERT_FALSE(std::filesystem::exists("/data/ini/ConfigDefault.xml"));
  WriteFile(root_ / "wine/user.reg", UserRegWithSteamPath(root_ / "steam"));
  WriteFile(SteamConfigPath(), kOriginal);
  const RunResult result = Run({});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(ReadFile(SteamConfigPath()), kPatched);
}

TEST_F(NativeProgramTest, WarningsGoToStandardErrorAndTheStatusStaysZero) {
  RunResult result = Run({GameDir()});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, Warning(kCouldNotOpenMessage));

  WriteFile(ConfigPath(), std::string(160001, 'x'));
  result = Run({GameDir()});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, Warning(kTooLargeMessage));
}

TEST_F(NativeProgramTest, SizeLimitsApplyToTheFileAsFound) {
  struct {
    std::string content;
    std::string after;
    std::string warning;
  } const cases[] = {
      {"", "", ""},
      {"SpeedTree_Large=1\n" + std::string(160000 - 18, 'x'),
       "SpeedTree_Large=\"12500.0\"\n" + std::string(160000 - 18, 'x'), ""},
      {"SpeedTree_Large=1\n" + std::string(160001 - 18, 'x'),
       "SpeedTree_Large=1\n" + std::string(160001 - 18, 'x'), Warning(kTooLargeMessage)},
  };
  for (const auto& c : cases) {
    WriteFile(ConfigPath(), c.content);
    const RunResult result = Run({GameDir()});
    EXPECT_EQ(result.exit_status, 0) << c.content.size();
    EXPECT_EQ(result.standard_error, c.warning) << c.content.size();
    EXPECT_EQ(ReadFile(ConfigPath()), c.after) << c.content.size();
  }
}

TEST_F(NativeProgramTest, AReadOnlyFileIsNotTouchedByAnUnprivilegedUser) {
  WriteFile(ConfigPath(), kOriginal);
  ASSERT_EQ(chmod(ConfigPath().c_str(), 0444), 0);
  const RunResult result = Run({GameDir()}, Options(/*unprivileged=*/true));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, Warning(kCouldNotOpenMessage));
  EXPECT_EQ(ReadFile(ConfigPath()), kOriginal);
}

// The player may write the file but not its folder: no temporary file can be
// made there, so the file is rewritten in place.
class InPlaceTest : public NativeProgramTest {
 protected:
  void SetUp() override {
    WriteFile(ConfigPath(), kOriginal);
    ASSERT_EQ(chmod(ConfigPath().c_str(), 0666), 0);
    if (geteuid() == 0) {
      ASSERT_EQ(chown(ConfigPath().c_str(), 0, 0), 0);
    }
    ASSERT_EQ(chmod((GameDir() + "/data/ini").c_str(), 0555), 0);
  }
};

TEST_F(InPlaceTest, RewritesThroughTheFileItself) {
  const RunResult result = Run({GameDir()}, Options(/*unprivileged=*/true));
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(ReadFile(ConfigPath()), kPatched);
}

TEST_F(InPlaceTest, PutsTheOldBytesBackWhenTheWriteFails) {
  const RunResult result =
      Run({GameDir()}, Options(/*unprivileged=*/true, static_cast<long long>(kOriginal.size()),
                               /*ignore_sigxfsz=*/true));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, Warning(kCouldNotOpenMessage));
  EXPECT_EQ(ReadFile(ConfigPath()), kOriginal);
}

// A disk that fills up during the store, with the process either told (the
// write fails) or killed on the spot (SIGXFSZ): the configuration stays whole.
TEST_F(NativeProgramTest, AWriteThatFailsPartWayLeavesTheOriginal) {
  WriteFile(ConfigPath(), kOriginal);
  const RunResult result =
      Run({GameDir()}, Options(/*unprivileged=*/false, 64, /*ignore_sigxfsz=*/true));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.standard_error, Warning(kCouldNotOpenMessage));
  EXPECT_EQ(ReadFile(ConfigPath()), kOriginal);
  EXPECT_EQ(ListDirectory(GameDir() + "/data/ini"), std::vector<std::string>{"ConfigDefault.xml"});
}

TEST_F(NativeProgramTest, AProcessKilledWhileStoringLeavesTheOriginal) {
  WriteFile(ConfigPath(), kOriginal);
  const RunResult result = Run({GameDir()}, Options(/*unprivileged=*/false, 64));
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(result.signal, SIGXFSZ);
  EXPECT_EQ(ReadFile(ConfigPath()), kOriginal);
}

}  // namespace
