#include "texture_fixture.h"
#include "engine_window.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace texture_test {

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, int v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

}  // namespace

int32_t I32(const std::vector<uint8_t>& b, size_t at) {
  return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
}

void Put32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t((uint32_t)v >> (8 * i));
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void PutBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

void WriteTga(const std::string& path, const Image& img) {
  std::vector<uint8_t> b(18 + 4 * img.argb.size());
  b[2] = 2;  // true colour
  Put16(b, 12, img.width);
  Put16(b, 14, img.height);
  b[16] = 32;
  b[17] = 0x28;  // 8 alpha bits, top row first
  for (size_t i = 0; i < img.argb.size(); ++i) {
    uint32_t p = img.argb[i];
    b[18 + 4 * i] = uint8_t(p);
    b[19 + 4 * i] = uint8_t(p >> 8);
    b[20 + 4 * i] = uint8_t(p >> 16);
    b[21 + 4 * i] = uint8_t(p >> 24);
  }
  PutBytes(path, b);
}

void WriteBmp(const std::string& path, const Image& img) {
  const int row = (img.width * 3 + 3) & ~3;
  std::vector<uint8_t> b(54 + (size_t)row * img.height);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, (int32_t)b.size());
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, img.width);
  Put32(b, 22, img.height);
  Put16(b, 26, 1);
  Put16(b, 28, 24);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      uint32_t p = img.At(x, img.height - 1 - y);
      size_t at = 54 + (size_t)y * row + 3 * x;
      b[at] = uint8_t(p);
      b[at + 1] = uint8_t(p >> 8);
      b[at + 2] = uint8_t(p >> 16);
    }
  PutBytes(path, b);
}

void FillMap(CPixelMap32& map, const Image& img) {
  map.Create((DWORD)img.width, (DWORD)img.height);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) map.At(x, y) = SPixel32((DWORD)img.At(x, y));
}

void WritePgm(const std::string& path, const Image& img) {
  CPixelMap32 map;
  FillMap(map, img);
  ASSERT_EQ(map.SaveToPGM(path.c_str(), 1), 1);
}

std::vector<uint32_t> Pixels(CDxSurface& s) {
  std::vector<uint32_t> out;
  for (DWORD y = 0; y < s.GetHeight(); ++y)
    for (DWORD x = 0; x < s.GetWidth(); ++x)
      out.push_back(s.GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr));
  return out;
}

void TextureTest::SetUp() {
  wnd = OpenEngineWindow("textures");
  app = new CZqApp;
  ASSERT_EQ(app->InitApp(wnd), 1);
  engine = new CZqEngine;
  ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
  ASSERT_NE(engine->GetD3dDevice(), nullptr);
}

void TextureTest::TearDown() {
  delete engine;
  delete pack;
  delete app;
  CloseEngineWindow();
}

void TextureTest::MakePack(const std::vector<std::pair<std::string, std::string>>& keyAndFile) {
  std::vector<uint8_t> index(1000, 0);
  memcpy(index.data(), "ZQS2003a", 8);
  memcpy(&index[16], "store", 5);
  Put32(index, 275, 1000);
  PutBytes(dir.file("Data.Zqs"), index);
  pack = new CZqSource;
  ASSERT_EQ(pack->Load(dir.file("Data.Zqs").c_str()), 1);
  for (auto& [key, file] : keyAndFile) ASSERT_NE(pack->ImportFile(key.c_str(), file.c_str()), nullptr) << key;
  engine->SetSource(pack);
}

}  // namespace texture_test
