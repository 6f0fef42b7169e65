#include "display/surface.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "display/fullscreen.h"

#include "zqplatform/gdi.h"

namespace zqdisplay {

namespace {
std::mutex g_registryLock;
std::vector<Surface*> g_surfaces;

bool validRect(const RECT& r, int w, int h) {
  return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right && r.top < r.bottom;
}
}  // namespace

void registerSurface(Surface* s) {
  std::lock_guard<std::mutex> l(g_registryLock);
  g_surfaces.push_back(s);
}
void unregisterSurface(Surface* s) {
  std::lock_guard<std::mutex> l(g_registryLock);
  g_surfaces.erase(std::remove(g_surfaces.begin(), g_surfaces.end(), s), g_surfaces.end());
}
void forEachSurface(void (*fn)(Surface*, void*), void* ctx) {
  std::vector<Surface*> copy;
  {
    std::lock_guard<std::mutex> l(g_registryLock);
    copy = g_surfaces;
  }
  for (Surface* s : copy) fn(s, ctx);
}
int liveSurfaceCount() {
  std::lock_guard<std::mutex> l(g_registryLock);
  return int(g_surfaces.size());
}

Surface* asSurface(LPDIRECTDRAWSURFACE7 s) { return static_cast<Surface*>(s); }

HRESULT Surface::create(const DDSURFACEDESC2& in, HWND window, Surface** out) {
  *out = nullptr;
  Surface* s = new Surface();
  s->desc_ = in;
  s->desc_.dwSize = sizeof(DDSURFACEDESC2);
  s->window_ = window;
  if (!layoutFromFormat(in.ddpfPixelFormat, s->layout_)) {
    delete s;
    return DDERR_INVALIDPIXELFORMAT;
  }
  if (!s->primary()) {
    DWORD w = in.dwWidth, h = in.dwHeight;
    // Sizes beyond 16384 are refused rather than risking huge or overflowing allocations.
    if (w == 0 || h == 0 || w > 16384 || h > 16384) {
      delete s;
      return DDERR_INVALIDPARAMS;
    }
    s->pitch_ = LONG((w * s->layout_.bytes() + 15) & ~15u);
    size_t size = size_t(s->pitch_) * h;
    s->memory_.reset(new (std::nothrow) BYTE[size]);
    if (!s->memory_) {
      delete s;
      return DDERR_OUTOFMEMORY;
    }
    std::memset(s->memory_.get(), 0, size);
    s->desc_.lPitch = s->pitch_;
    s->desc_.dwFlags |= DDSD_PITCH;
  }
  s->desc_.dwFlags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  s->desc_.lpSurface = nullptr;
  registerSurface(s);
  *out = s;
  return DD_OK;
}

Surface::~Surface() {
  unregisterSurface(this);
  if (dc_) zqDeleteSurfaceDC(dc_);
  for (Surface* a : attached_) a->Release();
  if (clipper_) clipper_->Release();
}

HRESULT Surface::QueryInterface(REFIID riid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!zqSameGuid(riid, IID_IDirectDrawSurface7)) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IDirectDrawSurface7*>(this);
  return S_OK;
}

ULONG Surface::AddRef() { return ++refs_; }

ULONG Surface::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Surface::AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface) {
  if (!surface || surface == this) return DDERR_INVALIDPARAMS;
  Surface* s = asSurface(surface);
  if (std::find(attached_.begin(), attached_.end(), s) != attached_.end())
    return DDERR_SURFACEALREADYATTACHED;
  if (s->layout_.zbuffer && (s->width() != width() || s->height() != height())) return DDERR_INVALIDPARAMS;
  s->AddRef();
  attached_.push_back(s);
  return DD_OK;
}

HRESULT Surface::DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7 surface) {
  for (size_t i = 0; i < attached_.size(); ++i) {
    if (!surface || attached_[i] == surface) {
      Surface* s = attached_[i];
      attached_.erase(attached_.begin() + long(i));
      s->Release();
      if (surface) return DD_OK;
      --i;
    }
  }
  return surface ? DDERR_NOTFOUND : DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) {
  if (!caps || !surface) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  for (Surface* s : attached_) {
    const DDSCAPS2& c = s->desc_.ddsCaps;
    if ((c.dwCaps & caps->dwCaps) == caps->dwCaps && (c.dwCaps2 & caps->dwCaps2) == caps->dwCaps2) {
      s->AddRef();
      *surface = s;
      return DD_OK;
    }
  }
  return DDERR_NOTFOUND;
}

