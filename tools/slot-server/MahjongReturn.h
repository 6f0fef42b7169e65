// The mahjong machine's return to player, measured by playing seeded rounds against its pay
// table with a fresh machine: what the measuring mode of the server prints and the tests check.
#pragma once

#include <cstdint>
#include <string>

class CMahjongPayTable;

struct SMahjongReturn {
  int64_t rounds = 0;     // charged rounds
  int64_t freeGames = 0;  // played besides them
  int64_t charged = 0;
  // Paid, by source.
  int64_t lines = 0, freeLines = 0, dice = 0, allMahjong = 0, heavenly = 0;
  int64_t Paid() const { return lines + freeLines + dice + allMahjong + heavenly; }
  double Percent(int64_t part) const { return charged ? 100.0 * double(part) / double(charged) : 0.0; }
  std::string Text() const;
};

// rounds charged rounds of units bet units each (1 to 3), every free game they win played too.
SMahjongReturn MeasureMahjongReturn(const CMahjongPayTable& pays, uint32_t seed, int64_t rounds, int units,
                                    int betUnit, int64_t startPool);
