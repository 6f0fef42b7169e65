// Small TGA files made at test time.
#pragma once

#include <cstdint>
#include <string>

// Writes a w x h uncompressed 32-bit TGA of one colour (0xAARRGGBB), top row first.
void WriteSolidTga(const std::string& path, int w, int h, uint32_t argb);
