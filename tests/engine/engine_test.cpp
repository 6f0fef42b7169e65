// The engine object on the manual clock: set-up, catch-up, render, present, loss and restore.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZqLib.h"
#include "audio_support.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace {

class LoopApp : public CZqApp {
 public:
  void SetLoopRate(float r) { m_fLoopPerSecond = r; }
  void SetAppTime(DWORD t) { m_dwAppTime = t; }
};

// Records every hook in order; draws a known colour in the 2D pass.
class RecordingEngine : public CZqEngine {
 public:
  using CZqEngine::m_idPause;
  using CZqEngine::m_nBoundsMode;
  std::vector<std::string> calls;
  std::vector<DWORD> elapsed;
  int OnUpdate() override {
    elapsed.push_back(GetElapsedTime());
    return 1;
  }
  long OnRender() override {
    calls.push_back("render");
    return 0;
  }
  long OnDraw(CZqSurface* s) override {
    calls.push_back("draw");
    SScreenRect top(0, 0, 800, 300);
    s->Clear(s->ConvertColor(0xFFFF0000), &top);
    SScreenRect bottom(0, 300, 800, 600);
    return s->Clear(s->ConvertColor(0xFF0000FF), &bottom);
  }
  long OnCleanDevice() override {
    calls.push_back("clean");
    return 0;
  }
  long OnInitDevice() override {
    calls.push_back("init");
    return CZqEngine::OnInitDevice();
  }
  long RestoreSource() override {
    calls.push_back("restore");
    return restoreResult;
  }
  void OnSizeChanged() override { calls.push_back("size"); }
  long restoreResult = 0;
  long ReleaseSource() override {
    calls.push_back("release");
    return 0;
  }
  void OnDismiss() override { calls.push_back("dismiss"); }
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 728x567 outside is a 720x540 client area.
    wnd = OpenEngineWindow("engine", 728, 567);
    app = new LoopApp();
    ASSERT_EQ(app->InitApp(wnd), 1);
  }
  void TearDown() override {
    delete engine;
    delete app;
    zqDisplaySetCooperativeLevelResult(DD_OK);
    CloseEngineWindow();
  }
  void Start() {
    engine = new RecordingEngine();
    ASSERT_EQ(engine->InitEngine(wnd, 640, 480, 0), 0);
    engine->calls.clear();
  }
  // One idle pass at the given application time.
  int Update(DWORD apptime) {
    app->SetAppTime(apptime);
    return engine->_UpdateEngine();
  }

  HWND wnd = nullptr;
  LoopApp* app = nullptr;
  RecordingEngine* engine = nullptr;
};

TEST_F(EngineTest, InitCreatesThe800x600BackBufferWhateverTheSize) {
  Start();
  EXPECT_EQ(engine->GetEngineID(), 0);
  EXPECT_NE(engine->GetDirectSound(), nullptr);
  EXPECT_NE(engine->GetDirectSoundListener(), nullptr);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(engine->GetBackSurface()->GetWidth(), 800u);
  EXPECT_EQ(engine->GetBackSurface()->GetHeight(), 600u);
  EXPECT_EQ(engine->GetSourceRect(), SScreenRect(0, 0, 800, 600));
  EXPECT_EQ(engine->GetDestRect().width(), 720);
  EXPECT_EQ(engine->GetDestRect().height(), 540);
}

TEST_F(EngineTest, IdsAreTheSmallestFree) {
  CZqEngine a, b, c;
  ASSERT_EQ(a.InitEngine(wnd, 0, 0, 0), 0);
  ASSERT_EQ(b.InitEngine(wnd, 0, 0, 0), 0);
  EXPECT_EQ(b.GetEngineID(), 1);
  delete new CZqEngine();  // never registered: changes nothing
  {
    CZqEngine gone;
    ASSERT_EQ(gone.InitEngine(wnd, 0, 0, 0), 0);
    EXPECT_EQ(gone.GetEngineID(), 2);
  }
  ASSERT_EQ(c.InitEngine(wnd, 0, 0, 0), 0);
  EXPECT_EQ(c.GetEngineID(), 2);
}

TEST_F(EngineTest, StatusCodesOfSetUp) {
  CZqEngine e;
  EXPECT_EQ(e.InitEngine(nullptr, 800, 600, 0), E_INVALIDARG);
  EXPECT_EQ(e._RenderEngine(), ZQERR_NODEVICE);
  EXPECT_EQ(e.Present(), ZQERR_NODEVICE);
  EXPECT_EQ(e.Resize(800, 600), ZQERR_NODEVICE);
  EXPECT_EQ(e.Lock(nullptr, 0), ZQERR_NODEVICE);
  // A desktop of 8 bits refuses the driver.
  zqDisplaySetDesktopMode(1024, 768, 8, 60);
  EXPECT_EQ(e.InitEngine(wnd, 800, 600, 0), E_FAIL);
  EXPECT_TRUE(e.IsLost());
  zqDisplaySetDesktopMode(0, 0, 0, 0);
  // A driver without Direct3D.
  ZqDisplayDriver d;
  zqDisplayDefaultDriver(&d);
  d.failDirect3D = TRUE;
  zqDisplaySetDrivers(&d, 1);
  EXPECT_EQ(e.InitEngine(wnd, 800, 600, 0), ZQERR_DRIVER);
  zqDisplaySetDrivers(nullptr, -1);
}

