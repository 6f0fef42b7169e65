// slot-server: a game server for the client on loopback.
//   slot-server --script FILE [--port N] [--timeout SECONDS]
//   slot-server --demo [--db FILE] [--log FILE] [--credits N] [--seed N] [--paytable FILE]
//                      [--turntable-paytable FILE] [--mahjong-paytable FILE] [--port N]
//                      [--timeout SECONDS]
//   slot-server --rtp ROUNDS [--seed N] [--turntable-paytable FILE] [--mahjong-paytable FILE]
// Prints "port N" on stdout once listening. Scripted: exits 0 when the client has gone after the
// script ran through without a mismatch, 1 on a mismatch or time-out. Demo: serves one client
// after another until SIGINT or SIGTERM (or the time-out), then exits 0; balances live in the
// database file (default slot-server.db), the session log goes to the log file (default stderr).
// The cards follow from the seed (default: the clock; the log names it), so a seed repeats a
// session; the poker pays come from the pay table file (default: poker-paytable.ini beside the
// program; the turntable machines' from turntable-paytable.ini, the mahjong machine's from
// mahjong-paytable.ini). --rtp plays that many rounds of every machine at its highest bet without
// a client (the mahjong machine at each of its bets) and prints each one's return to player.
// All exit 2 on bad arguments.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <unistd.h>

#include "Balances.h"
#include "DemoMode.h"
#include "MahjongReturn.h"
#include "MahjongTable.h"
#include "PokerHand.h"
#include "ScriptMode.h"
#include "RtpMeter.h"
#include "SlotServer.h"
#include "TurntableTable.h"

