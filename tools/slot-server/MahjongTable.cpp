#include "MahjongTable.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The client's card set holds three rows of bonus cards; the third brings the free games.
constexpr int kRackRows = 3;
constexpr int kLamps = 5;
constexpr int kMaxFreeCounts = 8;

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return std::string();
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// A whole number within lo..hi, nothing else on the text.
bool Whole(const std::string& text, long long lo, long long hi, long long* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long long n = std::strtoll(text.c_str(), &end, 10);
  if (*end || n < lo || n > hi) return false;
  *out = n;
  return true;
}

bool Matches(const std::string& pattern, const char* row) {
  if (pattern[0] == '{') {
    std::string want = pattern.substr(1, 3), got(row, 3);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    return want == got;
  }
  for (int i = 0; i < 3; ++i)
    if (pattern[i] != '*' && pattern[i] != row[i]) return false;
  return true;
}

}  // namespace

bool CMahjongPayTable::Load(const std::string& path, std::string* error) {
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

bool CMahjongPayTable::Parse(const std::string& text, std::string* error) {
  CMahjongPayTable t;
  std::map<std::string, std::string> bonus;
  std::istringstream lines(text);
  std::string line, section;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = (number ? "line " + std::to_string(number) + ": " : std::string()) + why;
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
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("no '=' in \"" + line + "\"");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    long long n = 0;
    if (section == "[TILES]") {
      if (key.size() != 1 || key[0] < 'a' || key[0] > 'l' || t.m_strTiles.find(key[0]) != std::string::npos)
        return fail("tile \"" + key + "\" is not a new letter a to l");
      if (!Whole(value, 1, 1000, &n)) return fail("tile \"" + key + "\" wants a weight of 1 to 1000");
      t.m_strTiles += key[0];
      t.m_Weights.push_back(int(n));
    } else if (section == "[AWARDS]") {
      const char letter = key.size() == 1 ? key[0] : 0;
      if (letter < 'a' || letter > 'o' || t.Pays(letter) >= 0)
        return fail("award \"" + key + "\" is not a new letter a to o");
      const size_t comma = value.find(',');
      SAward a;
      a.letter = letter;
      a.pattern = Trim(value.substr(0, comma));
      const bool anyOrder = a.pattern.size() == 5 && a.pattern[0] == '{' && a.pattern[4] == '}';
      if ((a.pattern.size() != 3 && !anyOrder) || comma == std::string::npos ||
          !Whole(Trim(value.substr(comma + 1)), 1, 1000000, &n))
        return fail("award \"" + key +
                    "\" wants pattern,pays (three tiles or *, or {three tiles}; 1 to 1000000)");
      a.pays = n;
      t.m_Awards.push_back(a);
    } else if (section == "[BONUS]") {
      bonus[key] = value;
    }
  }
  number = 0;
  if (t.m_strTiles.size() != kMahjongTiles) return fail("[TILES] wants six tiles");
  if (t.m_Awards.size() != kMahjongAwards) return fail("[AWARDS] wants the fifteen awards a to o");
  for (const SAward& a : t.m_Awards)
    for (char c : a.pattern)
      if (c != '*' && c != '{' && c != '}' && t.m_strTiles.find(c) == std::string::npos)
        return fail("award " + std::string(1, a.letter) + " names a tile [TILES] lacks");
  for (const char* key : {"jackpot", "all_mahjong", "pool_share", "lamp_tiles", "free_games"})
    if (!bonus.count(key)) return fail(std::string("[BONUS] lacks ") + key);
  const std::string& jackpot = bonus["jackpot"];
  long long n = 0;
  if (jackpot.size() != 1 || t.Pays(jackpot[0]) < 0) return fail("jackpot wants an award letter");
  t.m_cJackpot = jackpot[0];
  if (!Whole(bonus["all_mahjong"], 0, 1000000, &n)) return fail("all_mahjong wants bet units");
  t.m_nAllMahjong = n;
  if (!Whole(bonus["pool_share"], 0, 50, &n)) return fail("pool_share wants a percentage of 0 to 50");
  t.m_nPoolShare = int(n);
  t.m_strLampTiles = bonus["lamp_tiles"];
  for (char c : t.m_strLampTiles)
    if (t.m_strTiles.find(c) == std::string::npos) return fail("lamp_tiles names a tile [TILES] lacks");
  std::istringstream counts(bonus["free_games"]);
  for (std::string item; std::getline(counts, item, ',');) {
    const size_t colon = item.find(':');
    long long count = 0, weight = 0;
    if (colon == std::string::npos || !Whole(Trim(item.substr(0, colon)), 1, 99, &count) ||
        !Whole(Trim(item.substr(colon + 1)), 1, 1000, &weight))
      return fail("free_games wants count:weight,... (1 to 99, 1 to 1000)");
    t.m_FreeGames.push_back(SFreeGames{int(count), int(weight)});
  }
  if (t.m_FreeGames.empty() || t.m_FreeGames.size() > kMaxFreeCounts)
    return fail("free_games wants one to eight counts");
  *this = t;
  return true;
}

