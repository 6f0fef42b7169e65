// Fixture of the texture tests: headless window, manual clock, an application and an engine
// on the software device, in a scratch folder; picture files written byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace texture_test {

// ARGB pixels, rows top to bottom.
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
  uint32_t At(int x, int y) const { return argb[(size_t)y * width + x]; }
};

// Uncompressed 32-bit TGA, top row first.
void WriteTga(const std::string& path, const Image& img);
// 24-bit BMP, bottom row first.
void WriteBmp(const std::string& path, const Image& img);
// An engine picture file of the image.
void WritePgm(const std::string& path, const Image& img);
void FillMap(CPixelMap32& map, const Image& img);

std::vector<uint8_t> Bytes(const std::string& path);
void PutBytes(const std::string& path, const std::vector<uint8_t>& bytes);
int32_t I32(const std::vector<uint8_t>& b, size_t at);
void Put32(std::vector<uint8_t>& b, size_t at, int32_t v);

// Every pixel of a surface as its raw value.
std::vector<uint32_t> Pixels(CDxSurface& s);

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A pack "Data.Zqs" with these files imported under their keys.
  void MakePack(const std::vector<std::pair<std::string, std::string>>& keyAndFile);

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  CZqSource* pack = nullptr;
};

}  // namespace texture_test
