// CZqUIPanel's input side: the walk of the child tree, touch, press, click, drag and focus, the
// hit tests, the posted notifications and the coordinate conversions.
#include <list>

#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSound.h"
#include "ZqUIPanel.h"
#include "zqplatform/window.h"

namespace {

// A child takes input when it is enabled and visible, or whatever its flags in edit mode.
bool Eligible(const CZqUIPanel* child, int edit) {
  return ((child->GetEnableValue() && child->GetVisibleValue()) || edit) && child->IsWorking();
}

SScreenPoint ToChild(const CZqUIPanel* child, SScreenPoint point) {
  return point - child->GetRect().top_left();
}

// Offers the input to the eligible children, front (top-most) first, until one handles it.
// The next child is fetched before the call: a child may move itself to the front.
template <class Call>
DWORD OfferToChildren(const std::list<CZqUIPanel*>& children, int edit, SScreenPoint point, Call call) {
  for (auto it = children.begin(); it != children.end();) {
    CZqUIPanel* child = *it++;
    if (!Eligible(child, edit)) continue;
    if (const DWORD result = call(child, ToChild(child, point))) return result;
  }
  return 0;
}

// Key input carries no point; the walk is the same.
template <class Call>
DWORD OfferKeyToChildren(const std::list<CZqUIPanel*>& children, int edit, Call call) {
  for (auto it = children.begin(); it != children.end();) {
    CZqUIPanel* child = *it++;
    if (!Eligible(child, edit)) continue;
    if (const DWORD result = call(child)) return result;
  }
  return 0;
}

void RaiseIfMovable(CZqUIPanel* panel) {
  if (!panel->IsBackLayer() && panel->IsCanMove()) panel->SetTopMost();
}

}  // namespace

// ---- coordinates ----

void CZqUIPanel::PickClientToScreen(SScreenPoint& point) const {
  for (const CZqUIPanel* p = this; p; p = p->m_pParent) point += p->m_rect.top_left();
}

void CZqUIPanel::PickScreenToClient(SScreenPoint& point) const {
  for (const CZqUIPanel* p = this; p; p = p->m_pParent) point -= p->m_rect.top_left();
}

int CZqUIPanel::_InGrownRect(SScreenPoint ownPoint) const {
  SScreenRect grown = m_rect;
  grown.expand(10L);
  return is_point_in_rect(ownPoint + m_rect.top_left(), grown) ? 1 : 0;
}

// ---- notifications ----

void CZqUIPanel::_Post(UINT msg) const {
  if (!m_pEngine) return;
  PostMessageA(m_pEngine->GetEngineWnd(), msg, m_dwID, 0);
}

void CZqUIPanel::OnClick() { _Post(ZQ_UIMSG_CLICK); }

void CZqUIPanel::OnNotify(unsigned long, std::string) {}

void CZqUIPanel::_DrawEditOutline(SScreenPoint at) {
  if (!m_pEngine) return;
  SScreenRect outline(at, GetSize());
  outline.expand(10L);
  m_pEngine->Render_DrawRect(&outline, 0, m_bFocus ? 0x7F00FF00u : 0x7FFF0000u, m_bBackLayer ? 1.0f : 0.0f);
}

// ---- hit tests ----

int CZqUIPanel::HitTest(SScreenPoint point) {
  if (!m_pParent) return 1;
  m_pParent->PickScreenToClient(point);
  const int inside = is_point_in_rect(point, m_rect) ? 1 : 0;
  _Post(inside ? ZQ_UIMSG_TOUCH : ZQ_UIMSG_UNTOUCH);
  return inside;
}

int CZqUIPanel::HitTest_Drag(SScreenPoint point) { return is_point_in_rect(point, m_rcHeader) ? 1 : 0; }

int CZqUIPanel::HitTest_Press(SScreenPoint point) { return HitTest_Touch(point); }

// While dragging the panel stays touched wherever the pointer goes.
int CZqUIPanel::HitTest_Touch(SScreenPoint point) {
  return (is_point_in_rect(point, m_rcHeader) || m_bDragging) ? 1 : 0;
}

// ---- mouse ----

