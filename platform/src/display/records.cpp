// Field-by-field serialisation of the stored 32-bit record layouts.
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "zqplatform/display.h"

namespace {

// Sequential little-endian writer/reader over a byte buffer.
struct Out {
  BYTE* p;
  size_t n = 0;
  void u32(DWORD v) {
    for (int i = 0; i < 4; ++i) p[n++] = BYTE(v >> (8 * i));
  }
  void u16(WORD v) {
    p[n++] = BYTE(v);
    p[n++] = BYTE(v >> 8);
  }
  void f32(float v) {
    DWORD d;
    std::memcpy(&d, &v, 4);
    u32(d);
  }
  void guid(const GUID& g) {
    u32(g.Data1);
    u16(g.Data2);
    u16(g.Data3);
    for (BYTE b : g.Data4) p[n++] = b;
  }
};

struct In {
  const BYTE* p;
  size_t n = 0;
  DWORD u32() {
    DWORD v = 0;
    for (int i = 0; i < 4; ++i) v |= DWORD(p[n++]) << (8 * i);
    return v;
  }
  WORD u16() {
    WORD v = WORD(p[n] | (p[n + 1] << 8));
    n += 2;
    return v;
  }
  float f32() {
    DWORD d = u32();
    float v;
    std::memcpy(&v, &d, 4);
    return v;
  }
  void guid(GUID& g) {
    g.Data1 = u32();
    g.Data2 = u16();
    g.Data3 = u16();
    for (BYTE& b : g.Data4) b = p[n++];
  }
};

// One field list per record, shared by writing and reading (IO is Out or In).
template <class IO, class K>
constexpr void keyIO(IO& io, K& k) {
  if constexpr (std::is_same_v<IO, Out>) {
    io.u32(k.dwColorSpaceLowValue);
    io.u32(k.dwColorSpaceHighValue);
  } else {
    k.dwColorSpaceLowValue = io.u32();
    k.dwColorSpaceHighValue = io.u32();
  }
}

template <class IO>
constexpr void dw(IO& io, DWORD& v) {
  if constexpr (std::is_same_v<IO, Out>)
    io.u32(v);
  else
    v = io.u32();
}
template <class IO>
constexpr void dw(IO& io, LONG& v) {
  DWORD d = DWORD(v);
  dw(io, d);
  v = LONG(d);
}
template <class IO>
constexpr void w16(IO& io, WORD& v) {
  if constexpr (std::is_same_v<IO, Out>)
    io.u16(v);
  else
    v = io.u16();
}
template <class IO>
constexpr void fl(IO& io, float& v) {
  if constexpr (std::is_same_v<IO, Out>)
    io.f32(v);
  else
    v = io.f32();
}
template <class IO>
constexpr void gd(IO& io, GUID& g) {
  io.guid(g);
}

template <class IO>
constexpr void pixelFormatIO(IO& io, DDPIXELFORMAT& f) {
  dw(io, f.dwSize);
  dw(io, f.dwFlags);
  dw(io, f.dwFourCC);
  dw(io, f.dwRGBBitCount);
  dw(io, f.dwRBitMask);
  dw(io, f.dwGBitMask);
  dw(io, f.dwBBitMask);
  dw(io, f.dwRGBAlphaBitMask);
}

template <class IO>
constexpr void caps2IO(IO& io, DDSCAPS2& c) {
  dw(io, c.dwCaps);
  dw(io, c.dwCaps2);
  dw(io, c.dwCaps3);
  dw(io, c.dwCaps4);
}

template <class IO>
constexpr void surfaceDescIO(IO& io, DDSURFACEDESC2& d) {
  dw(io, d.dwSize);
  dw(io, d.dwFlags);
  dw(io, d.dwHeight);
  dw(io, d.dwWidth);
  dw(io, d.lPitch);
  dw(io, d.dwBackBufferCount);
  dw(io, d.dwMipMapCount);
  dw(io, d.dwAlphaBitDepth);
  dw(io, d.dwReserved);
  DWORD pointerSlot = 0;  // lpSurface has no meaning outside the process
  dw(io, pointerSlot);
  keyIO(io, d.ddckCKDestOverlay);
  keyIO(io, d.ddckCKDestBlt);
  keyIO(io, d.ddckCKSrcOverlay);
  keyIO(io, d.ddckCKSrcBlt);
  pixelFormatIO(io, d.ddpfPixelFormat);
  caps2IO(io, d.ddsCaps);
  dw(io, d.dwTextureStage);
}

template <class IO>
constexpr void ddcapsIO(IO& io, DDCAPS& c) {
  DWORD* head[] = {&c.dwSize,
                   &c.dwCaps,
                   &c.dwCaps2,
                   &c.dwCKeyCaps,
                   &c.dwFXCaps,
                   &c.dwFXAlphaCaps,
                   &c.dwPalCaps,
                   &c.dwSVCaps,
                   &c.dwAlphaBltConstBitDepths,
                   &c.dwAlphaBltPixelBitDepths,
                   &c.dwAlphaBltSurfaceBitDepths,
                   &c.dwAlphaOverlayConstBitDepths,
                   &c.dwAlphaOverlayPixelBitDepths,
                   &c.dwAlphaOverlaySurfaceBitDepths,
                   &c.dwZBufferBitDepths,
                   &c.dwVidMemTotal,
                   &c.dwVidMemFree,
                   &c.dwMaxVisibleOverlays,
                   &c.dwCurrVisibleOverlays,
                   &c.dwNumFourCCCodes,
                   &c.dwAlignBoundarySrc,
                   &c.dwAlignSizeSrc,
                   &c.dwAlignBoundaryDest,
                   &c.dwAlignSizeDest,
                   &c.dwAlignStrideAlign};
  for (DWORD* f : head) dw(io, *f);
  for (DWORD& r : c.dwRops) dw(io, r);
  dw(io, c.ddsOldCaps.dwCaps);
  DWORD* mid[] = {
      &c.dwMinOverlayStretch, &c.dwMaxOverlayStretch, &c.dwMinLiveVideoStretch, &c.dwMaxLiveVideoStretch,
      &c.dwMinHwCodecStretch, &c.dwMaxHwCodecStretch, &c.dwReserved1,           &c.dwReserved2,
      &c.dwReserved3,         &c.dwSVBCaps,           &c.dwSVBCKeyCaps,         &c.dwSVBFXCaps};
  for (DWORD* f : mid) dw(io, *f);
  for (DWORD& r : c.dwSVBRops) dw(io, r);
  dw(io, c.dwVSBCaps);
  dw(io, c.dwVSBCKeyCaps);
  dw(io, c.dwVSBFXCaps);
  for (DWORD& r : c.dwVSBRops) dw(io, r);
  dw(io, c.dwSSBCaps);
  dw(io, c.dwSSBCKeyCaps);
  dw(io, c.dwSSBFXCaps);
  for (DWORD& r : c.dwSSBRops) dw(io, r);
  DWORD* tail[] = {&c.dwMaxVideoPorts, &c.dwCurrVideoPorts, &c.dwSVBCaps2,  &c.dwNLVBCaps,
                   &c.dwNLVBCaps2,     &c.dwNLVBCKeyCaps,   &c.dwNLVBFXCaps};
  for (DWORD* f : tail) dw(io, *f);
  for (DWORD& r : c.dwNLVBRops) dw(io, r);
  caps2IO(io, c.ddsCaps);
}

template <class IO>
constexpr void primCapsIO(IO& io, D3DPRIMCAPS& c) {
  DWORD* f[] = {&c.dwSize,         &c.dwMiscCaps,          &c.dwRasterCaps,       &c.dwZCmpCaps,
                &c.dwSrcBlendCaps, &c.dwDestBlendCaps,     &c.dwAlphaCmpCaps,     &c.dwShadeCaps,
                &c.dwTextureCaps,  &c.dwTextureFilterCaps, &c.dwTextureBlendCaps, &c.dwTextureAddressCaps,
                &c.dwStippleWidth, &c.dwStippleHeight};
  for (DWORD* p : f) dw(io, *p);
}

template <class IO>
constexpr void deviceDescIO(IO& io, D3DDEVICEDESC7& d) {
  dw(io, d.dwDevCaps);
  primCapsIO(io, d.dpcLineCaps);
  primCapsIO(io, d.dpcTriCaps);
  DWORD* f[] = {&d.dwDeviceRenderBitDepth, &d.dwDeviceZBufferBitDepth, &d.dwMinTextureWidth,
                &d.dwMinTextureHeight,     &d.dwMaxTextureWidth,       &d.dwMaxTextureHeight,
                &d.dwMaxTextureRepeat,     &d.dwMaxTextureAspectRatio, &d.dwMaxAnisotropy};
  for (DWORD* p : f) dw(io, *p);
  fl(io, d.dvGuardBandLeft);
  fl(io, d.dvGuardBandTop);
  fl(io, d.dvGuardBandRight);
  fl(io, d.dvGuardBandBottom);
  fl(io, d.dvExtentsAdjust);
  dw(io, d.dwStencilCaps);
  dw(io, d.dwFVFCaps);
  dw(io, d.dwTextureOpCaps);
  w16(io, d.wMaxTextureBlendStages);
  w16(io, d.wMaxSimultaneousTextures);
  dw(io, d.dwMaxActiveLights);
  fl(io, d.dvMaxVertexW);
  gd(io, d.deviceGUID);
  w16(io, d.wMaxUserClipPlanes);
  w16(io, d.wMaxVertexBlendMatrices);
  dw(io, d.dwVertexProcessingCaps);
  dw(io, d.dwReserved1);
  dw(io, d.dwReserved2);
  dw(io, d.dwReserved3);
  dw(io, d.dwReserved4);
}

// Counts the bytes a field list moves, so the stored sizes are checked at compile time.
struct Count {
  size_t n = 0;
  constexpr DWORD u32() {
    n += 4;
    return 0;
  }
  constexpr WORD u16() {
    n += 2;
    return 0;
  }
  constexpr float f32() {
    n += 4;
    return 0.f;
  }
  constexpr void guid(GUID&) { n += 16; }
};

template <class T, void (*F)(Count&, T&)>
constexpr size_t storedSize() {
  T record{};
  Count c;
  F(c, record);
  return c.n;
}

}  // namespace

