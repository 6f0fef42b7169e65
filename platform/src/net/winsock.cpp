// Winsock 2 stand-in over POSIX sockets.
#include "zqplatform/net.h"

#include "zqplatform/base.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<int> g_startCount{0};
thread_local int t_lastError = 0;

// A connect must not freeze the window thread for the system's two-minute SYN time-out.
constexpr DWORD kConnectTimeoutMs = 5000;
std::atomic<DWORD> g_connectTimeoutMs{kConnectTimeoutMs};

int MapErrno(int e) {
  switch (e) {
    case 0:
      return 0;
    case EINTR:
      return WSAEINTR;
    case EBADF:
      return WSAENOTSOCK;
    case ENOTSOCK:
      return WSAENOTSOCK;
    case EFAULT:
      return WSAEFAULT;
    case EINVAL:
      return WSAEINVAL;
    case EMFILE:
    case ENFILE:
      return WSAEMFILE;
    case EAGAIN:
      return WSAEWOULDBLOCK;
    case EINPROGRESS:
      return WSAEINPROGRESS;
    case EALREADY:
      return WSAEALREADY;
    case EMSGSIZE:
      return WSAEMSGSIZE;
    case EAFNOSUPPORT:
      return WSAEAFNOSUPPORT;
    case EADDRINUSE:
      return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
      return WSAEADDRNOTAVAIL;
    case ENETDOWN:
      return WSAENETDOWN;
    case ENETUNREACH:
      return WSAENETUNREACH;
    case ECONNABORTED:
      return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
      return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
      return WSAENOBUFS;
    case EISCONN:
      return WSAEISCONN;
    case ENOTCONN:
      return WSAENOTCONN;
    case ESHUTDOWN:
      return WSAESHUTDOWN;
    case ETIMEDOUT:
      return WSAETIMEDOUT;
    case ECONNREFUSED:
      return WSAECONNREFUSED;
    case EHOSTUNREACH:
      return WSAEHOSTUNREACH;
    default:
      return WSAEINVAL;
  }
}

int Fail(int wsaError) {
  t_lastError = wsaError;
  return SOCKET_ERROR;
}

int FailErrno() { return Fail(MapErrno(errno)); }

// A SOCKET that cannot be a descriptor (INVALID_SOCKET, or out of int range).
bool BadHandle(SOCKET s) { return s > static_cast<SOCKET>(INT32_MAX); }

}  // namespace

ZQPLAT_API int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
  if (!lpWSAData) return WSAEFAULT;
  if (LOBYTE(wVersionRequested) < 1) return WSAVERNOTSUPPORTED;
  std::memset(lpWSAData, 0, sizeof(*lpWSAData));
  // 2.2 is the highest version there is; a lower request gets what it asked for.
  WORD granted = wVersionRequested;
  if (LOBYTE(wVersionRequested) > 2 || (LOBYTE(wVersionRequested) == 2 && HIBYTE(wVersionRequested) > 2))
    granted = MAKEWORD(2, 2);
  lpWSAData->wVersion = granted;
  lpWSAData->wHighVersion = MAKEWORD(2, 2);
  std::snprintf(lpWSAData->szDescription, sizeof(lpWSAData->szDescription), "POSIX sockets");
  std::snprintf(lpWSAData->szSystemStatus, sizeof(lpWSAData->szSystemStatus), "Running");
  ++g_startCount;
  return 0;
}

ZQPLAT_API int WSACleanup() {
  int n = g_startCount.load();
  while (n > 0 && !g_startCount.compare_exchange_weak(n, n - 1)) {
  }
  if (n <= 0) return Fail(WSANOTINITIALISED);
  return 0;
}

ZQPLAT_API int WSAGetLastError() { return t_lastError; }

ZQPLAT_API int closesocket(SOCKET s) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (::close(static_cast<int>(s)) != 0) return FailErrno();
  return 0;
}

ZQPLAT_API int ioctlsocket(SOCKET s, LONG cmd, ULONG* argp) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (!argp) return Fail(WSAEFAULT);
  if (cmd != static_cast<LONG>(FIONBIO)) return Fail(WSAEINVAL);
  const int fd = static_cast<int>(s);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return FailErrno();
  const int wanted = *argp ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
  if (wanted != flags && ::fcntl(fd, F_SETFL, wanted) < 0) return FailErrno();
  return 0;
}

ZQPLAT_API DWORD zqGetConnectTimeout() { return g_connectTimeoutMs.load(); }

ZQPLAT_API void zqSetConnectTimeout(DWORD ms) { g_connectTimeoutMs = ms ? ms : kConnectTimeoutMs; }

