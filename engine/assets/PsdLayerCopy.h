// Cutting layers of a parsed layered image into pixel maps (engine-internal).
#pragma once

#include <memory>

class CPixelMap32;
class CPsdLayer;
class CPsdDocument;

namespace zq_assets {

// The layer's pixels, key "<file name>\<layer name>" and base point (left, top); 0 when allocation fails.
int CopyLayer(CPixelMap32& map, const CPsdLayer& layer, const char* path);
// Null when the file does not open; a short read throws t_streambuf_read_failure.
std::unique_ptr<CPsdDocument> ParsePsdFile(const char* path);

}  // namespace zq_assets
