// How the server answers: the scripted mode for tests; other modes decide replies themselves.
#pragma once

#include <string>

class CSlotServer;

class CServerMode {
 public:
  virtual ~CServerMode() = default;
  virtual void OnConnected(CSlotServer& server) {}
  // One request text (the payload up to its terminating zero).
  virtual void OnRequest(CSlotServer& server, const std::string& text) = 0;
  virtual void OnDisconnected(CSlotServer& server) {}
  // Nothing more to do once the client has gone.
  virtual bool Done() const { return false; }
};
