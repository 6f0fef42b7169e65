// What the display stand-in reports about the machine: drivers, devices, modes, desktop mode,
// and the state the test hooks change.
#pragma once

#include <string>
#include <vector>

#include "zqplatform/display.h"

namespace zqdisplay {

struct DeviceInfo {
  std::string description, name;
  D3DDEVICEDESC7 desc{};
};

struct DriverInfo {
  bool primary = false;
  GUID guid{};
  std::string description, name;
  DDCAPS hardwareCaps{}, emulationCaps{};
  std::vector<DDSURFACEDESC2> modes;
  std::vector<DeviceInfo> devices;
  bool failDirectDraw = false, failDirect3D = false;
};

// The drivers currently reported (the machine's, or those a test fed).
std::vector<DriverInfo> drivers();
// The driver for a GUID (null: the primary); false when there is none.
bool findDriver(const GUID* guid, DriverInfo& out);

DWORD maxTextureSize();
HRESULT cooperativeLevelResult();
void desktopMode(DDSURFACEDESC2& out);

}  // namespace zqdisplay
