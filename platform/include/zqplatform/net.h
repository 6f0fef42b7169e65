// Platform module 'net': the Windows Sockets 2 calls the client makes, over POSIX sockets.
//
// Calls whose names POSIX already declares with other types (socket, connect, select, send,
// recv, shutdown) live in namespace ws; the Winsock-only calls keep their global names.
// Address types, byte order helpers, inet_addr and the FD_* set macros are the POSIX ones,
// which have the same fields and meaning.
#pragma once

#include "zqplatform/types.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>

typedef UINT_PTR SOCKET;
#define INVALID_SOCKET ((SOCKET)(~(SOCKET)0))
#define SOCKET_ERROR (-1)

typedef struct sockaddr SOCKADDR;
typedef struct sockaddr_in SOCKADDR_IN;
typedef struct timeval TIMEVAL;

#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

#ifndef MAKEWORD
#define MAKEWORD(lo, hi) ((WORD)(((BYTE)(lo)) | (((WORD)((BYTE)(hi))) << 8)))
#endif

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

typedef struct WSAData {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
} WSADATA, *LPWSADATA;

// Error codes reported by WSAGetLastError.
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEMSGSIZE 10040
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTUNREACH 10065
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093

// Starts the socket service; every successful call needs one WSACleanup.
ZQPLAT_API int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
// SOCKET_ERROR (WSANOTINITIALISED) when the service is not started.
ZQPLAT_API int WSACleanup();
ZQPLAT_API int WSAGetLastError();
ZQPLAT_API int closesocket(SOCKET s);
// FIONBIO only: *argp non-zero makes the socket non-blocking (sends and receives that cannot go
// on at once fail with WSAEWOULDBLOCK), 0 makes it blocking again.
ZQPLAT_API int ioctlsocket(SOCKET s, LONG cmd, ULONG* argp);

namespace ws {

// Fails with WSANOTINITIALISED while the service is not started, and with WSAEMFILE for a
// descriptor at or past FD_SETSIZE, which no fd_set of a caller could hold.
ZQPLAT_API SOCKET socket(int af, int type, int protocol);
// Blocking connect, bounded by zqGetConnectTimeout() instead of the system's SYN time-out
// (WSAETIMEDOUT then). A connected socket refuses a second connect (WSAEISCONN).
ZQPLAT_API int connect(SOCKET s, const struct sockaddr* name, int namelen);
// nfds is ignored, as on Windows. Returns the number of sockets set in all three sets.
// Under the manual clock a finite wait takes no real time: with nothing ready the clock moves
// on by the time-out (as Sleep does) and 0 is returned.
ZQPLAT_API int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
                      const struct timeval* timeout);
// Never raises SIGPIPE: a send on a broken connection fails with WSAECONNRESET / WSAESHUTDOWN.
ZQPLAT_API int send(SOCKET s, const char* buf, int len, int flags);
ZQPLAT_API int recv(SOCKET s, char* buf, int len, int flags);
ZQPLAT_API int shutdown(SOCKET s, int how);

}  // namespace ws

// Upper bound of a blocking connect, in milliseconds of real time (default 5000).
ZQPLAT_API DWORD zqGetConnectTimeout();
// Tests: another bound for later connects; 0 restores the default.
ZQPLAT_API void zqSetConnectTimeout(DWORD ms);
