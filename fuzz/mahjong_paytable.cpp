// The demo server's mahjong pay table file, then a few rounds on it at every bet, free games
// and settling included.
#include <cstddef>
#include <cstdint>
#include <string>

#include "MahjongTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMahjongPayTable pays;
  std::string error;
  if (!pays.Parse(std::string(reinterpret_cast<const char*>(data), size), &error)) return 0;
  CMahjongTable table(pays, uint32_t(size), 50000);
  SMahjongMachine machine;
  for (int round = 0; round < 12; ++round) {
    const int units = 1 + round % kMahjongMaxBet;
    int64_t charge = 0;
    const char* refusal = nullptr;
    if (!table.Open("p", int64_t(units) * 10, 10, &charge, &refusal) &&
        !table.Open("p", int64_t(kMahjongMaxBet) * 10, 10, &charge, &refusal))
      continue;
    SMahjongResult result;
    if (table.Play("p", machine, &result)) (void)result.ReplyText();
  }
  for (const SMahjongResult& left : table.Settle("p", machine)) (void)left.ReplyText();
  return 0;
}