Surface* Surface::attachedZ() const {
  for (Surface* s : attached_)
    if (s->layout_.zbuffer) return s;
  return nullptr;
}

HWND Surface::presentWindow() const { return clipper_ && clipper_->window() ? clipper_->window() : window_; }

HRESULT Surface::fill(const RECT& r, DWORD raw) {
  const DWORD bytes = layout_.bytes();
  for (LONG y = r.top; y < r.bottom; ++y) {
    BYTE* row = memory_.get() + size_t(y) * pitch_ + size_t(r.left) * bytes;
    if (bytes == 4) {
      std::fill_n(reinterpret_cast<uint32_t*>(row), r.right - r.left, raw);
    } else {
      for (LONG x = r.left; x < r.right; ++x, row += bytes) writeRaw(row, bytes, raw);
    }
  }
  touch();
  return DD_OK;
}

HRESULT Surface::copyFrom(Surface* src, RECT d, RECT s, bool key, DDCOLORKEY k) {
  // The destination rectangle is clipped to this surface; the source follows in proportion
  // (point sampling at the destination pixel centres).
  const LONG dw = d.right - d.left, dh = d.bottom - d.top;
  const LONG sw = s.right - s.left, sh = s.bottom - s.top;
  const LONG x0 = std::max<LONG>(d.left, 0), x1 = std::min<LONG>(d.right, width());
  const LONG y0 = std::max<LONG>(d.top, 0), y1 = std::min<LONG>(d.bottom, height());
  if (x0 >= x1 || y0 >= y1) return DD_OK;

  // Copying within one surface reads from a snapshot so overlapping rectangles stay intact.
  std::unique_ptr<BYTE[]> snapshot;
  const BYTE* sbits = src->memory_.get();
  if (src == this) {
    size_t size = size_t(pitch_) * height();
    snapshot.reset(new BYTE[size]);
    std::memcpy(snapshot.get(), memory_.get(), size);
    sbits = snapshot.get();
  }
  const DWORD sb = src->layout_.bytes(), db = layout_.bytes();
  const bool same = std::memcmp(&src->layout_, &layout_, sizeof(PixelLayout)) == 0 ||
                    (src->layout_.bpp == layout_.bpp && src->layout_.r.mask == layout_.r.mask &&
                     src->layout_.g.mask == layout_.g.mask && src->layout_.b.mask == layout_.b.mask &&
                     src->layout_.a.mask == layout_.a.mask);
  const DWORD rgb = src->layout_.rgbMask;
  const DWORD klo = k.dwColorSpaceLowValue & rgb, khi = std::max(k.dwColorSpaceHighValue & rgb, klo);
  const bool unscaled = sw == dw && sh == dh;

  std::vector<LONG> colMap(size_t(x1 - x0));
  for (LONG x = x0; x < x1; ++x)
    colMap[size_t(x - x0)] = unscaled
                                 ? s.left + (x - d.left)
                                 : s.left + LONG(((2 * int64_t(x - d.left) + 1) * sw) / (2 * int64_t(dw)));
  for (LONG y = y0; y < y1; ++y) {
    LONG sy = unscaled ? s.top + (y - d.top)
                       : s.top + LONG(((2 * int64_t(y - d.top) + 1) * sh) / (2 * int64_t(dh)));
    const BYTE* srow = sbits + size_t(sy) * src->pitch_;
    BYTE* drow = memory_.get() + size_t(y) * pitch_;
    if (same && !key && unscaled) {
      std::memcpy(drow + size_t(x0) * db, srow + size_t(colMap[0]) * sb, size_t(x1 - x0) * db);
      continue;
    }
    for (LONG x = x0; x < x1; ++x) {
      DWORD raw = readRaw(srow + size_t(colMap[size_t(x - x0)]) * sb, sb);
      if (key) {
        DWORD c = raw & rgb;
        if (c >= klo && c <= khi) continue;
      }
      writeRaw(drow + size_t(x) * db, db, same ? raw : encode(layout_, decode(src->layout_, raw)));
    }
  }
  touch();
  return DD_OK;
}

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                     LPDDBLTFX fx) {
  if (lost_) return DDERR_SURFACELOST;
  if (busy()) return DDERR_SURFACEBUSY;
  if (flags & DDBLT_COLORFILL) {
    if (!fx) return DDERR_INVALIDPARAMS;
    if (primary()) return presentFill(presentWindow(), destRect, decode(layout_, fx->dwFillColor));
    RECT r = destRect ? *destRect : RECT{0, 0, width(), height()};
    if (r.left > r.right || r.top > r.bottom) return DDERR_INVALIDRECT;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width());
    r.bottom = std::min<LONG>(r.bottom, height());
    if (r.left >= r.right || r.top >= r.bottom) return DD_OK;
    return fill(r, fx->dwFillColor);
  }
  if (!source) return DDERR_INVALIDPARAMS;
  Surface* src = asSurface(source);
  if (src->lost_) return DDERR_SURFACELOST;
  if (src->busy()) return DDERR_SURFACEBUSY;
  if (src->primary() || !src->memory_) return DDERR_UNSUPPORTED;
  RECT s = sourceRect ? *sourceRect : RECT{0, 0, src->width(), src->height()};
  if (!validRect(s, src->width(), src->height())) return DDERR_INVALIDRECT;
  if (primary()) {
    RECT d;
    if (destRect) {
      d = *destRect;
    } else {
      int w, h;
      desktopSize(&w, &h);
      d = RECT{0, 0, w, h};
    }
    if (d.left >= d.right || d.top >= d.bottom) return DDERR_INVALIDRECT;
    return presentBlt(presentWindow(), d, src, s);
  }
  RECT d = destRect ? *destRect : RECT{0, 0, width(), height()};
  if (d.left >= d.right || d.top >= d.bottom) return DDERR_INVALIDRECT;
  DDCOLORKEY k{};
  bool key = false;
  if (flags & DDBLT_KEYSRCOVERRIDE) {
    if (!fx) return DDERR_INVALIDPARAMS;
    k = fx->ddckSrcColorkey;
    key = true;
  } else if (flags & DDBLT_KEYSRC) {
    if (!src->hasSrcKey_) return DDERR_NOCOLORKEY;
    k = src->srcKey_;
    key = true;
  }
  return copyFrom(src, d, s, key, k);
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE7, DWORD flags) {
  if (lost_) return DDERR_SURFACELOST;
  if (!primary() || !(desc_.ddsCaps.dwCaps & DDSCAPS_FLIP)) return DDERR_NOTFLIPPABLE;
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  LPDIRECTDRAWSURFACE7 back = nullptr;
  if (FAILED(GetAttachedSurface(&caps, &back))) return DDERR_NOTFLIPPABLE;
  Surface* b = asSurface(back);
  // The picture is shown at once, so a flip never has to wait; with DDFLIP_STEREO only the back
  // buffer (the right eye) is shown.
  HRESULT hr = presentBlt(presentWindow(), RECT{0, 0, b->width(), b->height()}, b,
                          RECT{0, 0, b->width(), b->height()});
  back->Release();
  if (SUCCEEDED(hr)) fullscreenNoteFlip(flags);
  return hr;
}

