// D3DX stand-ins: textures made at exactly the asked size and format within the device limit.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display/image_decode.h"
#include "display/machine.h"
#include "display/pixel_format.h"
#include "display/surface.h"
#include "zqplatform/base.h"

using namespace zqdisplay;

namespace {

std::atomic<int> g_initialised{0};

DWORD deviceLimit(LPDIRECT3DDEVICE7 device) {
  DWORD limit = maxTextureSize();
  D3DDEVICEDESC7 caps;
  if (device && SUCCEEDED(device->GetCaps(&caps))) {
    DWORD c = std::min(caps.dwMaxTextureWidth, caps.dwMaxTextureHeight);
    if (c) limit = std::min(limit, c);
  }
  return limit;
}

bool readFile(const char* name, std::vector<uint8_t>& out) {
  std::string path = zqMapPath(name);
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f && path != name) f = std::fopen(name, "rb");
  if (!f) return false;
  out.clear();
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    out.insert(out.end(), buf, buf + n);
    if (out.size() > (size_t(1) << 30)) break;
  }
  std::fclose(f);
  return true;
}

// Scales ARGB pixels of a source rectangle into a destination rectangle of a surface.
void scaleInto(Surface* dst, const RECT& d, const uint32_t* src, int stride, const RECT& s, bool linear) {
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  const PixelLayout& lay = dst->layout();
  const DWORD bytes = lay.bytes();
  const double kx = double(sw) / dw, ky = double(sh) / dh;
  const bool same = sw == dw && sh == dh;
  for (int y = 0; y < dh; ++y) {
    BYTE* row = dst->bits() + size_t(d.top + y) * dst->pitch() + size_t(d.left) * bytes;
    for (int x = 0; x < dw; ++x) {
      uint32_t c;
      if (same) {
        c = src[size_t(s.top + y) * stride + s.left + x];
      } else if (!linear) {
        int sx = s.left + std::min(sw - 1, int((x + 0.5) * kx));
        int sy = s.top + std::min(sh - 1, int((y + 0.5) * ky));
        c = src[size_t(sy) * stride + sx];
      } else {
        double fx = (x + 0.5) * kx - 0.5, fy = (y + 0.5) * ky - 0.5;
        fx = std::clamp(fx, 0.0, double(sw - 1));
        fy = std::clamp(fy, 0.0, double(sh - 1));
        int x0 = int(fx), y0 = int(fy);
        int x1 = std::min(x0 + 1, sw - 1), y1 = std::min(y0 + 1, sh - 1);
        double ax = fx - x0, ay = fy - y0;
        const uint32_t* r0 = src + size_t(s.top + y0) * stride + s.left;
        const uint32_t* r1 = src + size_t(s.top + y1) * stride + s.left;
        c = 0;
        for (int k = 0; k < 32; k += 8) {
          double top = ((r0[x0] >> k) & 255) * (1 - ax) + ((r0[x1] >> k) & 255) * ax;
          double bot = ((r1[x0] >> k) & 255) * (1 - ax) + ((r1[x1] >> k) & 255) * ax;
          c |= uint32_t(std::lround(top * (1 - ay) + bot * ay)) << k;
        }
      }
      writeRaw(row + size_t(x) * bytes, bytes, lay.argb8888() ? c : encode(lay, c));
    }
  }
  dst->touch();
}

}  // namespace

HRESULT D3DXInitialize() {
  ++g_initialised;
  return S_OK;
}

HRESULT D3DXUninitialize() {
  if (g_initialised > 0) --g_initialised;
  return S_OK;
}

D3DX_SURFACEFORMAT D3DXMakeSurfaceFormat(LPDDPIXELFORMAT format) {
  return format ? formatCode(*format) : D3DX_SF_UNKNOWN;
}

HRESULT D3DXMakeDDPixelFormat(D3DX_SURFACEFORMAT format, LPDDPIXELFORMAT out) {
  if (!out) return E_POINTER;
  return formatFromCode(format, *out) ? S_OK : E_INVALIDARG;
}

HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE7 device, LPDWORD flags, LPDWORD width, LPDWORD height,
                          D3DX_SURFACEFORMAT* format, LPDIRECTDRAWPALETTE, LPDIRECTDRAWSURFACE7* texture,
                          LPDWORD numMipMaps) {
  if (!texture) return E_POINTER;
  *texture = nullptr;
  if (!device) return E_INVALIDARG;
  DWORD w = width && *width ? *width : 256;
  DWORD h = height && *height ? *height : 256;
  const DWORD limit = deviceLimit(device);
  w = std::min(w, limit);
  h = std::min(h, limit);
  D3DX_SURFACEFORMAT f = format ? *format : D3DX_SF_A8R8G8B8;
  DDPIXELFORMAT pf;
  if (!formatFromCode(f, pf)) {
    f = D3DX_SF_A8R8G8B8;
    formatFromCode(f, pf);
  }
  DDSURFACEDESC2 d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  d.dwWidth = w;
  d.dwHeight = h;
  d.ddpfPixelFormat = pf;
  d.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
  Surface* s;
  HRESULT hr = Surface::create(d, nullptr, &s);
  if (FAILED(hr)) return hr;
  if (width) *width = w;
  if (height) *height = h;
  if (format) *format = f;
  if (numMipMaps) *numMipMaps = 1;
  if (flags) *flags &= ~DWORD(0);
  *texture = s;
  return S_OK;
}

