// CZqMedia: one music or video file played through a filter graph.
#include "ZqMedia.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ZqDebug.h"
#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSource.h"
#include "zqplatform/window.h"

namespace {
constexpr int kMaxPath = 260;
constexpr LONG kVideoWindowStyle = 0x46000000;  // child, clip siblings, clip children

void MediaLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void MediaLog(const char* format, ...) {
  CZqDebug* log = CZqFunc::GetDebuger();
  if (!log) return;
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  log->ADD_LOG("%s", text);
}

template <class T>
void ReleaseInterface(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

template <class T>
HRESULT Query(IGraphBuilder* graph, const GUID& iid, T*& out) {
  void* p = nullptr;
  HRESULT hr = graph->QueryInterface(iid, &p);
  out = SUCCEEDED(hr) ? static_cast<T*>(p) : nullptr;
  return hr;
}
}  // namespace

CZqMedia::CZqMedia(CZqEngine* engine) : m_pEngine(engine) {
  if (m_pEngine) m_nIndex = m_pEngine->_RegisterMedia(this);
}

CZqMedia::~CZqMedia() {
  if (m_pEngine) m_pEngine->_ForgetMedia(this);
  Cleanup();
  // A video whose stop failed must not stay in the engine's slot once it is gone.
  if (m_pEngine && m_pEngine->GetPlayVideo() == this) m_pEngine->SetPlayVideo(nullptr);
}

void CZqMedia::Cleanup() {
  m_strName.clear();
  FreeDirectShow();
}

OAHWND CZqMedia::EngineWindow() const { return m_pEngine ? (OAHWND)m_pEngine->GetEngineWnd() : 0; }

void CZqMedia::LeaveVideoSlot() {
  // Only this object's own entry: a newer video may already hold the slot.
  if (m_bVideo && m_pEngine && m_pEngine->GetPlayVideo() == this) m_pEngine->SetPlayVideo(nullptr);
}

int CZqMedia::SetStreamSource(const char* name) {
  if (!name) name = "";
  if (m_pGB && m_strName == name) return 1;
  Cleanup();
  m_strName = name;

  const char* path = name;
  if (sFileInfo* info = m_pEngine ? m_pEngine->FindSource(name) : nullptr) path = info->m_szFile;
  WCHAR wide[kMaxPath] = {};
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kMaxPath) == 0) wide[0] = 0;

  // A failed load forgets the name, so the next call with it tries again.
  if (FAILED(FreeDirectShow()) || FAILED(InitDirectShow())) {
    m_strName.clear();
    return 0;
  }
  HRESULT hr = m_pGB->RenderFile(wide, nullptr);
  if (FAILED(hr)) {
    MediaLog("*** Failed(%08lx) in RenderFile(%s)!\r\n", (unsigned long)(DWORD)hr, path);
    FreeDirectShow();
    m_strName.clear();
    return 0;
  }

  OAHWND window = EngineWindow();
  m_pVW->put_AutoShow(OAFALSE);
  m_bVideo = SUCCEEDED(m_pVW->put_MessageDrain(window)) ? 1 : 0;
  if (m_bVideo) {
    m_pVW->put_Owner(window);
    m_pVW->put_WindowStyle(kVideoWindowStyle);
  }
  hr = m_pME->SetNotifyWindow(window, ZQ_MEDIAMSG_BASE + m_nIndex, 0);
  UpdateBounds();
  int ok;
  if (!m_bVideo) {
    ok = SUCCEEDED(hr);
  } else {
    m_pVW->put_Visible(OATRUE);
    ok = SUCCEEDED(m_pVW->SetWindowForeground(OATRUE));
  }
  if (!ok) m_strName.clear();
  return ok;
}

long CZqMedia::InitDirectShow() {
  void* p = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC, IID_IGraphBuilder, &p);
  if (FAILED(hr)) {
    MediaLog(
        "FAILED(0x%x) CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC, IID_IGraphBuilder, (void "
        "**)&m_pGB)\n",
        (unsigned)hr);
    FreeDirectShow();
    return hr;
  }
  m_pGB = static_cast<IGraphBuilder*>(p);
  if (FAILED(hr = Query(m_pGB, IID_IMediaControl, m_pMC))) {
    MediaLog("FAILED(0x%x) m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)\n", (unsigned)hr);
  } else if (FAILED(hr = Query(m_pGB, IID_IMediaSeeking, m_pMS))) {
    MediaLog("FAILED(0x%x) m_pGB->QueryInterface(IID_IMediaSeeking, (void **)&m_pMS)\n", (unsigned)hr);
  } else if (FAILED(hr = Query(m_pGB, IID_IBasicVideo, m_pBV))) {
    MediaLog("FAILED(0x%x) m_pGB->QueryInterface(IID_IBasicVideo, (void **)&m_pBV)\n", (unsigned)hr);
  } else if (FAILED(hr = Query(m_pGB, IID_IVideoWindow, m_pVW))) {
    MediaLog("FAILED(0x%x) m_pGB->QueryInterface(IID_IVideoWindow, (void **)&m_pVW)\n", (unsigned)hr);
  } else if (FAILED(hr = Query(m_pGB, IID_IMediaEventEx, m_pME))) {
    MediaLog("FAILED(0x%x) m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)\n", (unsigned)hr);
  } else {
    return 0;
  }
  FreeDirectShow();
  return hr;
}

