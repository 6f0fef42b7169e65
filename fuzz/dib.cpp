// Packed DIBs of CDibMap over arbitrary bytes.
// Seeds in fuzz/corpus/dib: ImageMagick's 3x2 BMP3 (8 and 24 bits) and BMP2 (core header) files.
#include <cstdint>
#include <cstdio>
#include <vector>

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
    // Painted at its size and stretched; sides kept small for the fuzzer's memory limit.
    if ((uint64_t)dib.GetWidth() * (dib.GetHeight() & 0xFFFFFFFFu) <= (1u << 20) && dib.GetHeight() <= 4096 &&
        (int32_t)dib.GetHeight() >= -4096) {
      static std::vector<uint32_t> px(16 * 16);
      static HDC dc = zqCreateSurfaceDC(px.data(), 16, 16, 16 * 4, 32, 0xFF0000, 0x00FF00, 0x0000FF);
      dib.Paint(dc, SScreenRect(1, 1, 9, 7), SScreenRect(2, 3, 10, 9));
      dib.Paint(dc, SScreenRect(0, 0, 3, 2), SScreenRect(-4, 0, 20, 16));
    }
  }
  fclose(f);
  return 0;
}
