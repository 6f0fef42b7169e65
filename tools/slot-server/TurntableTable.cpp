#include "TurntableTable.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return std::string();
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

std::vector<std::string> SplitCommas(const std::string& s) {
  std::vector<std::string> out;
  std::string part;
  std::istringstream in(s);
  while (std::getline(in, part, ',')) out.push_back(Trim(part));
  return out;
}

bool IsSymbol(char c) { return c >= 'a' && c <= 'z'; }

// A whole number within 0..limit.
bool Number(const std::string& s, int64_t limit, int64_t* value) {
  if (s.empty() || s.size() > 12) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  *value = std::atoll(s.c_str());
  return *value <= limit;
}

bool Matches(const std::string& pattern, const int (&line)[kTurntableReels]) {
  for (int r = 0; r < kTurntableReels; ++r)
    if (pattern[r] != '*' && pattern[r] - 'a' != line[r]) return false;
  return true;
}

}  // namespace

int TurntableLineRow(int line) { return line - 1; }

bool CTurntablePayTable::Load(const std::string& path, std::string* error) {
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

bool CTurntablePayTable::Parse(const std::string& text, std::string* error) {
  std::map<std::string, STurntableGame> games;
  std::istringstream lines(text);
  std::string line, section;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = (number ? "line " + std::to_string(number) + ": " : std::string()) + why;
    return false;
  };
  STurntableGame* game = nullptr;
  while (std::getline(lines, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3) return fail("bad section \"" + line + "\"");
      section = line.substr(1, line.size() - 2);
      if (games.count(section)) return fail("machine \"" + section + "\" listed twice");
      game = &games[section];
      continue;
    }
    if (!game) return fail("a key before the first machine");
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("no '=' in \"" + line + "\"");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    int64_t n = 0;
    if (key == "bonus") {
      if (value == "boxes")
        game->bonus = STurntableGame::kBoxes;
      else if (value == "wheel")
        game->bonus = STurntableGame::kWheel;
      else
        return fail("bonus is boxes or wheel");
    } else if (key.size() == 5 && key.compare(0, 4, "reel") == 0 && key[4] >= '1' &&
               key[4] < '1' + kTurntableReels) {
      std::vector<int>& reel = game->reels[key[4] - '1'];
      reel.clear();
      for (const std::string& s : SplitCommas(value)) {
        if (s.size() != 1 || !IsSymbol(s[0])) return fail(key + " wants symbol letters a to z");
        reel.push_back(s[0] - 'a');
      }
      if (int(reel.size()) < kTurntableRows) return fail(key + " wants at least three cells");
    } else if (key == "pay") {
      const std::vector<std::string> parts = SplitCommas(value);
      bool good = parts.size() == 2 && parts[0].size() == kTurntableReels && Number(parts[1], 1000000, &n);
      for (size_t i = 0; good && i < parts[0].size(); ++i) good = IsSymbol(parts[0][i]) || parts[0][i] == '*';
      if (!good) return fail("pay wants pattern,pays (three letters or *, 0 to 1000000)");
      game->pays.push_back({parts[0], n});
    } else if (key == "jackpot") {
      game->jackpot = value;
    } else if (key == "bonus_symbol") {
      if (value.size() != 1 || !IsSymbol(value[0])) return fail("bonus_symbol wants a letter");
      game->bonusSymbol = value[0] - 'a';
    } else if (key == "bonus_count") {
      if (!Number(value, kTurntableReels * kTurntableRows, &n) || n < 1)
        return fail("bonus_count wants 1 to 9");
      game->bonusCount = int(n);
    } else if (key == "prizes" || key == "prize_weights") {
      std::vector<int64_t> values;
      for (const std::string& s : SplitCommas(value)) {
        if (!Number(s, 1000000, &n)) return fail(key + " wants numbers 0 to 1000000");
        values.push_back(n);
      }
      if (key == "prizes") {
        game->prizes = values;
      } else {
        game->prizeWeights.assign(values.begin(), values.end());
      }
    } else {
      return fail("unknown key \"" + key + "\"");
    }
  }
  number = 0;
  if (games.empty()) return fail("no machine");
  for (auto& entry : games) {
    STurntableGame& g = entry.second;
    const std::string where = "machine \"" + entry.first + "\": ";
    for (const std::vector<int>& reel : g.reels)
      if (reel.empty()) return fail(where + "wants reel1 to reel3");
    if (g.pays.empty()) return fail(where + "pays nothing");
    if (!g.jackpot.empty() &&
        std::none_of(g.pays.begin(), g.pays.end(), [&](const auto& p) { return p.pattern == g.jackpot; }))
      return fail(where + "the jackpot is none of its pay patterns");
    if (g.bonusSymbol >= 0) {
      if (g.prizes.empty()) return fail(where + "a bonus wants prizes");
      if (g.bonus == STurntableGame::kBoxes && g.prizes.size() > kTurntableMaxBoxes)
        return fail(where + "at most ten boxes");
      if (g.bonus == STurntableGame::kWheel) {
        // The wheel's prize index goes to the client as a letter.
        if (g.prizes.size() > kTurntableMaxWheelPrizes) return fail(where + "at most 26 wheel prizes");
        if (g.prizeWeights.size() != g.prizes.size()) return fail(where + "one prize weight per prize");
        if (std::all_of(g.prizeWeights.begin(), g.prizeWeights.end(), [](int w) { return w == 0; }))
          return fail(where + "the prize weights are all 0");
      }
    }
    if (g.bonus == STurntableGame::kBoxes) g.prizeWeights.assign(g.prizes.size(), 1);
  }
  m_Games = std::move(games);
  return true;
}