HRESULT D3DXCreateTextureFromFile(LPDIRECT3DDEVICE7 device, LPDWORD flags, LPDWORD width, LPDWORD height,
                                  D3DX_SURFACEFORMAT* format, LPDIRECTDRAWPALETTE palette,
                                  LPDIRECTDRAWSURFACE7* texture, LPDWORD numMipMaps, LPSTR srcName,
                                  D3DX_FILTERTYPE filter) {
  if (!texture) return E_POINTER;
  *texture = nullptr;
  if (!device || !srcName) return E_INVALIDARG;
  std::vector<uint8_t> bytes;
  if (!readFile(srcName, bytes)) return E_FAIL;
  int iw, ih;
  std::vector<uint32_t> px;
  if (!decodeImage(bytes.data(), bytes.size(), &iw, &ih, px)) return E_FAIL;
  DWORD w = width && *width ? *width : DWORD(iw);
  DWORD h = height && *height ? *height : DWORD(ih);
  D3DX_SURFACEFORMAT f = format && *format != D3DX_SF_UNKNOWN ? *format : D3DX_SF_A8R8G8B8;
  LPDIRECTDRAWSURFACE7 tex;
  HRESULT hr = D3DXCreateTexture(device, flags, &w, &h, &f, palette, &tex, numMipMaps);
  if (FAILED(hr)) return hr;
  Surface* s = asSurface(tex);
  scaleInto(s, RECT{0, 0, LONG(w), LONG(h)}, px.data(), iw, RECT{0, 0, iw, ih}, filter != D3DX_FT_POINT);
  if (width) *width = w;
  if (height) *height = h;
  if (format) *format = f;
  *texture = tex;
  return S_OK;
}

HRESULT D3DXLoadTextureFromSurface(LPDIRECT3DDEVICE7, LPDIRECTDRAWSURFACE7 texture, DWORD mipMapLevel,
                                   LPDIRECTDRAWSURFACE7 source, RECT* sourceRect, RECT* destRect,
                                   D3DX_FILTERTYPE filter) {
  if (!texture || !source) return E_INVALIDARG;
  if (mipMapLevel != 0 && mipMapLevel != D3DX_DEFAULT) return E_INVALIDARG;
  Surface* dst = asSurface(texture);
  Surface* src = asSurface(source);
  if (dst->lost() || src->lost()) return DDERR_SURFACELOST;
  if (dst->busy() || src->busy()) return DDERR_SURFACEBUSY;
  if (!dst->bits() || !src->bits() || dst->layout().zbuffer || src->layout().zbuffer) return E_INVALIDARG;
  RECT s = sourceRect ? *sourceRect : RECT{0, 0, src->width(), src->height()};
  RECT d = destRect ? *destRect : RECT{0, 0, dst->width(), dst->height()};
  auto inside = [](const RECT& r, int w, int h) {
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right && r.top < r.bottom;
  };
  if (!inside(s, src->width(), src->height()) || !inside(d, dst->width(), dst->height())) return E_INVALIDARG;
  int stride;
  uint32_t aor;
  const uint32_t* px = src->argbView(&stride, &aor);
  if (aor) {
    // Formats without alpha read as opaque.
    std::vector<uint32_t> copy(size_t(src->width()) * src->height());
    for (int y = 0; y < src->height(); ++y)
      for (int x = 0; x < src->width(); ++x)
        copy[size_t(y) * src->width() + x] = px[size_t(y) * stride + x] | aor;
    if (src == dst) {
      scaleInto(dst, d, copy.data(), src->width(), s, filter != D3DX_FT_POINT);
      return S_OK;
    }
    scaleInto(dst, d, copy.data(), src->width(), s, filter != D3DX_FT_POINT);
    return S_OK;
  }
  if (src == dst) {
    std::vector<uint32_t> copy(px, px + size_t(stride) * src->height());
    scaleInto(dst, d, copy.data(), stride, s, filter != D3DX_FT_POINT);
    return S_OK;
  }
  scaleInto(dst, d, px, stride, s, filter != D3DX_FT_POINT);
  return S_OK;
}