TEST_F(EngineTest, NoApplicationOrNoDeviceRecordCreatesNothing) {
  delete app;
  app = nullptr;
  const int before = zqDisplayLiveSurfaceCount();
  CZqEngine e;
  EXPECT_EQ(e.InitEngine(wnd, 800, 600, 0), ZQERR_NODEVICE);
  CZqApp failed;  // never started: no chosen device
  CZqEngine f;
  EXPECT_EQ(f.InitEngine(wnd, 800, 600, 0), ZQERR_NODEVICE);
  EXPECT_EQ(zqDisplayLiveSurfaceCount(), before);
}

TEST_F(EngineTest, CatchUpStepsDependOnTheLoopRateAndAreBounded) {
  struct Case {
    float rate;
    DWORD lag;
    std::vector<DWORD> elapsed;
  };
  std::vector<DWORD> steps(23, 500);
  steps.push_back(500);
  // A lag of any size is cut to 5 s: 99 steps and one ordinary update, or one update of 5 s.
  const std::vector<DWORD> bounded(100, 500);
  for (const Case& c : {Case{30.f, 12000, steps}, Case{20.f, 12000, {12000}}, Case{30.f, 50000, bounded},
                        Case{30.f, 0x7FFFFFF0u, bounded}, Case{20.f, 0x7FFFFFF0u, {50000}}}) {
    Start();
    app->SetLoopRate(c.rate);
    Update(50000);
    engine->elapsed.clear();
    EXPECT_EQ(Update(50000 + c.lag), 1);
    EXPECT_EQ(engine->elapsed, c.elapsed) << c.rate << " " << c.lag;
    // No time passed: render without updating.
    engine->elapsed.clear();
    EXPECT_EQ(Update(50000 + c.lag), 1);
    EXPECT_TRUE(engine->elapsed.empty());
    delete engine;
    engine = nullptr;
  }
}

TEST_F(EngineTest, InactiveEngineNeitherUpdatesNorCountsTheGap) {
  Start();
  Update(1000);
  engine->SetActive(0);
  EXPECT_EQ(Update(5000), 0);
  engine->SetActive(1);
  engine->elapsed.clear();
  Update(5100);
  EXPECT_EQ(engine->elapsed, std::vector<DWORD>{100});
}

// The clock stops of the window (a pause from the engine's menu, inactivity, a window move, a
// menu loop, a minimised window) overlap in any order; however they do, the engine time stands
// still from the first stop to the end of the last, as one stop over the whole span.
TEST_F(EngineTest, OverlappingStopsStopTheEngineClockOnce) {
  enum Event { PauseCmd, Deactivate, Activate, MoveStart, MoveEnd, MenuStart, MenuEnd, Minimise, Restore };
  struct Case {
    const char* name;
    int background;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"PauseAroundDeactivation", 0, {PauseCmd, Deactivate, Activate, PauseCmd}},
      {"DeactivationAroundPause", 0, {Deactivate, PauseCmd, PauseCmd, Activate}},
      {"PauseEndsWhileInactive", 0, {PauseCmd, Deactivate, PauseCmd, Activate}},
      {"PauseAroundMove", 0, {PauseCmd, MoveStart, MoveEnd, PauseCmd}},
      {"MenuLoopAroundPause", 0, {MenuStart, PauseCmd, MenuEnd, PauseCmd}},
      {"PauseAroundMinimised", 0, {PauseCmd, Minimise, Restore, PauseCmd}},
      {"MinimisedInBackground", 1, {Minimise, Restore}},
      {"PauseAroundDeactivationInBackground", 1, {PauseCmd, Deactivate, Activate, PauseCmd}},
  };
  const WORD kPauseCmd = 40001;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    engine->m_idPause = kPauseCmd;
    app->SetNoSleep(1);
    app->SetRunInBackground(c.background);
    app->MsgProc(WM_ACTIVATEAPP, 1, 0);
    // Both window procedures see the window's messages: the application's first.
    auto both = [&](UINT m, WPARAM w) {
      app->MsgProc(m, w, 0);
      engine->MsgProc(m, (UINT)w, 0);
    };
    zqAdvanceClock(100);
    app->DoIdle();
    const DWORD before = engine->GetEngineTime();
    engine->elapsed.clear();
    for (Event e : c.events) {
      switch (e) {
        case PauseCmd:
          both(WM_COMMAND, kPauseCmd);
          break;
        case Deactivate:
          both(WM_ACTIVATEAPP, 0);
          break;
        case Activate:
          both(WM_ACTIVATEAPP, 1);
          break;
        case MoveStart:
          both(WM_ENTERSIZEMOVE, 0);
          break;
        case MoveEnd:
          both(WM_EXITSIZEMOVE, 0);
          break;
        case MenuStart:
          both(WM_ENTERMENULOOP, 0);
          break;
        case MenuEnd:
          both(WM_EXITMENULOOP, 0);
          break;
        case Minimise:
          both(WM_SIZE, SIZE_MINIMIZED);
          break;
        case Restore:
          both(WM_SIZE, SIZE_RESTORED);
          break;
      }
      zqAdvanceClock(1000);
      app->DoIdle();
    }
    // The last event ended the last stop: 1 s of running time follows it.
    EXPECT_EQ(engine->GetEngineTime(), before + 10000);
    for (DWORD e : engine->elapsed) EXPECT_LE(e, 10000u);
    zqAdvanceClock(10);
    app->DoIdle();
    EXPECT_EQ(engine->GetEngineTime(), before + 10100);
    EXPECT_EQ(engine->elapsed.back(), 100u);
    delete engine;
    engine = nullptr;
  }
}

