#include "x_server.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

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
