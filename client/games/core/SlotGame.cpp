#include "games/core/SlotGame.h"

#include "net/ClientGlobals.h"

CSlotGame::CSlotGame(CZqEngine* engine) : CZqGame(engine) {}

CSlotGame::~CSlotGame() { UnloadGame(); }

long CSlotGame::Draw(CZqSurface* /*surface*/) { return 0; }

long CSlotGame::Update(DWORD /*elapsed*/) { return 0; }

long CSlotGame::Render() { return -1; }

CZqUIPanel* CSlotGame::FindPanel(const char* name) const {
  return m_pEngine ? m_pEngine->FindUIFromName(name) : nullptr;
}

void CSlotGame::SetPlayerChips(int credits) {
  m_nShownCredits = credits;
  if (CZqUIPanel* p = FindPanel(ZQ_GBK("玩家筹码"))) p->SetCaption(credits);
}

void CSlotGame::SetWinCaption(int win) {
  m_nShownWin = win;
  if (CZqUIPanel* p = FindPanel(ZQ_GBK("中奖筹码"))) p->SetCaption(win);
}

void CSlotGame::SetBetUnit(int unit) {
  m_nBetUnit = unit;
  if (CZqUIPanel* p = FindPanel(ZQ_GBK("筹码面值"))) p->SetCaption(unit);
}

void CSlotGame::SetBet(int bet) {
  m_nBet = bet;
  if (CZqUIPanel* p = FindPanel(ZQ_GBK("下注筹码"))) p->SetCaption(bet);
}
