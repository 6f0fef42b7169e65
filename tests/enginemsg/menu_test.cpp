// The engine's menu commands, the clock moves they make, the popup menu and its item states.
#include <cstdio>
#include <cstring>

#include "enginemsg_support.h"

namespace enginemsg {
namespace {

class EngineMenuTest : public EngineMsgTest {
 protected:
  DWORD EngineTimeAt(DWORD apptime) {
    app->SetAppTime(apptime);
    engine->_UpdateEngine();
    return engine->GetEngineTime();
  }
  long Command(WORD id) { return engine->MsgProc(WM_COMMAND, id, 0); }
  HMENU Popup() const { return engine->GetPopupMenu(); }
};

TEST_F(EngineMenuTest, SingleStepFreezesTheClockAndStepsAdvanceIt) {
  Start();
  EXPECT_EQ(EngineTimeAt(50000), 50000u);
  // Off: the step changes nothing.
  Command(kStep);
  EXPECT_EQ(engine->m_dwFrozenTime, 0u);
  EXPECT_EQ(EngineTimeAt(50000), 50000u);

  app->SetAppTime(60000);
  Command(kSingleStep);
  EXPECT_EQ(engine->m_bSingleStep, 1);
  EXPECT_EQ(EngineTimeAt(70000), 60000u);  // stands where it was
  Command(kStep);
  EXPECT_EQ(EngineTimeAt(70000), 60100u);
  Command(kStep);
  Command(kStep);
  EXPECT_EQ(EngineTimeAt(75000), 60300u);

  app->SetAppTime(80000);
  Command(kSingleStep);
  EXPECT_EQ(engine->m_bSingleStep, 0);
  EXPECT_EQ(EngineTimeAt(80000), 60300u);  // runs on from the frozen reading
  EXPECT_EQ(EngineTimeAt(81000), 61300u);
}

TEST_F(EngineMenuTest, SizeMovesAreNotChargedToTheEngineClock) {
  Start();
  EXPECT_EQ(EngineTimeAt(10000), 10000u);
  engine->MsgProc(WM_ENTERSIZEMOVE, 0, 0);
  zqAdvanceClock(1500);
  app->SetAppTime(25000);
  engine->MsgProc(WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(EngineTimeAt(25000), 10000u);
  EXPECT_EQ(EngineTimeAt(26000), 11000u);

  // Single-stepping: the frozen clock is left alone and the base does not move.
  Command(kSingleStep);
  engine->MsgProc(WM_ENTERSIZEMOVE, 0, 0);
  zqAdvanceClock(1400);
  app->SetAppTime(40000);
  engine->MsgProc(WM_EXITSIZEMOVE, 0, 0);
  Command(kSingleStep);
  EXPECT_EQ(EngineTimeAt(40000), 11000u);
  EXPECT_EQ(EngineTimeAt(41000), 12000u);
}

TEST_F(EngineMenuTest, PauseWindowedAndModeCommands) {
  Start(true);
  SDxDeviceInfo* device = engine->m_pDeviceInfo;
  ASSERT_NE(device, nullptr);
  ASSERT_GE(device->dwNumModes, 2u);

  EXPECT_EQ(Command(kPause), 0);
  EXPECT_EQ(engine->m_dwPauseCount, 1u);
  engine->_UpdateMenu(Popup());
  EXPECT_TRUE(ItemState(Popup(), kPause) & MF_CHECKED);
  Command(kPause);
  EXPECT_EQ(engine->m_dwPauseCount, 0u);
  engine->_UpdateMenu(Popup());
  EXPECT_FALSE(ItemState(Popup(), kPause) & MF_CHECKED);

  const BOOL windowed = device->bWindowed;
  Command(ZQ_MENU_WINDOWED);
  EXPECT_EQ(device->bWindowed, !windowed);
  engine->_UpdateMenu(Popup());
  EXPECT_EQ((ItemState(Popup(), ZQ_MENU_WINDOWED) & MF_CHECKED) != 0, !windowed);
  Command(ZQ_MENU_WINDOWED);
  EXPECT_EQ(device->bWindowed, windowed);

  Command(ZQ_MENU_MODE_BASE + 1);
  EXPECT_EQ(device->dwCurrentMode, 1u);
  EXPECT_EQ(device->ddsdMode.dwWidth, device->pddsdModes[1].dwWidth);
  engine->_UpdateMenu(Popup());
  for (DWORD i = 0; i < device->dwNumModes; ++i) {
    const UINT st = ItemState(Popup(), ZQ_MENU_MODE_BASE + i);
    EXPECT_TRUE(st & MFT_RADIOCHECK) << i;
    EXPECT_EQ((st & MF_CHECKED) != 0, i == 1) << i;
  }
  // Past the last mode: nothing is selected.
  Command((WORD)(ZQ_MENU_MODE_BASE + device->dwNumModes));
  EXPECT_EQ(device->dwCurrentMode, 1u);
  Command(ZQ_MENU_MODE_BASE);
  EXPECT_EQ(device->dwCurrentMode, 0u);

  EXPECT_EQ(Command(kGdiWindow), 0);
  EXPECT_EQ(engine->m_bFsWindowFlag, 0);
}

TEST_F(EngineMenuTest, MenuItemsShowTheEngineState) {
  Start(true);
  HMENU m = Popup();
  ASSERT_NE(m, nullptr);
  engine->_UpdateMenu(m);
  EXPECT_EQ(ItemState(m, kStep) & MFS_GRAYED, (UINT)MFS_GRAYED);
  EXPECT_TRUE(ItemState(m, kSingleStep) & MF_CHECKED);                 // checked while single-step is off
  EXPECT_EQ(ItemState(m, kGdiWindow) & MFS_GRAYED, (UINT)MFS_GRAYED);  // greyed while windowed
  EXPECT_FALSE(ItemState(m, kGdiWindow) & MF_CHECKED);

  Command(kSingleStep);
  engine->m_bFullscreen = 1;
  engine->m_bFsWindowFlag = 1;
  engine->_UpdateMenu(m);
  EXPECT_EQ(ItemState(m, kStep) & MFS_GRAYED, 0u);
  EXPECT_FALSE(ItemState(m, kSingleStep) & MF_CHECKED);
  EXPECT_EQ(ItemState(m, kGdiWindow) & (MFS_GRAYED | MF_CHECKED), (UINT)MF_CHECKED);
  engine->m_bFullscreen = 0;
  engine->m_bFsWindowFlag = 0;
  Command(kSingleStep);

  // Items the menu lacks or ids left unset are skipped.
  HMENU other = CreatePopupMenu();
  AppendMenuA(other, MF_STRING, 0, "zero");
  engine->m_idStep = 0;
  engine->_UpdateMenu(other);
  EXPECT_EQ(ItemState(other, 0), 0u);
  engine->_UpdateMenu(nullptr);
  DestroyMenu(other);
}

TEST_F(EngineMenuTest, ModeSwitchTextNamesTheCurrentMode) {
  Start(true);
  SDxDeviceInfo* device = engine->m_pDeviceInfo;
  const DDSURFACEDESC2& mode = device->ddsdMode;
  char expected[64];
  std::snprintf(expected, sizeof expected, " (%dX%dX%d)", (int)mode.dwWidth, (int)mode.dwHeight,
                (int)mode.ddpfPixelFormat.dwRGBBitCount);
  struct Case {
    std::string before, after;
  };
  const std::string longText(149, 'x');
  const Case cases[] = {
      {"Switch mode", std::string("Switch mode") + expected},
      {std::string("Switch mode") + expected, std::string("Switch mode") + expected},  // not twice
      {"Full screen (old)", std::string("Full screen") + expected},
      {longText, longText.substr(0, 150 - std::strlen(expected)) + expected},  // fits 150
  };
  for (const Case& c : cases) {
    ModifyMenuA(Popup(), kModeSwitch, MF_BYCOMMAND | MF_STRING, kModeSwitch, c.before.c_str());
    engine->_UpdateMenu(Popup());
    EXPECT_EQ(ItemText(Popup(), kModeSwitch), c.after);
  }
}

TEST_F(EngineMenuTest, ModeSwitchRebuildsTheDeviceOrDestroysTheWindow) {
  Start(true);
  SDxDeviceInfo* device = engine->m_pDeviceInfo;
  ModifyMenuA(Popup(), kModeSwitch, MF_BYCOMMAND | MF_STRING, kModeSwitch, "Switch");

  engine->m_bLost = 1;  // while lost: nothing
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(ItemText(Popup(), kModeSwitch), "Switch");
  engine->m_bLost = 0;

  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(device->bWindowed, 0);  // the switch leaves the windowed mode
  EXPECT_EQ(engine->m_dwPauseCount, 0u);
  EXPECT_EQ(ItemText(Popup(), kModeSwitch).rfind("Switch (", 0), 0u);

  // An 8-bit desktop refuses the new driver: the engine's window goes.
  zqDisplaySetDesktopMode(800, 600, 8, 60);
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(engine->m_dwPauseCount, 0u);
}

TEST_F(EngineMenuTest, ModeSwitchSavesTheWindowOnceAndComesBackWhenFullScreen) {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 1, "Game");
  SetMenu(wnd, bar);
  delete app;
  app = new PassApp();
  ASSERT_EQ(app->InitApp(wnd), 1);
  Start();
  MoveWindow(wnd, 30, 20, 728, 567, TRUE);
  const DWORD style = DWORD(GetWindowLongA(wnd, GWL_STYLE));
  RECT placed{};
  GetWindowRect(wnd, &placed);

  // This build stays windowed in the borderless style, however often it switches.
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Command(kModeSwitch), 0);
    EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), 0x92080000u);
    EXPECT_EQ(GetMenu(wnd), nullptr);
    EXPECT_EQ(engine->m_pDeviceInfo->bWindowed, 0);
    EXPECT_EQ(engine->IsFullscreen(), 0);
    EXPECT_EQ(engine->GetRenderWidth(), 800u);
  }
  // A derived engine in full screen with the record windowed again gets the first window back.
  engine->m_bFullscreen = 1;
  engine->m_pDeviceInfo->bWindowed = 1;
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 0);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(engine->m_pDeviceInfo->bWindowed, 1);
  EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), style | WS_VISIBLE);  // and shown
  EXPECT_EQ(GetMenu(wnd), bar);
  RECT now{};
  GetWindowRect(wnd, &now);
  EXPECT_EQ(now.left, placed.left);
  EXPECT_EQ(now.top, placed.top);
  EXPECT_EQ(now.right, placed.right);
  EXPECT_EQ(now.bottom, placed.bottom);
  EXPECT_EQ(engine->GetRenderWidth(), 800u);
  // In this build a resize is never refused for full screen.
  engine->m_bFullscreen = 1;
  EXPECT_EQ(engine->Resize(640, 480), 0);
  EXPECT_EQ(engine->GetRenderWidth(), 800u);
}

