// The sound device as the engine sets it up: cooperative level, primary format, the listener;
// and which secondary buffers the device accepts.
#include <gtest/gtest.h>

#include "zqplatform/audio.h"

namespace {

const HWND kWindow = reinterpret_cast<HWND>(0x10);

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX wf{};
  wf.wFormatTag = WAVE_FORMAT_PCM;
  wf.nChannels = channels;
  wf.nSamplesPerSec = rate;
  wf.wBitsPerSample = bits;
  wf.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  wf.nAvgBytesPerSec = rate * wf.nBlockAlign;
  return wf;
}

DSBUFFERDESC Desc(DWORD flags, DWORD bytes, WAVEFORMATEX* wf) {
  DSBUFFERDESC d{};
  d.dwSize = 36;
  d.dwFlags = flags;
  d.dwBufferBytes = bytes;
  d.lpwfxFormat = wf;
  return d;
}

class Device : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK); }
  void TearDown() override {
    if (ds) EXPECT_EQ(ds->Release(), 0u);
  }
  LPDIRECTSOUND8 ds = nullptr;
};

TEST_F(Device, EngineSetUpPrimaryFormatAndListener) {
  EXPECT_EQ(ds->SetCooperativeLevel(kWindow, DSSCL_PRIORITY), DS_OK);

  DSBUFFERDESC pd = Desc(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&pd, &primary, nullptr), DS_OK);
  WAVEFORMATEX want = Pcm(2, 22050, 16);
  EXPECT_EQ(primary->SetFormat(&want), DS_OK);
  WAVEFORMATEX got{};
  DWORD written = 0;
  EXPECT_EQ(primary->GetFormat(&got, sizeof got, &written), DS_OK);
  EXPECT_EQ(written, sizeof(WAVEFORMATEX));
  EXPECT_EQ(DWORD{got.nSamplesPerSec}, 22050u);
  EXPECT_EQ(WORD{got.nChannels}, 2);
  EXPECT_EQ(WORD{got.wBitsPerSample}, 16);
  EXPECT_EQ(DWORD{got.nAvgBytesPerSec}, 88200u);
  EXPECT_EQ(WORD{got.nBlockAlign}, 4);
  // A primary buffer without 3D control has no listener.
  void* none = &got;
  EXPECT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(primary->Release(), 0u);

  DSBUFFERDESC pd3 = Desc(DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, nullptr);
  LPDIRECTSOUNDBUFFER primary3d = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&pd3, &primary3d, nullptr), DS_OK);
  LPDIRECTSOUND3DLISTENER listener = nullptr;
  ASSERT_EQ(primary3d->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)),
            DS_OK);
  EXPECT_EQ(primary3d->Release(), 1u);  // the listener keeps the primary buffer

  DS3DVECTOR p{};
  EXPECT_EQ(listener->SetPosition(1, 2, 3, DS3D_IMMEDIATE), DS_OK);
  EXPECT_EQ(listener->GetPosition(&p), DS_OK);
  EXPECT_EQ(p.x, 1.0f);
  EXPECT_EQ(p.z, 3.0f);
  EXPECT_EQ(listener->SetPosition(4, 5, 6, DS3D_DEFERRED), DS_OK);
  EXPECT_EQ(listener->GetPosition(&p), DS_OK);
  EXPECT_EQ(p.x, 1.0f) << "deferred settings wait for the commit";
  EXPECT_EQ(listener->CommitDeferredSettings(), DS_OK);
  EXPECT_EQ(listener->GetPosition(&p), DS_OK);
  EXPECT_EQ(p.x, 4.0f);
  EXPECT_EQ(listener->Release(), 0u);
}

TEST_F(Device, PrimaryFormatNeedsPriorityLevel) {
  EXPECT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
  ASSERT_EQ(ds->SetCooperativeLevel(kWindow, DSSCL_NORMAL), DS_OK);
  DSBUFFERDESC pd = Desc(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&pd, &primary, nullptr), DS_OK);
  WAVEFORMATEX want = Pcm(2, 22050, 16);
  EXPECT_EQ(primary->SetFormat(&want), DSERR_PRIOLEVELNEEDED);
  primary->Release();
}