const STurntableGame* CTurntablePayTable::Game(const std::string& key) const {
  auto it = m_Games.find(key);
  return it == m_Games.end() ? nullptr : &it->second;
}

std::string STurntableSpin::ReplyText() const {
  std::string code(1, jackpot ? '3' : bonus ? '2' : '1');
  for (int r = 0; r < kTurntableReels; ++r)
    for (int row = 0; row < kTurntableRows; ++row) code += char('a' + symbols[r][row]);
  code.resize(1 + kTurntableCodeSymbols, 'a');
  std::string text = "1541 " + std::to_string(win) + " " + code;
  for (bool won : lineWon) text += won ? " 1" : " 0";
  return text;
}

CTurntableTable::CTurntableTable(const CTurntablePayTable& pays, uint32_t seed)
    : m_Pays(pays), m_Random(seed) {}

uint32_t CTurntableTable::Below(uint32_t n) {
  // Drawn again above the last whole multiple of n, so no value is favoured.
  const uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % n;
  uint32_t r;
  do r = static_cast<uint32_t>(m_Random());
  while (r >= limit);
  return r % n;
}

void CTurntableTable::SpinInto(const STurntableGame& game, int64_t betUnit, int multiple,
                               STurntableSpin* spin) {
  STurntableSpin s;
  s.bet = betUnit * multiple;
  s.lines = std::clamp(multiple, 1, kTurntableLines);
  int bonusCells = 0;
  for (int r = 0; r < kTurntableReels; ++r) {
    const std::vector<int>& reel = game.reels[r];
    const int n = int(reel.size());
    const int stop = int(Below(uint32_t(n)));
    s.stops[r] = stop;
    for (int row = 0; row < kTurntableRows; ++row) {
      s.symbols[r][row] = reel[size_t((stop + row - 1 + n) % n)];
      if (s.symbols[r][row] == game.bonusSymbol) ++bonusCells;
    }
  }
  for (int line = 1; line <= s.lines; ++line) {
    int cells[kTurntableReels];
    for (int r = 0; r < kTurntableReels; ++r) cells[r] = s.symbols[r][TurntableLineRow(line)];
    for (const STurntableGame::SPay& pay : game.pays) {
      if (!Matches(pay.pattern, cells)) continue;
      if (pay.pays > 0) {
        s.lineWon[line - 1] = true;
        s.win += pay.pays * betUnit;
      }
      break;
    }
    if (!game.jackpot.empty() && s.lines == kTurntableLines && Matches(game.jackpot, cells)) s.jackpot = true;
  }
  s.bonus = !s.jackpot && game.bonusSymbol >= 0 && bonusCells >= game.bonusCount;
  *spin = s;
}

