// The software device drawing into an offscreen target, as the fuzz targets use it.
#pragma once

#include <cstring>

#include "zqplatform/display.h"

struct SoftwareDevice {
  LPDIRECTDRAW7 dd = nullptr;
  LPDIRECT3D7 d3d = nullptr;
  LPDIRECTDRAWSURFACE7 target = nullptr, zbuffer = nullptr;
  LPDIRECT3DDEVICE7 dev = nullptr;

  // With zBits non-zero, a Z buffer of that depth is attached before the device is made.
  SoftwareDevice(DWORD width, DWORD height, DWORD zBits = 0) {
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d));
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = width;
    d.dwHeight = height;
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    dd->CreateSurface(&d, &target, nullptr);
    if (zBits) {
      d.dwFlags |= DDSD_ZBUFFERBITDEPTH;
      d.dwMipMapCount = zBits;  // the Z bit depth shares this slot
      d.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
      if (dd->CreateSurface(&d, &zbuffer, nullptr) == DD_OK) target->AddAttachedSurface(zbuffer);
    }
    d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &dev);
  }
};
