// Little-endian fields of the engine's stored records, taken a byte at a time so that neither
// alignment nor the host's byte order matters.
#pragma once

#include <cstdint>

#include "zqplatform/types.h"

namespace zqle {

inline uint32_t GetU32(const BYTE* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
inline int32_t GetI32(const BYTE* p) { return (int32_t)GetU32(p); }
inline uint16_t GetU16(const BYTE* p) { return (uint16_t)(p[0] | p[1] << 8); }
inline int16_t GetI16(const BYTE* p) { return (int16_t)GetU16(p); }

inline void PutU32(BYTE* p, uint32_t v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
  p[2] = BYTE(v >> 16);
  p[3] = BYTE(v >> 24);
}
inline void PutU16(BYTE* p, uint16_t v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
}

}  // namespace zqle
