#include "sound_support.h"

std::string Le16(uint16_t v) { return std::string{(char)(v & 0xFF), (char)(v >> 8)}; }

std::string Le32(uint32_t v) { return Le16((uint16_t)v) + Le16((uint16_t)(v >> 16)); }

std::string Chunk(const std::string& id, const std::string& body) {
  std::string c = id + Le32((uint32_t)body.size()) + body;
  if (body.size() & 1) c += '\0';
  return c;
}

std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32((uint32_t)(4 + chunks.size())) + "WAVE" + chunks;
}

std::string PcmFormat(int channels, int rate, int bits, int tag) {
  int block = channels * bits / 8;
  return Le16((uint16_t)tag) + Le16((uint16_t)channels) + Le32((uint32_t)rate) +
         Le32((uint32_t)(rate * block)) + Le16((uint16_t)block) + Le16((uint16_t)bits);
}

std::string WaveChunk(const std::string& file, const std::string& id) {
  size_t at = 12;
  while (at + 8 <= file.size()) {
    uint32_t size = (uint8_t)file[at + 4] | (uint8_t)file[at + 5] << 8 | (uint8_t)file[at + 6] << 16 |
                    (uint32_t)(uint8_t)file[at + 7] << 24;
    if (file.compare(at, 4, id) == 0) return file.substr(at + 8, size);
    at += 8 + size + (size & 1);
  }
  return "";
}
