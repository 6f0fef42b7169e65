// The layered image reader against files written by ImageMagick and small hand-made files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "ZqLib.h"
#include "assets_support.h"
#include "editor_files.h"
#include "psd_builder.h"

using namespace assets_test;

namespace {

std::stringbuf Bytes(const std::vector<uint8_t>& b) {
  return std::stringbuf(std::string(b.begin(), b.end()), std::ios::in | std::ios::binary);
}

// Gives every layer the pass-through key of layer groups, which is not a blend mode.
void PassThrough(std::vector<uint8_t>& b) {
  for (size_t i = 0; i + 8 <= b.size(); ++i)
    if (!memcmp(&b[i], "8BIMnorm", 8)) memcpy(&b[i + 4], "pass", 4);
}

// A three-image file: the merged picture, then layers "Alpha" (with transparency) at (2, 1) and "Beta" at (0,
// 2).
std::string WriteEditorFile(const ScratchDir& dir, const std::string& compress, bool pass = false) {
  std::string psd = WriteLayeredFile(dir, "f" + compress + ".psd", 6, 4, 2, 1, compress);
  if (pass) {
    auto bytes = ReadBytes(psd);
    PassThrough(bytes);
    WriteBytes(psd, bytes);
  }
  return psd;
}

}  // namespace

class EditorFile : public ::testing::TestWithParam<std::string> {};

TEST_P(EditorFile, LayersMatchTheToolsPixels) {
  ScratchDir dir;
  std::string psd = WriteEditorFile(dir, GetParam());
  std::filebuf in;
  ASSERT_TRUE(in.open(psd, std::ios::in | std::ios::binary));
  CPsdDocument doc;
  ASSERT_TRUE(doc.Parse(in));
  ASSERT_EQ(doc.GetLayerCount(), 2);
  EXPECT_EQ(doc.m_width, 6);
  EXPECT_EQ(doc.m_height, 4);
  struct {
    const char* name;
    int left, top;
  } want[] = {{"Alpha", 2, 1}, {"Beta", 0, 2}};
  for (int i = 0; i < 2; ++i) {
    const CPsdLayer* layer = doc.FindLayer(want[i].name);
    ASSERT_EQ(layer, doc.GetLayer(i)) << want[i].name;
    Picture tool = ToolPixels(psd, i + 1);
    EXPECT_EQ(layer->GetRect(),
              SScreenRect(want[i].left, want[i].top, want[i].left + tool.width, want[i].top + tool.height));
    for (int y = 0; y < tool.height; ++y)
      for (int x = 0; x < tool.width; ++x)
        EXPECT_EQ(layer->GetPixel(want[i].left + x, want[i].top + y).Value(), tool.Argb(x, y))
            << want[i].name << " " << x << "," << y;
    EXPECT_EQ(layer->GetPixel(want[i].left - 1, want[i].top).alpha, 0);  // outside the rectangle
  }
}

INSTANTIATE_TEST_SUITE_P(Compression, EditorFile, ::testing::Values("None", "RLE"));

TEST(LayeredImage, BlendKeyOutsideTheListIsRefused) {
  ScratchDir dir;
  std::string psd = WriteEditorFile(dir, "None", true);
  std::filebuf in;
  ASSERT_TRUE(in.open(psd, std::ios::in | std::ios::binary));
  CPsdDocument doc;
  EXPECT_FALSE(doc.Parse(in));
  EXPECT_EQ(doc.GetLayerCount(), 0);

  psd_test::Layer group{0, 0, 1, 1, "g", {psd_test::Raw(0, {1})}, "pass"};
  auto sb = Bytes(psd_test::Build(1, 1, {group}));
  EXPECT_FALSE(doc.Parse(sb));
}

TEST(LayeredImage, NamesChannelsAndLookups) {
  using namespace psd_test;
  Layer grey{0, 0, 1, 2, "grey", {Raw(0, {7, 9})}};                      // no green, no transparency
  Layer partial{0, 0, 1, 1, "partial", {Raw(1, {50}), Raw(-1, {128})}};  // green only
  Layer uni{0, 0, 1, 1, "plain", {Raw(0, {1})}, "norm", {'p', 'l', 'a', 'i', 'n'}};
  Layer wide{0, 0, 1, 1, "x", {Raw(0, {2})}, "norm", {0x4E2D, 0x0141}};  // code units above 255
  Layer dup1{0, 0, 1, 1, "dup", {Raw(0, {10})}};
  Layer dup2{0, 0, 1, 1, "dup", {Raw(0, {20})}};
  auto sb = Bytes(Build(2, 1, {grey, partial, uni, wide, dup1, dup2}));
  CPsdDocument doc;
  ASSERT_TRUE(doc.Parse(sb));
  ASSERT_EQ(doc.GetLayerCount(), 6);
  EXPECT_EQ(doc.FindLayer("grey")->GetPixel(1, 0).Value(), 0xFF090909u);
  EXPECT_EQ(doc.FindLayer("partial")->GetPixel(0, 0).Value(), 0x80003200u);  // absent red and blue read 0
  EXPECT_EQ(doc.GetLayer(2)->GetName(), "plain");
  EXPECT_EQ(doc.GetLayer(3)->GetName(), std::string("\x2D\x41"));
  EXPECT_EQ(doc.FindLayer("dup")->GetPixel(0, 0).red, 20);
  EXPECT_EQ(doc.FindLayer("none"), nullptr);
  EXPECT_EQ(doc.GetLayer(6), nullptr);
  EXPECT_EQ(doc.m_composite.GetName(), "background");
}

