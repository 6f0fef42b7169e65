// D3DX textures from .bmp / .tga files: pixels, orientation, and damaged or lying headers.
#include <cstdio>
#include <string>

#include "display_fixture.h"

namespace {

struct D3dxFiles : DisplayFixture {
  // One file per test: CTest runs the tests of this fixture side by side.
  std::string path = std::string(ZQ_BIN_DIR) + "/d3dx_test_picture_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  void TearDown() override {
    std::remove(path.c_str());
    DisplayFixture::TearDown();
  }
  void write(const std::vector<BYTE>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  HRESULT load(LPDIRECTDRAWSURFACE7* tex, DWORD* w, DWORD* h) {
    D3DX_SURFACEFORMAT f = D3DX_SF_A8R8G8B8;
    *w = *h = 0;
    return D3DXCreateTextureFromFile(dev, nullptr, w, h, &f, nullptr, tex, nullptr, path.data(),
                                     D3DX_FT_POINT);
  }
};

void le16(std::vector<BYTE>& b, DWORD v) {
  b.push_back(BYTE(v));
  b.push_back(BYTE(v >> 8));
}
void le32(std::vector<BYTE>& b, DWORD v) {
  le16(b, v & 0xFFFF);
  le16(b, v >> 16);
}

// A 24-bit bottom-up BMP of 2x2 pixels (rows padded to 4 bytes).
std::vector<BYTE> bmp2x2() {
  std::vector<BYTE> b = {'B', 'M'};
  le32(b, 54 + 16);
  le32(b, 0);
  le32(b, 54);
  le32(b, 40);
  le32(b, 2);
  le32(b, 2);
  le16(b, 1);
  le16(b, 24);
  for (int i = 0; i < 6; ++i) le32(b, 0);
  // bottom row first: (0,1) blue, (1,1) white; top row: (0,0) red, (1,0) green
  const BYTE rows[16] = {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0};
  b.insert(b.end(), rows, rows + 16);
  return b;
}

// A run-length 32-bit TGA of 3x1 pixels with its origin at the top-left.
std::vector<BYTE> tga3x1(DWORD width, DWORD height) {
  std::vector<BYTE> b = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  le16(b, width);
  le16(b, height);
  b.push_back(32);
  b.push_back(0x28);  // 8 alpha bits, top-left origin
  // a run of two half-transparent red pixels, then one raw opaque blue pixel
  const BYTE body[] = {0x81, 0, 0, 0xFF, 0x80, 0x00, 0xFF, 0, 0, 0xFF};
  b.insert(b.end(), body, body + sizeof body);
  return b;
}

}  // namespace

TEST_F(D3dxFiles, BmpAndTgaLoadAtTheirOwnSize) {
  LPDIRECTDRAWSURFACE7 t = nullptr;
  DWORD w, h;
  write(bmp2x2());
  ASSERT_EQ(load(&t, &w, &h), S_OK);
  EXPECT_EQ(w, 2u);
  EXPECT_EQ(h, 2u);
  EXPECT_EQ(pixel(t, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(pixel(t, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(pixel(t, 0, 1), 0xFF0000FFu);
  EXPECT_EQ(pixel(t, 1, 1), 0xFFFFFFFFu);
  t->Release();
  write(tga3x1(3, 1));
  ASSERT_EQ(load(&t, &w, &h), S_OK);
  EXPECT_EQ(w, 3u);
  EXPECT_EQ(pixel(t, 0, 0), 0x80FF0000u);
  EXPECT_EQ(pixel(t, 1, 0), 0x80FF0000u);
  EXPECT_EQ(pixel(t, 2, 0), 0xFF0000FFu);
  t->Release();
}

TEST_F(D3dxFiles, DamagedFilesAndHeadersPromisingMoreThanTheDataFail) {
  std::vector<BYTE> shortBmp = bmp2x2();
  shortBmp.resize(shortBmp.size() - 3);
  std::vector<BYTE> hugeBmp = bmp2x2();
  hugeBmp[18] = 0xFF;
  hugeBmp[19] = 0x3F;  // width 16383 without the rows to match
  std::vector<BYTE> shortTga = tga3x1(3, 1);
  shortTga.resize(shortTga.size() - 1);
  const std::vector<BYTE> cases[] = {
      shortBmp,         hugeBmp,
      shortTga,         tga3x1(16384, 16384),  // ten bytes of runs cannot hold 2^28 pixels
      tga3x1(0, 1),     tga3x1(16385, 1),
      {'B', 'M', 0, 0}, {}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    write(cases[i]);
    LPDIRECTDRAWSURFACE7 t = reinterpret_cast<LPDIRECTDRAWSURFACE7>(1);
    DWORD w, h;
    EXPECT_TRUE(FAILED(load(&t, &w, &h))) << "case " << i;
    EXPECT_EQ(t, nullptr) << "case " << i;
  }
  const int before = zqDisplayLiveSurfaceCount();
  std::remove(path.c_str());
  LPDIRECTDRAWSURFACE7 t = nullptr;
  DWORD w, h;
  EXPECT_TRUE(FAILED(load(&t, &w, &h)));  // missing file
  EXPECT_EQ(zqDisplayLiveSurfaceCount(), before);
}
