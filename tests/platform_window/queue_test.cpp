#include "window_fixture.h"

TEST_F(WindowTest, RetrievalOrderPostedInputQuitPaintTimer) {
  HWND w = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  drain();  // the first paint
  SetTimer(w, 7, 100, nullptr);
  zqAdvanceClock(350);  // three periods pass: one WM_TIMER
  InvalidateRect(w, nullptr, FALSE);
  PostQuitMessage(3);
  zqInjectMouse(w, WM_MOUSEMOVE, 5, 6, 0);
  PostMessageA(w, WM_USER + 1, 11, 22);
  PostMessageA(w, WM_USER + 2, 0, 0);
  MSG m;
  std::vector<UINT> order;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(m.message);
    if (m.message == WM_QUIT) {
      EXPECT_EQ(m.wParam, 3u);
    }
    if (m.message == WM_TIMER) {
      EXPECT_EQ(m.wParam, 7u);
    }
    if (m.message != WM_QUIT) DispatchMessageA(&m);
  }
  std::vector<UINT> want{WM_USER + 1, WM_USER + 2, WM_MOUSEMOVE, WM_QUIT, WM_PAINT, WM_TIMER};
  EXPECT_EQ(order, want);
  // The next tick is one period after the one taken, not a backlog.
  zqAdvanceClock(99);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  zqAdvanceClock(1);
  EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
}

TEST_F(WindowTest, PostedIsLaterSentIsAtOnceNoRemoveKeeps) {
  HWND w = create();
  log().clear();
  PostMessageA(w, WM_USER, 1, 2);
  EXPECT_TRUE(seen(WM_USER).empty());  // never inside the call that posts it
  EXPECT_EQ(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(seen(WM_GETTEXTLENGTH).size(), 1u);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(m.lParam, 2);
  EXPECT_EQ(m.hwnd, w);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, TimersKilledReplacedAndThreadTimersWithProcedures) {
  HWND w = create();
  EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
  SetTimer(w, 1, 500, nullptr);  // replaces
  zqAdvanceClock(200);
  EXPECT_TRUE(drain().empty());
  static int calls = 0;
  calls = 0;
  UINT_PTR t = SetTimer(nullptr, 0, 50, [](HWND, UINT msg, UINT_PTR, DWORD) {
    EXPECT_EQ(msg, UINT(WM_TIMER));
    ++calls;
  });
  EXPECT_NE(t, 0u);
  zqAdvanceClock(50);
  drain();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(KillTimer(nullptr, t));
  EXPECT_FALSE(KillTimer(nullptr, t));
  EXPECT_TRUE(KillTimer(w, 1));
  zqAdvanceClock(10000);
  EXPECT_TRUE(drain().empty());
  EXPECT_EQ(calls, 1);
  SetTimer(w, 2, 10, nullptr);
  DestroyWindow(w);  // takes its timers along
  zqAdvanceClock(100);
  EXPECT_TRUE(drain().empty());
}

TEST_F(WindowTest, GetMessageHeadlessWaitsForTimersAndNeverHangs) {
  HWND w = create();
  drain();
  SetTimer(w, 9, 250, nullptr);
  MSG m;
  DWORD before = timeGetTime();
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
  EXPECT_EQ(timeGetTime() - before, 250u);  // the manual clock moved to the tick
  KillTimer(w, 9);
  // Nothing can arrive any more: WM_QUIT instead of blocking for ever.
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_QUIT));
  PostQuitMessage(5);
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.wParam, 5u);
  PostMessageA(w, WM_USER, 0, 0);
  EXPECT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_USER));
}

TEST_F(WindowTest, PaintRepeatsUntilHandled) {
  HWND w = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_PAINT));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // not dispatched: still due
  EXPECT_EQ(m.message, UINT(WM_PAINT));
  DispatchMessageA(&m);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  InvalidateRect(w, nullptr, TRUE);
  UpdateWindow(w);  // paints at once
  EXPECT_EQ(seen(WM_PAINT).size(), 2u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  ShowWindow(w, SW_HIDE);
  InvalidateRect(w, nullptr, TRUE);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // hidden windows are not painted
}
