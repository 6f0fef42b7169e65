// CConfig: the value syntaxes over the private-profile services.
#include "ZqConfig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kValueBuffer = 260;
char g_sharedText[1000];

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Leading signed decimal integer (blanks skipped). end is set after the digits, or to the start
// of the text when there are none (and the result is 0). Out-of-range values saturate.
int32_t parseInt(const char* text, const char** end) {
  const char* p = text;
  while (isSpace(*p)) ++p;
  bool neg = false;
  if (*p == '+' || *p == '-') neg = *p++ == '-';
  if (*p < '0' || *p > '9') {
    *end = text;
    return 0;
  }
  int64_t v = 0;
  while (*p >= '0' && *p <= '9') {
    if (v <= INT64_C(0x100000000)) v = v * 10 + (*p - '0');
    ++p;
  }
  *end = p;
  if (neg) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Fills up to count numbers of a list such as "1,2,3". A number is read only when the character
// after the previous one is followed by at least one more; missing numbers keep their values.
void parseList(const char* text, int32_t* out[], int count) {
  const char* p = text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (p[0] == '\0' || p[1] == '\0') return;
      ++p;  // exactly one separator, whatever it is
    }
    const char* end;
    *out[i] = parseInt(p, &end);
    p = end;
  }
}

}  // namespace

CConfig::CConfig() { m_szFile[0] = '\0'; }

CConfig::CConfig(const char* path) {
  m_szFile[0] = '\0';
  SetINIFile(path);
}

CConfig::~CConfig() {}

void CConfig::SetINIFile(const char* path) {
  if (path == m_szFile) return;
  size_t n = path ? std::strlen(path) : 0;
  if (n >= sizeof m_szFile) n = 0;
  if (n) std::memcpy(m_szFile, path, n);
  m_szFile[n] = '\0';
}

char* CConfig::GetINIFile() { return m_szFile; }

char* CConfig::GetString(const char* section, const char* key, const char* def) {
  GetPrivateProfileStringA(section, key, def, g_sharedText, sizeof g_sharedText, m_szFile);
  return g_sharedText;
}

DWORD CConfig::GetString(char* buffer, DWORD size, const char* section, const char* key, const char* def) {
  return GetPrivateProfileStringA(section, key, def, buffer, size, m_szFile);
}

BOOL CConfig::WriteString(const char* value, const char* section, const char* key) {
  return WritePrivateProfileStringA(section, key, value, m_szFile);
}

LONG CConfig::GetLong(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  const char* end;
  return parseInt(buf, &end);
}

BOOL CConfig::WriteLong(LONG value, const char* section, const char* key) {
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
  return WriteString(buf, section, key);
}

float CConfig::GetFloat(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  return static_cast<float>(std::strtod(buf, nullptr));
}

BOOL CConfig::WriteFloat(float value, const char* section, const char* key) {
  // "%f" of a large float has up to 39 integer digits; the buffer holds any of them.
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%f", static_cast<double>(value));
  return WriteString(buf, section, key);
}

DWORD CConfig::GetHex(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  if (buf[0] != '0' || buf[1] != 'x') return 0;
  DWORD v = 0;
  const char* p = buf + 2;
  bool any = false;
  for (;; ++p) {
    int d;
    if (*p >= '0' && *p <= '9')
      d = *p - '0';
    else if (*p >= 'a' && *p <= 'f')
      d = *p - 'a' + 10;
    else if (*p >= 'A' && *p <= 'F')
      d = *p - 'A' + 10;
    else
      break;
    v = (v << 4) | static_cast<DWORD>(d);
    any = true;
  }
  return any ? v : 0;
}

BOOL CConfig::WriteHex(DWORD value, const char* section, const char* key) {
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(value));
  return WriteString(buf, section, key);
}

