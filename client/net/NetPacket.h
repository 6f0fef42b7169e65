// One frame of the client-server protocol: "-", a plain length word, a scrambled payload-length
// word and the payload padded to four bytes and scrambled word by word.
#pragma once

#include <cstdint>

class CNetPacket {
 public:
  static constexpr uint32_t kKey = 0x1F4B29D3;
  static constexpr char kHeader = '-';
  static constexpr int kHeaderSize = 1;
  static constexpr int kTrailerSize = 0;
  // Header, length word and payload-length word.
  static constexpr int kOverhead = 9;
  static constexpr int kMaxBuildPayload = 2048;
  static constexpr int kMaxAcceptedLengthWord = 2048;

  enum Direction { kLeft = 0, kRight = 1 };

  CNetPacket() = default;
  // Build mode: an unscrambled frame of n bytes of text; n outside 1..2048 leaves it empty.
  CNetPacket(const char* text, int n);
  // Parse mode: the frame at the start of a received run, unscrambled, payload at offset 5.
  CNetPacket(const uint8_t* bytes, int available);
  ~CNetPacket();
  CNetPacket(const CNetPacket&) = delete;
  CNetPacket& operator=(const CNetPacket&) = delete;

  // Scrambles the built frame in place (only the first call does); returns the payload length.
  int Scramble();

  int GetPayloadLength() const { return m_nPayloadLength; }
  int GetPaddedLength() const { return m_nPaddedLength; }
  int GetFrameLength() const { return m_nFrameLength; }
  const uint8_t* GetFrame() const { return m_pFrame; }
  // After parsing: the payload's first byte (offset 5 of the frame).
  const uint8_t* GetPayload() const { return m_pFrame ? m_pFrame + 5 : nullptr; }

  // A length word this client accepts: 4..2048 covering whole payload words.
  static bool IsAcceptedLengthWord(int32_t lengthWord);

  static uint32_t Rotate(uint32_t value, int count, Direction direction);
  static uint32_t ScrambleWord(uint32_t w);
  static uint32_t UnscrambleWord(uint32_t s);

  static uint32_t ReadWord(const uint8_t* p);
  static void WriteWord(uint8_t* p, uint32_t w);

 private:
  int32_t m_nPayloadLength = 0;
  int32_t m_nPaddedLength = 0;
  int32_t m_nFrameLength = 0;
  uint8_t* m_pFrame = nullptr;
  bool m_bScrambled = false;
};
