// The demo server's turntable pay table file, then a few rounds of every machine it describes,
// bonus games included.
#include <cstddef>
#include <cstdint>
#include <string>

#include "TurntableTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CTurntablePayTable table;
  std::string error;
  if (!table.Parse(std::string(reinterpret_cast<const char*>(data), size), &error)) return 0;
  for (const auto& [key, game] : table.Games()) {
    CTurntableRtpMachine machine(game, uint32_t(size));
    for (int round = 0; round < 8; ++round) {
      int64_t bet = 0, won = 0;
      machine.PlayRound(&bet, &won);
    }
    STurntableSpin spin;
    (void)spin.ReplyText();
  }
  return 0;
}