HRESULT Surface::GetCaps(LPDDSCAPS2 caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  *caps = desc_.ddsCaps;
  return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER* clipper) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = clipper_;
  if (!clipper_) return DDERR_NOCLIPPERATTACHED;
  clipper_->AddRef();
  return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
  Clipper* c = static_cast<Clipper*>(clipper);
  if (c) c->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = c;
  return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (!key) return DDERR_INVALIDPARAMS;
  if (!(flags & DDCKEY_SRCBLT) || !hasSrcKey_) return DDERR_NOCOLORKEY;
  *key = srcKey_;
  return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
  if (flags & DDCKEY_COLORSPACE) {
    if (!key) return DDERR_INVALIDPARAMS;
  }
  if (!key) {
    hasSrcKey_ = false;
    desc_.dwFlags &= ~DWORD(DDSD_CKSRCBLT);
    return DD_OK;
  }
  srcKey_ = *key;
  if (!(flags & DDCKEY_COLORSPACE)) srcKey_.dwColorSpaceHighValue = srcKey_.dwColorSpaceLowValue;
  hasSrcKey_ = true;
  desc_.ddckCKSrcBlt = srcKey_;
  desc_.dwFlags |= DDSD_CKSRCBLT;
  return DD_OK;
}

HRESULT Surface::GetDC(HDC* hdc) {
  if (!hdc) return DDERR_INVALIDPARAMS;
  *hdc = nullptr;
  if (lost_) return DDERR_SURFACELOST;
  if (dc_) return DDERR_DCALREADYCREATED;
  if (locks_ > 0) return DDERR_SURFACEBUSY;
  if (!memory_ || layout_.zbuffer) return DDERR_CANTCREATEDC;
  dc_ = zqCreateSurfaceDC(memory_.get(), width(), height(), int(pitch_), int(layout_.bpp), layout_.r.mask,
                          layout_.g.mask, layout_.b.mask);
  if (!dc_) return DDERR_CANTCREATEDC;
  *hdc = dc_;
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC hdc) {
  if (!dc_ || hdc != dc_) return DDERR_INVALIDPARAMS;
  zqDeleteSurfaceDC(dc_);
  dc_ = nullptr;
  touch();
  return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (!format) return DDERR_INVALIDPARAMS;
  *format = desc_.ddpfPixelFormat;
  return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  *desc = desc_;
  desc->lpSurface = nullptr;
  return DD_OK;
}

