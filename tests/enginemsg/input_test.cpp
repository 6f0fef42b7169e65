// Window input reaching the engine: mouse mapping into back-buffer space, the button and key
// handlers, and what the size messages do to the engine.
#include "enginemsg_support.h"

namespace enginemsg {
namespace {

TEST_F(EngineMsgTest, MouseMovesMapIntoTheBackBufferByBoundsMode) {
  struct Case {
    int mode, clientW, clientH, x, y;
    SScreenPoint expected;
  };
  const Case cases[] = {
      {0, 1000, 750, 500, 375, {400, 300}},  // stretched
      {0, 720, 540, 719, 539, {798, 598}},   // products truncate
      {0, 1000, 750, -10, -5, {-8, -4}},     // held outside the window: left of and above it
      {1, 400, 300, 100, 50, {100, 50}},     // top-left, cut: source from the same corner
      {4, 400, 300, 100, 50, {500, 350}},    // bottom-right, cut
      {1, 1000, 750, 500, 375, {500, 375}},  // unscaled at the top-left corner
      {4, 1000, 750, 500, 375, {300, 225}},  // unscaled, 200 x 150 into the client area
      {6, 1000, 600, 500, 300, {400, 300}},  // kept 4:3 in the middle, 100 in from the left
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " client " << c.clientW << "x" << c.clientH);
    engine->m_nBoundsMode = c.mode;
    SetClientSize(c.clientW, c.clientH);
    engine->UpdateBounds();  // the mode may change at an unchanged size
    engine->calls.clear();
    zqInjectMouse(wnd, WM_MOUSEMOVE, c.x, c.y, MK_SHIFT);
    Pump();
    ASSERT_EQ(engine->Names(), std::vector<std::string>{"move"});
    EXPECT_EQ(engine->calls[0].a, (UINT)MK_SHIFT);
    EXPECT_EQ(engine->calls[0].point, c.expected);
  }
}

TEST_F(EngineMsgTest, ButtonsReportTheLastMovePointAndAReleaseOutsideArrives) {
  Start();
  SetClientSize(1000, 750);
  // No move yet: the press reports (0, 0).
  zqInjectMouse(wnd, WM_LBUTTONDOWN, 300, 200, MK_LBUTTON);
  Pump();
  ASSERT_EQ(engine->Names(), std::vector<std::string>{"ldown"});
  EXPECT_EQ(engine->calls[0].point, SScreenPoint(0, 0));
  EXPECT_EQ(engine->calls[0].a, (UINT)MK_LBUTTON);

  // Dragged out of the window and released there: the release still comes, at the last move.
  zqInjectMouse(wnd, WM_MOUSEMOVE, 1100, 200, MK_LBUTTON);
  zqInjectMouse(wnd, WM_LBUTTONUP, 1100, 200, 0);
  zqInjectMouse(wnd, WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
  zqInjectMouse(wnd, WM_RBUTTONUP, 10, 10, 0);
  zqInjectMouse(wnd, WM_MOUSEWHEEL, 10, 10, MAKEWPARAM(0, WHEEL_DELTA));
  Pump();
  EXPECT_EQ(engine->Names(), (std::vector<std::string>{"ldown", "move", "lup", "rdown", "rup"}));
  EXPECT_EQ(engine->calls[2].point, SScreenPoint(880, 160));
  EXPECT_EQ(engine->calls[4].point, SScreenPoint(880, 160));  // buttons never move the point
}

TEST_F(EngineMsgTest, DoubleClicksReachTheirHandlers) {
  Start();
  engine->MsgProc(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  engine->MsgProc(WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(engine->Names(), (std::vector<std::string>{"ldbl", "rdbl"}));
}

TEST_F(EngineMsgTest, AWindowShowingNothingKeepsTheMousePoint) {
  Start();
  zqInjectMouse(wnd, WM_MOUSEMOVE, 360, 270, 0);
  Pump();
  ASSERT_EQ(engine->GetMousePoint(), SScreenPoint(400, 300));
  SetClientSize(0, 0);
  ASSERT_EQ(engine->GetDestRect().width(), 0);
  engine->calls.clear();
  zqInjectMouse(wnd, WM_MOUSEMOVE, 0, 0, 0);
  Pump();
  ASSERT_EQ(engine->Names(), std::vector<std::string>{"move"});
  EXPECT_EQ(engine->calls[0].point, SScreenPoint(400, 300));
}

TEST_F(EngineMsgTest, KeysArriveSignExtendedWithRepeatCountAndFlags) {
  struct Case {
    UINT message, wParam;
    long lParam;
    const char* handler;
    UINT key, repeat, flags;
  };
  const Case cases[] = {
      {WM_KEYDOWN, 0xBB, 0x000D0003, "keydown", 0xFFFFFFBBu, 3, 0x000D},
      {WM_KEYUP, 'A', (long)0xC01E0001, "keyup", 'A', 1, 0xC01E},
      {WM_CHAR, 0x1B5, 0x00100002, "char", 0xFFFFFFB5u, 2, 0x0010},  // only the low byte counts
      {WM_CHAR, 'a', 0x001E0001, "char", 'a', 1, 0x001E},
  };
  Start();
  for (const Case& c : cases) {
    engine->calls.clear();
    engine->MsgProc(c.message, c.wParam, c.lParam);
    ASSERT_EQ(engine->calls.size(), 1u);
    EXPECT_EQ(engine->calls[0].name, c.handler);
    EXPECT_EQ(engine->calls[0].a, c.key);
    EXPECT_EQ(engine->calls[0].b, c.repeat);
    EXPECT_EQ(engine->calls[0].c, c.flags);
  }
  // The same through the window's queue.
  engine->calls.clear();
  zqInjectKey(wnd, WM_KEYDOWN, VK_OEM_PLUS, 1);
  Pump();
  ASSERT_FALSE(engine->calls.empty());
  EXPECT_EQ(engine->calls[0].name, "keydown");
  EXPECT_EQ(engine->calls[0].a, 0xFFFFFFBBu);
  EXPECT_EQ(engine->calls[0].b, 1u);
}

TEST_F(EngineMsgTest, MinimisingDeactivatesAndMovesUpdateTheBounds) {
  Start();
  ASSERT_EQ(engine->IsActive(), 1);
  zqInjectMinimize(wnd, TRUE);
  Pump();
  EXPECT_EQ(engine->IsActive(), 0);
  zqInjectMinimize(wnd, FALSE);
  Pump();
  EXPECT_EQ(engine->IsActive(), 1);
  engine->MsgProc(WM_SIZE, SIZE_MAXHIDE, 0);
  EXPECT_EQ(engine->IsActive(), 0);
  engine->MsgProc(WM_SIZE, SIZE_MAXIMIZED, 0);
  EXPECT_EQ(engine->IsActive(), 1);

  MoveWindow(wnd, 50, 40, 728, 567, TRUE);
  Pump();
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  EXPECT_EQ(engine->GetClientRect(), SScreenRect(origin.x, origin.y, origin.x + 720, origin.y + 540));
  EXPECT_EQ(engine->GetDestRect(), engine->GetClientRect());
}

TEST_F(EngineMsgTest, SizeLimitsKeepTheClientAreaBetweenThreeAndFiveQuarters) {
  Start();
  MINMAXINFO mmi{};
  SendMessageA(wnd, WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
  // Frame 4, caption 19, menu 19: one menu line leaves 600x450 to 1000x750 inside.
  EXPECT_EQ(mmi.ptMinTrackSize.x, 608);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 496);
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 1008);
  EXPECT_EQ(mmi.ptMaxTrackSize.y, 796);

  engine->m_bFullscreen = 1;
  MINMAXINFO untouched{};
  untouched.ptMinTrackSize = POINT{1, 2};
  SendMessageA(wnd, WM_GETMINMAXINFO, 0, (LPARAM)&untouched);
  EXPECT_EQ(untouched.ptMinTrackSize.x, 1);
  EXPECT_EQ(untouched.ptMaxTrackSize.x, 0);
  engine->m_bFullscreen = 0;
}

TEST_F(EngineMsgTest, PaintPresentsUnlessAVideoPlays) {
  Start();
  const DWORD before = zqDisplayPresentCount(wnd);
  engine->MsgProc(WM_PAINT, 0, 0);
  EXPECT_EQ(zqDisplayPresentCount(wnd), before + 1);
  {
    CZqMedia video(engine);
    engine->SetPlayVideo(&video);
    engine->MsgProc(WM_PAINT, 0, 0);
    EXPECT_EQ(zqDisplayPresentCount(wnd), before + 1);
    engine->SetPlayVideo(nullptr);
  }
}

}  // namespace
}  // namespace enginemsg
