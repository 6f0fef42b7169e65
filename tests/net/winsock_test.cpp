// The platform's socket calls on loopback.
#include <gtest/gtest.h>

#include "net_test_util.h"
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
