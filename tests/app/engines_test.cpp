// The idle pass drives registered engines: update, render and present while active.
#include <memory>
#include <string>
#include <vector>

#include "app_support.h"

namespace {

class CountingEngine : public CZqEngine {
 public:
  int OnUpdate() override {
    ++updates;
    return 1;
  }
  int updates = 0;
};

TEST_F(AppTest, IdlePassesPresentActiveEnginesAndActivationReachesThem) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  CountingEngine engine;
  ASSERT_EQ(engine.InitEngine(wnd, 800, 600, 0), 0);
  EXPECT_EQ(app.GetEngine(0), &engine);
  DWORD presented = zqDisplayPresentCount(wnd);
  zqAdvanceClock(5);
  EXPECT_EQ(app.DoIdle(), 1);
  EXPECT_EQ(zqDisplayPresentCount(wnd), presented + 1);
  EXPECT_EQ(engine.updates, 1);

  app.SetActive(0);
  EXPECT_EQ(engine.IsActive(), 0);
  zqAdvanceClock(5);
  app.DoIdle();
  EXPECT_EQ(zqDisplayPresentCount(wnd), presented + 1);
  app.SetActive(1);
  EXPECT_EQ(engine.IsActive(), 1);
}

// An engine whose frame can fail in the ways a device fails; records the hooks that matter.
class FailingEngine : public CZqEngine {
 public:
  int OnUpdate() override {
    calls.push_back("update");
    return 1;
  }
  long OnRender() override {
    calls.push_back("render");
    return renderResult;
  }
  long OnDraw(CZqSurface*) override {
    // The device goes away between the scene and the present.
    if (loseInDraw) zqDisplayMarkAllSurfacesLost();
    if (lostFlagInDraw) m_bLost = 1;
    loseInDraw = lostFlagInDraw = false;
    return 0;
  }
  long OnCleanDevice() override {
    calls.push_back("clean");
    return 0;
  }
  long RestoreSource() override {
    calls.push_back("restore");
    return 0;
  }
  void OnDismiss() override { calls.push_back("dismiss"); }
  std::vector<std::string> calls;
  long renderResult = 0;
  bool loseInDraw = false;
  bool lostFlagInDraw = false;
};

class FailingEngineTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    app = std::make_unique<TestApp>();
    ASSERT_EQ(app->InitApp(wnd), 1);
    app->SetActive(1);
    app->SetNoSleep(1);
    engine = std::make_unique<FailingEngine>();
    ASSERT_EQ(engine->InitEngine(wnd, 800, 600, 0), 0);
    zqAdvanceClock(5);
    ASSERT_EQ(app->DoIdle(), 1);
    engine->calls.clear();
  }
  void TearDown() override {
    engine.reset();
    app.reset();
    AppTest::TearDown();
  }
  int Pass() {
    zqAdvanceClock(5);
    return app->DoIdle();
  }
  DWORD Presents() { return zqDisplayPresentCount(wnd); }

  std::unique_ptr<TestApp> app;
  std::unique_ptr<FailingEngine> engine;
};

TEST_F(FailingEngineTest, ASurfaceLostInRenderRebuildsTheDeviceAndTheLoopGoesOn) {
  zqDisplayMarkAllSurfacesLost();
  const DWORD presented = Presents();
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "clean", "restore"}));
  EXPECT_EQ(Presents(), presented) << "nothing is presented from the lost frame";
  EXPECT_TRUE(engine->IsValid());
  engine->calls.clear();
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "render"}));
  EXPECT_EQ(Presents(), presented + 1);
}

TEST_F(FailingEngineTest, ASurfaceLostInPresentRestoresTheSurfacesOnly) {
  engine->loseInDraw = true;
  const DWORD presented = Presents();
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "render"})) << "no device rebuild";
  EXPECT_EQ(Presents(), presented);
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(Presents(), presented + 1) << "the restored surfaces present again";
}

TEST_F(FailingEngineTest, SurfacesThatCannotBeRestoredEndTheRun) {
  // Present finds the surfaces lost while the device is being rebuilt.
  engine->loseInDraw = engine->lostFlagInDraw = true;
  zqAdvanceClock(5);
  EXPECT_EQ(app->Run(), -1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "render", "dismiss"}));
}

TEST_F(FailingEngineTest, AFailingRenderEndsTheRun) {
  engine->renderResult = E_FAIL;
  const DWORD presented = Presents();
  zqAdvanceClock(5);
  EXPECT_EQ(app->Run(), -1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "render"}));
  EXPECT_EQ(Presents(), presented);
}

TEST_F(FailingEngineTest, APlayingVideoSuppressesRenderAndPresent) {
  CZqMedia video(engine.get());
  engine->SetPlayVideo(&video);
  const DWORD presented = Presents();
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(engine->calls, (std::vector<std::string>{"update", "update"})) << "the game still runs";
  EXPECT_EQ(Presents(), presented);
  engine->SetPlayVideo(nullptr);
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(Presents(), presented + 1);
}

}  // namespace
