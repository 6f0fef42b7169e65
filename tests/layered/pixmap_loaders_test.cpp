// Pixel maps and groups cut from the layers of files written by ImageMagick.
#include <gtest/gtest.h>

#include <cstdio>

#include "ZqLib.h"
#include "assets_support.h"
#include "editor_files.h"
#include "peak_memory.h"
#include "psd_builder.h"

using namespace assets_test;

namespace {

// A 40 x 50 document with layer "Alpha" (3 x 2, with transparency) at (30, 40) and "Beta" (2 x 2) at (0, 2).
std::string WriteFile(const ScratchDir& dir, const std::string& name) {
  return WriteLayeredFile(dir, name, 40, 50, 30, 40, "RLE");
}

void ExpectPixels(const CPixelMap32& map, const Picture& tool) {
  ASSERT_EQ(map.GetWidth(), (unsigned long)tool.width);
  ASSERT_EQ(map.GetHeight(), (unsigned long)tool.height);
  for (int y = 0; y < tool.height; ++y)
    for (int x = 0; x < tool.width; ++x) ASSERT_EQ(map.At(x, y).Value(), tool.Argb(x, y)) << x << "," << y;
}

}  // namespace

TEST(PsdPixelMap, LayersByNameAndIndexFromOneParse) {
  ScratchDir dir;
  std::string psd = WriteFile(dir, "doc.psd");
  Picture alpha = ToolPixels(psd, 1), beta = ToolPixels(psd, 2);

  CPixelMap32 map;
  EXPECT_EQ(map.LoadFromPsdFile(psd.c_str(), "Alpha"), SScreenPoint(-30, -40));
  EXPECT_EQ(map.GetBasePoint(), SScreenPoint(30, 40));
  EXPECT_EQ(map.GetName(), "doc.psd\\Alpha");
  ExpectPixels(map, alpha);

  // The document is kept: the second layer comes from the cache although the file is gone.
  ASSERT_EQ(remove(psd.c_str()), 0);
  EXPECT_EQ(map.LoadFromPsdFile(psd.c_str(), 1), SScreenPoint(0, -2));
  EXPECT_EQ(map.GetName(), "doc.psd\\Beta");
  ExpectPixels(map, beta);

  // Unknown layers leave the map as it was.
  EXPECT_EQ(map.LoadFromPsdFile(psd.c_str(), "Gamma"), SScreenPoint(0, 0));
  EXPECT_EQ(map.LoadFromPsdFile(psd.c_str(), 2), SScreenPoint(0, 0));
  EXPECT_EQ(map.GetName(), "doc.psd\\Beta");
  ExpectPixels(map, beta);

  // Another file replaces the cached document; one that does not open empties the cache.
  std::string other = WriteFile(dir, "other.psd");
  EXPECT_EQ(map.LoadFromPsdFile(other.c_str(), "Alpha"), SScreenPoint(-30, -40));
  EXPECT_EQ(map.GetName(), "other.psd\\Alpha");
  EXPECT_EQ(map.LoadFromPsdFile((dir / "missing.psd").c_str(), 0), SScreenPoint(0, 0));
  ASSERT_EQ(remove(other.c_str()), 0);
  EXPECT_EQ(map.LoadFromPsdFile(other.c_str(), 0), SScreenPoint(0, 0));  // parsed again, and gone
}

