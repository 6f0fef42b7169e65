// The older build's exclusive full screen, headless: the mode switch into it and back, the flips,
// the refused resize, the hidden cursor and swallowed system commands, the GDI window over the
// flipping display and the stereo passes a subclass can force.
#include <cmath>

#include "older_fixture.h"

namespace oldertest {
namespace {

TEST_F(FullScreenTest, TheModeSwitchTakesTheScreenAtTheChosenModeAndGivesTheWindowBack) {
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "Game");
  SetMenu(wnd, menu);
  RestartApp();  // the application's window menu is the window's
  ASSERT_TRUE(ChooseMode(640, 480, 32));
  Start();
  const DWORD style = DWORD(GetWindowLongA(wnd, GWL_STYLE));
  const RECT placed = WindowRect(wnd);
  const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_EQ(engine->IsFullscreen(), 0);
  ASSERT_EQ(device->bWindowed, 1);

  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 1);
  EXPECT_EQ(device->bWindowed, 0);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), 0x92080000u);
  EXPECT_EQ(GetMenu(wnd), nullptr);
  EXPECT_TRUE(Same(WindowRect(wnd), RECT{0, 0, 640, 480}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(engine->GetRenderWidth(), 640u);
  EXPECT_EQ(engine->GetRenderHeight(), 480u);
  ZqDisplayFullscreenState fs = State();
  EXPECT_EQ(fs.window, wnd);
  EXPECT_EQ(fs.cooperativeFlags,
            DWORD(DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_FPUSETUP));
  EXPECT_EQ(fs.width, 640u);
  EXPECT_EQ(fs.height, 480u);
  EXPECT_EQ(fs.bitsPerPixel, 32u);
  EXPECT_TRUE(fs.exclusiveMode);

  // A frame is flipped, waiting, and fills the screen.
  engine->_RenderEngine();
  ASSERT_EQ(engine->Present(), 0);
  fs = State();
  EXPECT_EQ(fs.flips, 1u);
  EXPECT_EQ(fs.lastFlipFlags, DWORD(DDFLIP_WAIT));
  int w = 0, h = 0;
  const DWORD* frame = zqDisplayPresentedFrame(wnd, &w, &h);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(frame[479 * 640 + 639], 0x0000FF00u);

  // No resizing in full screen: the buffers stay as they are.
  EXPECT_EQ(engine->Resize(800, 600), (long)ZQERR_FULLSCREENRESIZE);
  EXPECT_EQ(engine->GetRenderWidth(), 640u);
  EXPECT_EQ(engine->Present(), 0);
  EXPECT_EQ(State().flips, 2u);

  // Back: style, menu and place as they were (and shown), the windowed back buffer, the desktop.
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 0);
  EXPECT_EQ(device->bWindowed, 1);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), style | WS_VISIBLE);
  EXPECT_EQ(GetMenu(wnd), menu);
  EXPECT_TRUE(Same(WindowRect(wnd), placed));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), desktopWidth);
  EXPECT_FALSE(zqDisplayGetFullscreenState(&fs));
  EXPECT_EQ(engine->GetRenderWidth(), 800u);
  EXPECT_EQ(engine->GetRenderHeight(), 600u);
  const DWORD presents = zqDisplayPresentCount(wnd);
  EXPECT_EQ(engine->Present(), 0);
  EXPECT_EQ(zqDisplayPresentCount(wnd), presents + 1);
  EXPECT_EQ(engine->Resize(640, 480), 0);  // windowed, this build sizes the back buffer as asked
  EXPECT_EQ(engine->GetRenderWidth(), 640u);

  // Twice more: the window it comes back to is still the first one.
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 1);
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), style | WS_VISIBLE);
  EXPECT_TRUE(Same(WindowRect(wnd), placed));
  EXPECT_EQ(engine->GetRenderWidth(), 640u);
}

TEST_F(FullScreenTest, ARecordNotWindowedStartsInFullScreenWhereCursorAndSystemMovesAreHeld) {
  ASSERT_TRUE(ChooseMode(800, 600, 32));
  device->bWindowed = 0;
  Start();
  ASSERT_EQ(engine->IsFullscreen(), 1);
  EXPECT_EQ(State().width, 800u);
  // The mouse maps one to one onto the back buffer.
  engine->MsgProc(WM_MOUSEMOVE, 0, MAKELPARAM(799, 300));
  EXPECT_EQ(engine->GetMousePoint().x, 799);
  EXPECT_EQ(engine->GetMousePoint().y, 300);

  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(SendMessageA(wnd, WM_SETCURSOR, (WPARAM)wnd, HTCLIENT), 1);
  EXPECT_EQ(GetCursor(), nullptr);
  for (UINT command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_MONITORPOWER, SC_MOVE | 2})
    EXPECT_EQ(engine->MsgProc(WM_SYSCOMMAND, command, 0), 1) << std::hex << command;
  EXPECT_EQ(engine->MsgProc(WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);

  // A mode chosen from the menu meanwhile: the switch rebuilds there instead of leaving.
  ASSERT_TRUE(ChooseMode(640, 480, 32));
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 1);
  EXPECT_EQ(State().width, 640u);
  EXPECT_EQ(engine->GetRenderWidth(), 640u);
  EXPECT_EQ(Command(kModeSwitch), 0);
  EXPECT_EQ(engine->IsFullscreen(), 0);
}

