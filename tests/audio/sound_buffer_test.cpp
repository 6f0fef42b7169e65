// Secondary buffers on the manual clock: play, stop, rewind at the end, looping, positions,
// duplicates, volume and the silence of an inactive application.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "zqplatform/audio.h"
#include "zqplatform/base.h"
#include "zqplatform/window.h"

namespace {

class Buffers : public ::testing::Test {
 protected:
  void SetUp() override {
    zqSetManualClock(TRUE, 1000);
    zqInjectActivation(TRUE);  // the application has the focus
    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(reinterpret_cast<HWND>(0x10), DSSCL_PRIORITY), DS_OK);
  }
  void TearDown() override {
    ds->Release();
    zqInjectActivation(TRUE);
    zqSetManualClock(FALSE, 0);
  }
  // One second of 22050 Hz 16-bit mono: 44100 bytes, 44.1 bytes per ms.
  LPDIRECTSOUNDBUFFER Make(DWORD flags = 0, WORD channels = 1, DWORD bytes = 44100) {
    WAVEFORMATEX wf{
        WAVE_FORMAT_PCM, channels, 22050, 22050u * 2 * channels, static_cast<WORD>(2 * channels), 16, 0};
    DSBUFFERDESC d{36, flags, bytes, 0, &wf, {}};
    LPDIRECTSOUNDBUFFER b = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    return b;
  }
  static DWORD Status(LPDIRECTSOUNDBUFFER b) {
    DWORD s = 0xFFFF;
    EXPECT_EQ(b->GetStatus(&s), DS_OK);
    return s;
  }
  static DWORD Pos(LPDIRECTSOUNDBUFFER b) {
    DWORD play = 0xFFFF, write = 0;
    EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
    return play;
  }
  LPDIRECTSOUND8 ds = nullptr;
};

TEST_F(Buffers, OneShotPlaysStopsKeepsPositionAndRewindsAtItsEnd) {
  LPDIRECTSOUNDBUFFER b = Make();
  EXPECT_EQ(Status(b), 0u);
  EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING});
  zqAdvanceClock(200);
  EXPECT_EQ(Pos(b), 8820u);
  // Play on a playing buffer does not restart it.
  EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(100);
  EXPECT_EQ(Pos(b), 13230u);
  // Stop keeps the position; Play goes on from there.
  EXPECT_EQ(b->Stop(), DS_OK);
  zqAdvanceClock(500);
  EXPECT_EQ(Status(b), 0u);
  EXPECT_EQ(Pos(b), 13230u);
  EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(600);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING});
  zqAdvanceClock(100);  // 1000 ms played in all: the end
  EXPECT_EQ(Status(b), 0u);
  EXPECT_EQ(Pos(b), 0u);
  // The next Play starts from the beginning.
  EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(10);
  EXPECT_EQ(Pos(b), 440u);  // 220 whole frames in 10 ms
  EXPECT_EQ(b->Release(), 0u);
}

TEST_F(Buffers, LoopingWrapsAndTheNewestFlagsWin) {
  LPDIRECTSOUNDBUFFER b = Make();
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  zqAdvanceClock(2500);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
  EXPECT_EQ(Pos(b), 22050u);
  // A one-shot Play on the looping buffer: it goes on from where it is and ends at the end.
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING});
  zqAdvanceClock(499);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING});
  zqAdvanceClock(1);
  EXPECT_EQ(Status(b), 0u);
  // ...and the other way round.
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(900);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  zqAdvanceClock(200);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
  EXPECT_EQ(Pos(b), 4410u);
  b->Release();
}

