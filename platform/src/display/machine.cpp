#include "display/machine.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "display/pixel_format.h"
#include "display/surface.h"

namespace zqdisplay {

namespace {
std::mutex g_lock;
bool g_fed = false;
std::vector<DriverInfo> g_fedDrivers;
DWORD g_maxTexture = 0;
HRESULT g_coopResult = DD_OK;
DDSURFACEDESC2 g_desktop{};
bool g_desktopSet = false;

constexpr DWORD kDefaultMaxTexture = 4096;

DDSURFACEDESC2 makeMode(DWORD w, DWORD h, DWORD bpp, DWORD refresh) {
  DDSURFACEDESC2 m;
  std::memset(&m, 0, sizeof m);
  m.dwSize = sizeof m;
  m.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  m.dwWidth = w;
  m.dwHeight = h;
  m.lPitch = LONG(w * (bpp / 8));
  m.dwRefreshRate = refresh;
  switch (bpp) {
    case 8: {
      m.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
      m.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
      m.ddpfPixelFormat.dwRGBBitCount = 8;
      break;
    }
    case 16:
      m.ddpfPixelFormat = rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
      break;
    case 24:
      m.ddpfPixelFormat = rgbFormat(24, 0xFF0000, 0xFF00, 0xFF, 0);
      break;
    default:
      m.ddpfPixelFormat = rgbFormat(bpp, 0xFF0000, 0xFF00, 0xFF, 0);
      break;
  }
  return m;
}

D3DDEVICEDESC7 softwareDeviceDesc() {
  D3DDEVICEDESC7 d;
  std::memset(&d, 0, sizeof d);
  d.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX;
  D3DPRIMCAPS c;
  std::memset(&c, 0, sizeof c);
  c.dwSize = sizeof c;
  c.dwRasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL;
  c.dwZCmpCaps = 0xFF;
  c.dwSrcBlendCaps = 0x1FFF;
  c.dwDestBlendCaps = 0x1FFF;
  c.dwAlphaCmpCaps = 0xFF;
  c.dwShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB;
  c.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA;
  c.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR;
  c.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP;
  d.dpcLineCaps = c;
  d.dpcTriCaps = c;
  d.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
  d.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_32;
  d.dwMinTextureWidth = d.dwMinTextureHeight = 1;
  d.dwMaxTextureWidth = d.dwMaxTextureHeight = maxTextureSize();
  d.dwMaxTextureRepeat = 32768;
  d.dwMaxTextureAspectRatio = 0;
  d.dwMaxAnisotropy = 1;
  d.dvGuardBandLeft = -32768.f;
  d.dvGuardBandTop = -32768.f;
  d.dvGuardBandRight = 32767.f;
  d.dvGuardBandBottom = 32767.f;
  d.dwFVFCaps = 1;
  d.dwTextureOpCaps = 0x3FFF;
  d.wMaxTextureBlendStages = 1;
  d.wMaxSimultaneousTextures = 1;
  d.dvMaxVertexW = 1e10f;
  d.deviceGUID = IID_IDirect3DRGBDevice;
  return d;
}

std::vector<DDSURFACEDESC2> machineModes() {
  std::vector<DDSURFACEDESC2> modes;
  auto add = [&](DWORD w, DWORD h, DWORD bpp, DWORD hz) {
    for (const auto& m : modes)
      if (m.dwWidth == w && m.dwHeight == h && m.ddpfPixelFormat.dwRGBBitCount == bpp) return;
    modes.push_back(makeMode(w, h, bpp, hz));
  };
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
      int bpp = SDL_BITSPERPIXEL(m.format);
      if (bpp == 24 && SDL_BYTESPERPIXEL(m.format) == 4) bpp = 32;
      if (bpp == 16 || bpp == 24 || bpp == 32) add(DWORD(m.w), DWORD(m.h), DWORD(bpp), DWORD(m.refresh_rate));
    }
  } else {
    for (DWORD bpp : {16u, 32u}) {
      add(640, 480, bpp, 60);
      add(1024, 768, bpp, 60);
    }
  }
  add(800, 600, 16, 60);
  add(800, 600, 32, 60);
  return modes;
}

DriverInfo machineDriver() {
  DriverInfo d;
  d.primary = true;
  d.description = "Primary Display Driver";
  d.name = "display";
  DDCAPS caps;
  std::memset(&caps, 0, sizeof caps);
  caps.dwSize = sizeof caps;
  caps.dwCaps = DDCAPS_3D | DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL;
  caps.dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
  caps.dwCKeyCaps = DDCKEYCAPS_SRCBLT;
  caps.dwZBufferBitDepths = DDBD_16 | DDBD_32;
  caps.dwVidMemTotal = caps.dwVidMemFree = 256u << 20;
  caps.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY |
                        DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ZBUFFER;
  d.hardwareCaps = caps;
  d.emulationCaps = caps;
  d.modes = machineModes();
  DeviceInfo dev;
  dev.description = "Software Rasterizer";
  dev.name = "Software Rasterizer";
  dev.desc = softwareDeviceDesc();
  d.devices.push_back(dev);
  return d;
}
}  // namespace

