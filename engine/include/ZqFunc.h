// utility functions and stream buffers: CZqFunc, SStreamBuf, ZQFBUF_*, CZqText (not yet built).
#pragma once

#include "ZqDefs.h"
