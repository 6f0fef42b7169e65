// The program's own path, Windows-style.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "zqplatform/base.h"

namespace {
char g_self;  // GetModuleHandleA(nullptr) names the program by this address
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size) {
  if (!out || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::string path;
  if (module && reinterpret_cast<char*>(module) != &g_self) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(module), &info) && info.dli_fname) path = info.dli_fname;
  } else {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) path.assign(buf, size_t(n));
  }
  if (path.empty()) {
    out[0] = 0;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  std::string gbk = zqUtf8ToGbk(path);
  if (zqGbkToUtf8(gbk) != path) gbk = path;  // a name GBK cannot hold stays as it is
  for (char& c : gbk)
    if (c == '/') c = '\\';
  DWORD n = DWORD(gbk.size());
  if (n >= size) {
    n = size - 1;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
  } else {
    SetLastError(ERROR_SUCCESS);
  }
  std::memcpy(out, gbk.data(), n);
  out[n] = 0;
  return n;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  if (name) return nullptr;
  return reinterpret_cast<HMODULE>(&g_self);
}
