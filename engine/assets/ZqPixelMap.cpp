// CPixelMap32: the 32-bit pixel buffer, its key and base point, and its layered-image loaders.
#include "ZqPixelMap.h"

#include <fstream>
#include <memory>
#include <new>

#include "AssetFile.h"
#include "PsdLayerCopy.h"
#include "ZqLayeredImage.h"

CPixelMap32::CPixelMap32() = default;

CPixelMap32::~CPixelMap32() {
  Clear();
  delete m_pDoc;
}

int CPixelMap32::Create(DWORD width, DWORD height) {
  Clear();
  size_t n = (size_t)width * (size_t)height;
  // Pixels start cleared, so whatever a reader leaves undecoded is transparent black.
  m_pPixels = n <= SIZE_MAX / sizeof(SPixel32) ? new (std::nothrow) SPixel32[n ? n : 1]() : nullptr;
  if (!m_pPixels) {
    m_key.clear();
    m_base = SScreenPoint(0, 0);
    return 0;
  }
  m_width = width;
  m_height = height;
  return 1;
}

void CPixelMap32::Clear() {
  delete[] m_pPixels;
  m_pPixels = nullptr;
  m_width = m_height = 0;
}

namespace {

// Every colour and transparency channel the layer has holds all of its pixels, and it has one:
// a layer whose data is missing or short cannot ask for a map larger than the file.
bool HoldsPixels(const CPsdLayer& layer) {
  const size_t n = (size_t)layer.GetWidth() * (size_t)layer.GetHeight();
  if (n == 0) return true;
  bool any = false;
  for (const SPsdChannel* ch : {layer.m_pRed, layer.m_pGreen, layer.m_pBlue, layer.m_pAlpha}) {
    if (!ch) continue;
    if (ch->data.size() < n) return false;
    any = true;
  }
  return any;
}

}  // namespace

namespace zq_assets {

int CopyLayer(CPixelMap32& map, const CPsdLayer& layer, const char* path) {
  // An inverted rectangle is an empty layer; a side beyond the format's 30000, or more pixels than
  // the layer's channels hold, is refused, never a huge allocation.
  if (layer.GetWidth() > 30000 || layer.GetHeight() > 30000 || !HoldsPixels(layer)) return 0;
  if (!map.Create((DWORD)layer.GetWidth(), (DWORD)layer.GetHeight())) return 0;
  SPixel32* dst = map.GetData();
  for (int32_t y = 0; y < layer.GetHeight(); ++y)
    for (int32_t x = 0; x < layer.GetWidth(); ++x) *dst++ = layer.GetPixel(layer.m_left + x, layer.m_top + y);
  map.SetKey(FileNamePart(path) + "\\" + layer.m_name);
  map.SetBasePoint(SScreenPoint(layer.m_left, layer.m_top));
  return 1;
}

std::unique_ptr<CPsdDocument> ParsePsdFile(const char* path) {
  std::filebuf file;
  if (!path || !*path || !file.open(MapPath(path), std::ios::in | std::ios::binary)) return nullptr;
  auto doc = std::make_unique<CPsdDocument>();
  doc->Parse(file);  // a failed parse keeps the layers read so far
  return doc;
}

}  // namespace zq_assets

SScreenPoint CPixelMap32::LoadFromPsdLayer(const char* path, const char* name, int index) {
  if (!m_pDoc || m_docName != (path ? path : "")) {
    // Emptied first: a read failure thrown by the parser leaves no stale cache behind.
    delete m_pDoc;
    m_pDoc = nullptr;
    m_docName.clear();
    std::unique_ptr<CPsdDocument> doc = zq_assets::ParsePsdFile(path);
    if (!doc) return SScreenPoint(0, 0);
    m_pDoc = doc.release();
    m_docName = path;
  }
  const CPsdLayer* layer = name ? m_pDoc->FindLayer(name) : m_pDoc->GetLayer(index);
  if (!layer || !zq_assets::CopyLayer(*this, *layer, path)) return SScreenPoint(0, 0);
  return SScreenPoint(-layer->m_left, -layer->m_top);
}

SScreenPoint CPixelMap32::LoadFromPsdFile(const char* path, const char* layer) {
  if (!layer) return SScreenPoint(0, 0);
  return LoadFromPsdLayer(path, layer, -1);
}

SScreenPoint CPixelMap32::LoadFromPsdFile(const char* path, int layer) {
  return LoadFromPsdLayer(path, nullptr, layer);
}
