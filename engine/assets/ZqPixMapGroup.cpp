// CPixMapGroup: one pixel map per layer of a layered image.
#include <memory>

#include "PsdLayerCopy.h"
#include "ZqLayeredImage.h"
#include "ZqPixelMap.h"

CPixMapGroup::~CPixMapGroup() { Cleanup(); }

void CPixMapGroup::Cleanup() {
  for (CPixelMap32* map : m_maps) delete map;
  m_maps.clear();
}

CPixelMap32* CPixMapGroup::AddPixmap() {
  m_maps.push_back(new CPixelMap32);
  return m_maps.back();
}

namespace {

// Appends every layer in document order; on a failed allocation the whole group is emptied.
bool AddLayers(CPixMapGroup& group, const char* path) {
  std::unique_ptr<CPsdDocument> doc = zq_assets::ParsePsdFile(path);
  if (!doc) return false;
  for (int i = 0; i < doc->GetLayerCount(); ++i) {
    if (!zq_assets::CopyLayer(*group.AddPixmap(), *doc->GetLayer(i), path)) {
      group.Cleanup();
      return false;
    }
  }
  return true;
}

}  // namespace

int CPixMapGroup::LoadFromPSD(const char* path) {
  Cleanup();
  return AddLayers(*this, path) ? 1 : 0;
}

int CPixMapGroup::AddFromPSD(const char* path) {
  int before = GetPixmapCount();
  return AddLayers(*this, path) ? before : 0;
}
