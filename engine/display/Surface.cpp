// CDxSurface and CZqSurface: creation, description, channel table, colours, locks, restore.
#include <cstring>

#include "ZqDebug.h"
#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSource.h"
#include "ZqSurface.h"

namespace {

void ZeroDesc(DDSURFACEDESC2& d) {
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
}

// Position of the lowest set bit and the width from it to the highest set bit.
void ChannelFromMask(DWORD mask, SChannelInfo& ch) {
  ch.loss = 8;
  ch.shift = 0;
  if (!mask) return;
  int low = __builtin_ctz(mask);
  int high = 31 - __builtin_clz(mask);
  ch.shift = low;
  ch.loss = 8 - (high - low + 1);
}

DWORD Place(DWORD c, const SChannelInfo& ch, DWORD mask) {
  DWORD v = ch.loss >= 0 ? (c >> ch.loss) : (c << -ch.loss);
  return (v << ch.shift) & mask;
}

}  // namespace

// ---- CDxSurface -------------------------------------------------------------------------------

CDxSurface::CDxSurface() : CDxSurface(nullptr) {}

CDxSurface::CDxSurface(CZqEngine* engine)
    : m_pEngine(engine),
      m_bEngineFlag(engine ? engine->IsLost() : 1),
      m_bVideoMemory(0),
      m_pSurface(nullptr),
      m_format(D3DX_SF_UNKNOWN),
      m_dwBitCount(0),
      m_pSpans(nullptr),
      m_nSpanCount(0) {
  ZeroDesc(m_ddsd);
}

CDxSurface::~CDxSurface() {
  if (m_pSurface) m_pSurface->Release();
  m_pSurface = nullptr;
  delete[] m_pSpans;
}

DWORD CDxSurface::GetWidth() { return m_ddsd.dwWidth; }
DWORD CDxSurface::GetHeight() { return m_ddsd.dwHeight; }
SScreenRect CDxSurface::GetRect() { return SScreenRect(0, 0, LONG(GetWidth()), LONG(GetHeight())); }
long CDxSurface::Update() { return 0; }

void CDxSurface::ReleaseSurface() {
  if (m_pSurface) m_pSurface->Release();
  m_pSurface = nullptr;
}

long CDxSurface::RestoreSurface() {
  if (!m_pEngine || !m_pEngine->GetDirectDraw()) return E_FAIL;
  DDSURFACEDESC2 d = m_ddsd;
  d.dwFlags &= ~DWORD(DDSD_LPSURFACE | DDSD_PITCH);
  d.lpSurface = nullptr;
  ReleaseSurface();
  LPDIRECTDRAWSURFACE7 s = nullptr;
  HRESULT hr = m_pEngine->GetDirectDraw()->CreateSurface(&d, &s, nullptr);
  if (FAILED(hr)) return hr;
  m_pSurface = s;
  return OnCreate();
}

void CDxSurface::Cleanup() {
  ReleaseSurface();
  delete[] m_pSpans;
  m_pSpans = nullptr;
  m_nSpanCount = 0;
  ZeroDesc(m_ddsd);
}

