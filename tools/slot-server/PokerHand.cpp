#include "PokerHand.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const char* const kHandKeys[kPokerHandCount] = {
    "nothing", "jacks_or_better", "two_pair",       "three_of_a_kind", "straight",
    "flush",   "full_house",      "four_of_a_kind", "straight_flush",  "royal_flush"};

// The value that orders ranks: two 2 .. king 13, ace 14.
int Value(const SPokerCard& card) { return card.rank == 0 ? 14 : card.rank + 1; }

struct SCounts {
  int ofValue[15] = {};  // by Value
  int ofSuit[4] = {};
};

SCounts Count(const SPokerCard (&cards)[kPokerHandSize]) {
  SCounts c;
  for (const SPokerCard& card : cards) {
    ++c.ofValue[Value(card)];
    ++c.ofSuit[card.suit];
  }
  return c;
}

// The low value of the run of five the hand holds (ace low gives 1), or 0.
int StraightLow(const SCounts& c) {
  for (int low = 10; low >= 1; --low) {
    bool all = true;
    for (int v = low; v < low + 5 && all; ++v) all = c.ofValue[v == 1 ? 14 : v] == 1;
    if (all) return low;
  }
  return 0;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

}  // namespace

std::string PokerCardCode(const SPokerCard& card) {
  return std::string{char('a' + card.rank), char('0' + card.suit)};
}

bool ParsePokerCard(const char* code, SPokerCard* card) {
  if (!code || std::strlen(code) != 2 || code[0] < 'a' || code[0] > 'm' || code[1] < '0' || code[1] > '3')
    return false;
  card->rank = code[0] - 'a';
  card->suit = code[1] - '0';
  return true;
}

const char* PokerHandKey(EPokerHand hand) {
  return hand >= 0 && hand < kPokerHandCount ? kHandKeys[hand] : "";
}

EPokerHand RankPokerHand(const SPokerCard (&cards)[kPokerHandSize]) {
  const SCounts c = Count(cards);
  bool flush = false;
  for (int n : c.ofSuit) flush = flush || n == kPokerHandSize;
  const int low = StraightLow(c);
  if (flush && low == 10) return kPokerRoyalFlush;
  if (flush && low) return kPokerStraightFlush;
  int pairs = 0, threes = 0, fours = 0, highPairs = 0;
  for (int v = 2; v <= 14; ++v) {
    if (c.ofValue[v] == 4) ++fours;
    if (c.ofValue[v] == 3) ++threes;
    if (c.ofValue[v] == 2) {
      ++pairs;
      if (v >= 11) ++highPairs;
    }
  }
  if (fours) return kPokerFourOfAKind;
  if (threes && pairs) return kPokerFullHouse;
  if (flush) return kPokerFlush;
  if (low) return kPokerStraight;
  if (threes) return kPokerThreeOfAKind;
  if (pairs == 2) return kPokerTwoPair;
  if (highPairs) return kPokerJacksOrBetter;
  return kPokerNothing;
}

void SuggestPokerHolds(const SPokerCard (&cards)[kPokerHandSize], int (&holds)[kPokerHandSize]) {
  const SCounts c = Count(cards);
  const EPokerHand hand = RankPokerHand(cards);
  for (int& h : holds) h = 0;
  if (hand >= kPokerStraight) {
    for (int& h : holds) h = 1;
    return;
  }
  // Cards that share their value with another.
  bool any = false;
  for (int i = 0; i < kPokerHandSize; ++i) {
    holds[i] = c.ofValue[Value(cards[i])] >= 2;
    any = any || holds[i];
  }
  if (any) return;
  for (int suit = 0; suit < 4; ++suit) {
    if (c.ofSuit[suit] != 4) continue;
    for (int i = 0; i < kPokerHandSize; ++i) holds[i] = cards[i].suit == suit;
    return;
  }
  // Four different values inside one run of five (every value is single here).
  for (int low = 10; low >= 1; --low) {
    int inRun = 0;
    for (int v = low; v < low + 5; ++v) inRun += c.ofValue[v == 1 ? 14 : v];
    if (inRun != 4) continue;
    for (int i = 0; i < kPokerHandSize; ++i) {
      const int v = Value(cards[i]);
      holds[i] = (v >= low && v < low + 5) || (low == 1 && v == 14);
    }
    return;
  }
  for (int i = 0; i < kPokerHandSize; ++i) holds[i] = Value(cards[i]) >= 11;
}

bool CPokerPayTable::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot read the pay table";
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (!Parse(text.str(), error)) {
    if (error) *error = path + ": " + *error;
    return false;
  }
  return true;
}

bool CPokerPayTable::Parse(const std::string& text, std::string* error) {
  SPay pays[kPokerHandCount];
  bool seen[kPokerHandCount] = {};
  std::istringstream lines(text);
  std::string line, section;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line;
      continue;
    }
    if (section != "[PAYS]") continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("no '=' in \"" + line + "\"");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    int hand = 0;
    while (hand < kPokerHandCount && key != kHandKeys[hand]) ++hand;
    if (hand == kPokerHandCount) return fail("unknown hand \"" + key + "\"");
    if (seen[hand]) return fail("\"" + key + "\" listed twice");
    // letter,pays: one lower-case letter, then a whole number of credits per credit bet.
    const size_t comma = value.find(',');
    const std::string letter = Trim(value.substr(0, comma));
    const std::string amount = comma == std::string::npos ? std::string() : Trim(value.substr(comma + 1));
    char* end = nullptr;
    const long long n = std::strtoll(amount.c_str(), &end, 10);
    if (letter.size() != 1 || letter[0] < 'a' || letter[0] > 'z' || amount.empty() || *end || n < 0 ||
        n > 1000000)
      return fail("\"" + key + "\" wants letter,pays (a to z, 0 to 1000000)");
    pays[hand].letter = letter[0];
    pays[hand].pays = n;
    seen[hand] = true;
  }
  for (int hand = 0; hand < kPokerHandCount; ++hand) {
    if (!seen[hand]) {
      number = 0;
      if (error) *error = std::string("hand \"") + kHandKeys[hand] + "\" is missing from [PAYS]";
      return false;
    }
  }
  for (int hand = 0; hand < kPokerHandCount; ++hand) m_Pays[hand] = pays[hand];
  return true;
}
