// The RIFF reader over arbitrary bytes: a WAVE file read through a memory file the way the sound
// loader reads one (descend, find "fmt " and "data", direct buffer access), then a buffer made
// from what was found. Seeds in fuzz/corpus/riff: sox tones (8-bit mono, 16-bit stereo) and a
// file with an odd chunk before the data.
#include <cstdint>
#include <cstring>
#include <string>

#include "zqplatform/audio.h"

namespace {

LPDIRECTSOUND8 Device() {
  static LPDIRECTSOUND8 ds = [] {
    LPDIRECTSOUND8 d = nullptr;
    DirectSoundCreate8(nullptr, &d, nullptr);
    return d;
  }();
  return ds;
}

void ReadAndPlay(HMMIO h) {
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF) != 0) return;
  MMCKINFO fmt{};
  fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK) != 0 || fmt.cksize < 16) return;
  WAVEFORMATEX wf{};
  if (mmioRead(h, reinterpret_cast<HPSTR>(&wf), 16) != 16) return;
  if (mmioAscend(h, &fmt, 0) != 0) return;
  if (mmioSeek(h, static_cast<LONG>(riff.dwDataOffset) + 4, SEEK_SET) < 0) return;
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(h, &data, &riff, MMIO_FINDCHUNK) != 0 || data.cksize == 0) return;
  DWORD bytes = data.cksize > (1u << 20) ? (1u << 20) : data.cksize;
  std::string samples;
  MMIOINFO info{};
  if (mmioGetInfo(h, &info, 0) != 0) return;
  while (samples.size() < bytes) {
    if (info.pchNext == info.pchEndRead) {
      if (mmioAdvance(h, &info, MMIO_READ) != 0 || info.pchNext == info.pchEndRead) break;
    }
    samples += *info.pchNext++;
  }
  mmioSetInfo(h, &info, 0);
  mmioAscend(h, &data, 0);
  mmioAscend(h, &riff, 0);

  LPDIRECTSOUND8 ds = Device();
  if (!ds) return;
  DSBUFFERDESC d{36, wf.nChannels == 1 ? DWORD{DSBCAPS_CTRL3D} : 0u, bytes, 0, &wf, {}};
  LPDIRECTSOUNDBUFFER b = nullptr;
  if (ds->CreateSoundBuffer(&d, &b, nullptr) != DS_OK) return;
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (b->Lock(0, bytes, &p1, &n1, &p2, &n2, 0) == DS_OK) {
    std::memcpy(p1, samples.data(), samples.size() < n1 ? samples.size() : n1);
    b->Unlock(p1, n1, p2, n2);
  }
  b->Play(0, 0, 0);
  DWORD status = 0;
  b->GetStatus(&status);
  b->SetCurrentPosition(bytes / 2);
  b->Stop();
  b->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  std::string copy(reinterpret_cast<const char*>(data), size);
  MMIOINFO info{};
  info.fccIOProc = FOURCC_MEM;
  info.pchBuffer = copy.data();
  info.cchBuffer = static_cast<LONG>(copy.size());
  HMMIO h = mmioOpenA(nullptr, &info, MMIO_READ);
  if (!h) return 0;
  ReadAndPlay(h);
  mmioClose(h, 0);
  return 0;
}
