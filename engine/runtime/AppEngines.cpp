// The application's side of its engines: the per-pass update, render and present of each.
#include "ZqApp.h"
#include "ZqEngine.h"

long CZqApp::UpdateEngine(CZqEngine*) { return 0; }

long CZqApp::UpdateAllEngines() {
  if (!m_bActive && !m_bRunInBackground) return 0;
  // Ids are collected first: an engine may unregister while it runs.
  std::vector<int> ids;
  ids.reserve(m_mapEngines.size());
  for (auto& e : m_mapEngines) ids.push_back(e.first);
  for (int id : ids) {
    CZqEngine* engine = GetEngine(id);
    if (!engine) continue;
    long hr = UpdateEngine(engine);
    if (hr) return hr;
  }
  return 0;
}

void CZqApp::SetEnginesActive(int) {}
void CZqApp::UpdateEnginesBounds() {}
