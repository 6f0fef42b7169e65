// On a real X server (CTest runs it under xvfb-run, see CMakeLists.txt): a press inside the
// engine's window, dragged out and released there, still reaches the engine as a release.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "enginemsg_support.h"

namespace enginemsg {
namespace {

std::string Shell(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class EngineMsgSdlTest : public EngineMsgTest {
 protected:
  void SetUp() override {
    if (zqIsHeadless()) GTEST_SKIP() << "needs a display (CTest runs it under xvfb-run)";
    EngineMsgTest::SetUp();
    zqSetManualClock(FALSE, 0);  // X events take real time
  }
  bool PumpUntil(const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
      Pump();
      if (done()) return true;
      usleep(5000);
    }
    return false;
  }
};

TEST_F(EngineMsgSdlTest, AReleaseOutsideTheWindowReachesTheEngine) {
  std::string title = "Zq engine " + std::to_string(getpid());
  SetWindowTextA(wnd, title.c_str());
  MoveWindow(wnd, 40, 30, 728, 567, TRUE);
  ShowWindow(wnd, SW_SHOW);
  Start();
  std::string id;
  ASSERT_TRUE(PumpUntil([&] {
    id = Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1");
    return !id.empty();
  })) << "no visible X window named " << title;

  auto count = [&](const char* name) {
    int n = 0;
    for (const auto& c : engine->calls) n += c.name == name;
    return n;
  };
  Shell("xdotool mousemove --window " + id + " --sync 100 100 mousedown 1");
  ASSERT_TRUE(PumpUntil([&] { return count("ldown") == 1; }));
  Shell("xdotool mousemove --window " + id + " --sync 900 100 mouseup 1");
  ASSERT_TRUE(PumpUntil([&] { return count("lup") == 1; })) << "the release outside never arrived";
  // The last move was outside too: right of the 800-wide back buffer.
  EXPECT_GT(engine->GetMousePoint().x, 800);
}

}  // namespace
}  // namespace enginemsg
