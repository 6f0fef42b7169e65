// The typical frame on the software device: an opaque 800x600 background, 60 alpha sprites
// 64x64 scaled to 83x83 (bilinear), 10 quads 128x128 rotated 30 degrees, all
// SRCALPHA/INVSRCALPHA with MODULATE2X by 0xFF7F7F7F, and one full-screen blended quad.
// Drawn with the device's own calls (the painter's state set by PreparePaint) and through
// Render_Paint; and 500 sprites of 64x64 a frame through Render_Paint.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/display_hooks.h"

namespace {

constexpr DWORD kGrey = 0xFF7F7F7F;
constexpr float kAngle = 0.5235988f;

struct Scene {
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  LPDIRECT3DDEVICE7 dev = nullptr;
  CZqTexture *background = nullptr, *sprite = nullptr, *panel = nullptr;

  CZqTexture* texture(DWORD w, DWORD h, D3DX_SURFACEFORMAT f, DWORD seed, bool alpha) {
    auto* t = new CZqTexture(engine);
    t->CreateEx(w, h, f, 0);
    BYTE* bits = nullptr;
    LONG pitch = 0;
    t->BeginLock(&bits, &pitch);
    for (DWORD y = 0; y < h; ++y)
      for (DWORD x = 0; x < w; ++x) {
        const DWORD v = (x * 2654435761u) ^ (y * 40503u) ^ seed;
        const DWORD a = alpha ? ((x + y) * 255 / (w + h)) : 255;
        const DWORD px = (a << 24) | (v & 0xFFFFFF);
        std::memcpy(bits + y * pitch + x * 4, &px, 4);
      }
    t->EndLock();
    return t;
  }

  Scene() {
    // No sound output is needed (as under the tests).
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("ZQ_HEADLESS", "1", 0);
    wnd = OpenEngineWindow("bench");
    app = new CZqApp;
    app->InitApp(wnd);
    engine = new CZqEngine;
    engine->InitEngine(wnd, 800, 600, 0);
    dev = engine->GetD3dDevice();
    background = texture(800, 600, D3DX_SF_X8R8G8B8, 1, false);
    sprite = texture(64, 64, D3DX_SF_A8R8G8B8, 2, true);
    panel = texture(128, 128, D3DX_SF_A8R8G8B8, 3, true);
  }
  ~Scene() {
    delete panel;
    delete sprite;
    delete background;
    delete engine;
    delete app;
    CloseEngineWindow();
  }

  void prepare() {
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
  }

  // A quad with its top-left corner at (x, y), scaled and turned about that corner.
  void quad(LPDIRECTDRAWSURFACE7 tex, float x, float y, float w, float h, float scale, float angle,
            DWORD color) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float cx[4] = {0, w, 0, w}, cy[4] = {0, 0, h, h};
    D3DTLVERTEX v[4];
    for (int i = 0; i < 4; ++i)
      v[i] = D3DTLVERTEX{x + scale * (cx[i] * c - cy[i] * s),
                         y + scale * (cx[i] * s + cy[i] * c),
                         0.f,
                         0.5f,
                         color,
                         0,
                         cx[i] / w,
                         cy[i] / h};
    dev->SetTexture(0, tex);
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0);
  }

  void deviceFrame() {
    dev->BeginScene();
    prepare();
    quad(background->GetTexture(), 0, 0, 800, 600, 1.f, 0.f, kGrey);
    for (int i = 0; i < 60; ++i)
      quad(sprite->GetTexture(), float((i % 10) * 75 + 3), float((i / 10) * 90 + 7), 64, 64, 83.f / 64.f, 0.f,
           kGrey);
    for (int i = 0; i < 10; ++i)
      quad(panel->GetTexture(), float(100 + (i % 5) * 130), float(120 + (i / 5) * 250), 128, 128, 1.f, kAngle,
           kGrey);
    // DarkenScene-style full-screen blend: untextured, the diffuse alpha.
    prepare();
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    quad(nullptr, 0, 0, 800, 600, 1.f, 0.f, 0x807F7F7F);
    dev->EndScene();
  }

  void painterFrame() {
    dev->BeginScene();
    prepare();
    engine->Render_Paint(0, 0, background, 0.f, 1.f, 1.f, 1.f, 0.f, kGrey);
    for (int i = 0; i < 60; ++i)
      engine->Render_Paint((i % 10) * 75 + 3, (i / 10) * 90 + 7, sprite, 0.f, 83.f / 64.f, 83.f / 64.f, 1.f,
                           0.f, kGrey);
    for (int i = 0; i < 10; ++i)
      engine->Render_Paint(100 + (i % 5) * 130, 120 + (i / 5) * 250, panel, 0.f, 1.f, 1.f, 1.f, kAngle,
                           kGrey);
    prepare();
    engine->Render_Paint(0, 0, nullptr, 0.f, 1.f, 1.f, 0.5f, 0.f, kGrey);
    dev->EndScene();
  }

  void sprites500() {
    dev->BeginScene();
    prepare();
    for (int i = 0; i < 500; ++i)
      engine->Render_Paint((i * 37) % 736, (i * 53) % 536, sprite, 0.f, 1.f, 1.f, 1.f, 0.f, kGrey);
    dev->EndScene();
  }
};

void BM_TypicalFrame(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.deviceFrame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TypicalFrame)->Unit(benchmark::kMillisecond);

// The same frame with the kernels held to a vector width (256: AVX2, 128: SSE2), as on a
// processor without the wider units.
void BM_TypicalFrameAtWidth(benchmark::State& state) {
  Scene scene;
  zqDisplaySetKernelWidth(int(state.range(0)));
  for (auto _ : state) {
    scene.deviceFrame();
    benchmark::ClobberMemory();
  }
  zqDisplaySetKernelWidth(512);
}
BENCHMARK(BM_TypicalFrameAtWidth)->Arg(256)->Arg(128)->Unit(benchmark::kMillisecond);

void BM_TypicalFramePainter(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.painterFrame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TypicalFramePainter)->Unit(benchmark::kMillisecond);

void BM_Sprites500Painter(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.sprites500();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Sprites500Painter)->Unit(benchmark::kMillisecond);

}  // namespace
