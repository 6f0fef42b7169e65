#include "media/filter_graph.h"

#include <gst/video/video.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "zqplatform/base.h"
#include "zqplatform/window.h"

namespace zqmedia {
namespace {

std::vector<FilterGraph*> g_graphs;
constexpr GstClockTime kSettleTimeout = 10 * GST_SECOND;

std::string Utf16ToUtf8(LPCWSTR s) {
  std::string out;
  for (size_t i = 0; s[i]; ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

double VolumeToGain(LONG v) { return v <= -10000 ? 0.0 : std::pow(10.0, v / 2000.0); }

}  // namespace

bool SameGuid(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

bool FilterGraph::StartGStreamer() {
  static int started = -1;
  if (started < 0) {
    GError* err = nullptr;
    started = gst_init_check(nullptr, nullptr, &err) ? 1 : 0;
    if (err) {
      std::fprintf(stderr, "media: GStreamer does not start: %s\n", err->message);
      g_error_free(err);
    }
    // MPEG audio through mpg123: the libav decoders of equal rank leak packet side data.
    if (started == 1) {
      if (GstPluginFeature* f = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
        gst_plugin_feature_set_rank(f, GST_RANK_SECONDARY);
        gst_object_unref(f);
      }
    }
  }
  return started == 1;
}

FilterGraph::FilterGraph() {
  if (g_graphs.empty()) zqAddPumpHook(&FilterGraph::PumpAll, nullptr);
  g_graphs.push_back(this);
}

FilterGraph::~FilterGraph() {
  Teardown();
  delete presenter_;
  g_graphs.erase(std::remove(g_graphs.begin(), g_graphs.end(), this), g_graphs.end());
  if (g_graphs.empty()) zqRemovePumpHook(&FilterGraph::PumpAll, nullptr);
}

void FilterGraph::Teardown() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  if (videoSink_) {
    gst_object_unref(videoSink_);
    videoSink_ = nullptr;
  }
  hasVideo_ = false;
  events_.clear();
  state_ = State_Stopped;
}

ULONG FilterGraph::AddRef() { return ++refs_; }

ULONG FilterGraph::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT FilterGraph::QueryInterface(REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (SameGuid(iid, IID_IGraphBuilder))
    *out = static_cast<IGraphBuilder*>(this);
  else if (SameGuid(iid, IID_IMediaControl))
    *out = static_cast<IMediaControl*>(this);
  else if (SameGuid(iid, IID_IMediaEventEx) || SameGuid(iid, IID_IMediaEvent))
    *out = static_cast<IMediaEventEx*>(this);
  else if (SameGuid(iid, IID_IMediaSeeking))
    *out = static_cast<IMediaSeeking*>(this);
  else if (SameGuid(iid, IID_IVideoWindow))
    *out = static_cast<IVideoWindow*>(this);
  else if (SameGuid(iid, IID_IBasicVideo))
    *out = static_cast<IBasicVideo*>(this);
  else if (SameGuid(iid, IID_IBasicAudio))
    *out = static_cast<IBasicAudio*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

// ---- building ---------------------------------------------------------------------------------

HRESULT FilterGraph::RenderFile(LPCWSTR file, LPCWSTR) {
  if (!file) return E_POINTER;
  if (pipeline_) return VFW_E_WRONG_STATE;
  std::string path = zqMapPath(zqUtf8ToGbk(Utf16ToUtf8(file)).c_str());
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return static_cast<HRESULT>(0x80070002);

  pipeline_ = gst_element_factory_make("playbin", nullptr);
  if (!pipeline_) return VFW_E_CANNOT_RENDER;
  gst_object_ref_sink(pipeline_);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(pipeline_, "uri", uri, nullptr);
  g_free(uri);
  if (zqIsHeadless()) {
    // No one listens headless: play in real time into nothing.
    GstElement* audio = gst_element_factory_make("fakesink", nullptr);
    if (audio) {
      g_object_set(audio, "sync", TRUE, nullptr);
      g_object_set(pipeline_, "audio-sink", audio, nullptr);
    }
  }
  videoSink_ = gst_element_factory_make("appsink", nullptr);
  if (videoSink_) {
    gst_object_ref_sink(videoSink_);
    GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
    // Frames are read as the last sample; the queue is never pulled, so the end of the stream
    // must not wait for it to drain.
    g_object_set(videoSink_, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE,
                 "enable-last-sample", TRUE, "wait-on-eos", FALSE, nullptr);
    gst_caps_unref(caps);
    g_object_set(pipeline_, "video-sink", videoSink_, nullptr);
  }
  // The graph stands prerolled at the start: "stopped" in the graph's terms.
  GstStateChangeReturn r = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  if (r == GST_STATE_CHANGE_ASYNC) r = gst_element_get_state(pipeline_, nullptr, nullptr, kSettleTimeout);
  gint nVideo = 0, nAudio = 0;
  if (r != GST_STATE_CHANGE_FAILURE && r != GST_STATE_CHANGE_ASYNC)
    g_object_get(pipeline_, "n-video", &nVideo, "n-audio", &nAudio, nullptr);
  if (nVideo == 0 && nAudio == 0) {
    if (GstBus* bus = gst_element_get_bus(pipeline_)) {
      if (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        GError* err = nullptr;
        gst_message_parse_error(m, &err, nullptr);
        std::fprintf(stderr, "media: cannot render %s: %s\n", path.c_str(), err ? err->message : "?");
        if (err) g_error_free(err);
        gst_message_unref(m);
      }
      gst_object_unref(bus);
    }
    Teardown();
    return VFW_E_UNSUPPORTED_STREAM;
  }
  hasVideo_ = nVideo > 0;
  if (GstBus* bus = gst_element_get_bus(pipeline_)) {  // set-up chatter is of no interest
    while (GstMessage* m = gst_bus_pop(bus)) gst_message_unref(m);
    gst_object_unref(bus);
  }
  state_ = State_Stopped;
  return S_OK;
}

// ---- control ----------------------------------------------------------------------------------

HRESULT FilterGraph::Run() {
  if (!pipeline_) return VFW_E_WRONG_STATE;
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return E_FAIL;
  state_ = State_Running;
  return S_OK;
}

HRESULT FilterGraph::Pause() {
  if (!pipeline_) return VFW_E_WRONG_STATE;
  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return E_FAIL;
  state_ = State_Paused;
  return S_OK;
}

HRESULT FilterGraph::Stop() {
  if (!pipeline_) return S_OK;
  // Paused underneath, so the position stays and seeking works.
  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return E_FAIL;
  state_ = State_Stopped;
  return S_OK;
}

HRESULT FilterGraph::GetState(LONG, OAFilterState* state) {
  if (!state) return E_POINTER;
  *state = state_;
  return S_OK;
}

// ---- events -----------------------------------------------------------------------------------

void FilterGraph::PumpAll(void*) {
  std::vector<FilterGraph*> graphs = g_graphs;
  for (FilterGraph* g : graphs) g->Poll(true);
}

bool FilterGraph::TakeBusMessage(GstMessage* m, bool announce) {
  bool event = false;
  if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) {
    events_.push_back({EC_COMPLETE, S_OK, 0});
    event = true;
  } else if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) {
    GError* err = nullptr;
    gst_message_parse_error(m, &err, nullptr);
    std::fprintf(stderr, "media: playback error: %s\n", err ? err->message : "?");
    if (err) g_error_free(err);
    events_.push_back({EC_ERRORABORT, E_FAIL, 0});
    event = true;
  }
  gst_message_unref(m);
  if (event && announce && notifyHwnd_) PostMessageA(notifyHwnd_, notifyMsg_, 0, notifyParam_);
  return event;
}

void FilterGraph::Poll(bool announce) {
  if (!pipeline_) return;
  if (GstBus* bus = gst_element_get_bus(pipeline_)) {
    while (GstMessage* m = gst_bus_pop(bus)) TakeBusMessage(m, announce);
    gst_object_unref(bus);
  }
  PullFrame();
}

HRESULT FilterGraph::GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
  if (!eventCode || !param1 || !param2) return E_POINTER;
  Poll(false);
  if (events_.empty() && msTimeout != 0 && pipeline_ && state_ == State_Running) {
    GstBus* bus = gst_element_get_bus(pipeline_);
    const bool forever = msTimeout < 0;
    const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(msTimeout) * 1000;
    while (events_.empty()) {
      GstClockTime wait = GST_CLOCK_TIME_NONE;
      if (!forever) {
        gint64 left = deadline - g_get_monotonic_time();
        if (left <= 0) break;
        wait = static_cast<GstClockTime>(left) * GST_USECOND;
      }
      GstMessage* m = gst_bus_timed_pop(bus, wait);
      if (!m) break;
      TakeBusMessage(m, false);
    }
    gst_object_unref(bus);
  }
  if (events_.empty()) {
    *eventCode = 0;
    *param1 = *param2 = 0;
    return E_ABORT;
  }
  Event e = events_.front();
  events_.pop_front();
  *eventCode = e.code;
  *param1 = e.p1;
  *param2 = e.p2;
  return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) { return S_OK; }

HRESULT FilterGraph::SetNotifyWindow(OAHWND hwnd, LONG msg, LONG_PTR instanceData) {
  notifyHwnd_ = reinterpret_cast<HWND>(hwnd);
  notifyMsg_ = static_cast<UINT>(msg);
  notifyParam_ = instanceData;
  return S_OK;
}

// ---- seeking (100 ns units) -----------------------------------------------------------------------

HRESULT FilterGraph::IsFormatSupported(const GUID* format) {
  if (!format) return E_POINTER;
  return SameGuid(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : S_FALSE;
}

HRESULT FilterGraph::GetTimeFormat(GUID* format) {
  if (!format) return E_POINTER;
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT FilterGraph::SetTimeFormat(const GUID* format) {
  if (!format) return E_POINTER;
  return SameGuid(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : E_INVALIDARG;
}

HRESULT FilterGraph::GetDuration(LONGLONG* duration) {
  if (!duration) return E_POINTER;
  if (!pipeline_) return E_NOTIMPL;
  gint64 ns = 0;
  if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns) || ns < 0) return E_FAIL;
  *duration = ns / 100;
  return S_OK;
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG* current) {
  if (!current) return E_POINTER;
  if (!pipeline_) return E_NOTIMPL;
  gint64 ns = 0;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) || ns < 0) ns = 0;
  *current = ns / 100;
  return S_OK;
}

