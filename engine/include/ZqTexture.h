// textures and the texture record: CZqTexture (not yet built).
#pragma once

#include "ZqDefs.h"
