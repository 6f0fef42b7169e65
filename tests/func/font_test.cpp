#include <gtest/gtest.h>

#include <string>

#include "ZqLib.h"

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
