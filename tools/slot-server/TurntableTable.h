// The turntable machines' rounds: three reels of three rows stopped at random on their strips,
// line pays from a pay table file, the jackpot and a bonus game (a box the player picks, or a
// bonus wheel the server spins). One open round per player; every result comes from here.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "RtpMeter.h"

constexpr int kTurntableReels = 3;
constexpr int kTurntableRows = 3;
constexpr int kTurntableLines = 3;
// Letters in a result code after its kind.
constexpr int kTurntableCodeSymbols = 20;
constexpr int kTurntableMaxBoxes = 10;
constexpr size_t kTurntableMaxWheelPrizes = 26;

// One machine of the pay table file. Symbols are indices, written as letters 'a' + index.
struct STurntableGame {
  enum EBonus { kBoxes, kWheel };
  struct SPay {
    std::string pattern;  // three letters, '*' for any symbol
    int64_t pays = 0;     // credits per bet unit on the line
  };
  EBonus bonus = kBoxes;
  std::vector<int> reels[kTurntableReels];
  std::vector<SPay> pays;  // the first pattern a line matches pays
  std::string jackpot;     // a line of this pattern with every line bet is the jackpot
  int bonusSymbol = -1;
  int bonusCount = 3;             // that many bonus symbols anywhere in the window start it
  std::vector<int64_t> prizes;    // bonus prizes, multiples of the bet
  std::vector<int> prizeWeights;  // the wheel's chance of each prize (boxes: all alike)
};

// The file: INI text, one section per game key of the hall, e.g.
//   [1]
//   bonus=boxes              ; or wheel
//   reel1=a,b,c,...          ; the strips, symbol letters
//   pay=aaa,500              ; in order, as many as wanted
//   jackpot=aaa
//   bonus_symbol=g
//   bonus_count=3
//   prizes=5,10,20           ; boxes: at most ten
//   prize_weights=5,3,1      ; wheel only
class CTurntablePayTable {
 public:
  bool Load(const std::string& path, std::string* error);
  bool Parse(const std::string& text, std::string* error);
  // The machine of a game key, or null.
  const STurntableGame* Game(const std::string& key) const;
  const std::map<std::string, STurntableGame>& Games() const { return m_Games; }

 private:
  std::map<std::string, STurntableGame> m_Games;
};

// The spin of an accepted bet.
struct STurntableSpin {
  int stops[kTurntableReels] = {};                    // strip index shown in the middle row
  int symbols[kTurntableReels][kTurntableRows] = {};  // top, middle, bottom of each reel
  int lines = 0;                                      // lines bet
  bool lineWon[kTurntableLines] = {};
  int64_t bet = 0;
  int64_t win = 0;  // the lines' pays
  bool jackpot = false;
  bool bonus = false;

  // The 1541 reply: win, the code (kind, then each reel's top, middle and bottom symbol and
  // letters 'a' up to twenty), the three line flags.
  std::string ReplyText() const;
};

// Line n is the n-th symbol of each reel's group in the result, its n-th row from the top (the
// client lights line n from the same letters); a bet of n units plays lines 1 to n.
int TurntableLineRow(int line);

class CTurntableTable {
 public:
  CTurntableTable(const CTurntablePayTable& pays, uint32_t seed);

  // A bet of multiple x betUnit on a machine opens the player's round; false while one is open
  // or for a machine the table lacks.
  bool Open(const std::string& user, const std::string& gameKey, int64_t betUnit, int multiple);
  bool HasRound(const std::string& user) const { return m_Rounds.count(user) != 0; }
  bool HasSpun(const std::string& user) const;
  // The spin of an open round that has not spun. Without a bonus the round closes.
  bool Spin(const std::string& user, STurntableSpin* spin);
  bool BonusPending(const std::string& user) const;
  // The bonus of a spun round: box 0..9 the player picked, or -1 to let the machine choose (the
  // wheel always does). The round closes. *target is the box or the wheel's prize index.
  bool Bonus(const std::string& user, int box, int64_t* prize, int* target);
  // A round its player left open: spun if needed and its bonus chosen by the machine. The
  // bet and everything won, for the book.
  bool Settle(const std::string& user, int64_t* bet, int64_t* won, bool* jackpot);

  // The same bet placed and played through for a measurement, without any player.
  void PlayRound(const STurntableGame& game, int64_t betUnit, int multiple, STurntableSpin* spin,
                 int64_t* bonusPrize);

 private:
  struct SRound {
    const STurntableGame* game = nullptr;
    int64_t bet = 0;
    int64_t betUnit = 0;
    int multiple = 0;
    bool spun = false;
    STurntableSpin spin;
  };
  uint32_t Below(uint32_t n);
  void SpinInto(const STurntableGame& game, int64_t betUnit, int multiple, STurntableSpin* spin);
  int64_t BonusPrize(const STurntableGame& game, int64_t bet, int box, int* target);

  const CTurntablePayTable& m_Pays;
  std::mt19937 m_Random;
  std::map<std::string, SRound> m_Rounds;
};

// A turntable machine played at its highest bet, for the return measurement.
class CTurntableRtpMachine : public CRtpMachine {
 public:
  CTurntableRtpMachine(const STurntableGame& game, uint32_t seed);
  void PlayRound(int64_t* bet, int64_t* won) override;

 private:
  CTurntablePayTable m_Empty;
  CTurntableTable m_Table;
  const STurntableGame& m_Game;
};
