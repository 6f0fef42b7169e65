// TGA input of CPixelMap32: colour-mapped, true-colour and grey pictures, raw or run-length coded.
#include <cstring>
#include <vector>

#include "AssetFile.h"
#include "ZqPixelMap.h"

namespace {

// The whole rest of the file in memory: every count in the header is checked against it.
class ByteSource {
 public:
  explicit ByteSource(FILE* f) {
    BYTE buf[65536];
    for (size_t n; f && (n = fread(buf, 1, sizeof buf, f)) > 0;) m_data.insert(m_data.end(), buf, buf + n);
  }
  // False at the end of the file.
  bool Get(BYTE* dst, size_t n) {
    if (n > Left()) {
      m_pos = m_data.size();
      return false;
    }
    memcpy(dst, m_data.data() + m_pos, n);
    m_pos += n;
    return true;
  }
  size_t Left() const { return m_data.size() - m_pos; }

 private:
  std::vector<BYTE> m_data;
  size_t m_pos = 0;
};

BYTE Expand5(unsigned v) { return (BYTE)(v * 255 / 31); }

// A 15/16-bit value: x RRRRR GGGGG BBBBB, little-endian.
SPixel32 From555(const BYTE* b) {
  unsigned v = b[0] | (b[1] << 8);
  return SPixel32(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255);
}

struct TgaHeader {
  BYTE idLength, mapType, imageType;
  WORD mapFirst, mapLength;
  BYTE mapEntrySize;
  WORD width, height;
  BYTE depth, descriptor;
};

}  // namespace

int CPixelMap32::LoadFromTgaFile(const char* path) {
  FILE* f = zq_assets::OpenFile(path, "rb");
  if (!f) return 0;
  LoadFromTgaFileBuffer(f);
  fclose(f);
  m_key = zq_assets::FileNamePart(path);
  return 1;
}

void CPixelMap32::LoadFromTgaFileBuffer(FILE* file) {
  ByteSource in(file);
  BYTE h[18];
  if (!in.Get(h, sizeof h)) {
    Clear();
    return;
  }
  TgaHeader hd{h[0],
               h[1],
               h[2],
               (WORD)(h[3] | h[4] << 8),
               (WORD)(h[5] | h[6] << 8),
               h[7],
               (WORD)(h[12] | h[13] << 8),
               (WORD)(h[14] | h[15] << 8),
               h[16],
               h[17]};
  BYTE skip[255];
  in.Get(skip, hd.idLength);

  SPixel24 palette[256];
  memset(palette, 0, sizeof palette);
  if (hd.mapType != 0) {
    // Each entry takes its stored size; 15/16-bit entries are 5-5-5, wider ones start blue, green, red.
    size_t entry = ((size_t)hd.mapEntrySize + 7) / 8;
    for (unsigned i = 0; i < hd.mapLength; ++i) {
      BYTE e[4] = {0, 0, 0, 0};
      BYTE* p = e;
      size_t left = entry;
      for (; left > 0; --left) {  // entries wider than 4 bytes keep their first 4
        BYTE b;
        if (!in.Get(&b, 1)) break;
        if (p < e + 4) *p++ = b;
      }
      unsigned index = hd.mapFirst + i;
      if (index >= 256) continue;
      if (entry == 2) {
        SPixel32 c = From555(e);
        palette[index] = SPixel24(c.red, c.green, c.blue);
      } else {
        palette[index] = SPixel24(e[2], e[1], e[0]);
      }
    }
  }

  const DWORD w = hd.width, hgt = hd.height;
  const bool rightToLeft = hd.descriptor & 0x10, topToBottom = hd.descriptor & 0x20;

  int base = hd.imageType & ~8;  // 9, 10, 11 decode as 1, 2, 3
  bool rle = hd.imageType >= 9 && hd.imageType <= 11;
  bool known = (hd.imageType >= 1 && hd.imageType <= 3) || rle;

  size_t bytes = 1;
  if (base == 2) bytes = hd.depth == 32 ? 4 : (hd.depth == 15 || hd.depth == 16) ? 2 : 3;
  if (!known) bytes = hd.depth > 8 ? ((size_t)hd.depth + 7) / 8 : 1;
  // The map is never larger than the data can fill: raw pixels one by one, run-length ones
  // at most 128 per packet of a header and one value. A few bytes cannot claim gigabytes.
  const size_t total = (size_t)w * hgt;
  const size_t fits = rle ? (in.Left() + bytes) / (1 + bytes) * 128 : in.Left() / bytes;
  if (total > fits) {
    Clear();
    return;
  }
  if (!Create(w, hgt)) return;
  if (!known) return;  // unsupported: left as allocated
  auto decode = [&](const BYTE* v) -> SPixel32 {
    if (base == 1) return SPixel32(palette[v[0]]);
    if (base == 3) return SPixel32(v[0], v[0], v[0], 255);
    if (bytes == 4) return SPixel32(v[2], v[1], v[0], v[3]);
    if (bytes == 2) return From555(v);
    return SPixel32(v[2], v[1], v[0], 255);
  };
  // The n-th stored pixel, placed in the picture's row and column order.
  auto place = [&](size_t n, const SPixel32& p) {
    DWORD row = (DWORD)(n / w), col = (DWORD)(n % w);
    DWORD x = rightToLeft ? w - 1 - col : col;
    DWORD y = topToBottom ? row : hgt - 1 - row;
    At(x, y) = p;
  };

  BYTE v[4];
  size_t n = 0;
  if (!rle) {
    for (; n < total && in.Get(v, bytes); ++n) place(n, decode(v));
    return;
  }
  // Packets may run on into the next row; nothing goes past the end of the picture.
  while (n < total) {
    BYTE head;
    if (!in.Get(&head, 1)) return;
    size_t count = (size_t)(head & 0x7F) + 1;
    if (head & 0x80) {
      if (!in.Get(v, bytes)) return;
      SPixel32 p = decode(v);
      for (; count > 0 && n < total; --count) place(n++, p);
    } else {
      for (; count > 0 && n < total; --count) {
        if (!in.Get(v, bytes)) return;
        place(n++, decode(v));
      }
    }
  }
}
