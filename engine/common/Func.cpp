// CZqFunc: paths, file types, stream buffers, colour texts, process globals.
#include "ZqFunc.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "ZqDebug.h"
#include "common/Globals.h"

namespace zq {
CZqApp* g_app = nullptr;
CZqDebug* g_debuger = nullptr;
int g_editMode = 0;
}  // namespace zq

namespace {

constexpr size_t kPathBuf = 256;
// Longest path text that still leaves room for the two closing NULs.
constexpr size_t kPathMax = kPathBuf - 2;

void SetEmpty(char* dst) {
  dst[0] = 0;
  dst[1] = 0;
}

// Writes text (length n) with two closing NULs; an over-long text gives an empty result.
char* Store(char* dst, const char* text, size_t n) {
  if (n > kPathMax) {
    SetEmpty(dst);
    return dst;
  }
  memmove(dst, text, n);
  dst[n] = 0;
  dst[n + 1] = 0;
  return dst;
}

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Position of the last backslash that is a character of its own (a GBK trail byte can be
// 0x5C), or -1.
long LastBackslash(const char* s, size_t n) {
  long last = -1;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = (unsigned char)s[i];
    if (IsGbkLead(c) && i + 1 < n) {
      ++i;
      continue;
    }
    if (c == '\\') last = (long)i;
  }
  return last;
}

// Rectified copy of src in a std::string: one leading and one trailing backslash dropped.
std::string Rectify(const char* src) {
  std::string s(src ? src : "");
  if (!s.empty() && s[0] == '\\') s.erase(0, 1);
  if (!s.empty() && s.back() == '\\' && LastBackslash(s.data(), s.size()) == (long)s.size() - 1) s.pop_back();
  return s;
}

const char kExt[25][5] = {"",    "",    "ini", "bmp", "jpg", "tga",  "wav", "pgm", "pgg",
                          "tex", "txg", "txt", "avi", "mpg", "mpeg", "wmv", "mp3", "mid",
                          "wma", "map", "fnt", "fon", "ttf", "fot",  "zqs"};

std::string Lower(std::string s) {
  for (char& c : s) c = (char)tolower((unsigned char)c);
  return s;
}

// A leading signed base-10 integer at p, saturated to 32 bits; *end after it.
int32_t ParseInt(const char* p, const char** end) {
  char* e = nullptr;
  errno = 0;
  long long v = strtoll(p, &e, 10);
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  *end = (e == p) ? p : e;
  return (int32_t)v;
}

}  // namespace

CZqText::CZqText() = default;
CZqText::~CZqText() = default;

// ---- paths

char* CZqFunc::Path_RectifyPath(char* dst, const char* src) {
  if (!dst) return dst;
  std::string s = Rectify(src ? src : dst);
  return Store(dst, s.data(), s.size());
}

char* CZqFunc::Path_GetPathFile(char* dst, const char* path) {
  if (!dst) return dst;
  std::string s = Rectify(path);
  long cut = LastBackslash(s.data(), s.size());
  return Store(dst, s.data() + cut + 1, s.size() - (size_t)(cut + 1));
}

char* CZqFunc::Path_GetParentPath(char* dst, const char* path) {
  if (!dst) return dst;
  std::string s = Rectify(path);
  long cut = LastBackslash(s.data(), s.size());
  if (cut < 0) {
    SetEmpty(dst);
    return dst;
  }
  return Store(dst, s.data(), (size_t)cut);
}

char* CZqFunc::Path_MakeFullPath(char* dst, const char* path) {
  if (!dst) return dst;
  std::string p(path ? path : dst);
  if (p.find(':') != std::string::npos || (!p.empty() && p[0] == '/')) return Store(dst, p.data(), p.size());
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd) || strlen(cwd) > 255) {
    SetEmpty(dst);
    return dst;
  }
  std::string full = Rectify(cwd) + "\\" + Rectify(p.c_str());
  full = Rectify(full.c_str());
  return Store(dst, full.data(), full.size());
}

// ---- file types

const char* CZqFunc::File_GetExt(long type) {
  if (type < 0 || type > 24) return "";
  return kExt[type];
}

