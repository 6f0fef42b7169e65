// Texture-group file header and numbered name patterns.
#include "TextureGroupFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/LittleEndian.h"

namespace zqtg {
namespace {

using zqle::GetI32;
using zqle::PutU32;

// Length of the conversion starting at pattern[i] == '%', 0 when it is not an integer one.
size_t ConversionLength(const std::string& p, size_t i) {
  size_t j = i + 1;
  while (j < p.size() && p[j] && strchr("-+ #0", p[j])) ++j;
  const size_t digits = j;
  while (j < p.size() && p[j] >= '0' && p[j] <= '9') ++j;
  if (j - digits > 2) return 0;  // widths up to 99
  if (j < p.size() && p[j] && strchr("diouxX", p[j])) return j - i + 1;
  return 0;
}

}  // namespace

bool ReadHeader(const BYTE* in, Header& h) {
  if (memcmp(in, "ZQTG", 4) != 0) return false;
  h.count = GetI32(in + 16);
  h.team = (DWORD)GetI32(in + 20);
  uint32_t angle = (uint32_t)GetI32(in + 24);
  memcpy(&h.baseAngle, &angle, 4);
  h.cacheSize = (DWORD)GetI32(in + 28);
  h.delay = (DWORD)GetI32(in + 32);
  if (h.delay <= 10) h.delay = 1000;
  h.baseX = GetI32(in + 36);
  h.baseY = GetI32(in + 40);
  return true;
}

void WriteHeader(const Header& h, BYTE* out) {
  memset(out, 0, 16);
  memcpy(out, kSignature, sizeof kSignature);
  PutU32(out + 16, (uint32_t)h.count);
  PutU32(out + 20, h.team);
  uint32_t angle;
  memcpy(&angle, &h.baseAngle, 4);
  PutU32(out + 24, angle);
  PutU32(out + 28, h.cacheSize);
  PutU32(out + 32, h.delay);
  PutU32(out + 36, (uint32_t)h.baseX);
  PutU32(out + 40, (uint32_t)h.baseY);
}

bool IsValidPattern(const std::string& p) {
  int conversions = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] != '%') continue;
    if (i + 1 < p.size() && p[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t n = ConversionLength(p, i);
    if (!n) return false;
    ++conversions;
    i += n - 1;
  }
  return conversions == 1;
}

std::string FormatPattern(const std::string& p, int index) {
  char buf[128];
  std::string out;
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] != '%') {
      out += p[i];
    } else if (i + 1 < p.size() && p[i + 1] == '%') {
      out += '%';
      ++i;
    } else if (size_t n = ConversionLength(p, i)) {
      std::string conv = p.substr(i, n);  // checked: one integer conversion
      snprintf(buf, sizeof buf, conv.c_str(), index);
      out += buf;
      i += n - 1;
    }
  }
  return out;
}

bool SplitNumbered(const std::string& name, std::string& pattern, long& first, long& last) {
  size_t hash = name.find('#');
  if (hash == std::string::npos) return false;
  pattern = name.substr(0, hash);
  const char* s = name.c_str() + hash + 1;
  char* end;
  first = strtol(s, &end, 10);
  if (end == s || !*end) return false;
  s = end + 1;  // one separating character
  last = strtol(s, &end, 10);
  return end != s;
}

}  // namespace zqtg