TEST_F(EngineTest, RenderThenDrawAndPresentIntoTheClientArea) {
  Start();
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"render", "draw"}));
  ASSERT_EQ(engine->Present(), 0);
  int w = 0, h = 0;
  const DWORD* frame = zqDisplayPresentedFrame(wnd, &w, &h);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(w, 720);
  ASSERT_EQ(h, 540);
  // The top half of the back buffer is red, the bottom half blue, stretched to 720x540.
  EXPECT_EQ(frame[0], 0xFF0000u);
  EXPECT_EQ(frame[size_t(269) * w + 719], 0xFF0000u);
  EXPECT_EQ(frame[size_t(270) * w], 0x0000FFu);
  EXPECT_EQ(frame[size_t(539) * w + 719], 0x0000FFu);
  const char* png = "engine_test_scene.png";
  EXPECT_TRUE(zqDisplayWritePresentedFramePng(wnd, png));
}

TEST_F(EngineTest, CornerBoundsShowTheBufferUnscaled) {
  Start();
  engine->m_nBoundsMode = CZqEngine::BOUNDS_BOTTOM_RIGHT;
  engine->UpdateBounds();
  const SScreenRect& c = engine->GetClientRect();
  EXPECT_EQ(engine->GetDestRect(), c);
  EXPECT_EQ(engine->GetSourceRect(), SScreenRect(80, 60, 800, 600));
}

TEST_F(EngineTest, CooperativeLevelStopsRendering) {
  Start();
  zqDisplaySetCooperativeLevelResult(DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_FALSE(engine->IsChanged());
  EXPECT_TRUE(engine->calls.empty());
}

TEST_F(EngineTest, LostSurfaceInRenderRebuildsTheDeviceInOrder) {
  Start();
  zqDisplayMarkAllSurfacesLost();
  EXPECT_EQ(engine->_RenderEngine(), DDERR_SURFACELOST);
  EXPECT_EQ(engine->RestoreEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"release", "clean", "init", "restore"}));
  EXPECT_TRUE(engine->IsValid());
  engine->calls.clear();
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"render", "draw"}));
}

TEST_F(EngineTest, LostSurfaceInPresentRestoresTheSurfaces) {
  Start();
  ASSERT_EQ(engine->_RenderEngine(), 0);
  zqDisplayMarkAllSurfacesLost();
  EXPECT_EQ(engine->Present(), DDERR_SURFACELOST);
  EXPECT_EQ(engine->RestoreSurfaces(), 0);
  EXPECT_EQ(engine->Present(), 0);
}

TEST_F(EngineTest, ResizeRebuildsTheBuffersOnTheSameDriver) {
  Start();
  LPDIRECTDRAW7 driver = engine->GetDirectDraw();
  EXPECT_EQ(engine->Resize(1024, 768), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"init", "size"}));
  EXPECT_EQ(engine->GetDirectDraw(), driver);
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(engine->GetBackSurface()->GetWidth(), 800u);
  EXPECT_EQ(engine->GetBackSurface()->GetHeight(), 600u);
  // The new buffers render and present.
  ASSERT_EQ(engine->_RenderEngine(), 0);
  ASSERT_EQ(engine->Present(), 0);
  int w = 0, h = 0;
  const DWORD* frame = zqDisplayPresentedFrame(wnd, &w, &h);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame[0], 0xFF0000u);
  EXPECT_EQ(frame[size_t(h - 1) * w], 0x0000FFu);
  // A lost device is not resized.
  zqDisplaySetDesktopMode(1024, 768, 8, 60);
  EXPECT_EQ(engine->RestoreEngine(), E_FAIL);
  zqDisplaySetDesktopMode(0, 0, 0, 0);
  EXPECT_EQ(engine->Resize(800, 600), ZQERR_NODEVICE);
}

