// RIFF files through the multimedia I/O services: WAVE files made by sox read back into sound
// buffers, odd and over-long chunks, searches bounded by the parent, and a write round trip.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "audio_support.h"
#include "runtime_support.h"
#include "zqplatform/audio.h"

namespace {

struct Wave {
  MMRESULT err = MMSYSERR_ERROR;
  PCMWAVEFORMAT fmt{};
  MMCKINFO riff{}, data{};
  std::string bytes;  // what the data chunk really holds
};

// Opens `bytes` for reading as a memory file; they must outlive the handle.
HMMIO OpenMemory(std::string& bytes) {
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.pchBuffer = bytes.data();
  info.cchBuffer = static_cast<LONG>(bytes.size());
  return mmioOpenA(nullptr, &info, MMIO_READ);
}

// Reads a WAVE file the way a RIFF reader over buffered I/O does: descend, find, direct access.
Wave ReadWave(HMMIO h) {
  Wave w;
  w.riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if ((w.err = mmioDescend(h, &w.riff, nullptr, MMIO_FINDRIFF)) != 0) return w;
  MMCKINFO fmt{};
  fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if ((w.err = mmioDescend(h, &fmt, &w.riff, MMIO_FINDCHUNK)) != 0) return w;
  if (mmioRead(h, reinterpret_cast<HPSTR>(&w.fmt), 16) != 16) return w.err = MMIOERR_CANNOTREAD, w;
  if ((w.err = mmioAscend(h, &fmt, 0)) != 0) return w;
  if (mmioSeek(h, static_cast<LONG>(w.riff.dwDataOffset) + 4, SEEK_SET) < 0)
    return w.err = MMIOERR_CANNOTSEEK, w;
  w.data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if ((w.err = mmioDescend(h, &w.data, &w.riff, MMIO_FINDCHUNK)) != 0) return w;
  MMIOINFO info{};
  if ((w.err = mmioGetInfo(h, &info, 0)) != 0) return w;
  for (DWORD left = w.data.cksize; left > 0; --left) {
    if (info.pchNext == info.pchEndRead) {
      if ((w.err = mmioAdvance(h, &info, MMIO_READ)) != 0) return w;
      if (info.pchNext == info.pchEndRead) break;  // the file ends before the chunk does
    }
    w.bytes += *info.pchNext++;
  }
  w.err = mmioSetInfo(h, &info, 0);
  return w;
}

Wave ReadWaveFile(const std::string& path, LONG bufferSize = 0) {
  MMIOINFO info{};
  info.cchBuffer = bufferSize;
  HMMIO h = mmioOpenA(const_cast<LPSTR>(path.c_str()), &info, MMIO_ALLOCBUF | MMIO_READ);
  if (!h) return Wave{};
  Wave w = ReadWave(h);
  EXPECT_EQ(mmioClose(h, 0), 0u);
  return w;
}

uint32_t U32(const std::string& s, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, s.data() + at, 4);
  return v;
}

std::string Chunk(const char* id, const std::string& body) {
  std::string c(id, 4);
  uint32_t n = static_cast<uint32_t>(body.size());
  c.append(reinterpret_cast<const char*>(&n), 4);
  c += body;
  if (n & 1) c += '\0';
  return c;
}

// Where "data" starts in a sox file (sox writes fmt, maybe more chunks, then data).
size_t DataOffset(const std::string& file) { return file.find("data") + 8; }

class Mmio : public ::testing::Test {
 protected:
  ScratchDir dir;
};

TEST_F(Mmio, SoxWavesBecomeBuffersWithTheirBytes) {
  const struct { int bits, channels; } cases[] = {{8, 1}, {16, 1}, {8, 2}, {16, 2}};
  LPDIRECTSOUND8 ds = nullptr;
  ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
  for (const auto& c : cases) {
    const std::string what = std::to_string(c.bits) + "-bit, " + std::to_string(c.channels) + " channel(s)";
    const std::string path = dir.file("tone.wav");
    ASSERT_TRUE(MakeToneWave(path, 11025, c.bits, c.channels, 0.05)) << what;
    const std::string file = ReadBytes(path);
    Wave w = ReadWaveFile(path, 64);  // a small buffer: the read advances many times
    ASSERT_EQ(w.err, 0u) << what;
    EXPECT_EQ(WORD{w.fmt.wf.wFormatTag}, WAVE_FORMAT_PCM) << what;
    EXPECT_EQ(WORD{w.fmt.wf.nChannels}, c.channels) << what;
    EXPECT_EQ(WORD{w.fmt.wBitsPerSample}, c.bits) << what;
    EXPECT_EQ(DWORD{w.fmt.wf.nSamplesPerSec}, 11025u) << what;
    EXPECT_EQ(w.data.dwDataOffset, DataOffset(file)) << what;
    ASSERT_EQ(w.bytes.size(), 551u * c.channels * c.bits / 8) << what;
    EXPECT_EQ(w.bytes, file.substr(DataOffset(file), w.bytes.size())) << what;

    WAVEFORMATEX wf{};
    std::memcpy(&wf, &w.fmt, sizeof w.fmt);
    DSBUFFERDESC d{
        36, c.channels == 1 ? DWORD{DSBCAPS_CTRL3D} : 0u, w.data.cksize, 0, &wf, DS3DALG_HRTF_FULL};
    LPDIRECTSOUNDBUFFER b = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), DS_OK) << what;
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(b->Lock(0, w.data.cksize, &p, &n, nullptr, nullptr, 0), DS_OK);
    std::memcpy(p, w.bytes.data(), n);
    b->Unlock(p, n, nullptr, 0);
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    b->Release();
  }
  ds->Release();
}

