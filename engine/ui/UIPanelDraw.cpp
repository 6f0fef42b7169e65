// CZqUIPanel: drawing, the per-frame update with auto-repeat, the shown animation and captions.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSound.h"
#include "ZqTextureGroup.h"
#include "ZqUIPanel.h"
#include "zqplatform/window.h"

namespace {
constexpr DWORD kImageColor = 0xFF7F7F7F;
constexpr DWORD kRepeatPeriod = 1000;  // 0.1 ms units

// Children to draw, back to front, of every panel being drawn (nested draws stack up).
// Kept between frames so drawing does not allocate.
std::vector<CZqUIPanel*>& DrawStack() {
  static std::vector<CZqUIPanel*> stack;
  return stack;
}

bool Holds(const std::list<CZqUIPanel*>& list, const CZqUIPanel* panel) {
  return std::find(list.begin(), list.end(), panel) != list.end();
}
}  // namespace

long CZqUIPanel::Draw(SScreenPoint at) {
  if (!m_pEngine) {
    Cleanup();
    return 0;
  }
  const long r = OnDraw(at);
  if (r < 0) return r;
  return _DrawChildren(at);
}

#ifndef ZQ_OLDER_BUILD
long CZqUIPanel::DrawNum(SScreenPoint at, unsigned frame) {
  if (!m_pEngine) {
    Cleanup();
    return 0;
  }
  if (!m_pCurrent) return 0;
  // A frame the group does not have shows nothing rather than reading past the group.
  const CZqTextureGroup* group = m_pCurrent->GetTextureGroup();
  if (group && frame < unsigned(group->GetNumTexture())) {
    m_pCurrent->SetCurrentFrameEx(frame);
    m_pCurrent->Draw(at.x, at.y, m_bBackLayer ? 0.99f : 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kImageColor);
  }
  return _DrawChildren(at);
}

void CZqUIPanel::UpdateRender() { UpdateState(); }
#endif

long CZqUIPanel::_DrawChildren(SScreenPoint at) {
  const int edit = CZqFunc::UI_GetEditMode();
  if (edit) _DrawEditOutline(at);
  // A child's update may change this list (it can even destroy siblings), so the walk goes
  // over a copy and skips whatever has left the list meanwhile.
  std::vector<CZqUIPanel*>& stack = DrawStack();
  const size_t base = stack.size();
  stack.insert(stack.end(), m_listChildren.rbegin(), m_listChildren.rend());
  long result = 0;
  for (size_t i = base; i < stack.size() && result >= 0; ++i) {
    CZqUIPanel* child = stack[i];
    if (!Holds(m_listChildren, child) || !(child->m_bVisible || edit)) continue;
    if (child->OnUpdate() < 0) {
      if (Holds(m_listChildren, child)) {
        m_listChildren.remove(child);
        child->_SetIntoList(nullptr);
        delete child;
      }
      continue;
    }
    if (!Holds(m_listChildren, child)) continue;
    if (child->IsVisible() || edit) {
      const long r = child->Draw(at + child->m_rect.top_left());
      if (r < 0) result = r;
    }
  }
  stack.resize(base);
  return result < 0 ? result : 0;
}

long CZqUIPanel::OnDraw(SScreenPoint at) {
  if (m_pCurrent)
    m_pCurrent->Draw(at.x, at.y, m_bBackLayer ? 0.99f : 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, kImageColor);
  if (m_bCaption && m_pEngine && m_texCaption.GetDDrawSurface())
    m_pEngine->Render_PaintFast(at.x + m_rcHeader.left, at.y + m_rcHeader.top, &m_texCaption,
                                m_bBackLayer ? 1.0f : 0.0f, 1.0f, 1.0f, 1.0f, kImageColor);
  return 0;
}

