// Demo mode: a real server for one session at a time. It logs the player in, lets them enter
// the machine of their slot type with their credits from the book, answers keep-alives and
// ends the session on quit. Round results come with the game kinds; until then a bet is
// refused and the credits are sent again. Every request and reply goes to the log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "ServerMode.h"

class CBalances;

class CDemoMode : public CServerMode {
 public:
  struct SOptions {
    int64_t startCredits = 10000;  // a player seen for the first time
    int64_t startPool = 50000;     // a machine seen for the first time
  };
  CDemoMode(CBalances& book, const SOptions& options, std::FILE* log);

  void OnConnected(CSlotServer& server) override;
  void OnRequest(CSlotServer& server, const std::string& text) override;
  void OnDisconnected(CSlotServer& server) override;

  // The game key and bet unit of a slot type; false for a slot type no machine has.
  static bool MachineOf(const std::string& slotType, std::string* gameKey, int* betUnit);

 private:
  void Reply(CSlotServer& server, const std::string& text);
  void Log(const char* direction, const std::string& text);
  void Login(CSlotServer& server, char** fields, int count);
  void Enter(CSlotServer& server, char** fields, int count);
  void SendCredits(CSlotServer& server);
  void EndSession();

  CBalances& m_Book;
  SOptions m_Options;
  std::FILE* m_pLog;
  // The current connection's player.
  bool m_bLoggedIn = false;
  std::string m_strUser;
  std::string m_strSlotType;
  int m_nSlotId = 0;
  int64_t m_nSession = 0;
};
