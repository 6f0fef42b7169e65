#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZqConfig.h"
#include "config_files.h"

namespace {

// Each read comes from a stored value "[S] v=<text>", so the value text goes through the file.
class ConfigValues : public ::testing::Test {
 protected:
  CConfig& with(const std::string& text) {
    zqtest::writeFile(path_, "[S]\nv=" + text + "\n");
    cfg_.SetINIFile(path_.c_str());
    return cfg_;
  }
  std::string stored() {
    char buf[4096];
    cfg_.GetString(buf, sizeof buf, "S", "v", "<missing>");
    return buf;
  }
  void SetUp() override { cfg_.SetINIFile(path_.c_str()); }

  zqtest::ScratchDir dir_;
  std::string path_ = dir_.file("c.ini");
  CConfig cfg_;
};

TEST_F(ConfigValues, Bool) {
  for (const char* t : {"TRUE", "True", "true", "  true  "}) EXPECT_EQ(with(t).GetBOOL("S", "v", ""), 1) << t;
  for (const char* t : {"truex", "yes", "1", "", "false", "true      x"})
    EXPECT_EQ(with(t).GetBOOL("S", "v", "true"), 0) << t;
  EXPECT_EQ(cfg_.GetBOOL("S", "missing", "TRUE"), 1);
  EXPECT_TRUE(cfg_.WriteBOOL(7, "S", "v"));
  EXPECT_EQ(stored(), "true");
  EXPECT_TRUE(cfg_.WriteBOOL(0, "S", "v"));
  EXPECT_EQ(stored(), "false");
}

TEST_F(ConfigValues, LongFloatHex) {
  EXPECT_EQ(with("-42abc").GetLong("S", "v", "9"), -42);
  EXPECT_EQ(with("abc").GetLong("S", "v", "9"), 0);
  EXPECT_EQ(cfg_.GetLong("S", "missing", " 17"), 17);
  EXPECT_TRUE(cfg_.WriteLong(-2147483647 - 1, "S", "v"));
  EXPECT_EQ(stored(), "-2147483648");

  EXPECT_FLOAT_EQ(with("2.5e1x").GetFloat("S", "v", "1"), 25.0f);
  EXPECT_FLOAT_EQ(with("x").GetFloat("S", "v", "1"), 0.0f);
  EXPECT_TRUE(cfg_.WriteFloat(1.5f, "S", "v"));
  EXPECT_EQ(stored(), "1.500000");
  EXPECT_TRUE(cfg_.WriteFloat(3.0e38f, "S", "v"));  // "%f" of the largest floats: 39 digits
  EXPECT_FLOAT_EQ(cfg_.GetFloat("S", "v", "0"), 3.0e38f);

  EXPECT_EQ(with("0x1F").GetHex("S", "v", "0x5"), 31u);
  EXPECT_EQ(with("0xffffffff").GetHex("S", "v", ""), 0xFFFFFFFFu);
  for (const char* t : {"1F", "0X1F", "0x", "x1F", ""}) EXPECT_EQ(with(t).GetHex("S", "v", "0x5"), 0u) << t;
  EXPECT_TRUE(cfg_.WriteHex(0xAB12u, "S", "v"));
  EXPECT_EQ(stored(), "ab12");
}

TEST_F(ConfigValues, PointsAndRects) {
  struct Case {
    const char* text;
    SScreenRect rect;
    SScreenPoint point;
  } cases[] = {
      {"5", {5, 0, 0, 0}, {5, 0}},
      {"5,7,9", {5, 7, 9, 0}, {5, 7}},
      {"", {0, 0, 0, 0}, {0, 0}},
      {"1,2", {1, 2, 0, 0}, {1, 2}},
      {"1;2 3x4", {1, 2, 3, 4}, {1, 2}},  // any one character separates
      {"1,2,", {1, 2, 0, 0}, {1, 2}},     // a separator with nothing after it ends the list
      {",5", {0, 5, 0, 0}, {0, 5}},
      {" -3, 4", {-3, 4, 0, 0}, {-3, 4}},  // blanks before a number are skipped
      {"1 ,2", {1, 0, 2, 0}, {1, 0}},      // exactly one character is skipped
      {"10,20,30,40,50", {10, 20, 30, 40}, {10, 20}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(with(c.text).GetRect("S", "v", "9,9,9,9"), c.rect) << c.text;
    EXPECT_EQ(cfg_.GetPoint("S", "v", "9,9"), c.point) << c.text;
  }
  EXPECT_EQ(cfg_.GetRect("S", "missing", "1,2,3,4"), SScreenRect(1, 2, 3, 4));
  EXPECT_TRUE(cfg_.WriteRect(SScreenRect(-1, 2, 300, 4000), "S", "v"));
  EXPECT_EQ(stored(), "-1,2,300,4000");
  EXPECT_TRUE(cfg_.WritePoint(SScreenPoint(-5, 6), "S", "v"));
  EXPECT_EQ(stored(), "-5,6");
}

TEST_F(ConfigValues, Colors) {
  EXPECT_EQ(with("255,255,0,0").GetColor("S", "v", ""), 0xFFFF0000u);
  EXPECT_EQ(with("1,2,3").GetColor("S", "v", ""), 0x01020300u);
  EXPECT_EQ(with("0,0,2,256").GetColor("S", "v", ""), 0x00000300u) << "256 spills into green";
  EXPECT_EQ(with("").GetColor("S", "v", ""), 0u);
  EXPECT_TRUE(cfg_.WriteColor(0x7F00FF00u, "S", "v"));
  EXPECT_EQ(stored(), "127,0,255,0");
  EXPECT_EQ(cfg_.GetColor("S", "v", ""), 0x7F00FF00u);
}

TEST_F(ConfigValues, Fonts) {
  sFont f;
  std::memset(&f, 0, sizeof f);
  with("Arial,12,134,0,1,0").GetFont(&f, "S", "v", "");
  EXPECT_STREQ(f.szFace, "Arial");
  EXPECT_EQ(int{f.nSize}, 12);
  EXPECT_EQ(int{f.nCharset}, 134);
  EXPECT_EQ(int{f.nItalic}, 0);
  EXPECT_EQ(int{f.nUnderline}, 1);
  EXPECT_EQ(int{f.nStrikeOut}, 0);

  sFont g;
  std::memset(&g, 0, sizeof g);
  g.nSize = 9;
  g.nCharset = 7;
  g.nItalic = 1;
  g.nUnderline = 1;
  g.nStrikeOut = 1;
  with("Arial").GetFont(&g, "S", "v", "");
  EXPECT_STREQ(g.szFace, "Arial");
  EXPECT_EQ(int{g.nSize}, 0);
  EXPECT_EQ(int{g.nCharset}, 7);
  EXPECT_EQ(int{g.nStrikeOut}, 1);

  with("Sans,10,1").GetFont(&g, "S", "v", "");
  EXPECT_EQ(int{g.nSize}, 10);
  EXPECT_EQ(int{g.nCharset}, 1);
  EXPECT_EQ(int{g.nItalic}, 1) << "members after the text keep their values";

  const std::string longFace(256, 'F');  // the whole value still fits 259 characters
  with(longFace + ",8").GetFont(&g, "S", "v", "");
  EXPECT_EQ(std::strlen(g.szFace), 254u);
  EXPECT_EQ(int{g.nSize}, 8);

  sFont w;
  std::memset(&w, 0, sizeof w);
  std::strcpy(w.szFace, "\xCB\xCE\xCC\xE5");  // a GBK face name
  w.nSize = 16;
  w.nCharset = 134;
  w.nUnderline = 1;
  EXPECT_TRUE(cfg_.WriteFont(&w, "S", "v"));
  EXPECT_EQ(stored(), "\xCB\xCE\xCC\xE5,16,134,0,1,0");
}

TEST_F(ConfigValues, BinaryBlobs) {
  const unsigned char two[] = {0x12, 0xAB};
  EXPECT_TRUE(cfg_.WriteBinary("S", "v", two, 2));
  EXPECT_EQ(stored(), "CBLK");
  unsigned char out[8] = {};
  EXPECT_EQ(cfg_.GetBinary("S", "v", out, sizeof out), 2u);
  EXPECT_EQ(out[0], 0x12);
  EXPECT_EQ(out[1], 0xAB);

  const unsigned char edges[] = {0x00, 0x1F, 0xFF};
  EXPECT_TRUE(cfg_.WriteBinary("S", "v", edges, 3));
  EXPECT_EQ(stored(), "AAPBPP");

  EXPECT_EQ(with("CBL").GetBinary("S", "v", out, sizeof out), 1u);
  EXPECT_EQ(out[0], 0x12);
  EXPECT_EQ(with("CBLKCB").GetBinary("S", "v", out, 2), 2u) << "no more than the capacity";
  EXPECT_EQ(cfg_.GetBinary("S", "missing", out, sizeof out), 0u);
  EXPECT_EQ(with("").GetBinary("S", "v", out, sizeof out), 0u);
  EXPECT_EQ(with("ZA").GetBinary("S", "v", out, sizeof out), 1u);
  EXPECT_EQ(out[0], ('Z' - 'A') & 0xFF) << "letters past P decode by the same arithmetic";

  EXPECT_TRUE(cfg_.WriteBinary("S", "v", two, 0));
  EXPECT_EQ(stored(), "");
}

TEST_F(ConfigValues, LargeBlobRoundTrip) {
  // Device records and mode lists are thousands of bytes.
  std::string blob(5000, '\0');
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(cfg_.WriteBinary("DEVICES", "DeviceInfo", blob.data(), blob.size()));
  std::string back(blob.size(), '\x55');
  EXPECT_EQ(cfg_.GetBinary("DEVICES", "DeviceInfo", back.data(), back.size()), blob.size());
  EXPECT_EQ(back, blob);
}

TEST_F(ConfigValues, SharedStringBuffer) {
  zqtest::writeFile(path_, "[S]\na=first\nb=second\n");
  CConfig other(path_.c_str());
  char* p1 = cfg_.GetString("S", "a", "");
  char* p2 = other.GetString("S", "b", "");
  EXPECT_EQ(p1, p2);
  EXPECT_STREQ(p1, "second");
  const std::string big(2000, 'b');
  ASSERT_TRUE(cfg_.WriteString(big.c_str(), "S", "a"));
  EXPECT_EQ(std::strlen(cfg_.GetString("S", "a", "")), 999u);
  char small[5];
  EXPECT_EQ(cfg_.GetString(small, sizeof small, "S", "missing", "default"), 4u);
  EXPECT_STREQ(small, "defa");
}

TEST(ConfigBinding, PathsAndMissingFiles) {
  zqtest::ScratchDir dir;
  CConfig unbound;
  EXPECT_STREQ(unbound.GetINIFile(), "");
  EXPECT_EQ(unbound.GetLong("S", "k", "5"), 5);
  EXPECT_FALSE(unbound.WriteLong(1, "S", "k"));

  const std::string path = dir.file("new.ini");
  CConfig cfg(path.c_str());
  EXPECT_EQ(std::string(cfg.GetINIFile()), path);
  EXPECT_EQ(cfg.GetRect("S", "k", "1,2,3,4"), SScreenRect(1, 2, 3, 4)) << "missing file";
  EXPECT_TRUE(cfg.WriteLong(12, "S", "k"));
  EXPECT_EQ(cfg.GetLong("S", "k", "0"), 12);

  // A path that does not fit is not cut to some other file's name.
  const std::string tooLong = dir.path() + "/" + std::string(300, 'p') + ".ini";
  cfg.SetINIFile(tooLong.c_str());
  EXPECT_STREQ(cfg.GetINIFile(), "");
  EXPECT_FALSE(cfg.WriteLong(1, "S", "k"));
  const std::string fits = dir.path() + "/" + std::string(259 - dir.path().size() - 1, 'q');
  cfg.SetINIFile(fits.c_str());
  EXPECT_EQ(std::string(cfg.GetINIFile()), fits);
}

}  // namespace
