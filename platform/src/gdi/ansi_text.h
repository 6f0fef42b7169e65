// GBK (the system's ANSI code page) text to code points, without allocating per call.
#pragma once

#include <cstddef>

namespace zqgdi {

// Decodes len bytes (len < 0: up to the terminator). Returns the code points in a buffer that
// stays valid until the next call on this thread; count receives their number. Undecodable bytes
// become U+FFFD, one per byte.
const char32_t* decodeAnsi(const char* text, int len, size_t* count);

}  // namespace zqgdi
