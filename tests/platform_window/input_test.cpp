#include "window_fixture.h"

TEST_F(WindowTest, KeysTranslateToCharacters) {
  HWND w = create();
  struct Case {
    std::vector<UINT> held;
    UINT vk;
    int ch;  // 0: no WM_CHAR
  } cases[] = {
      {{}, 'A', 'a'},        {{VK_SHIFT}, 'A', 'A'}, {{}, '1', '1'},         {{VK_SHIFT}, '1', '!'},
      {{}, VK_SPACE, ' '},   {{}, VK_RETURN, '\r'},  {{}, VK_OEM_PLUS, '='}, {{VK_CONTROL}, 'C', 3},
      {{}, VK_NUMPAD7, '7'}, {{}, VK_F5, 0},         {{}, VK_LEFT, 0},
  };
  for (const Case& c : cases) {
    log().clear();
    for (UINT k : c.held) zqInjectKey(w, WM_KEYDOWN, k, 1);
    zqInjectKey(w, WM_KEYDOWN, c.vk, 1);
    zqInjectKey(w, WM_KEYUP, c.vk, 1);
    for (UINT k : c.held) zqInjectKey(w, WM_KEYUP, k, 1);
    drain();
    auto chars = seen(WM_CHAR);
    if (c.ch) {
      ASSERT_EQ(chars.size(), 1u) << c.vk;
      EXPECT_EQ(chars[0].wParam, WPARAM(c.ch)) << c.vk;
    } else {
      EXPECT_TRUE(chars.empty()) << c.vk;
    }
  }
  // WM_CHAR follows its key-down before the next input.
  log().clear();
  zqInjectKey(w, WM_KEYDOWN, 'B', 1);
  zqInjectKey(w, WM_KEYUP, 'B', 1);
  drain();
  std::vector<UINT> order;
  for (auto& m : log())
    if (m.msg == WM_KEYDOWN || m.msg == WM_CHAR || m.msg == WM_KEYUP) order.push_back(m.msg);
  EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(WindowTest, KeyMessagesCarryRepeatScanAndTransition) {
  HWND w = create();
  zqInjectKey(w, WM_KEYDOWN, 'A', 1);
  zqInjectKey(w, WM_KEYDOWN, 'A', 3);  // held: auto-repeat
  zqInjectKey(w, WM_KEYUP, 'A', 1);
  zqInjectKey(w, WM_KEYDOWN, 0xBB, 1);
  drain();
  auto downs = seen(WM_KEYDOWN);
  auto ups = seen(WM_KEYUP);
  ASSERT_EQ(downs.size(), 3u);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(downs[0].wParam, WPARAM('A'));
  EXPECT_EQ(DWORD(downs[0].lParam), 0x001E0001u);  // scan code 0x1E, first press
  EXPECT_EQ(DWORD(downs[1].lParam), 0x401E0003u);  // repeat count 3, was down
  EXPECT_EQ(DWORD(ups[0].lParam), 0xC01E0001u);
  EXPECT_EQ(downs[2].wParam, WPARAM(0xBB));
  EXPECT_LT(GetKeyState(0xBB), 0);
  EXPECT_GE(GetKeyState('A'), 0);
}

TEST_F(WindowTest, MouseFlagsCoordinatesAndDoubleClicksOnlyWithClassStyle) {
  HWND plain = create();
  HWND dbl = create(WS_OVERLAPPEDWINDOW, "ZqTestDbl");
  for (HWND w : {plain, dbl}) {
    zqInjectMouse(w, WM_MOUSEMOVE, 300, 200, 0);
    zqInjectMouse(w, WM_LBUTTONDOWN, 300, 200, MK_LBUTTON);
    zqInjectMouse(w, WM_LBUTTONUP, 300, 200, 0);
    zqAdvanceClock(200);
    zqInjectMouse(w, WM_LBUTTONDOWN, 301, 200, MK_LBUTTON | MK_SHIFT);
    zqInjectMouse(w, WM_LBUTTONUP, 301, 200, 0);
    zqAdvanceClock(1000);  // too late for a double click
    zqInjectMouse(w, WM_LBUTTONDOWN, 301, 200, MK_LBUTTON);
    zqInjectMouse(w, WM_LBUTTONDBLCLK, 301, 200, MK_LBUTTON);
  }
  drain();
  auto kinds = [&](HWND w) {
    std::vector<UINT> r;
    for (auto& m : log())
      if (m.hwnd == w && (m.msg == WM_LBUTTONDOWN || m.msg == WM_LBUTTONDBLCLK)) r.push_back(m.msg);
    return r;
  };
  EXPECT_EQ(kinds(plain),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(kinds(dbl),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  auto moves = seen(WM_MOUSEMOVE);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 300);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 200);
  auto downs = seen(WM_LBUTTONDOWN);
  EXPECT_EQ(downs[1].wParam, WPARAM(MK_LBUTTON | MK_SHIFT));
  // The cursor hit test and shape are asked before mouse input reaches the window.
  EXPECT_FALSE(seen(WM_SETCURSOR).empty());
  POINT p;
  GetCursorPos(&p);
  POINT c{301, 200};
  ClientToScreen(dbl, &c);
  EXPECT_EQ(p.x, c.x);
  EXPECT_EQ(p.y, c.y);
}

TEST_F(WindowTest, RightButtonUpRaisesContextMenuAtScreenPoint) {
  HWND w = create();
  zqInjectMouse(w, WM_RBUTTONDOWN, 40, 50, MK_RBUTTON);
  zqInjectMouse(w, WM_RBUTTONUP, 40, 50, 0);
  drain();
  auto cm = seen(WM_CONTEXTMENU);
  ASSERT_EQ(cm.size(), 1u);
  POINT p{40, 50};
  ClientToScreen(w, &p);
  EXPECT_EQ(cm[0].wParam, reinterpret_cast<WPARAM>(w));
  EXPECT_EQ(GET_X_LPARAM(cm[0].lParam), p.x);
  EXPECT_EQ(GET_Y_LPARAM(cm[0].lParam), p.y);
}

TEST_F(WindowTest, AcceleratorsBecomeCommands) {
  HWND w = create();
  ACCEL table[] = {{FVIRTKEY | FCONTROL, 'P', 40001}, {FVIRTKEY, VK_F2, 40002}};
  zqRegisterAcceleratorResource(101, table, 2);
  HACCEL acc = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(101));
  ASSERT_NE(acc, nullptr);
  EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(102)), nullptr);
  zqInjectKey(w, WM_KEYDOWN, 'P', 1);  // without Ctrl: no command
  zqInjectKey(w, WM_KEYDOWN, VK_CONTROL, 1);
  zqInjectKey(w, WM_KEYDOWN, 'P', 1);
  zqInjectKey(w, WM_KEYUP, VK_CONTROL, 1);
  zqInjectKey(w, WM_KEYDOWN, VK_F2, 1);
  MSG m;
  int translated = 0;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
    if (TranslateAcceleratorA(w, acc, &m))
      ++translated;
    else
      DispatchMessageA(&m);
  auto cmds = seen(WM_COMMAND);
  ASSERT_EQ(cmds.size(), 2u);
  EXPECT_EQ(cmds[0].wParam, MAKEWPARAM(40001, 1));
  EXPECT_EQ(cmds[1].wParam, MAKEWPARAM(40002, 1));
  EXPECT_EQ(translated, 2);
  EXPECT_TRUE(DestroyAcceleratorTable(acc));
}
