// GBK / Big5 <-> UTF-8 through iconv. Descriptors are opened once per thread and reused.
#include <iconv.h>

#include <cerrno>

#include "zqplatform/base.h"

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from, const char* fromAlt, bool fromUtf8 = false)
      : fromUtf8_(fromUtf8) {
    cd_ = iconv_open(to, from);
    if (cd_ == iconv_t(-1) && fromAlt) cd_ = iconv_open(to, fromAlt);
  }
  ~Converter() {
    if (cd_ != iconv_t(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string run(std::string_view in) {
    std::string out;
    if (in.empty()) return out;
    if (cd_ == iconv_t(-1)) return std::string(in);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = size_t(dst - out.data());
      if (r != size_t(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {
        // Invalid or cut-off sequence: mark one byte and go on with the rest.
        if (out.size() - used < 1) out.resize(out.size() * 2);
        out[used++] = '?';
        ++src;
        --srcLeft;
        while (fromUtf8_ && srcLeft > 0 && (uint8_t(*src) & 0xC0) == 0x80) {
          ++src;
          --srcLeft;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
  bool fromUtf8_;
};

}  // namespace

std::string zqGbkToUtf8(std::string_view gbk) {
  thread_local Converter c("UTF-8", "GBK", "CP936");
  return c.run(gbk);
}

std::string zqUtf8ToGbk(std::string_view utf8) {
  thread_local Converter c("GBK", "UTF-8", nullptr, true);
  return c.run(utf8);
}

std::string zqBig5ToUtf8(std::string_view big5) {
  thread_local Converter c("UTF-8", "BIG5", "CP950");
  return c.run(big5);
}
