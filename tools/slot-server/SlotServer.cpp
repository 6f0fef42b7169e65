#include "SlotServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ServerMode.h"
#include "net/NetChannel.h"
#include "net/NetPacket.h"

CSlotServer::CSlotServer(CServerMode& mode) : m_Mode(mode), m_pChannel(new CNetChannel) {}

CSlotServer::~CSlotServer() {
  if (m_nClient >= 0) ::close(m_nClient);
  if (m_nListen >= 0) ::close(m_nListen);
}

bool CSlotServer::Listen(uint16_t port, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    if (m_nListen >= 0) ::close(m_nListen);
    m_nListen = -1;
    return false;
  };
  m_nListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_nListen < 0) return fail("socket");
  int on = 1;
  ::setsockopt(m_nListen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(m_nListen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) return fail("bind");
  if (::listen(m_nListen, 8) != 0) return fail("listen");
  socklen_t len = sizeof(addr);
  if (::getsockname(m_nListen, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return fail("getsockname");
  m_nPort = ntohs(addr.sin_port);
  return true;
}

bool CSlotServer::Step(int waitMs) {
  pollfd fds[2];
  int n = 0;
  if (m_nClient >= 0)
    fds[n++] = pollfd{m_nClient, POLLIN, 0};
  else if (m_nListen >= 0)
    fds[n++] = pollfd{m_nListen, POLLIN, 0};
  if (n == 0) return false;
  int r;
  do {
    r = ::poll(fds, static_cast<nfds_t>(n), waitMs);
  } while (r < 0 && errno == EINTR);
  if (r <= 0) return false;
  if (m_nClient < 0) {
    Accept();
    return true;
  }
  return ReadClient() || true;
}

void CSlotServer::Accept() {
  int fd = ::accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  m_nClient = fd;
  ++m_nConnections;
  m_pChannel->Clear();
  m_Mode.OnConnected(*this);
}

bool CSlotServer::ReadClient() {
  CNetChannel& ch = *m_pChannel;
  ssize_t got = ::recv(m_nClient, ch.ReceiveTail(), static_cast<size_t>(ch.ReceiveSpace()), 0);
  if (got <= 0) {
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return false;
    CloseClient();
    m_Mode.OnDisconnected(*this);
    return true;
  }
  ch.AddReceived(static_cast<int>(got));
  // Unlike the client, the server cuts everything it can at once.
  while (ch.GetReceiveCount() >= 5) {
    if (ch.CutFrame() < 0) break;
  }
  char text[CNetPacket::kMaxBuildPayload + 1];
  while (ch.ReceiveQueueSize() > 0 && m_nClient >= 0) {
    int len = ch.PopReceived(text, CNetPacket::kMaxBuildPayload);
    text[len] = 0;
    std::string request(text);
    m_Requests.push_back(request);
    m_Mode.OnRequest(*this, request);
  }
  return true;
}

void CSlotServer::Flush(const uint8_t* data, int count) {
  while (count > 0 && m_nClient >= 0) {
    ssize_t sent = ::send(m_nClient, data, static_cast<size_t>(count), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent >= 0) {
      data += sent;
      count -= static_cast<int>(sent);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {
      // The time-out counts from the last progress: a slow reader is served, a stopped one dropped.
      pollfd p{m_nClient, POLLOUT, 0};
      int r;
      do {
        r = ::poll(&p, 1, m_nFlushTimeoutMs);
      } while (r < 0 && errno == EINTR);
      if (r > 0) continue;
    }
    CloseClient();
    return;
  }
}

void CSlotServer::SendText(const std::string& text) {
  if (m_nClient < 0) return;
  CNetChannel& ch = *m_pChannel;
  ch.QueueSend(text.c_str(), static_cast<int>(text.size()) + 1);
  ch.PackSendBuffer();
  Flush(ch.SendData(), ch.GetSendWaiting());
  ch.RemoveSent(ch.GetSendWaiting());
}

void CSlotServer::SendRaw(const std::vector<uint8_t>& bytes) {
  Flush(bytes.data(), static_cast<int>(bytes.size()));
}

void CSlotServer::CloseClient() {
  if (m_nClient < 0) return;
  ::close(m_nClient);
  m_nClient = -1;
}
