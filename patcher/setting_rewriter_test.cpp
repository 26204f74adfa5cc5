#include "patcher/setting_rewriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::string_literals::operator""s;

struct RewriteCase {
  const char* name;
  std::string before;
  std::string after;
};
void PrintTo(const RewriteCase& c, std::ostream* os) { *os << c.name; }

class RewriteSettingsTest : public testing::TestWithParam<RewriteCase> {};

TEST_P(RewriteSettingsTest, RewritesAsTheGameExpects) {
  ConfigText text{GetParam().before};
  ASSERT_TRUE(RewriteSettings(text));
  EXPECT_EQ(text.bytes, GetParam().after);
}

const RewriteCase kCases[] = {
    {"CrLfLineKeepsItsBreak", "SpeedTree_Small=\"1500.0\"\r\n", "SpeedTree_Small=\"3000.0\"\r\n"},
    {"AllThreeInAnXmlElement",
     "<Graphics\r\n  SpeedTree_Small=\"1500.0\"\r\n  SpeedTree_Medium=\"3500.0\"\r\n"
     "  SpeedTree_Large=\"6000.0\"\r\n/>\r\n",
     "<Graphics\r\n  SpeedTree_Small=\"3000.0\"\r\n  SpeedTree_Medium=\"7000.0\"\r\n"
     "  SpeedTree_Large=\"12500.0\"\r\n/>\r\n"},
    {"BlankBeforeEqualsStaysBlankAfterGoes", "SpeedTree_Small = \"1.0\"\r\n",
     "SpeedTree_Small =\"3000.0\"\r\n"},
    {"RestOfLineIsReplaced", "<a SpeedTree_Large=\"1\" b=\"2\"/>\n",
     "<a SpeedTree_Large=\"12500.0\"\n"},
    {"EmptyValueGetsOne", "SpeedTree_Medium=\r\n", "SpeedTree_Medium=\"7000.0\"\r\n"},
    {"SecondKeyInsideTheValueDisappears", "SpeedTree_Small=SpeedTree_Small\n",
     "SpeedTree_Small=\"3000.0\"\n"},
    {"SecondKeyBeforeTheEqualsStays", "SpeedTree_Small SpeedTree_Small=1\n",
     "SpeedTree_Small SpeedTree_Small=\"3000.0\"\n"},
    {"KeyInsideALongerName", "SpeedTree_SmallBushes=\"1\"\n", "SpeedTree_SmallBushes=\"3000.0\"\n"},
    {"KeyIsCaseSensitive", "speedtree_small=\"1\"\n", "speedtree_small=\"1\"\n"},
    {"LfOnly", "SpeedTree_Small=1\nSpeedTree_Large=2\n",
     "SpeedTree_Small=\"3000.0\"\nSpeedTree_Large=\"12500.0\"\n"},
    {"CrOnly", "SpeedTree_Small=1\rSpeedTree_Large=2\r",
     "SpeedTree_Small=\"3000.0\"\rSpeedTree_Large=\"12500.0\"\r"},
    {"NearerBreakWinsLf", "SpeedTree_Small=1\n2\r\n", "SpeedTree_Small=\"3000.0\"\n2\r\n"},
    {"NearerBreakWinsCr", "SpeedTree_Small=1\r2\n", "SpeedTree_Small=\"3000.0\"\r2\n"},
    {"NoKeyLeavesEveryByte", "<Config>\r\n  <Video Width=\"1920\"/>\r\n</Config>\r\n",
     "<Config>\r\n  <Video Width=\"1920\"/>\r\n</Config>\r\n"},
    {"EveryOccurrenceFirstToLast", "SpeedTree_Medium=1\r\nx=y\r\nSpeedTree_Medium=22222222222\r\n",
     "SpeedTree_Medium=\"7000.0\"\r\nx=y\r\nSpeedTree_Medium=\"7000.0\"\r\n"},
    {"EqualsSearchCrossesLinesIntoOtherSetting", "<!-- SpeedTree_Small -->\nDetail=\"low\"\n",
     "<!-- SpeedTree_Small -->\nDetail=\"3000.0\"\n"},
    {"LaterRowOverwritesWhatAnEarlierWrote", "<!-- SpeedTree_Large -->\nSpeedTree_Small=5\n",
     "<!-- SpeedTree_Large -->\nSpeedTree_Small=\"12500.0\"\n"},
    {"ZeroByteHidesTheRest", "SpeedTree_Small=1\n\0SpeedTree_Medium=2\n"s,
     "SpeedTree_Small=\"3000.0\"\n\0SpeedTree_Medium=2\n"s},
    {"ZeroByteEndsTheValue", "SpeedTree_Small=12\0 34\n"s, "SpeedTree_Small=\"3000.0\"\0 34\n"s},
    {"ZeroByteHidesTheEquals", "SpeedTree_Small\0=1\n"s, "SpeedTree_Small\0=1\n"s},
    {"KeyWithoutEqualsIsLeftAlone", "SpeedTree_Medium=1\nSpeedTree_Small\n",
     "SpeedTree_Medium=\"7000.0\"\nSpeedTree_Small\n"},
    {"LastLineWithoutBreak", "x\nSpeedTree_Large=1", "x\nSpeedTree_Large=\"12500.0\""},
    {"Empty", "", ""},
    {"HighBytesPassThrough", "\xef\xbb\xbfSpeedTree_Small=\xe9\r\n\xff",
     "\xef\xbb\xbfSpeedTree_Small=\"3000.0\"\r\n\xff"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RewriteSettingsTest, testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Lines that grow by the replacement's whole length, padded to `padding` more bytes.
std::string GrowingText(int lines, std::size_t padding) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "SpeedTree_Large=\n";
  return text + std::string(padding, 'x');
}

TEST(RewriteSettingsCapacityTest, GrowsUpToTheCapacity) {
  ConfigText text{GrowingText(7000, 18000)};  // 26 bytes a line afterwards: exactly the capacity
  ASSERT_LE(text.bytes.size(), ConfigText::kMaxFileSize);
  ASSERT_TRUE(RewriteSettings(text));
  EXPECT_EQ(text.bytes.size(), ConfigText::kCapacity);
}

TEST(RewriteSettingsCapacityTest, RefusesToOutgrowItAndLeavesTheText) {
  // The first two rows fit; the third does not.
  const std::string before = "SpeedTree_Small=1\nSpeedTree_Medium=2\n" + GrowingText(7000, 18001);
  ConfigText text{before};
  EXPECT_FALSE(RewriteSettings(text));
  EXPECT_EQ(text.bytes, before);
}

}  // namespace