DWORD CZqUIPanel::OnMouseMove(UINT flags, SScreenPoint point) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferToChildren(m_listChildren, edit, point, [flags](CZqUIPanel* c, SScreenPoint p) {
        return c->OnMouseMove(flags, p);
      }))
    return r;

  // Only the left button alone drags: with a modifier held the pointer just moves.
  if ((m_bMovable || edit) && m_bDragging && flags == MK_LBUTTON) {
    SScreenPoint at = point;
    PickClientToScreen(at);
    m_rect += at - m_ptDrag;
    m_ptDrag = at;
    return 1;
  }

  const int touched = HitTest_Touch(point) ? 1 : 0;
  _Post(touched ? ZQ_UIMSG_TOUCH : ZQ_UIMSG_UNTOUCH);
  if (touched != m_bTouched) {
    m_bTouched = touched;
    OnTouch(touched);
  }
  if (m_bTouched) return m_dwID;
  return (edit && _InGrownRect(point)) ? m_dwID : 0;
}

DWORD CZqUIPanel::OnMouseWheel(UINT flags, short delta, SScreenPoint point) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferToChildren(
          m_listChildren, edit, point,
          [flags, delta](CZqUIPanel* c, SScreenPoint p) { return c->OnMouseWheel(flags, delta, p); }))
    return r;
  return m_bFocus ? m_dwID : 0;
}

DWORD CZqUIPanel::OnLButtonDown(UINT flags, SScreenPoint point) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;

  // The whole subtree loses focus, not only the children: a grandchild that kept it from an
  // earlier press would otherwise take the keys meant for the panel pressed now.
  auto clearFocus = [](auto& self, CZqUIPanel* panel) -> void {
    for (CZqUIPanel* child : panel->m_listChildren) {
      child->m_bFocus = 0;
      self(self, child);
    }
  };
  clearFocus(clearFocus, this);

  if (const DWORD r = OfferToChildren(m_listChildren, edit, point, [flags](CZqUIPanel* c, SScreenPoint p) {
        return c->OnLButtonDown(flags, p);
      })) {
    m_bFocus = 1;
    RaiseIfMovable(this);
    return r;
  }

  if (m_bTouched) RaiseIfMovable(this);
  const int pressed = HitTest_Press(point) ? 1 : 0;
  if (pressed != m_bPressed) {
    m_bPressed = pressed;
    UpdateState();
  }
  m_bDragging = HitTest_Drag(point) ? 1 : 0;
  if (edit && _InGrownRect(point)) m_bDragging = 1;
  m_bFocus = (m_bDragging || m_bPressed) ? 1 : 0;
  m_ptDrag = point;
  PickClientToScreen(m_ptDrag);
  return (m_bTouched || m_bDragging) ? m_dwID : 0;
}

DWORD CZqUIPanel::OnLButtonUp(UINT flags, SScreenPoint point) {
  const int edit = CZqFunc::UI_GetEditMode();

  // A panel that cannot take this release (disabled, hidden, or below one that is) lets go of
  // its press without a click, so it neither stays pressed nor keeps posting repeats.
  auto dropPress = [](auto& self, CZqUIPanel* panel) -> void {
    panel->m_bDragging = 0;
    if (panel->m_bPressed) {
      panel->m_bPressed = 0;
      panel->UpdateState();
    }
    for (CZqUIPanel* child : panel->m_listChildren) self(self, child);
  };
  if (!m_bEnabled && !edit) {
    dropPress(dropPress, this);
    return 0;
  }

  m_bDragging = 0;
  if (m_bPressed) {
    if (HitTest_Press(point)) {
      if (m_bToggleOnClick) m_bChecked = !m_bChecked;
      if (m_pSoundClick) m_pSoundClick->Play();
      OnClick();
    }
    m_bPressed = 0;
    UpdateState();
  }

  // Every eligible child gets the release, so that any of them that is pressed lets go.
  DWORD result = 0;
  for (auto it = m_listChildren.begin(); it != m_listChildren.end();) {
    CZqUIPanel* child = *it++;
    if (!Eligible(child, edit)) {
      dropPress(dropPress, child);
      continue;
    }
    const DWORD r = child->OnLButtonUp(flags, ToChild(child, point));
    if (!result) result = r;
  }
  if (result) {
    RaiseIfMovable(this);
    return result;
  }

  if (m_bTouched) {
    RaiseIfMovable(this);
    return m_dwID;
  }
  return (edit && _InGrownRect(point)) ? m_dwID : 0;
}

