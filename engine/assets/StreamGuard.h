// A stream opened for the length of a scope.
#pragma once

#include "ZqFunc.h"

// Closes the stream when the scope ends.
struct StreamGuard {
  SStreamBuf s;
  StreamGuard(const char* path, const char* mode) : s(CZqFunc::ZQFBUF_Create(path, mode)) {}
  ~StreamGuard() {
    if (s.m_pFile) CZqFunc::ZQFBUF_Close(s);
  }
  StreamGuard(const StreamGuard&) = delete;
  StreamGuard& operator=(const StreamGuard&) = delete;
  bool ok() const { return s.m_pFile != nullptr; }
};
