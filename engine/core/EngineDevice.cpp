// CZqEngine: construction, driver and device creation, teardown, resize and mode change.
#include <cstring>

#include "app/EngineApp.h"
#include "ZqEngine.h"

namespace {

const D3DMATRIX kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct ZFormatSearch {
  DWORD bits;
  DDPIXELFORMAT found;
  bool ok;
};

HRESULT FindZFormat(LPDDPIXELFORMAT f, LPVOID ctx) {
  ZFormatSearch& s = *static_cast<ZFormatSearch*>(ctx);
  if ((f->dwFlags & DDPF_ZBUFFER) && f->dwZBufferBitDepth == s.bits) {
    s.found = *f;
    s.ok = true;
    return D3DENUMRET_CANCEL;
  }
  return D3DENUMRET_OK;
}

template <class T>
void ReleaseAndNull(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

CZqEngine::CZqEngine()
    : m_pDeviceInfo(zq_engine::AppDeviceInfo()),
      m_nEngineID(-1),
      m_bActive(0),
      m_bLost(1),
      m_bExclusiveFlip(0),
      m_bRenderAllowed(0),
      m_hFsWindow(nullptr),
      m_hFsBitmap(nullptr),
      m_dwZBufferMemory(DDSCAPS_SYSTEMMEMORY),
      m_pDD(nullptr),
      m_pD3D(nullptr),
      m_bFullscreen(0),
      m_bStereo(0),
      m_bUseZBuffer(0),
      m_pD3DDevice(nullptr),
      m_pddsFront(nullptr),
      m_pddsBack(nullptr),
      m_pddsBackLeft(nullptr),
      m_pddsZBuffer(nullptr),
      m_pBackSurface(nullptr),
      m_pBackSurfaceLeft(nullptr),
      m_pZBufferSurface(nullptr),
      m_dwRenderWidth(ZQ_RENDER_WIDTH),
      m_dwRenderHeight(ZQ_RENDER_HEIGHT),
      m_hWnd(nullptr),
      m_hPopupMenu(nullptr),
      m_hWindowMenu(nullptr),
      m_bClearBeforePresent(0),
      m_dwFramePeriod(300),
      m_dwFrozenTime(0),
      m_dwTimeBase(0),
      m_dwPauseMark(0),
      m_dwPauseCount(0),
      m_dwLastUpdate(0),
      m_dwEngineTime(0),
      m_dwElapsed(0),
      m_pSource(nullptr),
      m_pGame(nullptr),
      m_pListener(nullptr),
      m_lSoundVolume(0),
      m_lMediaVolume(0),
      m_pDS(nullptr),
      m_nBoundsMode(BOUNDS_STRETCH),
      m_bSingleStep(0),
      m_bViewMatrix(0),
      m_bWantZBuffer(0),
      m_bUpdateInactive(0),
      m_nStepSize(100),
      m_idPopupMenu(0),
      m_idModeSwitch(0),
      m_idSingleStep(0),
      m_idStep(0),
      m_idPause(0),
      m_idNoEffect(0),
      m_idModeMenu(0),
      m_matLeft(kIdentity),
      m_matRight(kIdentity),
      m_matView(kIdentity),
      m_pPlayVideo(nullptr),
      m_dwSavedStyle(0),
      m_rcSavedWindow{0, 0, 0, 0},
      m_dwLastRestoreTry(0),
      m_bRestoreFailed(0) {
  std::memset(&m_ddsdMode, 0, sizeof m_ddsdMode);
  m_ddsdMode.dwSize = sizeof m_ddsdMode;
  // The painter's quad: texture corners top-left, top-right, bottom-left, bottom-right.
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (int i = 0; i < 4; ++i) m_vtx[i] = D3DTLVERTEX{0, 0, 0, 0.5f, 0xFFFFFFFF, 0, uv[i][0], uv[i][1]};
  const WORD outline[5] = {0, 1, 3, 2, 0};
  const WORD triangles[6] = {2, 1, 0, 2, 3, 1};
  std::memcpy(m_wOutlineIndex, outline, sizeof outline);
  std::memcpy(m_wTriangleIndex, triangles, sizeof triangles);
}

CZqEngine::~CZqEngine() {
  zq_engine::AppUnregister(this);
  _DeleteRegisteredObjects();
  DestroyEngine();
  _ForgetRegistries();
}

long CZqEngine::InitEngine(HWND window, int width, int height, int resize) {
  if (!window) return E_INVALIDARG;
  if (m_nEngineID == -1) {
    if (!zq_engine::AppExists()) return ZQERR_NODEVICE;
    // Without a chosen device there is nothing to create.
    if (!zq_engine::AppDeviceInfo()) return ZQERR_NODEVICE;
    m_nEngineID = zq_engine::AppRegister(this);
  } else {
    DestroyEngine();
  }
  m_hWnd = window;
  m_pDeviceInfo = zq_engine::AppDeviceInfo();
  if (!m_pDeviceInfo) return ZQERR_NODEVICE;

  long hr = _CreateDriver();
  if (FAILED(hr)) return hr;
  hr = _CreateDevice(width, height, resize);
  if (FAILED(hr)) return hr;
  SetFsWindow((m_bFsWindowFlag && m_bFullscreen) ? m_hWnd : nullptr, 0);
  _CreateSoundSystem();

  hr = OnCreate();
  if (FAILED(hr)) return hr;
  const long init = OnInitDevice();

  m_bLost = 0;
  m_bActive = 1;
  if (m_idPopupMenu) m_hPopupMenu = LoadMenuA(nullptr, reinterpret_cast<LPCSTR>(uintptr_t(m_idPopupMenu)));
  m_hWindowMenu = zq_engine::AppWindowMenu();
  zq_engine::AppEngineConnected(this);
  PrepareForRender();
  return init;
}

long CZqEngine::_CreateDriver() {
#ifdef ZQ_OLDER_BUILD
  if (!zq_engine::AppExists()) return ZQERR_NODEVICE;
  // The record decides: a record that is not windowed takes the display exclusively.
  const int fullscreen = (m_pDeviceInfo && !m_pDeviceInfo->bWindowed) ? 1 : 0;
  const DWORD level = fullscreen ? (DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_FPUSETUP)
                                 : (DDSCL_NORMAL | DDSCL_FPUSETUP);
#else
  // This build's driver is always windowed, whatever a derived engine set before.
  const int fullscreen = 0;
  const DWORD level = DDSCL_NORMAL;
#endif
  LPDIRECTDRAW7 dd = nullptr;
  GUID* driver = m_pDeviceInfo ? m_pDeviceInfo->pDriverGUID : nullptr;
  HRESULT hr = DirectDrawCreateEx(driver, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr);
  if (FAILED(hr)) return hr;
  m_pDD = dd;
  m_bFullscreen = fullscreen;
  hr = m_pDD->SetCooperativeLevel(m_hWnd, level);
  if (FAILED(hr)) return hr;
  if (FAILED(m_pDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<LPVOID*>(&m_pD3D))) || !m_pD3D)
    return ZQERR_DRIVER;
  m_bUseZBuffer = m_bWantZBuffer;
  std::memset(&m_ddsdMode, 0, sizeof m_ddsdMode);
  m_ddsdMode.dwSize = sizeof m_ddsdMode;
  hr = m_pDD->GetDisplayMode(&m_ddsdMode);
  if (FAILED(hr)) return hr;
  if (m_ddsdMode.ddpfPixelFormat.dwRGBBitCount <= 8) return E_FAIL;
  return 0;
}

long CZqEngine::_CreateDevice(int width, int height, int resize) {
  const GUID* dev = m_pDeviceInfo ? &m_pDeviceInfo->guidDevice : &IID_IDirect3DRGBDevice;
  m_dwZBufferMemory =
      (zqSameGuid(*dev, IID_IDirect3DHALDevice) || zqSameGuid(*dev, IID_IDirect3DTnLHalDevice))
          ? DDSCAPS_VIDEOMEMORY
          : DDSCAPS_SYSTEMMEMORY;
#ifdef ZQ_OLDER_BUILD
  long hr = (m_bFullscreen && m_pDeviceInfo) ? _CreateFullscreenBuffers(&m_pDeviceInfo->ddsdMode)
                                             : _CreateWindowedBuffers(width, height, resize);
#else
  long hr = _CreateWindowedBuffers(width, height, resize);
#endif
  if (FAILED(hr)) return hr;
  hr = _Create3DDevice();
  if (FAILED(hr)) return hr;
  if (m_bUseZBuffer) {
    hr = _CreateZBuffer();
    if (FAILED(hr)) return hr;
  }
  m_pBackSurface = new CZqSurface(this);
  m_pBackSurface->Create(m_pddsBack);
  if (m_pddsBackLeft) {
    m_pBackSurfaceLeft = new CZqSurface(this);
    m_pBackSurfaceLeft->Create(m_pddsBackLeft);
  }
  if (m_pddsZBuffer) {
    m_pZBufferSurface = new CZqSurface(this);
    m_pZBufferSurface->Create(m_pddsZBuffer);
  }
  DDSURFACEDESC2 mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dwSize = sizeof mode;
  if (SUCCEEDED(m_pDD->GetDisplayMode(&mode))) {
    m_ddsdMode = mode;
    if (mode.dwRefreshRate) m_dwFramePeriod = 10000 / mode.dwRefreshRate + 1;
  }
  return 0;
}

long CZqEngine::_CreateWindowedBuffers(int width, int height, int resize) {
#ifdef ZQ_OLDER_BUILD
  // A size asked for is the back buffer's; without one the back buffer is the client area.
  const bool sized = width > 0 && height > 0;
  if (!sized) {
    RECT cr{};
    ::GetClientRect(m_hWnd, &cr);
    width = cr.right - cr.left;
    height = cr.bottom - cr.top;
    resize = 0;
  }
#else
  width = ZQ_RENDER_WIDTH;
  height = ZQ_RENDER_HEIGHT;
#endif
  m_dwRenderWidth = DWORD(width);
  m_dwRenderHeight = DWORD(height);
  if (resize) _SizeWindowClient(width, height);
  RECT cr{};
  ::GetClientRect(m_hWnd, &cr);
  POINT origin{0, 0};
  ClientToScreen(m_hWnd, &origin);
  m_rcClient = SScreenRect(origin.x, origin.y, origin.x + cr.right - cr.left, origin.y + cr.bottom - cr.top);

  DDSURFACEDESC2 d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_CAPS;
  d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  HRESULT hr = m_pDD->CreateSurface(&d, &m_pddsFront, nullptr);
  if (FAILED(hr)) return hr == DDERR_OUTOFVIDEOMEMORY ? hr : ZQERR_PRIMARYSURFACE;

  LPDIRECTDRAWCLIPPER clipper = nullptr;
  if (FAILED(m_pDD->CreateClipper(0, &clipper, nullptr)) || !clipper) return ZQERR_CLIPPER;
  hr = clipper->SetHWnd(0, m_hWnd);
  if (SUCCEEDED(hr)) hr = m_pddsFront->SetClipper(clipper);
  clipper->Release();
  if (FAILED(hr)) return ZQERR_CLIPPER;

  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  d.dwWidth = m_dwRenderWidth;
  d.dwHeight = m_dwRenderHeight;
  d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  hr = m_pDD->CreateSurface(&d, &m_pddsBack, nullptr);
  if (FAILED(hr)) return hr == DDERR_OUTOFVIDEOMEMORY ? hr : ZQERR_BACKBUFFER;
  UpdateBounds();
  return 0;
}

long CZqEngine::_Create3DDevice() {
  const GUID& dev = m_pDeviceInfo ? m_pDeviceInfo->guidDevice : IID_IDirect3DRGBDevice;
  if (FAILED(m_pD3D->CreateDevice(dev, m_pddsBack, &m_pD3DDevice)) || !m_pD3DDevice) return ZQERR_DEVICE;
  D3DVIEWPORT7 vp{0, 0, m_dwRenderWidth, m_dwRenderHeight, 0.0f, 1.0f};
  if (FAILED(m_pD3DDevice->SetViewport(&vp))) return ZQERR_VIEWPORT;
  return 0;
}

long CZqEngine::_CreateZBuffer() {
  D3DDEVICEDESC7 caps{};
  m_pD3DDevice->GetCaps(&caps);
  if (caps.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_ZBUFFERLESSHSR) return 0;
  DDSURFACEDESC2 d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  m_pddsBack->GetSurfaceDesc(&d);
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  d.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | m_dwZBufferMemory;
  d.ddsCaps.dwCaps2 = 0;
  const GUID& dev = m_pDeviceInfo ? m_pDeviceInfo->guidDevice : IID_IDirect3DRGBDevice;
  ZFormatSearch s{d.ddpfPixelFormat.dwRGBBitCount, {}, false};
  m_pD3D->EnumZBufferFormats(dev, FindZFormat, &s);
  if (!s.ok) {
    s.bits = 16;
    m_pD3D->EnumZBufferFormats(dev, FindZFormat, &s);
  }
  if (!s.ok) return ZQERR_ZBUFFER;
  d.ddpfPixelFormat = s.found;
  HRESULT hr = m_pDD->CreateSurface(&d, &m_pddsZBuffer, nullptr);
  if (FAILED(hr)) return hr == DDERR_OUTOFVIDEOMEMORY ? hr : ZQERR_ZBUFFER;
  if (FAILED(m_pddsBack->AddAttachedSurface(m_pddsZBuffer))) return ZQERR_ZBUFFER;
  if (m_bStereo && m_pddsBackLeft && FAILED(m_pddsBackLeft->AddAttachedSurface(m_pddsZBuffer)))
    return ZQERR_ZBUFFER;
  if (FAILED(m_pD3DDevice->SetRenderTarget(m_pddsBack, 0))) return ZQERR_ZBUFFER;
  return 0;
}

void CZqEngine::_ReleaseDeviceObjects() {
  ReleaseAndNull(m_pD3DDevice);
  delete m_pBackSurface;
  delete m_pBackSurfaceLeft;
  delete m_pZBufferSurface;
  m_pBackSurface = m_pBackSurfaceLeft = m_pZBufferSurface = nullptr;
  ReleaseAndNull(m_pddsBack);
  ReleaseAndNull(m_pddsBackLeft);
  ReleaseAndNull(m_pddsZBuffer);
  ReleaseAndNull(m_pddsFront);
}

long CZqEngine::DestroyObjects() {
  long hr = OnCleanDevice();
  if (FAILED(hr)) return hr;
  ULONG deviceLeft = 0;
  if (m_pD3DDevice) deviceLeft = m_pD3DDevice->Release();
  m_pD3DDevice = nullptr;
  _ReleaseDeviceObjects();
  if (m_pDD) m_pDD->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
  ReleaseAndNull(m_pD3D);
  ULONG ddLeft = 0;
  if (m_pDD) ddLeft = m_pDD->Release();
  m_pDD = nullptr;
  m_bLost = 1;
  if (ddLeft) return 0;
  if (deviceLeft) return ZQERR_DEVICEREFERENCED;
  return hr;
}

long CZqEngine::DestroyEngine() {
  _DeleteRegisteredObjects();
  _ReleaseSoundSystem();
  long hr = DestroyObjects();
  m_hWnd = nullptr;
  m_bActive = 0;
  return hr;
}

long CZqEngine::Resize(int width, int height) {
#ifdef ZQ_OLDER_BUILD
  if (m_bFullscreen) return ZQERR_FULLSCREENRESIZE;
#endif
  if (m_bLost || !m_pBackSurface) return ZQERR_NODEVICE;
  _ReleaseDeviceObjects();
  long hr = _CreateDevice(width, height, 0);
  if (FAILED(hr)) return hr;
  SetFsWindow(nullptr, 0);
  hr = OnInitDevice();
  OnSizeChanged();
  m_bLost = 0;
  return hr;
}

void CZqEngine::_SizeWindowClient(int width, int height) {
  // The window first takes the size itself, then grows by its frame so the client area has it.
  RECT wr{};
  GetWindowRect(m_hWnd, &wr);
  MoveWindow(m_hWnd, wr.left, wr.top, width, height, FALSE);
  RECT cr{};
  ::GetClientRect(m_hWnd, &cr);
  MoveWindow(m_hWnd, wr.left, wr.top, 2 * width - (cr.right - cr.left), 2 * height - (cr.bottom - cr.top),
             TRUE);
}

long CZqEngine::ChangeEngineMode() {
  SDxDeviceInfo* device = m_pDeviceInfo;
  if (device && !m_bFullscreen) {
    device->bWindowed = 0;
  }
#ifdef ZQ_OLDER_BUILD
  else if (device && m_pDD) {
    // Still at the chosen mode: the switch goes back to the window; at another mode it rebuilds there.
    DDSURFACEDESC2 now;
    std::memset(&now, 0, sizeof now);
    now.dwSize = sizeof now;
    if (SUCCEEDED(m_pDD->GetDisplayMode(&now)) && now.dwWidth == device->ddsdMode.dwWidth &&
        now.dwHeight == device->ddsdMode.dwHeight &&
        now.ddpfPixelFormat.dwRGBBitCount == device->ddsdMode.ddpfPixelFormat.dwRGBBitCount)
      device->bWindowed = 1;
  }
#endif
  if (!m_bFullscreen || !m_dwWindowedWidth) {
    m_dwWindowedWidth = m_dwRenderWidth;
    m_dwWindowedHeight = m_dwRenderHeight;
  }
  m_bLost = 1;
  ReleaseSource();
  long hr = DestroyObjects();
  if (FAILED(hr)) return hr;
  const int windowed = device ? device->bWindowed : 1;
  if (m_bFullscreen && windowed) {
    // Back to the window: menu, style and size first, the place once the device exists.
    SetMenu(m_hWnd, m_hWindowMenu);
    if (m_bWindowSaved) SetWindowLongA(m_hWnd, GWL_STYLE, LONG(m_dwSavedStyle));
    _SizeWindowClient(int(m_dwWindowedWidth), int(m_dwWindowedHeight));
    if (FAILED(hr = _CreateDriver())) return hr;
    if (FAILED(hr = _CreateDevice(0, 0, 0))) return hr;
    if (m_bWindowSaved) {
      const RECT& r = m_rcSavedWindow;
      SetWindowPos(m_hWnd, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
      m_bWindowSaved = 0;
    }
  } else {
    if (!m_bFullscreen && !windowed) {
      SetMenu(m_hWnd, nullptr);
      // Saved once: a window already in the full-screen style keeps what it came from.
      if (!m_bWindowSaved) {
        m_dwSavedStyle = DWORD(GetWindowLongA(m_hWnd, GWL_STYLE));
        GetWindowRect(m_hWnd, &m_rcSavedWindow);
        m_bWindowSaved = 1;
      }
      SetWindowLongA(m_hWnd, GWL_STYLE, LONG(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_SYSMENU));
    }
    if (FAILED(hr = _CreateDriver())) return hr;
    if (FAILED(hr = _CreateDevice(0, 0, 0))) return hr;
    SetMenu(m_hWnd, nullptr);
    SetFsWindow(m_bFsWindowFlag ? m_hWnd : nullptr, 0);
  }
  OnInitDevice();
  OnSizeChanged();
  hr = RestoreSource();
  m_bLost = 0;
  return hr;
}