// The in-memory records match the stored layouts except for the 64-bit pointer slot.
static_assert(sizeof(DDPIXELFORMAT) == ZQ_DDPIXELFORMAT_STORED_SIZE);
static_assert(sizeof(DDCAPS) == ZQ_DDCAPS_STORED_SIZE);
static_assert(sizeof(D3DDEVICEDESC7) == ZQ_D3DDEVICEDESC7_STORED_SIZE);
static_assert(sizeof(D3DPRIMCAPS) == 56);
static_assert(sizeof(DDSCAPS2) == 16 && sizeof(DDCOLORKEY) == 8);
static_assert(storedSize<DDSURFACEDESC2, surfaceDescIO<Count>>() == ZQ_DDSURFACEDESC2_STORED_SIZE);
static_assert(storedSize<DDCAPS, ddcapsIO<Count>>() == ZQ_DDCAPS_STORED_SIZE);
static_assert(storedSize<D3DDEVICEDESC7, deviceDescIO<Count>>() == ZQ_D3DDEVICEDESC7_STORED_SIZE);

void zqWriteSurfaceDesc(const DDSURFACEDESC2& desc, BYTE* out) {
  Out o{out};
  surfaceDescIO(o, const_cast<DDSURFACEDESC2&>(desc));
}
void zqReadSurfaceDesc(const BYTE* in, DDSURFACEDESC2& desc) {
  std::memset(&desc, 0, sizeof desc);
  In i{in};
  surfaceDescIO(i, desc);
}
void zqWriteDDCaps(const DDCAPS& caps, BYTE* out) {
  Out o{out};
  ddcapsIO(o, const_cast<DDCAPS&>(caps));
}
void zqReadDDCaps(const BYTE* in, DDCAPS& caps) {
  std::memset(&caps, 0, sizeof caps);
  In i{in};
  ddcapsIO(i, caps);
}
void zqWriteDeviceDesc(const D3DDEVICEDESC7& desc, BYTE* out) {
  Out o{out};
  deviceDescIO(o, const_cast<D3DDEVICEDESC7&>(desc));
}
void zqReadDeviceDesc(const BYTE* in, D3DDEVICEDESC7& desc) {
  std::memset(&desc, 0, sizeof desc);
  In i{in};
  deviceDescIO(i, desc);
}
