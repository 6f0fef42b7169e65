// The demo server's book: players' credits, machines, sessions and rounds in one SQLite file,
// so that a restart keeps every player's credits.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

class CBalances {
 public:
  CBalances() = default;
  ~CBalances();
  CBalances(const CBalances&) = delete;
  CBalances& operator=(const CBalances&) = delete;

  // Opens or creates the file and its tables.
  bool Open(const std::string& path, std::string* error);

  // The player's credits; a player seen for the first time starts with startCredits.
  int64_t Credits(const std::string& user, int64_t startCredits);
  bool SetCredits(const std::string& user, int64_t credits);

  // A machine's jackpot pool and lit dice lamps; a new machine starts with the given pool.
  struct SMachine {
    int64_t pool = 0;
    int lamps = 0;
  };
  SMachine Machine(int slotId, int64_t startPool);
  bool SetMachine(int slotId, const SMachine& machine);

  // Sessions: one per accepted entry, ended by the quit or the connection's end.
  int64_t BeginSession(const std::string& user, const std::string& slotType, int slotId);
  void EndSession(int64_t session);
  // One finished round of a session, for the week counters.
  void AddRound(int64_t session, const std::string& user, int64_t bet, int64_t win, bool jackpot);

  // The marquee's counters over the last seven days and today: jackpots, the highest win and
  // the players who won anything today.
  int WeekJackpots();
  int64_t WeekTopWin();
  int TodayWinners();

 private:
  bool Exec(const char* sql);
  int64_t QueryInt(const char* sql, const std::string& text = std::string(), int64_t number = 0,
                   int64_t fallback = 0);

  sqlite3* m_pDb = nullptr;
};
