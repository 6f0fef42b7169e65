// The application clock: 0.1 ms units, pauses, inactivity and window moves.
#include "app_support.h"

namespace {

TEST_F(AppTest, StartUpSetsClockAndRuns) {
  TestApp app;
  EXPECT_EQ(app.InitApp(nullptr), 0);
  EXPECT_EQ(app.IsRunning(), 0);
  ASSERT_EQ(app.InitApp(wnd), 1);
  EXPECT_EQ(app.initCalls, 1);
  EXPECT_EQ(app.IsRunning(), 1);
  EXPECT_NE(app.GetDxDeviceInfoPtr(), nullptr);
  EXPECT_EQ(app.GetMainWnd(), wnd);
  EXPECT_EQ(CZqFunc::GetZqApp(), &app);
  EXPECT_EQ(app.GetCurTime(), 1000000u);
  zqAdvanceClock(25);
  EXPECT_EQ(app.GetAppTimeEx(), 250u);
  EXPECT_EQ(app.GetAppTime(), 0u);  // refreshed by the idle pass only
  app.SetActive(1);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), 250u);
}

TEST_F(AppTest, NestedPausesResumeOnlyAtTheLast) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  zqAdvanceClock(10);
  app.Pause(1);  // pause command
  zqAdvanceClock(10);
  app.Pause(1);  // menu loop inside it
  EXPECT_EQ(app.IsRunning(), 0);
  zqAdvanceClock(10);
  app.Pause(0);
  EXPECT_EQ(app.IsRunning(), 0);
  zqAdvanceClock(10);
  app.DoIdle();  // paused: the time stands
  EXPECT_TRUE(app.loopTimes.empty());
  app.Pause(0);
  EXPECT_EQ(app.IsRunning(), 1);
  EXPECT_EQ(app.GetAppTime(), 100u);
  zqAdvanceClock(5);
  app.DoIdle();
  ASSERT_FALSE(app.loopTimes.empty());
  EXPECT_EQ(app.loopTimes.back(), 150u);  // the sleep of the paused pass is not charged
}

}  // namespace
