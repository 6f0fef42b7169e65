#include "NetTask.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "ClientGlobals.h"
#include "NetGame.h"

CNetTask g_NetTask;

namespace {

// Time given to the quit request to leave before the socket is closed, in all.
constexpr DWORD kQuitSendWaitMs = 2000;

bool AllDigits(const char* s) {
  if (!s || !*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

// Digits only, at most max; false for anything else.
bool ParseDigits(const char* s, long max, int* out) {
  if (!AllDigits(s)) return false;
  errno = 0;
  long v = std::strtol(s, nullptr, 10);
  if (errno == ERANGE || v > max) return false;
  *out = static_cast<int>(v);
  return true;
}

// Leading decimal number of a field; 0 when there is none.
int FieldNumber(const char* s) {
  long v = std::strtol(s, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// Waits at most waitMs for the socket to take more bytes.
bool Writable(SOCKET s, DWORD waitMs) {
  fd_set w;
  FD_ZERO(&w);
  FD_SET(s, &w);
  timeval t{static_cast<time_t>(waitMs / 1000), static_cast<suseconds_t>((waitMs % 1000) * 1000)};
  return ws::select(0, nullptr, &w, nullptr, &t) > 0 && FD_ISSET(s, &w);
}

}  // namespace

CNetTask::CNetTask() {
  m_szConnect[0] = 0;
  m_szHandedOver[0] = 0;
  m_szReceived[0] = 0;
  m_szNoField[0] = 0;
  for (char*& f : m_apFields) f = m_szNoField;
}

CNetTask::~CNetTask() { Cleanup(); }

int CNetTask::InitTask() {
  m_pszServer = nullptr;
  m_nPort = 0;
  m_nSlotId = 0;
  m_strSlotType.clear();
  m_strGameKey.clear();
  m_strUserId.clear();
  m_bConnected = 0;
  m_bJoined = 0;
  m_dwLastMessage = 0;
  m_bNotQuitting = 1;
  m_bTakeSlotType = 1;
  m_bGaveUp = 0;
  m_Channel.Clear();
  CloseSocket();
  if (!m_bWsaStarted) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    m_bWsaStarted = 1;
  }
  m_Socket = ws::socket(AF_INET, SOCK_STREAM, 0);
  if (m_Socket == INVALID_SOCKET) return 0;
  SetActive(1);
  return 1;
}

void CNetTask::CloseSocket() {
  if (m_Socket == INVALID_SOCKET) return;
  ws::shutdown(m_Socket, SD_BOTH);
  closesocket(m_Socket);
  // Marked invalid so that later polls and a second quit leave it alone.
  m_Socket = INVALID_SOCKET;
}

void CNetTask::Cleanup() {
  CloseSocket();
  if (m_bWsaStarted) {
    WSACleanup();
    m_bWsaStarted = 0;
  }
}

int CNetTask::ParseConnectString(const char* text) {
  if (!text) return 0;
  // One line of at most 254 characters.
  size_t n = 0;
  while (n < sizeof(m_szConnect) - 1 && text[n] && text[n] != '\r' && text[n] != '\n') ++n;
  std::memcpy(m_szConnect, text, n);
  m_szConnect[n] = 0;
  char* field[5];
  const int count = CMsgText::Split(m_szConnect, field, 5, " ");
  if (count >= 1) m_pszServer = field[0];
  if (count >= 2 && !ParseDigits(field[1], 65535, &m_nPort)) return 0;
  if (count >= 4 && !ParseDigits(field[3], INT_MAX, &m_nSlotId)) return 0;
  if (count >= 5) m_strUserId = field[4];
  if (count == 5 && m_bTakeSlotType) {
    m_strSlotType = field[2];
    return 1;
  }
  return 0;
}

int CNetTask::ConnectAndLogin() {
  // A connected socket refuses a second connect; nothing is queued then.
  if (m_bConnected || !m_pszServer) return 0;
  if (m_Socket == INVALID_SOCKET) {
    if (!m_bWsaStarted) return 0;
    m_Socket = ws::socket(AF_INET, SOCK_STREAM, 0);
    if (m_Socket == INVALID_SOCKET) return 0;
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(m_nPort));
  addr.sin_addr.s_addr = inet_addr(m_pszServer);
  if (addr.sin_addr.s_addr == INADDR_NONE) return 0;
  if (ws::connect(m_Socket, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == SOCKET_ERROR) {
    // The next attempt starts on a fresh socket.
    CloseSocket();
    return 0;
  }
  // From here on no send waits on the peer: what the socket cannot take stays queued.
  ULONG nonBlocking = 1;
  ioctlsocket(m_Socket, FIONBIO, &nonBlocking);
  m_bConnected = 1;
  m_bMessageSinceHello = 1;
  Submit(m_Text.Format("%d %s %s %s %d %s", NET_LOGIN, "cs", "0086", m_strSlotType.c_str(), m_nSlotId,
                       m_strUserId.c_str()));
  return 1;
}

int CNetTask::QueueSend(const char* text, int length) {
  if (m_Channel.SendQueueFull()) {
    if (CZqDebug* log = CZqFunc::GetDebuger())
      log->ADD_LOG("send queue full (%d frames): request refused: %.40s", CNetChannel::kMaxSendQueue,
                   text ? text : "");
    return 0;
  }
  return m_Channel.QueueSend(text, length);
}

int CNetTask::Submit(int formatted) {
  if (formatted < 0) return 0;
  return QueueSend(m_Text.GetBuffer(), m_Text.GetLength()) > 0 ? 1 : 0;
}

int CNetTask::SendEnter() {
  if (!m_bConnected) return 0;
  return Submit(m_Text.Format("%d %d", NET_ENTER, m_nSlotId));
}

int CNetTask::SendEnterGame() {
  if (!m_bJoined) return 0;
  return Submit(m_Text.Format("%d %d", NET_ENTER, m_nSlotId));
}

int CNetTask::SendHello() {
  if (!m_bConnected) return 0;
  return Submit(m_Text.Format("%d %s", NET_HELLO, "hello"));
}

int CNetTask::SendBet(int multiple) {
  if (!m_bJoined) return 0;
  const long long amount = static_cast<long long>(multiple) * (m_pGame ? m_pGame->GetBetUnit() : 0);
  return Submit(m_Text.Format("%d %d %lld %d %d %s", NET_BET, 1, amount, 1, m_nSlotId, m_strUserId.c_str()));
}

int CNetTask::SendLuck() {
  if (!m_bJoined) return 0;
  return Submit(m_Text.Format("%d luck", NET_LUCK));
}

int CNetTask::SendDeal() {
  if (!m_bJoined) return 0;
  return Submit(m_Text.Format("%d %d", NET_CARDS, 0));
}

int CNetTask::SendDraw(const char* holds) {
  if (!m_bJoined) return 0;
  return Submit(m_Text.Format("%d %d %s", NET_CARDS, 1, holds ? holds : ""));
}

int CNetTask::SendBonus(const int values[15]) {
  if (!m_bJoined || !values) return 0;
  if (m_Text.Format("%d", NET_BONUS) < 0) return 0;
  for (int i = 0; i < 15; ++i)
    if (m_Text.AppendFormat(" %d", values[i]) < 0) return 0;
  return Submit(0);
}

int CNetTask::SendQuit() {
  m_bNotQuitting = 0;
  int result = 0;
  if (m_bJoined && m_Socket != INVALID_SOCKET) {
    // The last frame of the connection goes behind a full queue too.
    if (m_Text.Format("%d quit", NET_QUIT) >= 0)
      m_Channel.QueueSend(m_Text.GetBuffer(), m_Text.GetLength(), true);
    // Everything queued goes out before the socket closes, within one bound in all: a peer that
    // reads slowly or not at all does not hold the exit.
    const DWORD start = timeGetTime();
    for (;;) {
      const int waiting = PackSendBuffer();
      if (waiting == 0) break;
      const int sent = ws::send(m_Socket, reinterpret_cast<const char*>(m_Channel.SendData()), waiting, 0);
      if (sent > 0)
        m_Channel.RemoveSent(sent);
      else if (sent == 0 || WSAGetLastError() != WSAEWOULDBLOCK)
        break;
      const DWORD spent = timeGetTime() - start;
      if (spent >= kQuitSendWaitMs) break;
      if (sent <= 0 && !Writable(m_Socket, kQuitSendWaitMs - spent)) break;
    }
    result = 1;
  }
  Cleanup();
  return result;
}

void CNetTask::Poll() {
  if (m_Socket == INVALID_SOCKET) return;
  fd_set readable, writable;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_SET(m_Socket, &readable);
  FD_SET(m_Socket, &writable);
  timeval zero{0, 0};
  if (ws::select(0, &readable, &writable, nullptr, &zero) == SOCKET_ERROR) return;
  // Undelivered frames are bounded: while the queue is full the peer waits (TCP holds it).
  if (FD_ISSET(m_Socket, &readable) && !m_Channel.ReceiveQueueFull()) {
    const int got =
        ws::recv(m_Socket, reinterpret_cast<char*>(m_Channel.ReceiveTail()), m_Channel.ReceiveSpace(), 0);
    if (got <= 0) {
      // A non-blocking socket with nothing after all is no lost connection.
      if (got < 0 && WSAGetLastError() == WSAEWOULDBLOCK) return;
      if (m_pGame && m_bNotQuitting) m_pGame->ShowTooLongAndQuit();
      return;
    }
    m_Channel.AddReceived(got);
    // Dropped garbage does not end the cut: the frames behind it are taken in the same pass.
    while (CutFrame() >= 0) {
    }
  }
  if (FD_ISSET(m_Socket, &writable)) {
    const int waiting = PackSendBuffer();
    if (waiting > 0) {
      const int sent = ws::send(m_Socket, reinterpret_cast<const char*>(m_Channel.SendData()), waiting, 0);
      if (sent > 0) m_Channel.RemoveSent(sent);
    }
  }
}

void CNetTask::OnLoop(DWORD /*appTime*/) {
  if (m_bConnected) Poll();
  const DWORD now = timeGetTime();
  if (m_dwLastMessage == 0) m_dwLastMessage = now;
  if (m_Channel.ReceiveQueueSize() > 0) {
    m_dwLastMessage = now;
    m_bMessageSinceHello = 1;
    const int n = PopReceived(m_szReceived, sizeof(m_szReceived) - 1);
    // Terminated here even when the peer left the zero out.
    m_szReceived[n] = 0;
    char* rest = nullptr;
    char* code = m_Text.SplitFirst(m_szReceived, &rest, " ");
    if (!AllDigits(code)) return;
    m_nCode = FieldNumber(code);
    const int count = rest ? CMsgText::Split(rest, m_apFields, kMaxFields, " ") : 0;
    m_szNoField[0] = 0;
    for (int i = count; i < kMaxFields; ++i) m_apFields[i] = m_szNoField;
    Dispatch();
  }
  if (now - m_dwLastMessage > kSilenceMs && m_bJoined && !m_bWaitingEntry && !m_bGaveUp) {
    if (m_bMessageSinceHello) {
      m_bMessageSinceHello = 0;
      SendHello();
      m_dwLastMessage = now;
    } else {
      // Shown once: the client is on its way out.
      m_bGaveUp = 1;
      Fatal("disconnect");
    }
  }
}

void CNetTask::Dispatch() {
  char** f = m_apFields;
  const int kind = m_pGame ? m_pGame->GetGameType() : -1;
  switch (m_nCode) {
    case NET_LOGIN_REPLY:
      if (FieldNumber(f[0]) == NET_ACCEPTED) {
        SendEnter();
      } else {
        Fatal("occupied");
        m_bJoined = 0;
      }
      break;
    case NET_ENTER_REPLY:
      if (FieldNumber(f[0]) == NET_ACCEPTED) {
        m_strGameKey = f[2];
        if (m_pGame) m_pGame->OnEnterReply(f);
        m_bJoined = 1;
        m_bWaitingEntry = 0;
      } else {
        m_bJoined = 0;
        Fatal("over_connect");
      }
      break;
    case NET_MONEY:
      if (m_pGame) m_pGame->OnMoneyNotify(f);
      break;
    case NET_BET_REPLY:
      if (m_pGame && FieldNumber(f[1]) == NET_ACCEPTED) {
        const int amount = FieldNumber(f[2]);
        if (kind == 0)
          m_pGame->OnBetReply(amount);
        else if (kind == 1)
          m_pGame->OnCardBetReply(amount);
        else if (kind == 2)
          m_pGame->OnMahjongBetReply(amount);
      } else if (m_pGame) {
        m_pGame->OnBetRefused();
      }
      break;
    case NET_ROUND_RESULT:
      if (m_pGame) m_pGame->OnRoundResult(f);
      break;
    case NET_CARD_RESULT:
      if (kind == 1)
        m_pGame->OnCardResult(f);
      else if (kind == 2)
        m_pGame->OnMahjongResult(f);
      break;
    case NET_BONUS_RESULT:
      if (m_pGame) m_pGame->OnBonusResult(f);
      break;
    case NET_WEEK:
      if (m_pGame) m_pGame->OnWeekNotify(f);
      break;
    default:
      break;
  }
}

void CNetTask::Fatal(const char* key) {
  char text[256];
  g_TextConfig.GetString(text, sizeof(text), "TEXT", key, "");
  text[sizeof(text) - 1] = 0;
  MessageBoxA(g_hMainWnd, text, "Error", MB_OK | MB_ICONERROR);
  PostMessageA(g_hMainWnd, WM_QUIT, 0, 0);
}

long CNetTask::MsgProc(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message != WM_COPYDATA || m_bConnected) return 0;
  const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!data || data->dwData != COPYDATA_CONNECT) return 0;
  // At most 255 bytes, up to an embedded zero.
  size_t n = 0;
  const char* bytes = static_cast<const char*>(data->lpData);
  if (bytes)
    while (n < data->cbData && n < sizeof(m_szHandedOver) - 1 && bytes[n]) ++n;
  if (n) std::memcpy(m_szHandedOver, bytes, n);
  m_szHandedOver[n] = 0;
  // The run-marker string's slot type stays; the handed-over one serves when none is held.
  m_bTakeSlotType = m_strSlotType.empty() ? 1 : 0;
  ParseConnectString(m_szHandedOver);
  if (!ConnectAndLogin()) PostMessageA(g_hMainWnd, WM_QUIT, 0, 0);
  return 0;
}
