#include "games/core/SlotGame.h"

#include <cstdio>

#include "net/ClientGlobals.h"

namespace {
// Five minutes without a round or an input end the session.
constexpr DWORD kIdleLimitMs = 300000;
}  // namespace

CSlotGame::CSlotGame(CZqEngine* engine) : CZqGame(engine) {}

CSlotGame::~CSlotGame() { UnloadGame(); }

long CSlotGame::Draw(CZqSurface* /*surface*/) { return 0; }

long CSlotGame::Update(DWORD elapsed) {
  if (g_bExiting == 1) return 0;
  UpdateHintEffects();
  const DWORD now = timeGetTime();
  if (m_dwLastPlayTime == 0) m_dwLastPlayTime = now;
  if (!IsAutoPlay() && now - m_dwLastPlayTime >= kIdleLimitMs) {
    ShowTooLongAndQuit();
    return 0;
  }
  switch (g_nGameType) {
    case 0:
      UpdateTurntableGame(elapsed);
      break;
    case 1:
      UpdateCardGame(elapsed);
      break;
    case 2:
      UpdateMahjongGame(elapsed);
      break;
    default:
      break;
  }
  return 0;
}

long CSlotGame::Render() {
  if (g_bExiting == 1) return E_FAIL;
  switch (g_nGameType) {
    case 0:
      return RenderTurntableGame();
    case 1:
      return RenderCardGame();
    case 2:
      return RenderMahjongGame();
    default:
      return -1;
  }
}

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
  char name[16];
  for (int line = 1; line <= 3; ++line) {
    std::snprintf(name, sizeof(name), "line%d", line);
    if (CZqUIPanel* p = FindPanel(name))
      p->SetChecked(m_bLinesByFlag == 0 ? (m_nBet >= line) : (m_anLineLit[line - 1] == 1));
    std::snprintf(name, sizeof(name), "bet%d", line);
    if (CZqUIPanel* p = FindPanel(name))
      p->SetChecked(line == m_nBet && m_nTurntableState != 6 && m_bBonus == 0);
  }
}

void CSlotGame::SetAutoPlayCaption(int count) {
  if (CZqUIPanel* p = FindPanel("autoplay")) p->SetCaption(count >= 10000 ? 9999 : count);
}

CZqUIPanel* CSlotGame::FindMarquee() const { return FindPanel(ZQ_GBK("活动字幕")); }

int CSlotGame::FormatWeekText(char* out, size_t size) const {
  const int counters[3] = {m_nWeek1, m_nWeek2, m_nWeek3};
  char format[kTextBufferSize];
  g_TextConfig.GetString(format, sizeof(format), "WEEK", "message", "");
  format[sizeof(format) - 1] = 0;
  return FormatCounterText(out, size, format, counters, 3);
}

void CSlotGame::ShowWeekText() {
  CZqUIPanel* marquee = FindMarquee();
  if (!marquee) return;
  char text[kTextBufferSize];
  FormatWeekText(text, sizeof(text));
  marquee->SetCaption(text);
}

void CSlotGame::ShowConfiguredText(const char* section, const char* key) {
  CZqUIPanel* marquee = FindMarquee();
  if (!marquee) return;
  char text[kTextBufferSize];
  g_TextConfig.GetString(text, sizeof(text), section, key, "");
  text[sizeof(text) - 1] = 0;
  marquee->SetCaption(text);
}