int64_t CMahjongPayTable::Pays(char award) const {
  for (const SAward& a : m_Awards)
    if (a.letter == award) return a.pays;
  return -1;
}

char CMahjongPayTable::Award(const char* row) const {
  const SAward* best = nullptr;
  for (const SAward& a : m_Awards)
    if (Matches(a.pattern, row) && (!best || a.pays > best->pays)) best = &a;
  return best ? best->letter : 'p';
}

std::string SMahjongResult::ReplyText() const {
  // kind win tiles awards bonus-rows free-games all-mahjong heavenly lamps dice dice-win pool
  const char kind = jackpot ? '3' : lineWin > 0 ? (freeGame ? '2' : '1') : '0';
  auto flags = [](const int(&f)[kMahjongRows]) {
    std::string s;
    for (int v : f) s += v ? '1' : '0';
    return s;
  };
  return "1543 " + std::string(1, kind) + " " + std::to_string(lineWin) + " " + tiles + " " + awards + " " +
         flags(bonusRows) + " " + std::to_string(freeGamesWon) + " " + std::to_string(allMahjong) + " " +
         std::to_string(heavenly) + " " + flags(lampRows) + " " + std::to_string(dice[0]) +
         std::to_string(dice[1]) + " " + std::to_string(diceWin) + " " + std::to_string(pool);
}

CMahjongTable::CMahjongTable(const CMahjongPayTable& pays, uint32_t seed, int64_t startPool)
    : m_Pays(pays), m_Random(seed), m_nStartPool(startPool) {}

uint32_t CMahjongTable::Below(uint32_t n) {
  const uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % n;
  uint32_t r;
  do r = static_cast<uint32_t>(m_Random());
  while (r >= limit);
  return r % n;
}

char CMahjongTable::DrawTile() {
  int total = 0;
  for (int w : m_Pays.Weights()) total += w;
  int r = int(Below(uint32_t(total)));
  for (size_t i = 0; i < m_Pays.Weights().size(); ++i) {
    if (r < m_Pays.Weights()[i]) return m_Pays.Tiles()[i];
    r -= m_Pays.Weights()[i];
  }
  return m_Pays.Tiles().back();
}

int CMahjongTable::FreeGames(const std::string& user) const {
  auto it = m_Players.find(user);
  return it == m_Players.end() ? 0 : it->second.freeGames;
}

bool CMahjongTable::HasRound(const std::string& user) const {
  auto it = m_Players.find(user);
  return it != m_Players.end() && it->second.open;
}

bool CMahjongTable::Open(const std::string& user, int64_t amount, int betUnit, int64_t* charge,
                         const char** refusal) {
  SPlayer& p = m_Players[user];
  *refusal = nullptr;
  if (p.open)
    *refusal = "bet refused: the last round is still open";
  else if (betUnit <= 0 || amount <= 0 || amount % betUnit != 0 || amount / betUnit > kMahjongMaxBet)
    *refusal = "bet refused: not one to three bet units";
  else if (p.freeGames > 0 && amount != int64_t(kMahjongMaxBet) * betUnit)
    *refusal = "bet refused: free games are played at the maximum bet";
  if (*refusal) return false;
  p.open = true;
  p.freeRound = p.freeGames > 0;
  p.units = int(amount / betUnit);
  p.betUnit = betUnit;
  *charge = p.freeRound ? 0 : amount;
  return true;
}

