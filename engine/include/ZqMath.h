// vector and matrix maths (not yet built).
#pragma once

#include "ZqDefs.h"
