#include <gtest/gtest.h>

#include <string>

#include "config_files.h"
#include "zqplatform/profile.h"

namespace {

struct WriteCase {
  const char* name;
  std::string before;  // "<none>": no file
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, EditsOnlyWhatItMust) {
  const WriteCase& c = GetParam();
  zqtest::ScratchDir dir;
  const std::string path = dir.file("t.ini");
  if (c.before != "<none>") zqtest::writeFile(path, c.before);
  EXPECT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()));
  EXPECT_EQ(zqtest::readFile(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileWrite,
    ::testing::Values(
        WriteCase{"CreatesFileAndSection", "<none>", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"ReplacesFirstKeyInPlace", "[A]\nx=1\nK = old\nk=second\ny=2\n", "a", "k", "new",
                  "[A]\nx=1\nk=new\nk=second\ny=2\n"},
        WriteCase{"AppendsToItsSection", "[A]\nx=1\n\n[B]\ny=2\n", "A", "k", "v",
                  "[A]\nx=1\nk=v\n\n[B]\ny=2\n"},
        WriteCase{"AppendsToFirstOfTwinSections", "[A]\nx=1\n[A]\ny=2\n", "A", "y", "v",
                  "[A]\nx=1\ny=v\n[A]\ny=2\n"},
        WriteCase{"AppendsSectionAfterUnterminatedLine", "[A]\nx=1", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        WriteCase{"AppendsKeyAfterUnterminatedLine", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v\n"},
        WriteCase{"KeepsCrLf", "[A]\r\nx=1\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        WriteCase{"KeepsOtherLinesVerbatim", "; note\n[A]\n  odd line\nx = 1 \n", "A", "x", "2",
                  "; note\n[A]\n  odd line\nx=2\n"},
        WriteCase{"NullValueRemovesKey", "[A]\nx=1\nk=2\n[B]\nk=3\n", "A", "k", nullptr,
                  "[A]\nx=1\n[B]\nk=3\n"},
        WriteCase{"NullKeyRemovesSection", "[A]\nx=1\n[B]\nk=3\n", "A", nullptr, nullptr, "[B]\nk=3\n"},
        WriteCase{"EmptyValue", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(ProfileWriteErrors, RefusesTextThatWouldBreakTheFile) {
  zqtest::ScratchDir dir;
  const std::string path = dir.file("t.ini");
  const std::string before = "[A]\nk=1\n";
  zqtest::writeFile(path, before);
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1\n[B]\nk=2", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k=x", "1", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("A]x", "k", "1", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("A", "[k]", "1", path.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", dir.path().c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", dir.file("no/such/folder.ini").c_str()));
  EXPECT_EQ(zqtest::readFile(path), before);
}

TEST(ProfileWriteRead, NextReadSeesEveryChange) {
  zqtest::ScratchDir dir;
  const std::string path = dir.file("t.ini");
  char out[64];
  zqtest::writeFile(path, "[A]\nk=1\n");
  GetPrivateProfileStringA("A", "k", "", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "1");

  ASSERT_TRUE(WritePrivateProfileStringA("A", "k", "two", path.c_str()));
  GetPrivateProfileStringA("A", "k", "", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "two");

  // Changes made behind the service's back are seen as well, even of the same size at once.
  zqtest::writeFile(path, "[A]\nk=three!\n");
  GetPrivateProfileStringA("A", "k", "", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "three!");
  zqtest::writeFile(path, "[A]\nk=four!!\n");
  GetPrivateProfileStringA("A", "k", "", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "four!!");

  // Values of any length go through.
  const std::string big(20000, 'Q');
  ASSERT_TRUE(WritePrivateProfileStringA("A", "blob", big.c_str(), path.c_str()));
  std::string back(big.size() + 1, '\0');
  EXPECT_EQ(GetPrivateProfileStringA("A", "blob", "", back.data(), back.size(), path.c_str()), big.size());
  EXPECT_EQ(back.c_str(), big);
}

}  // namespace