int CZqFunc::FileCompareExt(const char* path, const char* ext) {
  if (!path || !ext) return 0;
  const char* dot = strrchr(path, '.');
  if (!dot) return 0;
  std::string mine(dot + 1);
  mine = Lower(mine.substr(0, strlen(ext)));
  const char* edot = strrchr(ext, '.');
  std::string theirs = Lower(edot ? edot + 1 : ext);
  return mine == theirs ? 1 : 0;
}

_FILE_FORMAT_TYPE CZqFunc::File_GetFFT(const char* path) {
  for (int t = FFT_INI; t <= FFT_ZQS; ++t)
    if (FileCompareExt(path, kExt[t])) return (_FILE_FORMAT_TYPE)t;
  return FFT_NONE;
}

// ---- stream buffers

SStreamBuf CZqFunc::ZQFBUF_Create(const char* path, const char* mode) {
  SStreamBuf s;
  if (!path || !mode) return s;
  s.m_pFile = fopen(zqMapPath(path).c_str(), mode);
  if (!s.m_pFile) return s;
  if (fseek(s.m_pFile, 0, SEEK_END) == 0) {
    long n = ftell(s.m_pFile);
    s.m_nSize = (n < 0 || n > INT32_MAX) ? 0 : (int32_t)n;
  }
  fseek(s.m_pFile, 0, SEEK_SET);
  return s;
}

int CZqFunc::ZQFBUF_Set(SStreamBuf* s, long position) {
  if (!s || !s->m_pFile) return -1;
  return fseek(s->m_pFile, (long)s->m_nOffset + position, SEEK_SET);
}

int CZqFunc::ZQFBUF_Seek(SStreamBuf* s, long offset, int origin) {
  if (!s || !s->m_pFile) return -1;
  // Only a position from the start is relative to the base offset.
  if (origin == SEEK_SET) offset += s->m_nOffset;
  return fseek(s->m_pFile, offset, origin);
}

size_t CZqFunc::ZQFBUF_Read(void* buffer, size_t size, size_t count, SStreamBuf* s) {
  if (!s || !s->m_pFile || !buffer) return 0;
  return fread(buffer, size, count, s->m_pFile);
}

size_t CZqFunc::ZQFBUF_Write(const void* data, size_t size, size_t count, SStreamBuf* s) {
  if (!s || !s->m_pFile || !data) return 0;
  return fwrite(data, size, count, s->m_pFile);
}

long CZqFunc::ZQFBUF_Tell(SStreamBuf* s) {
  if (!s || !s->m_pFile) return -1;
  return ftell(s->m_pFile);
}

int CZqFunc::ZQFBUF_Close(SStreamBuf* s) {
  if (!s || !s->m_pFile) return -1;
  int r = fclose(s->m_pFile);
  s->m_pFile = nullptr;
  return r;
}

// ---- texts

void CZqFunc::TextFormatString(std::string& out, const char* format, ...) {
  char buf[1024];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(buf, sizeof buf, format ? format : "", args);
  va_end(args);
  out.assign(n < 0 ? "" : buf);
}

void CZqFunc::ColorToString(char* text, DWORD color) {
  if (!text) return;
  sprintf(text, "%d,%d,%d,%d", (int)((color >> 16) & 0xFF), (int)((color >> 8) & 0xFF), (int)(color & 0xFF),
          (int)(color >> 24));
}

DWORD CZqFunc::StringToColor(const char* text) {
  if (!text || !*text) return 0;
  int32_t v[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  const char* p = text;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      // One separator is skipped only when something follows it.
      if (!p[0] || !p[1]) break;
      ++p;
    }
    v[i] = ParseInt(p, &p);
  }
  DWORD c = (DWORD)v[3];
  c = (c << 8) | (DWORD)v[0];
  c = (c << 8) | (DWORD)v[1];
  c = (c << 8) | (DWORD)v[2];
  return c;
}

DWORD CZqFunc::GetCPUCaps() { return zqCpuFeatureWord(); }

// ---- globals

CZqApp* CZqFunc::GetZqApp() { return zq::g_app; }
void CZqFunc::SetZqApp(CZqApp* app) { zq::g_app = app; }
CZqDebug* CZqFunc::GetDebuger() { return zq::g_debuger; }
void CZqFunc::UI_SetEditMode(int flag) { zq::g_editMode = flag; }
int CZqFunc::UI_GetEditMode() { return zq::g_editMode; }
