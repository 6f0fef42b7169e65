#include "ScriptMode.h"

#include "SlotServer.h"

CScriptMode::CScriptMode(std::vector<SScriptStep> steps) : m_Steps(std::move(steps)) {}

void CScriptMode::OnConnected(CSlotServer& server) { RunActions(server); }

void CScriptMode::OnRequest(CSlotServer& server, const std::string& text) {
  if (m_bSilent) return;
  if (m_nNext >= m_Steps.size()) {
    m_Failures.push_back("unexpected request '" + text + "' after the end of the script");
    return;
  }
  const SScriptStep& step = m_Steps[m_nNext];
  if (!CServerScript::Matches(step.text, text)) {
    m_Failures.push_back("line " + std::to_string(step.line) + ": expected '" + step.text + "', got '" +
                         text + "'");
    // A mismatch stops the script: answering out of turn would only hide the fault.
    m_bSilent = true;
    return;
  }
  ++m_nNext;
  RunActions(server);
}

void CScriptMode::RunActions(CSlotServer& server) {
  while (!m_bSilent && m_nNext < m_Steps.size() && m_Steps[m_nNext].kind != SScriptStep::kExpect) {
    const SScriptStep& step = m_Steps[m_nNext++];
    switch (step.kind) {
      case SScriptStep::kReply:
        server.SendText(step.text);
        break;
      case SScriptStep::kRaw:
        server.SendRaw(step.bytes);
        break;
      case SScriptStep::kClose:
        server.CloseClient();
        return;
      case SScriptStep::kSilent:
        m_bSilent = true;
        break;
      case SScriptStep::kExpect:
        break;
    }
  }
}

bool CScriptMode::Done() const { return m_bSilent || m_nNext >= m_Steps.size(); }
