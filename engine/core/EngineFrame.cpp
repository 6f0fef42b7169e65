// CZqEngine frame pipeline: engine clock and catch-up, render, present, bounds, restore.
#include "app/EngineApp.h"
#include "ZqEngine.h"

namespace {

// Between two tries to rebuild a device that could not be restored (milliseconds).
constexpr DWORD kRestoreRetryMs = 1000;

// Catch-up (0.1 ms units): at a loop rate above kCatchUpMinLoopRate, a lag above kCatchUpLag is
// worked off in updates of kCatchUpStep. A lag above kMaxLag (a stalled process, a clock that
// jumped) is dropped down to kMaxLag, so no lag costs more than kMaxLag / kCatchUpStep updates and
// no single update is handed more than kMaxLag.
constexpr float kCatchUpMinLoopRate = 20.0f;
constexpr DWORD kCatchUpLag = 2000;
constexpr DWORD kCatchUpStep = 500;
constexpr DWORD kMaxLag = 50000;

}  // namespace

int CZqEngine::_UpdateEngine() {
  if (m_dwPauseCount > 0) return 1;
  m_dwEngineTime = m_bSingleStep ? m_dwFrozenTime : zq_engine::AppTime() - m_dwTimeBase;
  // The clock went back or restarted.
  if (m_dwEngineTime == 0 || m_dwEngineTime < m_dwLastUpdate) m_dwLastUpdate = m_dwEngineTime;
  if (!m_bActive && !m_bUpdateInactive) {
    m_dwLastUpdate = m_dwEngineTime;
    return 0;
  }
  if (m_dwEngineTime - m_dwLastUpdate > kMaxLag) m_dwLastUpdate = m_dwEngineTime - kMaxLag;
  if (zq_engine::AppLoopRate() > kCatchUpMinLoopRate && m_dwEngineTime - m_dwLastUpdate > kCatchUpLag) {
    // The time the steps take is not charged to the engine clock.
    Pause(1);
    while (m_dwEngineTime - m_dwLastUpdate > kCatchUpStep) {
      m_dwElapsed = kCatchUpStep;
      m_dwLastUpdate += kCatchUpStep;
      OnUpdate();
    }
    Pause(0);
  }
  m_dwElapsed = m_dwEngineTime - m_dwLastUpdate;
  if (m_dwElapsed == 0) return 1;
  int result = OnUpdate();
  m_dwLastUpdate = m_dwEngineTime;
  // Sounds move their 3D positions deferred; one commit a frame applies them together.
  if (m_pListener) m_pListener->CommitDeferredSettings();
  return result;
}

int CZqEngine::_CheckCooperativeLevel(long* result, int windowedWrongModeSwitches) {
  m_bRenderAllowed = 1;
  HRESULT hr = m_pDD->TestCooperativeLevel();
  if (SUCCEEDED(hr)) return 1;
  if (hr == DDERR_NOEXCLUSIVEMODE || hr == DDERR_EXCLUSIVEMODEALREADYSET) {
    m_bRenderAllowed = 0;
    *result = 0;
  } else if (hr == DDERR_WRONGMODE) {
#ifdef ZQ_OLDER_BUILD
    // A window switches over; in full screen the mode is the caller's to handle.
    (void)windowedWrongModeSwitches;
    *result = m_bFullscreen ? hr : ChangeEngineMode();
#else
    *result = (windowedWrongModeSwitches && !m_bFullscreen) ? ChangeEngineMode() : RestoreEngine();
#endif
  } else {
    *result = hr;
  }
  return 0;
}

long CZqEngine::_RenderEngine() {
  if (m_bLost || !m_pD3DDevice) {
    // A device that could not be rebuilt is tried again now and then, not on every pass.
    if (m_bRestoreFailed && m_hWnd && timeGetTime() - m_dwLastRestoreTry >= kRestoreRetryMs) RestoreEngine();
    return ZQERR_NODEVICE;
  }
  if (!m_bActive) return 0;
  long result = 0;
  if (!_CheckCooperativeLevel(&result, 0)) return result;
#ifdef ZQ_OLDER_BUILD
  if (_IsStereoPass()) {
    // The left eye first, into its own surface, then the right eye into the back buffer.
    m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matLeft);
    m_pD3DDevice->SetRenderTarget(m_pddsBackLeft, 0);
    HRESULT hr = m_pD3DDevice->BeginScene();
    if (FAILED(hr)) return hr;
    long rendered = OnRender();
    m_pD3DDevice->EndScene();
    if (FAILED(rendered)) return rendered;
    rendered = OnDraw(m_pBackSurfaceLeft);
    if (FAILED(rendered)) return rendered;
    m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matRight);
    m_pD3DDevice->SetRenderTarget(m_pddsBack, 0);
  } else if (m_bViewMatrix) {
    m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matView);
  }
