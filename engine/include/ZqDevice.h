// display device enumeration and the device cache: SDxDeviceInfo, Device_* (not yet built).
#pragma once

#include "ZqDefs.h"