TEST(LayeredImage, PackBitsRows) {
  using namespace psd_test;
  // 0xFE repeats 3 times, 0x80 does nothing, 0x01 copies 2 literal bytes.
  Layer ok{0, 0, 1, 5, "ok", {Packed(0, {{0xFE, 4, 0x80, 0x01, 8, 9}})}};
  auto sb = Bytes(Build(5, 1, {ok}));
  CPsdDocument doc;
  ASSERT_TRUE(doc.Parse(sb));
  const CPsdLayer* l = doc.GetLayer(0);
  uint8_t want[] = {4, 4, 4, 8, 9};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(l->GetPixel(x, 0).red, want[x]) << x;

  // A run longer than the row stays inside the row.
  Layer over{0, 0, 1, 2, "over", {Packed(0, {{0x81, 6}})}};
  auto sb2 = Bytes(Build(2, 1, {over}));
  ASSERT_TRUE(doc.Parse(sb2));
  EXPECT_EQ(doc.GetLayer(0)->GetPixel(1, 0).red, 6);

  // A stored row count that differs from the bytes the row takes fails the parse.
  Layer bad{0, 0, 1, 5, "bad", {Packed(0, {{0xFE, 4, 0x01, 8, 9}}, {6})}};
  auto sb3 = Bytes(Build(5, 1, {bad}));
  EXPECT_FALSE(doc.Parse(sb3));
}

TEST(LayeredImage, ShortFileThrowsAndBadHeadersFail) {
  using namespace psd_test;
  auto good = Build(2, 1, {Layer{0, 0, 1, 2, "a", {Raw(0, {1, 2})}}});
  CPsdDocument doc;
  for (size_t cut : {size_t(3), size_t(20), good.size() - 40, good.size() - 1}) {
    auto sb = Bytes(std::vector<uint8_t>(good.begin(), good.begin() + cut));
    EXPECT_THROW(doc.Parse(sb), t_streambuf_read_failure) << cut;
  }
  struct {
    size_t at;
    uint8_t value;
  } breaks[] = {{0, 'X'}, {5, 2}, {8, 1}, {13, 0}, {13, 25}, {29, 1}};
  for (auto b : breaks) {
    auto bytes = good;
    bytes[b.at] = b.value;
    auto sb = Bytes(bytes);
    EXPECT_FALSE(doc.Parse(sb)) << b.at;
    EXPECT_EQ(doc.GetLayerCount(), 0);
  }
}

TEST(LayeredImage, RectanglesAtTheEdgeOfThe32BitRange) {
  using namespace psd_test;
  // A 1x1 layer in the far corner of the coordinate range reads like any other.
  Layer corner{INT32_MIN, INT32_MAX - 1, INT32_MIN + 1, INT32_MAX, "corner", {Raw(0, {5})}};
  auto sb = Bytes(Build(1, 1, {corner}));
  CPsdDocument doc;
  ASSERT_TRUE(doc.Parse(sb));
  const CPsdLayer* l = doc.GetLayer(0);
  EXPECT_EQ(l->GetWidth(), 1);
  EXPECT_EQ(l->GetPixel(INT32_MAX - 1, INT32_MIN).Value(), 0xFF050505u);
  EXPECT_EQ(l->GetPixel(INT32_MAX, INT32_MIN).alpha, 0);

  // A side longer than 32 bits can measure fails the record; the layers before it stay.
  Layer ok{0, 0, 1, 1, "ok", {Raw(0, {1})}};
  struct {
    int32_t top, left, bottom, right;
  } huge[] = {{0, -2122219135, 1, 2138996349},
              {INT32_MIN, 0, INT32_MAX, 1},
              {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
  for (auto r : huge) {
    auto sb2 = Bytes(Build(1, 1, {ok, Layer{r.top, r.left, r.bottom, r.right, "huge", {}}}));
    EXPECT_FALSE(doc.Parse(sb2)) << r.left << "," << r.top;
    ASSERT_EQ(doc.GetLayerCount(), 1);
    EXPECT_EQ(doc.GetLayer(0)->GetName(), "ok");
  }

  // Set by hand, such a rectangle measures at most INT32_MAX and reads without overflow.
  CPsdLayer wide;
  wide.m_left = -2122219135;
  wide.m_right = 2138996349;
  wide.m_bottom = 1;
  EXPECT_EQ(wide.GetWidth(), INT32_MAX);
  EXPECT_EQ(wide.GetHeight(), 1);
  EXPECT_EQ(wide.GetPixel(2138996348, 0).Value(), 0xFF000000u);  // inside, no channels
}
