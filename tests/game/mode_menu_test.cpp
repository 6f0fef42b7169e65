// The display-mode menu built from a device record, as the menu module records it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZqLib.h"
#include "zqplatform/window.h"

namespace {

DDSURFACEDESC2 Mode(DWORD w, DWORD h, DWORD bpp) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  d.dwWidth = w;
  d.dwHeight = h;
  d.ddpfPixelFormat.dwRGBBitCount = bpp;
  return d;
}

std::string Text(HMENU menu, UINT pos) {
  char buf[64] = {};
  GetMenuStringA(menu, pos, buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

class ModeMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { zqResetWindowSystem(); }
  void TearDown() override { zqResetWindowSystem(); }
};

TEST_F(ModeMenuTest, ThreeModesGiveWindowedSeparatorAndOneItemPerMode) {
  std::vector<DDSURFACEDESC2> modes{Mode(640, 480, 16), Mode(800, 600, 16), Mode(1024, 768, 32)};
  SDxDeviceInfo dev{};
  dev.pddsdModes = modes.data();
  dev.dwNumModes = 3;
  HMENU menu = Device_CreateModeMenu(&dev);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 5);

  EXPECT_EQ(GetMenuItemID(menu, 0), 0xFF00u);
  EXPECT_EQ(Text(menu, 0), "Windowed mode");
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), UINT(MF_CHECKED));
  EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));

  const char* texts[] = {"640X480X16", "800X600X16", "1024X768X32"};
  for (UINT i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(menu, int(i + 2)), 0xFF01u + i);
    EXPECT_EQ(Text(menu, i + 2), texts[i]);
    // Plain unchecked strings: the engine's menu update makes them radio items.
    EXPECT_EQ(GetMenuState(menu, i + 2, MF_BYPOSITION), 0u);
  }
  DestroyMenu(menu);
}

TEST_F(ModeMenuTest, NoRecordNoMenuAndAMissingModeArrayListsNoModes) {
  EXPECT_EQ(Device_CreateModeMenu(nullptr), nullptr);

  SDxDeviceInfo dev{};
  dev.dwNumModes = 4;  // as read back from a cache, before the mode array is attached
  HMENU menu = Device_CreateModeMenu(&dev);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  DestroyMenu(menu);
}

TEST_F(ModeMenuTest, TextsStayWithinTheirBoundsForHugeValues) {
  std::vector<DDSURFACEDESC2> modes{Mode(0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu)};
  SDxDeviceInfo dev{};
  dev.pddsdModes = modes.data();
  dev.dwNumModes = 1;
  HMENU menu = Device_CreateModeMenu(&dev);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Text(menu, 2), "-2147483648X-1X2147483647");
  DestroyMenu(menu);
}

}  // namespace