std::vector<DriverInfo> drivers() {
  {
    std::lock_guard<std::mutex> l(g_lock);
    if (g_fed) return g_fedDrivers;
  }
  return {machineDriver()};
}

bool findDriver(const GUID* guid, DriverInfo& out) {
  for (DriverInfo& d : drivers()) {
    if ((!guid && d.primary) || (guid && !d.primary && zqSameGuid(*guid, d.guid)) ||
        (guid && d.primary && zqSameGuid(*guid, GUID{}))) {
      out = d;
      return true;
    }
  }
  return false;
}

DWORD maxTextureSize() {
  std::lock_guard<std::mutex> l(g_lock);
  return g_maxTexture ? g_maxTexture : kDefaultMaxTexture;
}

HRESULT cooperativeLevelResult() {
  std::lock_guard<std::mutex> l(g_lock);
  return g_coopResult;
}

void desktopMode(DDSURFACEDESC2& out) {
  {
    std::lock_guard<std::mutex> l(g_lock);
    if (g_desktopSet) {
      out = g_desktop;
      return;
    }
  }
  SDL_DisplayMode m;
  if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &m) == 0) {
    out = makeMode(DWORD(m.w), DWORD(m.h), 32, DWORD(m.refresh_rate));
    return;
  }
  out = makeMode(1024, 768, 32, 60);
}

void desktopSize(int* w, int* h) {
  DDSURFACEDESC2 m;
  desktopMode(m);
  *w = int(m.dwWidth);
  *h = int(m.dwHeight);
}

}  // namespace zqdisplay

using namespace zqdisplay;

void zqDisplaySetDrivers(const ZqDisplayDriver* list, int count) {
  std::lock_guard<std::mutex> l(g_lock);
  g_fedDrivers.clear();
  g_fed = count >= 0;
  for (int i = 0; i < count && list; ++i) {
    const ZqDisplayDriver& s = list[i];
    DriverInfo d;
    d.primary = s.primary != 0;
    d.guid = s.guid;
    d.description.assign(s.description, strnlen(s.description, sizeof s.description));
    d.name.assign(s.name, strnlen(s.name, sizeof s.name));
    d.hardwareCaps = s.hardwareCaps;
    d.emulationCaps = s.emulationCaps;
    if (s.modes && s.modeCount > 0) d.modes.assign(s.modes, s.modes + s.modeCount);
    for (int j = 0; s.devices && j < s.deviceCount; ++j) {
      DeviceInfo dev;
      dev.description.assign(s.devices[j].description,
                             strnlen(s.devices[j].description, sizeof s.devices[j].description));
      dev.name.assign(s.devices[j].name, strnlen(s.devices[j].name, sizeof s.devices[j].name));
      dev.desc = s.devices[j].desc;
      d.devices.push_back(dev);
    }
    d.failDirectDraw = s.failDirectDraw != 0;
    d.failDirect3D = s.failDirect3D != 0;
    g_fedDrivers.push_back(std::move(d));
  }
}

void zqDisplayDefaultDriver(ZqDisplayDriver* out) {
  if (!out) return;
  std::memset(out, 0, sizeof *out);
  DriverInfo d = machineDriver();
  out->primary = TRUE;
  std::strncpy(out->description, d.description.c_str(), sizeof out->description - 1);
  std::strncpy(out->name, d.name.c_str(), sizeof out->name - 1);
  out->hardwareCaps = d.hardwareCaps;
  out->emulationCaps = d.emulationCaps;
}

void zqDisplayDefaultDevice(ZqDisplayDevice* out) {
  if (!out) return;
  std::memset(out, 0, sizeof *out);
  std::strncpy(out->description, "Software Rasterizer", sizeof out->description - 1);
  std::strncpy(out->name, "Software Rasterizer", sizeof out->name - 1);
  out->desc = softwareDeviceDesc();
}

void zqDisplayMakeMode(DDSURFACEDESC2* mode, DWORD width, DWORD height, DWORD bpp, DWORD refreshRate) {
  if (mode) *mode = makeMode(width, height, bpp, refreshRate);
}

void zqDisplayMarkAllSurfacesLost() {
  forEachSurface([](Surface* s, void*) { s->markLost(); }, nullptr);
}

void zqDisplaySetMaxTextureSize(DWORD size) {
  std::lock_guard<std::mutex> l(g_lock);
  g_maxTexture = size;
}

void zqDisplaySetDesktopMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate) {
  std::lock_guard<std::mutex> l(g_lock);
  g_desktopSet = width != 0;
  if (g_desktopSet) g_desktop = makeMode(width, height, bpp, refreshRate);
}

void zqDisplaySetCooperativeLevelResult(HRESULT result) {
  std::lock_guard<std::mutex> l(g_lock);
  g_coopResult = result;
}

int zqDisplayLiveSurfaceCount() { return liveSurfaceCount(); }
