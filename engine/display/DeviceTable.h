// The process-wide table of accepted display devices and the record read from a cache.
#pragma once

#include "ZqDevice.h"

namespace zq {

struct DeviceTable {
  SDxDeviceInfo records[ZQ_MAX_DEVICES] = {};
  DWORD count = 0;
  SDxDeviceInfo cached = {};
};

DeviceTable& Devices();
bool IsZeroGuid(const GUID& g);

}  // namespace zq