#endif
  HRESULT hr = m_pD3DDevice->BeginScene();
  if (FAILED(hr)) return hr;
  long rendered = OnRender();
  m_pD3DDevice->EndScene();
  if (FAILED(rendered)) return rendered;
  return OnDraw(m_pBackSurface);
}

long CZqEngine::Present() {
  if (!m_pddsFront || !m_pddsBack) return ZQERR_NODEVICE;
#ifdef ZQ_OLDER_BUILD
  if (m_bFullscreen) {
    if (m_hFsWindow) return _FsFlip();
    return m_pddsFront->Flip(nullptr, m_bStereo ? (DDFLIP_WAIT | DDFLIP_STEREO) : DDFLIP_WAIT);
  }
#endif
  if (m_bClearBeforePresent) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    HRESULT hr = m_pddsFront->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    if (FAILED(hr)) return hr;
  }
  RECT dst{m_rcDest.left, m_rcDest.top, m_rcDest.right, m_rcDest.bottom};
  RECT src{m_rcSource.left, m_rcSource.top, m_rcSource.right, m_rcSource.bottom};
  if (dst.right <= dst.left || dst.bottom <= dst.top || src.right <= src.left || src.bottom <= src.top)
    return 0;  // nothing of the window is visible
  return m_pddsFront->Blt(&dst, m_pddsBack, &src, DDBLT_WAIT, nullptr);
}

void CZqEngine::UpdateBounds() {
#ifdef ZQ_OLDER_BUILD
  if (m_bFullscreen) {
    // The whole screen shows the whole back buffer; the client is the screen for mouse mapping.
    m_rcDest = SScreenRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    m_rcClient = m_rcDest;
    m_rcSource = SScreenRect(0, 0, int32_t(m_dwRenderWidth), int32_t(m_dwRenderHeight));
    m_bClearBeforePresent = 0;
    return;
  }
#endif
  RECT cr{};
  if (m_hWnd) ::GetClientRect(m_hWnd, &cr);
  POINT origin{0, 0};
  if (m_hWnd) ClientToScreen(m_hWnd, &origin);
  m_rcClient = SScreenRect(origin.x, origin.y, origin.x + cr.right - cr.left, origin.y + cr.bottom - cr.top);
  const int32_t w = int32_t(m_dwRenderWidth), h = int32_t(m_dwRenderHeight);
  m_rcSource = SScreenRect(0, 0, w, h);
  const SScreenRect& c = m_rcClient;
  switch (m_nBoundsMode) {
    case BOUNDS_TOP_LEFT:
    case BOUNDS_TOP_RIGHT:
    case BOUNDS_BOTTOM_LEFT:
    case BOUNDS_BOTTOM_RIGHT:
    case BOUNDS_CENTRE: {
      // An unscaled back buffer anchored at a corner (or centred), cut to the client area.
      int32_t left, top;
      if (m_nBoundsMode == BOUNDS_CENTRE) {
        left = c.left + (c.width() - w) / 2;
        top = c.top + (c.height() - h) / 2;
      } else {
        const bool atLeft = m_nBoundsMode == BOUNDS_TOP_LEFT || m_nBoundsMode == BOUNDS_BOTTOM_LEFT;
        const bool atTop = m_nBoundsMode == BOUNDS_TOP_LEFT || m_nBoundsMode == BOUNDS_TOP_RIGHT;
        left = atLeft ? c.left : c.right - w;
        top = atTop ? c.top : c.bottom - h;
      }
      SScreenRect d(left, top, left + w, top + h);
      if (d.left < c.left) d.left = c.left;
      if (d.top < c.top) d.top = c.top;
      if (d.right > c.right) d.right = c.right;
      if (d.bottom > c.bottom) d.bottom = c.bottom;
      m_rcDest = d;
      m_rcSource = SScreenRect(d.left - left, d.top - top, d.right - left, d.bottom - top);
      break;
    }
    case BOUNDS_KEEP_ASPECT:
      m_rcDest = c;
      m_rcDest.make_room(SScreenRect(0, 0, w, h));
      break;
    default:
      m_rcDest = c;
      break;
  }
  m_bClearBeforePresent = (m_rcDest.width() < c.width() || m_rcDest.height() < c.height()) ? 1 : 0;
}