TEST_F(EngineMenuTest, ContextMenuTracksThePopupAtTheScreenPoint) {
  Start(true);
  HMENU sub = GetSubMenu(Popup(), 0);
  ASSERT_NE(sub, nullptr);
  zqClearTrackedPopupMenus();
  SendMessageA(wnd, WM_CONTEXTMENU, (WPARAM)wnd, MAKELPARAM(120, 80));
  auto tracked = zqTrackedPopupMenus();
  ASSERT_EQ(tracked.size(), 1u);
  EXPECT_EQ(tracked[0].menu, sub);
  EXPECT_EQ(tracked[0].flags, (UINT)TPM_VERTICAL);
  EXPECT_EQ(tracked[0].x, 120);
  EXPECT_EQ(tracked[0].y, 80);
  EXPECT_EQ(tracked[0].owner, wnd);
  EXPECT_TRUE(ItemState(Popup(), kSingleStep) & MF_CHECKED);  // brought up to date first
  EXPECT_EQ(engine->m_dwPauseCount, 0u);                      // the menu loop paused and resumed

  // From another window, or in full screen without the GDI window: nothing.
  zqClearTrackedPopupMenus();
  SendMessageA(wnd, WM_CONTEXTMENU, (WPARAM)0x1234, MAKELPARAM(1, 1));
  engine->m_bFullscreen = 1;
  SendMessageA(wnd, WM_CONTEXTMENU, (WPARAM)wnd, MAKELPARAM(1, 1));
  EXPECT_TRUE(zqTrackedPopupMenus().empty());
  engine->m_bFsWindowFlag = 1;
  SendMessageA(wnd, WM_CONTEXTMENU, (WPARAM)wnd, MAKELPARAM(-5, 7));
  tracked = zqTrackedPopupMenus();
  ASSERT_EQ(tracked.size(), 1u);
  EXPECT_EQ(tracked[0].x, -5);
  engine->m_bFullscreen = 0;
  engine->m_bFsWindowFlag = 0;
}

TEST_F(EngineMenuTest, WindowMenuLoopUpdatesItAndPauses) {
  HMENU bar = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, kStep, "Step");
  AppendMenuA(bar, MF_POPUP, (UINT_PTR)sub, "Engine");
  SetMenu(wnd, bar);
  delete app;
  app = new PassApp();
  ASSERT_EQ(app->InitApp(wnd), 1);
  Start();
  engine->MsgProc(WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(engine->m_dwPauseCount, 1u);
  EXPECT_EQ(ItemState(bar, kStep) & MFS_GRAYED, (UINT)MFS_GRAYED);
  engine->MsgProc(WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(engine->m_dwPauseCount, 0u);
}

}  // namespace
}  // namespace enginemsg
