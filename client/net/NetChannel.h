// The byte buffers and packet queues of one connection: frames are cut from the receive
// buffer into the receive queue, and queued frames are packed scrambled into the send buffer.
#pragma once

#include <cstdint>
#include <cstddef>
#include <deque>

class CNetPacket;

class CNetChannel {
 public:
  static constexpr int kBufferSize = 40960;
  // Frames held undelivered before reading pauses (one storage block of the queue).
  static constexpr int kMaxReceiveQueue = 1024;
  // Frames held unsent before new ones are refused: a peer that stops reading cannot grow memory.
  static constexpr int kMaxSendQueue = 1024;

  CNetChannel();
  ~CNetChannel();
  CNetChannel(const CNetChannel&) = delete;
  CNetChannel& operator=(const CNetChannel&) = delete;

  // Builds a packet of the text; returns the length queued, 0 when no frame could be built or
  // the send queue is full (unless pastBound: the last frame of a connection may go past it).
  int QueueSend(const char* text, int length, bool pastBound = false);
  // Takes at most one frame from the front of the receive buffer: the frame length taken,
  // 0 when 4 bytes were dropped (bad header or empty payload), -1 when more bytes are needed.
  int CutFrame();
  // Removes the front received packet and copies its payload; the payload length, or 0 when
  // the queue is empty or the payload exceeds the capacity (the packet is discarded then).
  int PopReceived(char* buffer, int capacity);
  // Moves queued frames, scrambled, into the send buffer; returns the bytes waiting there.
  int PackSendBuffer();

  // Socket side of the receive buffer.
  uint8_t* ReceiveTail() { return m_abRecv + m_nRecvCount; }
  int ReceiveSpace() const { return kBufferSize - m_nRecvCount; }
  void AddReceived(int count);
  int GetReceiveCount() const { return m_nRecvCount; }
  bool ReceiveQueueFull() const { return m_RecvQueue.size() >= kMaxReceiveQueue; }
  bool SendQueueFull() const { return m_SendQueue.size() >= kMaxSendQueue; }

  // Socket side of the send buffer.
  const uint8_t* SendData() const { return m_abSend; }
  int GetSendWaiting() const { return m_nSendWaiting; }
  void RemoveSent(int count);

  size_t ReceiveQueueSize() const { return m_RecvQueue.size(); }
  size_t SendQueueSize() const { return m_SendQueue.size(); }

  // Frees every queued packet and empties both buffers.
  void Clear();

 private:
  void DropFront(int count);

  std::deque<CNetPacket*> m_RecvQueue;
  std::deque<CNetPacket*> m_SendQueue;
  int m_nSendWaiting = 0;
  int m_nRecvCount = 0;
  uint8_t m_abRecv[kBufferSize];
  uint8_t m_abSend[kBufferSize];
};