void CMahjongTable::Evaluate(const char* tiles, int units, int betUnit, bool freeGame, int* rackRows,
                             SMahjongMachine& machine, SMahjongResult* result) {
  SMahjongResult r;
  std::copy(tiles, tiles + kMahjongRows * 3, r.tiles);
  r.freeGame = freeGame;
  r.bet = freeGame ? 0 : int64_t(units) * betUnit;
  // One unit plays the middle row, two add the top row, three all rows (as the line marks show).
  static const int kPlayed[kMahjongMaxBet][kMahjongRows] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}};
  const int* played = kPlayed[(freeGame ? kMahjongMaxBet : std::clamp(units, 1, kMahjongMaxBet)) - 1];
  int won = 0;
  for (int row = 0; row < kMahjongRows; ++row) {
    if (!played[row]) continue;
    const char* t = r.tiles + row * 3;
    r.awards[row] = m_Pays.Award(t);
    if (r.awards[row] == 'p') continue;
    ++won;
    r.lineWin += m_Pays.Pays(r.awards[row]) * betUnit;
    r.jackpot = r.jackpot || r.awards[row] == m_Pays.Jackpot();
    // Rows of three alike deal bonus cards, until the rack is full.
    if (!freeGame && t[0] == t[1] && t[1] == t[2] && *rackRows < kRackRows) {
      r.bonusRows[row] = 1;
      ++*rackRows;
    }
  }
  if (!freeGame && *rackRows >= kRackRows) {
    int total = 0;
    for (const auto& f : m_Pays.FreeGames()) total += f.weight;
    int pick = int(Below(uint32_t(total)));
    for (const auto& f : m_Pays.FreeGames()) {
      if (pick < f.weight) {
        r.freeGamesWon = f.count;
        break;
      }
      pick -= f.weight;
    }
    *rackRows = 0;
  }
  if (!freeGame) {
    machine.carry += r.bet * m_Pays.PoolShare();
    machine.pool += machine.carry / 100;
    machine.carry %= 100;
  }
  // The extras belong to the maximum bet, outside free games.
  if (!freeGame && units == kMahjongMaxBet) {
    int lamps = 0;
    for (int row = 0; row < kMahjongRows; ++row) {
      const char* t = r.tiles + row * 3;
      if (t[0] == t[2] && t[1] != t[0] && m_Pays.LightsLamp(t[0])) {
        r.lampRows[row] = 1;
        ++lamps;
      }
    }
    machine.lamps += lamps;
    if (machine.lamps >= kLamps) {
      // The fifth lamp rolls the dice; the lamps past five start the next series.
      machine.lamps -= kLamps;
      r.dice[0] = int(Below(6)) + 1;
      r.dice[1] = int(Below(6)) + 1;
      r.diceWin = int64_t(r.dice[0] + r.dice[1]) * betUnit;
    }
    if (won == kMahjongRows) r.allMahjong = m_Pays.AllMahjongUnits() * betUnit;
    if (std::all_of(r.tiles, r.tiles + kMahjongRows * 3, [&](char c) { return c == r.tiles[0]; })) {
      r.heavenly = machine.pool;
      machine.pool = m_nStartPool;
    }
  }
  r.pool = machine.pool;
  *result = r;
}

bool CMahjongTable::Play(const std::string& user, SMahjongMachine& machine, SMahjongResult* result) {
  auto it = m_Players.find(user);
  if (it == m_Players.end() || !it->second.open) return false;
  SPlayer& p = it->second;
  char tiles[kMahjongRows * 3];
  for (char& t : tiles) t = DrawTile();
  Evaluate(tiles, p.units, p.betUnit, p.freeRound, &p.rackRows, machine, result);
  if (p.freeRound) --p.freeGames;
  p.freeGames += result->freeGamesWon;
  p.open = false;
  return true;
}

std::vector<SMahjongResult> CMahjongTable::Settle(const std::string& user, SMahjongMachine& machine) {
  std::vector<SMahjongResult> out;
  auto it = m_Players.find(user);
  if (it == m_Players.end()) return out;
  SPlayer& p = it->second;
  while (p.open || p.freeGames > 0) {
    if (!p.open) {
      p.open = p.freeRound = true;
      p.units = kMahjongMaxBet;
    }
    SMahjongResult r;
    Play(user, machine, &r);
    out.push_back(r);
  }
  m_Players.erase(it);
  return out;
}
