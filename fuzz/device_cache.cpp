// The device cache reader over arbitrary stored bytes.
// Input: a 16-bit little-endian length L, then L bytes stored as "DeviceInfo", the rest as "ModeList".
// Seed in fuzz/corpus/device_cache: the cache written for the fed machine below.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZqLib.h"
#include "zqplatform/display_hooks.h"
#include "scratch.h"

namespace {

// A small fixed machine, so that a rejected cache falls back to a quick, known enumeration.
void FeedMachine() {
  static DDSURFACEDESC2 modes[3];
  static ZqDisplayDevice device;
  static ZqDisplayDriver driver;
  zqDisplayMakeMode(&modes[0], 640, 480, 16, 60);
  zqDisplayMakeMode(&modes[1], 800, 600, 16, 60);
  zqDisplayMakeMode(&modes[2], 800, 600, 32, 60);
  zqDisplayDefaultDevice(&device);
  zqDisplayDefaultDriver(&driver);
  driver.modes = modes;
  driver.modeCount = 3;
  driver.devices = &device;
  driver.deviceCount = 1;
  zqDisplaySetDrivers(&driver, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string ini = [] {
    FeedMachine();
    atexit([] { remove((zqfuzz::ScratchFile("fuzz_device_cache") + ".ini").c_str()); });
    return zqfuzz::ScratchFile("fuzz_device_cache") + ".ini";
  }();
  if (size < 2 || size > (1 << 20)) return 0;
  size_t infoLen = data[0] | data[1] << 8;
  data += 2;
  size -= 2;
  if (infoLen > size) infoLen = size;

  remove(ini.c_str());
  {
    CConfig cfg(ini.c_str());
    cfg.WriteLong(0, "DEVICES", "Flag");
    cfg.WriteBinary("DEVICES", "DeviceInfo", data, (DWORD)infoLen);
    cfg.WriteBinary("DEVICES", "ModeList", data + infoLen, (DWORD)(size - infoLen));
  }
  Device_Cleanup();
  SDxDeviceInfo* dev = nullptr;
  if (Device_ChooseCached(ini.c_str(), nullptr, &dev) == 0) {
    // Whatever was chosen must be a whole record: every mode readable, the current one among them.
    if (!dev || !dev->pddsdModes || dev->dwCurrentMode >= dev->dwNumModes) __builtin_trap();
    unsigned sum = 0;
    for (DWORD i = 0; i < dev->dwNumModes; ++i) sum += dev->pddsdModes[i].dwWidth;
    if (dev->pDriverGUID && dev->pDriverGUID != &dev->guidDriver) __builtin_trap();
    if (Device_SelectMode(dev, dev->dwNumModes - 1) != 0) __builtin_trap();
    (void)sum;
  }
  Device_Cleanup();
  return 0;
}
