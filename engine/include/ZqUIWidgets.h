// button and layer widgets: ZQ_UI_Button, ZQ_UI_Layer (not yet built).
#pragma once

#include "ZqDefs.h"
