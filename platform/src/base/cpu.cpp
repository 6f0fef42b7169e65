// The processor feature word.
#include <cpuid.h>

#include "zqplatform/base.h"

DWORD zqCpuFeatureWord() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return 0;
  return DWORD(d);
}
