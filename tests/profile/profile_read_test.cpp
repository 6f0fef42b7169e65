#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config_files.h"
#include "zqplatform/profile.h"

namespace {

struct ReadCase {
  const char* name;
  std::string ini;
  const char* section;
  const char* key;
  const char* def;
  DWORD size;
  std::string expected;
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ReturnsValueOrDefault) {
  const ReadCase& c = GetParam();
  zqtest::ScratchDir dir;
  const std::string path = dir.file("t.ini");
  zqtest::writeFile(path, c.ini);
  std::vector<char> out(c.size + 8, '#');
  DWORD n = GetPrivateProfileStringA(c.section, c.key, c.def, out.data(), c.size, path.c_str());
  EXPECT_EQ(std::string(out.data()), c.expected);
  EXPECT_EQ(n, c.expected.size());
  EXPECT_EQ(out[c.size], '#') << "wrote past the buffer";
}

const std::string kLong(100000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileRead,
    ::testing::Values(
        ReadCase{"NamesFoldCase", "[Main]\nKey=Value\n", "mAIN", "KEY", "d", 64, "Value"},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nk=2\n", "A", "k", "d", 64, "1"},
        ReadCase{"FirstSectionWins", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "j", "d", 64, "d"},
        ReadCase{"BlanksTrimmed", "[A]\n  k \t=  two words \t\n", "A", "k", "d", 64, "two words"},
        ReadCase{"QuotesRemoved", "[A]\nk= \"  x \" \n", "A", "k", "d", 64, "  x "},
        ReadCase{"SingleQuotesRemoved", "[A]\nk='y'\n", "A", "k", "d", 64, "y"},
        ReadCase{"OnlyOnePairRemoved", "[A]\nk=\"\"z\"\"\n", "A", "k", "d", 64, "\"z\""},
        ReadCase{"UnbalancedQuoteKept", "[A]\nk=\"x\n", "A", "k", "d", 64, "\"x"},
        ReadCase{"FirstEqualsSplits", "[A]\nk=a=b\n", "A", "k", "d", 64, "a=b"},
        ReadCase{"NoCommentSyntax", "[A]\n;k=1\nk=2 ; note\n", "A", ";k", "d", 64, "1"},
        ReadCase{"CommentTextIsValue", "[A]\n;k=1\nk=2 ; note\n", "A", "k", "d", 64, "2 ; note"},
        ReadCase{"CrLf", "[A]\r\nk=v\r\n[B]\r\nk=w\r\n", "B", "k", "d", 64, "w"},
        ReadCase{"LastLineWithoutEnd", "[A]\nk=v", "A", "k", "d", 64, "v"},
        ReadCase{"NoLineLengthLimit", "[A]\nk=" + kLong + "\n", "A", "k", "d", 100001, kLong},
        ReadCase{"ValueCutToBuffer", "[A]\nk=abcdef\n", "A", "k", "d", 4, "abc"},
        ReadCase{"DefaultCutToBuffer", "[A]\n", "A", "k", "defaults", 4, "def"},
        ReadCase{"EmptyValueIsNotDefault", "[A]\nk=\n", "A", "k", "d", 64, ""},
        ReadCase{"MissingKey", "[A]\nj=1\n", "A", "k", "dflt", 64, "dflt"},
        ReadCase{"MissingSection", "[A]\nk=1\n", "B", "k", "dflt", 64, "dflt"},
        ReadCase{"KeyOfNextSectionNotSeen", "[A]\nj=1\n[B]\nk=2\n", "A", "k", "d", 64, "d"},
        ReadCase{"KeysBeforeAnySectionIgnored", "k=0\n[A]\nj=1\n", "A", "k", "d", 64, "d"},
        ReadCase{"NullDefaultIsEmpty", "[A]\n", "A", "k", nullptr, 64, ""},
        ReadCase{"SectionNameTrimmed", "  [ Main ]  trailing\nk=1\n", "Main", "k", "d", 64, "1"},
        // GBK: 0xB0 0x41 is one character whose trail byte is 'A'; it must not fold to 'a'.
        ReadCase{"GbkTrailByteNotFolded", "[\xB0\x41]\nk=1\n", "\xB0\x61", "k", "d", 64, "d"},
        ReadCase{"GbkNameMatchesExactly", "[\xB0\x41x]\nk=1\n", "\xB0\x41X", "k", "d", 64, "1"},
        // ']' (0x5D) may be a trail byte; it does not end the section name.
        ReadCase{"GbkTrailBracket", "[\xB0\x5D]\nk=1\n", "\xB0\x5D", "k", "d", 64, "1"},
        ReadCase{"GbkValueKept", "[A]\nk=\xD6\xD0\xCE\xC4\n", "A", "k", "d", 64, "\xD6\xD0\xCE\xC4"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ProfileReadErrors, MissingFileNullNamesAndZeroSize) {
  zqtest::ScratchDir dir;
  const std::string missing = dir.file("none.ini");
  char out[16] = "xxxxxxxxxxxxxxx";
  EXPECT_EQ(GetPrivateProfileStringA("A", "k", "dflt", out, sizeof out, missing.c_str()), 4u);
  EXPECT_STREQ(out, "dflt");
  EXPECT_EQ(GetPrivateProfileStringA("A", "k", "dflt", out, sizeof out, dir.path().c_str()), 4u)
      << "a folder is not a settings file";

  const std::string path = dir.file("t.ini");
  zqtest::writeFile(path, "[A]\nk=v\n");
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, "k", "d1", out, sizeof out, path.c_str()), 2u);
  EXPECT_STREQ(out, "d1");
  EXPECT_EQ(GetPrivateProfileStringA("A", nullptr, "d2", out, sizeof out, path.c_str()), 2u);
  EXPECT_STREQ(out, "d2");
  out[0] = '#';
  EXPECT_EQ(GetPrivateProfileStringA("A", "k", "d", out, 0, path.c_str()), 0u);
  EXPECT_EQ(out[0], '#');
}

TEST(ProfileInt, ParsesLeadingNumberOrDefault) {
  zqtest::ScratchDir dir;
  const std::string path = dir.file("t.ini");
  zqtest::writeFile(path, "[A]\na=42\nb=-7x\nc=abc\nd=\n");
  EXPECT_EQ(GetPrivateProfileIntA("A", "a", 5, path.c_str()), 42u);
  EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntA("A", "b", 5, path.c_str())), -7);
  EXPECT_EQ(GetPrivateProfileIntA("A", "c", 5, path.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("A", "d", 5, path.c_str()), 0u);
  EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntA("A", "missing", -3, path.c_str())), -3);
}

}  // namespace

namespace {

TEST(ProfilePaths, WindowsStyleNamesReachTheFile) {
  zqtest::ScratchDir dir;
  std::filesystem::create_directory(dir.file("Game"));
  zqtest::writeFile(dir.file("Game/Main.ini"), "[MAIN]\nGameType=2\n");
  const std::string winPath = dir.path() + "\\game\\MAIN.INI";
  EXPECT_EQ(GetPrivateProfileIntA("main", "gametype", 0, winPath.c_str()), 2u);
  EXPECT_TRUE(WritePrivateProfileStringA("MAIN", "Extra", "1", winPath.c_str()));
  EXPECT_EQ(zqtest::readFile(dir.file("Game/Main.ini")), "[MAIN]\nGameType=2\nExtra=1\n");
}

}  // namespace
