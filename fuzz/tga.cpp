// TGA input of CPixelMap32 over arbitrary bytes.
// Seeds in fuzz/corpus/tga: ImageMagick's 3x2 run-length true colour and colour-mapped pictures.
#include <cstdint>
#include <cstdio>

#include "ZqLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 18 || size > (1 << 20)) return 0;
  // Sides are 16-bit; keep the map small enough for the fuzzer's memory limit.
  if ((data[12] | data[13] << 8) * (size_t)(data[14] | data[15] << 8) > (1u << 18)) return 0;
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
