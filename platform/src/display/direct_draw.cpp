// The DirectDraw and Direct3D driver objects, and the driver enumeration.
#include <cstring>

#include "display/device.h"
#include "display/fullscreen.h"
#include "display/machine.h"
#include "display/pixel_format.h"
#include "display/surface.h"

namespace zqdisplay {

namespace {

class DirectDraw;

class Direct3D final : public IDirect3D7 {
 public:
  Direct3D(DirectDraw* dd, const DriverInfo& driver);
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, LPVOID context) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DeviceInfo& d : driver_.devices) {
      std::string desc = d.description, name = d.name;
      D3DDEVICEDESC7 copy = d.desc;
      if (callback(desc.data(), name.data(), &copy, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
  }
  HRESULT CreateDevice(REFCLSID guid, LPDIRECTDRAWSURFACE7 target, LPDIRECT3DDEVICE7* device) override {
    if (!device) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (!target) return DDERR_INVALIDPARAMS;
    for (const DeviceInfo& d : driver_.devices)
      if (zqSameGuid(d.desc.deviceGUID, guid))
        return createSoftwareDevice(this, asSurface(target), d.desc, device);
    return DDERR_INVALIDPARAMS;
  }
  HRESULT EnumZBufferFormats(REFCLSID, LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (DWORD bits : {16u, 32u}) {
      DDPIXELFORMAT f = zFormat(bits);
      if (callback(&f, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
  }

 private:
  ~Direct3D() override;
  std::atomic<ULONG> refs_{1};
  DirectDraw* dd_;
  DriverInfo driver_;
};

class DirectDraw final : public IDirectDraw7 {
 public:
  explicit DirectDraw(const DriverInfo& d) : driver_(d) {}

  HRESULT QueryInterface(REFIID riid, LPVOID* object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (zqSameGuid(riid, IID_IDirectDraw7)) {
      AddRef();
      *object = static_cast<IDirectDraw7*>(this);
      return S_OK;
    }
    if (zqSameGuid(riid, IID_IDirect3D7) && !driver_.failDirect3D) {
      *object = static_cast<IDirect3D7*>(new Direct3D(this, driver_));
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* clipper, void*) override {
    if (!clipper) return DDERR_INVALIDPARAMS;
    *clipper = new Clipper();
    return DD_OK;
  }
  HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, void*) override;
  HRESULT EnumDisplayModes(DWORD, LPDDSURFACEDESC2 filter, LPVOID context,
                           LPDDENUMMODESCALLBACK2 callback) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DDSURFACEDESC2& m : driver_.modes) {
      if (filter) {
        if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != m.dwWidth) continue;
        if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != m.dwHeight) continue;
        if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
            filter->ddpfPixelFormat.dwRGBBitCount != m.ddpfPixelFormat.dwRGBBitCount)
          continue;
        if ((filter->dwFlags & DDSD_REFRESHRATE) && filter->dwRefreshRate != m.dwRefreshRate) continue;
      }
      DDSURFACEDESC2 copy = m;
      if (callback(&copy, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
  }
  HRESULT FlipToGDISurface() override { return DD_OK; }
  HRESULT GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps) override {
    if (!driverCaps && !helCaps) return DDERR_INVALIDPARAMS;
    if (driverCaps) *driverCaps = driver_.hardwareCaps;
    if (helCaps) *helCaps = driver_.emulationCaps;
    return DD_OK;
  }
  HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override {
    if (!desc) return DDERR_INVALIDPARAMS;
    if (modeSet_)
      *desc = mode_;
    else
      desktopMode(*desc);
    return DD_OK;
  }
  HRESULT SetDisplayMode(DWORD w, DWORD h, DWORD bpp, DWORD hz, DWORD) override {
    if (!(coopFlags_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
    for (const DDSURFACEDESC2& m : driver_.modes)
      if (m.dwWidth == w && m.dwHeight == h && m.ddpfPixelFormat.dwRGBBitCount == bpp &&
          (hz == 0 || m.dwRefreshRate == 0 || m.dwRefreshRate == hz)) {
        mode_ = m;
        modeSet_ = true;
        fullscreenSetMode(this, hwnd_, mode_);
        return DD_OK;
      }
    return DDERR_INVALIDPARAMS;
  }
  HRESULT RestoreDisplayMode() override {
    modeSet_ = false;
    fullscreenRelease(this);
    return DD_OK;
  }
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) override {
    if ((flags & DDSCL_EXCLUSIVE) && !(flags & DDSCL_FULLSCREEN)) return DDERR_INVALIDPARAMS;
    if ((flags & DDSCL_EXCLUSIVE) && !hwnd) return DDERR_INVALIDPARAMS;
    hwnd_ = hwnd;
    coopFlags_ = flags;
    if (!(flags & DDSCL_EXCLUSIVE)) modeSet_ = false;
    fullscreenCooperativeLevel(this, hwnd, flags);
    return DD_OK;
  }
  HRESULT RestoreAllSurfaces() override {
    forEachSurface([](Surface* s, void*) { s->Restore(); }, nullptr);
    return DD_OK;
  }
  HRESULT TestCooperativeLevel() override { return cooperativeLevelResult(); }

 private:
  ~DirectDraw() override { fullscreenRelease(this); }
  std::atomic<ULONG> refs_{1};
  DriverInfo driver_;
  HWND hwnd_ = nullptr;
  DWORD coopFlags_ = 0;
  DDSURFACEDESC2 mode_{};
  bool modeSet_ = false;
};

Direct3D::Direct3D(DirectDraw* dd, const DriverInfo& driver) : dd_(dd), driver_(driver) { dd_->AddRef(); }
Direct3D::~Direct3D() { dd_->Release(); }
ULONG Direct3D::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 in, LPDIRECTDRAWSURFACE7* out, void*) {
  if (!in || !out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (!(in->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
  DDSURFACEDESC2 d = *in;
  DWORD& caps = d.ddsCaps.dwCaps;
  if (!(caps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY)))
    caps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  DDSURFACEDESC2 screen;
  GetDisplayMode(&screen);

  if (caps & DDSCAPS_PRIMARYSURFACE) {
    const bool flipping = (caps & DDSCAPS_FLIP) != 0;
    if (flipping && !(coopFlags_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
    d.dwWidth = screen.dwWidth;
    d.dwHeight = screen.dwHeight;
    d.ddpfPixelFormat = rgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0);
    caps |= DDSCAPS_VISIBLE | DDSCAPS_FRONTBUFFER * flipping;
    Surface* primary;
    HRESULT hr = Surface::create(d, hwnd_, &primary);
    if (FAILED(hr)) return hr;
    if (flipping) {
      DWORD count = (in->dwFlags & DDSD_BACKBUFFERCOUNT) ? in->dwBackBufferCount : 1;
      if (count == 0) count = 1;
      for (DWORD i = 0; i < count && i < 3; ++i) {
        DDSURFACEDESC2 b = d;
        b.ddsCaps.dwCaps = (caps & ~DWORD(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE)) |
                           (i == 0 ? DDSCAPS_BACKBUFFER : 0);
        b.ddsCaps.dwCaps2 = 0;
        Surface* back;
        hr = Surface::create(b, hwnd_, &back);
        if (FAILED(hr)) {
          primary->Release();
          return hr;
        }
        primary->AddAttachedSurface(back);
        // A stereo chain gets its left-eye surface, which is drawn into but never shown:
        // this device shows no stereo pictures.
        if (i == 0 && (in->ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT)) {
          DDSURFACEDESC2 left = b;
          left.ddsCaps.dwCaps &= ~DWORD(DDSCAPS_BACKBUFFER);
          left.ddsCaps.dwCaps2 = DDSCAPS2_STEREOSURFACELEFT;
          Surface* eye;
          if (SUCCEEDED(Surface::create(left, hwnd_, &eye))) {
            back->AddAttachedSurface(eye);
            eye->Release();
          }
        }
        back->Release();
      }
    }
    *out = primary;
    return DD_OK;
  }

  if (!(in->dwFlags & DDSD_WIDTH) || !(in->dwFlags & DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (caps & DDSCAPS_ZBUFFER) {
    if (!(in->dwFlags & DDSD_PIXELFORMAT)) {
      DWORD bits = (in->dwFlags & DDSD_ZBUFFERBITDEPTH) ? in->dwMipMapCount : 16;
      d.ddpfPixelFormat = zFormat(bits);
    } else if (!(d.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER)) {
      return DDERR_INVALIDPIXELFORMAT;
    }
  } else if (!(in->dwFlags & DDSD_PIXELFORMAT)) {
    d.ddpfPixelFormat = rgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0);
  }
  d.dwFlags &= ~DWORD(DDSD_LPSURFACE);
  Surface* s;
  HRESULT hr = Surface::create(d, hwnd_, &s);
  if (FAILED(hr)) return hr;
  *out = s;
  return DD_OK;
}

}  // namespace

}  // namespace zqdisplay

using namespace zqdisplay;

HRESULT DirectDrawCreateEx(GUID* lpGuid, LPVOID* lplpDD, REFIID iid, void*) {
  if (!lplpDD) return DDERR_INVALIDPARAMS;
  *lplpDD = nullptr;
  if (!zqSameGuid(iid, IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
  // Small integers stand for the emulation-only / hardware-only requests: the primary.
  if (reinterpret_cast<uintptr_t>(lpGuid) < 16) lpGuid = nullptr;
  DriverInfo d;
  if (!findDriver(lpGuid, d)) return DDERR_INVALIDPARAMS;
  if (d.failDirectDraw) return DDERR_GENERIC;
  *lplpDD = static_cast<IDirectDraw7*>(new DirectDraw(d));
  return DD_OK;
}

HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD) {
  if (!callback) return DDERR_INVALIDPARAMS;
  bool primarySeen = false;
  for (DriverInfo& d : drivers()) {
    GUID guid = d.guid;
    bool asPrimary = d.primary && !primarySeen;
    primarySeen = primarySeen || d.primary;
    std::string desc = d.description, name = d.name;
    if (!callback(asPrimary ? nullptr : &guid, desc.data(), name.data(), context, nullptr)) break;
  }
  return DD_OK;
}
