// CZqAppEx: the single-engine application with a window of its own.
#include <cstring>

#include "app_support.h"

namespace {

class TestAppEx : public CZqAppEx {
 public:
  using CZqAppEx::m_wExitCmd;
};

TEST_F(AppTest, CreateAppMakesItsWindowWithTheExactClientArea) {
  TestAppEx app;
  app.SetAppName("zq-appex-test-window");
  ASSERT_EQ(app.CreateApp(nullptr, (char*)"ignored", 0, 0, 640, 480, 0, 0, 77), 1);
  HWND w = app.GetMainWnd();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(IsWindowVisible(w));
  RECT rc;
  GetClientRect(w, &rc);
  EXPECT_EQ(rc.right - rc.left, 640);
  EXPECT_EQ(rc.bottom - rc.top, 480);
  char text[64] = {};
  GetWindowTextA(w, text, sizeof text);
  EXPECT_STREQ(text, "zq-appex-test-window");
  GetClassNameA(w, text, sizeof text);
  EXPECT_STREQ(text, "DxApp Window");
  EXPECT_EQ(app.GetDxDeviceInfoPtr()->bWindowed, 1);
  EXPECT_EQ(app.IsRunning(), 1);

  // Messages of the window reach the application through its class procedure.
  EXPECT_EQ(SendMessageA(w, WM_COMMAND, 77, 0), 0);
  EXPECT_EQ(app.GetNoSleep(), 1);
  // Closing destroys the window and ends the loop.
  SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(AppTest, CreateAppRefusesASecondInstance) {
  HANDLE other = CreateMutexA(nullptr, TRUE, "zq-appex-test-second");
  ASSERT_NE(other, nullptr);
  {
    TestAppEx app;
    app.SetAppName("zq-appex-test-second");
    EXPECT_EQ(app.CreateApp(nullptr, nullptr, 0, 0, 320, 200, 0, 0, 0), (int)E_FAIL);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
  }
  ReleaseMutex(other);
  CloseHandle(other);
}

}  // namespace

namespace {

class MenuEngine : public CZqEngine {
 public:
  explicit MenuEngine(WORD popupId) { m_idPopupMenu = popupId; }
};

TEST_F(AppTest, AConnectedEngineBringsItsPopupMenu) {
  HMENU res = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, 501, "Step");
  AppendMenuA(res, MF_POPUP, (UINT_PTR)sub, "Engine");
  zqRegisterMenuResource(310, res);
  DestroyMenu(res);

  TestAppEx app;
  app.SetAppName("zq-appex-engine-menu");
  ASSERT_EQ(app.CreateApp(nullptr, nullptr, 0, 0, 320, 200, 0, 0, 0), 1);
  EXPECT_EQ(app.GetPopupMenu(), nullptr);
  MenuEngine engine(310);
  ASSERT_EQ(engine.InitEngine(app.GetMainWnd(), 800, 600, 0), 0);
  ASSERT_NE(engine.GetPopupMenu(), nullptr);
  EXPECT_EQ(app.GetPopupMenu(), engine.GetPopupMenu());
  EXPECT_EQ(GetMenuItemID(GetSubMenu(app.GetPopupMenu(), 0), 0), 501u);
  engine.DestroyEngine();
}

}  // namespace
