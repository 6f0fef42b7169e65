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

namespace {

// Deactivate, stay away 100 ms with idle passes running, come back.
struct ActivationCase {
  const char* name;
  int stopWhenInactive;
  int runInBackground;
  DWORD expectedAfter;  // application time after coming back, deactivated at 100
};

class ActivationTest : public AppTest, public ::testing::WithParamInterface<ActivationCase> {};

TEST_P(ActivationTest, ActivationKeepsOrRunsTheTime) {
  const ActivationCase& c = GetParam();
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetStopClockWhenInactive(c.stopWhenInactive);
  app.SetRunInBackground(c.runInBackground);
  app.SetNoSleep(1);
  app.MsgProc(WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(app.IsActive(), 1);
  zqAdvanceClock(10);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), 100u);
  app.MsgProc(WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(app.IsActive(), 0);
  DWORD last = app.GetAppTime();
  for (int i = 0; i < 10; ++i) {
    zqAdvanceClock(10);
    app.DoIdle();
    EXPECT_GE(app.GetAppTime(), last);
    last = app.GetAppTime();
  }
  app.MsgProc(WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(app.IsActive(), 1);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), c.expectedAfter);
  EXPECT_GE(app.GetAppTime(), last);  // never a step back
}

INSTANTIATE_TEST_SUITE_P(Modes, ActivationTest,
                         ::testing::Values(ActivationCase{"StopsWhenInactive", 1, 0, 100},
                                           ActivationCase{"RunsWhenClockKeepsGoing", 0, 0, 1100},
                                           ActivationCase{"RunsInBackground", 1, 1, 1100},
                                           ActivationCase{"RunsInBackgroundNoStop", 0, 1, 1100}),
                         [](const auto& info) { return std::string(info.param.name); });

// Overlapping stops are charged once: a pause inside inactivity, a move inside a pause.
TEST_F(AppTest, OverlappingStopsStopTheClockOnce) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetNoSleep(1);
  app.SetActive(1);
  zqAdvanceClock(10);
  app.DoIdle();
  ASSERT_EQ(app.GetAppTime(), 100u);

  app.SetActive(0);  // t 10
  zqAdvanceClock(10);
  app.Pause(1);  // t 20
  zqAdvanceClock(10);
  app.SetActive(1);  // t 30: still paused
  zqAdvanceClock(10);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), 100u);
  app.Pause(0);  // t 40
  EXPECT_EQ(app.GetAppTime(), 100u);

  app.Pause(1);
  zqAdvanceClock(10);
  app.MsgProc(WM_ENTERSIZEMOVE, 0, 0);
  zqAdvanceClock(10);
  app.Pause(0);
  zqAdvanceClock(10);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), 100u);
  app.MsgProc(WM_EXITSIZEMOVE, 0, 0);
  zqAdvanceClock(10);
  app.DoIdle();
  EXPECT_EQ(app.GetAppTime(), 200u);

  app.Pause(0);  // unpaired: ignored, the frame keeps running
  EXPECT_EQ(app.IsRunning(), 1);
  EXPECT_EQ(CZqApp::GetPauseCount(), 0);
}

TEST_F(AppTest, FailedStartUpOnlySleepsAndMeasures) {
  zqDisplaySetDrivers(nullptr, 0);  // a machine without display drivers
  TestApp app;
  RecordingTask task;
  app.SetTask(&task, 1);
  app.SetActive(1);
  EXPECT_EQ(app.InitApp(wnd), 0);
  app.Pause(1);
  app.Pause(0);
  EXPECT_EQ(app.IsRunning(), 0);
  app.SetIdleSleep(10);
  DWORD before = timeGetTime();
  for (int i = 0; i < 60; ++i) EXPECT_EQ(app.DoIdle(), 1);
  EXPECT_EQ(timeGetTime() - before, 600u);
  EXPECT_TRUE(task.loops.empty());
  EXPECT_TRUE(app.loopTimes.empty());
  EXPECT_FALSE(app.rates.empty());
}

// Idle sleep 10 ms = 100 units a pass: the first window closes on pass 52 at 5100 (52 loops),
// the next on pass 103 at 10200 (51 loops over 5100).
TEST_F(AppTest, LoopRateIsMeasuredOverHalfSecondWindows) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  app.SetIdleSleep(10);
  for (int i = 0; i < 103; ++i) app.DoIdle();
  ASSERT_EQ(app.rates.size(), 2u);
  EXPECT_FLOAT_EQ(app.rates[0], 52 * 10000.0f / 5100.0f);
  EXPECT_FLOAT_EQ(app.rates[1], 100.0f);
  EXPECT_FLOAT_EQ(app.GetLoopPerSecond(), 100.0f);
  // A pause inside a window is not part of it.
  app.Pause(1);
  zqAdvanceClock(60000);
  app.Pause(0);
  for (int i = 0; i < 51; ++i) app.DoIdle();
  ASSERT_EQ(app.rates.size(), 3u);
  EXPECT_FLOAT_EQ(app.rates[2], 100.0f);
}

}  // namespace
