// Text through surface DCs: colours, background modes, placement, extents, faces and weights.
#include <gtest/gtest.h>

#include <string>

#include "canvas.h"

namespace {

const char kCaption[] = "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2";  // four Chinese characters, GBK

HFONT makeFont(int points, int weight, DWORD charset, const char* face = "") {
  return CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, weight, 0, 0, 0, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

struct Selected {
  Selected(HDC dc, HFONT f) : dc(dc), font(f), old(SelectObject(dc, f)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  HDC dc;
  HFONT font;
  HGDIOBJ old;
};

}  // namespace

TEST(GdiText, TransparentCaptionIsExactlyTextColourOrUntouched) {
  for (const PixelLayout* l : {&kX8R8G8B8, &kA8R8G8B8, &kR5G6B5, &kX1R5G5B5}) {
    SCOPED_TRACE(l->name);
    Canvas c(200, 60, *l);
    Selected s(c.dc, makeFont(16, FW_HEAVY, GB2312_CHARSET));
    const COLORREF ink = RGB(0xF0, 0x80, 0x18);
    SetTextColor(c.dc, ink);
    SetBkMode(c.dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(c.dc, 10, 10, kCaption, int(sizeof(kCaption) - 1)));
    int inked = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        uint32_t v = c.at(x, y);
        ASSERT_TRUE(v == c.background || v == c.value(ink)) << x << "," << y << " " << std::hex << v;
        inked += v == c.value(ink);
      }
    EXPECT_GT(inked, 100);
  }
}

TEST(GdiText, OpaqueFillsTheExtentBoxWithBackgroundColour) {
  Canvas c(200, 60, kR5G6B5);
  Selected s(c.dc, makeFont(12, FW_NORMAL, GB2312_CHARSET));
  SetTextColor(c.dc, RGB(255, 255, 255));
  SetBkColor(c.dc, RGB(1, 1, 1));
  ASSERT_EQ(GetBkMode(c.dc), OPAQUE);  // the default
  const char text[] = "Ab\xD6\xD0";
  SIZE ext{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, text, 4, &ext));
  ASSERT_TRUE(TextOutA(c.dc, 7, 5, text, 4));
  RECT box;
  ASSERT_TRUE(c.changedBox(&box));
  EXPECT_EQ(box.left, 7);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 7 + ext.cx);
  EXPECT_EQ(box.bottom, 5 + ext.cy);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      uint32_t v = c.at(x, y);
      ASSERT_TRUE(v == c.value(RGB(1, 1, 1)) || v == c.value(RGB(255, 255, 255))) << x << "," << y;
    }
}

TEST(GdiText, ExtentsMatchDrawingAndCharacterHeight) {
  Canvas c(400, 80);
  Selected s(c.dc, makeFont(16, FW_NORMAL, GB2312_CHARSET));
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
  EXPECT_GE(tm.tmHeight - tm.tmInternalLeading, 21);  // -MulDiv(16, 96, 72) = -21: character height
  EXPECT_LE(tm.tmHeight - tm.tmInternalLeading, 22);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);

  SIZE whole{}, a{}, b{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "Hi \xD6\xD0", 5, &whole));
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "Hi ", 3, &a));
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "\xD6\xD0", 2, &b));
  EXPECT_EQ(whole.cx, a.cx + b.cx);
  EXPECT_EQ(whole.cy, tm.tmHeight);
  EXPECT_GE(b.cx, 20);  // a full-width character, about one em

  SIZE empty{1, 1};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);

  // Extents work on a DC without pixels (the screen's), with the same font.
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  HGDIOBJ old = SelectObject(screen, s.font);
  SIZE onScreen{};
  ASSERT_TRUE(GetTextExtentPoint32A(screen, "Hi \xD6\xD0", 5, &onScreen));
  EXPECT_EQ(onScreen.cx, whole.cx);
  SelectObject(screen, old);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST(GdiText, ChineseCharsetDrawsRealGlyphs) {
  // Distinct characters must give distinct pictures (a missing glyph draws one same box).
  auto draw = [](const char* gbk) {
    Canvas c(40, 40, kX8R8G8B8, 0);
    Selected s(c.dc, makeFont(16, FW_NORMAL, GB2312_CHARSET));
    SetTextColor(c.dc, RGB(255, 255, 255));
    SetBkMode(c.dc, TRANSPARENT);
    TextOutA(c.dc, 2, 2, gbk, 2);
    return c.mem;
  };
  auto zhong = draw("\xD6\xD0"), wen = draw("\xCE\xC4"), again = draw("\xD6\xD0");
  EXPECT_NE(zhong, wen);
  EXPECT_EQ(zhong, again);
}

