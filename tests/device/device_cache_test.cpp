#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "device_fixture.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace {

// One primary driver with one software device named `name` and three modes.
struct FedMachine {
  DDSURFACEDESC2 modes[3];
  ZqDisplayDevice device;
  ZqDisplayDriver driver;
  explicit FedMachine(const char* name) {
    zqDisplayMakeMode(&modes[0], 640, 480, 16, 60);
    zqDisplayMakeMode(&modes[1], 800, 600, 16, 60);
    zqDisplayMakeMode(&modes[2], 800, 600, 32, 60);
    zqDisplayDefaultDevice(&device);
    snprintf(device.description, sizeof device.description, "%s", name);
    zqDisplayDefaultDriver(&driver);
    driver.hardwareCaps.dwCaps2 |= DDCAPS2_CANRENDERWINDOWED;
    driver.modes = modes;
    driver.modeCount = 3;
    driver.devices = &device;
    driver.deviceCount = 1;
    zqDisplaySetDrivers(&driver, 1);
  }
};

class DeviceCache : public DeviceTableTest {
 protected:
  std::string Ini() const { return dir.file("devices.ini"); }
  DWORD TableCount() {
    SDxDeviceInfo* t = nullptr;
    DWORD n = 0;
    Device_GetList(&t, &n);
    return n;
  }
  ScratchDir dir;
};

}  // namespace

