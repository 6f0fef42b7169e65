// CDibMap: a packed device-independent bitmap read from a .bmp file and painted through the DIB blits.
#include <cstring>
#include <new>
#include <vector>

#include "AssetFile.h"
#include "ZqFunc.h"
#include "ZqPixelMap.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetU16;
using zqle::GetU32;

constexpr DWORD kFileHeader = 14;

unsigned short ColorsByBits(unsigned bits) {
  switch (bits) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

}  // namespace

CDibMap::~CDibMap() { Clear(); }

void CDibMap::Clear() {
  delete[] m_pDib;
  m_pDib = nullptr;
  m_size = 0;
}

// Any header of 40 bytes or more is an information header (later versions only extend it).
bool CDibMap::IsCore() const { return GetU32(m_pDib) < sizeof(BITMAPINFOHEADER); }
DWORD CDibMap::HeaderSize() const { return m_pDib ? GetU32(m_pDib) : 0; }

unsigned long CDibMap::DIBWidth() const {
  if (!m_pDib) return 0;
  return IsCore() ? GetU16(m_pDib + 4) : (unsigned long)(LONG)GetU32(m_pDib + 4);
}

unsigned long CDibMap::DIBHeight() const {
  if (!m_pDib) return 0;
  return IsCore() ? GetU16(m_pDib + 6) : (unsigned long)(LONG)GetU32(m_pDib + 8);
}

unsigned short CDibMap::DIBNumColors() const {
  if (!m_pDib) return 0;
  if (IsCore()) return ColorsByBits(GetU16(m_pDib + 10));
  DWORD used = GetU32(m_pDib + 32);
  if (used) return (unsigned short)(used > 0xFFFF ? 0xFFFF : used);
  return ColorsByBits(GetU16(m_pDib + 14));
}

unsigned short CDibMap::PaletteSize() const { return (unsigned short)PaletteBytes(); }

// The colour table's size without the 16-bit cut, to check it against the buffer.
uint64_t CDibMap::PaletteBytes() const {
  if (!m_pDib) return 0;
  uint64_t colors = IsCore() ? ColorsByBits(GetU16(m_pDib + 10)) : GetU32(m_pDib + 32);
  if (!IsCore() && colors == 0) colors = ColorsByBits(GetU16(m_pDib + 14));
  return colors * (IsCore() ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD));
}

BYTE* CDibMap::FindDIBBits() { return m_pDib ? m_pDib + HeaderSize() + PaletteSize() : nullptr; }

int CDibMap::CreateFormBitmap(const char* path) {
  SStreamBuf s = CZqFunc::ZQFBUF_Create(path, "rb");
  if (!s.m_pFile) return 0;
  s.m_nSize = 0;
  int ok = CreateFormBitmap(s);
  CZqFunc::ZQFBUF_Close(&s);
  return ok;
}

int CDibMap::CreateFormBitmap(SStreamBuf& stream) {
  if (!stream.m_pFile) return 0;
  long size = stream.m_nSize;
  if (size == 0) {
    fseek(stream.m_pFile, 0, SEEK_END);
    size = ftell(stream.m_pFile);
    fseek(stream.m_pFile, 0, SEEK_SET);
  }
  if (size <= (long)kFileHeader) return 0;
  Clear();
  BYTE fileHeader[kFileHeader];
  if (CZqFunc::ZQFBUF_Read(fileHeader, 1, kFileHeader, &stream) != kFileHeader) return 0;
  DWORD n = (DWORD)(size - (long)kFileHeader);
  BYTE* dib = new (std::nothrow) BYTE[n];
  if (!dib) return 0;
  if (CZqFunc::ZQFBUF_Read(dib, 1, n, &stream) != n) {
    delete[] dib;
    return 0;
  }
  m_pDib = dib;
  m_size = n;
  // Header, colour table and (uncompressed) pixel rows must all lie inside the buffer.
  bool fits = n >= sizeof(BITMAPCOREHEADER) && HeaderSize() >= sizeof(BITMAPCOREHEADER) &&
              HeaderSize() <= n && (IsCore() || HeaderSize() >= sizeof(BITMAPINFOHEADER)) &&
              PaletteBytes() <= 0xFFFF && (uint64_t)HeaderSize() + PaletteBytes() <= n;
  if (fits) {
    unsigned bits = IsCore() ? GetU16(m_pDib + 10) : GetU16(m_pDib + 14);
    DWORD compression = IsCore() ? 0 : GetU32(m_pDib + 16);
    if (compression == 0 || compression == 3) {
      LONG h = IsCore() ? (LONG)GetU16(m_pDib + 6) : (LONG)GetU32(m_pDib + 8);
      LONG w = IsCore() ? (LONG)GetU16(m_pDib + 4) : (LONG)GetU32(m_pDib + 4);
      uint64_t rows = (uint64_t)(h < 0 ? -(int64_t)h : h);
      uint64_t stride = (((uint64_t)(w < 0 ? 0 : w) * bits + 31) / 32) * 4;
      fits = w >= 0 && stride * rows <= (uint64_t)n - HeaderSize() - PaletteSize();
      // Bit-field masks follow an information header.
      if (compression == 3) fits = fits && n >= sizeof(BITMAPINFOHEADER) + 12;
    } else if (compression == 1 || compression == 2) {
      // Run-length bits are read up to the header's image size: it must lie inside the buffer.
      fits = GetU32(m_pDib + 20) <= (uint64_t)n - HeaderSize() - PaletteSize();
    }
  }
  if (!fits) {
    Clear();
    return 0;
  }
  return 1;
}