TEST(GdiText, HeavyWeightInksMoreThanNormal) {
  auto inked = [](int weight, DWORD charset, const char* text) {
    Canvas c(300, 50, kX8R8G8B8, 0);
    Selected s(c.dc, makeFont(16, weight, charset));
    SetTextColor(c.dc, RGB(255, 255, 255));
    SetBkMode(c.dc, TRANSPARENT);
    TextOutA(c.dc, 2, 2, text, int(std::strlen(text)));
    return c.count(0xFFFFFF);
  };
  // A face with a bold style, and one that is emboldened.
  EXPECT_GT(inked(FW_HEAVY, ANSI_CHARSET, "Bold text"),
            inked(FW_NORMAL, ANSI_CHARSET, "Bold text") * 11 / 10);
  EXPECT_GT(inked(FW_HEAVY, GB2312_CHARSET, kCaption), inked(FW_NORMAL, GB2312_CHARSET, kCaption) * 11 / 10);
}

TEST(GdiText, DrawTextPlacesByAlignment) {
  Canvas c(240, 60, kX8R8G8B8, 0);
  Selected s(c.dc, makeFont(12, FW_NORMAL, GB2312_CHARSET));
  SetBkColor(c.dc, RGB(0, 0, 255));
  SetTextColor(c.dc, RGB(255, 255, 255));
  const char text[] = "12 \xB1\xEA";
  SIZE ext{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc, text, -0 + 5, &ext));
  const RECT area{20, 4, 220, 56};
  struct Case {
    UINT format;
    int x, y;
  } cases[] = {
      {DT_LEFT | DT_SINGLELINE, 20, 4},
      {DT_CENTER | DT_SINGLELINE, 20 + (200 - ext.cx) / 2, 4},
      {DT_RIGHT | DT_SINGLELINE, 220 - ext.cx, 4},
      {DT_LEFT | DT_VCENTER | DT_SINGLELINE, 20, 4 + (52 - ext.cy) / 2},
      {DT_CENTER | DT_BOTTOM | DT_SINGLELINE, 20 + (200 - ext.cx) / 2, 56 - ext.cy},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.format);
    c.clear(0);
    RECT r = area;
    int h = DrawTextA(c.dc, text, -1, &r, k.format);
    EXPECT_GT(h, 0);
    RECT box;
    ASSERT_TRUE(c.changedBox(&box));
    EXPECT_EQ(box.left, k.x);
    EXPECT_EQ(box.top, k.y);
    EXPECT_EQ(box.right - box.left, ext.cx);
    EXPECT_EQ(box.bottom - box.top, ext.cy);
  }
}

