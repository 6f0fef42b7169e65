// A DirectDraw driver with an 800x600 render target and the software device, for pixel tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zqplatform/display.h"

struct DisplayFixture : ::testing::Test {
  LPDIRECTDRAW7 dd = nullptr;
  LPDIRECT3D7 d3d = nullptr;
  LPDIRECTDRAWSURFACE7 target = nullptr;
  LPDIRECT3DDEVICE7 dev = nullptr;
  int width = 800, height = 600;

  void SetUp() override {
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)), S_OK);
    target = makeSurface(width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    ASSERT_TRUE(target);
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &dev), D3D_OK);
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  }
  void TearDown() override {
    if (dev) dev->Release();
    if (target) target->Release();
    if (d3d) d3d->Release();
    if (dd) dd->Release();
  }

  // An X8R8G8B8 surface (or the pixel format given).
  LPDIRECTDRAWSURFACE7 makeSurface(int w, int h, DWORD caps, const DDPIXELFORMAT* pf = nullptr) {
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (pf ? DDSD_PIXELFORMAT : 0);
    d.dwWidth = DWORD(w);
    d.dwHeight = DWORD(h);
    d.ddsCaps.dwCaps = caps;
    if (pf) d.ddpfPixelFormat = *pf;
    LPDIRECTDRAWSURFACE7 s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&d, &s, nullptr), DD_OK);
    return s;
  }

  // A texture of the given format filled from 0xAARRGGBB pixels (row by row).
  LPDIRECTDRAWSURFACE7 makeTexture(int w, int h, const std::vector<DWORD>& argb,
                                   D3DX_SURFACEFORMAT format = D3DX_SF_A8R8G8B8) {
    DWORD tw = DWORD(w), th = DWORD(h);
    D3DX_SURFACEFORMAT f = format;
    LPDIRECTDRAWSURFACE7 t = nullptr;
    EXPECT_EQ(D3DXCreateTexture(dev, nullptr, &tw, &th, &f, nullptr, &t, nullptr), S_OK);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    EXPECT_EQ(t->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        DWORD c = argb[size_t(y) * w + x];
        BYTE* p = static_cast<BYTE*>(d.lpSurface) + y * d.lPitch;
        if (d.ddpfPixelFormat.dwRGBBitCount == 32) {
          reinterpret_cast<DWORD*>(p)[x] = c;
        } else {  // A4R4G4B4 / R5G6B5 test textures
          WORD v;
          if (format == D3DX_SF_R5G6B5)
            v = WORD(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F));
          else
            v = WORD(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0xF0) | ((c >> 4) & 0xF));
          reinterpret_cast<WORD*>(p)[x] = v;
        }
      }
    t->Unlock(nullptr);
    return t;
  }

  DWORD pixel(LPDIRECTDRAWSURFACE7 s, int x, int y) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    DWORD v = reinterpret_cast<DWORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch)[x];
    s->Unlock(nullptr);
    return v;
  }
  DWORD at(int x, int y) { return pixel(target, x, y) & 0x00FFFFFF; }

  void clear(DWORD color) { ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.f, 0), D3D_OK); }

  static D3DTLVERTEX vtx(float x, float y, DWORD color, float u = 0, float v = 0, float z = 0) {
    return D3DTLVERTEX{x, y, z, 0.5f, color, 0, u, v};
  }
  // Axis-aligned quad as a strip: top-left, top-right, bottom-left, bottom-right.
  HRESULT quad(float l, float t, float r, float b, DWORD color, float z = 0) {
    D3DTLVERTEX v[4] = {vtx(l, t, color, 0, 0, z), vtx(r, t, color, 1, 0, z), vtx(l, b, color, 0, 1, z),
                        vtx(r, b, color, 1, 1, z)};
    return dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0);
  }
  // The state the engine's painter sets.
  void preparePaint(DWORD src, DWORD dst, DWORD colorOp, DWORD alphaOp) {
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, src);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, dst);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    dev->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
  }
};
