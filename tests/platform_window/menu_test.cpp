#include "window_fixture.h"

namespace {

// File (popup: Open 100, Sound 101, separator, Exit 102), Help 200.
HMENU makeBar() {
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 100, "&Open");
  AppendMenuA(file, MF_STRING | MF_CHECKED, 101, "&Sound");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, 102, "E&xit");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_STRING, 200, "&Help");
  return bar;
}

std::string text(HMENU m, UINT item, UINT flags) {
  char buf[64] = "unchanged";
  GetMenuStringA(m, item, buf, sizeof buf, flags);
  return buf;
}

}  // namespace

TEST_F(WindowTest, MenuResourceLoadsFreshCopiesThatCheckGreyAndRename) {
  HMENU bar = makeBar();
  zqRegisterMenuResource(130, bar);
  DestroyMenu(bar);
  HMENU a = LoadMenuA(nullptr, MAKEINTRESOURCEA(130));
  HMENU b = LoadMenuA(nullptr, MAKEINTRESOURCEA(130));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(a, b);
  EXPECT_EQ(LoadMenuA(nullptr, MAKEINTRESOURCEA(131)), nullptr);
  EXPECT_EQ(GetMenuItemCount(a), 2);
  HMENU file = GetSubMenu(a, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetMenuItemID(file, 3), 102u);
  EXPECT_EQ(GetMenuItemID(a, 0), UINT(-1));  // a popup has no command

  // By command, the search reaches into the popups; the result is the previous state.
  EXPECT_EQ(CheckMenuItem(a, 101, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(a, 100, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(a, 999, MF_BYCOMMAND | MF_CHECKED), DWORD(-1));
  EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
  EXPECT_EQ(EnableMenuItem(a, 102, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(GetMenuState(a, 102, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(a, 102, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));

  EXPECT_TRUE(ModifyMenuA(a, 200, MF_BYCOMMAND | MF_STRING, 201, "&About"));
  EXPECT_EQ(text(a, 201, MF_BYCOMMAND), "&About");
  EXPECT_EQ(text(a, 200, MF_BYCOMMAND), "unchanged");  // the old id is gone
  char small[4];
  EXPECT_EQ(GetMenuStringA(file, 102, small, sizeof small, MF_BYCOMMAND), 3);
  EXPECT_STREQ(small, "E&x");  // cut to the buffer and terminated

  // The copy loaded earlier is untouched by changes to the other one.
  EXPECT_EQ(GetMenuState(b, 101, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  EXPECT_EQ(text(b, 200, MF_BYCOMMAND), "&Help");
  EXPECT_TRUE(DestroyMenu(a));
  EXPECT_FALSE(IsMenu(file));  // its popups go with it
  EXPECT_FALSE(DestroyMenu(a));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
  DestroyMenu(b);
}

TEST_F(WindowTest, MenuItemReplacedByPopupAndRemoved) {
  HMENU bar = makeBar();
  HMENU games = CreatePopupMenu();
  AppendMenuA(games, MF_STRING, 300, "Game 1");
  AppendMenuA(games, MF_STRING, 301, "Game 2");
  ASSERT_TRUE(ModifyMenuA(bar, 200, MF_BYCOMMAND | MF_POPUP, reinterpret_cast<UINT_PTR>(games), "&Games"));
  EXPECT_EQ(GetSubMenu(bar, 1), games);
  EXPECT_EQ(text(bar, 1, MF_BYPOSITION), "&Games");
  EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION) & MF_POPUP, UINT(MF_POPUP));
  EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION) >> 8, 2u);  // items in the popup
  EXPECT_EQ(text(bar, 301, MF_BYCOMMAND), "Game 2");
  // Replacing the popup by a plain item again destroys the popup.
  ASSERT_TRUE(ModifyMenuA(bar, 1, MF_BYPOSITION | MF_STRING, 200, "&Help"));
  EXPECT_FALSE(IsMenu(games));
  EXPECT_EQ(GetMenuItemID(bar, 1), 200u);

  EXPECT_TRUE(InsertMenuA(bar, 1, MF_BYPOSITION | MF_STRING, 150, "&Options"));
  EXPECT_EQ(GetMenuItemID(bar, 1), 150u);
  EXPECT_TRUE(DeleteMenu(bar, 102, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 3);
  EXPECT_FALSE(DeleteMenu(bar, 102, MF_BYCOMMAND));
  EXPECT_FALSE(ModifyMenuA(bar, 9, MF_BYPOSITION, 1, "x"));
  DestroyMenu(bar);
}

TEST_F(WindowTest, WindowMenuAndTrackedPopups) {
  HWND w = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  RECT before;
  GetClientRect(w, &before);
  HMENU bar = makeBar();
  ASSERT_TRUE(SetMenu(w, bar));
  EXPECT_EQ(GetMenu(w), bar);
  RECT after;
  GetClientRect(w, &after);
  EXPECT_EQ(after.bottom, before.bottom - GetSystemMetrics(SM_CYMENU));  // the bar takes a line

  log().clear();
  HMENU file = GetSubMenu(bar, 0);
  EXPECT_EQ(TrackPopupMenu(file, TPM_RIGHTBUTTON, 120, 140, 0, w, nullptr), FALSE);  // nothing chosen
  auto t = zqTrackedPopupMenus();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].menu, file);
  EXPECT_EQ(t[0].flags, UINT(TPM_RIGHTBUTTON));
  EXPECT_EQ(t[0].x, 120);
  EXPECT_EQ(t[0].y, 140);
  EXPECT_EQ(t[0].owner, w);
  auto init = seen(WM_INITMENUPOPUP);
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(init[0].wParam, reinterpret_cast<WPARAM>(file));
  EXPECT_TRUE(seen(WM_COMMAND).empty());
  EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(0x42), 0, 0, 0, 0, w, nullptr));
  EXPECT_EQ(zqTrackedPopupMenus().size(), 1u);
  zqClearTrackedPopupMenus();
  EXPECT_TRUE(zqTrackedPopupMenus().empty());

  DestroyWindow(w);
  EXPECT_FALSE(IsMenu(bar));  // the window's menu is destroyed with it
}