BOOL CConfig::GetBOOL(const char* section, const char* key, const char* def) {
  char buf[10];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  for (char* p = buf; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  return std::strcmp(buf, "true") == 0 ? 1 : 0;
}

BOOL CConfig::WriteBOOL(BOOL value, const char* section, const char* key) {
  return WriteString(value ? "true" : "false", section, key);
}

SScreenPoint CConfig::GetPoint(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  SScreenPoint p;
  int32_t* out[] = {&p.x, &p.y};
  parseList(buf, out, 2);
  return p;
}

BOOL CConfig::WritePoint(const SScreenPoint& value, const char* section, const char* key) {
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%d,%d", value.x, value.y);
  return WriteString(buf, section, key);
}

SScreenRect CConfig::GetRect(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  SScreenRect r;
  int32_t* out[] = {&r.left, &r.top, &r.right, &r.bottom};
  parseList(buf, out, 4);
  return r;
}

BOOL CConfig::WriteRect(const SScreenRect& value, const char* section, const char* key) {
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", value.left, value.top, value.right, value.bottom);
  return WriteString(buf, section, key);
}

DWORD CConfig::GetColor(const char* section, const char* key, const char* def) {
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  int32_t a = 0, r = 0, g = 0, b = 0;
  int32_t* out[] = {&a, &r, &g, &b};
  parseList(buf, out, 4);
  // No masking: a number above 255 spills into the next byte up.
  uint32_t v = static_cast<uint32_t>(a);
  v = (v << 8) | static_cast<uint32_t>(r);
  v = (v << 8) | static_cast<uint32_t>(g);
  v = (v << 8) | static_cast<uint32_t>(b);
  return v;
}

BOOL CConfig::WriteColor(DWORD value, const char* section, const char* key) {
  char buf[kValueBuffer];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", static_cast<int>((value >> 24) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>(value & 0xFF));
  return WriteString(buf, section, key);
}

void CConfig::GetFont(sFont* font, const char* section, const char* key, const char* def) {
  if (!font) return;
  char buf[kValueBuffer];
  GetPrivateProfileStringA(section, key, def, buf, sizeof buf, m_szFile);
  const char* comma = std::strchr(buf, ',');
  size_t faceLen = comma ? static_cast<size_t>(comma - buf) : std::strlen(buf);
  if (faceLen > sizeof font->szFace - 1) faceLen = sizeof font->szFace - 1;
  std::memcpy(font->szFace, buf, faceLen);
  font->szFace[faceLen] = '\0';

  // The size is the first number after the comma; the tail follows the list rule from there.
  // Packed members go through locals.
  int32_t size = 0, charset = font->nCharset, italic = font->nItalic, underline = font->nUnderline,
          strike = font->nStrikeOut;
  if (comma && comma[1] != '\0') {
    int32_t* out[] = {&size, &charset, &italic, &underline, &strike};
    parseList(comma + 1, out, 5);
  }
  font->nCharset = charset;
  font->nItalic = italic;
  font->nUnderline = underline;
  font->nStrikeOut = strike;
  font->nSize = size;
}

BOOL CConfig::WriteFont(const sFont* font, const char* section, const char* key) {
  if (!font) return FALSE;
  // Big enough for the longest face and five numbers, so nothing is cut.
  char buf[kValueBuffer + 80];
  std::snprintf(buf, sizeof buf, "%.254s,%d,%d,%d,%d,%d", font->szFace, font->nSize, font->nCharset,
                font->nItalic, font->nUnderline, font->nStrikeOut);
  return WriteString(buf, section, key);
}

DWORD CConfig::GetBinary(const char* section, const char* key, void* buffer, DWORD capacity) {
  if (!buffer || capacity == 0) return 0;
  std::vector<char> text(static_cast<size_t>(capacity) * 2 + 1);
  DWORD n =
      GetPrivateProfileStringA(section, key, "", text.data(), static_cast<DWORD>(text.size()), m_szFile);
  DWORD pairs = n / 2;
  if (pairs > capacity) pairs = capacity;
  auto* out = static_cast<unsigned char*>(buffer);
  for (DWORD i = 0; i < pairs; ++i) {
    const unsigned lo = static_cast<unsigned char>(text[2 * i]) - 'A';
    const unsigned hi = static_cast<unsigned char>(text[2 * i + 1]) - 'A';
    out[i] = static_cast<unsigned char>((lo + 16u * hi) & 0xFF);
  }
  return pairs;
}

BOOL CConfig::WriteBinary(const char* section, const char* key, const void* data, DWORD length) {
  if (!data && length) return FALSE;
  std::string text;
  text.resize(static_cast<size_t>(length) * 2);
  const auto* in = static_cast<const unsigned char*>(data);
  for (DWORD i = 0; i < length; ++i) {
    text[2 * i] = static_cast<char>('A' + (in[i] & 0x0F));
    text[2 * i + 1] = static_cast<char>('A' + (in[i] >> 4));
  }
  return WriteString(text.c_str(), section, key);
}
