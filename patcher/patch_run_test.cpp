#include "patcher/patch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/faulty_platform.h"
#include "tests/test_support.h"

namespace {

using Call = FaultyPlatform::Call;

const char kConfigTail[] = "data/ini/ConfigDefault.xml";
const char kSteamTail[] = "SteamApps/common/risen 2/data/ini/ConfigDefault.xml";

const std::string kOriginal =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Config>\r\n  <Engine\r\n"
    "    SpeedTree_Small=\"1500.0\"\r\n    SpeedTree_Medium=\"3500.0\"\r\n"
    "    SpeedTree_Large=\"6000.0\"\r\n  />\r\n</Config>\r\n";
const std::string kPatched =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Config>\r\n  <Engine\r\n"
    "    SpeedTree_Small=\"3000.0\"\r\n    SpeedTree_Medium=\"7000.0\"\r\n"
    "    SpeedTree_Large=\"12500.0\"\r\n  />\r\n</Config>\r\n";

class PatchRunTest : public testing::Test {
 protected:
  // The host's own Wine prefix must never leak into a test.
  PatchRunTest() : wine_prefix_("WINEPREFIX", root_ / "wine") {}

  std::string GameDir() const { return root_ / "game"; }
  std::string ConfigPath() const { return root_ / "game/data/ini/ConfigDefault.xml"; }
  std::string SteamConfigPath() const { return root_ / "steam/" + kSteamTail; }
  void RecordSteamLibrary() {
    WriteFile(root_ / "wine/user.reg", UserRegWithSteamPath(root_ / "steam"));
  }

  int Run(const std::string& command_text) { return RunPatch(command_text, platform_); }

  // Nothing but the configuration itself may be left in its directory.
  void ExpectNoLeftovers() {
    EXPECT_EQ(ListDirectory(root_ / "game/data/ini"),
              std::vector<std::string>{"ConfigDefault.xml"});
  }

  TempDir root_;
  ScopedEnv wine_prefix_;
  FaultyPlatform platform_{SystemPlatform()};
};

TEST_F(PatchRunTest, PatchesTheGameDirectoryWithoutTouchingTheRegistry) {
  WriteFile(ConfigPath(), kOriginal);
  RecordSteamLibrary();
  WriteFile(SteamConfigPath(), kOriginal);
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(ReadFile(ConfigPath()), kPatched);
  EXPECT_EQ(ReadFile(SteamConfigPath()), kOriginal);
  EXPECT_EQ(platform_.Count(Call::kRegistry), 0);
  EXPECT_TRUE(platform_.warnings().empty());
  ExpectNoLeftovers();
}

TEST_F(PatchRunTest, DirectoryWithTrailingSeparator) {
  WriteFile(ConfigPath(), kOriginal);
  EXPECT_EQ(Run(GameDir() + "/"), 0);
  EXPECT_EQ(ReadFile(ConfigPath()), kPatched);
}

TEST_F(PatchRunTest, FallsBackToTheSteamLibrary) {
  RecordSteamLibrary();
  WriteFile(SteamConfigPath(), kOriginal);
  EXPECT_EQ(Run("\"" + GameDir() + "\""), 0);
  EXPECT_EQ(ReadFile(SteamConfigPath()), kPatched);
  EXPECT_EQ(platform_.Count(Call::kRegistry), 1);
  EXPECT_TRUE(platform_.warnings().empty());
}

TEST_F(PatchRunTest, WarnsWhenNeitherCandidateOpens) {
  RecordSteamLibrary();
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kCouldNotOpenMessage});
  EXPECT_EQ(ReadFile(ConfigPath()), "<missing>");
  EXPECT_EQ(ReadFile(SteamConfigPath()), "<missing>");
}

TEST_F(PatchRunTest, ADirectoryInTheFilesPlaceIsNotPatched) {
  WriteFile(ConfigPath() + "/inside", "x");
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kCouldNotOpenMessage});
  EXPECT_EQ(ReadFile(ConfigPath() + "/inside"), "x");
}

// Settings that each grow by two bytes, filled up with plain bytes to `size`.
std::string ConfigOfSize(std::size_t size) {
  std::string text;
  while (text.size() + 40 < size) text += "SpeedTree_Small=\"1500\"\r\n";
  return text + std::string(size - text.size(), 'x');
}

