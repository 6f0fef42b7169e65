#include "CounterText.h"

#include <cstring>

namespace {

class Writer {
 public:
  Writer(char* out, size_t size) : m_out(out), m_cap(size ? size - 1 : 0) {}
  void Put(char c) {
    if (m_len < m_cap) m_out[m_len++] = c;
  }
  void Put(const char* s, size_t n) {
    for (size_t i = 0; i < n; ++i) Put(s[i]);
  }
  void Repeat(char c, long n) {
    for (; n > 0 && m_len < m_cap; --n) Put(c);
  }
  int Finish(size_t size) {
    if (size) m_out[m_len] = 0;
    return static_cast<int>(m_len);
  }
  size_t Room() const { return m_cap - m_len; }

 private:
  char* m_out;
  size_t m_cap;
  size_t m_len = 0;
};

// One number with its flags and width, as printf would print it.
void PutNumber(Writer& w, char conversion, int value, bool left, bool plus, bool space, bool zero,
               long width) {
  char digits[16];
  int n = 0;
  unsigned long long magnitude;
  const char* sign = "";
  if (conversion == 'u') {
    magnitude = static_cast<unsigned int>(value);
  } else {
    const long long v = value;
    magnitude = static_cast<unsigned long long>(v < 0 ? -v : v);
    sign = v < 0 ? "-" : plus ? "+" : space ? " " : "";
  }
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  const long length = n + static_cast<long>(std::strlen(sign));
  const long pad = width > length ? width - length : 0;
  if (!left && !zero) w.Repeat(' ', pad);
  w.Put(sign, std::strlen(sign));
  if (!left && zero) w.Repeat('0', pad);
  while (n > 0) w.Put(digits[--n]);
  if (left) w.Repeat(' ', pad);
}

}  // namespace

int FormatCounterText(char* out, size_t size, const char* format, const int* values, int count) {
  Writer w(out, size);
  int next = 0;
  const char* p = format ? format : "";
  while (*p) {
    if (*p != '%') {
      w.Put(*p++);
      continue;
    }
    if (p[1] == '%') {
      w.Put('%');
      p += 2;
      continue;
    }
    const char* start = p++;
    bool left = false, plus = false, space = false, zero = false;
    for (;; ++p) {
      if (*p == '-')
        left = true;
      else if (*p == '+')
        plus = true;
      else if (*p == ' ')
        space = true;
      else if (*p == '0')
        zero = true;
      else if (*p != '#')
        break;
    }
    // A width beyond the buffer pads no further than the buffer.
    long width = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
      if (width <= static_cast<long>(w.Room())) width = width * 10 + (*p - '0');
    }
    if (*p == 'd' || *p == 'i' || *p == 'u') {
      const int value = (values && next < count) ? values[next] : 0;
      ++next;
      PutNumber(w, *p, value, left, plus, space, zero && !left, width);
      ++p;
    } else {
      // Not a number placeholder: shown as written.
      w.Put(start, static_cast<size_t>(p - start));
    }
  }
  return w.Finish(size);
}
