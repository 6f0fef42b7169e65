// CZqTexture: creation, lazy restore by name, pixel-map trimming and texture records.
#include "ZqTexture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "StreamGuard.h"
#include "TextureRecord.h"
#include "ZqDebug.h"
#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqPixelMap.h"
#include "ZqSource.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetI32;

// At most `most` bytes from `from` on, and never past the file's end (its size when opened).
void ReadSpan(SStreamBuf* s, long from, uint64_t most, std::vector<BYTE>& out) {
  const long avail = (long)s->m_nSize - s->m_nOffset - from;
  out.clear();
  if (avail <= 0) return;
  out.resize((size_t)std::min<uint64_t>((uint64_t)avail, most));
  CZqFunc::ZQFBUF_Set(s, from);
  out.resize(CZqFunc::ZQFBUF_Read(out.data(), 1, out.size(), s));
}

// Bytes from `from` to the file's end: for records that do not tell their own size.
void ReadRest(SStreamBuf* s, long from, std::vector<BYTE>& out) { ReadSpan(s, from, UINT64_MAX, out); }

// "PGM" within the first 16 bytes of the stream.
bool HasPgmSignature(SStreamBuf* s) {
  char sig[16] = {};
  CZqFunc::ZQFBUF_Set(s, 0);
  size_t n = CZqFunc::ZQFBUF_Read(sig, 1, sizeof sig, s);
  for (size_t i = 0; i + 3 <= n; ++i)
    if (memcmp(sig + i, "PGM", 3) == 0) return true;
  return false;
}

