#include "DemoMode.h"

#include <sys/time.h>

#include <cstring>
#include <ctime>

#include "Balances.h"
#include "MahjongTable.h"
#include "PokerTable.h"
#include "SlotServer.h"
#include "TurntableTable.h"
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
    : m_Book(book), m_Options(options), m_pLog(log) {
  if (options.pokerPays) m_pPoker = std::make_unique<CPokerTable>(*options.pokerPays, options.seed);
  if (options.turntablePays)
    m_pTurntable = std::make_unique<CTurntableTable>(*options.turntablePays, options.seed);
  if (options.mahjongPays)
    m_pMahjong = std::make_unique<CMahjongTable>(*options.mahjongPays, options.seed, options.startPool);
}

CDemoMode::~CDemoMode() = default;

int CDemoMode::KindOf(const std::string& slotType) {
  // The kinds of the hall's list, in the order of MachineOf.
  static const int kKinds[] = {0, 0, 1, 2};
  std::string key;
  int unit = 0;
  return MachineOf(slotType, &key, &unit) ? kKinds[key[0] - '1'] : -1;
}

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
  SPokerResult left;
  if (m_nSession && m_pPoker && m_pPoker->Settle(m_strUser, &left)) {
    Log("!", "poker round left open: paid as dealt");
    PayPokerRound(left);
  }
  SettleTurntable();
  SettleMahjong();
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
      if (m_pPoker && KindOf(m_strSlotType) == 1) {
        PokerBet(server, fields, count);
        break;
      }
      if (m_pTurntable && KindOf(m_strSlotType) == 0) {
        TurntableBet(server, fields, count);
        break;
      }
      if (m_pMahjong && KindOf(m_strSlotType) == 2) {
        MahjongBet(server, fields, count);
        break;
      }
      // A machine without its pays refuses the bet and confirms the credits.
      RefuseBet(server);
      break;
    case 1542:
      PokerDealOrDraw(server, fields, count);
      break;
    case 1540:
      if (KindOf(m_strSlotType) == 2)
        MahjongLuck(server, fields, count);
      else
        TurntableLuck(server, fields, count);
      break;
    case 1550:
      TurntableBonus(server, fields, count);
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

void CDemoMode::RefuseBet(CSlotServer& server) {
  Reply(server, "1531 " + Number(m_nSlotId) + " 0 0");
  SendCredits(server);
}

void CDemoMode::PokerBet(CSlotServer& server, char** fields, int count) {
  // 1530 1 credits 1 slot-id user: one to three bet units, paid from the book.
  std::string gameKey;
  int betUnit = 0;
  MachineOf(m_strSlotType, &gameKey, &betUnit);
  const int64_t bet =
      count >= 2 && AllDigits(fields[1]) && std::strlen(fields[1]) <= 9 ? std::atoll(fields[1]) : 0;
  const char* refusal = nullptr;
  if (bet <= 0 || bet % betUnit != 0 || bet / betUnit > 3)
    refusal = "bet refused: not one to three bet units";
  else if (m_pPoker->HasRound(m_strUser))
    refusal = "bet refused: the last round is still open";
  else if (bet > m_Book.Credits(m_strUser, m_Options.startCredits))
    refusal = "bet refused: not enough credits";
  if (refusal) {
    Log("!", refusal);
    RefuseBet(server);
    return;
  }
  m_Book.SetCredits(m_strUser, m_Book.Credits(m_strUser, m_Options.startCredits) - bet);
  m_pPoker->Open(m_strUser, bet);
  Reply(server, "1531 " + Number(m_nSlotId) + " 1 " + Number(bet));
}

void CDemoMode::PokerDealOrDraw(CSlotServer& server, char** fields, int count) {
  if (!m_nSession || !m_pPoker || KindOf(m_strSlotType) != 1) {
    Log("!", "deal or draw outside a poker session ignored");
    return;
  }
  SPokerResult result;
  if (count >= 1 && std::strcmp(fields[0], "0") == 0) {
    // 1542 0: the deal of the round the accepted bet opened.
    if (!m_pPoker->Deal(m_strUser, &result)) {
      Log("!", "deal without an accepted bet ignored");
      return;
    }
  } else if (count >= 1 && std::strcmp(fields[0], "1") == 0) {
    // 1542 1 h1 h2 h3 h4 h5: the player's holds, 1 = keep.
    int holds[kPokerHandSize] = {};
    bool valid = count >= 1 + kPokerHandSize;
    for (int i = 0; valid && i < kPokerHandSize; ++i) {
      const char* h = fields[1 + i];
      valid = (h[0] == '0' || h[0] == '1') && !h[1];
      holds[i] = h[0] == '1';
    }
    if (!valid) {
      Log("!", "draw without five holds of 0 or 1 ignored");
      return;
    }
    if (!m_pPoker->Draw(m_strUser, holds, &result)) {
      Log("!", "draw without a dealt hand ignored");
      return;
    }
    PayPokerRound(result);
  } else {
    Log("!", "1542 is neither a deal (0) nor a draw (1)");
    return;
  }
  Reply(server, result.ReplyText(m_nSlotId, *m_Options.pokerPays));
  SendCredits(server);
}

void CDemoMode::PayPokerRound(const SPokerResult& result) {
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  m_Book.SetCredits(m_strUser, credits + result.win);
  m_Book.AddRound(m_nSession, m_strUser, result.bet, result.win, result.jackpot);
}