DWORD CZqUIPanel::OnLButtonDbClk(UINT flags, SScreenPoint point) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferToChildren(m_listChildren, edit, point, [flags](CZqUIPanel* c, SScreenPoint p) {
        return c->OnLButtonDbClk(flags, p);
      })) {
    m_bTouched = 1;
    RaiseIfMovable(this);
    return r;
  }
  if (m_bTouched) {
    RaiseIfMovable(this);
    return m_dwID;
  }
  if (edit && _InGrownRect(point)) {
    _Post(ZQ_UIMSG_DBLCLK);
    return m_dwID;
  }
  return 0;
}

template <class Call>
DWORD CZqUIPanel::_RightButton(SScreenPoint point, DWORD childAnswer, Call call) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferToChildren(m_listChildren, edit, point, call)) {
    m_bTouched = 1;
    RaiseIfMovable(this);
    return childAnswer ? childAnswer : r;
  }
  if (m_bTouched) {
    RaiseIfMovable(this);
    return m_dwID;
  }
  return (edit && _InGrownRect(point)) ? m_dwID : 0;
}

DWORD CZqUIPanel::OnRButtonDown(UINT flags, SScreenPoint point) {
  return _RightButton(point, 1,
                      [flags](CZqUIPanel* c, SScreenPoint p) { return c->OnRButtonDown(flags, p); });
}

DWORD CZqUIPanel::OnRButtonUp(UINT flags, SScreenPoint point) {
  return _RightButton(point, 0, [flags](CZqUIPanel* c, SScreenPoint p) { return c->OnRButtonUp(flags, p); });
}

DWORD CZqUIPanel::OnRButtonDbClk(UINT flags, SScreenPoint point) {
  return _RightButton(point, 0,
                      [flags](CZqUIPanel* c, SScreenPoint p) { return c->OnRButtonDbClk(flags, p); });
}

// ---- keys ----

DWORD CZqUIPanel::OnChar(UINT key, UINT repeat, UINT keyFlags) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferKeyToChildren(m_listChildren, edit,
                                         [=](CZqUIPanel* c) { return c->OnChar(key, repeat, keyFlags); }))
    return r;
  return m_bFocus ? m_dwID : 0;
}

DWORD CZqUIPanel::OnKeyDown(UINT key, UINT repeat, UINT keyFlags) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferKeyToChildren(m_listChildren, edit,
                                         [=](CZqUIPanel* c) { return c->OnKeyDown(key, repeat, keyFlags); }))
    return r;
  if (!m_bFocus) return 0;
  if (edit) {
    // The arrow keys nudge the focused panel by the key's repeat count.
    const int32_t step = static_cast<int32_t>(repeat);
    switch (key) {
      case VK_LEFT:
        m_rect -= SScreenPoint(step, 0);
        break;
      case VK_UP:
        m_rect -= SScreenPoint(0, step);
        break;
      case VK_RIGHT:
        m_rect += SScreenPoint(step, 0);
        break;
      case VK_DOWN:
        m_rect += SScreenPoint(0, step);
        break;
      default:
        break;
    }
  }
  return m_dwID;
}

DWORD CZqUIPanel::OnKeyUp(UINT key, UINT repeat, UINT keyFlags) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (!m_bEnabled && !edit) return 0;
  if (const DWORD r = OfferKeyToChildren(m_listChildren, edit,
                                         [=](CZqUIPanel* c) { return c->OnKeyUp(key, repeat, keyFlags); }))
    return r;
  return m_bFocus ? m_dwID : 0;
}

// ---- window messages ----

long CZqUIPanel::MsgProc(UINT msg, UINT wParam, long lParam) {
  if (!m_pEngine) return 0;
  for (auto it = m_listChildren.begin(); it != m_listChildren.end();) {
    CZqUIPanel* child = *it++;
    if (child->m_bEnabled && child->m_bVisible) child->MsgProc(msg, wParam, lParam);
  }
  return 0;
}
