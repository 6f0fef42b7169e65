// The mahjong machine's rounds: nine tiles drawn by weight into three rows, each row a pay line,
// the extras of the maximum bet (dice lamps, the all-mahjong bonus, the heavenly hand that wins
// the machine's pool), bonus cards for rows of three alike and the free games they lead to.
// Tiles come only from here; the player chooses only the bet.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

constexpr int kMahjongTiles = 6;
constexpr int kMahjongRows = 3;
constexpr int kMahjongAwards = 15;
// The bet units of the maximum bet: all three lines, and the extras.
constexpr int kMahjongMaxBet = 3;

// The pay table file, INI text:
//   [TILES]   letter=weight                 the six tiles ('a'..'l'), weights 1..1000
//   [AWARDS]  letter=pattern,pays           awards 'a'..'o'; the pattern reads a row left to
//             right, '*' any tile; "{xyz}" the three tiles in any order; pays per line unit
//   [BONUS]   jackpot=award letter, all_mahjong=units, pool_share=percent of each bet,
//             lamp_tiles=tiles whose outer pair lights a dice lamp, free_games=count:weight,...
// Every key must be there; the free-game counts may be at most eight.
class CMahjongPayTable {
 public:
  struct SAward {
    char letter = 0;
    std::string pattern;  // three characters, or "{xyz}"
    int64_t pays = 0;
  };
  struct SFreeGames {
    int count = 0;
    int weight = 0;
  };
  bool Load(const std::string& path, std::string* error);
  bool Parse(const std::string& text, std::string* error);

  // The best-paying award a row of three tile letters makes, 'p' for none.
  char Award(const char* row) const;
  int64_t Pays(char award) const;

  const std::string& Tiles() const { return m_strTiles; }
  const std::vector<int>& Weights() const { return m_Weights; }
  char Jackpot() const { return m_cJackpot; }
  int64_t AllMahjongUnits() const { return m_nAllMahjong; }
  int PoolShare() const { return m_nPoolShare; }
  bool LightsLamp(char tile) const { return m_strLampTiles.find(tile) != std::string::npos; }
  const std::vector<SFreeGames>& FreeGames() const { return m_FreeGames; }

 private:
  std::string m_strTiles;
  std::vector<int> m_Weights;
  std::vector<SAward> m_Awards;
  char m_cJackpot = 0;
  int64_t m_nAllMahjong = 0;
  int m_nPoolShare = 0;
  std::string m_strLampTiles;
  std::vector<SFreeGames> m_FreeGames;
};

// A machine's shared state, kept in the book between rounds.
struct SMahjongMachine {
  int64_t pool = 0;
  int lamps = 0;      // 0..4 lit
  int64_t carry = 0;  // hundredths of a credit of pool share not yet in the pool
};

struct SMahjongResult {
  char tiles[kMahjongRows * 3 + 1] = {};  // row by row
  char awards[kMahjongRows + 1] = {'p', 'p', 'p', 0};
  int bonusRows[kMahjongRows] = {};
  int lampRows[kMahjongRows] = {};
  int dice[2] = {};
  bool freeGame = false;  // played without charge
  bool jackpot = false;   // a line shows the jackpot award
  int64_t bet = 0;        // charged
  int64_t lineWin = 0;
  int freeGamesWon = 0;
  int64_t allMahjong = 0;
  int64_t heavenly = 0;
  int64_t diceWin = 0;
  int64_t pool = 0;  // after the round

  int64_t Paid() const { return lineWin + allMahjong + heavenly + diceWin; }
  // The 1543 reply: slot-id is not part of it; fields 1..12 as the client reads them.
  std::string ReplyText() const;
};

class CMahjongTable {
 public:
  // The same seed draws the same tiles for the same requests; a pool won starts again at
  // startPool.
  CMahjongTable(const CMahjongPayTable& pays, uint32_t seed, int64_t startPool);

  // The player's free games still to play.
  int FreeGames(const std::string& user) const;
  bool HasRound(const std::string& user) const;
  // Opens the player's round for a bet of this many credits. During free games only the
  // maximum bet opens one, charged nothing; otherwise one to three units. *charge is what the
  // bet costs; false (and a reason) when no round opens.
  bool Open(const std::string& user, int64_t amount, int betUnit, int64_t* charge, const char** refusal);
  // Plays the open round against the machine.
  bool Play(const std::string& user, SMahjongMachine& machine, SMahjongResult* result);
  // The rounds a player left: the open one and every free game still due, played out.
  std::vector<SMahjongResult> Settle(const std::string& user, SMahjongMachine& machine);

  // One round on a given grid (nine tiles, row by row) for a bet of units: the evaluation
  // without the draw. rackRows counts the bonus-card rows dealt since the last free games.
  void Evaluate(const char* tiles, int units, int betUnit, bool freeGame, int* rackRows,
                SMahjongMachine& machine, SMahjongResult* result);

 private:
  struct SPlayer {
    bool open = false;
    bool freeRound = false;
    int units = 0;
    int betUnit = 0;
    int freeGames = 0;
    int rackRows = 0;  // bonus-card rows since the last free games
  };
  // 0 .. n-1, evenly.
  uint32_t Below(uint32_t n);
  char DrawTile();

  const CMahjongPayTable& m_Pays;
  std::mt19937 m_Random;
  int64_t m_nStartPool;
  std::map<std::string, SPlayer> m_Players;
};
