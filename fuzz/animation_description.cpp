// Animation descriptions over arbitrary field text, then play and update with elapsed times
// taken from the same bytes. The group name is fixed to a numbered pattern, whose frames are
// only named, never opened, so no device is needed.
#include <cstdint>
#include <string>

#include "ZqLib.h"

namespace {

class FuzzEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

void Check(const CZqAnimation& a) {
  if (a.GetFrameCount() < 1 || a.GetLastFrame() < a.GetFirstFrame()) __builtin_trap();
  if (a.GetCurrentFrameEx() < a.GetFirstFrame() || a.GetCurrentFrameEx() > a.GetLastFrame()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  static FuzzEngine* engine = new FuzzEngine;
  // The text up to the first zero byte is the fields; the bytes after it drive the play.
  size_t n = 0;
  while (n < size && data[n]) ++n;
  const std::string text = "f%d.tga#0;9," + std::string((const char*)data, n);
  CZqAnimation a(engine);
  if (a.Create(text.c_str()) != 1) __builtin_trap();
  size_t i = n + 1;
  auto byte = [&]() -> uint32_t { return i < size ? data[i++] : 0; };
  auto word = [&]() { return byte() | byte() << 8 | byte() << 16 | byte() << 24; };
  while (i < size) {
    switch (byte() % 6) {
      case 0:
        a.Play((long)(byte() % 6), (int)(byte() & 1), (float)(int8_t)byte() / 4, (float)(int16_t)word(),
               (float)byte() / 100);
        break;
      case 1:
        a.PlayToEnd((int)(byte() & 1), (float)byte() / 100);
        break;
      case 2:
        a.PlayToStart((int)(byte() & 1), (float)byte() / 100);
        break;
      case 3:
        a.PlayToReframe((int)(byte() & 1), (int)word(), (int)(byte() % 4), (int)(byte() & 1), 0);
        break;
      case 4:
        a.SetCurrentFrameEx(word());
        a.SetFrameDelay(byte());
        break;
      default:
        a.SetPos((int)word());
        break;
    }
    engine->SetElapsed(word());
    const long r = a.Update();
    if (r >= 0 && a.GetFrameCount() > 1) Check(a);
  }
  return 0;
}
