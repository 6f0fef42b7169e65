#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "device_fixture.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace {

constexpr GUID kDriverGuid = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

struct ModeSpec {
  DWORD w, h, bpp;
};

struct Machine {
  std::vector<std::vector<DDSURFACEDESC2>> modes;
  std::vector<std::vector<ZqDisplayDevice>> devices;
  std::vector<ZqDisplayDriver> drivers;

  // Returns the driver's index; devices are added with AddDevice.
  int AddDriver(bool primary, std::initializer_list<ModeSpec> list, bool canRenderWindowed = true) {
    ZqDisplayDriver d;
    zqDisplayDefaultDriver(&d);
    d.primary = primary;
    if (!primary) d.guid = kDriverGuid;
    snprintf(d.description, sizeof d.description, "Driver %zu", drivers.size());
    if (canRenderWindowed)
      d.hardwareCaps.dwCaps2 |= DDCAPS2_CANRENDERWINDOWED;
    else
      d.hardwareCaps.dwCaps2 &= ~(DWORD)DDCAPS2_CANRENDERWINDOWED;
    drivers.push_back(d);
    modes.emplace_back();
    for (const ModeSpec& m : list) {
      DDSURFACEDESC2 s;
      zqDisplayMakeMode(&s, m.w, m.h, m.bpp, 60);
      modes.back().push_back(s);
    }
    devices.emplace_back();
    return (int)drivers.size() - 1;
  }

  void AddDevice(int driver, const char* name, const GUID& guid, bool hardware, DWORD depths,
                 DWORD maxW = 2048, DWORD maxH = 2048) {
    ZqDisplayDevice dev;
    zqDisplayDefaultDevice(&dev);
    snprintf(dev.description, sizeof dev.description, "%s", name);
    dev.desc.deviceGUID = guid;
    dev.desc.dwDevCaps = hardware ? (dev.desc.dwDevCaps | D3DDEVCAPS_HWRASTERIZATION)
                                  : (dev.desc.dwDevCaps & ~(DWORD)D3DDEVCAPS_HWRASTERIZATION);
    dev.desc.dwDeviceRenderBitDepth = depths;
    dev.desc.dwMaxTextureWidth = maxW;
    dev.desc.dwMaxTextureHeight = maxH;
    devices[driver].push_back(dev);
  }

  void Install() {
    for (size_t i = 0; i < drivers.size(); ++i) {
      drivers[i].modes = modes[i].data();
      drivers[i].modeCount = (int)modes[i].size();
      drivers[i].devices = devices[i].data();
      drivers[i].deviceCount = (int)devices[i].size();
    }
    zqDisplaySetDrivers(drivers.data(), (int)drivers.size());
  }
};

std::vector<std::string> ModeTexts(const SDxDeviceInfo& d) {
  std::vector<std::string> out;
  for (DWORD i = 0; i < d.dwNumModes; ++i) {
    const DDSURFACEDESC2& m = d.pddsdModes[i];
    out.push_back(std::to_string(m.dwWidth) + "x" + std::to_string(m.dwHeight) + "x" +
                  std::to_string(m.ddpfPixelFormat.dwRGBBitCount));
  }
  return out;
}

// The table the last enumeration built.
struct DeviceList {
  SDxDeviceInfo* table = nullptr;
  DWORD count = 0;
};
DeviceList Listed() {
  DeviceList l;
  Device_GetList(&l.table, &l.count);
  return l;
}

std::string Chosen(DWORD flags = 0, long* hr = nullptr) {
  SDxDeviceInfo* out = nullptr;
  long r = Device_Choose(&out, flags);
  if (hr) *hr = r;
  return out ? out->szDeviceDesc : "";
}

class Devices : public DeviceTableTest {
 protected:
  Machine machine;
};

}  // namespace