TEST_F(PatchRunTest, TheLargestFileIsProcessedAndMayGrowBeyondTheLimit) {
  const std::string original = ConfigOfSize(160000);
  WriteFile(ConfigPath(), original);
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_TRUE(platform_.warnings().empty());
  const std::string patched = ReadFile(ConfigPath());
  EXPECT_GT(patched.size(), 160000u);
  EXPECT_EQ(patched.substr(0, 25), "SpeedTree_Small=\"3000.0\"\r");

  // The next run measures the grown file and refuses it.
  FaultyPlatform second_run(SystemPlatform());
  EXPECT_EQ(RunPatch(GameDir(), second_run), 0);
  EXPECT_EQ(second_run.warnings(), std::vector<std::string>{kTooLargeMessage});
  EXPECT_EQ(ReadFile(ConfigPath()), patched);
}

TEST_F(PatchRunTest, ALargerFileIsRefusedAndSteamIsNotTried) {
  const std::string original = ConfigOfSize(160001);
  WriteFile(ConfigPath(), original);
  RecordSteamLibrary();
  WriteFile(SteamConfigPath(), kOriginal);
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kTooLargeMessage});
  EXPECT_EQ(ReadFile(ConfigPath()), original);
  EXPECT_EQ(ReadFile(SteamConfigPath()), kOriginal);
  EXPECT_EQ(platform_.Count(Call::kRegistry), 0);
}

TEST_F(PatchRunTest, ARewriteThatWouldOutgrowTheBufferIsRefused) {
  std::string original;
  while (original.size() < 150000) original += "SpeedTree_Large=\n";
  WriteFile(ConfigPath(), original);
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kTooLargeMessage});
  EXPECT_EQ(ReadFile(ConfigPath()), original);
}

TEST_F(PatchRunTest, EmptyAndKeylessFilesAreWrittenBackAsTheyWere) {
  for (const std::string& content : {std::string(), std::string("<Config>\r\n</Config>\r\n")}) {
    WriteFile(ConfigPath(), content);
    EXPECT_EQ(Run(GameDir()), 0);
    EXPECT_EQ(ReadFile(ConfigPath()), content);
  }
  EXPECT_TRUE(platform_.warnings().empty());
  ExpectNoLeftovers();
}

