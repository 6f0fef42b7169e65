// Object handles: the live table, stock objects, selection, deletion and queries.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "device_context.h"

namespace zqgdi {
namespace {

std::unordered_set<const void*>& liveObjects() {
  static std::unordered_set<const void*> live;
  return live;
}

FontObject* makeStockFont(int height, int weight, const char* face) {
  auto* f = new FontObject;
  f->stock = true;
  f->lf.lfHeight = height;
  f->lf.lfWeight = weight;
  f->lf.lfCharSet = DEFAULT_CHARSET;
  f->face = face;
  std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
  trackObject(f);
  return f;
}

BitmapObject* stockBitmap() {
  static BitmapObject* bm = [] {
    auto* b = new BitmapObject;
    b->stock = true;
    b->width = b->height = 1;
    b->bitsPerPixel = 32;
    b->pitch = 4;
    b->storage.assign(4, 0);
    b->surface.row0 = b->storage.data();
    b->surface.stride = 4;
    b->surface.width = b->surface.height = 1;
    b->surface.fmt.set(32, 0, 0, 0);
    trackObject(b);
    return b;
  }();
  return bm;
}

}  // namespace

void trackObject(GdiObject* obj) { liveObjects().insert(obj); }

GdiObject* findObject(const void* handle) {
  if (!handle || !liveObjects().count(handle)) return nullptr;
  return static_cast<GdiObject*>(const_cast<void*>(handle));
}

void destroyObject(GdiObject* obj) {
  if (!obj || obj->stock) return;
  liveObjects().erase(obj);
  delete obj;
}

void selectRef(GdiObject* obj) {
  if (obj) ++obj->selections;
}

void releaseRef(GdiObject* obj) {
  if (obj && obj->selections > 0) --obj->selections;
}

FontObject* stockFont(int index) {
  static FontObject* system = makeStockFont(16, FW_BOLD, "");
  static FontObject* gui = makeStockFont(-11, FW_NORMAL, "");
  static FontObject* var = makeStockFont(-12, FW_NORMAL, "");
  static FontObject* fixed = makeStockFont(-12, FW_NORMAL, "monospace");
  switch (index) {
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
      return system;
    case DEFAULT_GUI_FONT:
      return gui;
    case ANSI_VAR_FONT:
      return var;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      return fixed;
    default:
      return nullptr;
  }
}

PaletteObject* defaultPalette() {
  static PaletteObject* pal = [] {
    auto* p = new PaletteObject;
    p->stock = true;
    // The 20 static colours.
    static const BYTE c[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                  {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                  {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                  {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                  {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (auto& e : c) p->entries.push_back({e[0], e[1], e[2], 0});
    trackObject(p);
    return p;
  }();
  return pal;
}

BitmapObject* defaultBitmap() { return stockBitmap(); }

}  // namespace zqgdi

using namespace zqgdi;

HGDIOBJ GetStockObject(int index) {
  if (index == DEFAULT_PALETTE) return defaultPalette();
  return stockFont(index);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = findDc(hdc);
  GdiObject* obj = findObject(h);
  if (!dc || !obj) return nullptr;
  if (obj->type == OBJ_FONT) {
    FontObject* prev = dc->font;
    dc->font = static_cast<FontObject*>(obj);
    selectRef(obj);
    releaseRef(prev);
    return prev;
  }
  if (obj->type == OBJ_BITMAP) {
    auto* bm = static_cast<BitmapObject*>(obj);
    if (dc->kind != DcKind::Memory) return nullptr;
    if (!bm->stock && bm->selectedIn && bm->selectedIn != dc) return nullptr;
    BitmapObject* prev = dc->bitmap ? dc->bitmap : defaultBitmap();
    if (prev != bm) {
      if (!prev->stock) prev->selectedIn = nullptr;
      releaseRef(prev);
      selectRef(bm);
    }
    if (!bm->stock) bm->selectedIn = dc;
    dc->bitmap = bm;
    dc->surface = bm->surface;
    return prev;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ h) {
  GdiObject* obj = findObject(h);
  if (!obj) return FALSE;
  if (obj->stock) return TRUE;
  // As on Windows, an object still selected into a DC is not deleted.
  if (obj->selections > 0) return FALSE;
  destroyObject(obj);
  return TRUE;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = findDc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_FONT:
      return dc->font;
    case OBJ_PAL:
      return dc->palette;
    case OBJ_BITMAP:
      return dc->kind == DcKind::Memory ? (dc->bitmap ? dc->bitmap : defaultBitmap()) : nullptr;
    default:
      return nullptr;
  }
}

DWORD GetObjectType(HGDIOBJ h) {
  if (GdiObject* obj = findObject(h)) return obj->type;
  if (DeviceContext* dc = findDc(static_cast<HDC>(h))) return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
  return 0;
}

int GetObjectA(HGDIOBJ h, int size, LPVOID out) {
  GdiObject* obj = findObject(h);
  if (!obj || size < 0) return 0;
  auto copyOut = [&](const void* src, int n) {
    if (!out) return n;
    int c = std::min(n, size);
    std::memcpy(out, src, size_t(c));
    return c;
  };
  switch (obj->type) {
    case OBJ_FONT:
      return copyOut(&static_cast<FontObject*>(obj)->lf, int(sizeof(LOGFONTA)));
    case OBJ_PAL: {
      WORD n = WORD(static_cast<PaletteObject*>(obj)->entries.size());
      return copyOut(&n, int(sizeof(n)));
    }
    case OBJ_BITMAP: {
      auto* b = static_cast<BitmapObject*>(obj);
      BITMAP bm{};
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      bm.bmWidthBytes = b->pitch;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = WORD(b->bitsPerPixel);
      bm.bmBits = b->storage.empty() ? nullptr : b->storage.data();
      return copyOut(&bm, int(sizeof(bm)));
    }
    default:
      return 0;
  }
}
