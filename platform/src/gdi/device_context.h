// Device contexts: drawing state over a surface, a memory bitmap, or nothing (screen, window).
#pragma once

#include "gdi_object.h"

namespace zqgdi {

enum class DcKind { Surface, Memory, Screen };

struct DeviceContext {
  DcKind kind = DcKind::Screen;
  HWND window = nullptr;
  Surface surface;  // empty for a screen or window DC: drawing there changes nothing
  FontObject* font = nullptr;
  PaletteObject* palette = nullptr;
  BitmapObject* bitmap = nullptr;  // memory DCs: the selected bitmap (null: the 1x1 default)
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
};

DeviceContext* findDc(HDC hdc);
DeviceContext* newDc(DcKind kind);
void deleteDc(DeviceContext* dc);

}  // namespace zqgdi
