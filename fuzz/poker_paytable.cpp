// The demo server's poker pay table file, then the ranking and the suggested holds of hands cut
// from the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PokerHand.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CPokerPayTable table;
  std::string error;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (table.Parse(text, &error)) {
    for (int h = 0; h < kPokerHandCount; ++h) (void)table.Pay(static_cast<EPokerHand>(h));
  }
  for (size_t at = 0; at + 2 * kPokerHandSize <= size; at += 2 * kPokerHandSize) {
    SPokerCard cards[kPokerHandSize];
    bool valid = true;
    for (int i = 0; i < kPokerHandSize && valid; ++i) {
      const char code[3] = {char(data[at + 2 * i]), char(data[at + 2 * i + 1]), 0};
      valid = ParsePokerCard(code, &cards[i]);
    }
    if (!valid) continue;
    (void)RankPokerHand(cards);
    int holds[kPokerHandSize];
    SuggestPokerHolds(cards, holds);
  }
  return 0;
}
