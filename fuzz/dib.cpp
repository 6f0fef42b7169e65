// Packed DIBs of CDibMap over arbitrary bytes.
// Seeds in fuzz/corpus/dib: ImageMagick's 3x2 BMP3 (8 and 24 bits) and BMP2 (core header) files.
#include <cstdint>
#include <cstdio>

#include "ZqLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size ? size : 1, "rb");
  if (!f) return 0;
  SStreamBuf s;
  s.m_pFile = f;
  s.m_nSize = (int32_t)size;
  CDibMap dib;
  if (dib.CreateFormBitmap(s)) {
    // Everything the accessors point at lies inside the buffer.
    const BYTE* bits = dib.FindDIBBits();
    if (bits < dib.GetData() || bits > dib.GetData() + dib.GetSize()) __builtin_trap();
    (void)dib.GetWidth();
    (void)dib.GetHeight();
    if (HPALETTE pal = dib.CreateDIBPalette()) DeleteObject(pal);
  }
  fclose(f);
  return 0;
}
