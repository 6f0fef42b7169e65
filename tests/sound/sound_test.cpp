// Sounds: loading from WAVE files and sound records, playback state, and the engine's registry.
#include <cstring>
#include <string>

#include "audio_support.h"
#include "sound_engine_fixture.h"
#include "sound_support.h"

using namespace std::string_literals;

namespace {

// The bytes a sound's buffer holds.
std::string BufferBytes(CZqSound& sound) {
  LPDIRECTSOUNDBUFFER b = sound.GetSoundBuffer();
  if (!b) return "";
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(b->Lock(0, sound.GetSize(), &p1, &n1, &p2, &n2, 0))) return "";
  std::string bytes(static_cast<char*>(p1), n1);
  b->Unlock(p1, n1, p2, n2);
  return bytes;
}

WAVEFORMATEX BufferFormat(CZqSound& sound) {
  WAVEFORMATEX f{};
  sound.GetSoundBuffer()->GetFormat(&f, sizeof f, nullptr);
  return f;
}

DWORD PlayPosition(CZqSound& sound) {
  DWORD play = 0, write = 0;
  sound.GetSoundBuffer()->GetCurrentPosition(&play, &write);
  return play;
}

using SoundTest = SoundEngineTest;

TEST_F(SoundTest, LoadsWaveFilesWith3DOnlyForMono) {
  struct Case {
    int bits, channels;
    bool is3D;
  } cases[] = {{8, 1, true}, {16, 1, true}, {8, 2, false}, {16, 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits " << c.channels << " ch");
    std::string path = dir.file("tone" + std::to_string(c.bits) + std::to_string(c.channels) + ".wav");
    ASSERT_TRUE(MakeToneWave(path, 22050, c.bits, c.channels, 0.1));
    CZqSound sound(engine.get());
    ASSERT_EQ(sound.SetStreamSource(path.c_str()), 1);
    EXPECT_STREQ(sound.GetKey(), path.c_str());
    std::string data = WaveChunk(ReadBytes(path), "data");
    EXPECT_EQ(sound.GetSize(), data.size());
    EXPECT_EQ(BufferBytes(sound), data);
    EXPECT_EQ(BufferFormat(sound).nChannels, c.channels);
    EXPECT_EQ(sound.GetSoundBuffer3D() != nullptr, c.is3D);
    sound.Set3D(1.0f, 2.0f, 3.0f);  // nothing without a 3D buffer
  }
}

TEST_F(SoundTest, OverLongDataChunkEndsInSilence) {
  struct Case {
    int bits;
    char silence;
  } cases[] = {{8, '\x80'}, {16, '\0'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    std::string samples(40, '\x11');
    std::string file = Riff(Chunk("fmt ", PcmFormat(1, 8000, c.bits)) + "data" + Le32(100) + samples);
    WriteBytes(dir.file("long.wav"), file);
    CZqSound sound(engine.get());
    ASSERT_EQ(sound.SetStreamSource(dir.file("long.wav").c_str()), 1);
    EXPECT_EQ(sound.GetSize(), 100u);
    EXPECT_EQ(BufferBytes(sound), samples + std::string(60, c.silence));
  }
}

TEST_F(SoundTest, UnloadableNamesFail) {
  WriteBytes(dir.file("junk.wav"), "not a sound at all");
  WriteBytes(dir.file("empty.wav"), Riff(Chunk("fmt ", PcmFormat(1, 8000, 8)) + Chunk("data", "")));
  for (const char* name : {"missing.wav", "junk.wav", "empty.wav", ""}) {
    SCOPED_TRACE(name);
    CZqSound sound(engine.get());
    EXPECT_EQ(sound.SetStreamSource(name[0] ? dir.file(name).c_str() : name), 0);
    EXPECT_EQ(sound.GetSoundBuffer(), nullptr);
    EXPECT_EQ(sound.Play(), 0);
    EXPECT_EQ(sound.IsPlaying(), 0);
  }
}

TEST_F(SoundTest, PlayStopResetAndLooping) {
  ASSERT_TRUE(MakeToneWave(dir.file("t.wav"), 22050, 16, 1, 0.5));
  CZqSound sound(engine.get());
  ASSERT_EQ(sound.SetStreamSource(dir.file("t.wav").c_str()), 1);
  EXPECT_EQ(sound.IsFree(), 1);

  EXPECT_EQ(sound.Play(), DS_OK);
  EXPECT_EQ(sound.IsPlaying(), 1);
  EXPECT_EQ(sound.IsFree(), 0);
  zqAdvanceClock(200);
  DWORD at = PlayPosition(sound);
  EXPECT_GT(at, 0u);
  sound.Play();  // does not restart
  EXPECT_GE(PlayPosition(sound), at);
  EXPECT_EQ(sound.Stop(), DS_OK);
  EXPECT_EQ(sound.IsPlaying(), 0);
  EXPECT_EQ(PlayPosition(sound), at);  // Stop keeps the place
  EXPECT_EQ(sound.Reset(), DS_OK);
  EXPECT_EQ(PlayPosition(sound), 0u);

  sound.Play();
  zqAdvanceClock(600);  // a one-shot ends and rewinds
  EXPECT_EQ(sound.IsPlaying(), 0);
  EXPECT_EQ(PlayPosition(sound), 0u);

  sound.PlayLoop();
  zqAdvanceClock(1300);
  EXPECT_EQ(sound.IsPlaying(), 1);
  sound.Stop();

  sound.SetPos(0.5f);
  EXPECT_EQ(PlayPosition(sound), sound.GetSize() / 2 / 2 * 2);
  sound.SetPos(-1.0f);
  EXPECT_EQ(PlayPosition(sound), 0u);

  sound.SetReserve();
  EXPECT_EQ(sound.IsFree(), 0);  // reserved, although silent
  sound.Cleanup();
  EXPECT_EQ(sound.GetSoundBuffer(), nullptr);
  EXPECT_STREQ(sound.GetKey(), "");
  EXPECT_EQ(sound.IsFree(), 1);
}

TEST_F(SoundTest, RecordRoundTripAndLayout) {
  ASSERT_TRUE(MakeToneWave(dir.file("m.wav"), 22050, 16, 1, 0.05));
  CZqSound source(engine.get());
  ASSERT_EQ(source.SetStreamSource(dir.file("m.wav").c_str()), 1);
  std::string data = BufferBytes(source);
  ASSERT_EQ(source.Export(dir.file("m.zqsb").c_str()), 2 + data.size());

  std::string rec = ReadBytes(dir.file("m.zqsb"));
  ASSERT_EQ(rec.size(), 52 + data.size());
  EXPECT_EQ(rec.substr(0, 16), std::string("ZQSB2003a\0\0\0\0\0\0\0", 16));
  // Description: size 36, 3D control, bytes, reserved, format slot 0, then the HRTF algorithm.
  EXPECT_EQ(rec.substr(16, 20),
            Le32(36) + Le32(DSBCAPS_CTRL3D) + Le32((uint32_t)data.size()) + Le32(0) + Le32(0));
  EXPECT_EQ(rec.substr(36, 16),
            Le32(0xC2413340) + Le16(0x1C1B) + Le16(0x11D2) + "\x94\xF5\x00\xC0\x4F\xC2\x8A\xCA"s);
  EXPECT_EQ(rec.substr(52), data);

  CZqSound copy(engine.get());
  ASSERT_EQ(copy.SetStreamSource(dir.file("m.zqsb").c_str()), 1);
  EXPECT_EQ(BufferBytes(copy), data);
  EXPECT_NE(copy.GetSoundBuffer3D(), nullptr);
  WAVEFORMATEX f = BufferFormat(copy);
  EXPECT_EQ(WORD{f.nChannels}, 1);
  EXPECT_EQ(DWORD{f.nSamplesPerSec}, 22050u);
  EXPECT_EQ(WORD{f.wBitsPerSample}, 16);

  // A record inside a larger file, at the stream's base offset.
  WriteBytes(dir.file("pack.bin"), "0123456789" + rec);
  SStreamBuf s = CZqFunc::ZQFBUF_Create(dir.file("pack.bin").c_str(), "rb");
  s.m_nOffset = 10;
  CZqSound inner(engine.get());
  EXPECT_EQ(inner.Import(s), 0);
  CZqFunc::ZQFBUF_Close(s);
  EXPECT_EQ(BufferBytes(inner), data);

  // Stereo records come back stereo.
  ASSERT_TRUE(MakeToneWave(dir.file("s.wav"), 22050, 16, 2, 0.05));
  CZqSound stereo(engine.get());
  ASSERT_EQ(stereo.SetStreamSource(dir.file("s.wav").c_str()), 1);
  ASSERT_GT(stereo.Export(dir.file("s.zqsb").c_str()), 2u);
  CZqSound stereoCopy(engine.get());
  ASSERT_EQ(stereoCopy.SetStreamSource(dir.file("s.zqsb").c_str()), 1);
  EXPECT_EQ(WORD{BufferFormat(stereoCopy).nChannels}, 2);
  EXPECT_EQ(stereoCopy.GetSoundBuffer3D(), nullptr);

  CZqSound empty(engine.get());
  EXPECT_EQ(empty.Export(dir.file("none.zqsb").c_str()), 0u);
}

TEST_F(SoundTest, BadRecordsFail) {
  std::string desc = Le32(36) + Le32(0) + Le32(4) + Le32(0) + Le32(0) + std::string(16, '\0');
  std::string head = std::string("ZQSB2003a\0\0\0\0\0\0\0", 16);
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"claims more data than stored",
       head + Le32(36) + Le32(0) + Le32(400000) + std::string(28, '\0') + "abcd"},
      {"refused description", head + Le32(99) + desc.substr(4) + "abcd"},
      {"cut header", head + desc.substr(0, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(dir.file("bad.zqsb"), c.bytes);
    CZqSound sound(engine.get());
    // Falls back to reading the file as WAVE, which fails too.
    EXPECT_EQ(sound.Import(dir.file("bad.zqsb").c_str()), E_FAIL);
    EXPECT_EQ(sound.GetSoundBuffer(), nullptr);
  }
}

TEST_F(SoundTest, RegistrySharesOneBufferAndFollowsTheVolume) {
  ASSERT_TRUE(MakeToneWave(dir.file("a.wav"), 22050, 16, 1, 0.1));
  ASSERT_TRUE(MakeToneWave(dir.file("b.wav"), 11025, 8, 2, 0.1));
  std::string a = dir.file("a.wav"), b = dir.file("b.wav");
  EXPECT_EQ(engine->FindSound(nullptr), nullptr);
  EXPECT_EQ(engine->FindSound(""), nullptr);
  EXPECT_EQ(engine->FindSound(dir.file("missing.wav").c_str()), nullptr);

  engine->SetSoundVolume(-1200);
  CZqSound* first = engine->FindSound(a.c_str());
  CZqSound* second = engine->FindSound(a.c_str());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_NE(first->GetSoundBuffer(), second->GetSoundBuffer());
  EXPECT_STREQ(second->GetKey(), a.c_str());
  EXPECT_EQ(second->GetSize(), first->GetSize());
  EXPECT_EQ(BufferBytes(*second), BufferBytes(*first));
  EXPECT_NE(second->GetSoundBuffer3D(), nullptr);
  for (CZqSound* s : {first, second}) {
    LONG v = 0;
    s->GetSoundBuffer()->GetVolume(&v);
    EXPECT_EQ(v, -1200);  // the first one too, so a mute set before loading holds
  }
  // Each instance plays on its own.
  first->Play();
  EXPECT_EQ(second->IsPlaying(), 0);

  CZqSound* other = engine->FindSound(b.c_str());
  ASSERT_NE(other, nullptr);
  engine->SetSoundVolume(-10000);
  for (CZqSound* s : {first, second, other}) {
    LONG v = 0;
    s->GetSoundBuffer()->GetVolume(&v);
    EXPECT_EQ(v, -10000);
  }
  EXPECT_EQ(engine->GetSoundVolume(), -10000);

  // The first one deleted, a duplicate still shares the data.
  delete first;
  CZqSound* third = engine->FindSound(a.c_str());
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(BufferBytes(*third), BufferBytes(*second));
  // A sound cleaned up by its user has nothing to share: the next request loads afresh.
  second->Cleanup();
  third->Cleanup();
  CZqSound* fourth = engine->FindSound(a.c_str());
  ASSERT_NE(fourth, nullptr);
  EXPECT_NE(fourth->GetSoundBuffer(), nullptr);

  // The cache deletes what is left, emptied sounds among them, and ends.
  engine->CleanupSoundCache();
  CZqSound* again = engine->FindSound(b.c_str());
  ASSERT_NE(again, nullptr);
  delete again;
}

TEST(SoundWithoutDevice, EngineWithoutSoundSystemFindsNothing) {
  CZqEngine engine;
  EXPECT_EQ(engine.FindSound("x.wav"), nullptr);
  CZqSound sound(&engine);
  EXPECT_EQ(sound.SetStreamSource("x.wav"), 0);
}

}  // namespace