TEST_F(Mmio, OddChunksArePaddedToAWord) {
  const std::string path = dir.file("tone.wav");
  ASSERT_TRUE(MakeToneWave(path, 8000, 8, 1, 0.01));
  const std::string sox = ReadBytes(path);
  const size_t dataAt = sox.find("data");
  const std::string samples = sox.substr(dataAt + 8, 80);
  // fmt, a 3-byte chunk, a LIST holding a 5-byte chunk, then an odd data chunk of 79 bytes.
  std::string body = "WAVE" + sox.substr(12, dataAt - 12) + Chunk("junk", "abc") +
                     Chunk("LIST", "INFO" + Chunk("ICMT", "hello")) + Chunk("data", samples.substr(0, 79));
  WriteBytes(path, Chunk("RIFF", body));

  Wave w = ReadWaveFile(path);
  ASSERT_EQ(w.err, 0u);
  EXPECT_EQ(w.data.cksize, 79u);
  EXPECT_EQ(w.bytes, samples.substr(0, 79));
  EXPECT_EQ(w.riff.cksize, body.size());
}

TEST_F(Mmio, OverLongDataChunkYieldsTheStoredBytes) {
  const std::string path = dir.file("tone.wav");
  ASSERT_TRUE(MakeToneWave(path, 8000, 16, 1, 0.01));
  std::string file = ReadBytes(path);
  const size_t sizeAt = file.find("data") + 4;
  const uint32_t stored = U32(file, sizeAt);
  const uint32_t claimed = stored + 1000;
  std::memcpy(&file[sizeAt], &claimed, 4);
  WriteBytes(path, file);

  MMIOINFO info{};
  HMMIO h = mmioOpenA(const_cast<LPSTR>(path.c_str()), &info, MMIO_ALLOCBUF | MMIO_READ);
  ASSERT_NE(h, nullptr);
  Wave w = ReadWave(h);
  ASSERT_EQ(w.err, 0u);
  EXPECT_EQ(w.data.cksize, claimed);
  EXPECT_EQ(w.bytes.size(), stored);
  // Ascending out of it stops at the end of the file.
  EXPECT_EQ(mmioAscend(h, &w.data, 0), 0u);
  EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), static_cast<LONG>(file.size()));
  char c;
  EXPECT_EQ(mmioRead(h, &c, 1), 0);
  mmioClose(h, 0);
}

TEST_F(Mmio, SearchesStayInsideTheParent) {
  const std::string fmt = Chunk("fmt ", std::string(16, '\1'));
  // The RIFF chunk holds only "fmt "; a "data" chunk follows it outside.
  const std::string file = Chunk("RIFF", "WAVE" + fmt) + Chunk("data", "abcd");
  std::string mem = file;
  HMMIO h = OpenMemory(mem);
  ASSERT_NE(h, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), 0u);
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  EXPECT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), UINT{MMIOERR_CHUNKNOTFOUND});
  // Without a parent the search goes on to the end of the file.
  ASSERT_EQ(mmioSeek(h, 12, SEEK_SET), 12);
  EXPECT_EQ(mmioDescend(h, &data, nullptr, MMIO_FINDCHUNK), 0u);
  EXPECT_EQ(data.dwDataOffset, file.size() - 4);
  // A form of another type is not found.
  ASSERT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
  MMCKINFO avi{};
  avi.fccType = mmioFOURCC('A', 'V', 'I', ' ');
  EXPECT_EQ(mmioDescend(h, &avi, nullptr, MMIO_FINDRIFF), UINT{MMIOERR_CHUNKNOTFOUND});
  mmioClose(h, 0);
}

