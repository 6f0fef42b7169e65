// Private-profile INI reader and writer.
#include "zqplatform/profile.h"

#include "zqplatform/base.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters fold; a double-byte character is compared byte for byte, so its trail byte
// (which may look like an ASCII letter) is never folded.
bool namesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (isLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

// Position of the first c outside double-byte characters, or npos.
size_t findSingle(std::string_view s, char c) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == c) return i;
    if (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
  }
  return std::string_view::npos;
}

enum class LineKind { Other, Section, Key };

struct Line {
  size_t begin = 0, length = 0;  // text without the line end
  size_t end = 0;                // after the line end
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // raw value text after '=' (keys only)
};

// Not to be moved once parsed: the lines view into text.
struct ParsedFile {
  std::string text;
  std::vector<Line> lines;
  bool crlf = true;  // line end for lines added to the file
};

void parseInto(ParsedFile& f) {
  f.lines.clear();
  const std::string_view all(f.text);
  bool sawEnd = false;
  size_t pos = 0;
  while (pos < all.size()) {
    Line ln;
    ln.begin = pos;
    size_t nl = all.find('\n', pos);
    size_t stop = nl == std::string_view::npos ? all.size() : nl;
    size_t textEnd = stop;
    if (textEnd > pos && all[textEnd - 1] == '\r') --textEnd;
    if (!sawEnd && nl != std::string_view::npos) {
      f.crlf = textEnd != stop;
      sawEnd = true;
    }
    ln.length = textEnd - pos;
    ln.end = nl == std::string_view::npos ? all.size() : nl + 1;
    std::string_view body = trim(all.substr(pos, ln.length));
    if (!body.empty() && body.front() == '[') {
      size_t close = findSingle(body.substr(1), ']');
      if (close != std::string_view::npos) {
        ln.kind = LineKind::Section;
        ln.name = trim(body.substr(1, close));
      }
    }
    if (ln.kind == LineKind::Other) {
      size_t eq = body.find('=');
      if (eq != std::string_view::npos) {
        ln.kind = LineKind::Key;
        ln.name = trim(body.substr(0, eq));
        ln.value = body.substr(eq + 1);
      }
    }
    f.lines.push_back(ln);
    pos = ln.end;
  }
}

// The value as stored: blanks trimmed, one pair of enclosing quotes removed.
std::string_view cookValue(std::string_view raw) {
  std::string_view v = trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  return v;
}

// Index of the first section header named section, or npos.
size_t findSection(const ParsedFile& f, std::string_view section) {
  for (size_t i = 0; i < f.lines.size(); ++i)
    if (f.lines[i].kind == LineKind::Section && namesEqual(f.lines[i].name, section)) return i;
  return std::string_view::npos;
}

// One past the last line of the section whose header is at index header.
size_t sectionEnd(const ParsedFile& f, size_t header) {
  size_t i = header + 1;
  while (i < f.lines.size() && f.lines[i].kind != LineKind::Section) ++i;
  return i;
}

size_t findKey(const ParsedFile& f, size_t header, std::string_view key) {
  const size_t stop = sectionEnd(f, header);
  for (size_t i = header + 1; i < stop; ++i)
    if (f.lines[i].kind == LineKind::Key && namesEqual(f.lines[i].name, key)) return i;
  return std::string_view::npos;
}

// Files are parsed once and kept while their identity and modification time stay the same,
// so that the many reads of one configuration file do not parse it again each time. A file
// modified within the last seconds is read again on every call: file times are coarse, so a
// same-sized rewrite within one tick would otherwise look unchanged.
struct CacheEntry {
  std::string path;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  struct timespec mtime {};
  bool recent = false;
  ParsedFile file;
};

constexpr time_t kSettledSeconds = 2;

bool modifiedRecently(const struct timespec& mtime) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec - mtime.tv_sec < kSettledSeconds;
}

constexpr size_t kCacheEntries = 16;
std::mutex g_lock;
std::list<CacheEntry> g_cache;

bool sameStamp(const CacheEntry& e, const struct stat& st) {
  return e.dev == st.st_dev && e.ino == st.st_ino && e.size == st.st_size &&
         e.mtime.tv_sec == st.st_mtim.tv_sec && e.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

bool readWhole(const std::string& path, std::string& out, struct stat& st) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  out.clear();
  char buf[16384];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  // The stamp is taken again after reading, so a file changed while it was read is not cached
  // under the earlier stamp.
  ::fstat(fd, &st);
  ::close(fd);
  return true;
}

// The parsed file at path, or null when it cannot be read. Caller holds g_lock.
const ParsedFile* loadFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  for (auto it = g_cache.begin(); it != g_cache.end(); ++it) {
    if (it->path != path) continue;
    if (!it->recent && sameStamp(*it, st)) {
      g_cache.splice(g_cache.begin(), g_cache, it);
      return &g_cache.front().file;
    }
    g_cache.erase(it);
    break;
  }
  CacheEntry e;
  e.path = path;
  if (!readWhole(path, e.file.text, st)) return nullptr;
  e.dev = st.st_dev;
  e.ino = st.st_ino;
  e.size = st.st_size;
  e.mtime = st.st_mtim;
  e.recent = modifiedRecently(st.st_mtim);
  g_cache.push_front(std::move(e));
  if (g_cache.size() > kCacheEntries) g_cache.pop_back();
  // Parsed only in its final place: the lines view into the text, which a move may relocate.
  parseInto(g_cache.front().file);
  return &g_cache.front().file;
}

