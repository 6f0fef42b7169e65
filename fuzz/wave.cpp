// The WAVE reader of sounds over arbitrary bytes: format chunk, chunk walk and data reads.
// Seeds in fuzz/corpus/wave: "sox -n -r 8000 -b 8 -c 1 -e unsigned-integer mono8.wav synth 0.005
// sine 440" and "sox -n -r 8000 -b 16 -c 2 stereo16.wav synth 0.003 sine 440".
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "ZqLib.h"
#include "scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = zqfuzz::ScratchFile("fuzz_wave") + ".wav";
  if (size > (1 << 16)) return 0;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  CRiffWaveFile wave;
  if (wave.Open(path.c_str(), nullptr, 1) == S_OK) {
    const WAVEFORMATEX* wfx = wave.GetFormat();
    unsigned sum = wfx->cbSize;
    const BYTE* extra = reinterpret_cast<const BYTE*>(wfx + 1);
    for (WORD i = 0; i < wfx->cbSize; ++i) sum += extra[i];
    BYTE buf[4096];
    DWORD got = 0;
    // Bounded: a data chunk may claim far more than the file holds.
    for (int i = 0; i < 64 && wave.Read(buf, sizeof buf, &got) == S_OK && got; ++i) sum += buf[got - 1];
    wave.ResetFile();
    if (sum == 1) return 0;
  }
  return 0;
}
