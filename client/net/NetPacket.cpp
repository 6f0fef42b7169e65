#include "NetPacket.h"

#include <cstring>

uint32_t CNetPacket::ReadWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void CNetPacket::WriteWord(uint8_t* p, uint32_t w) {
  p[0] = static_cast<uint8_t>(w);
  p[1] = static_cast<uint8_t>(w >> 8);
  p[2] = static_cast<uint8_t>(w >> 16);
  p[3] = static_cast<uint8_t>(w >> 24);
}

uint32_t CNetPacket::Rotate(uint32_t value, int count, Direction direction) {
  count &= 31;
  if (count == 0) return value;
  if (direction == kLeft) return (value << count) | (value >> (32 - count));
  return (value >> count) | (value << (32 - count));
}

uint32_t CNetPacket::ScrambleWord(uint32_t w) { return Rotate(w ^ kKey, 6, kLeft); }

uint32_t CNetPacket::UnscrambleWord(uint32_t s) { return Rotate(s, 6, kRight) ^ kKey; }

bool CNetPacket::IsAcceptedLengthWord(int32_t lengthWord) {
  // Below 4 the frame could not hold its own payload-length word.
  return lengthWord >= 4 && lengthWord <= kMaxAcceptedLengthWord && (lengthWord - 4) % 4 == 0;
}

CNetPacket::CNetPacket(const char* text, int n) {
  if (!text || n < 1 || n > kMaxBuildPayload) return;
  const int padded = (n + 3) & ~3;
  m_nFrameLength = padded + kOverhead;
  m_pFrame = new uint8_t[m_nFrameLength];
  m_pFrame[0] = static_cast<uint8_t>(kHeader);
  WriteWord(m_pFrame + 1, static_cast<uint32_t>(padded + 4));
  WriteWord(m_pFrame + 5, static_cast<uint32_t>(n));
  std::memcpy(m_pFrame + 9, text, static_cast<size_t>(n));
  // Zero padding keeps frames byte-deterministic.
  std::memset(m_pFrame + 9 + n, 0, static_cast<size_t>(padded - n));
  m_nPayloadLength = n;
  m_nPaddedLength = padded;
}

CNetPacket::CNetPacket(const uint8_t* bytes, int available) {
  if (!bytes || available < kHeaderSize + 4) return;
  const int32_t lengthWord = static_cast<int32_t>(ReadWord(bytes + 1));
  if (!IsAcceptedLengthWord(lengthWord)) return;
  const int padded = lengthWord - 4;
  const int needed = lengthWord + 5;
  if (available < needed) return;
  m_pFrame = new uint8_t[needed];
  std::memcpy(m_pFrame, bytes, static_cast<size_t>(needed));
  m_nFrameLength = needed;
  m_nPaddedLength = padded;
  const int32_t payloadLength = static_cast<int32_t>(UnscrambleWord(ReadWord(m_pFrame + 5)));
  for (int i = 0; 4 * i < padded; ++i)
    WriteWord(m_pFrame + 5 + 4 * i, UnscrambleWord(ReadWord(m_pFrame + 9 + 4 * i)));
  // A payload length beyond the padded payload would read past the frame: treat as empty.
  m_nPayloadLength = (payloadLength >= 1 && payloadLength <= padded) ? payloadLength : 0;
}

CNetPacket::~CNetPacket() { delete[] m_pFrame; }

int CNetPacket::Scramble() {
  if (!m_pFrame || m_bScrambled) return m_nPayloadLength;
  m_bScrambled = true;
  const int words = (m_nPaddedLength + 4) / 4;
  for (int i = 0; i < words; ++i)
    WriteWord(m_pFrame + 5 + 4 * i, ScrambleWord(ReadWord(m_pFrame + 5 + 4 * i)));
  return m_nPayloadLength;
}
