// Message boxes, activation, minimising and closing, as the window system reports them.
#include "window_fixture.h"

TEST_F(WindowTest, MessageBoxesAreRecordedAndAnswered) {
  HWND w = create();
  struct Case {
    UINT flags;
    int answer;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
      {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MessageBoxA(w, "\xD6\xD0\xCE\xC4", "cap", c.flags), c.answer) << c.flags;
  auto boxes = zqRecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), std::size(cases));
  EXPECT_EQ(boxes[0].text, "\xD6\xD0\xCE\xC4");  // GBK bytes as passed
  EXPECT_EQ(boxes[0].caption, "cap");
  EXPECT_EQ(boxes[0].owner, w);
  EXPECT_EQ(boxes[3].flags, UINT(MB_YESNO | MB_DEFBUTTON2));

  zqClearRecordedMessageBoxes();
  zqQueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "again?", nullptr, MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "again?", nullptr, MB_YESNO), IDYES);  // queue used up
  boxes = zqRecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Error");  // no caption given
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(WindowTest, ActivationFollowsShowFocusAndMinimise) {
  static std::vector<BOOL> heard;
  heard.clear();
  auto listener = [](void*, BOOL a) { heard.push_back(a); };
  zqAddActivationListener(listener, nullptr);
  auto appActivations = [] {
    std::vector<WPARAM> r;
    for (auto& m : seen(WM_ACTIVATEAPP)) r.push_back(m.wParam);
    return r;
  };

  HWND w = create();
  EXPECT_TRUE(appActivations().empty());  // not before it is shown
  ShowWindow(w, SW_SHOW);
  EXPECT_EQ(appActivations(), (std::vector<WPARAM>{TRUE}));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);

  zqInjectActivation(FALSE);  // another application takes the focus
  zqInjectActivation(FALSE);  // reported once only
  zqInjectActivation(TRUE);
  EXPECT_EQ(appActivations(), (std::vector<WPARAM>{TRUE, FALSE, TRUE}));
  EXPECT_EQ(GetActiveWindow(), w);

  drain();  // the first paint
  log().clear();
  zqInjectMinimize(w, TRUE);
  EXPECT_TRUE(IsIconic(w));
  auto sizes = seen(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_MINIMIZED));
  EXPECT_EQ(appActivations(), (std::vector<WPARAM>{FALSE}));  // minimised: inactive
  drain();
  EXPECT_TRUE(seen(WM_PAINT).empty());  // nothing to paint while minimised

  log().clear();
  zqInjectMinimize(w, FALSE);
  EXPECT_FALSE(IsIconic(w));
  sizes = seen(WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_RESTORED));
  EXPECT_EQ(LOWORD(sizes[0].lParam), 720);  // 728x567 outside
  EXPECT_EQ(HIWORD(sizes[0].lParam), 540);
  EXPECT_EQ(appActivations(), (std::vector<WPARAM>{TRUE}));
  drain();
  EXPECT_EQ(seen(WM_PAINT).size(), 1u);  // restored: repainted

  EXPECT_EQ(heard, (std::vector<BOOL>{TRUE, FALSE, TRUE, FALSE, TRUE}));
  zqRemoveActivationListener(listener, nullptr);
  zqInjectActivation(FALSE);
  EXPECT_EQ(heard.size(), 5u);
}

namespace {
bool g_allowClose = false;
LRESULT CALLBACK GuardedProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CLOSE && !g_allowClose) return 0;  // "are you sure?" said no
  return WindowTest::LoggingProcFor(h, m, w, l);
}
}  // namespace

TEST_F(WindowTest, CloseArrivesAsQueuedCommandAndDestroysByDefault) {
  HWND w = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  drain();
  log().clear();
  zqInjectClose(w);
  EXPECT_TRUE(IsWindow(w));  // posted: nothing happens inside the call
  drain();
  ASSERT_FALSE(seen(WM_SYSCOMMAND).empty());
  EXPECT_EQ(seen(WM_SYSCOMMAND)[0].wParam, WPARAM(SC_CLOSE));
  EXPECT_EQ(seen(WM_CLOSE).size(), 1u);
  EXPECT_EQ(seen(WM_DESTROY).size(), 1u);
  EXPECT_FALSE(IsWindow(w));

  WNDCLASSA wc{};
  wc.lpfnWndProc = GuardedProc;
  wc.lpszClassName = "ZqGuarded";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND g = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, "ZqGuarded");
  g_allowClose = false;
  zqInjectClose(g);
  drain();
  EXPECT_TRUE(IsWindow(g));
  g_allowClose = true;
  zqInjectClose(g);
  drain();
  EXPECT_FALSE(IsWindow(g));
}
