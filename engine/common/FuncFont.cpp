// CZqFunc font helpers: the default font and quick GDI font creation.
#include <cstring>

#include "ZqConfig.h"
#include "ZqFunc.h"
#include "ZqSource.h"

namespace {
long g_defaultSize = 16;
long g_defaultCharset = DEFAULT_CHARSET;
char g_defaultFace[255] = "";
}  // namespace

void CZqFunc::Font_SetDefaultFont(long size, const char* face, long charset) {
  if (size > 0) g_defaultSize = size;
  if (face) {
    strncpy(g_defaultFace, face, sizeof g_defaultFace - 1);
    g_defaultFace[sizeof g_defaultFace - 1] = 0;
  }
  if (charset != 0) g_defaultCharset = charset;
}

HFONT CZqFunc::Font_QuickCreateFont(long size, const char* face, long charset, int italic, int underline,
                                    int strikeout) {
  if (size == 0) size = g_defaultSize;
  if (charset == 0) charset = g_defaultCharset;
  if (!face || !*face) face = g_defaultFace;
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  int height = -MulDiv((int)size, dpi, 72);
  return CreateFontA(height, 0, 0, 0, FW_HEAVY, italic ? 1 : 0, underline ? 1 : 0, strikeout ? 1 : 0,
                     (DWORD)charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

int CZqFunc::Font_AddResource(const char* path) { return AddFontResourceA(path); }

int CZqFunc::Font_RemoveResource(const char* path) { return RemoveFontResourceA(path); }

HFONT CZqFunc::Font_QuickCreateFont(const sFont& font) {
  return Font_QuickCreateFont(font.nSize, font.szFace, font.nCharset, font.nItalic, font.nUnderline,
                              font.nStrikeOut);
}

const char* CZqFunc::Font_GetName(const char* name, CZqSource* pack) {
  const sFileInfo* info = pack && name ? pack->FindSource(name) : nullptr;
  // Only font entries carry a face name; the field of other types holds other data.
  if (!info || info->m_type < FFT_FNT || info->m_type > FFT_FOT || !info->m_szFaceName[0] ||
      !memchr(info->m_szFaceName, 0, sizeof info->m_szFaceName))
    return name;
  return info->m_szFaceName;
}
