// Named mutexes, one per user: an flock'ed file in the user's runtime folder. The lock is bound
// to the open file, so a second holder in the same process is seen as well as one in another.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <set>

#include "zqplatform/base.h"

namespace {

struct NamedMutex {
  int fd = -1;
  bool locked = false;
};

std::mutex g_lock;
std::set<NamedMutex*> g_handles;

std::string lockFolder() {
  const char* rt = std::getenv("XDG_RUNTIME_DIR");
  std::string dir;
  if (rt && *rt) {
    dir = rt;
  } else {
    dir = "/tmp/zq-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
  }
  return dir;
}

std::string lockFileName(const char* name) {
  std::string file = "zq-mutex-";
  for (const unsigned char* p = (const unsigned char*)name; *p; ++p) {
    unsigned char c = *p;
    bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                 c == '_' || c == '.';
    if (plain) {
      file += char(c);
    } else {
      static const char hex[] = "0123456789abcdef";
      file += '%';
      file += hex[c >> 4];
      file += hex[c & 15];
    }
  }
  return file;
}

}  // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  auto* m = new NamedMutex;
  if (name && *name) {
    std::string path = lockFolder() + "/" + lockFileName(name);
    m->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m->fd < 0) {
      delete m;
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    if (::flock(m->fd, LOCK_EX | LOCK_NB) != 0) {
      // Another holder: the handle is valid, but the caller is told the mutex exists.
      ::close(m->fd);
      m->fd = -1;
      std::lock_guard<std::mutex> g(g_lock);
      g_handles.insert(m);
      SetLastError(ERROR_ALREADY_EXISTS);
      return m;
    }
    m->locked = true;
  } else {
    m->locked = initialOwner != 0;
  }
  std::lock_guard<std::mutex> g(g_lock);
  g_handles.insert(m);
  SetLastError(ERROR_SUCCESS);
  return m;
}

BOOL ReleaseMutex(HANDLE h) {
  std::lock_guard<std::mutex> g(g_lock);
  auto* m = static_cast<NamedMutex*>(h);
  if (!g_handles.count(m)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // The name stays taken while the handle is open (the file lock), as a second instance is
  // refused for as long as the first one runs.
  return m->locked ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE h) {
  std::lock_guard<std::mutex> g(g_lock);
  auto* m = static_cast<NamedMutex*>(h);
  if (!g_handles.erase(m)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (m->fd >= 0) ::close(m->fd);
  delete m;
  return TRUE;
}
