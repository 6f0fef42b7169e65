// The sound record reader ("ZQSB2003a") over arbitrary bytes, with a started engine's sound
// system underneath.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ZqLib.h"

namespace {
// An engine with only a window and a sound device, as its start-up would leave them.
class FuzzEngine : public CZqEngine {
 public:
  explicit FuzzEngine(HWND wnd) {
    m_hWnd = wnd;
    if (SUCCEEDED(DirectSoundCreate8(nullptr, &m_pDS, nullptr)))
      m_pDS->SetCooperativeLevel(wnd, DSSCL_PRIORITY);
  }
};

CZqEngine* StartedEngine() {
  static CZqEngine* engine = [] {
    setenv("ZQ_HEADLESS", "1", 0);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "FuzzSound";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "FuzzSound", "fuzz", WS_OVERLAPPEDWINDOW, 0, 0, 808, 627, nullptr, nullptr,
                               nullptr, nullptr);
    return new FuzzEngine(wnd);
  }();
  return engine;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 16)) return 0;
  CZqEngine* engine = StartedEngine();
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  SStreamBuf stream;
  stream.m_pFile = f;
  stream.m_nSize = (int32_t)size;
  CZqSound sound(engine);
  if (sound.Import(stream) == 0 && sound.GetSoundBuffer()) {
    sound.Play();
    sound.SetPos(0.5f);
    sound.Stop();
  }
  fclose(f);
  return 0;
}
