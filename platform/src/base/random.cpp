// The generator the games were tuned on: MSVC's linear congruential rand.
#include "zqplatform/base.h"

namespace {
uint32_t g_state = 1;
}

int zq_rand() {
  g_state = g_state * 214013u + 2531011u;
  return int((g_state >> 16) & 0x7FFF);
}

void zq_srand(unsigned seed) { g_state = seed; }
