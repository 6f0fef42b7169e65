// The application's side of its engines: the per-pass update, render and present of each.
#include "ZqApp.h"
#include "ZqEngine.h"

long CZqApp::UpdateEngine(CZqEngine* engine) {
  if (engine->_UpdateEngine() != 1 || engine->GetPlayVideo()) return 0;
  long hr = engine->_RenderEngine();
  if (hr < 0) return hr == DDERR_SURFACELOST ? engine->RestoreEngine() : hr;
  if (engine->IsChanged()) {
    hr = engine->Present();
    if (hr < 0 && (hr != DDERR_SURFACELOST || engine->RestoreSurfaces() < 0)) return E_FAIL;
  }
  return 0;
}

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

void CZqApp::SetEnginesActive(int flag) {
  std::vector<CZqEngine*> engines;
  for (auto& e : m_mapEngines) engines.push_back(e.second);
  for (CZqEngine* e : engines) e->SetActive(flag);
}

void CZqApp::UpdateEnginesBounds() {
  for (auto& e : m_mapEngines) e.second->UpdateBounds();
}
