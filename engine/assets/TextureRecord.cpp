// Texture record rows: raw and run-length coding.
#include "TextureRecord.h"

#include <cstring>

#include "../common/LittleEndian.h"  // relative: the record fuzzer compiles this file itself

namespace zqtexrec {
namespace {

using zqle::GetI32;
using zqle::PutU32;

void PutOp(std::vector<BYTE>& out, BYTE op, uint32_t count) {
  out.push_back(op);
  out.push_back(BYTE(count));
  out.push_back(BYTE(count >> 8));
}

DWORD PixelAt(const BYTE* row, DWORD x, DWORD bytes) {
  DWORD v = 0;
  memcpy(&v, row + (size_t)x * bytes, bytes);  // little-endian host
  return v;
}

}  // namespace

void ReadHeader(const BYTE* in, Header& h) {
  h.width = GetI32(in);
  h.height = GetI32(in + 4);
  h.format = GetI32(in + 8);
  h.size = GetI32(in + 12);
  h.baseX = GetI32(in + 16);
  h.baseY = GetI32(in + 20);
  h.rle = GetI32(in + 24);
}

void WriteHeader(const Header& h, BYTE* out) {
  PutU32(out, h.width);
  PutU32(out + 4, h.height);
  PutU32(out + 8, h.format);
  PutU32(out + 12, h.size);
  PutU32(out + 16, h.baseX);
  PutU32(out + 20, h.baseY);
  PutU32(out + 24, h.rle);
}

size_t RawRowBytes(int32_t format, const Pixels& px) {
  if (format > 10) return px.pitch > 0 ? (size_t)px.pitch : 0;
  return (size_t)px.width * px.bpp / 8;
}

bool DecodeRaw(const BYTE* data, size_t size, size_t rowBytes, const Pixels& px) {
  if (px.pitch < 0 || rowBytes > (size_t)px.pitch) return false;
  if (px.height && rowBytes > size / px.height) return false;
  for (DWORD y = 0; y < px.height; ++y)
    memcpy(px.bits + (size_t)y * px.pitch, data + (size_t)y * rowBytes, rowBytes);
  return true;
}

bool DecodeRle(const BYTE* data, size_t size, const Pixels& px) {
  if (px.bpp == 0 || px.bpp % 8 || px.pitch < 0) return false;
  const size_t bytes = px.bpp / 8;
  if ((size_t)px.width * bytes > (size_t)px.pitch) return false;
  size_t pos = 0;
  for (DWORD y = 0; y < px.height; ++y) {
    BYTE* row = px.bits + (size_t)y * px.pitch;
    size_t x = 0;
    for (;;) {
      if (size - pos < 3) return false;
      const BYTE op = data[pos];
      const size_t count = (size_t)data[pos + 1] | (size_t)data[pos + 2] << 8;
      pos += 3;
      if (op == kOpEnd) return true;  // the record ends; later rows stay cleared
      if (op == kOpRowMark) {
        if (count == 0) continue;  // the first row's mark
        break;                     // the next row's mark closes this row
      }
      if (op == kOpSkip) {
        if (count > px.width - x) return false;
        x += count;
      } else if (op == kOpCopy) {
        if (count > px.width - x || count * bytes > size - pos) return false;
        memcpy(row + x * bytes, data + pos, count * bytes);
        x += count;
        pos += count * bytes;
      }
    }
  }
  return true;
}

void EncodeRaw(const Pixels& px, size_t rowBytes, std::vector<BYTE>& out) {
  out.reserve(out.size() + rowBytes * px.height);
  for (DWORD y = 0; y < px.height; ++y) {
    const BYTE* row = px.bits + (size_t)y * px.pitch;
    out.insert(out.end(), row, row + rowBytes);
  }
}

void EncodeRle(const Pixels& px, DWORD alphaMask, std::vector<BYTE>& out) {
  const size_t start = out.size();
  const DWORD bytes = px.bpp / 8;
  for (DWORD y = 0; y < px.height; ++y) {
    const BYTE* row = px.bits + (size_t)y * px.pitch;
    PutOp(out, kOpRowMark, y);
    DWORD x = 0;
    while (x < px.width) {
      const bool opaque = !alphaMask || (PixelAt(row, x, bytes) & alphaMask);
      DWORD end = x + 1;
      while (end < px.width && end - x < 0xFFFF &&
             (!alphaMask || (PixelAt(row, end, bytes) & alphaMask)) == opaque)
        ++end;
      const DWORD n = end - x;
      if (opaque) {
        PutOp(out, kOpCopy, n);
        out.insert(out.end(), row + (size_t)x * bytes, row + (size_t)end * bytes);
      } else {
        bool trailing = true;  // a transparent run that reaches the row's end is not written
        for (DWORD i = end; i < px.width; ++i)
          if (!alphaMask || (PixelAt(row, i, bytes) & alphaMask)) {
            trailing = false;
            break;
          }
        if (trailing) break;
        PutOp(out, kOpSkip, n);
      }
      x = end;
    }
  }
  PutOp(out, kOpEnd, (uint32_t)(out.size() - start + 3));
}

}  // namespace zqtexrec
