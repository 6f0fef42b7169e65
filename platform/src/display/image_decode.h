// Readers of the picture files that D3DX loads textures from (.bmp, .tga), by content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zqdisplay {

// Decodes a BMP or TGA picture into top-down 0xAARRGGBB pixels. False for anything else,
// for damaged data, and for pictures above 16384 pixels a side.
bool decodeImage(const uint8_t* data, size_t size, int* width, int* height, std::vector<uint32_t>& argb);

}  // namespace zqdisplay
