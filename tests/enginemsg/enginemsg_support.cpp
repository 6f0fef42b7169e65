#include "enginemsg_support.h"

namespace enginemsg {

LRESULT CALLBACK EngineMsgTest::WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (s_engine) s_engine->MsgProc(m, (UINT)w, (long)l);
  return DefWindowProcA(h, m, w, l);
}

void EngineMsgTest::SetUp() {
  zqDisplaySetDesktopMode(0, 0, 0, 0);
  // 728x567 outside is a 720x540 client area.
  wnd = OpenEngineWindow("msg", 728, 567, 100000, &EngineMsgTest::WndProc);
  app = new PassApp();
  ASSERT_EQ(app->InitApp(wnd), 1);
}

void EngineMsgTest::TearDown() {
  s_engine = nullptr;
  delete engine;
  delete app;
  zqDisplaySetDesktopMode(0, 0, 0, 0);
  CloseEngineWindow();
}

void EngineMsgTest::Start(bool withPopup) {
  engine = new MsgEngine();
  if (withPopup) {
    RegisterPopup();
    engine->m_idPopupMenu = kPopupId;
  }
  engine->m_idSingleStep = kSingleStep;
  engine->m_idStep = kStep;
  engine->m_idModeSwitch = kModeSwitch;
  engine->m_idPause = kPause;
  engine->m_idNoEffect = kGdiWindow;
  ASSERT_EQ(engine->InitEngine(wnd, 800, 600, 0), 0);
  s_engine = engine;
  Pump();
  engine->calls.clear();
}

void EngineMsgTest::SetClientSize(int w, int h) { MoveWindow(wnd, 0, 0, w + 8, h + 27, TRUE); }

void EngineMsgTest::Pump() {
  MSG m{};
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void EngineMsgTest::RegisterPopup() {
  HMENU bar = CreateMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, kSingleStep, "Single step");
  AppendMenuA(sub, MF_STRING, kStep, "Step");
  AppendMenuA(sub, MF_STRING, kModeSwitch, "Switch mode");
  AppendMenuA(sub, MF_STRING, kPause, "Pause");
  AppendMenuA(sub, MF_STRING, kGdiWindow, "GDI window");
  AppendMenuA(sub, MF_STRING, ZQ_MENU_WINDOWED, "Windowed mode");
  SDxDeviceInfo* device = app->GetDxDeviceInfoPtr();
  for (DWORD i = 0; device && i < device->dwNumModes; ++i)
    AppendMenuA(sub, MF_STRING, ZQ_MENU_MODE_BASE + i, "mode");
  AppendMenuA(bar, MF_POPUP, (UINT_PTR)sub, "Engine");
  zqRegisterMenuResource(kPopupId, bar);
  DestroyMenu(bar);
}

std::string EngineMsgTest::ItemText(HMENU menu, UINT id) const {
  char text[256] = {};
  GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
  return text;
}

}  // namespace enginemsg
