// The view: a child window filling the frame's client area. It presents the engine's back buffer
// when painted, passes every message to the engine first and turns keys into game commands.
#pragma once

#include "ZqLib.h"
#include "zqplatform/framework.h"

class CClientView : public CWnd {
 public:
  CClientView();
  ~CClientView() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnPaint();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnKeyDown(UINT nChar, UINT repeat, UINT flags);

  DECLARE_MESSAGE_MAP()
};
