// Frames, scrambling and the cutting and packing of the connection buffers.
#include <gtest/gtest.h>

#include <cstring>

#include "net/NetChannel.h"
#include "net/NetPacket.h"
#include "net_test_util.h"

using nettest::Hex;

namespace {

std::vector<uint8_t> Built(const char* text, int n) {
  CNetPacket p(text, n);
  p.Scramble();
  return std::vector<uint8_t>(p.GetFrame(), p.GetFrame() + p.GetFrameLength());
}

// Feeds bytes into a channel's receive buffer as one receive would.
void Receive(CNetChannel& ch, const std::vector<uint8_t>& bytes) {
  ASSERT_LE(static_cast<int>(bytes.size()), ch.ReceiveSpace());
  std::memcpy(ch.ReceiveTail(), bytes.data(), bytes.size());
  ch.AddReceived(static_cast<int>(bytes.size()));
}

std::string Pop(CNetChannel& ch) {
  char text[4096];
  int n = ch.PopReceived(text, sizeof(text));
  return std::string(text, n > 0 ? static_cast<size_t>(n) - 1 : 0);
}

// A frame with a chosen length word and payload-length word (payload words scrambled).
std::vector<uint8_t> Forged(int32_t lengthWord, int32_t payloadLength, const std::vector<uint32_t>& words) {
  std::vector<uint8_t> f(9 + 4 * words.size());
  f[0] = '-';
  CNetPacket::WriteWord(&f[1], static_cast<uint32_t>(lengthWord));
  CNetPacket::WriteWord(&f[5], CNetPacket::ScrambleWord(static_cast<uint32_t>(payloadLength)));
  for (size_t i = 0; i < words.size(); ++i)
    CNetPacket::WriteWord(&f[9 + 4 * i], CNetPacket::ScrambleWord(words[i]));
  return f;
}

}  // namespace

TEST(Frame, KnownAnswers) {
  EXPECT_EQ(CNetPacket::ScrambleWord(0), 0xD2CA74C7u);
  EXPECT_EQ(Built("1540 luck", 10), nettest::kLuckFrame);
  EXPECT_EQ(Built("", 1), nettest::kEmptyFrame);
  for (uint32_t w : {0u, 1u, 0x1F4B29D3u, 0x80000000u, 0xFFFFFFFFu, 0x12345678u})
    EXPECT_EQ(CNetPacket::UnscrambleWord(CNetPacket::ScrambleWord(w)), w) << w;
  EXPECT_EQ(CNetPacket::Rotate(0x80000001u, 1, CNetPacket::kLeft), 0x00000003u);
  EXPECT_EQ(CNetPacket::Rotate(0x80000001u, 1, CNetPacket::kRight), 0xC0000000u);
}

TEST(Frame, BuildLimitsAndZeroPadding) {
  std::vector<char> big(2049, 'x');
  CNetPacket max(big.data(), 2048);
  EXPECT_EQ(max.GetFrameLength(), 2057);
  EXPECT_EQ(CNetPacket::ReadWord(max.GetFrame() + 1), 2052u);
  for (int n : {0, -1, 2049}) {
    CNetPacket p(big.data(), n);
    EXPECT_EQ(p.GetPayloadLength(), 0) << n;
    EXPECT_EQ(p.GetFrameLength(), 0) << n;
  }
  // The bytes behind the terminator do not leak into the padding.
  const char dirty[8] = {'1', '2', 0, 'S', 'E', 'C', 'R', 'T'};
  CNetPacket p(dirty, 3);
  ASSERT_EQ(p.GetFrameLength(), 13);
  EXPECT_EQ(CNetPacket::ReadWord(p.GetFrame() + 9), 0x00003231u);
  p.Scramble();
  p.Scramble();  // a second call must not scramble again
  EXPECT_EQ(CNetPacket::UnscrambleWord(CNetPacket::ReadWord(p.GetFrame() + 9)), 0x00003231u);
  EXPECT_EQ(p.GetFrame()[0], '-');
  EXPECT_EQ(CNetPacket::ReadWord(p.GetFrame() + 1), 8u);
}

TEST(Frame, ParseMovesPayloadToOffsetFive) {
  CNetPacket p(nettest::kLuckFrame.data(), static_cast<int>(nettest::kLuckFrame.size()));
  ASSERT_EQ(p.GetPayloadLength(), 10);
  EXPECT_EQ(p.GetFrameLength(), 21);
  EXPECT_EQ(std::memcmp(p.GetFrame() + 5, "1540 luck", 10), 0);
  CNetPacket shortRun(nettest::kLuckFrame.data(), 20);
  EXPECT_EQ(shortRun.GetPayloadLength(), 0);
}

TEST(Cut, TwoFramesInOneReceiveComeOutInOrder) {
  CNetChannel ch;
  Receive(ch, nettest::Cat(Built("1501 1", 7), nettest::kLuckFrame));
  EXPECT_EQ(ch.CutFrame(), 17);
  EXPECT_EQ(ch.CutFrame(), 21);
  EXPECT_EQ(ch.CutFrame(), -1);
  EXPECT_EQ(Pop(ch), "1501 1");
  EXPECT_EQ(Pop(ch), "1540 luck");
  EXPECT_EQ(ch.PopReceived(nullptr, 0), 0);
}

