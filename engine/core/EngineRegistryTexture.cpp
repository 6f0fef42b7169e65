// The engine's texture registries: textures and texture groups shared by name with user counts,
// and the particle textures.
#include <cmath>
#include <cstring>

#include "ZqEngine.h"
#include "ZqTexture.h"
#include "ZqTextureGroup.h"

CZqTexture* CZqEngine::FindTexture(const char* name) {
  if (!name || !*name) return nullptr;
  CZqTexture*& entry = m_mapTexture[name];
  if (entry) {
    entry->AddUser();
    return entry;
  }
  auto* texture = new CZqTexture(this);
  if (texture->SetStreamSource(name) < 0) {
    delete texture;
    return nullptr;
  }
  entry = texture;
  return texture;
}

CZqTextureGroup* CZqEngine::FindTextureGroup(const char* name) {
  if (!name || !*name) return nullptr;
  auto it = m_mapTextureGroup.find(name);
  if (it != m_mapTextureGroup.end() && it->second) {
    it->second->AddUser();
    return it->second;
  }
  auto* group = new CZqTextureGroup(this);
  if (!group->SetStreamSource(name, 0)) {
    delete group;                       // its destructor forgets the name
    m_mapTextureGroup[name] = nullptr;  // so the next request tries again
    return nullptr;
  }
  m_mapTextureGroup[name] = group;
  return group;
}

void CZqEngine::FreeTextureGroup(const char* name) {
  if (name) m_mapTextureGroup.erase(name);
}

void CZqEngine::_DeleteTextures() {
  for (auto& entry : m_mapTexture) delete entry.second;
  m_mapTexture.clear();
}

void CZqEngine::_DeleteTextureGroups() {
  // Each group forgets its own name while it is deleted, so it leaves the map first.
  while (!m_mapTextureGroup.empty()) {
    auto it = m_mapTextureGroup.begin();
    CZqTextureGroup* group = it->second;
    m_mapTextureGroup.erase(it);
    delete group;
  }
}

long CZqEngine::BuildParticles() {
  CleanupParticles();
  constexpr DWORD kSize = 32;
  auto* texture = new CZqTexture(this);
  long hr = texture->CreateEx(kSize, kSize, D3DX_SF_A8R8G8B8, 0);
  // The rows are written as 32-bit pixels: any other surface (or a smaller one) would be overrun.
  if (SUCCEEDED(hr) && (!texture->GetTexture() || texture->GetColorCount() != 32 ||
                        texture->GetWidth() < kSize || texture->GetHeight() < kSize))
    hr = E_FAIL;
  BYTE* bits = nullptr;
  LONG pitch = 0;
  if (SUCCEEDED(hr)) hr = texture->BeginLock(&bits, &pitch);
  if (FAILED(hr) || !bits) {
    delete texture;
    return FAILED(hr) ? hr : E_FAIL;
  }
  DWORD row[kSize];
  for (int x = 14; x <= 17; ++x) row[x] = 0xFFFFFFFF;
  for (int d = 2; d <= 15; ++d) {
    const DWORD alpha = DWORD(long(std::cos(d * M_PI / 32) * 150)) & 0xFF;
    row[15 - d] = row[16 + d] = alpha << 24 | 0x6BFFFF;
  }
  for (DWORD y = 0; y < kSize; ++y) memcpy(bits + (size_t)y * pitch, row, sizeof row);
  texture->EndLock();
  m_vecParticle.push_back(texture);
  return 0;
}

CZqTexture* CZqEngine::FindParticle(DWORD index) {
  return index < m_vecParticle.size() ? m_vecParticle[index] : nullptr;
}

void CZqEngine::CleanupParticles() {
  for (CZqTexture* texture : m_vecParticle) delete texture;
  m_vecParticle.clear();
}
