// The panels' clicks, repeats and touches, turned into game operations by the panel's name.
#include <cstring>

#include "games/core/SlotGame.h"

namespace {

bool Is(const char* name, const char* wanted) { return std::strcmp(name, wanted) == 0; }

// The box buttons "一号宝箱" to "十号宝箱".
bool IsBonusBox(const char* name) {
  const char* const boxes[] = {ZQ_GBK("一号宝箱"), ZQ_GBK("二号宝箱"), ZQ_GBK("三号宝箱"), ZQ_GBK("四号宝箱"),
                               ZQ_GBK("五号宝箱"), ZQ_GBK("六号宝箱"), ZQ_GBK("七号宝箱"), ZQ_GBK("八号宝箱"),
                               ZQ_GBK("九号宝箱"), ZQ_GBK("十号宝箱")};
  for (const char* box : boxes)
    if (Is(name, box)) return true;
  return false;
}

}  // namespace

void CSlotGame::OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM lParam) {
  if (panel) {
    const char* name = panel->GetName();
    switch (msg) {
      case ZQ_UIMSG_CLICK:
      case ZQ_UIMSG_DBLCLK:
        if (OnClickCommand(panel, name)) return;
        break;
      case ZQ_UIMSG_REPEAT:
        m_bSpinHover = 0;
        if (m_nCredits <= 0) {
          m_nAutoPlay = 0;
          return;
        }
        if (Is(name, ZQ_GBK("加"))) {
          IncreaseAutoPlay(panel);
          return;
        }
        if (Is(name, ZQ_GBK("减"))) {
          DecreaseAutoPlay(panel);
          return;
        }
        break;
      case ZQ_UIMSG_TOUCH:
        if (Is(name, ZQ_GBK("转动杆"))) {
          if (!IsBusy()) {
            const int betChosen = m_nBet >= 0 || m_nLastBet > 0;
            if (g_nGameType == 1) {
              if ((m_nCardState == 0 && betChosen) || m_nCardState == 4) m_bSpinHover = 1;
            } else if (betChosen) {
              m_bSpinHover = 1;
            }
          }
          return;
        }
        break;
      case ZQ_UIMSG_UNTOUCH:
        if (Is(name, ZQ_GBK("转动杆"))) {
          m_bSpinHover = 0;
          return;
        }
        break;
      default:
        break;
    }
  }
  CZqGame::OnUICmd(panel, msg, lParam);
}

int CSlotGame::OnClickCommand(CZqUIPanel* panel, const char* name) {
  m_bSpinHover = 0;
  m_dwLastPlayTime = timeGetTime();
  if (Is(name, "INFO"))
    ShowOddsInfo();
  else
    CloseOddsInfo();

  if (Is(name, ZQ_GBK("测试")) || Is(name, ZQ_GBK("测试2"))) return 1;
  if (Is(name, ZQ_GBK("测试3"))) {
    StopExtraReel();
    return 1;
  }

  if (g_nGameType == 2) {
    if (Is(name, ZQ_GBK("停止按钮"))) {
      if (m_pFreePanel2) m_pFreePanel2->SetEnable(0);
      if (m_nFreeGames - 1 > 0) m_bFreePaused = 1;
      return 1;
    }
    if (Is(name, ZQ_GBK("转动按钮"))) {
      Spin();
      return 1;
    }
    if (Is(name, ZQ_GBK("一倍按钮"))) {
      CycleBet();
      return 1;
    }
    if (Is(name, ZQ_GBK("最大按钮"))) {
      BetMaxAndSpin();
      return 1;
    }
    const int out = Is(name, ZQ_GBK("拉出"));
    if (out || Is(name, ZQ_GBK("拉进"))) {
      if (SlidePayTable(out)) panel->SetVisible(0);
    }
    if (m_nMahjongState == 1) {
      const char* const stops[] = {ZQ_GBK("停止1"), ZQ_GBK("停止2"), ZQ_GBK("停止3")};
      for (int reel = 1; reel <= 3; ++reel) {
        if (!Is(name, stops[reel - 1])) continue;
        if (CCardReel* r = CardReel(reel)) r->Stop();
        return 1;
      }
    }
  }

  if (g_nGameType == 1) {
    const char* const holds[] = {"HOLD1", "HOLD2", "HOLD3", "HOLD4", "HOLD5"};
    for (const char* hold : holds) {
      if (Is(name, hold)) {
        ToggleHold(name);
        return 1;
      }
    }
  }

  if (Is(name, ZQ_GBK("快速停止"))) {
    QuickStop();
    return 1;
  }
  if (m_bBettingOpen == 1 && !IsAutoPlay()) {
    if (Is(name, ZQ_GBK("一倍按钮"))) {
      CycleBet();
      return 1;
    }
    if (Is(name, ZQ_GBK("两倍按钮"))) {
      DoubleBet();
      return 1;
    }
    if (Is(name, ZQ_GBK("最大按钮"))) {
      BetMaxAndSpin();
      return 1;
    }
    if (Is(name, ZQ_GBK("转动按钮")) || Is(name, ZQ_GBK("转动杆"))) {
      Spin();
      return 1;
    }
  }
  if (Is(name, ZQ_GBK("停止"))) {
    RequestAutoPlayStop();
    return 1;
  }
  if (IsBonusBox(name)) PickBonusBox(name);
  if (Is(name, ZQ_GBK("退出"))) {
    RequestExit();
    return 1;
  }
  return 0;
}

CCardReel* CSlotGame::CardReel(int number) const {
  if (number < 1) return nullptr;
  int i = 1;
  for (CCardReel* reel : m_CardReels) {
    if (i++ == number) return reel;
  }
  return nullptr;
}
