// Cross-process windows (FindWindowA, WM_COPYDATA). A findable top-level window listens on an
// abstract Unix-domain socket named from the namespace, its class and its title. FindWindowA
// returns a local stand-in handle for such a window in another process; WM_COPYDATA sent to it
// travels as one record and is delivered synchronously to the window procedure there, whose
// result comes back as the result of SendMessageA.
//
// Record (little-endian): u32 message, u64 wParam, u64 dwData, u32 cbData, cbData bytes.
// Reply: i64 result.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "window/state.h"

using namespace zqwin;

namespace {

constexpr uint32_t kMaxPayload = 1u << 20;  // a peer cannot make us allocate without bound
constexpr int kReceiveTimeoutMs = 2000;     // a stalled sender cannot freeze the pump for long
constexpr int kReplyTimeoutMs = 5000;
constexpr size_t kRecordHeader = 4 + 8 + 8 + 4;
const char kPrefix[] = "zqwin/";

struct Listener {
  int fd = -1;
  std::string name;
};
std::map<HWND, Listener>& listeners() {
  static auto* l = new std::map<HWND, Listener>;
  return *l;
}
// Stand-in handles of windows in other processes: handle -> socket name.
std::map<uintptr_t, std::string>& remotes() {
  static auto* r = new std::map<uintptr_t, std::string>;
  return *r;
}
uintptr_t g_nextRemote = 0x7F000010;

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// A name part: the bytes in hex, or a hash of them when too long for the socket name.
std::string part(const std::string& s) {
  static const char hex[] = "0123456789abcdef";
  std::string h;
  for (unsigned char c : s) {
    h += hex[c >> 4];
    h += hex[c & 15];
  }
  if (h.size() <= 32) return h;
  uint64_t v = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : s) v = (v ^ c) * 1099511628211ull;
  char buf[20];
  std::snprintf(buf, sizeof buf, "#%016llx", (unsigned long long)v);
  return buf;
}

std::string nsPart() {
  const char* ns = std::getenv("ZQ_IPC_NAMESPACE");
  std::string n = ns && *ns ? ns : "user-" + std::to_string(::getuid());
  return part(n);
}

// Class names match case-insensitively, titles exactly.
std::string socketName(const std::string& cls, const std::string& title) {
  return kPrefix + nsPart() + "/" + part(lowerAscii(cls)) + "/" + part(title);
}

socklen_t addressOf(const std::string& name, sockaddr_un& a) {
  std::memset(&a, 0, sizeof a);
  a.sun_family = AF_UNIX;
  size_t n = std::min(name.size(), sizeof a.sun_path - 1);
  std::memcpy(a.sun_path + 1, name.data(), n);  // abstract: leading zero byte
  return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
}

int nowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

// Reads or writes exactly n bytes before the deadline.
bool ioAll(int fd, void* buf, size_t n, bool write, int deadline) {
  auto* p = static_cast<uint8_t*>(buf);
  while (n > 0) {
    int left = deadline - nowMs();
    if (left <= 0) return false;
    pollfd pf{fd, short(write ? POLLOUT : POLLIN), 0};
    int r = ::poll(&pf, 1, left);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    ssize_t k = write ? ::send(fd, p, n, MSG_NOSIGNAL) : ::recv(fd, p, n, 0);
    if (k < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (k <= 0) return false;
    p += k;
    n -= size_t(k);
  }
  return true;
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
void put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint32_t get32(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(p[i]) << (8 * i);
  return v;
}
uint64_t get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= uint64_t(p[i]) << (8 * i);
  return v;
}

int connectTo(const std::string& name) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_un a;
  socklen_t len = addressOf(name, a);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 && errno != EAGAIN) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool listen(Window* w, Listener& l) {
  l.name = socketName(w->cls->name, w->title);
  l.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (l.fd < 0) return false;
  sockaddr_un a;
  socklen_t len = addressOf(l.name, a);
  if (::bind(l.fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(l.fd, 16) != 0) {
    // Another process already has a findable window of this class and title.
    ::close(l.fd);
    l.fd = -1;
    return false;
  }
  return true;
}

// One incoming record, delivered to the window procedure; its result goes back.
void serve(HWND hwnd, int fd) {
  int deadline = nowMs() + kReceiveTimeoutMs;
  uint8_t head[kRecordHeader];
  if (!ioAll(fd, head, sizeof head, false, deadline)) return;
  UINT msg = get32(head);
  WPARAM wParam = WPARAM(get64(head + 4));
  ULONG_PTR dwData = ULONG_PTR(get64(head + 12));
  uint32_t cb = get32(head + 20);
  if (msg != WM_COPYDATA || cb > kMaxPayload) return;
  std::vector<uint8_t> bytes(cb);
  if (cb && !ioAll(fd, bytes.data(), cb, false, deadline)) return;
  COPYDATASTRUCT cds{dwData, DWORD(cb), cb ? bytes.data() : nullptr};
  LRESULT r = send(hwnd, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&cds));
  uint8_t reply[8];
  put64(reply, uint64_t(int64_t(r)));
  ioAll(fd, reply, sizeof reply, true, nowMs() + kReceiveTimeoutMs);
}