int CDibMap::SaveToBitmap(const char* path) {
  if (!m_pDib) return 0;
  FILE* f = zq_assets::OpenFile(path, "wb");
  if (!f) return 0;
  BYTE head[kFileHeader] = {'B', 'M'};
  auto put32 = [&](int at, DWORD v) {
    for (int i = 0; i < 4; ++i) head[at + i] = BYTE(v >> (8 * i));
  };
  put32(2, kFileHeader + m_size);
  put32(10, kFileHeader + HeaderSize() + PaletteSize());
  bool ok = fwrite(head, 1, sizeof head, f) == sizeof head && fwrite(m_pDib, 1, m_size, f) == m_size;
  ok = (fclose(f) == 0) && ok;
  return ok ? 1 : 0;
}

HPALETTE CDibMap::CreateDIBPalette() {
  unsigned short colors = DIBNumColors();
  if (!m_pDib || colors == 0) return nullptr;
  std::vector<BYTE> mem(sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY));
  LOGPALETTE* pal = reinterpret_cast<LOGPALETTE*>(mem.data());
  pal->palVersion = 0x300;
  pal->palNumEntries = colors;
  const BYTE* table = m_pDib + HeaderSize();
  const size_t step = IsCore() ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
  for (unsigned i = 0; i < colors; ++i) {
    const BYTE* e = table + i * step;
    pal->palPalEntry[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
  }
  return CreatePalette(pal);
}

int CDibMap::Paint(HDC dc, const SScreenRect& src, const SScreenRect& dst) {
  if (!m_pDib) return 0;
  HPALETTE pal = CreateDIBPalette();
  HPALETTE old = pal ? SelectPalette(dc, pal, TRUE) : nullptr;
  SetStretchBltMode(dc, COLORONCOLOR);
  const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(m_pDib);
  // Both blits count the rows of a bottom-up bitmap from its bottom; the source rectangle is
  // in picture rows from the top, so it is turned over for either call.
  const LONG stored = (LONG)DIBHeight();
  const int rows = stored < 0 ? -stored : stored;
  const int ySrc = stored < 0 ? src.top : rows - src.top - src.height();
  int result;
  if (src.width() == dst.width() && src.height() == dst.height()) {
    result = SetDIBitsToDevice(dc, dst.left, dst.top, (DWORD)dst.width(), (DWORD)dst.height(), src.left, ySrc,
                               0, (UINT)rows, FindDIBBits(), info, DIB_RGB_COLORS);
  } else {
    result = StretchDIBits(dc, dst.left, dst.top, dst.width(), dst.height(), src.left, ySrc, src.width(),
                           src.height(), FindDIBBits(), info, DIB_RGB_COLORS, SRCCOPY);
  }
  if (old) SelectPalette(dc, old, TRUE);
  if (pal) DeleteObject(pal);
  return result;
}
