// GBK-aware separator mapping (a trail byte may be 0x5C) and conversion of the name to UTF-8.
#include "windows_path.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace zqgdi {

std::string mapWindowsPath(const char* path) {
  std::string bytes;
  bool ascii = true;
  for (size_t i = 0; path[i]; ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && path[i + 1]) {
      ascii = false;
      bytes += path[i];
      bytes += path[++i];
      continue;
    }
    bytes += c == '\\' ? '/' : path[i];
  }
  if (ascii) return bytes;
  iconv_t cd = iconv_open("UTF-8", "GBK");
  if (cd == (iconv_t)-1) return bytes;
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = bytes.data();
  size_t inLeft = bytes.size();
  char* o = out.data();
  size_t oLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
  iconv_close(cd);
  if (r == size_t(-1)) return bytes;  // not GBK after all: keep the bytes as given
  out.resize(out.size() - oLeft);
  return out;
}

}  // namespace zqgdi
