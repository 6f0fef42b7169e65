// Panels on a started engine (software device, manual clock, headless window), with the posted
// panel notifications read back from the thread's queue.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"

class InputEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

// Exposes what the tests look at.
class ProbePanel : public CZqUIPanel {
 public:
  using CZqUIPanel::CZqUIPanel;
  CZqSound* ClickSound() const { return m_pSoundClick; }
  CZqSound* TouchSound() const { return m_pSoundTouch; }
};

struct Posted {
  UINT msg;
  WPARAM id;
  bool operator==(const Posted& o) const { return msg == o.msg && id == o.id; }
};
inline std::ostream& operator<<(std::ostream& os, const Posted& p) {
  return os << std::hex << "{0x" << p.msg << ", " << std::dec << p.id << "}";
}

class PanelInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("uiinput", 808, 627);
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new InputEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    ASSERT_NE(engine->GetD3dDevice(), nullptr);
    CZqFunc::UI_SetEditMode(0);
    root = new ProbePanel(static_cast<CZqEngine*>(engine));
    ASSERT_EQ(root->Create(nullptr, SScreenPoint(0, 0), "root"), 1);
    root->SetSize(SScreenPoint(800, 600));
    Drain();
  }
  void TearDown() override {
    CZqFunc::UI_SetEditMode(0);
    delete root;
    delete engine;
    delete app;
    CloseEngineWindow();
  }

  // A child at (x, y) of the given size whose header (press, touch and drag area) is `header`.
  ProbePanel* Child(CZqUIPanel* parent, int x, int y, int w, int h, SScreenRect header) {
    auto* c = new ProbePanel(parent);
    EXPECT_EQ(c->Create(nullptr, SScreenPoint(x, y), nullptr), 1);
    c->SetSize(SScreenPoint(w, h));
    c->SetHeaderRect(header);
    return c;
  }
  // The panel notifications posted since the last call, in order.
  std::vector<Posted> Drain() {
    std::vector<Posted> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, ZQ_UIMSG_CLICK, ZQ_UIMSG_UNTOUCH, PM_REMOVE)) {
      EXPECT_EQ(m.hwnd, wnd);
      EXPECT_EQ(m.lParam, 0);
      out.push_back({m.message, m.wParam});
    }
    return out;
  }
  std::vector<Posted> Only(UINT msg) {
    std::vector<Posted> out;
    for (const Posted& p : Drain())
      if (p.msg == msg) out.push_back(p);
    return out;
  }
  // Input as the game gives it to its main panel: points in root coordinates.
  DWORD Move(int x, int y, UINT flags = 0) { return root->OnMouseMove(flags, SScreenPoint(x, y)); }
  DWORD Down(int x, int y, UINT flags = MK_LBUTTON) { return root->OnLButtonDown(flags, SScreenPoint(x, y)); }
  DWORD Up(int x, int y, UINT flags = 0) { return root->OnLButtonUp(flags, SScreenPoint(x, y)); }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  InputEngine* engine = nullptr;
  ProbePanel* root = nullptr;
};
