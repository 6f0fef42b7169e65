// The typical frame drawn with the software device's own calls: an opaque 800x600
// background, 60 alpha sprites 64x64 scaled to 83x83 (bilinear), 10 quads 128x128 rotated
// 30 degrees, all SRCALPHA/INVSRCALPHA with MODULATE2X by 0xFF7F7F7F, and one full-screen
// blended quad.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "zqplatform/display.h"

namespace {

struct Scene {
  LPDIRECTDRAW7 dd = nullptr;
  LPDIRECT3D7 d3d = nullptr;
  LPDIRECTDRAWSURFACE7 target = nullptr, background = nullptr, sprite = nullptr, panel = nullptr;
  LPDIRECT3DDEVICE7 dev = nullptr;

  LPDIRECTDRAWSURFACE7 texture(DWORD w, DWORD h, D3DX_SURFACEFORMAT f, DWORD seed, bool alpha) {
    LPDIRECTDRAWSURFACE7 t = nullptr;
    D3DXCreateTexture(dev, nullptr, &w, &h, &f, nullptr, &t, nullptr);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    t->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
    for (DWORD y = 0; y < h; ++y)
      for (DWORD x = 0; x < w; ++x) {
        DWORD v = (x * 2654435761u) ^ (y * 40503u) ^ seed;
        DWORD a = alpha ? ((x + y) * 255 / (w + h)) : 255;
        reinterpret_cast<DWORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch)[x] = (a << 24) | (v & 0xFFFFFF);
      }
    t->Unlock(nullptr);
    return t;
  }

  Scene() {
    DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d));
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = 800;
    d.dwHeight = 600;
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    dd->CreateSurface(&d, &target, nullptr);
    d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &dev);
    D3DVIEWPORT7 vp{0, 0, 800, 600, 0.f, 1.f};
    dev->SetViewport(&vp);
    background = texture(800, 600, D3DX_SF_X8R8G8B8, 1, false);
    sprite = texture(64, 64, D3DX_SF_A8R8G8B8, 2, true);
    panel = texture(128, 128, D3DX_SF_A8R8G8B8, 3, true);
  }
  ~Scene() {
    panel->Release();
    sprite->Release();
    background->Release();
    dev->Release();
    target->Release();
    d3d->Release();
    dd->Release();
  }

  void preparePaint(DWORD src, DWORD dst, DWORD colorOp, DWORD alphaOp) {
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, src);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, dst);
    dev->SetRenderState(D3DRENDERSTATE_DITHERENABLE, 1);
    dev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, colorOp);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    dev->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
    dev->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  }

  // The painter's quad: corners around (x, y), scaled and rotated.
  void paint(LPDIRECTDRAWSURFACE7 tex, float x, float y, float w, float h, float scale, float angle, DWORD color) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float cx[4] = {0, w, 0, w}, cy[4] = {0, 0, h, h};
    D3DTLVERTEX v[4];
    for (int i = 0; i < 4; ++i) {
      float X = cx[i], Y = cy[i];
      v[i] = D3DTLVERTEX{x + scale * (X * c - Y * s), y + scale * (X * s + Y * c), 0.f, 0.5f, color, 0,
                         cx[i] / w, cy[i] / h};
    }
    dev->SetTexture(0, tex);
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0);
  }

  void frame() {
    dev->BeginScene();
    preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    paint(background, 0, 0, 800, 600, 1.f, 0.f, 0xFF7F7F7F);
    for (int i = 0; i < 60; ++i)
      paint(sprite, float((i % 10) * 75 + 3), float((i / 10) * 90 + 7), 64, 64, 83.f / 64.f, 0.f, 0xFF7F7F7F);
    for (int i = 0; i < 10; ++i)
      paint(panel, float(100 + (i % 5) * 130), float(120 + (i / 5) * 250), 128, 128, 1.f, 0.5235988f, 0xFF7F7F7F);
    // DarkenScene-style full-screen blend: untextured, the diffuse alpha.
    preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    paint(nullptr, 0, 0, 800, 600, 1.f, 0.f, 0x807F7F7F);
    dev->EndScene();
  }
};

void BM_TypicalFrame(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TypicalFrame)->Unit(benchmark::kMillisecond);

}  // namespace
