#include "Balances.h"

#include <sqlite3.h>

#include <ctime>

namespace {

// Statements with their bound values; finalised on every path.
class CStatement {
 public:
  CStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_p, nullptr); }
  ~CStatement() { sqlite3_finalize(m_p); }
  CStatement(const CStatement&) = delete;
  CStatement& operator=(const CStatement&) = delete;
  bool Ok() const { return m_p != nullptr; }
  void Bind(int i, const std::string& s) { sqlite3_bind_text(m_p, i, s.c_str(), -1, SQLITE_TRANSIENT); }
  void Bind(int i, int64_t v) { sqlite3_bind_int64(m_p, i, v); }
  int Step() { return sqlite3_step(m_p); }
  int64_t Column(int i) { return sqlite3_column_int64(m_p, i); }

 private:
  sqlite3_stmt* m_p = nullptr;
};

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS players(user TEXT PRIMARY KEY, credits INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS machines(slot_id INTEGER PRIMARY KEY, pool INTEGER NOT NULL,"
    " lamps INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS sessions(id INTEGER PRIMARY KEY, user TEXT NOT NULL,"
    " slot_type TEXT NOT NULL, slot_id INTEGER NOT NULL, started INTEGER NOT NULL, ended INTEGER);"
    "CREATE TABLE IF NOT EXISTS rounds(id INTEGER PRIMARY KEY, session INTEGER NOT NULL,"
    " user TEXT NOT NULL, bet INTEGER NOT NULL, win INTEGER NOT NULL, jackpot INTEGER NOT NULL,"
    " at INTEGER NOT NULL);";

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

// Local midnight of today, in seconds since the epoch.
int64_t TodayStart() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
  return static_cast<int64_t>(std::mktime(&tm));
}

}  // namespace

CBalances::~CBalances() { sqlite3_close(m_pDb); }

bool CBalances::Open(const std::string& path, std::string* error) {
  sqlite3_close(m_pDb);
  m_pDb = nullptr;
  if (sqlite3_open_v2(path.c_str(), &m_pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
          SQLITE_OK ||
      !Exec("PRAGMA journal_mode=WAL;") || !Exec(kSchema)) {
    if (error) *error = path + ": " + (m_pDb ? sqlite3_errmsg(m_pDb) : "cannot open");
    sqlite3_close(m_pDb);
    m_pDb = nullptr;
    return false;
  }
  // A busy file (another server on it) waits a little rather than failing at once.
  sqlite3_busy_timeout(m_pDb, 2000);
  return true;
}

bool CBalances::Exec(const char* sql) {
  return sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int64_t CBalances::QueryInt(const char* sql, const std::string& text, int64_t number, int64_t fallback) {
  CStatement s(m_pDb, sql);
  if (!s.Ok()) return fallback;
  if (!text.empty()) s.Bind(1, text);
  if (number) s.Bind(text.empty() ? 1 : 2, number);
  return s.Step() == SQLITE_ROW ? s.Column(0) : fallback;
}

int64_t CBalances::Credits(const std::string& user, int64_t startCredits) {
  CStatement add(m_pDb, "INSERT OR IGNORE INTO players(user, credits) VALUES(?, ?)");
  if (add.Ok()) {
    add.Bind(1, user);
    add.Bind(2, startCredits);
    add.Step();
  }
  return QueryInt("SELECT credits FROM players WHERE user = ?", user, 0, startCredits);
}

bool CBalances::SetCredits(const std::string& user, int64_t credits) {
  CStatement s(
      m_pDb, "INSERT INTO players(user, credits) VALUES(?, ?) ON CONFLICT(user) DO UPDATE SET credits = ?2");
  if (!s.Ok()) return false;
  s.Bind(1, user);
  s.Bind(2, credits);
  return s.Step() == SQLITE_DONE;
}

CBalances::SMachine CBalances::Machine(int slotId, int64_t startPool) {
  CStatement add(m_pDb, "INSERT OR IGNORE INTO machines(slot_id, pool, lamps) VALUES(?, ?, 0)");
  if (add.Ok()) {
    add.Bind(1, int64_t(slotId));
    add.Bind(2, startPool);
    add.Step();
  }
  SMachine m;
  m.pool = startPool;
  CStatement s(m_pDb, "SELECT pool, lamps FROM machines WHERE slot_id = ?");
  if (s.Ok()) {
    s.Bind(1, int64_t(slotId));
    if (s.Step() == SQLITE_ROW) {
      m.pool = s.Column(0);
      m.lamps = static_cast<int>(s.Column(1));
    }
  }
  return m;
}

bool CBalances::SetMachine(int slotId, const SMachine& machine) {
  CStatement s(m_pDb,
               "INSERT INTO machines(slot_id, pool, lamps) VALUES(?, ?, ?)"
               " ON CONFLICT(slot_id) DO UPDATE SET pool = ?2, lamps = ?3");
  if (!s.Ok()) return false;
  s.Bind(1, int64_t(slotId));
  s.Bind(2, machine.pool);
  s.Bind(3, int64_t(machine.lamps));
  return s.Step() == SQLITE_DONE;
}

int64_t CBalances::BeginSession(const std::string& user, const std::string& slotType, int slotId) {
  CStatement s(m_pDb, "INSERT INTO sessions(user, slot_type, slot_id, started) VALUES(?, ?, ?, ?)");
  if (!s.Ok()) return 0;
  s.Bind(1, user);
  s.Bind(2, slotType);
  s.Bind(3, int64_t(slotId));
  s.Bind(4, Now());
  return s.Step() == SQLITE_DONE ? sqlite3_last_insert_rowid(m_pDb) : 0;
}

void CBalances::EndSession(int64_t session) {
  if (!session) return;
  CStatement s(m_pDb, "UPDATE sessions SET ended = ? WHERE id = ?");
  if (!s.Ok()) return;
  s.Bind(1, Now());
  s.Bind(2, session);
  s.Step();
}

void CBalances::AddRound(int64_t session, const std::string& user, int64_t bet, int64_t win, bool jackpot) {
  CStatement s(m_pDb, "INSERT INTO rounds(session, user, bet, win, jackpot, at) VALUES(?, ?, ?, ?, ?, ?)");
  if (!s.Ok()) return;
  s.Bind(1, session);
  s.Bind(2, user);
  s.Bind(3, bet);
  s.Bind(4, win);
  s.Bind(5, int64_t(jackpot ? 1 : 0));
  s.Bind(6, Now());
  s.Step();
}

int CBalances::WeekJackpots() {
  return static_cast<int>(QueryInt("SELECT COUNT(*) FROM rounds WHERE jackpot != 0 AND at >= ?",
                                   std::string(), Now() - 7 * 86400));
}

int64_t CBalances::WeekTopWin() {
  return QueryInt("SELECT COALESCE(MAX(win), 0) FROM rounds WHERE at >= ?", std::string(), Now() - 7 * 86400);
}

int CBalances::TodayWinners() {
  return static_cast<int>(QueryInt("SELECT COUNT(DISTINCT user) FROM rounds WHERE win > 0 AND at >= ?",
                                   std::string(), TodayStart()));
}
