#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "assets_support.h"

namespace {
LOGFONTA Describe(HFONT font) {
  LOGFONTA lf = {};
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), (int)sizeof lf);
  return lf;
}
}  // namespace

TEST(Fonts, QuickFontsTakeTheDefaults) {
  CZqFunc::Font_SetDefaultFont(0, nullptr, 0);  // nothing changes
  HFONT f = CZqFunc::Font_QuickCreateFont(0, "", 0);
  ASSERT_NE(f, nullptr);
  LOGFONTA lf = Describe(f);
  EXPECT_EQ(lf.lfHeight, -MulDiv(16, 96, 72));  // 16 points at 96 DPI
  EXPECT_EQ(lf.lfWeight, 900);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
  EXPECT_STREQ(lf.lfFaceName, "");
  DeleteObject(f);

  CZqFunc::Font_SetDefaultFont(12, "DejaVu Sans", GB2312_CHARSET);
  sFont desc = {};
  desc.nItalic = 1;
  desc.nUnderline = 1;
  f = CZqFunc::Font_QuickCreateFont(desc);
  lf = Describe(f);
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfStrikeOut, 0);
  DeleteObject(f);
  CZqFunc::Font_SetDefaultFont(16, "", DEFAULT_CHARSET);
}

// A pack's font entries name their face; any other entry, or a name the pack lacks, is its own name.
TEST(Fonts, GetNameTakesTheFaceOfAPackedFont) {
  assets_test::ScratchDir dir;
  struct Entry {
    std::string key;
    int32_t type;
    std::string extra;
  };
  const Entry entries[] = {
      {"fonts\\a.ttf", FFT_TTF, "Demo Face"}, {"fonts\\b.fon", FFT_FON, ""}, {"pics\\c.jpg", FFT_JPG, "XY"}};
  std::vector<uint8_t> index(1000 + 779 * std::size(entries), 0);
  auto put32 = [&](size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) index[at + i] = uint8_t((uint32_t)v >> (8 * i));
  };
  memcpy(index.data(), "ZQS2003a", 8);
  memcpy(&index[16], "store", 5);
  put32(271, (int32_t)std::size(entries));
  put32(275, 1000);
  put32(279, (int32_t)std::size(entries));
  for (size_t i = 0; i < std::size(entries); ++i) {
    const size_t at = 1000 + 779 * i;
    memcpy(&index[at], entries[i].key.data(), entries[i].key.size());
    put32(at + 255, entries[i].type);
    const std::string file = "0000000" + std::to_string(i) + ".zq_";
    memcpy(&index[at + 259], file.data(), file.size());
    memcpy(&index[at + 255 + 268], entries[i].extra.data(), entries[i].extra.size());
  }
  assets_test::WriteBytes(dir / "Data.Zqs", index);
  CZqSource pack;
  ASSERT_EQ(pack.Load((dir / "Data.Zqs").c_str()), 1);

  EXPECT_STREQ(CZqFunc::Font_GetName("fonts\\a.ttf", &pack), "Demo Face");
  for (const char* own : {"fonts\\b.fon", "pics\\c.jpg", "fonts\\missing.ttf"})
    EXPECT_STREQ(CZqFunc::Font_GetName(own, &pack), own) << own;
  const char* plain = "Plain Face";
  EXPECT_EQ(CZqFunc::Font_GetName(plain, nullptr), plain);
}
