// CZqUIPanel: construction, destruction, the child list, state queries and setters.
#include <algorithm>
#include <cstring>

#include "ZqEngine.h"
#include "ZqFunc.h"
#include "ZqSound.h"
#include "ZqUIPanel.h"
#include "zqplatform/gdi.h"

namespace {
CZqUIPanel* NewPanel(CZqEngine* engine, CZqUIPanel* parent) {
  return parent ? new CZqUIPanel(parent) : new CZqUIPanel(engine);
}
struct PanelStyle {
  PanelStyle() { CZqEngine::UI_RegisterStyle("panel", NewPanel); }
} g_panelStyle;
}  // namespace

CZqUIPanel::CZqUIPanel(CZqUIPanel* parent) : CZqUIPanel(parent, parent ? parent->m_pEngine : nullptr) {}

CZqUIPanel::CZqUIPanel(CZqEngine* engine) : CZqUIPanel(nullptr, engine) {
  m_bVisible = 0;
  m_bBackLayer = 0;
}

CZqUIPanel::CZqUIPanel(CZqUIPanel* parent, CZqEngine* engine)
    : m_pEngine(engine),
      m_pParent(parent),
      m_bVisible(1),
      m_bFocus(0),
      m_bEnabled(1),
      m_bTouched(0),
      m_bToggleOnClick(1),
      m_bChecked(0),
      m_bPressed(0),
      m_dwRepeatTime(0),
      m_dwPressCount(0),
      m_bDragging(0),
      m_bBackLayer(1),
      m_bMovable(0),
      m_strStyle("panel"),
      m_strBaseStyle("panel"),
      m_bCaption(0),
      m_bEditable(0),
      m_font{},
      m_hFont(nullptr),
      m_dwAlign(0),
      m_dwColor(0),
      m_dwID(0),
      m_aniNormal(engine),
      m_aniNormalTouch(engine),
      m_aniPress(engine),
      m_aniPressTouch(engine),
      m_aniDisable(engine),
      m_aniSense(engine),
      m_pCurrent(nullptr),
      m_pSoundTouch(nullptr),
      m_pSoundClick(nullptr),
      m_texCaption(engine),
      m_pHolder(nullptr),
      m_bCreated(0) {
  if (parent) parent->m_listCreated.push_back(this);
}

CZqUIPanel::~CZqUIPanel() {
  Cleanup();
  _DropCreated(1);
  if (m_pEngine && m_dwID) m_pEngine->_ForgetUI(m_dwID, this);
  if (m_pParent) m_pParent->m_listCreated.remove(this);
}

void CZqUIPanel::_DropCreated(int destroying) {
  // Deleting one panel may delete others of the list (it destroys its own children), so the
  // walk starts again after every change.
  for (bool again = true; again;) {
    again = false;
    for (CZqUIPanel* p : m_listCreated) {
      if (!p->m_pHolder && p->m_bCreated) {
        delete p;
      } else if (!destroying) {
        continue;
      } else if (!p->m_pHolder) {
        // Constructed here but never created: the caller owns it; it becomes top-level.
        p->m_pParent = nullptr;
        m_listCreated.remove(p);
      } else {
        // Another panel holds it: that one becomes its parent.
        p->m_pParent = p->m_pHolder;
        m_listCreated.remove(p);
        p->m_pParent->m_listCreated.push_back(p);
      }
      again = true;
      break;
    }
  }
}

void CZqUIPanel::_SetIntoList(CZqUIPanel* holder) { m_pHolder = holder; }

// ---- the child list ----

void CZqUIPanel::AddSubPanel(CZqUIPanel* panel) {
  if (!panel || panel->m_pHolder == this) return;
  // A panel cannot hold itself or one of its ancestors.
  for (CZqUIPanel* p = this; p; p = p->m_pHolder ? p->m_pHolder : p->m_pParent)
    if (p == panel) return;
  if (panel->m_pHolder) panel->m_pHolder->DelSubPanel(panel);
  m_listChildren.push_front(panel);
  panel->_SetIntoList(this);
}

void CZqUIPanel::DelSubPanel(CZqUIPanel* panel) {
  if (!panel || panel->m_pHolder != this) return;
  m_listChildren.remove(panel);
  panel->_SetIntoList(nullptr);
  if (panel->_ReleasePress()) panel->UpdateState();
}

void CZqUIPanel::SetTopMost() {
  if (!m_pParent || m_pHolder != m_pParent) return;
  // Moving the node itself keeps iterators of a walk over the list valid.
  auto& list = m_pParent->m_listChildren;
  list.splice(list.begin(), list, std::find(list.begin(), list.end(), this));
}

void CZqUIPanel::SetBackMost() {
  if (!m_pParent || m_pHolder != m_pParent) return;
  auto& list = m_pParent->m_listChildren;
  list.splice(list.end(), list, std::find(list.begin(), list.end(), this));
}

int CZqUIPanel::_ReleasePress() {
  int changed = m_bPressed || m_bDragging;
  m_bPressed = 0;
  m_bDragging = 0;
  m_dwRepeatTime = 0;
  m_dwPressCount = 0;
  for (CZqUIPanel* c : m_listChildren) changed |= c->_ReleasePress();
  return changed;
}

// ---- state queries ----

int CZqUIPanel::IsVisible() const {
  if (!m_pParent) return 1;
  return m_bVisible && m_pParent->IsVisible() ? 1 : 0;
}

int CZqUIPanel::IsEnable() const {
  if (!m_pParent) return m_bEnabled;
  return m_bEnabled && m_pParent->IsEnable() ? 1 : 0;
}

int CZqUIPanel::IsWorking() const { return m_pParent ? m_pParent->IsWorking() : 1; }