namespace {

volatile std::sig_atomic_t g_bStop = 0;

void OnSignal(int) { g_bStop = 1; }

int Usage() {
  std::fprintf(
      stderr,
      "usage: slot-server --script FILE [--port N] [--timeout SECONDS]\n"
      "       slot-server --demo [--db FILE] [--log FILE] [--credits N] [--seed N] [--paytable FILE]\n"
      "                          [--turntable-paytable FILE] [--mahjong-paytable FILE] [--port N]\n"
      "                          [--timeout SECONDS]\n"
      "       slot-server --rtp ROUNDS [--seed N] [--turntable-paytable FILE] [--mahjong-paytable FILE]\n");
  return 2;
}

// The folder of the running program, with its slash.
std::string ProgramFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return std::string();
  const std::string exe(path, size_t(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

bool LoadTurntablePays(std::string path, CTurntablePayTable* pays) {
  std::string error;
  if (path.empty()) path = ProgramFolder() + "turntable-paytable.ini";
  if (pays->Load(path, &error)) return true;
  std::fprintf(stderr, "slot-server: %s\n", error.c_str());
  return false;
}

bool LoadMahjongPays(std::string path, CMahjongPayTable* pays) {
  std::string error;
  if (path.empty()) path = ProgramFolder() + "mahjong-paytable.ini";
  if (pays->Load(path, &error)) return true;
  std::fprintf(stderr, "slot-server: %s\n", error.c_str());
  return false;
}

// Every machine's return over the rounds, each from the same seed.
int RunRtp(long long rounds, uint32_t seed, const std::string& turntablePaytable,
           const std::string& mahjongPaytable) {
  CTurntablePayTable turntables;
  if (!LoadTurntablePays(turntablePaytable, &turntables)) return 1;
  CMahjongPayTable mahjong;
  if (!LoadMahjongPays(mahjongPaytable, &mahjong)) return 1;
  for (const auto& [key, game] : turntables.Games()) {
    CTurntableRtpMachine machine(game, seed);
    PrintReturn(stdout, "turntable machine " + key, MeasureReturn(machine, rounds));
  }
  // The hall's mahjong machine, with its bet unit: the extras belong to the maximum bet.
  std::string gameKey;
  int betUnit = 0;
  CDemoMode::MachineOf("4", &gameKey, &betUnit);
  for (int units = 1; units <= kMahjongMaxBet; ++units) {
    const SMahjongReturn r =
        MeasureMahjongReturn(mahjong, seed, rounds, units, betUnit, CDemoMode::SOptions().startPool);
    std::printf("mahjong machine %s at %d units: %s\n", gameKey.c_str(), units, r.Text().c_str());
  }
  return 0;
}

int RunDemo(const std::string& db, const std::string& logPath, long long credits, long port,
            long timeoutSeconds, bool seeded, uint32_t seed, std::string paytable,
            const std::string& turntablePaytable, const std::string& mahjongPaytable) {
  CBalances book;
  std::string error;
  CPokerPayTable pays;
  if (paytable.empty()) paytable = ProgramFolder() + "poker-paytable.ini";
  if (!pays.Load(paytable, &error)) {
    std::fprintf(stderr, "slot-server: %s\n", error.c_str());
    return 1;
  }
  CTurntablePayTable turntables;
  if (!LoadTurntablePays(turntablePaytable, &turntables)) return 1;
  CMahjongPayTable mahjongPays;
  if (!LoadMahjongPays(mahjongPaytable, &mahjongPays)) return 1;
  if (!seeded) seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  if (!book.Open(db, &error)) {
    std::fprintf(stderr, "slot-server: %s\n", error.c_str());
    return 1;
  }
  std::FILE* log = stderr;
  if (!logPath.empty() && !(log = std::fopen(logPath.c_str(), "a"))) {
    std::fprintf(stderr, "slot-server: cannot write %s\n", logPath.c_str());
    return 1;
  }
  CDemoMode::SOptions options;
  options.startCredits = credits;
  options.pokerPays = &pays;
  options.turntablePays = &turntables;
  options.mahjongPays = &mahjongPays;
  options.seed = seed;
  std::fprintf(log, "seed %u\n", seed);
  std::fflush(log);
  CDemoMode mode(book, options, log);
  CSlotServer server(mode);
  if (!server.Listen(static_cast<uint16_t>(port), &error)) {
    std::fprintf(stderr, "slot-server: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("port %u\n", server.Port());
  std::fflush(stdout);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (!g_bStop && (timeoutSeconds == 0 || std::chrono::steady_clock::now() < deadline)) server.Step(200);
  if (log != stderr) std::fclose(log);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string script, db = "slot-server.db", logPath, paytable, turntablePaytable, mahjongPaytable;
  long long rtpRounds = 0;
  bool demo = false, seeded = false;
  unsigned long seed = 0;
  long port = 0;
  long timeoutSeconds = -1;
  long long credits = 10000;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--demo") {
      demo = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    char* end = nullptr;
    if (arg == "--db") {
      db = argv[++i];
    } else if (arg == "--log") {
      logPath = argv[++i];
    } else if (arg == "--credits") {
      credits = std::strtoll(argv[++i], &end, 10);
      if (*end || credits < 0) return Usage();
    } else if (arg == "--seed") {
      seed = std::strtoul(argv[++i], &end, 10);
      if (*end || !*argv[i] || seed > 0xFFFFFFFFul) return Usage();
      seeded = true;
    } else if (arg == "--paytable") {
      paytable = argv[++i];
    } else if (arg == "--turntable-paytable") {
      turntablePaytable = argv[++i];
    } else if (arg == "--rtp") {
      rtpRounds = std::strtoll(argv[++i], &end, 10);
      if (*end || rtpRounds <= 0) return Usage();
    } else if (arg == "--mahjong-paytable") {
      mahjongPaytable = argv[++i];
    } else if (arg == "--script") {
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
  if (rtpRounds > 0)
    return demo || !script.empty() ? Usage()
                                   : RunRtp(rtpRounds, uint32_t(seed), turntablePaytable, mahjongPaytable);
  if (demo == !script.empty()) return Usage();
  if (demo)
    return RunDemo(db, logPath, credits, port, timeoutSeconds < 0 ? 0 : timeoutSeconds, seeded,
                   static_cast<uint32_t>(seed), paytable, turntablePaytable, mahjongPaytable);
  if (timeoutSeconds < 0) timeoutSeconds = 60;

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
