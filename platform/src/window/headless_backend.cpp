// The headless back-end (windows without a screen, input injected by tests) and the choice of
// back-end: headless with ZQ_HEADLESS=1 or no display, or when SDL's video does not start.
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "window/backend.h"

namespace zqwin {

namespace {

constexpr DWORD kOutsideWaitLimitMs = 10000;  // how long GetMessage waits for outside sources

DWORD realMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return DWORD(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

class HeadlessBackend final : public Backend {
 public:
  bool onScreen() const override { return false; }
  void create(Window*) override {}
  void destroy(Window*) override {}
  void show(Window*, bool) override {}
  void syncGeometry(Window*) override {}
  void setTitle(Window*) override {}
  void minimize(Window*, bool) override {}
  void maximize(Window*) override {}
  void pump() override {}

  bool wait(bool haveTimer, DWORD timerWaitMs, bool outsideSources) override {
    if (haveTimer) {
      if (timerWaitMs > 0) Sleep(timerWaitMs);  // the manual clock moves at once
      return true;
    }
    // Only media and other processes can still post; give them a while, then nothing can come.
    if (outsideSources) {
      const DWORD now = realMs();
      if (!idle_) {
        idle_ = true;
        idleSince_ = now;
      }
      if (now - idleSince_ < kOutsideWaitLimitMs) {
        timespec d{0, 2000000};
        nanosleep(&d, nullptr);
        return true;
      }
      idle_ = false;
    }
    return false;
  }

  void present(Window*, const DWORD*, int, int) override {}
  void applyCursor() override {}
  int messageBox(const std::string&, const std::string&, UINT, HWND) override { return 0; }
  bool screenSize(int&, int&) override { return false; }
  void* nativeWindow(const Window*) const override { return nullptr; }

 private:
  bool idle_ = false;
  DWORD idleSince_ = 0;
};

bool envHeadless() {
  const char* h = std::getenv("ZQ_HEADLESS");
  if (h && *h && std::strcmp(h, "0") != 0) return true;
  const char* d = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return !(d && *d) && !(wl && *wl);
}

std::vector<DestroyListener>& destroyListeners() {
  static std::vector<DestroyListener> l;
  return l;
}

}  // namespace

std::unique_ptr<Backend> makeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

Backend& backend() {
  // Never destroyed: windows may be torn down from static destructors.
  static Backend* b = [] {
    std::unique_ptr<Backend> chosen;
    if (!envHeadless()) chosen = makeSdlBackend();
    if (!chosen) chosen = makeHeadlessBackend();
    return chosen.release();
  }();
  return *b;
}

void presentFrame(HWND hwnd, const DWORD* pixels, int width, int height) {
  Window* w = find(hwnd);
  if (w && isTopLevel(w)) backend().present(w, pixels, width, height);
}

void addDestroyListener(DestroyListener fn) {
  auto& l = destroyListeners();
  for (DestroyListener x : l)
    if (x == fn) return;
  l.push_back(fn);
}

void notifyDestroyed(HWND hwnd) {
  for (DestroyListener fn : destroyListeners()) fn(hwnd);
}

}  // namespace zqwin

BOOL zqIsHeadless() { return zqwin::backend().onScreen() ? FALSE : TRUE; }
