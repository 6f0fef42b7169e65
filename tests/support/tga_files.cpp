#include "tga_files.h"

#include <fstream>
#include <vector>

void WriteSolidTga(const std::string& path, int w, int h, uint32_t argb) {
  std::vector<uint8_t> b(18, 0);
  b[2] = 2;  // uncompressed true colour
  b[12] = uint8_t(w), b[13] = uint8_t(w >> 8), b[14] = uint8_t(h), b[15] = uint8_t(h >> 8);
  b[16] = 32;
  b[17] = 0x28;  // 8 alpha bits, top row first
  for (int i = 0; i < w * h; ++i)
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(argb >> (8 * k)));
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write((const char*)b.data(), (std::streamsize)b.size());
}
