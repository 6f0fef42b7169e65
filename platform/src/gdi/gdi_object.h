// GDI objects behind the opaque handles, and the table of live handles that guards every call.
#pragma once

#include <string>
#include <vector>

#include "pixel_format.h"

namespace zqgdi {

struct SizedFace;

struct GdiObject {
  explicit GdiObject(DWORD t) : type(t) {}
  virtual ~GdiObject() = default;
  DWORD type;
  bool stock = false;
  int selections = 0;          // DCs holding it selected
  bool deletePending = false;  // DeleteObject while selected: freed when released
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONTA lf{};
  std::string face;  // full face name (GBK), not cut to LF_FACESIZE
  // Resolved face at this font's size; valid while generation matches the face registry's.
  SizedFace* sized = nullptr;
  unsigned generation = 0;
};

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(OBJ_BITMAP) {}
  std::vector<uint8_t> storage;
  int width = 0, height = 0, bitsPerPixel = 0, pitch = 0;
  bool bottomUp = true;
  Surface surface;  // view of storage
  struct DeviceContext* selectedIn = nullptr;
};

// Live-handle table: a stale or foreign handle is refused instead of dereferenced.
void trackObject(GdiObject* obj);
GdiObject* findObject(const void* handle);
template <class T>
T* findObjectOf(const void* handle, DWORD type) {
  GdiObject* o = findObject(handle);
  return o && o->type == type ? static_cast<T*>(o) : nullptr;
}
// Frees the object (untracks it) unless stock.
void destroyObject(GdiObject* obj);
void selectRef(GdiObject* obj);
void releaseRef(GdiObject* obj);

FontObject* stockFont(int index);
PaletteObject* defaultPalette();
BitmapObject* defaultBitmap();  // the 1x1 bitmap of a new memory DC

}  // namespace zqgdi