TEST_F(Buffers, SetCurrentPositionRoundsDownToTheBlock) {
  LPDIRECTSOUNDBUFFER stereo = Make(0, 2, 88200);  // blocks of 4 bytes
  EXPECT_EQ(stereo->SetCurrentPosition(1003), DS_OK);
  EXPECT_EQ(Pos(stereo), 1000u);
  EXPECT_EQ(stereo->SetCurrentPosition(88200), DSERR_INVALIDPARAM);
  EXPECT_EQ(Pos(stereo), 1000u);
  // While playing, the position jumps and playback goes on from it (Reset = position 0).
  ASSERT_EQ(stereo->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(100);
  EXPECT_EQ(Pos(stereo), 1000u + 8820u);
  EXPECT_EQ(stereo->SetCurrentPosition(0), DS_OK);
  EXPECT_EQ(Pos(stereo), 0u);
  zqAdvanceClock(100);
  EXPECT_EQ(Pos(stereo), 8820u);
  EXPECT_EQ(Status(stereo), DWORD{DSBSTATUS_PLAYING});
  stereo->Release();
}

TEST_F(Buffers, DuplicatesShareTheDataButNotTheState) {
  LPDIRECTSOUNDBUFFER b = Make(DSBCAPS_CTRL3D);
  void* p1 = nullptr;
  DWORD n1 = 0;
  ASSERT_EQ(b->Lock(0, 44100, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  ASSERT_EQ(n1, 44100u);
  std::memset(p1, 0x5A, n1);
  ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);
  ASSERT_EQ(b->SetVolume(-1200), DS_OK);

  LPDIRECTSOUNDBUFFER d = nullptr;
  ASSERT_EQ(ds->DuplicateSoundBuffer(b, &d), DS_OK);
  ASSERT_NE(d, b);
  LONG v = 0;
  EXPECT_EQ(d->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -1200);
  LPDIRECTSOUND3DBUFFER d3 = nullptr;
  EXPECT_EQ(d->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&d3)), DS_OK);
  if (d3) d3->Release();

  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(300);
  EXPECT_EQ(Status(d), 0u);
  EXPECT_EQ(Pos(d), 0u);
  ASSERT_EQ(d->Play(0, 0, 0), DS_OK);
  zqAdvanceClock(100);
  EXPECT_EQ(Pos(b), 17640u);
  EXPECT_EQ(Pos(d), 4410u);

  // The original goes; the duplicate keeps playing the same bytes.
  EXPECT_EQ(b->Release(), 0u);
  void* p2 = nullptr;
  DWORD n2 = 0;
  ASSERT_EQ(d->Lock(0, 0, &p2, &n2, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
  ASSERT_EQ(n2, 44100u);
  EXPECT_EQ(static_cast<unsigned char*>(p2)[44099], 0x5A);
  d->Unlock(p2, n2, nullptr, 0);
  EXPECT_EQ(Status(d), DWORD{DSBSTATUS_PLAYING});
  EXPECT_EQ(d->Release(), 0u);

  EXPECT_EQ(ds->DuplicateSoundBuffer(nullptr, &d), DSERR_INVALIDPARAM);
}

TEST_F(Buffers, LockWrapsAndIsChecked) {
  LPDIRECTSOUNDBUFFER b = Make(0, 1, 100);
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(b->Lock(80, 40, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 20u);
  EXPECT_EQ(n2, 20u);
  EXPECT_EQ(static_cast<char*>(p1) - static_cast<char*>(p2), 80);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
  EXPECT_EQ(b->Lock(0, 101, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(100, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(80, 40, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
  char outside[8];
  EXPECT_EQ(b->Unlock(outside, 8, nullptr, 0), DSERR_INVALIDPARAM);
  b->Release();
}

TEST_F(Buffers, VolumeOnEveryBufferInHundredthsOfADecibel) {
  // No DSBCAPS_CTRLVOLUME asked for: the volume is honoured all the same.
  LPDIRECTSOUNDBUFFER b = Make();
  const struct {
    LONG volume;
    float gain;
  } cases[] = {{0, 1.0f}, {-600, 0.501187f}, {-2000, 0.1f}, {-6000, 0.001f}, {-10000, 0.0f}};
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  const bool audible = zqSoundBufferGain(b) >= 0;
  for (const auto& c : cases) {
    EXPECT_EQ(b->SetVolume(c.volume), DS_OK);
    LONG v = 1;
    EXPECT_EQ(b->GetVolume(&v), DS_OK);
    EXPECT_EQ(v, c.volume);
    if (audible) EXPECT_NEAR(zqSoundBufferGain(b), c.gain, 1e-5) << c.volume;
  }
  EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
  LONG v = 1;
  EXPECT_EQ(b->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -10000);
  b->Release();
  if (!audible) GTEST_SKIP() << "no audio device: the mixer's gain cannot be observed";
}

TEST_F(Buffers, InactiveApplicationSilencesSoundsThatKeepPlaying) {
  LPDIRECTSOUNDBUFFER b = Make();
  ASSERT_EQ(b->SetVolume(-2000), DS_OK);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  if (zqSoundBufferGain(b) < 0) {
    b->Release();
    GTEST_SKIP() << "no audio device";
  }
  EXPECT_NEAR(zqSoundBufferGain(b), 0.1f, 1e-5);
  zqInjectActivation(FALSE);
  EXPECT_EQ(zqSoundBufferGain(b), 0.0f);
  zqAdvanceClock(100);
  EXPECT_EQ(Status(b), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
  // A sound started while inactive is silent too.
  LPDIRECTSOUNDBUFFER late = Make();
  ASSERT_EQ(late->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(zqSoundBufferGain(late), 0.0f);
  zqInjectActivation(TRUE);
  EXPECT_NEAR(zqSoundBufferGain(b), 0.1f, 1e-5);
  EXPECT_NEAR(zqSoundBufferGain(late), 1.0f, 1e-5);
  // Stopped buffers are not sounding at all.
  b->Stop();
  EXPECT_EQ(zqSoundBufferGain(b), -1.0f);
  late->Release();
  b->Release();
}

TEST_F(Buffers, ThreeDPositionDeferredUntilCommit) {
  LPDIRECTSOUNDBUFFER b = Make(DSBCAPS_CTRL3D);
  LPDIRECTSOUND3DBUFFER b3 = nullptr;
  ASSERT_EQ(b->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3)), DS_OK);
  DSBUFFERDESC pd{36, DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr, {}};
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&pd, &primary, nullptr), DS_OK);
  LPDIRECTSOUND3DLISTENER listener = nullptr;
  ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)), DS_OK);
  primary->Release();

  DS3DVECTOR p{};
  EXPECT_EQ(b3->SetPosition(3, 0, 1, DS3D_DEFERRED), DS_OK);
  EXPECT_EQ(b3->GetPosition(&p), DS_OK);
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(listener->CommitDeferredSettings(), DS_OK);
  EXPECT_EQ(b3->GetPosition(&p), DS_OK);
  EXPECT_EQ(p.x, 3.0f);
  EXPECT_EQ(p.z, 1.0f);
  listener->Release();
  EXPECT_EQ(b3->Release(), 1u);
  EXPECT_EQ(b->Release(), 0u);
}

}  // namespace
