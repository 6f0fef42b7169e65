// ZQ_UI_Button: a push button whose animation follows touch and press directly, without a
// touch sound, and which sinks to the back of its parent's children once restored.
#include "ZqEngine.h"
#include "ZqUIWidgets.h"

namespace {

CZqUIPanel* NewButton(CZqEngine*, CZqUIPanel* parent) {
  // A button is always somebody's child; without a parent it would have no engine either.
  return parent ? new ZQ_UI_Button(parent) : nullptr;
}

const bool kRegistered = (CZqEngine::UI_RegisterStyle("button", &NewButton), true);

}  // namespace

ZQ_UI_Button::ZQ_UI_Button(CZqUIPanel* parent) : CZqUIPanel(parent) {
  (void)kRegistered;
  m_strStyle = "button";
}

ZQ_UI_Button::~ZQ_UI_Button() = default;

int ZQ_UI_Button::Restore() {
  if (!CZqUIPanel::Restore()) return 0;
  OnTouch(m_bTouched);
  SetBackMost();  // panels created after the button lie above it
  return 1;
}

long ZQ_UI_Button::OnUpdate() {
  // The base updates the animation again: a button's frames run at twice the frame time.
  if (m_pCurrent) m_pCurrent->Update();
  return CZqUIPanel::OnUpdate();
}

long ZQ_UI_Button::OnDraw(SScreenPoint at) {
  if (!m_pEngine) return E_FAIL;
  if (m_pCurrent)
    m_pCurrent->Draw(at.x, at.y, m_bBackLayer ? 1.0f : 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFF7F7F7F);
  return 0;
}

void ZQ_UI_Button::OnTouch(int) {
  const bool held = m_bPressed || m_bChecked;
  CZqAnimation* chosen =
      m_bTouched ? (held ? &m_aniPressTouch : &m_aniNormalTouch) : (held ? &m_aniPress : &m_aniNormal);
  if (chosen->IsReady()) m_pCurrent = chosen;
  if (m_pCurrent) m_pCurrent->Play(1, 0, 0.0f, 0.0f, 0.0f);
}

DWORD ZQ_UI_Button::OnLButtonDown(UINT flags, SScreenPoint point) {
  const int wasPressed = m_bPressed;
  const DWORD result = CZqUIPanel::OnLButtonDown(flags, point);
  if (m_bPressed != wasPressed) OnPress(m_bPressed);
  return result;
}

int ZQ_UI_Button::HitTest_Drag(SScreenPoint point) { return is_point_in_rect(point, m_rcHeader); }

int ZQ_UI_Button::HitTest_Press(SScreenPoint point) { return is_point_in_rect(point, m_rcHeader); }

void ZQ_UI_Button::OnPress(int pressed) { ZQ_UI_Button::OnTouch(pressed); }
