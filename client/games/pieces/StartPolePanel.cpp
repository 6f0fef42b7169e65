#include "StartPolePanel.h"

#include <string>

CStartPolePanel::CStartPolePanel(CZqUIPanel* parent) : CZqUIPanel(parent) { SetStyle("start_pole"); }

CStartPolePanel::~CStartPolePanel() { delete m_pSpinSound; }

int CStartPolePanel::Restore() {
  const int result = CZqUIPanel::Restore();
  // Restore runs again after a device loss: the sound found the last time goes first.
  delete m_pSpinSound;
  m_pSpinSound = nullptr;
  const std::string name = m_config.GetString("SOUND", "spin", "");
  if (m_pEngine) m_pSpinSound = m_pEngine->FindSound(name.c_str());
  return result;
}

// The lever shows its pulled image whatever its state.
void CStartPolePanel::UpdateState() { m_pCurrent = &m_aniPress; }

void CStartPolePanel::Pull() {
  if (m_pCurrent) m_pCurrent->Play(3, 1, 2.0f, 0.0f, 0.0f);
  if (m_pSpinSound) m_pSpinSound->Play();
}
