// The layered image reader over arbitrary bytes.
// Seeds in fuzz/corpus/layered_image: ImageMagick's two-layer files, raw and run-length.
#include <cstdint>
#include <sstream>
#include <string>

#include "ZqLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  std::stringbuf in(std::string(reinterpret_cast<const char*>(data), size), std::ios::in | std::ios::binary);
  CPsdDocument doc;
  try {
    doc.Parse(in);
  } catch (const t_streambuf_read_failure&) {
  }
  unsigned sum = 0;
  for (int i = 0; i < doc.GetLayerCount(); ++i) {
    const CPsdLayer* l = doc.GetLayer(i);
    // Corners and a few pixels just outside: reads stay inside the channel buffers.
    // In 64 bits, as a side may sit at the edge of the 32-bit range; coordinates past it are skipped.
    for (int64_t y : {(int64_t)l->m_top - 1, (int64_t)l->m_top, (int64_t)l->m_bottom - 1})
      for (int64_t x : {(int64_t)l->m_left - 1, (int64_t)l->m_left, (int64_t)l->m_right - 1})
        if (x >= INT32_MIN && y >= INT32_MIN) sum += l->GetPixel((int32_t)x, (int32_t)y).Value();
    doc.FindLayer(l->GetName().c_str());
  }
  return sum == 1 ? 0 : 0;
}