long CZqMedia::FreeDirectShow() {
  Stop();
  HRESULT hr = 0;
  if (m_bVideo && m_pVW) {
    m_pVW->put_Visible(OAFALSE);
    hr = m_pVW->put_Owner(0);
  }
  ReleaseInterface(m_pMC);
  ReleaseInterface(m_pMS);
  ReleaseInterface(m_pVW);
  ReleaseInterface(m_pBV);
  ReleaseInterface(m_pME);
  ReleaseInterface(m_pGB);
  m_bVideo = 0;
  m_nState = 0;
  return hr;
}

long CZqMedia::Play() {
  if (m_nState == 2 || !m_pMC) return 0;
  if (m_bVideo && m_pEngine) {
    m_pEngine->SetPlayVideo(this);
    UpdateOwner();
  }
  HRESULT hr = m_pMC->Run();
  if (FAILED(hr)) {
    MediaLog("\r\n*** Failed(%08lx) in Run()!\r\n", (unsigned long)(DWORD)hr);
    return hr;
  }
  m_nState = 2;
  if (m_pEngine) SetVolume(m_pEngine->GetMediaVolume());
  return hr;
}

long CZqMedia::Stop() {
  if (!m_pMC || m_nState == 0) return 0;
  HRESULT hr = m_pMC->Stop();
  SetPositions(0);
  if (FAILED(hr)) {
    MediaLog("\r\n*** Failed(%08lx) in Stop()!\r\n", (unsigned long)(DWORD)hr);
    return hr;
  }
  m_nState = 0;
  LeaveVideoSlot();
  return hr;
}

long CZqMedia::Pause() {
  if (!m_pMC || m_nState != 2) return 0;
  HRESULT hr = m_pMC->Pause();
  if (SUCCEEDED(hr)) {
    MediaLog("*** Media is PAUSED.\r\n");
    m_nState = 1;
  } else {
    MediaLog("\r\n*** Failed(%08lx) in Pause()!\r\n", (unsigned long)(DWORD)hr);
  }
  return hr;
}

long CZqMedia::Resume() { return m_nState == 1 ? Play() : 0; }

long CZqMedia::HandleGraphEvent() {
  if (!m_pME) return 0;
  HRESULT hr = 0;
  LONG code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (m_pME && SUCCEEDED(m_pME->GetEvent(&code, &p1, &p2, 0))) {
    hr = m_pME->FreeEventParams(code, p1, p2);
    if (code != EC_COMPLETE) continue;
    if (m_bLooping) {
      LONGLONG start = 0;
      if (!m_pMS || FAILED(m_pMS->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                               AM_SEEKING_NoPositioning))) {
        Stop();
        Play();
      }
      return 0;
    }
    Stop();
    LeaveVideoSlot();
    m_nState = 0;
  }
  return hr;
}

long CZqMedia::SetVolume(long volume) {
  if (!m_pGB) return 0;
  IBasicAudio* audio = nullptr;
  if (FAILED(Query(m_pGB, IID_IBasicAudio, audio)) || !audio) return 0;
  if (volume > 0) volume = 0;
  if (volume < -10000) volume = -10000;
  m_lVolume = (int32_t)volume;
  HRESULT hr = audio->put_Volume(m_lVolume);
  if (FAILED(hr)) MediaLog("Failed in pBA->put_Volume!  hr=0x%x\r\n", (unsigned)hr);
  audio->Release();
  return hr;
}

long CZqMedia::GetPositions(LONGLONG& current, LONGLONG& stop) {
  if (!m_pMS) return E_FAIL;
  return m_pMS->GetPositions(&current, &stop);
}

long CZqMedia::SetPositions(LONGLONG position) {
  if (!m_pMS) return E_NOINTERFACE;
  return m_pMS->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

long CZqMedia::GetDuration(LONGLONG& duration) {
  if (!m_pMS || m_pMS->IsFormatSupported(&TIME_FORMAT_MEDIA_TIME) != S_OK) return E_NOINTERFACE;
  GUID previous{};
  HRESULT hr = m_pMS->GetTimeFormat(&previous);
  if (FAILED(hr)) return hr;
  if (FAILED(hr = m_pMS->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME))) return hr;
  HRESULT read = m_pMS->GetDuration(&duration);
  if (std::memcmp(&previous, &TIME_FORMAT_MEDIA_TIME, sizeof previous) != 0 &&
      FAILED(hr = m_pMS->SetTimeFormat(&previous)))
    return hr;
  return read;
}

void CZqMedia::UpdateBounds() {
  if (!m_bVideo || !m_pVW || !m_pEngine) return;
  RECT rc{};
  GetClientRect(m_pEngine->GetEngineWnd(), &rc);
  HRESULT hr = m_pVW->SetWindowPosition(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  if (FAILED(hr)) MediaLog("Failed to set window position!  hr=0x%x\r\n", (unsigned)hr);
}

void CZqMedia::UpdateOwner() {
  if (m_bVideo && m_pVW) m_pVW->put_Owner(EngineWindow());
}
