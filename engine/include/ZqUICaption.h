// scrolling caption: ZQ_UI_ActiveCaption (not yet built).
#pragma once

#include "ZqDefs.h"
