#include "platform/wine_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::string_literals::operator""s;

const std::string kHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-1-2-3-1000\n\n"
    "#arch=win64\n\n";

struct RegistryCase {
  const char* name;
  std::string body;  // after the header
  std::string value;
};
void PrintTo(const RegistryCase& c, std::ostream* os) { *os << c.name; }

class FindWineRegistryStringTest : public testing::TestWithParam<RegistryCase> {};

TEST_P(FindWineRegistryStringTest, ReadsSteamPath) {
  EXPECT_EQ(
      FindWineRegistryString(kHeader + GetParam().body, "Software\\Valve\\Steam", "SteamPath"),
      GetParam().value);
}

const RegistryCase kCases[] = {
    {"PlainString",
     "[Software\\\\Valve\\\\Steam] 1765400000\n#time=1dc\n\"SteamPath\"=\"c:/program files "
     "(x86)/steam\"\n",
     "c:/program files (x86)/steam"},
    {"EscapesDecoded", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"c:\\\\a \\\"b\\\"\\tc\"\n",
     "c:\\a \"b\"\tc"},
    {"NamesIgnoreCase", "[software\\\\VALVE\\\\steam]\n\"steampath\"=\"x\"\n", "x"},
    {"CrLfFile", "[Software\\\\Valve\\\\Steam]\r\n\"SteamPath\"=\"x\"\r\n", "x"},
    {"FirstMatchingSectionAndValue",
     "[Software\\\\Valve\\\\Steam\\\\Apps]\n\"SteamPath\"=\"no\"\n[Software\\\\Valve\\\\Steam]\n"
     "\"SteamPathOld\"=\"no\"\n\"SteamPath\"=\"yes\"\n\"SteamPath\"=\"no\"\n",
     "yes"},
    {"ValueOfAnotherKeyIsNotTaken", "[Software\\\\Other]\n\"SteamPath\"=\"no\"\n", ""},
    {"MissingKey", "[Software\\\\Wine]\n\"Version\"=\"win10\"\n", ""},
    {"MissingValue", "[Software\\\\Valve\\\\Steam]\n\"Language\"=\"english\"\n", ""},
    {"ExpandStringUnexpanded",
     "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=str(2):\"%ProgramFiles%\\\\Steam\"\n",
     "%ProgramFiles%\\Steam"},
    {"MultiStringGivesTheFirst",
     "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=str(7):\"c:\\\\steam\\0d:\\\\steam\\0\"\n",
     "c:\\steam"},
    {"EmbeddedZeroEndsTheText", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"ab\\0cd\"\n", "ab"},
    {"UnicodeEscapesBecomeUtf8",
     "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"c:\\\\sp\\xe9l\\x00e9\\xd83d\\xde00\"\n",
     "c:\\sp\xc3\xa9l\xc3\xa9\xf0\x9f\x98\x80"},
    {"LoneSurrogateIsAQuestionMark", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"a\\xd800b\"\n",
     "a?b"},
    {"RawUtf8PassesThrough", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"c:\\\\sp\xc3\xa9l\"\n",
     "c:\\sp\xc3\xa9l"},
    {"OctalEscape", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"a\\101\\0\"\n", "aA"},
    {"NumberIsNotText", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=dword:00000001\n", ""},
    {"BinaryIsNotText", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=hex:63,3a,00\n", ""},
    {"UnterminatedString", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=\"c:\\\\steam\n", ""},
    {"BadTypeNumber", "[Software\\\\Valve\\\\Steam]\n\"SteamPath\"=str(zz):\"x\"\n", ""},
    {"NotARegistryFile", "\0\xff\xfe garbage [\n\"\n"s, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, FindWineRegistryStringTest, testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
