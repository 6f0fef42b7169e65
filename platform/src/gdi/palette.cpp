// Logical palettes. Surfaces here are true-colour, so a palette only serves DIB_PAL_COLORS.
#include "device_context.h"

using namespace zqgdi;

HPALETTE CreatePalette(const LOGPALETTE* pal) {
  if (!pal || pal->palNumEntries == 0) return nullptr;
  auto* p = new PaletteObject;
  p->entries.assign(pal->palPalEntry, pal->palPalEntry + pal->palNumEntries);
  trackObject(p);
  return reinterpret_cast<HPALETTE>(static_cast<GdiObject*>(p));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL) {
  DeviceContext* dc = findDc(hdc);
  auto* p = findObjectOf<PaletteObject>(pal, OBJ_PAL);
  if (!dc || !p) return nullptr;
  PaletteObject* prev = dc->palette;
  dc->palette = p;
  selectRef(p);
  releaseRef(prev);
  return reinterpret_cast<HPALETTE>(static_cast<GdiObject*>(prev));
}

UINT RealizePalette(HDC hdc) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return GDI_ERROR;
  return dc->palette ? UINT(dc->palette->entries.size()) : 0;
}
