// The return to player of a machine, measured by playing many seeded rounds without a client.
// Each game kind with rounds of its own plays them through a CRtpMachine.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CRtpMachine {
 public:
  virtual ~CRtpMachine() = default;
  // One whole round: what it cost and everything it paid (line wins, bonus, jackpot).
  virtual void PlayRound(int64_t* bet, int64_t* won) = 0;
};

struct SRtpResult {
  int64_t rounds = 0;
  int64_t bet = 0;
  int64_t won = 0;
  int64_t wins = 0;  // rounds that paid anything
  double Return() const { return bet > 0 ? double(won) / double(bet) : 0.0; }
};

SRtpResult MeasureReturn(CRtpMachine& machine, int64_t rounds);

// "NAME: return 95.12 % over N rounds (hit rate 31.0 %)".
void PrintReturn(std::FILE* out, const std::string& name, const SRtpResult& result);
