// Message splitter: a received text split into the code and at most 256 fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../client/net/MsgText.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CMsgText* msg = new CMsgText;
  std::vector<char> text(data, data + size);
  text.push_back(0);
  char* begin = text.data();
  char* end = begin + text.size();
  char* rest = nullptr;
  char* code = msg->SplitFirst(begin, &rest, " ");
  if (code && (code < begin || code >= end)) std::abort();
  if (rest) {
    if (rest < begin || rest >= end) std::abort();
    char* fields[256];
    int n = CMsgText::Split(rest, fields, 256, " ");
    if (n < 0 || n > 256) std::abort();
    for (int i = 0; i < n; ++i)
      if (fields[i] < begin || fields[i] + std::strlen(fields[i]) >= end || !*fields[i]) std::abort();
  }
  if (msg->GetLength() < 1 || msg->GetLength() > CMsgText::kCapacity) std::abort();
  return 0;
}
