#include "NetChannel.h"

#include <cstring>

#include "NetPacket.h"

CNetChannel::CNetChannel() = default;

CNetChannel::~CNetChannel() { Clear(); }

void CNetChannel::Clear() {
  for (CNetPacket* p : m_RecvQueue) delete p;
  for (CNetPacket* p : m_SendQueue) delete p;
  m_RecvQueue.clear();
  m_SendQueue.clear();
  m_nSendWaiting = 0;
  m_nRecvCount = 0;
}

int CNetChannel::QueueSend(const char* text, int length, bool pastBound) {
  if (SendQueueFull() && !pastBound) return 0;
  CNetPacket* p = new CNetPacket(text, length);
  if (p->GetPayloadLength() == 0) {
    delete p;
    return 0;
  }
  m_SendQueue.push_back(p);
  return length;
}

void CNetChannel::DropFront(int count) {
  if (count > m_nRecvCount) count = m_nRecvCount;
  std::memmove(m_abRecv, m_abRecv + count, static_cast<size_t>(m_nRecvCount - count));
  m_nRecvCount -= count;
}

int CNetChannel::CutFrame() {
  if (m_nRecvCount < CNetPacket::kHeaderSize + CNetPacket::kTrailerSize + 4) return -1;
  const int32_t lengthWord = static_cast<int32_t>(CNetPacket::ReadWord(m_abRecv + 1));
  if (!CNetPacket::IsAcceptedLengthWord(lengthWord)) {
    DropFront(4);
    return 0;
  }
  if (m_nRecvCount < lengthWord + 5) return -1;
  CNetPacket* p = new CNetPacket(m_abRecv, m_nRecvCount);
  if (p->GetPayloadLength() == 0) {
    delete p;
    DropFront(4);
    return 0;
  }
  const int taken = p->GetFrameLength();
  m_RecvQueue.push_back(p);
  DropFront(taken);
  return taken;
}

int CNetChannel::PopReceived(char* buffer, int capacity) {
  if (m_RecvQueue.empty()) return 0;
  CNetPacket* p = m_RecvQueue.front();
  m_RecvQueue.pop_front();
  int n = p->GetPayloadLength();
  if (n > capacity || !buffer) {
    n = 0;
  } else {
    std::memcpy(buffer, p->GetPayload(), static_cast<size_t>(n));
  }
  delete p;
  return n;
}

int CNetChannel::PackSendBuffer() {
  while (!m_SendQueue.empty()) {
    CNetPacket* p = m_SendQueue.front();
    const int payload = p->GetPayloadLength();
    const int frame = p->GetFrameLength();
    if (payload >= 1 && payload <= CNetPacket::kMaxBuildPayload && frame > 0) {
      if (m_nSendWaiting + frame > kBufferSize) break;
      p->Scramble();
      std::memcpy(m_abSend + m_nSendWaiting, p->GetFrame(), static_cast<size_t>(frame));
      m_nSendWaiting += frame;
    }
    m_SendQueue.pop_front();
    delete p;
  }
  return m_nSendWaiting;
}

void CNetChannel::AddReceived(int count) {
  if (count <= 0) return;
  if (count > ReceiveSpace()) count = ReceiveSpace();
  m_nRecvCount += count;
}

void CNetChannel::RemoveSent(int count) {
  if (count <= 0) return;
  if (count > m_nSendWaiting) count = m_nSendWaiting;
  std::memmove(m_abSend, m_abSend + count, static_cast<size_t>(m_nSendWaiting - count));
  m_nSendWaiting -= count;
}