TEST_F(Devices, ModesAreFilteredByDepthAndSorted) {
  int drv = machine.AddDriver(true, {{1024, 768, 16},
                                     {800, 600, 32},
                                     {640, 480, 32},
                                     {800, 600, 16},
                                     {640, 480, 16},
                                     {640, 480, 8},
                                     {320, 200, 24}});
  machine.AddDevice(drv, "both", IID_IDirect3DRGBDevice, false, DDBD_16 | DDBD_32);
  machine.AddDevice(drv, "sixteen", IID_IDirect3DRGBDevice, false, DDBD_16);
  machine.Install();
  ASSERT_EQ(Device_Enumerate(), 0);

  auto [table, count] = Listed();
  ASSERT_EQ(count, 2u);
  EXPECT_STREQ(table[0].szDeviceDesc, "both");  // primary driver: the device's description
  EXPECT_EQ(ModeTexts(table[0]), (std::vector<std::string>{"640x480x16", "640x480x32", "800x600x16",
                                                           "800x600x32", "1024x768x16"}));
  EXPECT_EQ(table[0].dwCurrentMode, 2u);
  EXPECT_EQ(table[0].ddsdMode.dwWidth, 800u);
  EXPECT_EQ(table[0].pDriverGUID, nullptr);
  EXPECT_EQ(table[0].pDeviceGUID, &table[0].guidDevice);
  EXPECT_EQ(ModeTexts(table[1]), (std::vector<std::string>{"640x480x16", "800x600x16", "1024x768x16"}));

  EXPECT_EQ(Device_SelectMode(&table[0], 4), 0);
  EXPECT_EQ(table[0].ddsdMode.dwWidth, 1024u);
  EXPECT_EQ(table[0].dwCurrentMode, 4u);
  EXPECT_EQ(Device_SelectMode(&table[0], 5), E_FAIL);
  EXPECT_EQ(Device_SelectMode(nullptr, 0), E_FAIL);
}

TEST_F(Devices, OnlyTheMatchingModeIsCurrent) {
  int drv = machine.AddDriver(true, {{640, 480, 32}, {800, 600, 16}, {800, 600, 32}});
  machine.AddDevice(drv, "d16", IID_IDirect3DRGBDevice, false, DDBD_16);
  machine.AddDevice(drv, "d24", IID_IDirect3DRGBDevice, false, DDBD_24);  // no mode: rejected
  machine.AddDevice(drv, "d32", IID_IDirect3DRGBDevice, false, DDBD_32);
  machine.Install();
  ASSERT_EQ(Device_Enumerate(), 0);
  auto [table, count] = Listed();
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(ModeTexts(table[0]), std::vector<std::string>{"800x600x16"});
  EXPECT_EQ(table[0].dwCurrentMode, 0u);
  EXPECT_EQ(table[0].ddsdMode.dwWidth, 800u);
  // Without 800 x 600 x 16 the current mode stays zero.
  EXPECT_STREQ(table[1].szDeviceDesc, "d32");
  EXPECT_EQ(table[1].ddsdMode.dwWidth, 0u);
  EXPECT_EQ(table[1].dwCurrentMode, 0u);
}

TEST_F(Devices, ChoiceFollowsClassAndTextureSize) {
  struct Dev {
    const char* name;
    const GUID* guid;
    bool hardware;
    DWORD maxW, maxH;
  };
  struct Case {
    const char* what;
    std::vector<Dev> devs;
    DWORD flags;
    const char* chosen;  // "" = none
  };
  const GUID& tnl = IID_IDirect3DTnLHalDevice;
  const GUID& hal = IID_IDirect3DHALDevice;
  const GUID& rgb = IID_IDirect3DRGBDevice;
  const GUID& ref = IID_IDirect3DRefDevice;
  std::vector<Case> cases = {
      {"small HAL loses", {{"hal", &hal, true, 512, 2048}, {"sw", &rgb, false, 2048, 2048}}, 0, "sw"},
      {"class order",
       {{"ref", &ref, false, 2048, 2048},
        {"sw", &rgb, false, 2048, 2048},
        {"hal", &hal, true, 2048, 2048},
        {"tnl", &tnl, true, 2048, 2048}},
       0,
       "tnl"},
      {"no hardware flag",
       {{"tnl", &tnl, true, 2048, 2048}, {"hal", &hal, true, 2048, 2048}, {"ref", &ref, false, 2048, 2048}},
       1,
       "ref"},
      {"last of a class counts",
       {{"sw1", &rgb, false, 2048, 2048}, {"sw2", &rgb, false, 1024, 512}, {"ref", &ref, false, 1024, 1024}},
       0,
       "ref"},
      {"nothing big enough", {{"sw", &rgb, false, 1023, 4096}}, 0, ""},
  };
  for (const Case& c : cases) {
    Device_Cleanup();
    Machine m;
    int drv = m.AddDriver(true, {{800, 600, 16}});
    for (const Dev& d : c.devs) m.AddDevice(drv, d.name, *d.guid, d.hardware, DDBD_16, d.maxW, d.maxH);
    m.Install();
    ASSERT_EQ(Device_Enumerate(), 0) << c.what;
    long hr = 0;
    EXPECT_EQ(Chosen(c.flags, &hr), c.chosen) << c.what;
    EXPECT_EQ(hr, *c.chosen ? 0 : ZQERR_ENUM_NOMODE) << c.what;
  }
  EXPECT_EQ(Device_Choose(nullptr, 0), E_INVALIDARG);
}

