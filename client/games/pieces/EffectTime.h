// Times of the effect, lamp, blinker and slide pieces: system milliseconds.
#pragma once

#include <cstdint>

#include "ZqLib.h"

// Whether `ms` milliseconds have passed since `since` (a wrap of the clock counts right); a
// negative span has always passed.
inline bool MsPassed(DWORD now, DWORD since, long ms) { return int64_t(DWORD(now - since)) >= int64_t(ms); }
// Strictly more than `ms`.
inline bool MsPassedMore(DWORD now, DWORD since, long ms) {
  return int64_t(DWORD(now - since)) > int64_t(ms);
}

// The lit highlight's brightness: between unchanged and doubled over two seconds.
inline float HighlightLevel(CZqEngine* engine) { return engine->ValueCycle(1.0f, 2.0f, 0, 1000, 1); }
