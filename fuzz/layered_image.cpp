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
    for (int32_t y : {l->m_top - 1, l->m_top, l->m_bottom - 1})
      for (int32_t x : {l->m_left - 1, l->m_left, l->m_right - 1}) sum += l->GetPixel(x, y).Value();
    doc.FindLayer(l->GetName().c_str());
  }
  return sum == 1 ? 0 : 0;
}
