#include "MsgText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CMsgText::CMsgText() { m_szText[0] = 0; }

CMsgText::~CMsgText() = default;

int CMsgText::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(m_szText, sizeof(m_szText), format, args);
  va_end(args);
  if (n < 0 || n >= kCapacity) {
    m_szText[0] = 0;
    return -1;
  }
  return n;
}

int CMsgText::AppendFormat(const char* format, ...) {
  const size_t used = std::strlen(m_szText);
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(m_szText + used, sizeof(m_szText) - used, format, args);
  va_end(args);
  if (n < 0 || used + static_cast<size_t>(n) >= sizeof(m_szText)) {
    m_szText[used] = 0;
    return -1;
  }
  return static_cast<int>(used) + n;
}

int CMsgText::GetLength() const { return static_cast<int>(std::strlen(m_szText)) + 1; }

namespace {

// One strtok step without hidden state: the token at *cursor, *cursor moved behind it.
char* NextToken(char** cursor, const char* delimiters) {
  char* p = *cursor;
  if (!p) return nullptr;
  p += std::strspn(p, delimiters);
  if (!*p) {
    *cursor = nullptr;
    return nullptr;
  }
  char* end = p + std::strcspn(p, delimiters);
  if (*end) {
    *end = 0;
    *cursor = end + 1;
  } else {
    *cursor = nullptr;
  }
  return p;
}

}  // namespace

char* CMsgText::SplitFirst(char* text, char** rest, const char* delimiters) {
  if (rest) *rest = nullptr;
  if (!text) return nullptr;
  std::strncpy(m_szText, text, sizeof(m_szText) - 1);
  m_szText[sizeof(m_szText) - 1] = 0;
  char* cursor = text;
  char* token = NextToken(&cursor, delimiters);
  if (rest) *rest = token ? cursor : nullptr;
  return token;
}

int CMsgText::Split(char* text, char** tokens, int maxTokens, const char* delimiters) {
  int count = 0;
  char* cursor = text;
  while (count < maxTokens) {
    char* token = NextToken(&cursor, delimiters);
    if (!token) break;
    tokens[count++] = token;
  }
  return count;
}