// A display mode changed under the window: render rebuilds the device, the render preparation
// switches the engine's mode.
TEST_F(EngineTest, AWrongModeRebuildsInRenderAndSwitchesModeInPreparation) {
  Start();
  SDxDeviceInfo* device = app->GetDxDeviceInfoPtr();
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->bWindowed, 1);
  zqDisplaySetCooperativeLevelResult(DDERR_WRONGMODE);
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"release", "clean", "init", "restore"}));
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(device->bWindowed, 1);

  engine->calls.clear();
  EXPECT_EQ(engine->PrepareForRender(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"release", "clean", "init", "size", "restore"}));
  EXPECT_TRUE(engine->IsValid());
  EXPECT_EQ(device->bWindowed, 0) << "the record is no longer the windowed mode";
  device->bWindowed = 1;

  zqDisplaySetCooperativeLevelResult(DD_OK);
  engine->calls.clear();
  EXPECT_EQ(engine->PrepareForRender(), 0);
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"render", "draw"}));
}

// A failing restore of the engine's objects leaves it lost: it is not drawn from, and the next
// try (a second later) rebuilds it once the objects come back.
TEST_F(EngineTest, AFailingRestoreSourceLeavesTheEngineLost) {
  Start();
  engine->restoreResult = E_OUTOFMEMORY;
  zqDisplayMarkAllSurfacesLost();
  EXPECT_EQ(engine->_RenderEngine(), DDERR_SURFACELOST);
  EXPECT_EQ(engine->RestoreEngine(), E_OUTOFMEMORY);
  EXPECT_TRUE(engine->IsLost());
  EXPECT_FALSE(engine->IsValid());
  engine->calls.clear();
  EXPECT_EQ(engine->_RenderEngine(), ZQERR_NODEVICE);
  EXPECT_TRUE(engine->calls.empty());
  engine->restoreResult = 0;
  zqAdvanceClock(1000);
  EXPECT_EQ(engine->_RenderEngine(), ZQERR_NODEVICE);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"release", "clean", "init", "restore"}));
  EXPECT_FALSE(engine->IsLost());
  engine->calls.clear();
  EXPECT_EQ(engine->_RenderEngine(), 0);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"render", "draw"}));
}

TEST_F(EngineTest, FailedRestoreIsRetriedLaterNotOnEveryPass) {
  Start();
  zqDisplaySetDesktopMode(1024, 768, 8, 60);
  EXPECT_EQ(engine->RestoreEngine(), E_FAIL);
  EXPECT_TRUE(engine->IsLost());
  EXPECT_EQ(engine->RestoreSurfaces(), ZQERR_CANNOTRESTORE);
  zqDisplaySetDesktopMode(0, 0, 0, 0);
  engine->calls.clear();
  EXPECT_EQ(engine->_RenderEngine(), ZQERR_NODEVICE);
  EXPECT_TRUE(engine->calls.empty());  // too soon to try again
  zqAdvanceClock(1000);
  EXPECT_EQ(engine->_RenderEngine(), ZQERR_NODEVICE);
  EXPECT_FALSE(engine->IsLost());
  EXPECT_EQ(engine->_RenderEngine(), 0);
}

}  // namespace

namespace {

TEST_F(EngineTest, DeferredSoundPositionsTakeEffectAtTheNextUpdate) {
  Start();
  ScratchDir dir;
  std::string path = dir.file("mono.wav");
  ASSERT_TRUE(MakeToneWave(path, 22050, 16, 1, 0.1));
  CZqSound sound(engine);
  ASSERT_EQ(sound.SetStreamSource(path.c_str()), 1);
  ASSERT_NE(sound.GetSoundBuffer3D(), nullptr);
  Update(1000);
  sound.Set3D(1.0f, 2.0f, 3.0f);
  DS3DVECTOR v{};
  sound.GetSoundBuffer3D()->GetPosition(&v);
  EXPECT_EQ(v.x, 0.0f);  // deferred until the frame's update is over
  Update(1100);
  sound.GetSoundBuffer3D()->GetPosition(&v);
  EXPECT_EQ(v.x, 1.0f);
  EXPECT_EQ(v.y, 2.0f);
  EXPECT_EQ(v.z, 3.0f);
}

}  // namespace
