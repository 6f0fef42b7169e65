// Message handling of the application frame: commands, menus, cursor, power events, sizes.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app_support.h"

namespace {

constexpr WORD kPause = 201, kNoSleep = 202, kExit = 203, kPopupId = 300;

HMENU MakeCommandMenu() {
  HMENU menu = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, kPause, "Pause");
  AppendMenuA(sub, MF_STRING, kNoSleep, "No sleep");
  AppendMenuA(sub, MF_STRING, kExit, "Exit");
  AppendMenuA(menu, MF_POPUP, (UINT_PTR)sub, "Game");
  return menu;
}

class MenuAppTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    HMENU res = MakeCommandMenu();
    zqRegisterMenuResource(kPopupId, res);
    DestroyMenu(res);
    SetMenu(wnd, MakeCommandMenu());
    app.m_wPauseCmd = kPause;
    app.m_wNoSleepCmd = kNoSleep;
    app.m_wExitCmd = kExit;
    app.m_wPopupMenuId = kPopupId;
    ASSERT_EQ(app.InitApp(wnd), 1);
    app.SetActive(1);
  }
  TestApp app;
};

TEST_F(MenuAppTest, CommandsPauseFlipNoSleepAndQuit) {
  app.MsgProc(WM_COMMAND, kPause, 0);
  EXPECT_EQ(app.IsRunning(), 0);
  app.MsgProc(WM_ENTERMENULOOP, 0, 0);  // a menu opened while paused
  EXPECT_EQ(CZqApp::GetPauseCount(), 2);
  app.MsgProc(WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(app.IsRunning(), 0);
  app.MsgProc(WM_COMMAND, kPause, 0);
  EXPECT_EQ(app.IsRunning(), 1);

  app.MsgProc(WM_COMMAND, kNoSleep, 0);
  EXPECT_EQ(app.GetNoSleep(), 1);
  app.MsgProc(WM_COMMAND, kNoSleep, 0);
  EXPECT_EQ(app.GetNoSleep(), 0);

  MSG msg = {};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  app.MsgProc(WM_COMMAND, kExit, 0);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
}

TEST_F(MenuAppTest, MenuLoopChecksItemsAndStopsTheClock) {
  app.MsgProc(WM_COMMAND, kNoSleep, 0);
  app.SetNoSleep(1);
  zqAdvanceClock(10);
  app.DoIdle();
  DWORD t = app.GetAppTime();
  app.MsgProc(WM_ENTERMENULOOP, 0, 0);
  HMENU menu = GetMenu(wnd);
  EXPECT_EQ(app.updatedMenus, (std::vector<HMENU>{menu}));
  EXPECT_EQ(GetMenuState(menu, kNoSleep, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
  EXPECT_EQ(GetMenuState(menu, kPause, MF_BYCOMMAND) & MF_CHECKED, 0u);  // checked only once paused
  zqAdvanceClock(100);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), t);
  app.MsgProc(WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(app.IsRunning(), 1);
  app.MsgProc(WM_ENTERMENULOOP, 1, 0);  // a popup's loop: no update of the window menu
  EXPECT_EQ(app.updatedMenus.size(), 1u);
  app._UpdateMenu(menu);
  EXPECT_EQ(GetMenuState(menu, kPause, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
  app.MsgProc(WM_EXITMENULOOP, 0, 0);
}

TEST_F(MenuAppTest, ContextMenuTracksThePopupAtThePoint) {
  ASSERT_NE(app.GetPopupMenu(), nullptr);
  zqClearTrackedPopupMenus();
  app.MsgProc(WM_CONTEXTMENU, (WPARAM) nullptr, MAKELPARAM(5, 6));  // another window: nothing
  EXPECT_TRUE(zqTrackedPopupMenus().empty());
  app.MsgProc(WM_CONTEXTMENU, (WPARAM)wnd, MAKELPARAM((WORD)-3, 40));
  auto tracked = zqTrackedPopupMenus();
  ASSERT_EQ(tracked.size(), 1u);
  EXPECT_EQ(tracked[0].menu, GetSubMenu(app.GetPopupMenu(), 0));
  EXPECT_EQ(tracked[0].flags, (UINT)TPM_VERTICAL);
  EXPECT_EQ(tracked[0].x, -3);
  EXPECT_EQ(tracked[0].y, 40);
  EXPECT_EQ(app.updatedMenus.back(), app.GetPopupMenu());
}

TEST_F(MenuAppTest, ModeCommandsSelectModesOfTheDevice) {
  SDxDeviceInfo* dev = app.GetDxDeviceInfoPtr();
  ASSERT_NE(dev, nullptr);
  ASSERT_GE(dev->dwNumModes, 1u);
  DWORD last = dev->dwNumModes - 1;
  app.MsgProc(WM_COMMAND, ZQ_MENU_MODE_BASE + last, 0);
  EXPECT_EQ(dev->dwCurrentMode, last);
  app.MsgProc(WM_COMMAND, ZQ_MENU_MODE_BASE + dev->dwNumModes, 0);  // past the list
  EXPECT_EQ(dev->dwCurrentMode, last);
  app.MsgProc(WM_COMMAND, ZQ_MENU_MODE_BASE, 0);
  EXPECT_EQ(dev->dwCurrentMode, 0u);
}

TEST_F(MenuAppTest, CursorHitTestPowerAndMinimise) {
  EXPECT_EQ(app.MsgProc(WM_SETCURSOR, (WPARAM)wnd, 0), 1);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(app.MsgProc(WM_NCHITTEST, 0, 0), 1);
  EXPECT_EQ(app.MsgProc(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), 1);
  EXPECT_EQ(app.IsRunning(), 0);
  EXPECT_EQ(app.MsgProc(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), 1);
  EXPECT_EQ(app.IsRunning(), 1);
  EXPECT_EQ(app.MsgProc(WM_POWERBROADCAST, 0x12, 0), 0);
  app.MsgProc(WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(app.IsActive(), 0);
  app.MsgProc(WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(app.IsActive(), 1);
}

TEST_F(AppTest, PathIsTheProgramFolder) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  char module[512] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  std::string expected(module, strrchr(module, '\\') - module);
  char out[256];
  EXPECT_EQ(std::string(app.GetAppPath(out)), expected);
  EXPECT_EQ(std::string(out), expected);
}

}  // namespace

namespace {

// The device cache lives beside the program; the second start-up takes the device from it.
TEST_F(AppTest, DeviceCacheIsWrittenThenRead) {
  char module[512] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  std::string folder(module, strrchr(module, '\\') - module);
  std::string name = "app-test-devices-" + std::to_string(getpid()) + ".ini";
  std::string file = zqMapPath((folder + "\\" + name).c_str());
  std::string desc;
  {
    TestApp app;
    app.SetDeviceCacheFile(name.c_str());
    ASSERT_EQ(app.InitApp(wnd), 1);
    desc = app.GetDxDeviceInfoPtr()->szDeviceDesc;
    CConfig cfg(file.c_str());
    EXPECT_EQ(cfg.GetLong("DEVICES", "Flag", "-1"), 0);
  }
  {
    zqDisplaySetDrivers(nullptr, 0);  // no drivers now: only the cache can give the device
    TestApp app;
    app.SetDeviceCacheFile(name.c_str());
    ASSERT_EQ(app.InitApp(wnd), 1);
    EXPECT_EQ(std::string(app.GetDxDeviceInfoPtr()->szDeviceDesc), desc);
  }
  remove(file.c_str());
}

}  // namespace