TEST(Cut, SplitFrameIsCutWholeAfterTheSecondPart) {
  for (size_t at : {1u, 4u, 5u, 9u, 20u}) {
    CNetChannel ch;
    const auto& f = nettest::kLuckFrame;
    Receive(ch, std::vector<uint8_t>(f.begin(), f.begin() + at));
    EXPECT_EQ(ch.CutFrame(), -1) << at;
    EXPECT_EQ(ch.GetReceiveCount(), static_cast<int>(at));
    Receive(ch, std::vector<uint8_t>(f.begin() + at, f.end()));
    EXPECT_EQ(ch.CutFrame(), 21) << at;
    EXPECT_EQ(Pop(ch), "1540 luck");
    EXPECT_EQ(ch.GetReceiveCount(), 0);
  }
}

TEST(Cut, GarbageIsDroppedFourBytesAtATime) {
  CNetChannel ch;
  Receive(ch, nettest::Cat(Hex("ff ff ff ff"), nettest::kLuckFrame));
  EXPECT_EQ(ch.CutFrame(), 0);
  EXPECT_EQ(ch.GetReceiveCount(), 21);
  EXPECT_EQ(ch.CutFrame(), 21);
  EXPECT_EQ(Pop(ch), "1540 luck");
}

// Each of these frames is complete but bad: four bytes go, nothing is queued.
TEST(Cut, BadHeadersAreDroppedNotQueued) {
  struct Case {
    const char* what;
    std::vector<uint8_t> frame;
  } cases[] = {
      {"length word 0", Forged(0, 1, {0})},
      {"length word 3", Forged(3, 1, {0})},
      {"length word 6, partial word", Forged(6, 1, {0, 0})},
      {"length word 2052 (above the accepted 2048)", Built(std::string(2048, 'a').c_str(), 2048)},
      {"negative length word", Forged(-8, 1, {0})},
      {"payload length 0", Forged(8, 0, {0})},
      {"negative payload length", Forged(8, -5, {0})},
      {"payload length beyond the padded payload", Forged(8, 5, {0x41414141})},
      {"payload length far beyond", Forged(8, 0x7FFFFFFF, {0x41414141})},
  };
  for (const Case& c : cases) {
    CNetChannel ch;
    Receive(ch, c.frame);
    EXPECT_EQ(ch.CutFrame(), 0) << c.what;
    EXPECT_EQ(ch.GetReceiveCount(), static_cast<int>(c.frame.size()) - 4) << c.what;
    EXPECT_EQ(ch.ReceiveQueueSize(), 0u) << c.what;
  }
  // The largest frame this client accepts: length word 2048, payload 2044.
  CNetChannel ch;
  std::string text(2043, 'z');
  Receive(ch, Built(text.c_str(), 2044));
  EXPECT_EQ(ch.CutFrame(), 2053);
  EXPECT_EQ(Pop(ch), text);
}

TEST(Cut, PayloadAboveTheCapacityIsDiscarded) {
  CNetChannel ch;
  Receive(ch, nettest::Cat(nettest::kLuckFrame, Built("1501 1", 7)));
  while (ch.CutFrame() > 0) {
  }
  char small[8];
  EXPECT_EQ(ch.PopReceived(small, sizeof(small)), 0);
  EXPECT_EQ(ch.ReceiveQueueSize(), 1u);
  EXPECT_EQ(Pop(ch), "1501 1");
}

TEST(Pack, SendCapLeavesTheRestQueued) {
  CNetChannel ch;
  std::string text(2047, 'q');
  for (int i = 0; i < 25; ++i) ASSERT_EQ(ch.QueueSend(text.c_str(), 2048), 2048);
  EXPECT_EQ(ch.QueueSend(text.c_str(), 2049), 0);
  EXPECT_EQ(ch.QueueSend("", 0), 0);
  // 19 frames of 2057 bytes fit in 40960; the 20th would not.
  EXPECT_EQ(ch.PackSendBuffer(), 19 * 2057);
  EXPECT_EQ(ch.SendQueueSize(), 6u);
  EXPECT_EQ(ch.PackSendBuffer(), 19 * 2057);
  ch.RemoveSent(1000);
  EXPECT_EQ(ch.GetSendWaiting(), 19 * 2057 - 1000);
  // What is left starts 1000 bytes into the first frame.
  EXPECT_EQ(ch.SendData()[2057 - 1000], '-');
  ch.RemoveSent(ch.GetSendWaiting());
  EXPECT_EQ(ch.PackSendBuffer(), 6 * 2057);
  EXPECT_EQ(ch.SendQueueSize(), 0u);
  // Packed frames are scrambled on the way in, exactly once.
  CNetChannel one;
  one.QueueSend("1540 luck", 10);
  ASSERT_EQ(one.PackSendBuffer(), 21);
  EXPECT_EQ(std::vector<uint8_t>(one.SendData(), one.SendData() + 21), nettest::kLuckFrame);
}
