// Vector, matrix, quaternion, material, light and surface-description helpers; static
// members reached through CZqFunc.
#pragma once

#include "ZqDefs.h"

class ZQ_API CZqMath {
 public:
  CZqMath() = delete;
};