TEST_F(FullScreenTest, TheGdiWindowItemShowsTheWindowOverTheFlipsOnlyInFullScreen) {
  for (BOOL rendersWindowed : {TRUE, FALSE}) {
    SCOPED_TRACE(rendersWindowed);
    ZqDisplayDriver driver;
    zqDisplayDefaultDriver(&driver);
    ZqDisplayDevice rasterizer;
    zqDisplayDefaultDevice(&rasterizer);
    DDSURFACEDESC2 modes[3];
    zqDisplayMakeMode(&modes[0], 640, 480, 32, 60);
    zqDisplayMakeMode(&modes[1], 800, 600, 16, 60);
    zqDisplayMakeMode(&modes[2], 800, 600, 32, 60);
    driver.modes = modes;
    driver.modeCount = 3;
    driver.devices = &rasterizer;
    driver.deviceCount = 1;
    zqDisplaySetDrivers(&driver, 1);
    RestartApp();
    ASSERT_TRUE(ChooseMode(640, 480, 32));
    // Only a driver that renders windowed is chosen; the one the engine then opens may not.
    if (!rendersWindowed) {
      driver.hardwareCaps.dwCaps2 &= ~DWORD(DDCAPS2_CANRENDERWINDOWED);
      zqDisplaySetDrivers(&driver, 1);
    }
    Start();
    EXPECT_EQ(Command(kGdiWindow), 0);  // windowed: nothing
    EXPECT_EQ(engine->m_bFsWindowFlag, 0);
    EXPECT_EQ(Command(kModeSwitch), 0);
    ASSERT_EQ(engine->IsFullscreen(), 1);

    EXPECT_EQ(Command(kGdiWindow), 0);
    EXPECT_EQ(engine->m_bFsWindowFlag, 1);
    // A driver that cannot show GDI windows itself keeps the cursor on the picture.
    POINT at{};
    SetCursorPos(900, 700);
    GetCursorPos(&at);
    EXPECT_EQ(at.x, rendersWindowed ? 900 : 639);
    EXPECT_EQ(at.y, rendersWindowed ? 700 : 479);
    const DWORD flips = State().flips, presents = zqDisplayPresentCount(wnd);
    engine->_RenderEngine();
    ASSERT_EQ(engine->Present(), 0);
    EXPECT_EQ(zqDisplayPresentCount(wnd), presents + 1);
    EXPECT_EQ(State().flips, flips + (rendersWindowed ? 0u : 1u));

    EXPECT_EQ(Command(kGdiWindow), 0);
    EXPECT_EQ(engine->m_bFsWindowFlag, 0);
    SetCursorPos(900, 700);
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 900);
    ASSERT_EQ(engine->Present(), 0);
    EXPECT_EQ(State().flips, flips + (rendersWindowed ? 1u : 2u));
    EXPECT_EQ(Command(kModeSwitch), 0);
    EXPECT_EQ(engine->IsFullscreen(), 0);
    s_engine = nullptr;
    delete engine;
    engine = nullptr;
    zqDisplaySetDrivers(nullptr, -1);
  }
}

TEST_F(FullScreenTest, AForcedStereoSwitchDrawsBothEyesAndShowsTheRightOne) {
  ASSERT_TRUE(ChooseMode(640, 480, 32));
  device->bWindowed = 0;
  auto* stereo = new FsEngine;
  stereo->m_bStereo = 1;
  for (DWORD recordFlag : {0u, 1u}) {
    SCOPED_TRACE(recordFlag);
    device->dwReserved = recordFlag;
    if (recordFlag) {
      stereo = new FsEngine;
      stereo->m_bStereo = 1;
    }
    Start(stereo);
    ASSERT_EQ(engine->IsFullscreen(), 1);
    ASSERT_NE(engine->GetRenderSurfaceLeft(), nullptr);  // the device made the left eye all the same
    EXPECT_EQ(engine->_RenderEngine(), 0);
    if (recordFlag) {
      ASSERT_EQ(engine->drawnOn.size(), 2u);
      EXPECT_NE(engine->drawnOn[0], engine->GetBackSurface());
      EXPECT_EQ(engine->drawnOn[1], engine->GetBackSurface());
    } else {
      EXPECT_EQ(engine->drawnOn, std::vector<CZqSurface*>{engine->GetBackSurface()});
    }
    ASSERT_EQ(engine->Present(), 0);
    EXPECT_EQ(State().lastFlipFlags, DWORD(DDFLIP_WAIT | DDFLIP_STEREO));
    int w = 0, h = 0;
    const DWORD* frame = zqDisplayPresentedFrame(wnd, &w, &h);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame[240 * 640 + 320], 0x0000FF00u);  // the back buffer, never the left eye
    s_engine = nullptr;
    delete engine;
    engine = nullptr;
  }
  device->dwReserved = 0;
}

TEST_F(FullScreenTest, ViewParamsPutTheEyesApartAcrossTheViewDirection) {
  Start();
  D3DVECTOR eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
  engine->SetViewParams(&eye, &at, &up, 0.5f);
  // Looking along +z with y up, d x up points to -x: the left matrix's eye sits at x -0.5.
  D3DMATRIX left, right, centre;
  CZqFunc::D3DSetViewMatrix(left, D3DVECTOR{-0.5f, 0, -10}, at, up);
  CZqFunc::D3DSetViewMatrix(right, D3DVECTOR{0.5f, 0, -10}, at, up);
  CZqFunc::D3DSetViewMatrix(centre, eye, at, up);
  const auto same = [](const D3DMATRIX& a, const D3DMATRIX& b) {
    const float* x = &a._11;
    const float* y = &b._11;
    for (int i = 0; i < 16; ++i)
      if (std::fabs(x[i] - y[i]) > 1e-5f) return false;
    return true;
  };
  EXPECT_TRUE(same(engine->m_matLeft, left));
  EXPECT_TRUE(same(engine->m_matRight, right));
  EXPECT_TRUE(same(engine->m_matView, centre));
  EXPECT_FALSE(same(left, right));
}

}  // namespace
}  // namespace oldertest
