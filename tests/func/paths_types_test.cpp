#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "ZqLib.h"
#include "runtime_support.h"

namespace {

// A path result and whether it ends with the two NULs the shell needs.
struct PathOut {
  char buf[256];
  PathOut() { memset(buf, 'Z', sizeof buf); }
  std::string text() const { return buf; }
  bool doubleNul() const { return buf[strlen(buf) + 1] == 0; }
};

std::string Cwd() {
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? cwd : "";
}

}  // namespace

TEST(FileTypes, CodesFromExtensions) {
  struct Case {
    const char* path;
    int type;
  } cases[] = {
      {"a.TXG", 10},     {"a.mpeg", 14}, {"a.mpg", 13}, {"noext", 0},  {"a.xyz", 0},   {"a.ini", 2},
      {"dir\\b.Jpg", 4}, {"a.jpgx", 4},  {"x.zqs", 24}, {"f.ttf", 22}, {"a.b.wav", 6}, {"trailing.", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CZqFunc::File_GetFFT(c.path), c.type) << c.path;

  EXPECT_EQ(CZqFunc::FileCompareExt("a.JPG", "x.jpg"), 1);
  EXPECT_EQ(CZqFunc::FileCompareExt("a.mpeg", "mpg"), 0);
  EXPECT_EQ(CZqFunc::FileCompareExt("a.mpeg", "mpeg"), 1);

  EXPECT_STREQ(CZqFunc::File_GetExt(4), "jpg");
  EXPECT_STREQ(CZqFunc::File_GetExt(14), "mpeg");
  EXPECT_STREQ(CZqFunc::File_GetExt(24), "zqs");
  for (long t : {0L, 1L, -1L, 25L, 1000L}) EXPECT_STREQ(CZqFunc::File_GetExt(t), "") << t;
}

TEST(Paths, RectifyFileAndParent) {
  struct Case {
    const char* in;
    const char* rectified;
    const char* file;
    const char* parent;
  } cases[] = {
      {"\\dir\\sub\\file.ini", "dir\\sub\\file.ini", "file.ini", "dir\\sub"},
      {"file.ini", "file.ini", "file.ini", ""},
      {"dir\\sub\\", "dir\\sub", "sub", "dir"},
      {"", "", "", ""},
      // A GBK character whose trail byte is 0x5C is not a separator.
      {"a\\\xD5\x5C", "a\\\xD5\x5C", "\xD5\x5C", "a"},
  };
  for (const Case& c : cases) {
    PathOut r, f, p;
    CZqFunc::Path_RectifyPath(r.buf, c.in);
    CZqFunc::Path_GetPathFile(f.buf, c.in);
    CZqFunc::Path_GetParentPath(p.buf, c.in);
    EXPECT_EQ(r.text(), c.rectified) << c.in;
    EXPECT_EQ(f.text(), c.file) << c.in;
    EXPECT_EQ(p.text(), c.parent) << c.in;
    EXPECT_TRUE(r.doubleNul() && f.doubleNul() && p.doubleNul()) << c.in;
  }
  // In place: a null source works on the destination.
  PathOut inplace;
  strcpy(inplace.buf, "\\x\\y\\");
  CZqFunc::Path_RectifyPath(inplace.buf);
  EXPECT_EQ(inplace.text(), "x\\y");
}

TEST(Paths, MakeFullPathIsBounded) {
  ScratchDir dir;
  PathOut a, b, c, d, e;
  CZqFunc::Path_MakeFullPath(a.buf, "C:\\games\\x.ini");
  EXPECT_EQ(a.text(), "C:\\games\\x.ini");
  CZqFunc::Path_MakeFullPath(b.buf, "x\\");
  EXPECT_EQ(b.text(), Cwd() + "\\x");
  CZqFunc::Path_MakeFullPath(c.buf, "/abs/file");
  EXPECT_EQ(c.text(), "/abs/file");
  EXPECT_TRUE(a.doubleNul() && b.doubleNul() && c.doubleNul());

  // A result that does not fit is empty, never an overflow.
  std::string longName(300, 'n');
  CZqFunc::Path_MakeFullPath(d.buf, longName.c_str());
  EXPECT_EQ(d.text(), "");
  EXPECT_TRUE(d.doubleNul());
  std::string justFits(254 - Cwd().size() - 1, 'k');
  CZqFunc::Path_MakeFullPath(e.buf, justFits.c_str());
  EXPECT_EQ(e.text(), Cwd() + "\\" + justFits);
  EXPECT_TRUE(e.doubleNul());
}

TEST(Colours, TextsInRedGreenBlueAlphaOrder) {
  char text[64];
  CZqFunc::ColorToString(text, 0x80FF0010u);
  EXPECT_STREQ(text, "255,0,16,128");
  CZqFunc::ColorToString(nullptr, 1);  // nothing happens

  EXPECT_EQ(CZqFunc::StringToColor("255,0,16,128"), 0x80FF0010u);
  EXPECT_EQ(CZqFunc::StringToColor("1,2"), 0x00010200u);       // missing numbers are 0
  EXPECT_EQ(CZqFunc::StringToColor(" 1;2;3;4"), 0x04010203u);  // any one separator serves
  EXPECT_EQ(CZqFunc::StringToColor("1,"), 0x00010000u);        // a separator with nothing after it
  EXPECT_EQ(CZqFunc::StringToColor(""), 0u);
  EXPECT_EQ(CZqFunc::StringToColor(nullptr), 0u);
}

TEST(Texts, FormatStringAndEditMode) {
  std::string s = "old";
  CZqFunc::TextFormatString(s, "%s-%d", "a", 7);
  EXPECT_EQ(s, "a-7");
  std::string big(2000, 'b');
  CZqFunc::TextFormatString(s, "%s", big.c_str());
  EXPECT_EQ(s.size(), 1023u);

  EXPECT_EQ(CZqFunc::UI_GetEditMode(), 0);
  CZqFunc::UI_SetEditMode(1);
  EXPECT_EQ(CZqFunc::UI_GetEditMode(), 1);
  CZqFunc::UI_SetEditMode(0);
  EXPECT_NE(CZqFunc::GetCPUCaps() & (1u << 23), 0u);  // every x86-64 has MMX
}
