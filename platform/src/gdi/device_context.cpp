// Device contexts: creation over surfaces, memory and screen DCs, drawing state, pixels.
#include <unordered_set>

#include "device_context.h"

namespace zqgdi {
namespace {

std::unordered_set<const void*>& liveDcs() {
  static std::unordered_set<const void*> live;
  return live;
}

}  // namespace

DeviceContext* findDc(HDC hdc) {
  if (!hdc || !liveDcs().count(hdc)) return nullptr;
  return reinterpret_cast<DeviceContext*>(hdc);
}

DeviceContext* newDc(DcKind kind) {
  auto* dc = new DeviceContext;
  dc->kind = kind;
  dc->font = stockFont(SYSTEM_FONT);
  dc->palette = defaultPalette();
  selectRef(dc->font);
  selectRef(dc->palette);
  if (kind == DcKind::Memory) {
    dc->bitmap = defaultBitmap();
    selectRef(dc->bitmap);
    dc->surface = dc->bitmap->surface;
  }
  liveDcs().insert(dc);
  return dc;
}

void deleteDc(DeviceContext* dc) {
  if (!dc) return;
  liveDcs().erase(dc);
  releaseRef(dc->font);
  releaseRef(dc->palette);
  if (dc->bitmap) {
    if (!dc->bitmap->stock) dc->bitmap->selectedIn = nullptr;
    releaseRef(dc->bitmap);
  }
  delete dc;
}

}  // namespace zqgdi

using namespace zqgdi;

HDC zqCreateSurfaceDC(void* bits, int width, int height, int pitch, int bitsPerPixel, DWORD rMask,
                      DWORD gMask, DWORD bMask) {
  if (!bits || width <= 0 || height <= 0) return nullptr;
  Surface s;
  if (!s.fmt.set(bitsPerPixel, rMask, gMask, bMask)) return nullptr;
  if (pitch < int64_t(width) * s.fmt.bytes) return nullptr;
  s.row0 = static_cast<uint8_t*>(bits);
  s.stride = pitch;
  s.width = width;
  s.height = height;
  DeviceContext* dc = newDc(DcKind::Surface);
  dc->surface = s;
  return reinterpret_cast<HDC>(dc);
}

void zqDeleteSurfaceDC(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  if (dc && dc->kind == DcKind::Surface) deleteDc(dc);
}

HDC GetDC(HWND hwnd) {
  DeviceContext* dc = newDc(DcKind::Screen);
  dc->window = hwnd;
  return reinterpret_cast<HDC>(dc);
}

int ReleaseDC(HWND, HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || dc->kind != DcKind::Screen) return 0;
  deleteDc(dc);
  return 1;
}

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !findDc(hdc)) return nullptr;
  return reinterpret_cast<HDC>(newDc(DcKind::Memory));
}

BOOL DeleteDC(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return FALSE;
  deleteDc(dc);
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return 0;
  bool pixels = dc->surface.valid();
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case PLANES:
      return 1;
    case BITSPIXEL:
      return pixels ? dc->surface.fmt.bytes * 8 : 32;
    case HORZRES:
      return pixels ? dc->surface.width : 800;
    case VERTRES:
      return pixels ? dc->surface.height : 600;
    case NUMCOLORS:
      return -1;
    case RASTERCAPS:
      return 0;  // no palette device
    case SIZEPALETTE:
      return 0;
    default:
      return 0;
  }
}

COLORREF SetTextColor(HDC hdc, COLORREF c) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF prev = dc->textColor;
  dc->textColor = c & 0xFFFFFF;
  return prev;
}

COLORREF GetTextColor(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF c) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF prev = dc->bkColor;
  dc->bkColor = c & 0xFFFFFF;
  return prev;
}

COLORREF GetBkColor(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
  int prev = dc->bkMode;
  dc->bkMode = mode;
  return prev;
}

int GetBkMode(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  return dc ? dc->bkMode : 0;
}

int SetStretchBltMode(HDC hdc, int mode) {
  DeviceContext* dc = findDc(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  int prev = dc->stretchMode;
  dc->stretchMode = mode;
  return prev;
}

int GetStretchBltMode(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  return dc ? dc->stretchMode : 0;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return CLR_INVALID;
  const Surface& s = dc->surface;
  if (!s.valid() || x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
  uint32_t v = s.fmt.encode(c);
  s.write(x, y, v);
  return s.fmt.decode(v);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return CLR_INVALID;
  const Surface& s = dc->surface;
  if (!s.valid() || x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
  return s.fmt.decode(s.read(x, y));
}
