// TGA input of CPixelMap32 over arbitrary bytes.
// Seeds in fuzz/corpus/tga: ImageMagick's 3x2 run-length true colour and colour-mapped pictures,
// and headers that claim far more pixels than their bytes hold.
#include <cstdint>
#include <cstdio>

#include "ZqLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader sizes the map by the data (at most 64 pixels a byte), so 4 KiB of input keep every
  // map within 2^18 pixels while any header, however large, is tried.
  if (size < 18 || size > 4096) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  CPixelMap32 map;
  map.LoadFromTgaFileBuffer(f);
  fclose(f);
  unsigned sum = 0;
  for (DWORD y = 0; y < map.GetHeight(); ++y)
    for (DWORD x = 0; x < map.GetWidth(); ++x) sum += map.At(x, y).Value();
  return sum == 1 ? 0 : 0;
}