long CZqUIPanel::OnUpdate() {
  if (m_pCurrent) m_pCurrent->Update();
  // A press set on a disabled panel through the value setters never repeats.
  if (!m_bPressed || !IsEnable()) {
    m_dwRepeatTime = 0;
    m_dwPressCount = 0;
    return 0;
  }
  if (m_pEngine) m_dwRepeatTime += m_pEngine->GetElapsedTime();
  if (m_dwRepeatTime > kRepeatPeriod) {
    m_dwRepeatTime = 0;
    ++m_dwPressCount;
    if (m_pEngine) PostMessageA(m_pEngine->GetEngineWnd(), ZQ_UIMSG_REPEAT, m_dwID, 0);
  }
  return 0;
}

void CZqUIPanel::UpdateState() {
  const auto present = [](CZqAnimation& a) { return a.GetTextureGroup() != nullptr; };
  const auto first = [&](std::initializer_list<CZqAnimation*> choices) -> CZqAnimation* {
    for (CZqAnimation* a : choices)
      if (present(*a)) return a;
    return nullptr;
  };
  if (IsEnable()) {
    if (!m_bTouched) {
      if (!m_bPressed && !m_bChecked)
        m_pCurrent = first({&m_aniNormal});
      else if (present(m_aniPress))
        m_pCurrent = &m_aniPress;
#ifdef ZQ_OLDER_BUILD
    } else if (m_bPressed || m_bChecked) {
      m_pCurrent = first({&m_aniPressTouch, &m_aniPress});
    } else {
      m_pCurrent = first({&m_aniNormalTouch, &m_aniNormal});
    }
#else
    } else if (!m_bPressed) {
      m_pCurrent =
          m_bChecked ? first({&m_aniPressTouch, &m_aniPress}) : first({&m_aniNormalTouch, &m_aniNormal});
    } else {
      m_pCurrent = first({&m_aniPress, &m_aniPressTouch});
    }
#endif
  } else {
    m_bTouched = 0;
    if (present(m_aniDisable))
      m_pCurrent = &m_aniDisable;
    else if ((m_bPressed || m_bChecked) && present(m_aniPress))
      m_pCurrent = &m_aniPress;
    else if (present(m_aniNormal))
      m_pCurrent = &m_aniNormal;
  }
  if (m_pCurrent) m_pCurrent->Play(1, 0, 0.0f, 0.0f, 0.0f);
  for (auto it = m_listChildren.rbegin(); it != m_listChildren.rend(); ++it) (*it)->UpdateState();
}

void CZqUIPanel::OnTouch(int touched) {
  if (touched && m_pSoundTouch) m_pSoundTouch->Play();
  UpdateState();
}

long CZqUIPanel::UpdateCaption() {
  if (!m_bCaption) return 0;
  m_texCaption.Clear(0);
  SScreenRect box(0, 0, m_rcHeader.width(), m_rcHeader.height());
  return m_texCaption.DrawTextA(m_hFont, m_strCaption.c_str(), &box, m_rcHeader.width(), m_rcHeader.height(),
                                m_dwAlign | 0x24, m_dwColor, 0);
}

long CZqUIPanel::SetCaption(const char* caption) {
  m_strCaption = caption ? caption : "";
  return UpdateCaption();
}

long CZqUIPanel::SetCaption(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", number);
  return SetCaption(text);
}

long CZqUIPanel::RestoreSource() {
  const DWORD width = DWORD(std::max(0, m_rcHeader.width()));
  const DWORD height = DWORD(std::max(0, m_rcHeader.height()));
  long r = m_texCaption.CreateEx(width, height, D3DX_SF_A8R8G8B8, 0);
  if (r < 0) return r;
  UpdateCaption();
  for (CZqUIPanel* child : m_listChildren) {
    r = child->RestoreSource();
    if (r < 0) return r;
  }
  return 0;
}

void CZqUIPanel::ReleaseSource() {
  m_texCaption.ReleaseObjects();
  for (CZqUIPanel* child : m_listChildren) child->ReleaseSource();
}
