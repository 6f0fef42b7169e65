// The network task's one text buffer: composes request texts and splits received ones.
#pragma once

class CMsgText {
 public:
  static constexpr int kCapacity = 4096;

  CMsgText();
  virtual ~CMsgText();

  // printf-style into the text, replacing it. Returns the length written, or -1 (text left
  // empty) when the result would not fit with its terminator.
  int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // printf-style behind the current text. Returns the new length, or -1 (text unchanged) when
  // the result would not fit.
  int AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  char* GetBuffer() { return m_szText; }
  // Text length plus the terminating zero, which is always sent.
  int GetLength() const;

  // Copies text into the buffer (bounded), cuts the caller's text after its first token and
  // returns that token (nullptr when there is none); rest is the text behind the token's
  // terminator, or nullptr when nothing follows the token.
  char* SplitFirst(char* text, char** rest, const char* delimiters);
  // Splits text in place by strtok rules into at most maxTokens pointers; returns the count.
  static int Split(char* text, char** tokens, int maxTokens, const char* delimiters);

 private:
  char m_szText[kCapacity];
};
