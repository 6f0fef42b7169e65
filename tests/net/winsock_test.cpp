// The platform's socket calls on loopback.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <vector>

#include "net_test_util.h"
#include "zqplatform/base.h"
#include "zqplatform/net.h"

namespace {

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr("127.0.0.1");
  return a;
}

int Ready(SOCKET s, bool* readable, bool* writable) {
  fd_set r, w;
  FD_ZERO(&r);
  FD_ZERO(&w);
  FD_SET(s, &r);
  FD_SET(s, &w);
  timeval zero{0, 0};
  int n = ws::select(0, &r, &w, nullptr, &zero);
  *readable = FD_ISSET(s, &r);
  *writable = FD_ISSET(s, &w);
  return n;
}

}  // namespace

TEST(Winsock, StartupGatesSockets) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  EXPECT_EQ(data.wVersion, 0x0202);
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(ws::socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
}

TEST(Winsock, ConnectSendReceiveSelectAndClose) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  nettest::RawListener listener;
  SOCKET s = ws::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  sockaddr_in a = Loopback(listener.port());
  ASSERT_EQ(ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
  // A second connect on a connected socket fails.
  EXPECT_EQ(ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEISCONN);
  nettest::RawSocket peer(listener.Accept());

  bool readable, writable;
  EXPECT_EQ(Ready(s, &readable, &writable), 1);
  EXPECT_FALSE(readable);
  EXPECT_TRUE(writable);
  EXPECT_EQ(ws::send(s, "abc", 3, 0), 3);
  EXPECT_EQ(peer.Read(3), nettest::Hex("616263"));
  peer.Send(nettest::Hex("7879"));
  ASSERT_TRUE(peer.fd() >= 0);
  for (int i = 0; i < 1000 && !(Ready(s, &readable, &writable), readable); ++i) {
  }
  char buf[8];
  EXPECT_EQ(ws::recv(s, buf, sizeof(buf), 0), 2);

  // The peer goes away: readable, recv 0, and sending fails without SIGPIPE.
  peer.Close();
  for (int i = 0; i < 1000 && !(Ready(s, &readable, &writable), readable); ++i) {
  }
  EXPECT_EQ(ws::recv(s, buf, sizeof(buf), 0), 0);
  int last = 0;
  for (int i = 0; i < 100 && last != SOCKET_ERROR; ++i) last = ws::send(s, "x", 1, 0);
  EXPECT_EQ(last, SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);

  ws::shutdown(s, SD_BOTH);
  EXPECT_EQ(closesocket(s), 0);
  EXPECT_EQ(closesocket(INVALID_SOCKET), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(Winsock, RefusedConnectReportsIt) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  uint16_t port;
  {
    nettest::RawListener gone;
    port = gone.port();
  }
  SOCKET s = ws::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(port);
  EXPECT_EQ(ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
  closesocket(s);
  WSACleanup();
}

TEST(Winsock, NonBlockingSendsReportWouldBlockAndSelectFollowsTheManualClock) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  nettest::RawListener listener;
  SOCKET s = ws::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(listener.port());
  ASSERT_EQ(ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
  nettest::RawSocket peer(listener.Accept());
  ULONG on = 1;
  EXPECT_EQ(ioctlsocket(s, FIONBIO, &on), 0);
  EXPECT_EQ(ioctlsocket(s, FIONREAD, &on), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);

  zqSetManualClock(TRUE, 1000);
  // Nothing to read: the wait passes on the manual clock, not in real time.
  fd_set r;
  FD_ZERO(&r);
  FD_SET(s, &r);
  timeval wait{1, 500000};
  EXPECT_EQ(ws::select(0, &r, nullptr, nullptr, &wait), 0);
  EXPECT_EQ(timeGetTime(), 2500u);

  // The peer reads nothing: the socket fills, and a send then fails at once instead of waiting.
  std::vector<char> chunk(65536, 'x');
  int last = 0;
  long long total = 0;
  for (int i = 0; i < 10000 && last != SOCKET_ERROR; ++i) {
    last = ws::send(s, chunk.data(), static_cast<int>(chunk.size()), 0);
    if (last > 0) total += last;
  }
  EXPECT_EQ(last, SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  EXPECT_GT(total, 0);
  // Ready sockets are reported without moving the clock.
  peer.Send(nettest::Hex("01"));
  pollfd p{static_cast<int>(s), POLLIN, 0};
  ASSERT_GT(::poll(&p, 1, 2000), 0);
  FD_ZERO(&r);
  FD_SET(s, &r);
  EXPECT_EQ(ws::select(0, &r, nullptr, nullptr, &wait), 1);
  EXPECT_EQ(timeGetTime(), 2500u);
  zqSetManualClock(FALSE, 0);

  closesocket(s);
  WSACleanup();
}

TEST(Winsock, ConnectToAListenerThatNeverAcceptsTimesOut) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  // A backlog of one, taken by a connection nobody accepts: later handshakes go unanswered.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = Loopback(0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
  ASSERT_EQ(::listen(fd, 0), 0);
  socklen_t len = sizeof(a);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  nettest::RawSocket first;
  ASSERT_TRUE(first.Connect(ntohs(a.sin_port)));

  zqSetConnectTimeout(200);
  EXPECT_EQ(zqGetConnectTimeout(), 200u);
  SOCKET s = ws::socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_EQ(ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  zqSetConnectTimeout(0);
  EXPECT_EQ(zqGetConnectTimeout(), 5000u);
  closesocket(s);
  ::close(fd);
  WSACleanup();
}

TEST(Winsock, NoSocketPastWhatAnFdSetHolds) {
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  const rlimit saved = limit;
  if (limit.rlim_cur < FD_SETSIZE + 16) {
    if (limit.rlim_max < FD_SETSIZE + 16) GTEST_SKIP() << "descriptor limit below " << FD_SETSIZE + 16;
    limit.rlim_cur = FD_SETSIZE + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
  }
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  // Every descriptor below FD_SETSIZE in use.
  const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  std::vector<int> held;
  for (int fd = ::dup(devnull); fd >= 0; fd = ::dup(devnull)) {
    held.push_back(fd);
    if (fd >= FD_SETSIZE) break;
  }
  ASSERT_FALSE(held.empty());
  ::close(held.back());
  held.pop_back();
  EXPECT_EQ(ws::socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEMFILE);
  for (int fd : held) ::close(fd);
  ::close(devnull);
  SOCKET s = ws::socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_NE(s, INVALID_SOCKET);
  closesocket(s);
  WSACleanup();
  ::setrlimit(RLIMIT_NOFILE, &saved);
}
