// The growth of the process's peak resident memory while a piece of code runs.
#pragma once

#include <sys/resource.h>

namespace test_memory {

// AddressSanitizer's red zones and quarantine make every allocation cost several times more.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr long kCostFactor = 4;
#else
inline constexpr long kCostFactor = 1;
#endif

// KiB the peak resident size rose by while fn ran. The peak only rises, so a small growth shows
// that fn never held more than that much at once (an earlier, higher peak can hide growth, never
// invent it).
template <class Fn>
long PeakGrowthKb(Fn&& fn) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  fn();
  getrusage(RUSAGE_SELF, &after);
  return after.ru_maxrss - before.ru_maxrss;
}

}  // namespace test_memory
