// The process clock: real milliseconds from the monotonic clock, or a manual clock for tests.
#include <atomic>
#include <ctime>

#include "zqplatform/base.h"

namespace {
std::atomic<bool> g_manual{false};
std::atomic<DWORD> g_manualNow{0};

DWORD realNow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
  return DWORD(ms);  // wraps like the Windows clock
}
}  // namespace

DWORD timeGetTime() { return g_manual ? g_manualNow.load() : realNow(); }
DWORD GetTickCount() { return timeGetTime(); }

MMRESULT timeBeginPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
MMRESULT timeEndPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

void Sleep(DWORD ms) {
  if (g_manual) {
    g_manualNow += ms;
    return;
  }
  timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

void zqSetManualClock(BOOL on, DWORD startMs) {
  g_manualNow = startMs;
  g_manual = on != 0;
}

void zqAdvanceClock(DWORD ms) { g_manualNow += ms; }
BOOL zqIsManualClock() { return g_manual ? TRUE : FALSE; }