HRESULT FilterGraph::GetPositions(LONGLONG* current, LONGLONG* stop) {
  if (!pipeline_) return E_NOTIMPL;
  if (current) GetCurrentPosition(current);
  if (stop) {
    LONGLONG d = 0;
    *stop = SUCCEEDED(GetDuration(&d)) ? d : 0;
  }
  return S_OK;
}

void FilterGraph::WaitSettled() { gst_element_get_state(pipeline_, nullptr, nullptr, kSettleTimeout); }

void FilterGraph::DropStaleCompletion() {
  // An end reached before the seek no longer holds.
  if (GstBus* bus = gst_element_get_bus(pipeline_)) {
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_EOS)) gst_message_unref(m);
    gst_object_unref(bus);
  }
  events_.erase(
      std::remove_if(events_.begin(), events_.end(), [](const Event& e) { return e.code == EC_COMPLETE; }),
      events_.end());
}

HRESULT FilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
  if (!pipeline_) return E_NOTIMPL;
  auto target = [&](LONGLONG* value, DWORD flags, GstSeekType* type, gint64* ns) -> bool {
    *type = GST_SEEK_TYPE_NONE;
    *ns = -1;
    DWORD how = flags & 0x3;
    if (how == AM_SEEKING_NoPositioning) return true;
    if (!value) return false;
    LONGLONG t = *value;
    if (how == AM_SEEKING_RelativePositioning) {
      LONGLONG now = 0;
      GetCurrentPosition(&now);
      t += now;
    }
    *type = GST_SEEK_TYPE_SET;
    *ns = std::max<LONGLONG>(t, 0) * 100;
    return true;
  };
  GstSeekType curType, stopType;
  gint64 curNs, stopNs;
  if (!target(current, currentFlags, &curType, &curNs) || !target(stop, stopFlags, &stopType, &stopNs))
    return E_POINTER;
  if (curType == GST_SEEK_TYPE_NONE && stopType == GST_SEEK_TYPE_NONE) return S_OK;
  if (!gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), curType,
                        curNs, stopType, stopNs))
    return E_FAIL;
  WaitSettled();
  DropStaleCompletion();
  return S_OK;
}

