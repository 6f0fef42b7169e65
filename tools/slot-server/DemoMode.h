// Demo mode: a real server for one session at a time. It logs the player in, lets them enter
// the machine of their slot type with their credits from the book, answers keep-alives and
// ends the session on quit. The poker machine deals real rounds (PokerTable), the turntable
// machines spin theirs (TurntableTable), the mahjong machine plays its tiles (MahjongTable); the
// other kinds' bets are refused and the credits are sent again. Every request and reply goes to
// the log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "ServerMode.h"

class CBalances;
class CMahjongPayTable;
class CMahjongTable;
struct SMahjongResult;
class CPokerPayTable;
class CPokerTable;
class CTurntablePayTable;
class CTurntableTable;
struct SPokerResult;

class CDemoMode : public CServerMode {
 public:
  struct SOptions {
    int64_t startCredits = 10000;  // a player seen for the first time
    int64_t startPool = 50000;     // a machine seen for the first time
    // The poker machine's pays; without them its bets are refused like the other kinds'.
    const CPokerPayTable* pokerPays = nullptr;
    // The turntable machines' reels and pays; without them their bets are refused.
    const CTurntablePayTable* turntablePays = nullptr;
    // The mahjong machine's pays; without them its bets are refused.
    const CMahjongPayTable* mahjongPays = nullptr;
    uint32_t seed = 0;  // the cards, reels and tiles of a session follow from it
  };
  CDemoMode(CBalances& book, const SOptions& options, std::FILE* log);
  ~CDemoMode() override;

  void OnConnected(CSlotServer& server) override;
  void OnRequest(CSlotServer& server, const std::string& text) override;
  void OnDisconnected(CSlotServer& server) override;

  // The game key and bet unit of a slot type; false for a slot type no machine has.
  static bool MachineOf(const std::string& slotType, std::string* gameKey, int* betUnit);
  // The game kind of a slot type's machine (0 turntable, 1 poker, 2 mahjong), -1 for none.
  static int KindOf(const std::string& slotType);

 private:
  void Reply(CSlotServer& server, const std::string& text);
  void Log(const char* direction, const std::string& text);
  void Login(CSlotServer& server, char** fields, int count);
  void Enter(CSlotServer& server, char** fields, int count);
  void SendCredits(CSlotServer& server);
  void EndSession();
  void RefuseBet(CSlotServer& server);
  void PokerBet(CSlotServer& server, char** fields, int count);
  void PokerDealOrDraw(CSlotServer& server, char** fields, int count);
  // Pays a finished round into the book and logs it.
  void PayPokerRound(const SPokerResult& result);
  void TurntableBet(CSlotServer& server, char** fields, int count);
  void TurntableLuck(CSlotServer& server, char** fields, int count);
  void TurntableBonus(CSlotServer& server, char** fields, int count);
  // Pays a win of the open turntable round into the book; the round is logged when it closes.
  void PayTurntable(int64_t win);
  // A turntable round its player left open is played out and paid.
  void SettleTurntable();
  void MahjongBet(CSlotServer& server, char** fields, int count);
  void MahjongLuck(CSlotServer& server, char** fields, int count);
  // Pays a played round into the book.
  void PayMahjongRound(const SMahjongResult& result);
  // The rounds a mahjong player left (an open bet, free games due) are played out and paid.
  void SettleMahjong();

  CBalances& m_Book;
  SOptions m_Options;
  std::FILE* m_pLog;
  // The current connection's player.
  bool m_bLoggedIn = false;
  std::string m_strUser;
  std::string m_strSlotType;
  int m_nSlotId = 0;
  int64_t m_nSession = 0;
  std::unique_ptr<CPokerTable> m_pPoker;
  std::unique_ptr<CTurntableTable> m_pTurntable;
  // The open turntable round's bet and what it has paid so far.
  int64_t m_nTurntableBet = 0;
  int64_t m_nTurntableWon = 0;
  bool m_bTurntableJackpot = false;
  std::unique_ptr<CMahjongTable> m_pMahjong;
  // Pool share below a whole credit, per machine, until it makes one.
  std::map<int, int64_t> m_MahjongCarry;
};
