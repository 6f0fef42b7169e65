// The filter graph over short files made at test time: play to the end and post the notify
// message, loop by rewinding, stop and rewind, refuse what cannot be played, show video frames.
// Playback runs in real time inside GStreamer: files are about 0.2 s and every wait is a bounded
// poll of the message queue.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "audio_support.h"
#include "runtime_support.h"
#include "zqplatform/media.h"
#include "zqplatform/window.h"

namespace {

constexpr UINT kNotify = 0xBF00 + 2;

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

class Graph : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "MediaTestWindow";
    RegisterClassA(&wc);
    hwnd =
        CreateWindowExA(0, "MediaTestWindow", "media", 0, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override {
    for (IGraphBuilder* g : graphs) g->Release();
    zqResetWindowSystem();
    CoUninitialize();
  }

  // A graph with the file rendered, or null with the status in *hr.
  IGraphBuilder* Render(const std::string& path, HRESULT* hr = nullptr) {
    IGraphBuilder* g = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC, IID_IGraphBuilder,
                               reinterpret_cast<void**>(&g)),
              S_OK);
    if (!g) return nullptr;
    std::u16string w = Wide(path);
    HRESULT r = g->RenderFile(w.c_str(), nullptr);
    if (hr) *hr = r;
    if (FAILED(r)) {
      g->Release();
      return nullptr;
    }
    graphs.push_back(g);
    return g;
  }
  template <class I>
  I* Face(IGraphBuilder* g, const GUID& iid) {
    I* p = nullptr;
    EXPECT_EQ(g->QueryInterface(iid, reinterpret_cast<void**>(&p)), S_OK);
    p->Release();  // the graph's own reference keeps it
    return p;
  }
  // Pumps the queue until the notify message arrives (true) or ten seconds pass.
  bool WaitForNotify() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    MSG m{};
    while (std::chrono::steady_clock::now() < deadline) {
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == kNotify && m.hwnd == hwnd) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  static LONG NextEvent(IMediaEventEx* ev) {
    LONG code = -1;
    LONG_PTR p1 = 0, p2 = 0;
    if (ev->GetEvent(&code, &p1, &p2, 0) != S_OK) return -1;
    ev->FreeEventParams(code, p1, p2);
    return code;
  }

  ScratchDir dir;
  HWND hwnd = nullptr;
  std::vector<IGraphBuilder*> graphs;
};

TEST_F(Graph, WaveAndMp3PlayToTheEndAndPostTheEvent) {
  const std::string wav = dir.file("tone.wav"), mp3 = dir.file("tone.mp3");
  ASSERT_TRUE(MakeToneWave(wav, 22050, 16, 1, 0.2));
  ASSERT_TRUE(RunQuiet("lame --quiet -b 64 '" + wav + "' '" + mp3 + "'"));
  // Recognised by content, whatever the name says.
  const std::string packed = dir.file("music.zq_");
  ASSERT_TRUE(RunQuiet("cp '" + mp3 + "' '" + packed + "'"));
  for (const std::string& path : {wav, mp3, packed}) {
    IGraphBuilder* g = Render(path);
    ASSERT_NE(g, nullptr) << path;
    auto* ev = Face<IMediaEventEx>(g, IID_IMediaEventEx);
    auto* mc = Face<IMediaControl>(g, IID_IMediaControl);
    auto* ms = Face<IMediaSeeking>(g, IID_IMediaSeeking);
    auto* vw = Face<IVideoWindow>(g, IID_IVideoWindow);
    EXPECT_EQ(vw->put_MessageDrain(reinterpret_cast<OAHWND>(hwnd)), E_NOINTERFACE) << "no video";
    LONGLONG duration = 0;
    EXPECT_EQ(ms->GetDuration(&duration), S_OK);
    EXPECT_NEAR(static_cast<double>(duration), 2000000.0, 400000.0) << path;
    ASSERT_EQ(ev->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd), kNotify, 0), S_OK);
    ASSERT_EQ(mc->Run(), S_OK);
    ASSERT_TRUE(WaitForNotify()) << path;
    EXPECT_EQ(NextEvent(ev), EC_COMPLETE) << path;
    EXPECT_EQ(NextEvent(ev), -1) << "the queue is empty";
  }
}

