// The client's connection to the game server: login and entry, keep-alive, the requests of the
// game and the frame, and the dispatch of the server's replies to the game.
#pragma once

#include <string>

#include "MsgText.h"
#include "NetChannel.h"
#include "NetCodes.h"
#include "ZqLib.h"

class CNetGame;

class CNetTask : public CZqTask {
 public:
  static constexpr int kMaxFields = 256;
  static constexpr DWORD kSilenceMs = 30000;

  CNetTask();
  ~CNetTask() override;

  void Cleanup() override;
  void OnLoop(DWORD appTime) override;
  int InitTask() override;
  long MsgProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  int ParseConnectString(const char* text);
  int ConnectAndLogin();

  int SendEnter();
  int SendEnterGame();
  int SendHello();
  int SendBet(int multiple);
  int SendLuck();
  int SendDeal();
  int SendDraw(const char* holds);
  int SendBonus(const int values[15]);
  int SendQuit();

  // Frame operations on the connection buffers. A full send queue refuses the frame (logged).
  int QueueSend(const char* text, int length);
  int CutFrame() { return m_Channel.CutFrame(); }
  int PopReceived(char* buffer, int capacity) { return m_Channel.PopReceived(buffer, capacity); }
  int PackSendBuffer() { return m_Channel.PackSendBuffer(); }
  void Poll();

  void SetGame(CNetGame* game) { m_pGame = game; }
  CNetGame* GetGame() const { return m_pGame; }

  int IsConnected() const { return m_bConnected; }
  int IsJoined() const { return m_bJoined; }
  int IsWaitingForEntry() const { return m_bWaitingEntry; }
  const std::string& GetGameKey() const { return m_strGameKey; }
  const char* GetServerAddress() const { return m_pszServer; }
  int GetPort() const { return m_nPort; }
  int GetSlotId() const { return m_nSlotId; }
  const std::string& GetSlotType() const { return m_strSlotType; }
  const std::string& GetUserId() const { return m_strUserId; }
  SOCKET GetSocket() const { return m_Socket; }
  const CNetChannel& GetChannel() const { return m_Channel; }

 private:
  // Queues the text just composed (formatted: its length, or -1 when it did not fit); 1 when
  // queued.
  int Submit(int formatted);
  void Dispatch();
  // The configured text in an error box owned by the main window, then WM_QUIT.
  void Fatal(const char* key);
  void CloseSocket();

  char m_szConnect[255];
  SOCKET m_Socket = INVALID_SOCKET;
  CNetChannel m_Channel;
  std::string m_strUserId;
  const char* m_pszServer = nullptr;
  int m_nPort = 0;
  int m_nSlotId = 0;
  std::string m_strSlotType;
  std::string m_strGameKey;
  int m_bNotQuitting = 0;
  int m_bTakeSlotType = 0;
  int m_bConnected = 0;
  int m_bJoined = 0;
  char m_szHandedOver[256];
  char m_szReceived[4096];
  int m_nCode = 0;
  char* m_apFields[kMaxFields];
  // Fields a reply lacks point here.
  char m_szNoField[1];
  DWORD m_dwLastMessage = 0;
  int m_bMessageSinceHello = 0;
  int m_bWaitingEntry = 1;
  int m_bWsaStarted = 0;
  // The silence box was shown; no further keep-alive or silence checks.
  int m_bGaveUp = 0;
  CMsgText m_Text;
  CNetGame* m_pGame = nullptr;
};

extern CNetTask g_NetTask;
