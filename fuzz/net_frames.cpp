// Frame cutter: arbitrary bytes from a hostile server, in receives of varying size.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../client/net/NetChannel.cpp"
#include "../client/net/NetPacket.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CNetChannel* ch = new CNetChannel;
  ch->Clear();
  size_t pos = 0;
  char text[4096];
  while (pos < size) {
    // The first byte of each chunk picks its length.
    size_t chunk = 1 + data[pos++] % 64;
    if (chunk > size - pos) chunk = size - pos;
    if (static_cast<int>(chunk) > ch->ReceiveSpace()) chunk = static_cast<size_t>(ch->ReceiveSpace());
    if (chunk == 0) break;
    std::memcpy(ch->ReceiveTail(), data + pos, chunk);
    ch->AddReceived(static_cast<int>(chunk));
    pos += chunk;
    while (ch->CutFrame() > 0) {
    }
    if (ch->GetReceiveCount() < 0 || ch->GetReceiveCount() > CNetChannel::kBufferSize) std::abort();
    int n = ch->PopReceived(text, sizeof(text));
    if (n < 0 || n > 2044) std::abort();
  }
  return 0;
}
