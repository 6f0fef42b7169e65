// A window with a primary surface and an 800x600 back buffer drawn with a test scene, and the
// frame that presenting it into the client area must show (headless or on a real screen).
#pragma once

#include <cmath>
#include <string>

#include "display_fixture.h"
#include "zqplatform/window.h"

struct PresentFixture : DisplayFixture {
  HWND hwnd = nullptr;
  LPDIRECTDRAWSURFACE7 primary = nullptr;
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  RECT client{};  // client area in screen coordinates
  int clientW = 0, clientH = 0;

  static LRESULT proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

  // Outer 728x567: the client area is 720x540, so the frame is stretched unevenly.
  void openWindow(const char* title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "ZqDisplayPresent";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, "ZqDisplayPresent", title, WS_OVERLAPPEDWINDOW, 40, 30, 728, 567, nullptr,
                           nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 d;
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.dwFlags = DDSD_CAPS;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(dd->CreateSurface(&d, &primary, nullptr), DD_OK);
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, hwnd), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    RECT rc;
    ASSERT_TRUE(GetClientRect(hwnd, &rc));
    POINT o{0, 0};
    ClientToScreen(hwnd, &o);
    client = RECT{o.x, o.y, o.x + rc.right, o.y + rc.bottom};
    clientW = int(rc.right);
    clientH = int(rc.bottom);
  }
  void TearDown() override {
    if (primary) primary->Release();
    if (clipper) clipper->Release();
    DisplayFixture::TearDown();
    if (hwnd) DestroyWindow(hwnd);
  }

  // Background gradient, rotated alpha quads, a bilinear sprite, a darkened band and lines.
  void drawScene() {
    std::vector<DWORD> bg(64 * 64), sprite(32 * 32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        bg[size_t(y) * 64 + x] = 0xFF000000u | DWORD(x * 4) << 16 | DWORD(y * 4) << 8 | DWORD(255 - x * 2);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const int dx = x - 16, dy = y - 16;
        const DWORD a = dx * dx + dy * dy < 225 ? 255u : 0u;
        sprite[size_t(y) * 32 + x] = a << 24 | ((x / 4 + y / 4) % 2 ? 0xF0D020u : 0x2040E0u);
      }
    LPDIRECTDRAWSURFACE7 tb = makeTexture(64, 64, bg), ts = makeTexture(32, 32, sprite);
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    clear(0);
    preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    dev->SetTexture(0, tb);
    ASSERT_EQ(quad(0, 0, 800, 600, 0xFF7F7F7F), D3D_OK);
    dev->SetTexture(0, ts);
    for (int i = 0; i < 6; ++i) {
      const float a = 0.4f * float(i), c = std::cos(a), s = std::sin(a), x = 120.f + 110.f * float(i),
                  y = 200.f;
      const float cx[4] = {-48, 48, -48, 48}, cy[4] = {-48, -48, 48, 48};
      D3DTLVERTEX v[4];
      for (int k = 0; k < 4; ++k)
        v[k] = vtx(x + cx[k] * c - cy[k] * s, y + cx[k] * s + cy[k] * c, 0xFF7F7F7F, cx[k] > 0 ? 1.f : 0.f,
                   cy[k] > 0 ? 1.f : 0.f);
      ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
    }
    dev->SetTexture(0, nullptr);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    ASSERT_EQ(quad(0, 400, 800, 480, 0x807F7F7F), D3D_OK);
    for (int i = 0; i < 8; ++i) {
      D3DTLVERTEX l[2] = {vtx(20.f + 90.f * float(i), 500, 0xFFFFFFFF),
                          vtx(100.f + 90.f * float(i), 590, 0xFFFF4040)};
      ASSERT_EQ(dev->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, l, 2, 0), D3D_OK);
    }
    ASSERT_EQ(dev->EndScene(), D3D_OK);
    tb->Release();
    ts->Release();
  }

  HRESULT present() { return primary->Blt(&client, target, nullptr, DDBLT_WAIT, nullptr); }

  // The back-buffer pixel shown at a client pixel: the stretch samples source pixel centres.
  DWORD expectedAt(int x, int y) {
    const int sx = int((2 * int64_t(x) + 1) * width / (2 * int64_t(clientW)));
    const int sy = int((2 * int64_t(y) + 1) * height / (2 * int64_t(clientH)));
    return at(sx, sy);
  }
};
