// CZqEngine in exclusive full screen: the flip chain at a display mode, the GDI window shown over
// the flipping display, and the flip that draws it. Only the older build takes the display
// exclusively; in the newer one these find the engine windowed and change nothing.
#include <cstring>

#include "app/EngineApp.h"
#include "ZqEngine.h"

long CZqEngine::_CreateFullscreenBuffers(DDSURFACEDESC2* mode) {
  if (!zq_engine::AppExists()) return ZQERR_NODEVICE;
  if (!mode || !m_pDD) return E_INVALIDARG;
  m_dwRenderWidth = mode->dwWidth;
  m_dwRenderHeight = mode->dwHeight;
  m_rcClient = SScreenRect(0, 0, int32_t(mode->dwWidth), int32_t(mode->dwHeight));
  const DWORD bits = mode->ddpfPixelFormat.dwRGBBitCount;
  const DWORD vga = (mode->dwWidth == 320 && mode->dwHeight == 200 && bits == 8) ? DDSDM_STANDARDVGAMODE : 0;
  if (FAILED(m_pDD->SetDisplayMode(mode->dwWidth, mode->dwHeight, bits, mode->dwRefreshRate, vga)))
    return ZQERR_FULLSCREENMODE;

  DDSURFACEDESC2 d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  d.dwBackBufferCount = 1;
  d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (m_bStereo) {
    d.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
    d.ddsCaps.dwCaps2 |= DDSCAPS2_STEREOSURFACELEFT;
  }
  HRESULT hr = m_pDD->CreateSurface(&d, &m_pddsFront, nullptr);
  if (FAILED(hr))
    return (hr == DDERR_NOEXCLUSIVEMODE || hr == DDERR_OUTOFVIDEOMEMORY) ? hr : ZQERR_PRIMARYSURFACE;
  DDSCAPS2 back{DDSCAPS_BACKBUFFER, 0, 0, 0};
  if (FAILED(m_pddsFront->GetAttachedSurface(&back, &m_pddsBack)) || !m_pddsBack) return ZQERR_BACKBUFFER;
  if (m_bStereo) {
    DDSCAPS2 left{0, DDSCAPS2_STEREOSURFACELEFT, 0, 0};
    if (FAILED(m_pddsBack->GetAttachedSurface(&left, &m_pddsBackLeft)) || !m_pddsBackLeft)
      return ZQERR_BACKBUFFER;
  }
  DDCAPS caps;
  std::memset(&caps, 0, sizeof caps);
  caps.dwSize = sizeof caps;
  m_pDD->GetCaps(&caps, nullptr);
  m_bCanRenderWindowed = (caps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) ? 1 : 0;
  UpdateBounds();
  return 0;
}

long CZqEngine::SetFsWindow(HWND window, int capture) {
  if (!m_bFullscreen) return 0;
  if (!window) window = m_hFsWindow;
  if (!window) return E_FAIL;
  if (m_bCanRenderWindowed) {
    // The driver shows GDI windows over the flipping display itself once it flips to GDI.
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    if (m_pddsFront && SUCCEEDED(m_pDD->CreateClipper(0, &clipper, nullptr)) && clipper) {
      clipper->SetHWnd(0, m_hWnd);
      m_pddsFront->SetClipper(clipper);
      clipper->Release();
    }
    if (m_pDD) m_pDD->FlipToGDISurface();
  } else {
    // Otherwise the window's picture is copied into every frame, and the cursor stays on it.
    RECT screen{0, 0, LONG(m_dwRenderWidth), LONG(m_dwRenderHeight)};
    ClipCursor(&screen);
    if (m_hFsBitmap) DeleteObject(m_hFsBitmap);
    m_hFsBitmap = nullptr;
    if (capture) {
      if (!m_hFsWindow) UpdateWindow(window);
      RECT wr{};
      GetWindowRect(window, &wr);
      const int w = wr.right - wr.left, h = wr.bottom - wr.top;
      if (w > 0 && h > 0) {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 16;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screenDc = GetDC(nullptr);
        void* bits = nullptr;
        HBITMAP picture = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (picture) {
          HDC mem = CreateCompatibleDC(screenDc);
          HGDIOBJ old = SelectObject(mem, picture);
          BitBlt(mem, 0, 0, w, h, screenDc, wr.left, wr.top, SRCCOPY);
          SelectObject(mem, old);
          DeleteDC(mem);
          m_hFsBitmap = picture;
        }
        ReleaseDC(nullptr, screenDc);
      }
    }
  }
  m_hFsWindow = window;
  return 0;
}

void CZqEngine::EndFsWindow() {
  if (!m_hFsWindow) return;
  m_hFsWindow = nullptr;
  if (m_hFsBitmap) DeleteObject(m_hFsBitmap);
  m_hFsBitmap = nullptr;
  if (m_bFullscreen && !m_bCanRenderWindowed) ClipCursor(nullptr);
  if (m_pddsFront) m_pddsFront->SetClipper(nullptr);
}

long CZqEngine::_FsFlip() {
  if (!m_pddsFront || !m_pddsBack) return ZQERR_NODEVICE;
  RECT screen{0, 0, LONG(m_dwRenderWidth), LONG(m_dwRenderHeight)};
  if (m_bCanRenderWindowed) return m_pddsFront->Blt(&screen, m_pddsBack, nullptr, DDBLT_WAIT, nullptr);
  HDC dc = nullptr;
  if (SUCCEEDED(m_pddsBack->GetDC(&dc)) && dc) {
    RECT wr{};
    if (m_hFsWindow) GetWindowRect(m_hFsWindow, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w > 0 && h > 0) {
      if (m_hFsBitmap) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, m_hFsBitmap);
        BitBlt(dc, wr.left, wr.top, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
      } else {
        HDC screenDc = GetDC(nullptr);
        BitBlt(dc, wr.left, wr.top, w, h, screenDc, wr.left, wr.top, SRCCOPY);
        ReleaseDC(nullptr, screenDc);
      }
    }
    m_pddsBack->ReleaseDC(dc);
  }
  return m_pddsFront->Flip(nullptr, DDFLIP_WAIT);
}

long CZqEngine::FlipToGDISurface(int redraw) {
  if (m_bLost) {
    OnDismiss();
    return ZQERR_CANNOTRESTORE;
  }
#ifdef ZQ_OLDER_BUILD
  if (m_bFullscreen && m_pDD) {
    m_pDD->FlipToGDISurface();
    if (redraw) {
      DrawMenuBar(m_hWnd);
      RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME);
    }
  }
#else
  (void)redraw;
#endif
  return 0;
}