TEST_F(Devices, WindowedOnlyOnThePrimaryDriver) {
  int primary = machine.AddDriver(true, {{800, 600, 16}}, /*canRenderWindowed=*/false);
  machine.AddDevice(primary, "primary sw", IID_IDirect3DRGBDevice, false, DDBD_16);
  int second = machine.AddDriver(false, {{800, 600, 16}});
  machine.AddDevice(second, "second sw", IID_IDirect3DRGBDevice, false, DDBD_16);  // no hardware: rejected
  machine.AddDevice(second, "second hal", IID_IDirect3DHALDevice, true, DDBD_16);
  machine.Install();
  ASSERT_EQ(Device_Enumerate(), 0);
  auto [table, count] = Listed();
  ASSERT_EQ(count, 2u);
  EXPECT_STREQ(table[1].szDeviceDesc, "Driver 1");  // a secondary driver: its own description
  ASSERT_NE(table[1].pDriverGUID, nullptr);
  EXPECT_TRUE(zqSameGuid(*table[1].pDriverGUID, kDriverGuid));
  EXPECT_EQ(table[0].bCanRenderWindowed, FALSE);
  EXPECT_EQ(table[1].bCanRenderWindowed, FALSE);
  long hr = 0;
  EXPECT_EQ(Chosen(0, &hr), "");
  EXPECT_EQ(hr, ZQERR_ENUM_NOMODE);
}

TEST_F(Devices, EnumerationErrorsAndTableLimit) {
  machine.Install();  // no driver at all
  EXPECT_EQ(Device_Enumerate(), ZQERR_ENUM_NODRIVER);

  Machine rejected;
  int drv = rejected.AddDriver(true, {{800, 600, 16}});
  rejected.AddDevice(drv, "a", IID_IDirect3DRGBDevice, false, DDBD_16);
  rejected.Install();
  EXPECT_EQ(Device_Enumerate([](DDCAPS*, D3DDEVICEDESC7*) { return -1; }), ZQERR_ENUM_NODEVICE);

  Machine many;
  drv = many.AddDriver(true, {{800, 600, 16}});
  for (int i = 0; i < 25; ++i)
    many.AddDevice(drv, ("dev" + std::to_string(i)).c_str(), IID_IDirect3DRGBDevice, false, DDBD_16);
  many.Install();
  EXPECT_EQ(Device_Enumerate(), 0);
  auto [table, count] = Listed();
  EXPECT_EQ(count, (DWORD)ZQ_MAX_DEVICES);
  EXPECT_STREQ(table[19].szDeviceDesc, "dev19");
}

TEST_F(Devices, TheMachinesOwnDeviceIsChosen) {
  zqDisplaySetDrivers(nullptr, -1);
  ASSERT_EQ(Device_Enumerate(), 0);
  SDxDeviceInfo* dev = nullptr;
  ASSERT_EQ(Device_Choose(&dev, 0), 0);
  EXPECT_EQ(dev->bWindowed, TRUE);
  EXPECT_EQ(dev->pDriverGUID, nullptr);
  EXPECT_EQ(dev->dwHardware, 0u);
  EXPECT_EQ(dev->ddsdMode.dwWidth, 800u);
  EXPECT_EQ(dev->ddsdMode.dwHeight, 600u);
  EXPECT_EQ(dev->ddsdMode.ddpfPixelFormat.dwRGBBitCount, 16u);
  std::vector<std::string> modes = ModeTexts(*dev);
  EXPECT_NE(std::find(modes.begin(), modes.end(), "800x600x32"), modes.end());
}
