// Scripted mode: answers the requests a test script expects with the replies it lists.
#pragma once

#include <string>
#include <vector>

#include "ServerMode.h"
#include "ServerScript.h"

class CScriptMode : public CServerMode {
 public:
  explicit CScriptMode(std::vector<SScriptStep> steps);

  void OnConnected(CSlotServer& server) override;
  void OnRequest(CSlotServer& server, const std::string& text) override;
  bool Done() const override;

  // What went against the script: unexpected or mismatching requests.
  const std::vector<std::string>& Failures() const { return m_Failures; }

 private:
  // Runs the steps up to the next expect (or the end).
  void RunActions(CSlotServer& server);

  std::vector<SScriptStep> m_Steps;
  size_t m_nNext = 0;
  bool m_bSilent = false;
  std::vector<std::string> m_Failures;
};
