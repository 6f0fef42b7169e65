// A texture made larger by a scale is written to a texture record that reads back as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "started_engine.h"
#include "runtime_support.h"

namespace {

class ScaledRecord : public StartedEngineTest<> {
 protected:
  static std::vector<uint32_t> Pixels(CZqTexture& t) {
    std::vector<uint32_t> out;
    for (DWORD y = 0; y < t.GetHeight(); ++y)
      for (DWORD x = 0; x < t.GetWidth(); ++x)
        out.push_back(t.GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr));
    return out;
  }

  ScratchDir dir;
};

TEST_F(ScaledRecord, RoundTripKeepsEveryRowOfTheScaledSurface) {
  // 2x1 picture, red then blue, twice its size on the surface.
  CPixelMap32 map;
  ASSERT_EQ(map.Create(2, 1), 1);
  map.At(0, 0) = SPixel32(0xFFFF0000);
  map.At(1, 0) = SPixel32(0xFF0000FF);
  CZqTexture scaled(engine);
  ASSERT_EQ(scaled.CreateFromPixmap(&map, 2, D3DX_SF_A8R8G8B8, 0), 1);
  ASSERT_EQ(scaled.GetWidth(), 4u);
  ASSERT_EQ(scaled.GetHeight(), 2u);
  ASSERT_EQ(scaled.GetWidthEx(), 2u);
  const std::vector<uint32_t> picture = Pixels(scaled);

  for (int rle : {0, 1}) {
    SCOPED_TRACE(rle);
    const std::string path = dir.file("scaled.tex");
    const long size = scaled.Export(path.c_str(), rle);
    ASSERT_GT(size, 0);
    const std::string bytes = ReadFileText(path);
    ASSERT_EQ((long)bytes.size(), size);
    EXPECT_EQ(bytes[0], 4) << "the header's size is that of the rows";
    EXPECT_EQ(bytes[4], 2);

    CZqTexture back(engine);
    ASSERT_EQ(back.Import(path.c_str()), 0);
    EXPECT_EQ(back.GetWidth(), 4u);
    EXPECT_EQ(back.GetHeight(), 2u);
    EXPECT_EQ(Pixels(back), picture);
  }
}

}  // namespace