void forget(const std::string& path) {
  for (auto it = g_cache.begin(); it != g_cache.end(); ++it)
    if (it->path == path) {
      g_cache.erase(it);
      return;
    }
}

DWORD copyOut(std::string_view v, LPSTR out, DWORD size) {
  if (!out || size == 0) return 0;
  size_t n = v.size() < size - 1 ? v.size() : size - 1;
  if (n) std::memcpy(out, v.data(), n);
  out[n] = '\0';
  return static_cast<DWORD>(n);
}

bool writeAll(int fd, const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    ssize_t n = ::write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Replaces the file's content through a temporary file in the same folder, so that a failed
// write leaves the old file whole.
bool storeFile(const std::string& path, const std::string& text) {
  std::string target = path;
  char real[PATH_MAX];
  if (::realpath(path.c_str(), real)) target = real;
  mode_t mode;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  std::string tmp = target + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = writeAll(fd, text) && ::fchmod(fd, mode) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// The file's name on disk: data paths are Windows-style GBK.
std::string zqProfilePath(LPCSTR file) { return *file ? zqMapPath(file) : std::string(); }

// Copies the value of key in section into out; false when file, section or key is missing.
bool lookup(LPCSTR section, LPCSTR key, LPCSTR file, std::string& out) {
  if (!section || !key || !file) return false;
  const std::string path = zqProfilePath(file);
  if (path.empty()) return false;
  std::lock_guard<std::mutex> hold(g_lock);
  const ParsedFile* f = loadFile(path);
  if (!f) return false;
  size_t header = findSection(*f, trim(section));
  if (header == std::string_view::npos) return false;
  size_t k = findKey(*f, header, trim(key));
  if (k == std::string_view::npos) return false;
  out.assign(cookValue(f->lines[k].value));
  return true;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file) {
  std::string value;
  if (lookup(section, key, file, value)) return copyOut(value, out, size);
  return copyOut(def ? std::string_view(def) : std::string_view(), out, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
  std::string value;
  if (!lookup(section, key, file, value)) return static_cast<UINT>(def);
  const char* p = value.c_str();
  bool neg = false;
  if (*p == '-' || *p == '+') neg = *p++ == '-';
  uint32_t v = 0;
  while (*p >= '0' && *p <= '9') v = v * 10u + static_cast<uint32_t>(*p++ - '0');
  return neg ? 0u - v : v;
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  if (!section || !file) return FALSE;
  const std::string_view sec = trim(section);
  // The header must read back as this name: no ']' of its own, and no lone lead byte at the
  // end that would swallow the closing bracket.
  if (hasLineBreak(sec) || findSingle(std::string(sec) + "]", ']') != sec.size()) return FALSE;
  std::string_view k, v;
  if (key) {
    k = trim(key);
    if (hasLineBreak(k) || k.find('=') != std::string_view::npos || (!k.empty() && k.front() == '['))
      return FALSE;
  }
  if (value) {
    v = value;
    if (hasLineBreak(v)) return FALSE;
  }
  const std::string path = zqProfilePath(file);
  if (path.empty()) return FALSE;

  std::lock_guard<std::mutex> hold(g_lock);
  ParsedFile f;
  if (const ParsedFile* cur = loadFile(path)) {
    f.text = cur->text;
    f.crlf = cur->crlf;
  } else {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return FALSE;  // there, but not a readable file
  }
  parseInto(f);
  const char* eol = f.crlf ? "\r\n" : "\n";
  const std::string_view text(f.text);
  std::string out;
  size_t header = findSection(f, sec);

  auto keyLine = [&]() { return std::string(k) + "=" + std::string(v) + eol; };

  if (header == std::string_view::npos) {
    if (!key || !value) return TRUE;  // nothing to remove
    out = f.text;
    if (!out.empty() && out.back() != '\n') out += eol;
    out += "[" + std::string(sec) + "]" + eol + keyLine();
  } else if (!key) {
    const size_t stop = sectionEnd(f, header);
    size_t from = f.lines[header].begin;
    size_t to = stop < f.lines.size() ? f.lines[stop].begin : text.size();
    out = std::string(text.substr(0, from)) + std::string(text.substr(to));
  } else {
    size_t line = findKey(f, header, k);
    if (line != std::string_view::npos) {
      const Line& ln = f.lines[line];
      out = std::string(text.substr(0, ln.begin));
      if (value)
        out += std::string(k) + "=" + std::string(v) +
               std::string(text.substr(ln.begin + ln.length, ln.end - ln.begin - ln.length));
      out += std::string(text.substr(ln.end));
    } else {
      if (!value) return TRUE;
      // Append after the section's last non-blank line, before any blank lines that part it
      // from the next section.
      size_t stop = sectionEnd(f, header);
      size_t last = stop - 1;
      while (last > header && trim(text.substr(f.lines[last].begin, f.lines[last].length)).empty()) --last;
      const Line& ln = f.lines[last];
      out = std::string(text.substr(0, ln.end));
      if (ln.end == 0 || text[ln.end - 1] != '\n') out += eol;  // last line without a line end
      out += keyLine();
      out += std::string(text.substr(ln.end));
    }
  }
  forget(path);
  return storeFile(path, out) ? TRUE : FALSE;
}
