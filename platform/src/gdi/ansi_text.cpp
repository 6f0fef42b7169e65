// GBK decoding through iconv into a per-thread buffer that grows and is reused.
#include "ansi_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace zqgdi {
namespace {

struct Decoder {
  iconv_t cd = iconv_open("UTF-32LE", "GBK");
  std::vector<char32_t> out;
  ~Decoder() {
    if (cd != (iconv_t)-1) iconv_close(cd);
  }
};

}  // namespace

const char32_t* decodeAnsi(const char* text, int len, size_t* count) {
  thread_local Decoder d;
  size_t n = text ? (len < 0 ? std::strlen(text) : size_t(len)) : 0;
  if (d.out.size() < n + 1) d.out.resize(n + 1);
  char32_t* dst = d.out.data();
  size_t produced = 0;
  size_t i = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      dst[produced++] = c;
      ++i;
      continue;
    }
    if (d.cd == (iconv_t)-1) {
      dst[produced++] = 0xFFFD;
      ++i;
      continue;
    }
    // One multi-byte character at a time (at most 4 bytes in this code page family).
    char32_t cp = 0;
    char* in = const_cast<char*>(text + i);
    size_t inLeft = (n - i) < 2 ? (n - i) : 2;
    char* o = reinterpret_cast<char*>(&cp);
    size_t oLeft = sizeof(cp);
    iconv(d.cd, nullptr, nullptr, nullptr, nullptr);
    size_t r = iconv(d.cd, &in, &inLeft, &o, &oLeft);
    if (r == size_t(-1) && oLeft == sizeof(cp)) {
      dst[produced++] = 0xFFFD;
      ++i;
      continue;
    }
    size_t used = size_t(in - (text + i));
    dst[produced++] = cp;
    i += used ? used : 1;
  }
  dst[produced] = 0;
  *count = produced;
  return dst;
}

}  // namespace zqgdi
