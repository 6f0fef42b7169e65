// Configured texts that carry printf-style number placeholders, filled in safely.
#pragma once

#include <cstddef>

// Writes format into out (size bytes, always terminated when size > 0), replacing each %d, %i or
// %u (with flags "-+ 0#" and a width) by the next of the count values, 0 once they run out, and
// %% by %. Every other % sequence is copied as it stands, so a text can never read arguments
// that were not given. Returns the length written.
int FormatCounterText(char* out, size_t size, const char* format, const int* values, int count);