TEST_F(DeviceCache, FirstRunWritesSecondReadsWithoutEnumerating) {
  {
    FedMachine m("First Device");
    SDxDeviceInfo* dev = nullptr;
    ASSERT_EQ(Device_ChooseCached(Ini().c_str(), nullptr, &dev), 0);
    EXPECT_STREQ(dev->szDeviceDesc, "First Device");
    EXPECT_EQ(TableCount(), 1u);
  }
  CConfig cfg(Ini().c_str());
  EXPECT_EQ(cfg.GetLong("DEVICES", "Flag", "-1"), 0);
  BYTE rec[ZQ_DEVICEINFO_STORED_SIZE + 8];
  EXPECT_EQ(cfg.GetBinary("DEVICES", "DeviceInfo", rec, sizeof rec), (DWORD)ZQ_DEVICEINFO_STORED_SIZE);
  std::vector<BYTE> modes(3 * 124 + 8);
  EXPECT_EQ(cfg.GetBinary("DEVICES", "ModeList", modes.data(), (DWORD)modes.size()), 3u * 124);
  // The stored record: count 3, current index 1 (800 x 600 x 16), pointer slots 0.
  auto u32 = [&](size_t at) {
    return (DWORD)rec[at] | rec[at + 1] << 8 | rec[at + 2] << 16 | (DWORD)rec[at + 3] << 24;
  };
  EXPECT_EQ(u32(1216), 3u);
  EXPECT_EQ(u32(1220), 1u);
  EXPECT_EQ(u32(40) | u32(284) | u32(1212), 0u);
  EXPECT_EQ(u32(1172), 1u);  // windowed

  // Second run: the machine now offers another device; the cache is used as it is.
  Device_Cleanup();
  FedMachine other("Other Device");
  SDxDeviceInfo* dev = nullptr;
  ASSERT_EQ(Device_ChooseCached(Ini().c_str(), nullptr, &dev), 0);
  EXPECT_EQ(TableCount(), 0u);
  EXPECT_STREQ(dev->szDeviceDesc, "First Device");
  EXPECT_EQ(dev->pDeviceGUID, &dev->guidDevice);
  EXPECT_EQ(dev->pDriverGUID, nullptr);  // the primary driver stays primary
  ASSERT_EQ(dev->dwNumModes, 3u);
  EXPECT_EQ(dev->pddsdModes[2].dwWidth, 800u);
  EXPECT_EQ(dev->pddsdModes[2].ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(dev->ddsdMode.dwWidth, 800u);
  EXPECT_EQ(dev->dwCurrentMode, 1u);
  EXPECT_EQ(Device_SelectMode(dev, 2), 0);
}

TEST_F(DeviceCache, UntrustworthyCacheIsRebuilt) {
  FedMachine m("Real Device");
  SDxDeviceInfo* dev = nullptr;
  ASSERT_EQ(Device_ChooseCached(Ini().c_str(), nullptr, &dev), 0);
  CConfig cfg(Ini().c_str());
  BYTE good[ZQ_DEVICEINFO_STORED_SIZE];
  ASSERT_EQ(cfg.GetBinary("DEVICES", "DeviceInfo", good, sizeof good), sizeof good);
  std::vector<BYTE> goodModes(3 * 124);
  ASSERT_EQ(cfg.GetBinary("DEVICES", "ModeList", goodModes.data(), (DWORD)goodModes.size()), 3u * 124);

  auto withWord = [&](size_t at, DWORD v) {
    std::vector<BYTE> r(good, good + sizeof good);
    for (int i = 0; i < 4; ++i) r[at + i] = (BYTE)(v >> (8 * i));
    strcpy(reinterpret_cast<char*>(r.data()), "Stale Device");
    return r;
  };
  std::vector<BYTE> whole = withWord(1216, 3);
  struct Case {
    const char* what;
    std::vector<BYTE> info;
    std::vector<BYTE> modes;
  } cases[] = {
      {"record cut short", std::vector<BYTE>(whole.begin(), whole.end() - 1), goodModes},
      {"mode list cut short", whole, std::vector<BYTE>(goodModes.begin(), goodModes.end() - 124)},
      {"no modes", withWord(1216, 0), {}},
      {"implausible count", withWord(1216, 0x7FFFFFFF), goodModes},
      {"index past the count", withWord(1220, 3), goodModes},
  };
  for (const Case& c : cases) {
    Device_Cleanup();
    cfg.WriteBinary("DEVICES", "DeviceInfo", c.info.data(), (DWORD)c.info.size());
    cfg.WriteBinary("DEVICES", "ModeList", c.modes.data(), (DWORD)c.modes.size());
    dev = nullptr;
    ASSERT_EQ(Device_ChooseCached(Ini().c_str(), nullptr, &dev), 0) << c.what;
    EXPECT_STREQ(dev->szDeviceDesc, "Real Device") << c.what;
    EXPECT_EQ(TableCount(), 1u) << c.what;
    BYTE rewritten[ZQ_DEVICEINFO_STORED_SIZE];
    EXPECT_EQ(cfg.GetBinary("DEVICES", "DeviceInfo", rewritten, sizeof rewritten), sizeof rewritten)
        << c.what;
    EXPECT_STREQ(reinterpret_cast<char*>(rewritten), "Real Device") << c.what;
  }

  // A whole record naming a secondary driver keeps its own driver GUID.
  Device_Cleanup();
  std::vector<BYTE> secondary = whole;
  for (int i = 0; i < 16; ++i) secondary[1196 + i] = (BYTE)(i + 1);
  cfg.WriteBinary("DEVICES", "DeviceInfo", secondary.data(), (DWORD)secondary.size());
  cfg.WriteBinary("DEVICES", "ModeList", goodModes.data(), (DWORD)goodModes.size());
  ASSERT_EQ(Device_ChooseCached(Ini().c_str(), nullptr, &dev), 0);
  EXPECT_STREQ(dev->szDeviceDesc, "Stale Device");
  ASSERT_EQ(dev->pDriverGUID, &dev->guidDriver);
  EXPECT_EQ(dev->guidDriver.Data1, 0x04030201u);
}

TEST_F(DeviceCache, StoredLayoutRoundTrips) {
  SDxDeviceInfo d;
  memset(&d, 0, sizeof d);
  strcpy(d.szDeviceDesc, "Layout");
  d.ddDeviceDesc.dwMaxTextureWidth = 2048;
  d.dwHardware = D3DDEVCAPS_HWRASTERIZATION;
  d.ddDriverCaps.dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
  zqDisplayMakeMode(&d.ddsdMode, 800, 600, 16, 60);
  d.guidDevice = IID_IDirect3DHALDevice;
  d.guidDriver = IID_IDirect3D7;
  d.pDriverGUID = &d.guidDriver;
  d.dwNumModes = 5;
  d.dwCurrentMode = 4;
  d.bStereo = TRUE;
  BYTE bytes[ZQ_DEVICEINFO_STORED_SIZE];
  Device_WriteRecord(d, bytes);
  EXPECT_EQ(bytes[280 + 2], 0x08);  // hardware flag 0x80000 at 280
  EXPECT_EQ(bytes[1228], 1);
  SDxDeviceInfo back;
  Device_ReadRecord(bytes, back);
  EXPECT_STREQ(back.szDeviceDesc, "Layout");
  EXPECT_EQ(back.ddDeviceDesc.dwMaxTextureWidth, 2048u);
  EXPECT_EQ(back.ddsdMode.dwHeight, 600u);
  EXPECT_TRUE(zqSameGuid(back.guidDevice, IID_IDirect3DHALDevice));
  EXPECT_EQ(back.pDriverGUID, &back.guidDriver);
  EXPECT_EQ(back.dwCurrentMode, 4u);
  EXPECT_EQ(back.pddsdModes, nullptr);
}
