#include "DemoMode.h"

#include <sys/time.h>

#include <cstring>
#include <ctime>

#include "Balances.h"
#include "SlotServer.h"
#include "net/MsgText.h"

namespace {

constexpr int kMaxFields = 64;

bool AllDigits(const char* s) {
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

std::string Number(int64_t v) { return std::to_string(v); }

}  // namespace

CDemoMode::CDemoMode(CBalances& book, const SOptions& options, std::FILE* log)
    : m_Book(book), m_Options(options), m_pLog(log) {}

bool CDemoMode::MachineOf(const std::string& slotType, std::string* gameKey, int* betUnit) {
  // The hall's machines: the slot type's first digit picks the game of the list.
  static const int kBetUnits[] = {10, 10, 5, 20};
  if (slotType.empty() || slotType[0] < '1' || slotType[0] > '4') return false;
  *gameKey = std::string(1, slotType[0]);
  *betUnit = kBetUnits[slotType[0] - '1'];
  return true;
}

void CDemoMode::Log(const char* direction, const std::string& text) {
  if (!m_pLog) return;
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  time_t secs = tv.tv_sec;
  localtime_r(&secs, &tm);
  std::fprintf(m_pLog, "%02d:%02d:%02d.%03d %s %s\n", tm.tm_hour, tm.tm_min, tm.tm_sec,
               int(tv.tv_usec / 1000), direction, text.c_str());
  std::fflush(m_pLog);
}

void CDemoMode::Reply(CSlotServer& server, const std::string& text) {
  Log(">", text);
  server.SendText(text);
}

void CDemoMode::OnConnected(CSlotServer& server) {
  m_bLoggedIn = false;
  m_strUser.clear();
  m_strSlotType.clear();
  m_nSlotId = 0;
  m_nSession = 0;
  Log("+", "client connected");
}

void CDemoMode::OnDisconnected(CSlotServer& server) {
  Log("-", "client gone");
  EndSession();
}

void CDemoMode::EndSession() {
  m_Book.EndSession(m_nSession);
  m_nSession = 0;
  m_bLoggedIn = false;
}

void CDemoMode::OnRequest(CSlotServer& server, const std::string& text) {
  Log("<", text);
  // The request split as the client splits replies: a numeric code, then blank-separated fields.
  CMsgText msg;
  std::string copy = text;
  char* rest = nullptr;
  char* code = msg.SplitFirst(copy.data(), &rest, " ");
  if (!code || !AllDigits(code)) {
    Log("!", "request without a numeric code ignored");
    return;
  }
  char* fields[kMaxFields] = {};
  const int count = rest ? CMsgText::Split(rest, fields, kMaxFields, " ") : 0;
  switch (std::atoi(code)) {
    case 1500:
      Login(server, fields, count);
      break;
    case 1510:
      Enter(server, fields, count);
      break;
    case 503:
      Reply(server, "503 hello");
      break;
    case 1530:
      if (!m_nSession) {
        Log("!", "bet outside a session ignored");
        break;
      }
      // No round results yet: the bet is refused and the credits are confirmed.
      Reply(server, "1531 " + Number(m_nSlotId) + " 0 0");
      SendCredits(server);
      break;
    case 1599:
      EndSession();
      Log("-", "quit: connection closed");
      server.CloseClient();
      break;
    default:
      Log("!", "no answer to this request yet");
      break;
  }
}

void CDemoMode::Login(CSlotServer& server, char** fields, int count) {
  // 1500 cs 0086 slot-type slot-id user
  if (count < 5 || std::strcmp(fields[0], "cs") != 0 || !AllDigits(fields[3]) || std::strlen(fields[3]) > 9) {
    Reply(server, "1501 0");
    return;
  }
  EndSession();
  m_strSlotType = fields[2];
  m_nSlotId = std::atoi(fields[3]);
  m_strUser = fields[4];
  m_bLoggedIn = true;
  Reply(server, "1501 1");
}

void CDemoMode::SendCredits(CSlotServer& server) {
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  Reply(server, "1521 " + m_strUser + " " + Number(m_nSlotId) + " " + Number(credits));
}

void CDemoMode::Enter(CSlotServer& server, char** fields, int count) {
  std::string gameKey;
  int betUnit = 0;
  if (!m_bLoggedIn || count < 1 || !AllDigits(fields[0]) || std::atoi(fields[0]) != m_nSlotId ||
      !MachineOf(m_strSlotType, &gameKey, &betUnit)) {
    Reply(server, "1511 0");
    return;
  }
  // The client enters twice: once to learn its game, once more after loading it.
  if (!m_nSession) m_nSession = m_Book.BeginSession(m_strUser, m_strSlotType, m_nSlotId);
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  const CBalances::SMachine machine = m_Book.Machine(m_nSlotId, m_Options.startPool);
  SendCredits(server);
  // 1 slot-id game-key slot-type bet-unit credits week1 0 week2 pool lamps
  Reply(server, "1511 1 " + Number(m_nSlotId) + " " + gameKey + " " + m_strSlotType + " " + Number(betUnit) +
                    " " + Number(credits) + " " + Number(m_Book.WeekJackpots()) + " 0 " +
                    Number(m_Book.WeekTopWin()) + " " + Number(machine.pool) + " " + Number(machine.lamps));
  Reply(server, "1570 " + Number(m_Book.TodayWinners()));
}