const char* CZqUIPanel::GetSoundTouch() const { return m_pSoundTouch ? m_pSoundTouch->GetKey() : nullptr; }

const char* CZqUIPanel::GetSoundTClick() const { return m_pSoundClick ? m_pSoundClick->GetKey() : nullptr; }

// ---- setters ----

void CZqUIPanel::SetVisible(int visible) {
  m_bVisible = visible;
  if (!visible && _ReleasePress()) UpdateState();
}

void CZqUIPanel::SetEnable(int enable) {
  const int changed = m_bEnabled != enable;
  m_bEnabled = enable;
  int released = 0;
  if (!enable) {
    m_bTouched = 0;
    released = _ReleasePress();
  }
  if (changed || released) UpdateState();
}

void CZqUIPanel::SetFocus() {
  for (CZqUIPanel* p = this; p; p = p->m_pParent) p->m_bFocus = 1;
}

void CZqUIPanel::SetChecked(int checked) {
  m_bChecked = checked;
  UpdateState();
}

#ifndef ZQ_OLDER_BUILD
void CZqUIPanel::SetVisibleValue(int visible) {
  m_bVisible = visible;
  if (!visible) _ReleasePress();
}

void CZqUIPanel::SetEnableValue(int enable) {
  m_bEnabled = enable;
  if (!enable) _ReleasePress();
}

void CZqUIPanel::SetCheckedValue(int checked) {
  m_bChecked = checked;
  if (checked == 1) m_bPressed = 0;
}

void CZqUIPanel::SetPressValue(int pressed) {
  m_bPressed = pressed;
  if (pressed == 1) m_bChecked = 0;
}

void CZqUIPanel::SetTouch(int touched) {
  m_bTouched = touched;
  if (touched == 1) m_bEnabled = 1;
  if (touched && m_pSoundTouch) m_pSoundTouch->Play();
  UpdateState();
}

void CZqUIPanel::SetUIValue(int visible, int enabled, int touched, int checked, int pressed) {
  m_bVisible = visible;
  m_bEnabled = enabled;
  m_bTouched = touched;
  m_bChecked = checked;
  m_bPressed = pressed;
  if (!visible || !enabled) {
    m_bDragging = 0;
    for (CZqUIPanel* c : m_listChildren) c->_ReleasePress();
  }
}

void CZqUIPanel::SetTouchValue(int touched) { m_bTouched = touched; }
#endif

void CZqUIPanel::SetBackLayer(int backLayer) {
  m_bBackLayer = (m_pParent && !m_pParent->m_bBackLayer) ? 0 : backLayer;
}

void CZqUIPanel::SetSize(const SScreenPoint& size) { m_rect = SScreenRect(m_rect.top_left(), size); }

void CZqUIPanel::SetPosition(const SScreenPoint& topLeft) { m_rect = SScreenRect(topLeft, m_rect.size()); }

void CZqUIPanel::SetImageNormal(const char* description) {
  SetImage("normal", description);
  OnTouch(m_bTouched);
}

void CZqUIPanel::SetImageNormalTouch(const char* description) {
  SetImage("normal_touch", description);
  OnTouch(m_bTouched);
}

namespace {
void BindAnimation(CZqAnimation& a, CZqEngine* engine, const char* description) {
  a.SetZqEngine(engine);
  a.Create(description ? description : "");
}
}  // namespace

void CZqUIPanel::SetImagePress(const char* d) { BindAnimation(m_aniPress, m_pEngine, d); }
void CZqUIPanel::SetImagePressTouch(const char* d) { BindAnimation(m_aniPressTouch, m_pEngine, d); }
void CZqUIPanel::SetImageSense(const char* d) { BindAnimation(m_aniSense, m_pEngine, d); }
void CZqUIPanel::SetImageDisable(const char* d) { BindAnimation(m_aniDisable, m_pEngine, d); }

void CZqUIPanel::SetImage(const char* which, const char* description) {
  if (!which) return;
  if (std::strcmp(which, "normal") == 0)
    BindAnimation(m_aniNormal, m_pEngine, description);
  else if (std::strcmp(which, "normal_touch") == 0)
    BindAnimation(m_aniNormalTouch, m_pEngine, description);
}

void CZqUIPanel::SetSoundTouch(const char* name) {
  delete m_pSoundTouch;
  m_pSoundTouch = m_pEngine ? m_pEngine->FindSound(name) : nullptr;
}

void CZqUIPanel::SetSoundClick(const char* name) {
  delete m_pSoundClick;
  m_pSoundClick = m_pEngine ? m_pEngine->FindSound(name) : nullptr;
}

void CZqUIPanel::SetFont() {
  if (m_hFont) DeleteObject(m_hFont);
  m_hFont = CZqFunc::Font_QuickCreateFont(m_font);
}

void CZqUIPanel::Cleanup() {
  if (m_pHolder) m_pHolder->DelSubPanel(this);
  m_pCurrent = nullptr;
  while (!m_listChildren.empty()) {
    CZqUIPanel* child = m_listChildren.front();
    m_listChildren.pop_front();
    child->_SetIntoList(nullptr);
    delete child;
  }
  _DropCreated(0);
  for (CZqAnimation* a :
       {&m_aniNormal, &m_aniNormalTouch, &m_aniPress, &m_aniPressTouch, &m_aniDisable, &m_aniSense})
    a->Cleanup();
  delete m_pSoundTouch;
  delete m_pSoundClick;
  m_pSoundTouch = m_pSoundClick = nullptr;
  if (m_hFont) DeleteObject(m_hFont);
  m_hFont = nullptr;
  m_texCaption.Cleanup();
  m_dwRepeatTime = 0;
  m_dwPressCount = 0;
}
