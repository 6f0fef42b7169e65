// The application framework: message maps and their chains, command routing, frames deleted
// with their windows, the main pane's layout, paint contexts, the run loop and the entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zqplatform/framework.h"

namespace {

std::vector<std::string> g_log;

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp("framework-test") {}
  BOOL InitInstance() override {
    g_log.push_back("init");
    return initResult;
  }
  int Run() override {
    g_log.push_back("run");
    return CWinApp::Run();
  }
  BOOL OnIdle(LONG count) override {
    idleCounts.push_back(count);
    if (onIdle) onIdle(count);
    // More idle work wanted, so every empty queue gives a pass.
    return TRUE;
  }
  int ExitInstance() override {
    g_log.push_back("exit");
    return CWinApp::ExitInstance();
  }

  BOOL initResult = TRUE;
  std::vector<LONG> idleCounts;
  void (*onIdle)(LONG) = nullptr;

 protected:
  void OnAbout() { g_log.push_back("app about"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAbout)
END_MESSAGE_MAP()

class BaseFrame : public CFrameWnd {
 public:
  ~BaseFrame() override { g_log.push_back("frame deleted"); }

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    g_log.push_back(std::string("create ") + (cs->lpszName ? cs->lpszName : ""));
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    RECT none{0, 0, 0, 0};
    return pane.Create(nullptr, nullptr, WS_VISIBLE, none, this, AFX_IDW_PANE_FIRST) ? 0 : -1;
  }
  void OnTimer(UINT_PTR id) { g_log.push_back("base timer " + std::to_string(id)); }
  void OnFrameCommand() { g_log.push_back("frame command"); }

  CWnd pane;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_TIMER()
ON_COMMAND(101, OnFrameCommand)
END_MESSAGE_MAP()

// Overrides one handler of its base; the others come from the base's map.
class DerivedFrame : public BaseFrame {
 public:
  HWND Pane() const { return pane.m_hWnd; }

 protected:
  void OnTimer(UINT_PTR id) {
    g_log.push_back("derived timer " + std::to_string(id));
    if (id == 2) BaseFrame::OnTimer(id);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedFrame, BaseFrame)
ON_WM_TIMER()
END_MESSAGE_MAP()

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zqResetWindowSystem();
    zqSetManualClock(TRUE, 100000);
    g_log.clear();
  }
  void TearDown() override {
    zqResetWindowSystem();
    zqSetManualClock(FALSE, 0);
  }
  // A frame made the main window and loaded.
  DerivedFrame* LoadMain() {
    auto* frame = new DerivedFrame;
    app.m_pMainWnd = frame;
    if (!frame->LoadFrame(128, WS_OVERLAPPEDWINDOW)) return nullptr;
    return frame;
  }

  TestApp app;
};

TEST_F(FrameworkTest, HandlersComeFromTheMostDerivedMapAndCommandsReachTheApplication) {
  DerivedFrame* frame = LoadMain();
  ASSERT_NE(frame, nullptr);
  HWND hwnd = frame->m_hWnd;
  EXPECT_EQ(CWnd::FromHandle(hwnd), frame);
  EXPECT_EQ(AfxGetMainWnd(), frame);

  SendMessageA(hwnd, WM_TIMER, 1, 0);
  SendMessageA(hwnd, WM_TIMER, 2, 0);
  // The frame's own command, then one only the application's table holds, then one nobody has.
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, 101, 0), 1);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, ID_APP_ABOUT, 0), 1);
  EXPECT_EQ(SendMessageA(hwnd, WM_COMMAND, 555, 0), 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"create framework-test", "derived timer 1", "derived timer 2",
                                             "base timer 2", "frame command", "app about"}));
  EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
  EXPECT_FALSE(frame->IsKindOf(RUNTIME_CLASS(CWinApp)));
}

TEST_F(FrameworkTest, TheMainPaneFillsTheClientAreaAndPaintingValidatesIt) {
  DerivedFrame* frame = LoadMain();
  ASSERT_NE(frame, nullptr);
  frame->SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  RECT client, pane;
  GetClientRect(frame->m_hWnd, &client);
  GetWindowRect(frame->Pane(), &pane);
  EXPECT_EQ(pane.right - pane.left, client.right);
  EXPECT_EQ(pane.bottom - pane.top, client.bottom);

  InvalidateRect(frame->Pane(), nullptr, FALSE);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(frame->Pane(), &update, FALSE));
  {
    CPaintDC dc(CWnd::FromHandle(frame->Pane()));
    EXPECT_NE(dc.GetSafeHdc(), nullptr);
    EXPECT_EQ(dc.m_ps.rcPaint.right, client.right);
  }
  EXPECT_FALSE(GetUpdateRect(frame->Pane(), &update, FALSE));
}

TEST_F(FrameworkTest, ClosingTheMainFrameDeletesItAndEndsTheRunLoop) {
  DerivedFrame* frame = LoadMain();
  ASSERT_NE(frame, nullptr);
  HWND hwnd = frame->m_hWnd;
  HWND pane = frame->Pane();
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindow(pane));
  EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(g_log, (std::vector<std::string>{"create framework-test", "run", "frame deleted", "exit"}));
}

TEST_F(FrameworkTest, IdlePassesCountUpUntilAMessageEndsIdlenessAndTheQuitCodeIsReturned) {
  static TestApp* running;
  running = &app;
  app.onIdle = [](LONG count) {
    // A paint does not end idleness; a command does; the quit ends the loop.
    const size_t passes = running->idleCounts.size();
    if (passes == 3) PostMessageA(nullptr, WM_PAINT, 0, 0);
    if (passes == 4) PostMessageA(nullptr, WM_COMMAND, 9, 0);
    if (passes == 6) PostQuitMessage(7);
    (void)count;
  };
  EXPECT_EQ(app.Run(), 7);
  EXPECT_EQ(app.idleCounts, (std::vector<LONG>{0, 1, 2, 3, 0, 1}));
}

TEST_F(FrameworkTest, AFailedStartUpDestroysTheMainWindowAndSkipsTheRunLoop) {
  app.initResult = FALSE;
  DerivedFrame* frame = LoadMain();
  ASSERT_NE(frame, nullptr);
  HWND hwnd = frame->m_hWnd;
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, nullptr, SW_SHOW), 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(g_log, (std::vector<std::string>{"create framework-test", "init", "frame deleted", "exit"}));
}

}  // namespace