TEST(PsdPixelMap, GroupTakesEveryLayer) {
  ScratchDir dir;
  std::string psd = WriteFile(dir, "doc.psd");
  Picture alpha = ToolPixels(psd, 1), beta = ToolPixels(psd, 2);
  CPixMapGroup group;
  ASSERT_EQ(group.LoadFromPSD(psd.c_str()), 1);
  ASSERT_EQ(group.GetPixmapCount(), 2);
  EXPECT_EQ(group.GetPixmap(0)->GetName(), "doc.psd\\Alpha");
  EXPECT_EQ(group.GetPixmap(0)->GetBasePoint(), SScreenPoint(30, 40));
  ExpectPixels(*group.GetPixmap(0), alpha);
  EXPECT_EQ(group.GetPixmap(1)->GetBasePoint(), SScreenPoint(0, 2));
  ExpectPixels(*group.GetPixmap(1), beta);

  EXPECT_EQ(group.AddFromPSD(psd.c_str()), 2);  // the count before adding
  EXPECT_EQ(group.GetPixmapCount(), 4);
  EXPECT_EQ(group.GetPixmap(3)->GetName(), "doc.psd\\Beta");

  EXPECT_EQ(group.AddFromPSD((dir / "missing.psd").c_str()), 0);
  EXPECT_EQ(group.GetPixmapCount(), 4);
  EXPECT_EQ(group.LoadFromPSD((dir / "missing.psd").c_str()), 0);
  EXPECT_EQ(group.GetPixmapCount(), 0);

  // An inverted layer rectangle is an empty map, not a huge one.
  WriteBytes(dir / "inv.psd",
             psd_test::Build(2, 2, {psd_test::Layer{5, 3, 2, 1, "inv", {psd_test::Raw(0, {})}}}));
  ASSERT_EQ(group.LoadFromPSD((dir / "inv.psd").c_str()), 1);
  ASSERT_EQ(group.GetPixmapCount(), 1);
  EXPECT_EQ(group.GetPixmap(0)->GetWidth(), 0ul);
  EXPECT_EQ(group.GetPixmap(0)->GetHeight(), 0ul);
}

// Layers whose channels cannot fill their rectangle are refused before any allocation, whatever
// size they claim; the layers read completely before a broken one stay usable.
TEST(PsdPixelMap, LayersLargerThanTheirDataAllocateNothing) {
  using namespace psd_test;
  constexpr int32_t kSide = 30000;
  // A PackBits channel of kSide rows whose first row takes more bytes than its count allows.
  Channel broken{0, {0, 1}};
  Put(broken.stored, 5, 2);
  for (int32_t y = 1; y < kSide; ++y) Put(broken.stored, 2, 2);
  broken.stored.insert(broken.stored.end(), {0x81, 6, 0x81, 6, 0x81, 6});
  const Layer small{0, 0, 1, 2, "small", {Raw(0, {7, 8})}};
  struct Case {
    const char* what;
    std::vector<Layer> layers;
  };
  const Case cases[] = {
      {"no channels", {small, Layer{0, 0, kSide, kSide, "big", {}}}},
      {"only a user mask", {small, Layer{0, 0, kSide, kSide, "big", {Raw(-2, {})}}}},
      {"a channel that fails", {small, Layer{0, 0, kSide, kSide, "big", {broken}}}},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / "big.psd";
    WriteBytes(path, Build(2, 1, c.layers));
    const long grown = test_memory::PeakGrowthKb([&] {
      CPixelMap32 map;
      EXPECT_EQ(map.LoadFromPsdFile(path.c_str(), "big"), SScreenPoint(0, 0));
      EXPECT_EQ(map.GetData(), nullptr);
      EXPECT_EQ(map.LoadFromPsdFile(path.c_str(), "small"), SScreenPoint(0, 0));
      ASSERT_EQ(map.GetWidth(), 2ul);
      EXPECT_EQ(map.At(1, 0).Value(), 0xFF080808u);

      CPixMapGroup group;
      const int loaded = group.LoadFromPSD(path.c_str());
      // A refused layer empties the group as a failed allocation does; a broken one is not there.
      if (c.layers[1].channels.size() == 1 && c.layers[1].channels[0].id == 0) {
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(group.GetPixmapCount(), 1);
      } else {
        EXPECT_EQ(loaded, 0);
        EXPECT_EQ(group.GetPixmapCount(), 0);
      }
    });
    EXPECT_LT(grown, 16 * 1024);
  }
}
