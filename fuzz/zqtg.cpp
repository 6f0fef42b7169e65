// Texture-group files over arbitrary bytes (header, record table, records read on import),
// and numbered frame patterns ("name%02d.tga#1,12") from the same bytes.
#include <cstdint>
#include <cstdio>
#include <string>

#include "ZqLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  if (size >= 4 && std::string((const char*)data, 4) == "ZQTG") {
    for (int load = 0; load < 2; ++load) {
      FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
      if (!f) return 0;
      SStreamBuf s;
      s.m_pFile = f;
      s.m_nSize = (int32_t)size;
      CZqTextureGroup group(nullptr);
      group.Import(&s, load);
      for (int i = 0; i < group.GetNumTexture() && i < 64; ++i) group.GetTexture(i);
      fclose(f);
    }
    return 0;
  }
  // Only numbered patterns: other names would be opened as files.
  std::string name((const char*)data, size);
  if (name.find('%') == std::string::npos || name.find('\0') != std::string::npos) return 0;
  CZqTextureGroup group(nullptr);
  group.SetStreamSource(name.c_str(), 0);
  return 0;
}
