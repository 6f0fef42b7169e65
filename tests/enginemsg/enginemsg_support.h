// Fixture of the engine-message tests: a headless window whose procedure hands every message to
// the engine, an application on a settable pass time, and an engine that records its handlers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/display_hooks.h"

namespace enginemsg {

// Menu ids a derived engine would set.
constexpr WORD kPopupId = 500;
constexpr WORD kSingleStep = 601, kStep = 602, kModeSwitch = 603, kPause = 604, kGdiWindow = 605;

class PassApp : public CZqApp {
 public:
  void SetAppTime(DWORD t) { m_dwAppTime = t; }
};

struct HandlerCall {
  std::string name;
  UINT a, b, c;
  SScreenPoint point;  // the engine's mouse point at the call
};

class MsgEngine : public CZqEngine {
 public:
  using CZqEngine::m_bFsWindowFlag;
  using CZqEngine::m_bFullscreen;
  using CZqEngine::m_bLost;
  using CZqEngine::m_bSingleStep;
  using CZqEngine::m_dwFrozenTime;
  using CZqEngine::m_dwPauseCount;
  using CZqEngine::m_idModeSwitch;
  using CZqEngine::m_idNoEffect;
  using CZqEngine::m_idPause;
  using CZqEngine::m_idPopupMenu;
  using CZqEngine::m_idSingleStep;
  using CZqEngine::m_idStep;
  using CZqEngine::m_nBoundsMode;
  using CZqEngine::m_pDeviceInfo;

  std::vector<HandlerCall> calls;

  DWORD OnMouseMove(UINT k) override { return Note("move", k, 0, 0, CZqEngine::OnMouseMove(k)); }
  DWORD OnLButtonDown(UINT k) override { return Note("ldown", k, 0, 0, CZqEngine::OnLButtonDown(k)); }
  DWORD OnLButtonUp(UINT k) override { return Note("lup", k, 0, 0, CZqEngine::OnLButtonUp(k)); }
  DWORD OnLButtonDbClk(UINT k) override { return Note("ldbl", k, 0, 0, CZqEngine::OnLButtonDbClk(k)); }
  DWORD OnRButtonDown(UINT k) override { return Note("rdown", k, 0, 0, CZqEngine::OnRButtonDown(k)); }
  DWORD OnRButtonUp(UINT k) override { return Note("rup", k, 0, 0, CZqEngine::OnRButtonUp(k)); }
  DWORD OnRButtonDbClk(UINT k) override { return Note("rdbl", k, 0, 0, CZqEngine::OnRButtonDbClk(k)); }
  DWORD OnMouseWheel(UINT k, short d) override {
    return Note("wheel", k, (UINT)d, 0, CZqEngine::OnMouseWheel(k, d));
  }
  DWORD OnChar(UINT k, UINT r, UINT f) override { return Note("char", k, r, f, CZqEngine::OnChar(k, r, f)); }
  DWORD OnKeyDown(UINT k, UINT r, UINT f) override {
    return Note("keydown", k, r, f, CZqEngine::OnKeyDown(k, r, f));
  }
  DWORD OnKeyUp(UINT k, UINT r, UINT f) override {
    return Note("keyup", k, r, f, CZqEngine::OnKeyUp(k, r, f));
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> n;
    for (const auto& c : calls) n.push_back(c.name);
    return n;
  }

 private:
  DWORD Note(const char* name, UINT a, UINT b, UINT c, DWORD result) {
    calls.push_back({name, a, b, c, GetMousePoint()});
    return result;
  }
};

class EngineMsgTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the engine on the window; the popup menu resource is loaded when `withPopup`.
  void Start(bool withPopup = false);
  // Client area of w x h (outer size less frame and caption).
  void SetClientSize(int w, int h);
  // Dispatches everything queued (input, posted messages, painting).
  void Pump();
  // The engine popup registered as a resource: "Engine" with the engine's items and modes.
  void RegisterPopup();
  UINT ItemState(HMENU menu, UINT id) const { return GetMenuState(menu, id, MF_BYCOMMAND); }
  std::string ItemText(HMENU menu, UINT id) const;

  static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l);

  HWND wnd = nullptr;
  PassApp* app = nullptr;
  MsgEngine* engine = nullptr;
  static inline CZqEngine* s_engine = nullptr;
};

}  // namespace enginemsg
