// The factory's small widgets: ZQ_UI_Button (style "button") and ZQ_UI_Layer (style "layer").
#pragma once

#include "ZqUIPanel.h"

class ZQ_API ZQ_UI_Button : public CZqUIPanel {
 public:
  explicit ZQ_UI_Button(CZqUIPanel* parent);
  ~ZQ_UI_Button() override;

  int Restore() override;
  long OnUpdate() override;
  long OnDraw(SScreenPoint at) override;
  void OnTouch(int touched) override;
  DWORD OnLButtonDown(UINT flags, SScreenPoint point) override;
  int HitTest_Drag(SScreenPoint point) override;
  int HitTest_Press(SScreenPoint point) override;
  virtual void OnPress(int pressed);
};

class ZQ_API ZQ_UI_Layer : public CZqUIPanel {
 public:
  explicit ZQ_UI_Layer(CZqUIPanel* parent);
  ~ZQ_UI_Layer() override;

  long OnDraw(SScreenPoint at) override;

  void SetLayerColor(float alpha, float red, float green, float blue);
  void SetFill(int fill) { m_bFill = fill; }
  int GetFill() const { return m_bFill; }

 protected:
  float m_fAlpha;
  float m_fRed;
  float m_fGreen;
  float m_fBlue;
  int32_t m_bFill;
};
