// Registered objects across a device loss: their device objects released, then restored.
#include <vector>

#include "ZqEngine.h"
#include "ZqTexture.h"
#include "ZqTextureGroup.h"

namespace {
// A released texture keeps its description: one that had a picture before the loss has a size.
bool WasMade(CZqTexture* texture) { return texture->GetWidth() && texture->GetHeight(); }
}  // namespace

void CZqEngine::_ReleaseRegisteredObjects() {
  for (auto& entry : m_mapTextureGroup)
    if (entry.second) entry.second->ReleaseObjects();
  for (auto& entry : m_mapTexture)
    if (entry.second) entry.second->ReleaseObjects();
  for (CZqTexture* particle : m_vecParticle) particle->ReleaseObjects();
}

long CZqEngine::_RestoreRegisteredObjects() {
  // Groups bring their frames back one by one as they are fetched, within their cache.
  long first = 0;
  for (auto& entry : m_mapTexture) {
    CZqTexture* texture = entry.second;
    if (!texture) continue;
    const bool made = WasMade(texture);
    const long hr = texture->RestoreObjects();
    // One that never loaded is given its chance, but its failure is no loss of the device's.
    if (FAILED(hr) && made && SUCCEEDED(first)) first = hr;
  }
  if (m_vecParticle.empty()) return first;

  // The particles have no name to come back from: they are built again, and the textures that
  // callers may hold take the new pictures.
  std::vector<CZqTexture*> held;
  held.swap(m_vecParticle);
  const long hr = BuildParticles();
  std::vector<CZqTexture*> built;
  built.swap(m_vecParticle);
  for (size_t i = 0; i < built.size(); ++i) {
    if (i < held.size()) {
      if (built[i]->GetDDrawSurface()) {
        held[i]->Create(built[i]->GetDDrawSurface());
        held[i]->SetBasePoint(built[i]->GetBasePoint());
      }
      delete built[i];
    } else {
      held.push_back(built[i]);
    }
  }
  m_vecParticle.swap(held);
  if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  return first;
}
