// The display-mode item of the window and popup menus becomes the device's mode popup.
#include <string>

#include "app_support.h"

namespace {

constexpr WORD kModeItem = 0x9100, kOther = 0x9101, kPopupId = 320, kMainMenuId = 321;

// "View" > { "Display mode" (kModeItem), "Other" (kOther) }
HMENU MakeViewMenu() {
  HMENU menu = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, kModeItem, "Display mode");
  AppendMenuA(sub, MF_STRING, kOther, "Other");
  AppendMenuA(menu, MF_POPUP, (UINT_PTR)sub, "View");
  return menu;
}

void RegisterViewMenu(WORD id) {
  HMENU res = MakeViewMenu();
  zqRegisterMenuResource(id, res);
  DestroyMenu(res);
}

std::string Text(HMENU menu, UINT pos) {
  char buf[80] = {};
  GetMenuStringA(menu, pos, buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

// The mode item sits first in the menu's first popup: it must now be a popup itself, with the
// old text, "Windowed mode", a separator and one item per mode of the device.
void ExpectModePopup(HMENU menu, const SDxDeviceInfo* dev) {
  ASSERT_NE(menu, nullptr);
  HMENU view = GetSubMenu(menu, 0);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(GetMenuItemCount(view), 2);
  EXPECT_EQ(Text(view, 0), "Display mode");
  HMENU modes = GetSubMenu(view, 0);
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(GetMenuItemCount(modes), int(dev->dwNumModes) + 2);
  EXPECT_EQ(GetMenuItemID(modes, 0), 0xFF00u);
  EXPECT_EQ(GetMenuItemID(modes, 2), 0xFF01u);
  EXPECT_EQ(GetMenuItemID(view, 1), UINT(kOther));
  EXPECT_EQ(GetMenuState(menu, kModeItem, MF_BYCOMMAND), UINT(-1));  // the old item is gone
}

TEST_F(AppTest, InitAppPutsTheModePopupIntoWindowAndPopupMenus) {
  RegisterViewMenu(kPopupId);
  SetMenu(wnd, MakeViewMenu());
  TestApp app;
  app.m_wPopupMenuId = kPopupId;
  app.m_wModeMenuItem = kModeItem;
  ASSERT_EQ(app.InitApp(wnd), 1);
  const SDxDeviceInfo* dev = app.GetDxDeviceInfoPtr();
  ASSERT_NE(dev, nullptr);
  ASSERT_GT(dev->dwNumModes, 0u);
  ExpectModePopup(app.GetWindowMenu(), dev);
  ExpectModePopup(app.GetPopupMenu(), dev);
  // Two popups, not one shared: each menu owns and destroys its own.
  EXPECT_NE(GetSubMenu(GetSubMenu(app.GetWindowMenu(), 0), 0),
            GetSubMenu(GetSubMenu(app.GetPopupMenu(), 0), 0));
}

TEST_F(AppTest, WithoutAModeItemIdTheMenusStayAsTheyAre) {
  RegisterViewMenu(kPopupId);
  SetMenu(wnd, MakeViewMenu());
  TestApp app;
  app.m_wPopupMenuId = kPopupId;
  ASSERT_EQ(app.InitApp(wnd), 1);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(app.GetWindowMenu(), 0), 0), UINT(kModeItem));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(app.GetPopupMenu(), 0), 0), UINT(kModeItem));
}

class ModeMenuEngine : public CZqEngine {
 public:
  ModeMenuEngine(WORD popupId, WORD modeItem) {
    m_idPopupMenu = popupId;
    m_idModeMenu = modeItem;
  }
};

TEST_F(AppTest, AConnectedEnginesModeItemBecomesTheModePopup) {
  RegisterViewMenu(kPopupId);
  RegisterViewMenu(kMainMenuId);
  CZqAppEx app;
  app.SetAppName("zq-appex-mode-menu");
  ASSERT_EQ(app.CreateApp(nullptr, nullptr, 0, 0, 320, 200, kMainMenuId, 0, 0), 1);
  // The application has no mode item of its own yet: its window menu is untouched.
  EXPECT_EQ(GetMenuItemID(GetSubMenu(app.GetWindowMenu(), 0), 0), UINT(kModeItem));

  ModeMenuEngine engine(kPopupId, kModeItem);
  ASSERT_EQ(engine.InitEngine(app.GetMainWnd(), 800, 600, 0), 0);
  ExpectModePopup(app.GetWindowMenu(), app.GetDxDeviceInfoPtr());
  ExpectModePopup(engine.GetPopupMenu(), app.GetDxDeviceInfoPtr());

  // The engine's menu refresh turns the mode items into radio items on the current mode, and a
  // mode chosen through the window's commands moves the check.
  SDxDeviceInfo* dev = app.GetDxDeviceInfoPtr();
  ASSERT_GE(dev->dwNumModes, 2u);
  HMENU modes = GetSubMenu(GetSubMenu(engine.GetPopupMenu(), 0), 0);
  const DWORD other = dev->dwCurrentMode == 0 ? 1 : 0;
  for (DWORD pick : {dev->dwCurrentMode, other}) {
    SCOPED_TRACE(pick);
    SendMessageA(app.GetMainWnd(), WM_COMMAND, ZQ_MENU_MODE_BASE + pick, 0);
    EXPECT_EQ(dev->dwCurrentMode, pick);
    engine._UpdateMenu(engine.GetPopupMenu());
    for (DWORD i = 0; i < dev->dwNumModes; ++i)
      EXPECT_EQ(GetMenuState(modes, i + 2, MF_BYPOSITION),
                UINT(MFT_RADIOCHECK | (i == pick ? MF_CHECKED : 0)))
          << i;
  }
  engine.DestroyEngine();
}

}  // namespace
