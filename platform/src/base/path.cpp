// Windows-style GBK paths to file-system paths.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "zqplatform/base.h"

namespace {

bool exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

bool equalsNoCase(const char* a, const std::string& b) {
  size_t n = std::strlen(a);
  if (n != b.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = (unsigned char)a[i], y = (unsigned char)b[i];
    if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
    if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
    if (x != y) return false;
  }
  return true;
}

// "\" to "/", leaving the trail byte of a GBK double byte (which may be 0x5C) alone.
std::string slashes(const char* in) {
  std::string out;
  const unsigned char* s = (const unsigned char*)in;
  if (((s[0] | 0x20) >= 'a' && (s[0] | 0x20) <= 'z') && s[1] == ':') s += 2;  // drive
  while (*s) {
    if (*s >= 0x81 && *s <= 0xFE && s[1]) {
      out += char(s[0]);
      out += char(s[1]);
      s += 2;
      continue;
    }
    out += (*s == '\\') ? '/' : char(*s);
    ++s;
  }
  return out;
}

// Resolves each component of a '/' path case-insensitively where the exact name is missing.
std::string resolveNoCase(const std::string& path) {
  std::string done;
  size_t i = 0;
  if (!path.empty() && path[0] == '/') {
    done = "/";
    i = 1;
  }
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string comp = path.substr(i, j - i);
    if (!comp.empty()) {
      std::string dirPath = done.empty() ? "." : done;
      std::string base = done;
      if (!base.empty() && base.back() != '/') base += '/';
      std::string candidate = base + comp;
      if (!exists(candidate)) {
        std::string found;
        if (DIR* d = ::opendir(dirPath.c_str())) {
          while (dirent* e = ::readdir(d)) {
            if (equalsNoCase(e->d_name, comp)) {
              found = e->d_name;
              break;
            }
          }
          ::closedir(d);
        }
        if (found.empty()) return path;  // nothing matches: leave the path as it was asked for
        candidate = base + found;
      }
      done = candidate;
    }
    if (j == path.size()) break;
    i = j + 1;
  }
  if (!path.empty() && path.back() == '/' && (done.empty() || done.back() != '/')) done += '/';
  return done;
}

}  // namespace

std::string zqMapPath(const char* windowsPath) {
  if (!windowsPath || !*windowsPath) return std::string();
  std::string raw = slashes(windowsPath);
  std::string utf8 = zqGbkToUtf8(raw);
  if (exists(utf8)) return utf8;
  if (utf8 != raw && exists(raw)) return raw;  // already a UTF-8 name on disk
  std::string resolved = resolveNoCase(utf8);
  return resolved;
}
