#include "BonusPanel.h"

CBonusPanel::CBonusPanel(CZqUIPanel* parent) : CZqUIPanel(parent) { SetStyle("bonus_panel"); }

CBonusPanel::~CBonusPanel() = default;

void CBonusPanel::UpdateState() { m_pCurrent = &m_aniPress; }