// Socket names of findable windows in the namespace, from the kernel's list of Unix sockets.
std::vector<std::string> listedNames() {
  std::vector<std::string> out;
  std::ifstream f("/proc/net/unix");
  std::string line, want = "@" + std::string(kPrefix) + nsPart() + "/";
  std::getline(f, line);  // header
  while (std::getline(f, line)) {
    size_t at = line.find(want);
    if (at == std::string::npos) continue;
    std::string name = line.substr(at + 1);
    bool seenBefore = false;
    for (const std::string& n : out) seenBefore |= n == name;
    if (!seenBefore) out.push_back(name);
  }
  return out;
}

HWND remoteHandle(const std::string& name) {
  for (auto& [h, n] : remotes())
    if (n == name) return reinterpret_cast<HWND>(h);
  uintptr_t h = g_nextRemote;
  g_nextRemote += 4;
  remotes()[h] = name;
  return reinterpret_cast<HWND>(h);
}

}  // namespace

namespace zqwin {

void ipcPoll() {
  if (listeners().empty()) return;
  std::vector<std::pair<HWND, int>> ready;
  for (auto& [h, l] : listeners()) ready.emplace_back(h, l.fd);
  for (auto& [h, fd] : ready) {
    for (int n = 0; n < 16; ++n) {
      int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) break;
      if (find(h)) serve(h, c);
      ::close(c);
      if (!listeners().count(h)) break;  // the procedure made it unfindable
    }
  }
}

bool ipcListening() { return !listeners().empty(); }

int ipcFd() { return listeners().empty() ? -1 : listeners().begin()->second.fd; }

void ipcForget(Window* w) {
  auto it = listeners().find(handleOf(w));
  if (it == listeners().end()) return;
  ::close(it->second.fd);
  listeners().erase(it);
  w->findable = false;
}

// A findable window whose title changes is found by its new title.
void ipcRetitle(Window* w) {
  if (!w->findable) return;
  ipcForget(w);
  zqSetFindable(handleOf(w), TRUE);
}

void ipcReset() {
  for (auto& [h, l] : listeners()) ::close(l.fd);
  listeners().clear();
  remotes().clear();
}

bool ipcIsRemote(HWND hwnd) { return remotes().count(reinterpret_cast<uintptr_t>(hwnd)) != 0; }

bool ipcRemoteAlive(HWND hwnd) {
  auto it = remotes().find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == remotes().end()) return false;
  for (const std::string& n : listedNames())
    if (n == it->second) return true;
  return false;
}

LRESULT ipcSend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = remotes().find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == remotes().end()) return 0;
  // Only WM_COPYDATA carries its data across; other messages mean nothing to another process.
  const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (msg != WM_COPYDATA || !cds || cds->cbData > kMaxPayload || (cds->cbData && !cds->lpData)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int fd = connectTo(it->second);
  if (fd < 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  std::vector<uint8_t> rec(kRecordHeader + cds->cbData);
  put32(rec.data(), msg);
  put64(rec.data() + 4, uint64_t(wParam));
  put64(rec.data() + 12, uint64_t(cds->dwData));
  put32(rec.data() + 20, cds->cbData);
  if (cds->cbData) std::memcpy(rec.data() + kRecordHeader, cds->lpData, cds->cbData);
  int deadline = nowMs() + kReplyTimeoutMs;
  uint8_t reply[8];
  LRESULT r = 0;
  if (ioAll(fd, rec.data(), rec.size(), true, deadline) && ioAll(fd, reply, sizeof reply, false, deadline)) {
    r = LRESULT(int64_t(get64(reply)));
  } else {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // gone, or not answering
  }
  ::close(fd);
  return r;
}

}  // namespace zqwin

BOOL zqSetFindable(HWND hwnd, BOOL findable) {
  Window* w = find(hwnd);
  if (!w || !isTopLevel(w)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!findable) {
    ipcForget(w);
    return TRUE;
  }
  if (listeners().count(hwnd)) return TRUE;
  Listener l;
  if (!listen(w, l)) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  listeners()[hwnd] = l;
  w->findable = true;
  return TRUE;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  auto& s = state();
  std::string cls = className ? lowerAscii(className) : "";
  // Windows of this process first.
  for (HWND t : s.topLevel) {
    Window* w = find(t);
    if (!w) continue;
    if (className && lowerAscii(w->cls->name) != cls) continue;
    if (windowName && w->title != windowName) continue;
    return t;
  }
  std::string want;
  if (className && windowName) {
    want = socketName(className, windowName);
    int fd = connectTo(want);  // also finds a window the kernel list no longer shows
    if (fd < 0) return nullptr;
    ::close(fd);
    return remoteHandle(want);
  }
  std::string clsPart = className ? part(cls) : "";
  std::string titlePart = windowName ? part(windowName) : "";
  size_t base = std::strlen(kPrefix) + nsPart().size() + 1;
  for (const std::string& n : listedNames()) {
    std::string rest = n.substr(base);
    size_t slash = rest.find('/');
    if (slash == std::string::npos) continue;
    if (className && rest.substr(0, slash) != clsPart) continue;
    if (windowName && rest.substr(slash + 1) != titlePart) continue;
    return remoteHandle(n);
  }
  return nullptr;
}
