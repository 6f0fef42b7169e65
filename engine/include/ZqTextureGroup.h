// texture groups: CZqTextureGroup (not yet built).
#pragma once

#include "ZqDefs.h"