// ---- video window -----------------------------------------------------------------------------

HRESULT FilterGraph::put_AutoShow(LONG autoShow) {
  if (!hasVideo_) return E_NOINTERFACE;
  autoShow_ = autoShow;
  return S_OK;
}

HRESULT FilterGraph::put_MessageDrain(OAHWND drain) {
  if (!hasVideo_) return E_NOINTERFACE;
  drain_ = drain;
  return S_OK;
}

HRESULT FilterGraph::put_Owner(OAHWND owner) {
  if (!hasVideo_) return E_NOINTERFACE;
  owner_ = owner;
  return S_OK;
}

HRESULT FilterGraph::get_Owner(OAHWND* owner) {
  if (!hasVideo_) return E_NOINTERFACE;
  if (!owner) return E_POINTER;
  *owner = owner_;
  return S_OK;
}

HRESULT FilterGraph::put_WindowStyle(LONG style) {
  if (!hasVideo_) return E_NOINTERFACE;
  style_ = style;
  return S_OK;
}

HRESULT FilterGraph::put_Visible(LONG visible) {
  if (!hasVideo_) return E_NOINTERFACE;
  visible_ = visible ? OATRUE : OAFALSE;
  if (visible_) newFrame_ = true;  // show the current frame at once
  PullFrame();
  return S_OK;
}

