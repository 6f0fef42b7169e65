// The picture body writer shared by the picture and picture-group files (engine-internal).
#pragma once

struct SStreamBuf;
class CPixelMap32;

namespace zq_assets {

// Writes a picture body at the stream's base offset; 1 on success. An empty map is refused unless allowed.
int WritePictureBody(const CPixelMap32& map, SStreamBuf* stream, long format, bool allowEmpty);

}  // namespace zq_assets
