// resource pack: CZqSource, sFileInfo, ZQ_Src_Browser (not yet built).
#pragma once

#include "ZqDefs.h"