RECT ToRect(const SScreenRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

CZqTexture::CZqTexture(CZqEngine* engine)
    : CZqSurface(engine), m_nUser(1), m_dwWidthEx(0), m_dwHeightEx(0), m_bTexture(1), m_dwMipCount(0) {
  m_format = D3DX_SF_A8R8G8B8;
}

CZqTexture::~CZqTexture() { CZqTexture::Cleanup(); }

void CZqTexture::Cleanup() {
  CZqSurface::Cleanup();
  m_ptBase = SScreenPoint(0, 0);
  m_dwWidthEx = m_dwHeightEx = 0;
  m_dwMipCount = 0;
}

int CZqTexture::AddUser() { return ++m_nUser; }
int CZqTexture::Release() { return --m_nUser; }

int CZqTexture::SetStreamSource(const char* name) {
  std::string n = name ? name : "";
  if (n == m_strName) return 1;
  Cleanup();
  m_strName = n;
  return 1;
}

LPDIRECTDRAWSURFACE7 CZqTexture::GetTexture() {
  if (!m_pSurface && !m_strName.empty()) Import(m_strName.c_str());
  return m_pSurface;
}

long CZqTexture::TakeTexture(LPDIRECTDRAWSURFACE7 texture, DWORD mipCount) {
  m_pSurface = texture;
  long hr = OnCreate();
  m_ptBase = SScreenPoint(0, 0);
  m_dwWidthEx = GetWidth();
  m_dwHeightEx = GetHeight();
  m_bTexture = 1;
  m_dwMipCount = mipCount;
  return hr;
}

long CZqTexture::CreateEx(DWORD width, DWORD height, _D3DX_SURFACEFORMAT format, DWORD mipCount) {
  if (!width || !height) return 0;
  if (!m_pEngine || !m_pEngine->GetD3dDevice()) return E_FAIL;
  ReleaseSurface();
  m_format = format;
  m_dwMipCount = mipCount;
  DWORD flags = mipCount ? 0 : D3DX_TEXTURE_NOMIPMAP;
  DWORD w = width, h = height, mips = mipCount;
  D3DX_SURFACEFORMAT f = format;
  LPDIRECTDRAWSURFACE7 texture = nullptr;
  HRESULT hr = D3DXCreateTexture(m_pEngine->GetD3dDevice(), &flags, &w, &h, &f, nullptr, &texture, &mips);
  if (FAILED(hr)) {
    if (CZqDebug* log = CZqFunc::GetDebuger())
      log->ADD_LOG("failed to create texture(width=%dheight=%d) (name=%s)", (int)width, (int)height,
                   m_strName.c_str());
    return hr;
  }
  return TakeTexture(texture, mips);
}

long CZqTexture::CreateFromFile(const char* path, DWORD width, DWORD height, _D3DX_SURFACEFORMAT format,
                                DWORD mipCount) {
  if (!m_pEngine || !m_pEngine->GetD3dDevice()) return E_FAIL;
  if (!path) return E_INVALIDARG;
  ReleaseSurface();
  m_format = format;
  m_dwMipCount = mipCount;
  DWORD flags = mipCount ? 0 : D3DX_TEXTURE_NOMIPMAP;
  DWORD w = width, h = height, mips = mipCount;
  D3DX_SURFACEFORMAT f = format;
  LPDIRECTDRAWSURFACE7 texture = nullptr;
  std::string p = path;
  HRESULT hr = D3DXCreateTextureFromFile(m_pEngine->GetD3dDevice(), &flags, &w, &h, &f, nullptr, &texture,
                                         &mips, p.data(), D3DX_FT_DEFAULT);
  if (FAILED(hr)) return hr;
  return TakeTexture(texture, mips);
}

long CZqTexture::CreateFromJpegStream(SStreamBuf* stream, const SPixel24* key, _D3DX_SURFACEFORMAT format,
                                      DWORD mipCount) {
  SIZE size = CZqFunc::FileGetJpegSize(stream);
  if (size.cx <= 0 || size.cy <= 0) return E_FAIL;
  long hr = CreateEx((DWORD)size.cx, (DWORD)size.cy, format, mipCount);
  if (FAILED(hr)) return hr;
  if (GetWidth() < (DWORD)size.cx || GetHeight() < (DWORD)size.cy) {
    // Larger than the device's textures: a plain surface holds the whole picture.
    hr = CZqSurface::CreateEx((DWORD)size.cx, (DWORD)size.cy, 0);
    if (FAILED(hr)) return hr;
    m_dwWidthEx = GetWidth();
    m_dwHeightEx = GetHeight();
    m_bTexture = 0;
  }
  hr = LoadFromJpegFile(stream, key, 0, 0);
  if (FAILED(hr)) return hr;
  return OnCreate();
}

long CZqTexture::CreateFromFileEx(const char* path, const SPixel24* key, _D3DX_SURFACEFORMAT format,
                                  DWORD mipCount) {
  if (!m_pEngine) return E_FAIL;
  if (!path) return E_INVALIDARG;
  if (!CZqFunc::FileCompareExt(path, "jpg")) return CreateFromFile(path, 0, 0, format, mipCount);
  StreamGuard g(path, "rb");
  if (!g.ok()) return E_FAIL;
  return CreateFromJpegStream(&g.s, key, format, mipCount);
}

void CZqTexture::CreateVirtual(DWORD width, DWORD height, long baseX, long baseY) {
  ReleaseSurface();
  m_dwWidthEx = width;
  m_dwHeightEx = height;
  m_ddsd.dwWidth = width;
  m_ddsd.dwHeight = height;
  m_ptBase = SScreenPoint((int32_t)baseX, (int32_t)baseY);
  m_dwMipCount = 0;
}

int CZqTexture::CreateFromTGA(const char* path, float scale, _D3DX_SURFACEFORMAT format, DWORD mipCount) {
  CPixelMap32 map;
  if (!path || !map.LoadFromTgaFile(path)) return 0;
  return CreateFromPixmap(&map, scale, format, mipCount);
}

int CZqTexture::CreateFromPixmap(CPixelMap32* map, float scale, _D3DX_SURFACEFORMAT format, DWORD mipCount) {
  if (!map || !map->GetData() || !map->GetWidth() || !map->GetHeight()) return 0;
  const DWORD mw = (DWORD)map->GetWidth(), mh = (DWORD)map->GetHeight();
  DWORD left = mw, top = mh, right = 0, bottom = 0;
  for (DWORD y = 0; y < mh; ++y)
    for (DWORD x = 0; x < mw; ++x)
      if (map->At(x, y).alpha) {
        if (x < left) left = x;
        if (y < top) top = y;
        if (x + 1 > right) right = x + 1;
        if (y + 1 > bottom) bottom = y + 1;
      }
  if (right <= left || bottom <= top) return 0;
  const DWORD bw = right - left, bh = bottom - top;

  if (scale <= 0 && format <= 10) {
    if (FAILED(CreateEx(bw, bh, format, 0)) || !m_pSurface) return 0;
    Clear(0);
    if (FAILED(LoadFromPixmap(map, (long)left, (long)top))) return 0;
  } else {
    // Loaded into a temporary texture first; the blit converts the format (and stretches).
    CZqTexture temp(m_pEngine);
    const _D3DX_SURFACEFORMAT tf = (scale > 0 && format <= 10) ? format : D3DX_SF_A8R8G8B8;
    if (FAILED(temp.CreateEx(bw, bh, tf, 0)) || !temp.m_pSurface) return 0;
    if (FAILED(temp.LoadFromPixmap(map, (long)left, (long)top))) return 0;
    const DWORD w = scale > 0 ? (DWORD)(bw * scale) : bw;
    const DWORD h = scale > 0 ? (DWORD)(bh * scale) : bh;
    if (FAILED(CreateEx(w, h, format, mipCount)) || !m_pSurface) return 0;
    if (FAILED(Blt((SScreenRect*)nullptr, &temp, nullptr, 0))) {
      Cleanup();
      return 0;
    }
    if (scale > 0) {
      m_dwWidthEx = bw;
      m_dwHeightEx = bh;
    }
  }
  const SScreenPoint mb = map->GetBasePoint();
  m_ptBase = SScreenPoint(-(int32_t)left - mb.x, -(int32_t)top - mb.y);
  return 1;
}

long CZqTexture::LoadFromSurface(SScreenRect* destRect, CDxSurface* source, SScreenRect* sourceRect) {
  if (!m_pSurface || !source || !source->GetDDrawSurface()) return E_FAIL;
  RECT d, s;
  if (destRect) d = ToRect(*destRect);
  if (sourceRect) s = ToRect(*sourceRect);
  return D3DXLoadTextureFromSurface(m_pEngine ? m_pEngine->GetD3dDevice() : nullptr, m_pSurface, 0,
                                    source->GetDDrawSurface(), sourceRect ? &s : nullptr,
                                    destRect ? &d : nullptr, D3DX_FT_LINEAR);
}

// ---- restore by name

long CZqTexture::CreateFromPgmStream(SStreamBuf* stream) {
  BYTE head[36];
  CZqFunc::ZQFBUF_Set(stream, 0);
  if (CZqFunc::ZQFBUF_Read(head, 1, sizeof head, stream) != sizeof head) return E_FAIL;
  const int32_t width = GetI32(head + 24), height = GetI32(head + 28);
  if (width <= 0 || height <= 0) return E_FAIL;
  const _D3DX_SURFACEFORMAT format = m_format != D3DX_SF_UNKNOWN ? m_format : D3DX_SF_A8R8G8B8;
  long hr = CreateEx((DWORD)width, (DWORD)height, format, 0);
  if (FAILED(hr)) return hr;
  // The picture body is not clipped: a surface the device made smaller cannot hold it.
  if (!m_pSurface || GetWidth() < (DWORD)width || GetHeight() < (DWORD)height) {
    Cleanup();
    return E_FAIL;
  }
  return LoadFromPGMFile(stream);
}

long CZqTexture::CreateFromObject(const char* name) {
  const char* comma = strchr(name, ',');
  std::string file(name, comma);
  int type = 0, offset = 0;
  if (sscanf(comma + 1, "%d,%d", &type, &offset) != 2) return E_FAIL;
  StreamGuard g(file.c_str(), "rb");
  if (!g.ok()) return E_FAIL;
  if (offset < 0 || offset > g.s.m_nSize) return E_FAIL;
  g.s.m_nOffset = offset;
  if (type == FFT_PGM) return CreateFromPgmStream(&g.s);
  if (type == FFT_TEX) return Import(&g.s);
  return E_FAIL;
}

long CZqTexture::RestoreObjects() {
  if (m_pSurface) return 0;
  if (m_strName.empty()) return 0;
  const std::string name = m_strName;
  if (name.find(',') != std::string::npos) return CreateFromObject(name.c_str());

  CZqSource* pack = m_pEngine ? m_pEngine->GetSourcePtr() : nullptr;
  if (sFileInfo* info = pack ? pack->FindSource(name.c_str()) : nullptr) {
    switch (info->m_type) {
      case FFT_JPG: {
        StreamGuard g(info->m_szFile, "rb");
        if (!g.ok()) return E_FAIL;
        const _D3DX_SURFACEFORMAT format = m_format != D3DX_SF_UNKNOWN ? m_format : D3DX_SF_A8R8G8B8;
        return CreateFromJpegStream(&g.s, nullptr, format, 0);
      }
      case FFT_TGA:
        return CreateFromTGA(info->m_szFile, 0, D3DX_SF_A8R8G8B8, 0) ? 0 : E_FAIL;
      case FFT_PGM: {
        StreamGuard g(info->m_szFile, "rb");
        if (!g.ok() || !HasPgmSignature(&g.s)) return E_FAIL;
        g.s.m_nOffset = 20;
        return CreateFromPgmStream(&g.s);
      }
      default:
        return E_FAIL;
    }
  }

  {
    StreamGuard g(name.c_str(), "rb");
    if (!g.ok()) return 0;
    if (HasPgmSignature(&g.s)) {
      g.s.m_nOffset = 20;
      return CreateFromPgmStream(&g.s);
    }
  }
  const SPixel24 green(0, 255, 0);
  long hr = CreateFromFileEx(name.c_str(), &green, D3DX_SF_A8R8G8B8, 0);
  if (FAILED(hr)) hr = Import(name.c_str());
  return hr;
}

// ---- texture records

long CZqTexture::ImportRows(const BYTE* data, size_t size, int32_t format, int32_t runLength, DWORD width,
                            DWORD height) {
  long hr = CreateEx(width, height, (_D3DX_SURFACEFORMAT)format, 0);
  if (FAILED(hr)) return hr;
  if (!m_pSurface) return E_FAIL;
  Clear(0);
  if (GetSurfaceFormat() != format) return E_FAIL;
  BYTE* bits = nullptr;
  LONG pitch = 0;
  if (FAILED(BeginLock(&bits, &pitch)) || !bits) return E_FAIL;
  zqtexrec::Pixels px{bits, pitch, GetWidth(), GetHeight(), GetColorCount()};
  const bool ok = runLength ? zqtexrec::DecodeRle(data, size, px)
                            : zqtexrec::DecodeRaw(data, size, zqtexrec::RawRowBytes(format, px), px);
  EndLock();
  if (!ok) {
    ReleaseSurface();
    return E_FAIL;
  }
  m_dwWidthEx = GetWidth();
  m_dwHeightEx = GetHeight();
  return 0;
}

int CZqTexture::LoadFromMemory(const BYTE* record, size_t length) {
  if (!record || length < zqtexrec::kHeaderSize) return 0;
  zqtexrec::Header h;
  zqtexrec::ReadHeader(record, h);
  if (h.format == 0 || h.width <= 0 || h.height <= 0) return 0;
  if (h.size != 0) {
    if (h.size < (int32_t)zqtexrec::kHeaderSize || (size_t)h.size > length) return 0;
    length = (size_t)h.size;
  }
  const BYTE* data = record + zqtexrec::kHeaderSize;
  size_t size = length - zqtexrec::kHeaderSize;
  if (!h.rle) {  // the surface description stands before raw rows
    if (size < zqtexrec::kDescSize) return 0;
    data += zqtexrec::kDescSize;
    size -= zqtexrec::kDescSize;
  }
  return SUCCEEDED(ImportRows(data, size, h.format, h.rle, (DWORD)h.width, (DWORD)h.height)) ? 1 : 0;
}

long CZqTexture::Import(const char* path) {
  if (!path) return E_FAIL;
  StreamGuard g(path, "rb");
  if (!g.ok()) return E_FAIL;
  return Import(&g.s);
}

long CZqTexture::Import(SStreamBuf* stream) {
  if (!stream || !stream->m_pFile) return E_FAIL;
  BYTE head[zqtexrec::kHeaderSize];
  CZqFunc::ZQFBUF_Set(stream, 0);
  if (CZqFunc::ZQFBUF_Read(head, 1, sizeof head, stream) != sizeof head) return E_FAIL;
  zqtexrec::Header h;
  zqtexrec::ReadHeader(head, h);
  Cleanup();
  const long avail = (long)stream->m_nSize - stream->m_nOffset;

  long hr;
  std::vector<BYTE> bytes;
  if (h.format == 0) {
    // Old layout: the surface description, then rows of the stored row length.
    BYTE descBytes[zqtexrec::kDescSize];
    if (CZqFunc::ZQFBUF_Read(descBytes, 1, sizeof descBytes, stream) != sizeof descBytes) return E_FAIL;
    DDSURFACEDESC2 desc;
    zqReadSurfaceDesc(descBytes, desc);
    desc.lpSurface = nullptr;
    const long rowsAt = (long)(zqtexrec::kHeaderSize + zqtexrec::kDescSize);
    if (h.size < 0 || !desc.dwHeight ||
        (uint64_t)h.size * desc.dwHeight > (uint64_t)(avail > rowsAt ? avail - rowsAt : 0))
      return E_FAIL;
    // Each record is read by its own size, so a file of many records is read once, not to its end
    // for every record.
    ReadSpan(stream, rowsAt, (uint64_t)h.size * desc.dwHeight, bytes);
    if (FAILED(hr = Create(&desc))) return hr;
    Clear(0);
    BYTE* bits = nullptr;
    LONG pitch = 0;
    if (FAILED(BeginLock(&bits, &pitch)) || !bits) return E_FAIL;
    zqtexrec::Pixels px{bits, pitch, GetWidth(), GetHeight(), GetColorCount()};
    const bool ok = zqtexrec::DecodeRaw(bytes.data(), bytes.size(), (size_t)h.size, px);
    EndLock();
    if (!ok) {
      ReleaseSurface();
      return E_FAIL;
    }
    m_dwWidthEx = (DWORD)h.width;
    m_dwHeightEx = (DWORD)h.height;
  } else if (h.size != 0) {
    if (h.size < (int32_t)zqtexrec::kHeaderSize || h.size > avail) return E_FAIL;
    ReadSpan(stream, 0, (uint64_t)h.size, bytes);
    if (!LoadFromMemory(bytes.data(), (size_t)h.size)) return E_FAIL;
  } else {
    if (h.width <= 0 || h.height <= 0) return E_FAIL;
    long from = (long)zqtexrec::kHeaderSize + (h.rle ? 0 : (long)zqtexrec::kDescSize);
    if (avail < from) return E_FAIL;
    ReadRest(stream, from, bytes);
    if (FAILED(hr = ImportRows(bytes.data(), bytes.size(), h.format, h.rle, (DWORD)h.width, (DWORD)h.height)))
      return hr;
  }
  m_ptBase = SScreenPoint(h.baseX, h.baseY);
  return 0;
}

long CZqTexture::Export(const char* path, int runLength) {
  if (!path) return 0;
  StreamGuard g(path, "w+b");
  if (!g.ok()) return 0;
  return Export(&g.s, runLength);
}

long CZqTexture::Export(SStreamBuf* stream, int runLength) {
  if (!stream || !stream->m_pFile || !m_pSurface || GetColorCount() < 16) return 0;
  BYTE* bits = nullptr;
  LONG pitch = 0;
  if (FAILED(BeginLock(&bits, &pitch)) || !bits) return 0;
  zqtexrec::Pixels px{bits, pitch, GetWidth(), GetHeight(), GetColorCount()};
  std::vector<BYTE> out(zqtexrec::kHeaderSize);
  if (!runLength) {
    out.resize(zqtexrec::kHeaderSize + zqtexrec::kDescSize);
    zqWriteSurfaceDesc(m_ddsd, out.data() + zqtexrec::kHeaderSize);
    zqtexrec::EncodeRaw(px, zqtexrec::RawRowBytes(m_format, px), out);
  } else {
    const DDPIXELFORMAT& pf = m_ddsd.ddpfPixelFormat;
    const DWORD alphaMask = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    zqtexrec::EncodeRle(px, alphaMask, out);
  }
  EndLock();
  zqtexrec::Header h;
  // The surface's size, which is the logical one but for a scaled texture: its rows are the
  // surface's, and a record whose header told another size could not be read back.
  h.width = (int32_t)GetWidth();
  h.height = (int32_t)GetHeight();
  h.format = m_format;
  h.size = (int32_t)out.size();
  h.baseX = m_ptBase.x;
  h.baseY = m_ptBase.y;
  h.rle = runLength ? 1 : 0;
  zqtexrec::WriteHeader(h, out.data());
  CZqFunc::ZQFBUF_Set(stream, 0);
  if (CZqFunc::ZQFBUF_Write(out.data(), 1, out.size(), stream) != out.size()) return 0;
  fflush(stream->m_pFile);
  return (long)out.size();
}