namespace ws {

ZQPLAT_API SOCKET socket(int af, int type, int protocol) {
  if (g_startCount.load() <= 0) {
    Fail(WSANOTINITIALISED);
    return INVALID_SOCKET;
  }
  int fd = ::socket(af, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) {
    FailErrno();
    return INVALID_SOCKET;
  }
  // FD_SET on such a descriptor would write past the caller's set.
  if (fd >= FD_SETSIZE) {
    ::close(fd);
    Fail(WSAEMFILE);
    return INVALID_SOCKET;
  }
  return static_cast<SOCKET>(fd);
}

ZQPLAT_API int connect(SOCKET s, const struct sockaddr* name, int namelen) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (!name || namelen <= 0) return Fail(WSAEFAULT);
  int fd = static_cast<int>(s);
  sockaddr_storage peer;
  socklen_t peerLen = sizeof(peer);
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) == 0) return Fail(WSAEISCONN);
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return FailErrno();
  if (::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return FailErrno();
  int result = 0;
  if (::connect(fd, name, static_cast<socklen_t>(namelen)) != 0) {
    if (errno != EINPROGRESS) {
      result = FailErrno();
    } else {
      pollfd p{fd, POLLOUT, 0};
      int r;
      do {
        r = ::poll(&p, 1, static_cast<int>(g_connectTimeoutMs.load()));
      } while (r < 0 && errno == EINTR);
      if (r == 0) {
        result = Fail(WSAETIMEDOUT);
      } else if (r < 0) {
        result = FailErrno();
      } else {
        int err = 0;
        socklen_t len = sizeof(err);
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (err != 0) result = Fail(MapErrno(err));
      }
    }
  }
  ::fcntl(fd, F_SETFL, flags);
  return result;
}

ZQPLAT_API int select(int /*nfds*/, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
                      const struct timeval* timeout) {
  // Collect the members of the three sets; a client watches one or two sockets.
  std::vector<pollfd> fds;
  for (int fd = 0; fd < FD_SETSIZE; ++fd) {
    short ev = 0;
    if (readfds && FD_ISSET(fd, readfds)) ev |= POLLIN;
    if (writefds && FD_ISSET(fd, writefds)) ev |= POLLOUT;
    if (exceptfds && FD_ISSET(fd, exceptfds)) ev |= POLLPRI;
    if (ev) fds.push_back(pollfd{fd, ev, 0});
  }
  if (fds.empty()) return Fail(WSAEINVAL);
  int waitMs = -1;
  if (timeout) {
    long long ms = static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    waitMs = ms > INT32_MAX ? INT32_MAX : static_cast<int>(ms < 0 ? 0 : ms);
  }
  // The manual clock stands still during a real wait, so a caller's deadline would never come.
  const bool manual = zqIsManualClock() && waitMs > 0;
  int r;
  do {
    r = ::poll(fds.data(), fds.size(), manual ? 0 : waitMs);
  } while (r < 0 && errno == EINTR);
  if (r < 0) return FailErrno();
  if (r == 0 && manual) Sleep(static_cast<DWORD>(waitMs));
  for (const pollfd& p : fds)
    if (p.revents & POLLNVAL) return Fail(WSAENOTSOCK);
  if (readfds) FD_ZERO(readfds);
  if (writefds) FD_ZERO(writefds);
  if (exceptfds) FD_ZERO(exceptfds);
  int count = 0;
  for (const pollfd& p : fds) {
    // A closed or failed connection reads as readable (recv then reports it).
    bool hangup = p.revents & (POLLHUP | POLLERR);
    if ((p.events & POLLIN) && (p.revents & POLLIN || hangup)) {
      FD_SET(p.fd, readfds);
      ++count;
    }
    if ((p.events & POLLOUT) && (p.revents & POLLOUT || (p.revents & POLLERR))) {
      FD_SET(p.fd, writefds);
      ++count;
    }
    if ((p.events & POLLPRI) && (p.revents & POLLPRI)) {
      FD_SET(p.fd, exceptfds);
      ++count;
    }
  }
  return count;
}

ZQPLAT_API int send(SOCKET s, const char* buf, int len, int flags) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (len < 0 || (!buf && len > 0)) return Fail(WSAEFAULT);
  ssize_t n;
  do {
    n = ::send(static_cast<int>(s), buf, static_cast<size_t>(len), flags | MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return FailErrno();
  return static_cast<int>(n);
}

ZQPLAT_API int recv(SOCKET s, char* buf, int len, int flags) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (len < 0 || (!buf && len > 0)) return Fail(WSAEFAULT);
  ssize_t n;
  do {
    n = ::recv(static_cast<int>(s), buf, static_cast<size_t>(len), flags);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return FailErrno();
  return static_cast<int>(n);
}

ZQPLAT_API int shutdown(SOCKET s, int how) {
  if (BadHandle(s)) return Fail(WSAENOTSOCK);
  if (::shutdown(static_cast<int>(s), how) != 0) return FailErrno();
  return 0;
}

}  // namespace ws