TEST(GdiText, DrawTextClipsToRectUnlessNoClip) {
  Canvas c(100, 40, kX8R8G8B8, 0);
  Selected s(c.dc, makeFont(12, FW_NORMAL, ANSI_CHARSET));
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(255, 255, 255));
  RECT r{10, 5, 30, 30};
  DrawTextA(c.dc, "WWWWWWWW", -1, &r, DT_LEFT | DT_SINGLELINE);
  RECT box;
  ASSERT_TRUE(c.changedBox(&box));
  EXPECT_LE(box.right, 30);
  c.clear(0);
  DrawTextA(c.dc, "WWWWWWWW", -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
  ASSERT_TRUE(c.changedBox(&box));
  EXPECT_GT(box.right, 60);
  // Drawing past every edge of the surface stays inside its memory.
  c.clear(0);
  RECT off{-50, -8, 150, 45};
  DrawTextA(c.dc, kCaption, -1, &off, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  EXPECT_TRUE(TextOutA(c.dc, 95, 35, kCaption, 8));
  EXPECT_TRUE(TextOutA(c.dc, -1000, -1000, kCaption, 8));
}

TEST(GdiText, CalcRectAndLinesMatchExtents) {
  Canvas c(200, 100, kX8R8G8B8, 0);
  Selected s(c.dc, makeFont(12, FW_NORMAL, GB2312_CHARSET));
  SIZE ext{};
  GetTextExtentPoint32A(c.dc, kCaption, 8, &ext);
  RECT r{5, 5, 6, 6};
  int h = DrawTextA(c.dc, kCaption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(h, ext.cy);
  EXPECT_EQ(r.right - r.left, ext.cx);
  EXPECT_EQ(r.bottom - r.top, ext.cy);
  EXPECT_FALSE(c.changedBox(nullptr));  // measuring draws nothing

  RECT two{0, 0, 200, 100};
  EXPECT_EQ(DrawTextA(c.dc, "one\r\ntwo\nthree", -1, &two, DT_LEFT | DT_CALCRECT), 3 * ext.cy);
  // Word breaking keeps every line inside the box.
  RECT narrow{0, 0, 60, 100};
  int lines = DrawTextA(c.dc, "aaa bbb ccc ddd", -1, &narrow, DT_WORDBREAK | DT_CALCRECT) / ext.cy;
  EXPECT_GE(lines, 2);
  SetTextColor(c.dc, RGB(255, 255, 255));
  SetBkMode(c.dc, TRANSPARENT);
  RECT box{0, 0, 60, 100};
  DrawTextA(c.dc, "aaa bbb ccc ddd", -1, &box, DT_WORDBREAK);
  RECT drawn;
  ASSERT_TRUE(c.changedBox(&drawn));
  EXPECT_LE(drawn.right, 60);
  EXPECT_GT(drawn.bottom, ext.cy);
}

TEST(GdiText, PrefixAmpersandIsNotDrawnUnlessNoPrefix) {
  Canvas c(200, 40, kX8R8G8B8, 0);
  Selected s(c.dc, makeFont(12, FW_NORMAL, ANSI_CHARSET));
  RECT a{0, 0, 200, 40}, b = a, d = a;
  DrawTextA(c.dc, "&File", -1, &a, DT_CALCRECT | DT_SINGLELINE);
  DrawTextA(c.dc, "File", -1, &b, DT_CALCRECT | DT_SINGLELINE);
  DrawTextA(c.dc, "&File", -1, &d, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(a.right, b.right);
  EXPECT_GT(d.right, b.right);
}

TEST(GdiText, BadInputsFailCleanly) {
  Canvas c(20, 20);
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "x", 1));
  EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 3));
  EXPECT_FALSE(TextOutA(c.dc, 0, 0, "x", -1));
  EXPECT_EQ(DrawTextA(c.dc, "x", 1, nullptr, 0), 0);
  EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "x", 1, nullptr));
  // Broken GBK (a lone lead byte, an invalid pair) still draws and measures.
  SIZE ext{};
  EXPECT_TRUE(GetTextExtentPoint32A(c.dc, "a\xD6", 2, &ext));
  EXPECT_TRUE(TextOutA(c.dc, 0, 0, "\xFF\xFF\x81", 3));
  EXPECT_EQ(zqCreateSurfaceDC(nullptr, 10, 10, 40, 32, 0, 0, 0), nullptr);
  std::vector<uint8_t> mem(400);
  EXPECT_EQ(zqCreateSurfaceDC(mem.data(), 10, 10, 20, 32, 0, 0, 0), nullptr);  // pitch too small
  EXPECT_EQ(zqCreateSurfaceDC(mem.data(), 10, 10, 40, 8, 0, 0, 0), nullptr);
}