TEST_F(PatchRunTest, ALinkStaysALinkAndItsTargetIsPatched) {
  const std::string target = root_ / "elsewhere/ConfigDefault.xml";
  WriteFile(target, kOriginal);
  std::filesystem::create_directories(root_ / "game/data/ini");
  ASSERT_EQ(symlink(target.c_str(), ConfigPath().c_str()), 0);
  EXPECT_EQ(Run(GameDir()), 0);
  struct stat st;
  ASSERT_EQ(lstat(ConfigPath().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(target), kPatched);
  EXPECT_EQ(ListDirectory(root_ / "elsewhere"), std::vector<std::string>{"ConfigDefault.xml"});
}

TEST_F(PatchRunTest, PermissionsAndOwnerSurvive) {
  WriteFile(ConfigPath(), kOriginal);
  ASSERT_EQ(chmod(ConfigPath().c_str(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(ConfigPath().c_str(), 65534, 65534), 0);
  }
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(ReadFile(ConfigPath()), kPatched);
  struct stat st;
  ASSERT_EQ(stat(ConfigPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
}

// Each fault the system can throw at the run, and what the player must find:
// the file whole (old or new, never between), no temporary file, the promised warning.
struct FaultCase {
  const char* name;
  std::vector<std::pair<Call, int>> faults;
  bool patched;
  const char* warning;  // nullptr: none
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class PatchRunFaultTest : public PatchRunTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(PatchRunFaultTest, FileIsOldOrNewAndNothingIsLeft) {
  WriteFile(ConfigPath(), kOriginal);
  for (const auto& [call, nth] : GetParam().faults) platform_.FailOn(call, nth);
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(ReadFile(ConfigPath()), GetParam().patched ? kPatched : kOriginal);
  if (GetParam().warning == nullptr) {
    EXPECT_TRUE(platform_.warnings().empty());
  } else {
    EXPECT_EQ(platform_.warnings(), std::vector<std::string>{GetParam().warning});
  }
  ExpectNoLeftovers();
}

const FaultCase kFaults[] = {
    {"OpenTest", {{Call::kOpenForUpdate, 1}}, false, kCouldNotOpenMessage},
    {"Size", {{Call::kSizeOf, 1}}, false, kTooLargeMessage},
    {"ShortLoad", {{Call::kRead, 1}}, false, kCouldNotOpenMessage},
    {"CloseAfterLoad", {{Call::kClose, 1}}, true, nullptr},
    {"TempWrite", {{Call::kWrite, 1}}, false, kCouldNotOpenMessage},
    {"TempFlush", {{Call::kFlush, 1}}, false, kCouldNotOpenMessage},
    {"TempClose", {{Call::kClose, 2}}, false, kCouldNotOpenMessage},
    {"Replace", {{Call::kReplace, 1}}, false, kCouldNotOpenMessage},
    {"TempCreateFallsBackInPlace", {{Call::kCreateTempBeside, 1}}, true, nullptr},
    {"InPlaceOpen",
     {{Call::kCreateTempBeside, 1}, {Call::kOpenForUpdate, 2}},
     false,
     kCouldNotOpenMessage},
    {"InPlaceWrite",
     {{Call::kCreateTempBeside, 1}, {Call::kWrite, 1}},
     false,
     kCouldNotOpenMessage},
    {"InPlaceTruncate",
     {{Call::kCreateTempBeside, 1}, {Call::kTruncate, 1}},
     false,
     kCouldNotOpenMessage},
    {"InPlaceFlush",
     {{Call::kCreateTempBeside, 1}, {Call::kFlush, 1}},
     false,
     kCouldNotOpenMessage},
    {"InPlaceClose",
     {{Call::kCreateTempBeside, 1}, {Call::kClose, 2}},
     false,
     kCouldNotOpenMessage},
};

INSTANTIATE_TEST_SUITE_P(Faults, PatchRunFaultTest, testing::ValuesIn(kFaults),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace

namespace {

// Things that are not a configuration file, in the configuration's place.
struct NotAFileCase {
  const char* name;
  void (*make)(const std::string& path, const std::string& scratch);
};

void PrintTo(const NotAFileCase& c, std::ostream* os) { *os << c.name; }

class NotAFileTest : public PatchRunTest, public testing::WithParamInterface<NotAFileCase> {};

TEST_P(NotAFileTest, IsLeftAloneWithTheFirstWarning) {
  std::filesystem::create_directories(root_ / "game/data/ini");
  GetParam().make(ConfigPath(), root_ / "scratch");
  EXPECT_EQ(Run(GameDir()), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kCouldNotOpenMessage});
}

const NotAFileCase kNotAFile[] = {
    {"Directory",
     [](const std::string& path, const std::string&) { std::filesystem::create_directory(path); }},
    {"LinkToDirectory",
     [](const std::string& path, const std::string& scratch) {
       std::filesystem::create_directory(scratch);
       std::filesystem::create_directory_symlink(scratch, path);
     }},
    {"LinkToDevice",
     [](const std::string& path, const std::string&) {
       std::filesystem::create_symlink("/dev/null", path);
     }},
    {"Fifo", [](const std::string& path, const std::string&) { mkfifo(path.c_str(), 0666); }},
    {"DanglingLink",
     [](const std::string& path, const std::string& scratch) {
       std::filesystem::create_symlink(scratch + "/nothing", path);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, NotAFileTest, testing::ValuesIn(kNotAFile),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Directory names the installer may hand over: every byte is used as it is.
TEST_F(PatchRunTest, UnusualDirectoryNamesAreUsedVerbatim) {
  for (const std::string name :
       {"tab\there", "quote\"inside", "caf\xe9 \xc3\xa9t\xc3\xa9", " blanks around "}) {
    const std::string config = root_ / name + "/data/ini/ConfigDefault.xml";
    WriteFile(config, kOriginal);
    EXPECT_EQ(Run(root_ / name), 0) << name;
    EXPECT_EQ(ReadFile(config), kPatched) << name;
  }
  EXPECT_TRUE(platform_.warnings().empty());
}

TEST_F(PatchRunTest, LongPathsWorkOrFailCleanly) {
  // Far beyond Windows' 260 bytes, within what Linux opens.
  std::string deep = GameDir();
  for (int i = 0; i < 30; ++i) deep += "/" + std::string(60, static_cast<char>('a' + i % 26));
  WriteFile(deep + "/data/ini/ConfigDefault.xml", kOriginal);
  EXPECT_EQ(Run(deep), 0);
  EXPECT_EQ(ReadFile(deep + "/data/ini/ConfigDefault.xml"), kPatched);

  // Beyond what any system opens.
  EXPECT_EQ(Run(GameDir() + "/" + std::string(100000, 'x')), 0);
  EXPECT_EQ(platform_.warnings(), std::vector<std::string>{kCouldNotOpenMessage});
}

}  // namespace
