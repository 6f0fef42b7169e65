// Helpers of the network tests: hex texts, hand-made frames and a raw loopback peer.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nettest {

inline std::vector<uint8_t> Hex(const std::string& hex) {
  std::vector<uint8_t> out;
  int high = -1;
  for (char c : hex) {
    int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  return out;
}

inline std::vector<uint8_t> Cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Frames worked out by hand: key 0x1F4B29D3, s = rotl(w ^ key, 6), little-endian words.
inline const std::vector<uint8_t> kLuckFrame = Hex("2d 10000000 4776cad2 8b38c7df df7c910f 076ecad2");
inline const std::vector<uint8_t> kEmptyFrame = Hex("2d 08000000 8774cad2 c774cad2");

// A raw TCP peer on loopback, for bytes on the wire.
class RawSocket {
 public:
  RawSocket() = default;
  explicit RawSocket(int fd) : m_fd(fd) {}
  ~RawSocket() { Close(); }
  RawSocket(const RawSocket&) = delete;
  RawSocket& operator=(const RawSocket&) = delete;

  bool Connect(uint16_t port) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
  }
  void Send(const std::vector<uint8_t>& bytes) { ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  // Reads exactly n bytes or until the peer closes or waitMs passes without data.
  std::vector<uint8_t> Read(size_t n, int waitMs = 2000) {
    std::vector<uint8_t> out;
    while (out.size() < n) {
      pollfd p{m_fd, POLLIN, 0};
      if (::poll(&p, 1, waitMs) <= 0) break;
      uint8_t buf[4096];
      size_t want = n - out.size() < sizeof(buf) ? n - out.size() : sizeof(buf);
      ssize_t got = ::recv(m_fd, buf, want, 0);
      if (got <= 0) break;
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }
  // True when the peer has closed (recv returns 0) within waitMs.
  bool PeerClosed(int waitMs = 2000) {
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0) return false;
    uint8_t b;
    return ::recv(m_fd, &b, 1, MSG_PEEK) == 0;
  }
  void Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }
  int fd() const { return m_fd; }

 private:
  int m_fd = -1;
};

// A listening socket on 127.0.0.1 with a free port.
class RawListener {
 public:
  RawListener() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::listen(m_fd, 4);
    socklen_t len = sizeof(a);
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
    m_port = ntohs(a.sin_port);
  }
  ~RawListener() { ::close(m_fd); }
  uint16_t port() const { return m_port; }
  int Accept() { return ::accept(m_fd, nullptr, nullptr); }

 private:
  int m_fd = -1;
  uint16_t m_port = 0;
};

}  // namespace nettest