HRESULT FilterGraph::get_Visible(LONG* visible) {
  if (!hasVideo_) return E_NOINTERFACE;
  if (!visible) return E_POINTER;
  *visible = visible_;
  return S_OK;
}

HRESULT FilterGraph::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
  if (!hasVideo_) return E_NOINTERFACE;
  if (width < 0 || height < 0) return E_INVALIDARG;
  winLeft_ = left;
  winTop_ = top;
  winWidth_ = width;
  winHeight_ = height;
  return S_OK;
}

HRESULT FilterGraph::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) {
  if (!hasVideo_) return E_NOINTERFACE;
  if (!left || !top || !width || !height) return E_POINTER;
  *left = winLeft_;
  *top = winTop_;
  *width = winWidth_;
  *height = winHeight_;
  return S_OK;
}

HRESULT FilterGraph::SetWindowForeground(LONG) { return hasVideo_ ? S_OK : E_NOINTERFACE; }

HRESULT FilterGraph::GetVideoSize(LONG* width, LONG* height) {
  if (!hasVideo_) return E_NOINTERFACE;
  if (!width || !height) return E_POINTER;
  PullFrame();
  *width = frameW_;
  *height = frameH_;
  return S_OK;
}

void FilterGraph::PullFrame() {
  if (!hasVideo_ || !videoSink_) return;
  GstSample* sample = nullptr;
  g_object_get(videoSink_, "last-sample", &sample, nullptr);
  if (sample) {
    GstBuffer* buf = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    GstVideoFrame vf;
    const bool seen = buf && buf == lastBuffer_ && GST_BUFFER_PTS(buf) == lastPts_;
    if (buf && !seen) {
      lastBuffer_ = buf;
      lastPts_ = GST_BUFFER_PTS(buf);
    }
    if (buf && !seen && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_video_frame_map(&vf, &info, buf, GST_MAP_READ)) {
      const int w = GST_VIDEO_FRAME_WIDTH(&vf), h = GST_VIDEO_FRAME_HEIGHT(&vf);
      const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&vf, 0);
      const auto* src = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&vf, 0));
      frame_.resize(static_cast<size_t>(w) * h);
      for (int y = 0; y < h; ++y)
        std::memcpy(frame_.data() + static_cast<size_t>(y) * w, src + static_cast<size_t>(y) * stride,
                    static_cast<size_t>(w) * 4);
      newFrame_ = true;
      frameW_ = w;
      frameH_ = h;
      gst_video_frame_unmap(&vf);
    }
    gst_sample_unref(sample);
  }
  if (!newFrame_ || !visible_ || !owner_ || frame_.empty()) return;
  newFrame_ = false;
  void* native = zqGetNativeWindow(reinterpret_cast<HWND>(owner_));
  if (!native) return;  // headless: the frame is only kept
  if (!presenter_) presenter_ = MakeVideoPresenter();
  LONG w = winWidth_ ? winWidth_ : frameW_, h = winHeight_ ? winHeight_ : frameH_;
  presenter_->Show(native, frame_.data(), frameW_, frameH_, winLeft_, winTop_, w, h);
}

bool FilterGraph::LastFrame(int* width, int* height, const DWORD** pixels) {
  PullFrame();
  if (frame_.empty()) return false;
  if (width) *width = frameW_;
  if (height) *height = frameH_;
  if (pixels) *pixels = frame_.data();
  return true;
}

// ---- audio ------------------------------------------------------------------------------------

HRESULT FilterGraph::put_Volume(LONG volume) {
  if (volume < -10000 || volume > 0) return E_INVALIDARG;
  if (!pipeline_) return E_NOTIMPL;
  gint nAudio = 0;
  g_object_get(pipeline_, "n-audio", &nAudio, nullptr);
  if (nAudio == 0) return E_NOTIMPL;
  volume_ = volume;
  g_object_set(pipeline_, "volume", VolumeToGain(volume), nullptr);
  return S_OK;
}

HRESULT FilterGraph::get_Volume(LONG* volume) {
  if (!volume) return E_POINTER;
  *volume = volume_;
  return S_OK;
}

}  // namespace zqmedia

bool zqMediaLastVideoFrame(IGraphBuilder* graph, int* width, int* height, const DWORD** pixels) {
  auto* g = dynamic_cast<zqmedia::FilterGraph*>(graph);
  return g && g->LastFrame(width, height, pixels);
}