TEST_F(Device, CreationArguments) {
  EXPECT_EQ(DirectSoundCreate8(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
  LPDIRECTSOUND8 other = reinterpret_cast<LPDIRECTSOUND8>(0x1);
  const GUID someDevice = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(DirectSoundCreate8(&someDevice, &other, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(other, nullptr);
  // The null GUID is the default device.
  ASSERT_EQ(DirectSoundCreate8(&DS3DALG_DEFAULT, &other, nullptr), DS_OK);
  other->Release();
}

struct FormatCase {
  const char* what;
  WORD tag, channels, bits, align;
  DWORD rate, flags, bytes;
  HRESULT expected;
};

TEST_F(Device, SecondaryBufferFormats) {
  const FormatCase cases[] = {
      {"8-bit mono", 1, 1, 8, 1, 11025, 0, 100, DS_OK},
      {"16-bit stereo", 1, 2, 16, 4, 44100, 0, 400, DS_OK},
      {"16-bit mono with 3D", 1, 1, 16, 2, 22050, DSBCAPS_CTRL3D, 200, DS_OK},
      {"8-bit stereo", 1, 2, 8, 2, 8000, 0, 16, DS_OK},
      {"stereo with 3D", 1, 2, 16, 4, 22050, DSBCAPS_CTRL3D, 400, DSERR_INVALIDPARAM},
      {"24-bit", 1, 1, 24, 3, 22050, 0, 300, DSERR_BADFORMAT},
      {"ADPCM tag", 2, 1, 4, 256, 22050, 0, 512, DSERR_BADFORMAT},
      {"three channels", 1, 3, 16, 6, 22050, 0, 600, DSERR_BADFORMAT},
      {"block align wrong", 1, 2, 16, 2, 22050, 0, 400, DSERR_BADFORMAT},
      {"rate too low", 1, 1, 16, 2, 50, 0, 400, DSERR_BADFORMAT},
      {"too small", 1, 1, 8, 1, 22050, 0, 3, DSERR_INVALIDPARAM},
  };
  for (const FormatCase& c : cases) {
    WAVEFORMATEX wf{c.tag, c.channels, c.rate, c.rate * c.align, c.align, c.bits, 0};
    DSBUFFERDESC d = Desc(c.flags, c.bytes, &wf);
    LPDIRECTSOUNDBUFFER b = reinterpret_cast<LPDIRECTSOUNDBUFFER>(0x1);
    EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), c.expected) << c.what;
    if (c.expected == DS_OK) {
      ASSERT_NE(b, nullptr) << c.what;
      LPDIRECTSOUND3DBUFFER b3 = nullptr;
      HRESULT q = b->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3));
      EXPECT_EQ(q, (c.flags & DSBCAPS_CTRL3D) ? DS_OK : E_NOINTERFACE) << c.what;
      if (b3) EXPECT_EQ(b3->Release(), 1u);
      EXPECT_EQ(b->Release(), 0u);
    } else {
      EXPECT_EQ(b, nullptr) << c.what;
    }
  }
  // The sizes of the description a 32-bit caller passes (36, or 20 without the algorithm).
  WAVEFORMATEX wf = Pcm(1, 22050, 16);
  DSBUFFERDESC d = Desc(0, 100, &wf);
  LPDIRECTSOUNDBUFFER b = nullptr;
  d.dwSize = 20;
  EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
  if (b) b->Release();
  d.dwSize = 12;
  EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM);
  EXPECT_EQ(ds->CreateSoundBuffer(nullptr, &b, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(Device, BuffersOutliveTheDevice) {
  WAVEFORMATEX wf = Pcm(1, 22050, 16);
  DSBUFFERDESC d = Desc(0, 1000, &wf);
  LPDIRECTSOUNDBUFFER b = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
  EXPECT_EQ(ds->Release(), 0u);
  ds = nullptr;
  // Looping: a 23 ms one-shot may already have ended by the status call on a busy machine.
  EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  DWORD status = 0;
  EXPECT_EQ(b->GetStatus(&status), DS_OK);
  EXPECT_EQ(status & DSBSTATUS_PLAYING, DWORD{DSBSTATUS_PLAYING});
  EXPECT_EQ(b->Release(), 0u);
}

}  // namespace
