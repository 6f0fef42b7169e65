#include "x_server.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

std::string RunShell(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

bool PumpUntil(const std::function<void()>& pump, const std::function<bool()>& done) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    pump();
    if (done()) return true;
    usleep(5000);
  }
  return false;
}

bool XServerRequired() {
  const char* v = std::getenv("ZQ_TEST_X_SERVER");
  return v && *v && std::string(v) != "0";
}

namespace {

// Map state, absolute client origin and size of an X window, as xwininfo reports them.
struct XGeometry {
  bool viewable = false;
  int x = -1, y = -1, w = -1, h = -1;
};

XGeometry xGeometry(const std::string& id) {
  XGeometry g;
  std::istringstream in(RunShell("xwininfo -id " + id + " 2>/dev/null"));
  std::string line;
  auto value = [&](const char* key, int& out) {
    auto at = line.find(key);
    if (at != std::string::npos) out = std::atoi(line.c_str() + at + std::string(key).size());
  };
  while (std::getline(in, line)) {
    value("Absolute upper-left X:", g.x);
    value("Absolute upper-left Y:", g.y);
    value("Width:", g.w);
    value("Height:", g.h);
    if (line.find("Map State: IsViewable") != std::string::npos) g.viewable = true;
  }
  return g;
}

}  // namespace

std::string WaitForXWindow(const std::string& title, HWND hwnd, const std::function<void()>& pump) {
  std::string id;
  bool ok = PumpUntil(pump, [&] {
    id = RunShell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    if (id.empty() || id.find('\n') != std::string::npos) return false;
    RECT rc{};
    POINT o{0, 0};
    if (!GetClientRect(hwnd, &rc) || !ClientToScreen(hwnd, &o)) return false;
    XGeometry g = xGeometry(id);
    return g.viewable && g.x == o.x && g.y == o.y && g.w == rc.right && g.h == rc.bottom;
  });
  return ok ? id : std::string();
}

bool MovePointerInto(const std::string& id, HWND hwnd, int x, int y, const std::function<void()>& pump) {
  RunShell("xdotool mousemove --window " + id + " --sync " + std::to_string(x) + " " + std::to_string(y));
  POINT want{x, y};
  ClientToScreen(hwnd, &want);
  return PumpUntil(pump, [&] {
    POINT p{};
    return GetCursorPos(&p) && p.x == want.x && p.y == want.y;
  });
}
