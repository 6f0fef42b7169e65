// The idle pass drives registered engines: update, render and present while active.
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

}  // namespace
