// A game server for loopback speaking the client's framed protocol, one client at a time.
// It runs on its caller's thread: Step polls the sockets once and answers through the mode.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CNetChannel;
class CServerMode;

class CSlotServer {
 public:
  explicit CSlotServer(CServerMode& mode);
  ~CSlotServer();
  CSlotServer(const CSlotServer&) = delete;
  CSlotServer& operator=(const CSlotServer&) = delete;

  // Listens on 127.0.0.1; port 0 picks a free one (see Port).
  bool Listen(uint16_t port, std::string* error);
  uint16_t Port() const { return m_nPort; }

  // Waits at most waitMs of real time for activity, then accepts, reads and answers.
  // Returns true when something happened.
  bool Step(int waitMs);

  bool HasClient() const { return m_nClient >= 0; }
  // A client that takes none of a reply for this long (real time) is dropped, so a client that
  // stops reading cannot hang the server or the test driving it.
  void SetFlushTimeout(int ms) { m_nFlushTimeoutMs = ms; }
  int Connections() const { return m_nConnections; }
  // Every request received, in order, over all connections.
  const std::vector<std::string>& Requests() const { return m_Requests; }

  // Actions of the mode on the current client.
  void SendText(const std::string& text);
  void SendRaw(const std::vector<uint8_t>& bytes);
  void CloseClient();

 private:
  void Accept();
  bool ReadClient();
  void Flush(const uint8_t* data, int count);

  CServerMode& m_Mode;
  std::unique_ptr<CNetChannel> m_pChannel;
  int m_nListen = -1;
  int m_nClient = -1;
  uint16_t m_nPort = 0;
  int m_nConnections = 0;
  int m_nFlushTimeoutMs = 5000;
  std::vector<std::string> m_Requests;
};