TEST_F(Graph, RewindAtTheEndLoopsAndStopThenRewindStartsOver) {
  const std::string wav = dir.file("tone.wav");
  ASSERT_TRUE(MakeToneWave(wav, 22050, 16, 2, 0.2));
  IGraphBuilder* g = Render(wav);
  ASSERT_NE(g, nullptr);
  auto* ev = Face<IMediaEventEx>(g, IID_IMediaEventEx);
  auto* mc = Face<IMediaControl>(g, IID_IMediaControl);
  auto* ms = Face<IMediaSeeking>(g, IID_IMediaSeeking);
  ASSERT_EQ(ev->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd), kNotify, 0), S_OK);
  ASSERT_EQ(mc->Run(), S_OK);
  ASSERT_TRUE(WaitForNotify());
  ASSERT_EQ(NextEvent(ev), EC_COMPLETE);

  // Looping: rewind while running; it plays through once more.
  LONGLONG zero = 0;
  ASSERT_EQ(ms->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  LONGLONG now = -1;
  EXPECT_EQ(ms->GetCurrentPosition(&now), S_OK);
  EXPECT_LT(now, 1000000);
  OAFilterState st = -1;
  EXPECT_EQ(mc->GetState(0, &st), S_OK);
  EXPECT_EQ(st, State_Running);
  ASSERT_TRUE(WaitForNotify());
  EXPECT_EQ(NextEvent(ev), EC_COMPLETE);

  // Stop and rewind: stopped at the start, and the next run plays the whole file again.
  ASSERT_EQ(mc->Stop(), S_OK);
  ASSERT_EQ(ms->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  EXPECT_EQ(mc->GetState(0, &st), S_OK);
  EXPECT_EQ(st, State_Stopped);
  EXPECT_EQ(ms->GetCurrentPosition(&now), S_OK);
  EXPECT_EQ(now, 0);
  EXPECT_EQ(NextEvent(ev), -1) << "no end is reported for a stopped graph";
  ASSERT_EQ(mc->Run(), S_OK);
  ASSERT_TRUE(WaitForNotify());
  EXPECT_EQ(NextEvent(ev), EC_COMPLETE);
}

TEST_F(Graph, VolumeInHundredthsOfADecibel) {
  const std::string wav = dir.file("tone.wav");
  ASSERT_TRUE(MakeToneWave(wav, 22050, 8, 1, 0.2));
  IGraphBuilder* g = Render(wav);
  ASSERT_NE(g, nullptr);
  auto* ba = Face<IBasicAudio>(g, IID_IBasicAudio);
  for (LONG v : {0L, -2500L, -10000L}) {
    EXPECT_EQ(ba->put_Volume(v), S_OK);
    LONG back = 1;
    EXPECT_EQ(ba->get_Volume(&back), S_OK);
    EXPECT_EQ(back, v);
  }
  EXPECT_EQ(ba->put_Volume(1), E_INVALIDARG);
  EXPECT_EQ(ba->put_Volume(-10001), E_INVALIDARG);
}

TEST_F(Graph, WhatCannotBePlayedIsRefused) {
  WriteBytes(dir.file("noise.mp3"), std::string(4000, '\x5A'));
  WriteBytes(dir.file("empty.wav"), "");
  HRESULT hr = S_OK;
  EXPECT_EQ(Render(dir.file("noise.mp3"), &hr), nullptr);
  EXPECT_EQ(hr, VFW_E_UNSUPPORTED_STREAM);
  EXPECT_EQ(Render(dir.file("empty.wav"), &hr), nullptr);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(Render(dir.file("missing.wav"), &hr), nullptr);
  EXPECT_EQ(hr, static_cast<HRESULT>(0x80070002));

  IGraphBuilder* g = reinterpret_cast<IGraphBuilder*>(0x1);
  const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC, IID_IGraphBuilder, reinterpret_cast<void**>(&g)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(g, nullptr);
  CoUninitialize();
  EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC, IID_IGraphBuilder,
                             reinterpret_cast<void**>(&g)),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
}

