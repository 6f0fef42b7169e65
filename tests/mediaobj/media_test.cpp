// Media objects over short files made at test time. Playback runs in real time inside the
// media layer, so waits are bounded polls of the message queue for the object's event message.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "audio_support.h"
#include "sound_engine_fixture.h"

namespace {

// Sees every entry of the engine's debug log.
class RecordingLog : public CZqDebug {
 public:
  explicit RecordingLog(char* name) : CZqDebug(name) {}
  void OnAddLog(const char*, const char*, const char* text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

class Media : public CZqMedia {
 public:
  using CZqMedia::CZqMedia;
  IGraphBuilder* Graph() const { return m_pGB; }
};

class MediaTest : public SoundEngineTest {
 protected:
  void SetUp() override {
    SoundEngineTest::SetUp();
    wav = dir.file("tone.wav");
    ASSERT_TRUE(MakeToneWave(wav, 22050, 16, 1, 0.2));
  }

  // Pumps the queue until the event message of `media` arrives, then lets it handle its events
  // as the engine would. False when nothing arrives within ten seconds.
  bool AwaitEvent(CZqMedia& media) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    MSG m{};
    while (std::chrono::steady_clock::now() < deadline) {
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == ZQ_MEDIAMSG_BASE + (UINT)media.GetIndex() && m.hwnd == wnd) {
          EXPECT_EQ(m.wParam, 0u);
          media.HandleGraphEvent();
          return true;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  static LONGLONG Position(CZqMedia& media) {
    LONGLONG current = -1, stop = -1;
    media.GetPositions(current, stop);
    return current;
  }

  std::string MakeVideo(const std::string& name) {
    std::string path = dir.file(name);
    EXPECT_TRUE(
        RunQuiet("gst-launch-1.0 -q videotestsrc num-buffers=5 ! video/x-raw,width=32,height=24,"
                 "framerate=25/1 ! videoconvert ! jpegenc ! avimux ! filesink location='" +
                 path + "'"));
    return path;
  }

  std::string wav;
};

TEST_F(MediaTest, WaveAndMp3PlayToTheEndStoppedAndRewound) {
  std::string mp3 = dir.file("tone.mp3");
  ASSERT_TRUE(RunQuiet("lame --quiet -b 64 '" + wav + "' '" + mp3 + "'"));
  for (const std::string& path : {wav, mp3}) {
    SCOPED_TRACE(path);
    Media media(engine.get());
    ASSERT_EQ(media.SetStreamSource(path.c_str()), 1);
    EXPECT_EQ(media.IsVideo(), 0);
    LONGLONG duration = 0;
    EXPECT_EQ(media.GetDuration(duration), S_OK);
    EXPECT_NEAR((double)duration, 2000000.0, 400000.0);
    EXPECT_EQ(media.Play(), S_OK);
    EXPECT_EQ(media.IsPlaying(), 1);
    EXPECT_EQ(media.Play(), 0);  // already playing
    ASSERT_TRUE(AwaitEvent(media));
    EXPECT_EQ(media.IsPlaying(), 0);
    EXPECT_EQ(Position(media), 0);
    EXPECT_EQ(engine->GetPlayVideo(), nullptr);  // audio never takes the video slot
  }
}

TEST_F(MediaTest, LoopingRewindsAndKeepsPlaying) {
  Media media(engine.get());
  ASSERT_EQ(media.SetStreamSource(wav.c_str()), 1);
  media.SetLooping(1);
  EXPECT_EQ(media.GetLooping(), 1);
  ASSERT_EQ(media.Play(), S_OK);
  ASSERT_TRUE(AwaitEvent(media));
  EXPECT_EQ(media.IsPlaying(), 1);
  ASSERT_TRUE(AwaitEvent(media)) << "plays through a second time";
  EXPECT_EQ(media.IsPlaying(), 1);

  EXPECT_EQ(media.Pause(), S_OK);
  EXPECT_EQ(media.IsPause(), 1);
  EXPECT_EQ(media.Resume(), S_OK);
  EXPECT_EQ(media.IsPlaying(), 1);
  EXPECT_EQ(media.Resume(), 0);  // not paused
  EXPECT_EQ(media.Stop(), S_OK);
  EXPECT_EQ(media.IsPlaying(), 0);
  EXPECT_EQ(Position(media), 0);
  EXPECT_EQ(media.Stop(), 0);
  EXPECT_EQ(media.Pause(), 0);  // stopped
}

TEST_F(MediaTest, IndicesReuseTheSmallestFree) {
  auto* a = new Media(engine.get());
  auto* b = new Media(engine.get());
  auto* c = new Media(engine.get());
  EXPECT_EQ(a->GetIndex(), 0);
  EXPECT_EQ(b->GetIndex(), 1);
  EXPECT_EQ(c->GetIndex(), 2);
  delete b;
  EXPECT_EQ(engine->_FindMedia(1), nullptr);
  auto* d = new Media(engine.get());
  EXPECT_EQ(d->GetIndex(), 1);
  EXPECT_EQ(engine->_FindMedia(1), d);
  auto* e = new Media(engine.get());
  EXPECT_EQ(e->GetIndex(), 3);

  // The event message carries the index.
  ASSERT_EQ(e->SetStreamSource(wav.c_str()), 1);
  e->Play();
  EXPECT_TRUE(AwaitEvent(*e));
  for (CZqMedia* m : {a, c, d, e}) delete m;
  EXPECT_EQ(engine->_FindMedia(0), nullptr);
}

TEST_F(MediaTest, UnrenderableFileLogsAndFailsEveryTime) {
  RecordingLog log(const_cast<char*>("media"));
  WriteBytes(dir.file("noise.mp3"), std::string(4000, '\x5A'));
  std::string noise = dir.file("noise.mp3");
  Media media(engine.get());
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    EXPECT_EQ(media.SetStreamSource(noise.c_str()), 0);
    EXPECT_EQ(media.Graph(), nullptr);
    ASSERT_EQ(log.lines.size(), (size_t)attempt + 1) << "a repeated name is loaded again";
    char expected[512];
    snprintf(expected, sizeof expected, "*** Failed(%08lx) in RenderFile(%s)!\r\n",
             (unsigned long)(DWORD)VFW_E_UNSUPPORTED_STREAM, noise.c_str());
    EXPECT_EQ(log.lines.back(), expected);
    EXPECT_EQ(media.Play(), 0);
    EXPECT_EQ(media.Stop(), 0);
    EXPECT_EQ(media.SetVolume(-100), 0);
    LONGLONG current = 0, stop = 0;
    EXPECT_EQ(media.GetPositions(current, stop), E_FAIL);
    EXPECT_EQ(media.SetPositions(0), E_NOINTERFACE);
  }
  // A loaded name is kept: the same name again does not rebuild the graph.
  ASSERT_EQ(media.SetStreamSource(wav.c_str()), 1);
  IGraphBuilder* graph = media.Graph();
  EXPECT_EQ(media.SetStreamSource(wav.c_str()), 1);
  EXPECT_EQ(media.Graph(), graph);
}

TEST_F(MediaTest, VolumesAreClamped) {
  Media media(engine.get());
  ASSERT_EQ(media.SetStreamSource(wav.c_str()), 1);
  struct Case {
    long in, stored;
  } cases[] = {{500, 0}, {-20000, -10000}, {-2500, -2500}};
  for (const Case& c : cases) {
    EXPECT_EQ(media.SetVolume(c.in), S_OK);
    EXPECT_EQ(media.GetVolume(), c.stored);
    engine->SetMediaVolume(c.in);
    EXPECT_EQ(engine->GetMediaVolume(), c.stored);
    EXPECT_EQ(media.GetVolume(), c.stored);
  }
  // Playing applies the engine's media volume.
  media.SetVolume(0);
  media.Play();
  EXPECT_EQ(media.GetVolume(), -2500);
  media.Stop();
}

TEST_F(MediaTest, ANewVideoStopsTheOldOneAndTakesTheSlot) {
  std::string first = MakeVideo("a.avi"), second = MakeVideo("b.avi");
  Media a(engine.get()), b(engine.get());
  ASSERT_EQ(a.SetStreamSource(first.c_str()), 1);
  ASSERT_EQ(b.SetStreamSource(second.c_str()), 1);
  EXPECT_EQ(a.IsVideo(), 1);
  ASSERT_EQ(a.Play(), S_OK);
  EXPECT_EQ(engine->GetPlayVideo(), &a);
  ASSERT_EQ(b.Play(), S_OK);
  EXPECT_EQ(a.IsPlaying(), 0);
  EXPECT_EQ(engine->GetPlayVideo(), &b);
  ASSERT_TRUE(AwaitEvent(b));
  EXPECT_EQ(b.IsPlaying(), 0);
  EXPECT_EQ(engine->GetPlayVideo(), nullptr);
}

}  // namespace
