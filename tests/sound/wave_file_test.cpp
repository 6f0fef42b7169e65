// The RIFF WAVE reader and writer over sox-made files and hand-made variants of them.
#include <gtest/gtest.h>

#include <cstring>

#include "ZqLib.h"
#include "audio_support.h"
#include "runtime_support.h"
#include "sound_support.h"

namespace {

TEST(WaveFile, ReadsFormatAndDataOfSoxFiles) {
  ScratchDir dir;
  struct Case {
    int rate, bits, channels;
  } cases[] = {{8000, 8, 1}, {11025, 8, 2}, {22050, 16, 1}, {44100, 16, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.bits << " bits " << c.channels << " ch");
    std::string path = dir.file("tone.wav");
    ASSERT_TRUE(MakeToneWave(path, c.rate, c.bits, c.channels, 0.05));
    std::string data = WaveChunk(ReadBytes(path), "data");
    ASSERT_FALSE(data.empty());

    CRiffWaveFile wave;
    ASSERT_EQ(wave.Open(path.c_str(), nullptr, 1), S_OK);
    const WAVEFORMATEX* f = wave.GetFormat();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(WORD{f->wFormatTag}, WAVE_FORMAT_PCM);
    EXPECT_EQ(WORD{f->nChannels}, c.channels);
    EXPECT_EQ(DWORD{f->nSamplesPerSec}, (DWORD)c.rate);
    EXPECT_EQ(WORD{f->wBitsPerSample}, c.bits);
    EXPECT_EQ(WORD{f->cbSize}, 0);
    EXPECT_EQ(wave.GetSize(), data.size());

    // Two reads that split the data, then nothing more.
    std::string got(data.size(), '\0');
    DWORD n1 = 0, n2 = 0, n3 = 7;
    EXPECT_EQ(wave.Read(reinterpret_cast<BYTE*>(&got[0]), 100, &n1), S_OK);
    EXPECT_EQ(wave.Read(reinterpret_cast<BYTE*>(&got[n1]), (DWORD)data.size(), &n2), S_OK);
    EXPECT_EQ(n1 + n2, data.size());
    EXPECT_EQ(got, data);
    BYTE extra[4];
    EXPECT_EQ(wave.Read(extra, 4, &n3), S_OK);
    EXPECT_EQ(n3, 0u);
  }
}

TEST(WaveFile, SkipsOddChunksAndKeepsExtraFormatBytes) {
  ScratchDir dir;
  std::string samples = "\x01\x02\x03\x04\x05\x06";
  // Odd-sized chunks before and after "fmt " are padded to a word; a non-PCM format keeps its
  // extra bytes.
  std::string fmt = Le16(2) + Le16(1) + Le32(8000) + Le32(4000) + Le16(1) + Le16(4) + Le16(3) + "xyz";
  std::string body = Chunk("junk", "abc") + Chunk("fmt ", fmt) + Chunk("LIST", "q") + Chunk("data", samples);
  WriteBytes(dir.file("odd.wav"), Riff(body));

  CRiffWaveFile wave;
  ASSERT_EQ(wave.Open(dir.file("odd.wav").c_str(), nullptr, 1), S_OK);
  const WAVEFORMATEX* f = wave.GetFormat();
  EXPECT_EQ(WORD{f->wFormatTag}, 2);
  ASSERT_EQ(WORD{f->cbSize}, 3);
  EXPECT_EQ(std::memcmp(f + 1, "xyz", 3), 0);
  EXPECT_EQ(wave.GetSize(), samples.size());
  BYTE buf[16];
  DWORD n = 0;
  ASSERT_EQ(wave.Read(buf, sizeof buf, &n), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), n), samples);
}

TEST(WaveFile, OverLongDataChunkReadsWhatIsStored) {
  ScratchDir dir;
  std::string samples(10, '\x40');
  std::string file = Riff(Chunk("fmt ", PcmFormat(1, 8000, 8)) + "data" + Le32(1000) + samples);
  WriteBytes(dir.file("long.wav"), file);
  CRiffWaveFile wave;
  ASSERT_EQ(wave.Open(dir.file("long.wav").c_str(), nullptr, 1), S_OK);
  EXPECT_EQ(wave.GetSize(), 1000u);
  BYTE buf[1000];
  DWORD n = 0;
  EXPECT_EQ(wave.Read(buf, sizeof buf, &n), E_FAIL);
  EXPECT_EQ(n, samples.size());
}

TEST(WaveFile, RefusesBrokenFiles) {
  ScratchDir dir;
  std::string pcm = Chunk("fmt ", PcmFormat(1, 8000, 8));
  std::string data = Chunk("data", "ab");
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"not RIFF", "RIFX" + Riff(pcm + data).substr(4)},
      {"not WAVE", "RIFF" + Le32(4 + pcm.size() + data.size()) + "AVI " + pcm + data},
      {"short fmt", Riff(Chunk("fmt ", PcmFormat(1, 8000, 8).substr(0, 14)) + data)},
      {"no fmt", Riff(data)},
      {"no data", Riff(pcm)},
      {"extra bytes past fmt", Riff(Chunk("fmt ", PcmFormat(1, 8000, 8, 2) + Le16(40) + "xy") + data)},
      {"data outside RIFF", Riff(pcm) + data},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(dir.file("bad.wav"), c.bytes);
    CRiffWaveFile wave;
    EXPECT_EQ(wave.Open(dir.file("bad.wav").c_str(), nullptr, 1), E_FAIL);
  }
  CRiffWaveFile wave;
  EXPECT_EQ(wave.Open(dir.file("missing.wav").c_str(), nullptr, 1), E_FAIL);
  EXPECT_EQ(wave.Open(nullptr, nullptr, 1), E_INVALIDARG);
  DWORD n = 5;
  EXPECT_EQ(wave.Read(nullptr, 4, &n), E_INVALIDARG);
  EXPECT_EQ(wave.ResetFile(), CO_E_NOTINITIALIZED);
}

TEST(WaveFile, WritesHeaderChunksWithSampleCount) {
  ScratchDir dir;
  std::string fmt = PcmFormat(2, 22050, 16);
  WAVEFORMATEX wfx;
  std::memcpy(&wfx, fmt.data(), 16);
  wfx.cbSize = 0;
  {
    CRiffWaveFile wave;
    ASSERT_EQ(wave.Open(dir.file("out.wav").c_str(), &wfx, 0), S_OK);
    EXPECT_EQ(wave.Close(), S_OK);
  }
  std::string bytes = ReadBytes(dir.file("out.wav"));
  EXPECT_EQ(bytes, Riff(Chunk("fmt ", fmt) + Chunk("fact", Le32(0)) + Chunk("data", "")));
}

}  // namespace