long CDxSurface::OnCreate() {
  if (!m_pSurface) return E_FAIL;
  ZeroDesc(m_ddsd);
  HRESULT hr = m_pSurface->GetSurfaceDesc(&m_ddsd);
  if (FAILED(hr)) return hr;
  DDPIXELFORMAT& pf = m_ddsd.ddpfPixelFormat;
  m_format = D3DXMakeSurfaceFormat(&pf);
  m_dwBitCount = pf.dwRGBBitCount;
  ChannelFromMask(pf.dwRBitMask, m_channel[0]);
  ChannelFromMask(pf.dwGBitMask, m_channel[1]);
  ChannelFromMask(pf.dwBBitMask, m_channel[2]);
  ChannelFromMask((pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0, m_channel[3]);
  return 0;
}

long CDxSurface::Create(LPDIRECTDRAWSURFACE7 surface) {
  if (!surface) return E_INVALIDARG;
  surface->AddRef();
  ReleaseSurface();
  m_pSurface = surface;
  return OnCreate();
}

long CDxSurface::Create(DDSURFACEDESC2* desc) {
  if (!desc) return E_INVALIDARG;
  if (!m_pEngine || !m_pEngine->GetDirectDraw()) return E_FAIL;
  LPDIRECTDRAWSURFACE7 s = nullptr;
  HRESULT hr = m_pEngine->GetDirectDraw()->CreateSurface(desc, &s, nullptr);
  if (FAILED(hr)) return hr;
  ReleaseSurface();
  m_pSurface = s;
  return OnCreate();
}

long CDxSurface::BeginDc(HDC* dc) {
  if (!dc) return E_INVALIDARG;
  *dc = nullptr;
  if (!m_pSurface) return E_FAIL;
  return m_pSurface->GetDC(dc);
}

long CDxSurface::EndDc(HDC dc) {
  if (!m_pSurface) return E_FAIL;
  return m_pSurface->ReleaseDC(dc);
}

HRESULT CDxSurface::LockWhole(DDSURFACEDESC2* desc) {
  if (!m_pSurface) return E_POINTER;
  ZeroDesc(*desc);
  HRESULT hr;
  do {
    hr = m_pSurface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
  } while (hr == DDERR_WASSTILLDRAWING);
  return hr;
}

DWORD CDxSurface::PackChannels(DWORD r, DWORD g, DWORD b, DWORD a) const {
  const DDPIXELFORMAT& pf = m_ddsd.ddpfPixelFormat;
  DWORD v = Place(r, m_channel[0], pf.dwRBitMask) | Place(g, m_channel[1], pf.dwGBitMask) |
            Place(b, m_channel[2], pf.dwBBitMask);
  if (pf.dwFlags & DDPF_ALPHAPIXELS) v |= Place(a, m_channel[3], pf.dwRGBAlphaBitMask);
  return m_dwBitCount == 32 ? v : (v & 0xFFFF);
}

void CDxSurface::StorePixel(BYTE* row, long x, DWORD value) const {
  if (m_dwBitCount == 32) {
    std::memcpy(row + size_t(x) * 4, &value, 4);
  } else if (m_dwBitCount == 24) {
    std::memcpy(row + size_t(x) * 3, &value, 3);
  } else {
    WORD w = WORD(value);
    std::memcpy(row + size_t(x) * 2, &w, 2);
  }
}

void CDxSurface::ClearWhole() { Clear(0, nullptr); }

DWORD CDxSurface::ConvertColor(DWORD argb) const {
  return PackChannels((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, argb >> 24);
}

DWORD CDxSurface::ConvertGDIColor(COLORREF color) const {
  const DDPIXELFORMAT& pf = m_ddsd.ddpfPixelFormat;
  DWORD v = Place(GetRValue(color), m_channel[0], pf.dwRBitMask) |
            Place(GetGValue(color), m_channel[1], pf.dwGBitMask) |
            Place(GetBValue(color), m_channel[2], pf.dwBBitMask);
  return m_dwBitCount == 32 ? v : (v & 0xFFFF);
}

DWORD CDxSurface::GetPixelInfo(long x, long y, BYTE* alpha, BYTE* red, BYTE* green, BYTE* blue) {
  if (x < 0 || y < 0 || DWORD(x) >= GetWidth() || DWORD(y) >= GetHeight()) return 0;
  DDSURFACEDESC2 d;
  if (FAILED(LockWhole(&d))) return 0;
  const BYTE* row = static_cast<const BYTE*>(d.lpSurface) + size_t(y) * d.lPitch;
  DWORD v = 0;
  if (m_dwBitCount == 32) {
    std::memcpy(&v, row + size_t(x) * 4, 4);
  } else if (m_dwBitCount == 24) {
    std::memcpy(&v, row + size_t(x) * 3, 3);
  } else {
    WORD w;
    std::memcpy(&w, row + size_t(x) * 2, 2);
    v = w;
  }
  m_pSurface->Unlock(nullptr);
  const DDPIXELFORMAT& pf = m_ddsd.ddpfPixelFormat;
  auto get = [&](int i, DWORD mask) {
    const SChannelInfo& ch = m_channel[i];
    DWORD c = (v & mask) >> ch.shift;
    return BYTE(ch.loss >= 0 ? (c << ch.loss) : (c >> -ch.loss));
  };
  if (red) *red = get(0, pf.dwRBitMask);
  if (green) *green = get(1, pf.dwGBitMask);
  if (blue) *blue = get(2, pf.dwBBitMask);
  if (alpha) *alpha = get(3, (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0);
  return v;
}

long CDxSurface::Clear(DWORD pixel, SScreenRect* rect) {
  if (!m_pSurface) return E_POINTER;
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  fx.dwSize = sizeof fx;
  fx.dwFillColor = pixel;
  RECT r;
  if (rect) r = RECT{rect->left, rect->top, rect->right, rect->bottom};
  return m_pSurface->Blt(rect ? &r : nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

long CDxSurface::RGBClear(COLORREF color, SScreenRect* rect) {
  if (!m_pSurface) return E_POINTER;
  return Clear(ConvertGDIColor(color), rect);
}

long CDxSurface::ChangeFormat(_D3DX_SURFACEFORMAT format) {
  if (!m_pEngine || !m_pEngine->GetD3dDevice() || !m_pSurface) return E_FAIL;
  DWORD w = GetWidth(), h = GetHeight();
  D3DX_SURFACEFORMAT f = format;
  LPDIRECTDRAWSURFACE7 tex = nullptr;
  HRESULT hr = D3DXCreateTexture(m_pEngine->GetD3dDevice(), nullptr, &w, &h, &f, nullptr, &tex, nullptr);
  if (FAILED(hr)) {
    if (CZqDebug* log = CZqFunc::GetDebuger())
      log->ADD_LOG("failed to create texture(width=%dheight=%d) (name=%s)", int(GetWidth()), int(GetHeight()),
                   m_strName.c_str());
    return hr;
  }
  if (w != GetWidth() || h != GetHeight()) {
    tex->Release();
    return E_FAIL;
  }
  if (FAILED(D3DXLoadTextureFromSurface(m_pEngine->GetD3dDevice(), tex, 0, m_pSurface, nullptr, nullptr,
                                        D3DX_FT_LINEAR))) {
    tex->Release();
    return E_FAIL;
  }
  ReleaseSurface();
  m_pSurface = tex;
  return OnCreate();
}

// ---- CZqSurface -------------------------------------------------------------------------------

CZqSurface::CZqSurface(CZqEngine* engine)
    : CDxSurface(engine), m_bColorKey(0), m_colorKey(COLORREF(-1)), m_bMemory(0) {}

CZqSurface::~CZqSurface() = default;

long CZqSurface::BeginLock(BYTE** bits, LONG* pitch) {
  DDSURFACEDESC2 d;
  HRESULT hr = LockWhole(&d);
  if (FAILED(hr)) return hr;
  if (bits) *bits = static_cast<BYTE*>(d.lpSurface);
  if (pitch) *pitch = d.lPitch;
  return 0;
}

long CZqSurface::EndLock() {
  if (!m_pSurface) return E_POINTER;
  return m_pSurface->Unlock(nullptr);
}

long CZqSurface::ReleaseObjects() {
  ReleaseSurface();
  return 0;
}

long CZqSurface::CreateEx(DWORD width, DWORD height, int videoMemory) {
  if (!m_pEngine || !m_pEngine->GetDirectDraw()) return E_FAIL;
  ReleaseSurface();
  DDSURFACEDESC2 d;
  ZeroDesc(d);
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  d.dwWidth = width;
  d.dwHeight = height;
  d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | (videoMemory ? 0 : DDSCAPS_SYSTEMMEMORY);
  LPDIRECTDRAWSURFACE7 s = nullptr;
  HRESULT hr = m_pEngine->GetDirectDraw()->CreateSurface(&d, &s, nullptr);
  if (FAILED(hr)) return hr;
  m_pSurface = s;
  m_bVideoMemory = videoMemory;
  m_bMemory = videoMemory;
  m_bEngineFlag = 0;
  OnCreate();
  return hr;
}

long CZqSurface::CreateEx(CPixelMap32*, int) { return 0; }

long CZqSurface::CreateFromBitmap(const char* name, DWORD width, DWORD height, int videoMemory,
                                  COLORREF colorKey) {
  if (!name) return E_INVALIDARG;
  HBITMAP bmp = static_cast<HBITMAP>(
      LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bmp) return E_FAIL;
  if (width == 0 || height == 0) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof bm, &bm);
    if (width == 0) width = DWORD(bm.bmWidth);
    if (height == 0) height = DWORD(bm.bmHeight);
  }
  HRESULT hr = CreateEx(width, height, videoMemory);
  if (SUCCEEDED(hr)) {
    DrawBitmap(bmp, 0, 0, 0, 0);
    if (colorKey != COLORREF(-1)) SetColorKey(colorKey);
    OnCreate();
  }
  DeleteObject(bmp);
  return FAILED(hr) ? hr : 0;
}

long CZqSurface::CreateFromJPEG(const char* path) {
  if (!path) return E_INVALIDARG;
  SStreamBuf s = CZqFunc::ZQFBUF_Create(path, "rb");
  if (!s.m_pFile) return E_FAIL;
  SIZE size = CZqFunc::FileGetJpegSize(&s);
  HRESULT hr = E_FAIL;
  if (size.cx > 0 && size.cy > 0) {
    hr = CreateEx(DWORD(size.cx), DWORD(size.cy), m_bMemory);
    if (SUCCEEDED(hr)) hr = LoadFromJpegFile(&s, nullptr, 0, 0);
  }
  CZqFunc::ZQFBUF_Close(&s);
  return hr;
}

long CZqSurface::RestoreObjects() {
  if (m_pSurface) return 0;
  if (m_strName.empty()) return 0;
  CZqSource* pack = m_pEngine ? m_pEngine->GetSourcePtr() : nullptr;
  if (sFileInfo* info = pack ? pack->FindSource(m_strName.c_str()) : nullptr) {
    switch (info->m_type) {
      case FFT_JPG:
        return CreateFromJPEG(info->m_szFile);
      case FFT_TGA:
      case FFT_PGM:
        return 0;
      default:
        return E_FAIL;
    }
  }
  SStreamBuf s = CZqFunc::ZQFBUF_Create(m_strName.c_str(), "rb");
  if (!s.m_pFile) return 0;
  CZqFunc::ZQFBUF_Close(&s);
  if (CZqFunc::File_GetFFT(m_strName.c_str()) != FFT_JPG) return E_FAIL;
  return CreateFromJPEG(m_strName.c_str());
}

DWORD CZqSurface::ConvertGDIColor(COLORREF color) {
  if (!m_pSurface) return 0;
  const DWORD mask = m_dwBitCount >= 32 ? 0xFFFFFFFFu : ((1u << m_dwBitCount) - 1);
  auto readFirst = [&](DWORD* out) {
    DDSURFACEDESC2 d;
    if (FAILED(LockWhole(&d))) return false;
    std::memcpy(out, d.lpSurface, m_dwBitCount >= 32 ? 4 : (m_dwBitCount + 7) / 8);
    m_pSurface->Unlock(nullptr);
    return true;
  };
  DWORD saved = 0;
  if (!readFirst(&saved)) return 0;
  saved &= mask;
  if (color == COLORREF(-1)) return saved;

  HDC dc = nullptr;
  if (FAILED(m_pSurface->GetDC(&dc))) return 0;
  SetPixel(dc, 0, 0, color);
  m_pSurface->ReleaseDC(dc);
  DWORD value = 0;
  readFirst(&value);
  value &= mask;
  // Put the pixel back exactly as it was.
  DDSURFACEDESC2 d;
  if (SUCCEEDED(LockWhole(&d))) {
    std::memcpy(d.lpSurface, &saved, m_dwBitCount >= 32 ? 4 : (m_dwBitCount + 7) / 8);
    m_pSurface->Unlock(nullptr);
  }
  return value;
}

long CZqSurface::SetColorKey(COLORREF color) {
  if (!m_pSurface) return E_POINTER;
  m_bColorKey = 1;
  m_colorKey = color;
  DWORD v = ConvertGDIColor(color);
  DDCOLORKEY key{v, v};
  return m_pSurface->SetColorKey(DDCKEY_SRCBLT, &key);
}
