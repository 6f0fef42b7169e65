// One filter graph: a GStreamer playbin behind the DirectShow graph interfaces.
#pragma once

#include <gst/gst.h>

#include <deque>
#include <vector>

#include "zqplatform/media.h"

namespace zqmedia {

bool SameGuid(const GUID& a, const GUID& b);

class VideoPresenter;

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaEventEx,
                          public IMediaSeeking,
                          public IVideoWindow,
                          public IBasicVideo,
                          public IBasicAudio {
 public:
  static bool StartGStreamer();
  FilterGraph();
  FilterGraph(const FilterGraph&) = delete;
  FilterGraph& operator=(const FilterGraph&) = delete;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT QueryInterface(REFIID iid, LPVOID* out) override;

  HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) override;

  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT GetState(LONG msTimeout, OAFilterState* state) override;

  HRESULT GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) override;
  HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;
  HRESULT SetNotifyWindow(OAHWND hwnd, LONG msg, LONG_PTR instanceData) override;

  HRESULT IsFormatSupported(const GUID* format) override;
  HRESULT GetTimeFormat(GUID* format) override;
  HRESULT SetTimeFormat(const GUID* format) override;
  HRESULT GetDuration(LONGLONG* duration) override;
  HRESULT GetCurrentPosition(LONGLONG* current) override;
  HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
  HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

  HRESULT put_AutoShow(LONG autoShow) override;
  HRESULT put_MessageDrain(OAHWND drain) override;
  HRESULT put_Owner(OAHWND owner) override;
  HRESULT get_Owner(OAHWND* owner) override;
  HRESULT put_WindowStyle(LONG style) override;
  HRESULT put_Visible(LONG visible) override;
  HRESULT get_Visible(LONG* visible) override;
  HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
  HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
  HRESULT SetWindowForeground(LONG focus) override;

  HRESULT GetVideoSize(LONG* width, LONG* height) override;

  HRESULT put_Volume(LONG volume) override;
  HRESULT get_Volume(LONG* volume) override;

  bool LastFrame(int* width, int* height, const DWORD** pixels);

 private:
  struct Event {
    LONG code;
    LONG_PTR p1, p2;
  };
  ~FilterGraph();
  static void PumpAll(void* ctx);
  void Poll(bool announce);  // bus messages -> events; new frames -> the window
  bool TakeBusMessage(GstMessage* m, bool announce);
  void PullFrame();
  void DropStaleCompletion();
  void WaitSettled();
  void Teardown();

  ULONG refs_ = 1;
  GstElement* pipeline_ = nullptr;
  GstElement* videoSink_ = nullptr;
  std::deque<Event> events_;
  OAFilterState state_ = State_Stopped;
  bool ended_ = false;  // the stream reached its end since the last seek
  HWND notifyHwnd_ = nullptr;
  UINT notifyMsg_ = 0;
  LONG_PTR notifyParam_ = 0;
  LONG volume_ = 0;
  bool hasVideo_ = false;
  OAHWND owner_ = 0, drain_ = 0;
  LONG style_ = 0, visible_ = 0, autoShow_ = -1;
  LONG winLeft_ = 0, winTop_ = 0, winWidth_ = 0, winHeight_ = 0;
  int frameW_ = 0, frameH_ = 0;
  std::vector<DWORD> frame_;
  bool newFrame_ = false;
  const void* lastBuffer_ = nullptr;
  GstClockTime lastPts_ = GST_CLOCK_TIME_NONE;
  VideoPresenter* presenter_ = nullptr;
};

// Draws a graph's frames over its owner window's client area.
class VideoPresenter {
 public:
  virtual ~VideoPresenter() = default;
  virtual void Show(void* nativeWindow, const DWORD* pixels, int width, int height, LONG left, LONG top,
                    LONG destWidth, LONG destHeight) = 0;
};
VideoPresenter* MakeVideoPresenter();

}  // namespace zqmedia
