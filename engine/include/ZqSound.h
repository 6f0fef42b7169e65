// sounds and WAVE files: CZqSound, CRiffWaveFile (not yet built).
#pragma once

#include "ZqDefs.h"
