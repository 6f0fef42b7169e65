// The DirectShow filter graph the engine plays music and video through, over GStreamer: render a
// file (recognised by its content), run, pause, stop, seek, volume, the video window and graph
// events. Events are collected on the window thread (by the message pump and by GetEvent) and
// announced by posting the notify message to the notify window.
#pragma once

#include "zqplatform/types.h"

// ---- COM start-up and strings ------------------------------------------------------------------
#ifndef ZQ_WCHAR_DEFINED
#define ZQ_WCHAR_DEFINED
typedef char16_t WCHAR;  // UTF-16 as on Windows
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
#endif

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)

typedef GUID CLSID;
typedef const CLSID& REFCLSID;

// Counted per thread as on Windows: S_OK on the first call, S_FALSE on later ones.
ZQPLAT_API HRESULT CoInitialize(LPVOID reserved);
ZQPLAT_API void CoUninitialize();
// Only CLSID_FilterGraph with IID_IGraphBuilder (or any graph interface) exists.
ZQPLAT_API HRESULT CoCreateInstance(REFCLSID clsid, void* outer, DWORD context, REFIID iid, LPVOID* out);

// Code page conversion (CP_ACP is GBK here). Returns the characters written (with the terminator
// when count is -1), or the size needed when outCount is 0; 0 on failure.
#define CP_ACP 0
#define CP_UTF8 65001
ZQPLAT_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int count, LPWSTR out,
                                   int outCount);

// ---- DirectShow ----------------------------------------------------------------------------------
typedef LONG_PTR OAHWND;
typedef LONG OAFilterState;
#define OATRUE (-1)
#define OAFALSE 0

#define State_Stopped 0
#define State_Paused 1
#define State_Running 2

#define EC_COMPLETE 0x01
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03

#define AM_SEEKING_NoPositioning 0x0
#define AM_SEEKING_AbsolutePositioning 0x1
#define AM_SEEKING_RelativePositioning 0x2

#define VFW_E_NOT_FOUND ((HRESULT)0x80040216)
#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218)
#define VFW_E_WRONG_STATE ((HRESULT)0x80040227)
#define VFW_E_UNSUPPORTED_STREAM ((HRESULT)0x8004022F)
#define VFW_S_PARTIAL_RENDER ((HRESULT)0x00040242)

ZQPLAT_API extern const GUID CLSID_FilterGraph;
ZQPLAT_API extern const GUID IID_IGraphBuilder;
ZQPLAT_API extern const GUID IID_IMediaControl;
ZQPLAT_API extern const GUID IID_IMediaEvent;
ZQPLAT_API extern const GUID IID_IMediaEventEx;
ZQPLAT_API extern const GUID IID_IMediaSeeking;
ZQPLAT_API extern const GUID IID_IVideoWindow;
ZQPLAT_API extern const GUID IID_IBasicVideo;
ZQPLAT_API extern const GUID IID_IBasicAudio;
ZQPLAT_API extern const GUID TIME_FORMAT_NONE;
ZQPLAT_API extern const GUID TIME_FORMAT_MEDIA_TIME;  // 100 ns units

// Every interface below is a face of one filter graph: they share its reference count, and
// QueryInterface on any of them reaches the others.
#define ZQ_GRAPH_INTERFACE_BASICS \
  virtual ULONG AddRef() = 0;     \
  virtual ULONG Release() = 0;    \
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* out) = 0

class IGraphBuilder {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  // Builds the playback chain for a file; the graph stands paused-and-stopped at its start.
  // A missing file: 0x80070002 (file not found); content nothing can play: VFW_E_UNSUPPORTED_STREAM.
  virtual HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) = 0;

 protected:
  virtual ~IGraphBuilder() = default;
};

class IMediaControl {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  // Stops where it is (the position stays; seek to rewind).
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetState(LONG msTimeout, OAFilterState* state) = 0;

 protected:
  virtual ~IMediaControl() = default;
};

class IMediaEventEx {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  // The next event; E_ABORT when none arrives within msTimeout (0: do not wait).
  virtual HRESULT GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) = 0;
  virtual HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) = 0;
  // Each event is announced by PostMessageA(hwnd, msg, 0, instanceData); hwnd 0 stops it.
  virtual HRESULT SetNotifyWindow(OAHWND hwnd, LONG msg, LONG_PTR instanceData) = 0;

 protected:
  virtual ~IMediaEventEx() = default;
};
typedef IMediaEventEx IMediaEvent;

class IMediaSeeking {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  virtual HRESULT IsFormatSupported(const GUID* format) = 0;
  virtual HRESULT GetTimeFormat(GUID* format) = 0;
  virtual HRESULT SetTimeFormat(const GUID* format) = 0;
  virtual HRESULT GetDuration(LONGLONG* duration) = 0;
  virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;
  virtual HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) = 0;
  virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) = 0;

 protected:
  virtual ~IMediaSeeking() = default;
};

// Without a video stream every call fails with E_NOINTERFACE.
class IVideoWindow {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  virtual HRESULT put_AutoShow(LONG autoShow) = 0;
  virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
  virtual HRESULT put_Owner(OAHWND owner) = 0;
  virtual HRESULT get_Owner(OAHWND* owner) = 0;
  virtual HRESULT put_WindowStyle(LONG style) = 0;
  virtual HRESULT put_Visible(LONG visible) = 0;
  virtual HRESULT get_Visible(LONG* visible) = 0;
  virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
  virtual HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
  virtual HRESULT SetWindowForeground(LONG focus) = 0;

 protected:
  virtual ~IVideoWindow() = default;
};

class IBasicVideo {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  virtual HRESULT GetVideoSize(LONG* width, LONG* height) = 0;

 protected:
  virtual ~IBasicVideo() = default;
};

class IBasicAudio {
 public:
  ZQ_GRAPH_INTERFACE_BASICS;
  // Hundredths of a decibel, -10000 (silent) .. 0; gain = 10^(v / 2000).
  virtual HRESULT put_Volume(LONG volume) = 0;
  virtual HRESULT get_Volume(LONG* volume) = 0;

 protected:
  virtual ~IBasicAudio() = default;
};
#undef ZQ_GRAPH_INTERFACE_BASICS

// Tests and diagnostics: the last video frame a graph decoded (32-bit X8R8G8B8 rows, tightly
// packed); false when the graph has shown no frame yet.
ZQPLAT_API bool zqMediaLastVideoFrame(IGraphBuilder* graph, int* width, int* height, const DWORD** pixels);
