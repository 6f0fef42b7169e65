#include "RtpMeter.h"

SRtpResult MeasureReturn(CRtpMachine& machine, int64_t rounds) {
  SRtpResult r;
  for (int64_t i = 0; i < rounds; ++i) {
    int64_t bet = 0, won = 0;
    machine.PlayRound(&bet, &won);
    r.bet += bet;
    r.won += won;
    if (won > 0) ++r.wins;
  }
  r.rounds = rounds;
  return r;
}

void PrintReturn(std::FILE* out, const std::string& name, const SRtpResult& result) {
  std::fprintf(out, "%s: return %.2f %% over %lld rounds (hit rate %.1f %%)\n", name.c_str(),
               100.0 * result.Return(), static_cast<long long>(result.rounds),
               result.rounds ? 100.0 * double(result.wins) / double(result.rounds) : 0.0);
}
