// The engine's panel registry (ids 100 to 9998) and its UI factory. Panel classes register the
// style they are created for; a derived engine overrides UI_New_Register to add its own.
#include <cstring>
#include <map>
#include <string>

#include "ZqEngine.h"
#include "ZqUIPanel.h"

namespace {
constexpr DWORD kFirstPanelId = 100;
constexpr DWORD kLastPanelId = 9998;

std::map<std::string, CZqEngine::UICreator>& Styles() {
  static std::map<std::string, CZqEngine::UICreator> styles;
  return styles;
}
}  // namespace

void CZqEngine::UI_RegisterStyle(const char* style, UICreator create) {
  if (!style) return;
  if (create)
    Styles()[style] = create;
  else
    Styles().erase(style);
}

CZqUIPanel* CZqEngine::UI_New_Register(CZqUIPanel* parent, std::string style) {
  auto it = Styles().find(style);  // exact and case-sensitive
  return it == Styles().end() ? nullptr : it->second(this, parent);
}

CZqUIPanel* CZqEngine::FindUIFromID(DWORD id) {
  auto it = m_mapUI.find(id);
  return it == m_mapUI.end() ? nullptr : it->second;
}

CZqUIPanel* CZqEngine::FindUIFromName(const char* name) {
  if (!name) return nullptr;
  // In id order: of two panels of one name, the one with the lower id is found.
  for (auto& entry : m_mapUI)
    if (entry.second && std::strcmp(entry.second->GetName(), name) == 0) return entry.second;
  return nullptr;
}

DWORD CZqEngine::_RegisterUI(CZqUIPanel* panel) {
  DWORD id = kFirstPanelId;
  for (auto it = m_mapUI.lower_bound(kFirstPanelId); it != m_mapUI.end() && it->first == id; ++it) ++id;
  if (id > kLastPanelId) return 0;
  m_mapUI[id] = panel;
  return id;
}

void CZqEngine::_ForgetUI(DWORD id, CZqUIPanel* panel) {
  auto it = m_mapUI.find(id);
  if (it != m_mapUI.end() && it->second == panel) m_mapUI.erase(it);
}