long CZqEngine::RestoreEngine() {
  m_bLost = 1;
  m_bRestoreFailed = 1;
  m_dwLastRestoreTry = timeGetTime();
  ReleaseSource();
  long hr = DestroyObjects();
  if (FAILED(hr)) return hr;
  if (FAILED(hr = _CreateDriver())) return hr;
#ifdef ZQ_OLDER_BUILD
  // A window keeps the back buffer it had: its client area may have been stretched since.
  hr = _CreateDevice(int(m_dwRenderWidth), int(m_dwRenderHeight), 0);
#else
  hr = _CreateDevice(0, 0, 0);
#endif
  if (FAILED(hr)) return hr;
  if (FAILED(hr = OnInitDevice())) return hr;
  hr = RestoreSource();
  if (FAILED(hr)) return hr;
  m_bLost = 0;
  m_bRestoreFailed = 0;
  SetFsWindow((m_bFsWindowFlag && m_bFullscreen) ? m_hWnd : nullptr, 0);
  return hr;
}

long CZqEngine::RestoreSurfaces() {
  if (m_bLost) {
    OnDismiss();
    return ZQERR_CANNOTRESTORE;
  }
  if (!m_pDD) return ZQERR_NODEVICE;
  m_pDD->RestoreAllSurfaces();
  return 0;
}

long CZqEngine::PrepareForRender() {
  if (m_bLost || !m_pD3DDevice) return ZQERR_NODEVICE;
  long result = 0;
  if (!_CheckCooperativeLevel(&result, 1)) return result;
#ifdef ZQ_OLDER_BUILD
  if (_IsStereoPass()) {
    m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matLeft);
    m_pD3DDevice->SetRenderTarget(m_pddsBackLeft, 0);
    m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matRight);
    m_pD3DDevice->SetRenderTarget(m_pddsBack, 0);
    return 0;
  }
#endif
  if (m_bViewMatrix) m_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matView);
  return 0;
}

// Stops are measured on the live application clock, the clock the engine time runs on: while
// the application clock itself stands (inactive, moved, paused) they cost nothing twice.
void CZqEngine::_HoldClock(int reason) {
  if (!m_nClockHold) m_dwPauseMark = zq_engine::AppClock();
  m_nClockHold |= reason;
}

void CZqEngine::_ReleaseClock(int reason) {
  if (!(m_nClockHold & reason)) return;
  m_nClockHold &= ~reason;
  if (!m_nClockHold) m_dwTimeBase += zq_engine::AppClock() - m_dwPauseMark;
}

void CZqEngine::SetActive(int active) {
  active = active ? 1 : 0;
  if (active == m_bActive) return;
  m_bActive = active;
  if (active) {
    _ReleaseClock(HOLD_INACTIVE);
    _PauseMedia(0);
  } else {
    if (!m_bSingleStep && !m_bUpdateInactive) _HoldClock(HOLD_INACTIVE);
    _PauseMedia(1);
  }
}

void CZqEngine::Pause(int pause) {
  if (pause) {
    if (++m_dwPauseCount == 1 && !m_bSingleStep) _HoldClock(HOLD_PAUSE);
  } else if (m_dwPauseCount > 0) {
    if (--m_dwPauseCount == 0) _ReleaseClock(HOLD_PAUSE);
  }
}

void CZqEngine::RePaint() {
  if (m_pPlayVideo) {
    _MediaUpdateBounds(m_pPlayVideo);
    return;
  }
  UpdateBounds();
  Present();
}

void CZqEngine::SetPlayVideo(CZqMedia* media) {
  if (media == m_pPlayVideo) return;
  if (m_pPlayVideo) _StopMedia(m_pPlayVideo);
  m_pPlayVideo = media;
}

HRESULT CZqEngine::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return m_pD3DDevice ? m_pD3DDevice->SetRenderState(state, value) : ZQERR_NODEVICE;
}

HRESULT CZqEngine::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  return m_pD3DDevice ? m_pD3DDevice->SetTextureStageState(stage, state, value) : ZQERR_NODEVICE;
}

long CZqEngine::Lock(BYTE* bits, LONG pitch) {
  if (!m_pBackSurface) return ZQERR_NODEVICE;
  return m_pBackSurface->BeginLock(&bits, &pitch);
}

long CZqEngine::Unlock() {
  if (!m_pBackSurface) return ZQERR_NODEVICE;
  return m_pBackSurface->EndLock();
}

// ---- default hooks ----

long CZqEngine::OnCreate() { return 0; }
long CZqEngine::OnCleanDevice() { return 0; }
long CZqEngine::OnFinalCleanup() { return 0; }
void CZqEngine::OnSizeChanged() {}
void CZqEngine::OnDismiss() {}

long CZqEngine::OnInitDevice() {
  if (m_bWantZBuffer && m_pD3DDevice) {
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, 1);
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, 1);
    m_pD3DDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  }
  return 0;
}
