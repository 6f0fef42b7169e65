// On a real X server (CTest runs it under xvfb-run, see CMakeLists.txt): a press inside the
// engine's window, dragged out and released there, still reaches the engine as a release.
#include <unistd.h>

#include <functional>
#include <string>

#include "enginemsg_support.h"
#include "x_server.h"

namespace enginemsg {
namespace {

class EngineMsgSdlTest : public EngineMsgTest {
 protected:
  void SetUp() override {
    ZQ_NEED_X_SERVER();
    EngineMsgTest::SetUp();
    zqSetManualClock(FALSE, 0);  // X events take real time
  }
  bool PumpUntil(const std::function<bool()>& done) {
    return ::PumpUntil([&] { Pump(); }, done);
  }
};

TEST_F(EngineMsgSdlTest, AReleaseOutsideTheWindowReachesTheEngine) {
  std::string title = "Zq engine " + std::to_string(getpid());
  SetWindowTextA(wnd, title.c_str());
  MoveWindow(wnd, 40, 30, 728, 567, TRUE);
  ShowWindow(wnd, SW_SHOW);
  Start();
  const std::string id = WaitForXWindow(title, wnd, [&] { Pump(); });
  ASSERT_FALSE(id.empty()) << "no X window named " << title << " mapped where the window is";

  auto count = [&](const char* name) {
    int n = 0;
    for (const auto& c : engine->calls) n += c.name == name;
    return n;
  };
  ASSERT_TRUE(MovePointerInto(id, wnd, 100, 100, [&] { Pump(); })) << "the pointer never arrived";
  RunShell("xdotool mousedown 1");
  ASSERT_TRUE(PumpUntil([&] { return count("ldown") == 1; }));
  RunShell("xdotool mousemove --window " + id + " --sync 900 100 mouseup 1");
  ASSERT_TRUE(PumpUntil([&] { return count("lup") == 1; })) << "the release outside never arrived";
  // The last move was outside too: right of the 800-wide back buffer.
  EXPECT_GT(engine->GetMousePoint().x, 800);
}

}  // namespace
}  // namespace enginemsg