TEST_F(Graph, VideoFramesAreKeptHeadless) {
  const std::string avi = dir.file("blue.avi");
  // 5 frames of 32x24 solid blue, JPEG in AVI.
  ASSERT_TRUE(
      RunQuiet("gst-launch-1.0 -q videotestsrc num-buffers=5 pattern=solid-color foreground-color=0xff0000ff"
               " ! video/x-raw,width=32,height=24,framerate=25/1 ! videoconvert ! jpegenc ! avimux"
               " ! filesink location='" +
               avi + "'"));
  IGraphBuilder* g = Render(avi);
  ASSERT_NE(g, nullptr);
  auto* vw = Face<IVideoWindow>(g, IID_IVideoWindow);
  auto* mc = Face<IMediaControl>(g, IID_IMediaControl);
  auto* ev = Face<IMediaEventEx>(g, IID_IMediaEventEx);
  const OAHWND owner = reinterpret_cast<OAHWND>(hwnd);
  EXPECT_EQ(vw->put_AutoShow(OAFALSE), S_OK);
  EXPECT_EQ(vw->put_MessageDrain(owner), S_OK) << "a video";
  EXPECT_EQ(vw->put_Owner(owner), S_OK);
  EXPECT_EQ(vw->put_WindowStyle(0x46000000), S_OK);
  EXPECT_EQ(vw->SetWindowPosition(0, 0, 320, 240), S_OK);
  EXPECT_EQ(vw->put_Visible(OATRUE), S_OK);
  EXPECT_EQ(vw->SetWindowForeground(OATRUE), S_OK);
  ASSERT_EQ(ev->SetNotifyWindow(owner, kNotify, 0), S_OK);
  ASSERT_EQ(mc->Run(), S_OK);
  ASSERT_TRUE(WaitForNotify());
  EXPECT_EQ(NextEvent(ev), EC_COMPLETE);

  int w = 0, h = 0;
  const DWORD* px = nullptr;
  ASSERT_TRUE(zqMediaLastVideoFrame(g, &w, &h, &px));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 24);
  const DWORD c = px[12 * 32 + 16];
  EXPECT_LT((c >> 16) & 0xFF, 40u) << std::hex << c;
  EXPECT_LT((c >> 8) & 0xFF, 40u) << std::hex << c;
  EXPECT_GT(c & 0xFF, 200u) << std::hex << c;
  LONG vwid = 0, vhei = 0;
  auto* bv = Face<IBasicVideo>(g, IID_IBasicVideo);
  EXPECT_EQ(bv->GetVideoSize(&vwid, &vhei), S_OK);
  EXPECT_EQ(vwid, 32);
}

TEST_F(Graph, TheOtherMediaTypesPlay) {
  const std::string video =
      "videotestsrc num-buffers=5 ! video/x-raw,width=32,height=24,framerate=25/1 ! videoconvert";
  const std::string audio = "audiotestsrc num-buffers=5 ! audioconvert";
  const struct {
    const char* name;
    std::string pipeline;  // made by gst-launch-1.0
  } cases[] = {
      {"clip.mpg", audio + " ! avenc_mp2 ! mpegaudioparse ! mpegpsmux"},
      {"clip.wmv", video + " ! avenc_wmv2 ! asfmux"},
      {"clip.wma", audio + " ! avenc_wmav2 ! asfmux"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.file(c.name);
    ASSERT_TRUE(RunQuiet("gst-launch-1.0 -q " + c.pipeline + " ! filesink location='" + path + "'"))
        << c.name;
  }
  // MIDI: one note of a quarter second (format 0, 96 ticks a quarter note at 120 beats a minute).
  WriteBytes(dir.file("note.mid"), std::string("MThd\0\0\0\6\0\0\0\1\0\x60"
                                               "MTrk\0\0\0\x0c"
                                               "\0\x90\x3c\x64\x30\x80\x3c\x40\0\xff\x2f\0",
                                               34));
  for (const char* name : {"clip.mpg", "clip.wmv", "clip.wma", "note.mid"}) {
    IGraphBuilder* g = Render(dir.file(name));
    ASSERT_NE(g, nullptr) << name;
    auto* ev = Face<IMediaEventEx>(g, IID_IMediaEventEx);
    ASSERT_EQ(ev->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd), kNotify, 0), S_OK);
    ASSERT_EQ(Face<IMediaControl>(g, IID_IMediaControl)->Run(), S_OK);
    ASSERT_TRUE(WaitForNotify()) << name;
    EXPECT_EQ(NextEvent(ev), EC_COMPLETE) << name;
  }
}

}  // namespace