HRESULT Surface::IsLost() { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HRESULT Surface::Restore() {
  lost_ = false;
  touch();
  return DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (lost_) return DDERR_SURFACELOST;
  if (!memory_) return DDERR_UNSUPPORTED;
  if (dc_) return DDERR_SURFACEBUSY;
  RECT r = rect ? *rect : RECT{0, 0, width(), height()};
  if (!validRect(r, width(), height())) return DDERR_INVALIDRECT;
  ++locks_;
  *desc = desc_;
  desc->dwFlags |= DDSD_LPSURFACE | DDSD_PITCH;
  desc->lPitch = pitch_;
  desc->lpSurface = memory_.get() + size_t(r.top) * pitch_ + size_t(r.left) * layout_.bytes();
  return DD_OK;
}

HRESULT Surface::Unlock(LPRECT) {
  if (locks_ <= 0) return DDERR_NOTLOCKED;
  --locks_;
  touch();
  return DD_OK;
}

const uint32_t* Surface::argbView(int* stride, uint32_t* alphaOr) {
  *alphaOr = layout_.a.mask ? 0 : 0xFF000000u;
  if (layout_.argb8888()) {
    *stride = int(pitch_ / 4);
    return reinterpret_cast<const uint32_t*>(memory_.get());
  }
  *stride = width();
  *alphaOr = 0;
  if (shadowVersion_ != version_) {
    shadow_.resize(size_t(width()) * height());
    const DWORD bytes = layout_.bytes();
    for (int y = 0; y < height(); ++y) {
      const BYTE* row = memory_.get() + size_t(y) * pitch_;
      uint32_t* out = shadow_.data() + size_t(y) * width();
      for (int x = 0; x < width(); ++x) out[x] = decode(layout_, readRaw(row + size_t(x) * bytes, bytes));
    }
    shadowVersion_ = version_;
  }
  return shadow_.data();
}

ULONG Clipper::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Clipper::SetHWnd(DWORD, HWND hwnd) {
  hwnd_ = hwnd;
  return DD_OK;
}

HRESULT Clipper::GetHWnd(HWND* hwnd) {
  if (!hwnd) return DDERR_INVALIDPARAMS;
  *hwnd = hwnd_;
  return DD_OK;
}

}  // namespace zqdisplay