TEST_F(Mmio, TruncatedAndMissingFilesFail) {
  MMIOINFO info{};
  std::string missing = dir.file("none.wav");
  EXPECT_EQ(mmioOpenA(missing.data(), &info, MMIO_ALLOCBUF | MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, UINT{MMIOERR_FILENOTFOUND});
  for (const std::string& bytes : {std::string("RIFF\x10\0\0\0WA", 10), std::string("RIF"), std::string()}) {
    std::string mem = bytes;
    HMMIO h = OpenMemory(mem);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(ReadWave(h).err, 0u) << bytes.size();
    mmioClose(h, 0);
  }
}

TEST_F(Mmio, WriteRoundTripFixesSizesAndPads) {
  const std::string path = dir.file("out.wav");
  MMIOINFO open{};
  open.cchBuffer = 256;
  HMMIO h = mmioOpenA(const_cast<LPSTR>(path.c_str()), &open, MMIO_ALLOCBUF | MMIO_READWRITE | MMIO_CREATE);
  ASSERT_NE(h, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), 0u);
  MMCKINFO fmt{};
  fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
  fmt.cksize = 16;
  ASSERT_EQ(mmioCreateChunk(h, &fmt, 0), 0u);
  PCMWAVEFORMAT pcm{{WAVE_FORMAT_PCM, 1, 8000, 8000, 1}, 8};
  ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char*>(&pcm), 16), 16);
  ASSERT_EQ(mmioAscend(h, &fmt, 0), 0u);
  MMCKINFO fact{};
  fact.ckid = mmioFOURCC('f', 'a', 'c', 't');
  ASSERT_EQ(mmioCreateChunk(h, &fact, 0), 0u);
  DWORD minusOne = 0xFFFFFFFF;
  ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char*>(&minusOne), 4), 4);
  ASSERT_EQ(mmioAscend(h, &fact, 0), 0u);
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  ASSERT_EQ(mmioCreateChunk(h, &data, 0), 0u);

  // 1001 bytes through direct buffer access, advancing the 256-byte buffer as it fills.
  std::string samples;
  for (int i = 0; i < 1001; ++i) samples += static_cast<char>(i * 7);
  MMIOINFO info{};
  ASSERT_EQ(mmioGetInfo(h, &info, 0), 0u);
  for (char c : samples) {
    if (info.pchNext == info.pchEndWrite) {
      info.dwFlags |= MMIO_DIRTY;
      ASSERT_EQ(mmioAdvance(h, &info, MMIO_WRITE), 0u);
    }
    *info.pchNext++ = c;
  }
  info.dwFlags |= MMIO_DIRTY;
  ASSERT_EQ(mmioSetInfo(h, &info, 0), 0u);
  ASSERT_EQ(mmioAscend(h, &data, 0), 0u);
  ASSERT_EQ(mmioAscend(h, &riff, 0), 0u);
  // Back to the start to fill in the sample count.
  ASSERT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
  MMCKINFO again{};
  ASSERT_EQ(mmioDescend(h, &again, nullptr, 0), 0u);
  fact = {};
  fact.ckid = mmioFOURCC('f', 'a', 'c', 't');
  ASSERT_EQ(mmioDescend(h, &fact, &again, MMIO_FINDCHUNK), 0u);
  DWORD count = 1001;
  ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char*>(&count), 4), 4);
  ASSERT_EQ(mmioAscend(h, &fact, 0), 0u);
  ASSERT_EQ(mmioClose(h, 0), 0u);

  const std::string file = ReadBytes(path);
  const std::string want =
      Chunk("RIFF", "WAVE" + Chunk("fmt ", std::string(reinterpret_cast<char*>(&pcm), 16)) +
                        Chunk("fact", std::string("\xE9\x03\0\0", 4)) + Chunk("data", samples));
  EXPECT_EQ(file.size(), want.size());
  EXPECT_EQ(file, want);
  EXPECT_EQ(data.cksize, 1001u);

  Wave w = ReadWaveFile(path);
  ASSERT_EQ(w.err, 0u);
  EXPECT_EQ(w.bytes, samples);
}

TEST_F(Mmio, MemoryFileGrowsWhenAllowed) {
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.adwInfo[0] = 16;  // growth step
  HMMIO h = mmioOpenA(nullptr, &info, MMIO_READWRITE | MMIO_CREATE);
  ASSERT_NE(h, nullptr);
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('T', 'E', 'S', 'T');
  ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), 0u);
  ASSERT_EQ(mmioWrite(h, "hello, world", 12), 12);
  ASSERT_EQ(mmioAscend(h, &riff, 0), 0u);
  EXPECT_EQ(riff.cksize, 16u);
  ASSERT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
  MMCKINFO back{};
  back.fccType = riff.fccType;
  ASSERT_EQ(mmioDescend(h, &back, nullptr, MMIO_FINDRIFF), 0u);
  char text[12];
  ASSERT_EQ(mmioRead(h, text, 12), 12);
  EXPECT_EQ(std::string(text, 12), "hello, world");
  mmioClose(h, 0);

  // A caller's fixed memory does not grow: writing past it fails.
  char fixed[10] = {};
  MMIOINFO f{};
  f.fccIOProc = FOURCC_MEM;
  f.pchBuffer = fixed;
  f.cchBuffer = sizeof fixed;
  f.adwInfo[0] = 16;
  h = mmioOpenA(nullptr, &f, MMIO_READWRITE);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mmioWrite(h, "0123456789abc", 13), 10);
  EXPECT_EQ(mmioWrite(h, "x", 1), -1);
  mmioClose(h, 0);
  EXPECT_EQ(std::string(fixed, 10), "0123456789");
  EXPECT_EQ(mmioStringToFOURCCA("ab", 0), mmioFOURCC('a', 'b', ' ', ' '));
}

}  // namespace