int64_t CTurntableTable::BonusPrize(const STurntableGame& game, int64_t bet, int box, int* target) {
  const int count = int(game.prizes.size());
  if (game.bonus == STurntableGame::kBoxes) {
    // The prizes are hidden in the boxes afresh for every bonus.
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) order[size_t(i)] = i;
    for (int i = count - 1; i > 0; --i) std::swap(order[size_t(i)], order[Below(uint32_t(i) + 1)]);
    // With fewer prizes than boxes the boxes hold them over again, so a picked box always opens.
    if (box < 0) box = int(Below(uint32_t(count)));
    *target = box;
    return game.prizes[size_t(order[size_t(box % count)])] * bet;
  }
  uint32_t total = 0;
  for (int w : game.prizeWeights) total += uint32_t(w);
  uint32_t pick = Below(total);
  int k = 0;
  while (pick >= uint32_t(game.prizeWeights[size_t(k)])) pick -= uint32_t(game.prizeWeights[size_t(k++)]);
  *target = k;
  return game.prizes[size_t(k)] * bet;
}

bool CTurntableTable::Open(const std::string& user, const std::string& gameKey, int64_t betUnit,
                           int multiple) {
  const STurntableGame* game = m_Pays.Game(gameKey);
  if (!game || HasRound(user) || betUnit <= 0 || multiple < 1 || multiple > kTurntableLines) return false;
  SRound& round = m_Rounds[user];
  round.game = game;
  round.betUnit = betUnit;
  round.multiple = multiple;
  round.bet = betUnit * multiple;
  return true;
}

bool CTurntableTable::HasSpun(const std::string& user) const {
  auto it = m_Rounds.find(user);
  return it != m_Rounds.end() && it->second.spun;
}

bool CTurntableTable::BonusPending(const std::string& user) const {
  auto it = m_Rounds.find(user);
  return it != m_Rounds.end() && it->second.spun && it->second.spin.bonus;
}

bool CTurntableTable::Spin(const std::string& user, STurntableSpin* spin) {
  auto it = m_Rounds.find(user);
  if (it == m_Rounds.end() || it->second.spun) return false;
  SRound& round = it->second;
  SpinInto(*round.game, round.betUnit, round.multiple, &round.spin);
  round.spun = true;
  *spin = round.spin;
  if (!round.spin.bonus) m_Rounds.erase(it);
  return true;
}

bool CTurntableTable::Bonus(const std::string& user, int box, int64_t* prize, int* target) {
  if (!BonusPending(user)) return false;
  auto it = m_Rounds.find(user);
  *prize = BonusPrize(*it->second.game, it->second.bet, box, target);
  m_Rounds.erase(it);
  return true;
}

bool CTurntableTable::Settle(const std::string& user, int64_t* bet, int64_t* won, bool* jackpot) {
  auto it = m_Rounds.find(user);
  if (it == m_Rounds.end()) return false;
  SRound round = it->second;
  m_Rounds.erase(it);
  if (!round.spun) SpinInto(*round.game, round.betUnit, round.multiple, &round.spin);
  *bet = round.bet;
  *won = round.spin.win;
  *jackpot = round.spin.jackpot;
  if (round.spin.bonus) {
    int target = 0;
    *won += BonusPrize(*round.game, round.bet, -1, &target);
  }
  return true;
}

void CTurntableTable::PlayRound(const STurntableGame& game, int64_t betUnit, int multiple,
                                STurntableSpin* spin, int64_t* bonusPrize) {
  SpinInto(game, betUnit, multiple, spin);
  *bonusPrize = 0;
  int target = 0;
  if (spin->bonus) *bonusPrize = BonusPrize(game, spin->bet, -1, &target);
}

CTurntableRtpMachine::CTurntableRtpMachine(const STurntableGame& game, uint32_t seed)
    : m_Table(m_Empty, seed), m_Game(game) {}

void CTurntableRtpMachine::PlayRound(int64_t* bet, int64_t* won) {
  STurntableSpin spin;
  int64_t prize = 0;
  m_Table.PlayRound(m_Game, 1, kTurntableLines, &spin, &prize);
  *bet = spin.bet;
  *won = spin.win + prize;
}
