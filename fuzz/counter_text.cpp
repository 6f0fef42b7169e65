// Configured texts with number placeholders: any text, any buffer size, any numbers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../client/games/core/CounterText.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte sizes the buffer, the next up to 12 bytes give three numbers.
  const size_t capacity = data[0];
  int values[3] = {0, 0, 0};
  const size_t numberBytes = size - 1 < sizeof(values) ? size - 1 : sizeof(values);
  std::memcpy(values, data + 1, numberBytes);
  const int count = data[1] % 4;
  std::vector<char> format(data + 1 + numberBytes, data + size);
  format.push_back(0);
  // Exactly the buffer's size, so a write past it is caught.
  char* out = capacity ? static_cast<char*>(std::malloc(capacity)) : nullptr;
  const int n = FormatCounterText(out, capacity, format.data(), values, count);
  if (n < 0) std::abort();
  if (capacity == 0) {
    if (n != 0) std::abort();
  } else if (static_cast<size_t>(n) >= capacity || std::strlen(out) != static_cast<size_t>(n)) {
    std::abort();
  }
  std::free(out);
  return 0;
}
