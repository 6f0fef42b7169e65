#include "MahjongReturn.h"

#include <cstdio>

#include "MahjongTable.h"

std::string SMahjongReturn::Text() const {
  char text[512];
  std::snprintf(text, sizeof text,
                "return %.2f %% over %lld rounds and %lld free games: lines %.2f %%, free games %.2f %%, "
                "dice %.2f %%, all mahjong %.2f %%, heavenly hand %.2f %%",
                Percent(Paid()), static_cast<long long>(rounds), static_cast<long long>(freeGames),
                Percent(lines), Percent(freeLines), Percent(dice), Percent(allMahjong), Percent(heavenly));
  return text;
}

SMahjongReturn MeasureMahjongReturn(const CMahjongPayTable& pays, uint32_t seed, int64_t rounds, int units,
                                    int betUnit, int64_t startPool) {
  CMahjongTable table(pays, seed, startPool);
  SMahjongMachine machine;
  machine.pool = startPool;
  SMahjongReturn r;
  const std::string player = "rtp";
  while (r.rounds < rounds || table.FreeGames(player) > 0) {
    const bool free = table.FreeGames(player) > 0;
    int64_t charge = 0;
    const char* refusal = nullptr;
    if (!table.Open(player, int64_t(free ? kMahjongMaxBet : units) * betUnit, betUnit, &charge, &refusal))
      break;
    SMahjongResult result;
    table.Play(player, machine, &result);
    r.charged += charge;
    (free ? r.freeGames : r.rounds) += 1;
    (free ? r.freeLines : r.lines) += result.lineWin;
    r.dice += result.diceWin;
    r.allMahjong += result.allMahjong;
    r.heavenly += result.heavenly;
  }
  return r;
}
