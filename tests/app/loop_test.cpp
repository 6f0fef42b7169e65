// The message pump, waits, the idle pass and task routing.
#include "app_support.h"

namespace {

TEST_F(AppTest, SetTaskAppendsKeepsAndRemoves) {
  TestApp app;
  RecordingTask a, b;
  struct Step {
    RecordingTask* task;
    int keep;
    std::vector<RecordingTask*> after;
  } steps[] = {
      {&a, 1, {&a}},     {&b, 0, {&a, &b}},  // not listed: appended whatever keep says
      {&a, 1, {&a, &b}},                     // listed, keep: unchanged
      {&a, 0, {&b}},                         // listed, no keep: removed
      {&a, 1, {&b, &a}},
  };
  for (const Step& s : steps) {
    app.SetTask(s.task, s.keep);
    for (RecordingTask* t : {&a, &b}) t->loops.clear();
    app.ProcessTask();
    for (RecordingTask* t : {&a, &b}) {
      bool listed = std::find(s.after.begin(), s.after.end(), t) != s.after.end();
      EXPECT_EQ(t->loops.size(), listed ? 1u : 0u);
    }
  }
}

TEST_F(AppTest, TasksLoopInOrderAndActiveOnesSeeMessagesFirst) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  RecordingTask active(1), idle(0);
  std::vector<char> order;
  active.onLoop = [&](int) { order.push_back('a'); };
  idle.onLoop = [&](int) { order.push_back('i'); };
  app.SetTask(&active, 1);
  app.SetTask(&idle, 1);
  zqAdvanceClock(3);
  app.DoIdle();
  EXPECT_EQ(order, (std::vector<char>{'a', 'i'}));  // inactive tasks loop too
  EXPECT_EQ(active.loops, (std::vector<DWORD>{30}));
  EXPECT_EQ(app.loopTimes, (std::vector<DWORD>{30}));

  app.MsgProc(WM_USER + 3, 0, 0);
  app.MsgProc(WM_MOVE, 0, 0);
  EXPECT_EQ(active.messages, (std::vector<UINT>{WM_USER + 3, WM_MOVE}));
  EXPECT_TRUE(idle.messages.empty());
}

TEST_F(AppTest, RunPumpsIdlesAndEndsWithTheQuitCode) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  RecordingTask task;
  task.onLoop = [&](int pass) {
    if (pass == 2) PostMessageA(wnd, WM_USER + 1, 0, 0);
    if (pass == 3) PostQuitMessage(7);
  };
  app.SetTask(&task, 1);
  EXPECT_EQ(app.Run(), 7);
  EXPECT_EQ(task.loops.size(), 3u);
  EXPECT_NE(std::find(dispatched.begin(), dispatched.end(), (UINT)(WM_USER + 1)), dispatched.end());
}

TEST_F(AppTest, RunWhileInactiveBlocksUnlessInBackground) {
  {
    TestApp app;
    ASSERT_EQ(app.InitApp(wnd), 1);
    // Inactive: it blocks in GetMessage, which ends headless when nothing can arrive.
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.loopTimes.empty());
  }
  {
    TestApp app;
    ASSERT_EQ(app.InitApp(wnd), 1);
    app.SetRunInBackground(1);
    RecordingTask task;
    task.onLoop = [&](int pass) {
      if (pass == 4) PostQuitMessage(2);
    };
    app.SetTask(&task, 1);
    EXPECT_EQ(app.Run(), 2);
    EXPECT_EQ(task.loops.size(), 4u);
  }
}

TEST_F(AppTest, FailingPassEndsRunAndStillSleeps) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  app.SetIdleSleep(30);
  app.mainLoopResult = -1;
  DWORD before = timeGetTime();
  EXPECT_EQ(app.Run(), -1);
  EXPECT_EQ(timeGetTime() - before, 30u);
}

TEST_F(AppTest, ProcessMsgTakesOneMessage) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  MSG msg = {};
  EXPECT_EQ(app.ProcessMSG(msg), 1);  // nothing waiting
  PostMessageA(wnd, WM_USER + 2, 0, 0);
  EXPECT_EQ(app.ProcessMSG(msg), 0);
  EXPECT_EQ(msg.message, (UINT)(WM_USER + 2));
  EXPECT_EQ(dispatched.back(), (UINT)(WM_USER + 2));
  PostQuitMessage(0);
  EXPECT_EQ(app.ProcessMSG(msg), 1);
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
}

TEST_F(AppTest, WaitEndsWithItsMessageOrItsTimeOut) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  RecordingTask task;
  std::vector<int> waiting, fresh;
  task.onLoop = [&](int pass) {
    waiting.push_back(app.IsWaitingMSG());
    fresh.push_back(app.GetWaitMSGTime());
    if (pass == 3) PostMessageA(wnd, WM_USER + 4, 0, 0);
  };
  app.SetTask(&task, 1);
  EXPECT_EQ(app.WaitForMessage(WM_USER + 4, 0), (UINT)(WM_USER + 4));
  EXPECT_EQ(dispatched.back(), (UINT)(WM_USER + 4));  // handled before the wait ends
  EXPECT_EQ(waiting, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(fresh, (std::vector<int>{1, 0, 0}));  // only until time has passed
  EXPECT_EQ(app.IsWaitingMSG(), 0);

  // Time-out 100 units = 10 ms: the 1 ms idle sleeps pass it on the 11th pass.
  task.onLoop = nullptr;
  task.loops.clear();
  DWORD before = timeGetTime();
  EXPECT_EQ(app.WaitForMessage(WM_USER + 5, 100), 0u);
  EXPECT_EQ(timeGetTime() - before, 11u);
  EXPECT_EQ(app.IsWaitingMSG(), 0);
}

TEST_F(AppTest, QuitDuringWaitIsPostedAgain) {
  TestApp app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  RecordingTask task;
  int waits = 0;
  task.onLoop = [&](int pass) {
    if (pass == 1) {
      ++waits;
      EXPECT_EQ(app.WaitForMessage(WM_USER + 6, 0), 0u);
    }
    if (pass == 2) PostQuitMessage(4);
  };
  app.SetTask(&task, 1);
  EXPECT_EQ(app.Run(), 4);  // the outer loop ends too, with the code
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(app.IsWaitingMSG(), 0);
}

// A wait that starts while the clock is stopped must not time out when the stop ends.
TEST_F(AppTest, WaitStartedDuringPauseDoesNotTimeOutOnResume) {
  static TestApp* s_app = nullptr;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER + 9 && s_app) s_app->Pause(0);
    return DefWindowProcA(h, m, w, l);
  };
  wc.lpszClassName = "AppTestResume";
  RegisterClassA(&wc);
  HWND resume = CreateWindowExA(0, "AppTestResume", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  TestApp app;
  s_app = &app;
  ASSERT_EQ(app.InitApp(wnd), 1);
  app.SetActive(1);
  app.Pause(1);
  zqAdvanceClock(50);
  PostMessageA(resume, WM_USER + 9, 0, 0);
  PostMessageA(resume, WM_USER + 10, 0, 0);
  EXPECT_EQ(app.WaitForMessage(WM_USER + 10, 1000), (UINT)(WM_USER + 10));
  s_app = nullptr;
}

}  // namespace
