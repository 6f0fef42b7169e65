// slot-server: a game server for the client on loopback.
//   slot-server --script FILE [--port N] [--timeout SECONDS]
// Prints "port N" on stdout once listening. Exits 0 when the client has gone after the script
// ran through without a mismatch, 1 on a mismatch or time-out, 2 on bad arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ScriptMode.h"
#include "SlotServer.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: slot-server --script FILE [--port N] [--timeout SECONDS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string script;
  long port = 0;
  long timeoutSeconds = 60;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    char* end = nullptr;
    if (arg == "--script") {
      script = argv[++i];
    } else if (arg == "--port") {
      port = std::strtol(argv[++i], &end, 10);
      if (*end || port < 0 || port > 65535) return Usage();
    } else if (arg == "--timeout") {
      timeoutSeconds = std::strtol(argv[++i], &end, 10);
      if (*end || timeoutSeconds <= 0) return Usage();
    } else {
      return Usage();
    }
  }
  if (script.empty()) return Usage();

  std::vector<SScriptStep> steps;
  std::string error;
  if (!CServerScript::Load(script, &steps, &error)) {
    std::fprintf(stderr, "slot-server: %s\n", error.c_str());
    return 2;
  }
  std::unique_ptr<CScriptMode> mode(new CScriptMode(std::move(steps)));
  CSlotServer server(*mode);
  if (!server.Listen(static_cast<uint16_t>(port), &error)) {
    std::fprintf(stderr, "slot-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("port %u\n", server.Port());
  std::fflush(stdout);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  size_t logged = 0;
  while (!(mode->Done() && server.Connections() > 0 && !server.HasClient())) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "slot-server: timed out\n");
      return 1;
    }
    server.Step(100);
    for (; logged < server.Requests().size(); ++logged)
      std::fprintf(stderr, "slot-server: < %s\n", server.Requests()[logged].c_str());
  }
  for (const std::string& f : mode->Failures()) std::fprintf(stderr, "slot-server: %s\n", f.c_str());
  return mode->Failures().empty() ? 0 : 1;
}
