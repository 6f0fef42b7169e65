// The engine picture files: "PGM2003a" (one picture as opaque spans) and "PGG2003a" (a group of bodies).
#include <cstring>
#include <vector>

#include "AssetFile.h"
#include "PictureBody.h"
#include "ZqFunc.h"
#include "ZqPixelMap.h"

namespace {

void PutI32(std::vector<BYTE>& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(BYTE((uint32_t)v >> (8 * i)));
}
void PutI16(std::vector<BYTE>& out, int16_t v) {
  out.push_back(BYTE((uint16_t)v));
  out.push_back(BYTE((uint16_t)v >> 8));
}

bool WriteAt(SStreamBuf* s, long pos, const std::vector<BYTE>& bytes) {
  if (CZqFunc::ZQFBUF_Set(s, pos) != 0) return false;
  return bytes.empty() || CZqFunc::ZQFBUF_Write(bytes.data(), 1, bytes.size(), s) == bytes.size();
}

bool WriteSignature(SStreamBuf* s, const char* text) {
  BYTE sig[16] = {};
  memcpy(sig, text, strlen(text));
  return CZqFunc::ZQFBUF_Write(sig, 1, sizeof sig, s) == sizeof sig;
}

constexpr long kSpanTable = 50;
constexpr long kSpanGap = 20;
constexpr long kPgmBase = 20;

// A picture file at path: its signature, then what save writes at the body base.
template <class Save>
int SaveFile(const char* path, long format, const char* signature, Save save) {
  if (format != 1 && format != 2) return 0;
  SStreamBuf s = CZqFunc::ZQFBUF_Create(path, "wb");
  if (!s.m_pFile) return 0;
  int ok = WriteSignature(&s, signature);
  if (ok) {
    s.m_nOffset = kPgmBase;
    ok = save(&s);
  }
  CZqFunc::ZQFBUF_Close(&s);
  return ok;
}

}  // namespace

namespace zq_assets {

int WritePictureBody(const CPixelMap32& map, SStreamBuf* s, long format, bool allowEmpty) {
  if (!s || !s->m_pFile || (format != 1 && format != 2)) return 0;
  const DWORD w = (DWORD)map.GetWidth(), h = (DWORD)map.GetHeight();
  if ((w == 0 || h == 0) && !allowEmpty) return 0;

  // The box of every pixel whose alpha is not 0.
  DWORD left = w, top = h, right = 0, bottom = 0;
  for (DWORD y = 0; y < h; ++y)
    for (DWORD x = 0; x < w; ++x)
      if (map.At(x, y).alpha) {
        if (x < left) left = x;
        if (x >= right) right = x + 1;
        if (y < top) top = y;
        if (y >= bottom) bottom = y + 1;
      }
  if (right == 0) left = top = right = bottom = 0;  // nothing opaque: an empty box at the origin
  // Spans keep 16-bit rows and columns.
  if (right - left > 32767 || bottom - top > 32767) return 0;

  std::vector<BYTE> spans, pixels;
  int32_t spanCount = 0, pixelCount = 0;
  for (DWORD y = top; y < bottom; ++y) {
    DWORD x = left;
    while (x < right) {
      if (!map.At(x, y).alpha) {
        ++x;
        continue;
      }
      DWORD start = x;
      for (; x < right && map.At(x, y).alpha; ++x) {
        const SPixel32& p = map.At(x, y);
        pixels.insert(pixels.end(), {p.blue, p.green, p.red});
        if (format == 1) pixels.push_back(p.alpha);
        ++pixelCount;
      }
      PutI16(spans, (int16_t)(y - top));
      PutI16(spans, (int16_t)(start - left));
      PutI16(spans, (int16_t)(x - left));
      ++spanCount;
    }
  }
  const int32_t pixelOffset = (int32_t)(kSpanTable + 6 * spanCount + kSpanGap);
  std::vector<BYTE> header;
  PutI32(header, (int32_t)kSpanTable);
  PutI32(header, spanCount);
  PutI32(header, pixelOffset);
  PutI32(header, pixelCount);
  PutI32(header, map.GetBasePoint().x - (int32_t)left);
  PutI32(header, map.GetBasePoint().y - (int32_t)top);
  PutI32(header, (int32_t)(right - left));
  PutI32(header, (int32_t)(bottom - top));
  PutI32(header, (int32_t)format);
  if (!WriteAt(s, kSpanTable, spans) || !WriteAt(s, pixelOffset, pixels) || !WriteAt(s, 0, header)) return 0;
  return 1;
}

}  // namespace zq_assets

int CPixelMap32::SaveToPGM(SStreamBuf* stream, long format) {
  return zq_assets::WritePictureBody(*this, stream, format, false);
}

int CPixelMap32::SaveToPGM(const char* path, long format) {
  return SaveFile(path, format, "PGM2003a", [&](SStreamBuf* s) { return SaveToPGM(s, format); });
}

int CPixMapGroup::SaveToPGG(SStreamBuf* stream, long format) {
  if (!stream || !stream->m_pFile || (format != 1 && format != 2)) return 0;
  const int32_t groupBase = stream->m_nOffset;
  std::vector<BYTE> table;
  // The first body sits right behind the count and table-offset fields.
  int32_t body = groupBase + 8;
  bool ok = true;
  for (CPixelMap32* map : m_maps) {
    PutI32(table, body);
    stream->m_nOffset = body;
    // An empty map still gets a body (no spans), so every table entry points at a real body.
    if (!zq_assets::WritePictureBody(*map, stream, format, true)) {
      ok = false;
      break;
    }
    stream->m_nOffset = 0;
    CZqFunc::ZQFBUF_Seek(stream, 0, SEEK_END);
    body = (int32_t)CZqFunc::ZQFBUF_Tell(stream) + 10;
  }
  stream->m_nOffset = 0;
  if (ok) {
    CZqFunc::ZQFBUF_Seek(stream, 0, SEEK_END);
    int32_t tableOffset = (int32_t)CZqFunc::ZQFBUF_Tell(stream);
    std::vector<BYTE> fields;
    PutI32(fields, (int32_t)m_maps.size());
    PutI32(fields, tableOffset);
    ok = WriteAt(stream, tableOffset, table);
    stream->m_nOffset = groupBase;
    ok = ok && WriteAt(stream, 0, fields);
  }
  stream->m_nOffset = groupBase;
  return ok ? 1 : 0;
}

int CPixMapGroup::SaveToPGG(const char* path, long format) {
  return SaveFile(path, format, "PGG2003a", [&](SStreamBuf* s) { return SaveToPGG(s, format); });
}
