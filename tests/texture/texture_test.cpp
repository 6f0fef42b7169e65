// Textures: sources, lazy loading, user counts, trimming and the texture record's bytes.
#include <cstdlib>
#include <cstring>

#include "texture_fixture.h"

using namespace texture_test;

namespace {

// Writes raw pixel values (16 or 32 bits) row by row.
void Fill(CZqTexture& t, const std::vector<uint32_t>& values) {
  BYTE* bits = nullptr;
  LONG pitch = 0;
  ASSERT_GE(t.BeginLock(&bits, &pitch), 0);
  const DWORD bytes = t.GetColorCount() / 8;
  for (DWORD y = 0; y < t.GetHeight(); ++y)
    for (DWORD x = 0; x < t.GetWidth(); ++x)
      memcpy(bits + y * pitch + x * bytes, &values[y * t.GetWidth() + x], bytes);
  t.EndLock();
}

const Image kArrow{3, 2, {0xFF102030, 0x00000000, 0x80405060, 0xFF708090, 0xFFA0B0C0, 0x00FFFFFF}};

}  // namespace

TEST_F(TextureTest, RunLengthRecordOfTheWorkedExample) {
  CZqTexture t(engine);
  ASSERT_EQ(t.CreateEx(2, 1, D3DX_SF_A8R8G8B8, 0), 0);
  Fill(t, {0xFF112233, 0x00445566});
  t.SetBasePoint(SScreenPoint(-3, 4));
  const std::string path = dir.file("two.tex");
  ASSERT_EQ(t.Export(path.c_str(), 1), 41);
  const std::vector<uint8_t> expected = {
      2,    0,    0,    0,    1,    0,    0,    0, 2, 0, 0, 0, 41, 0, 0, 0,  // width, height, format, size
      0xFD, 0xFF, 0xFF, 0xFF, 4,    0,    0,    0, 1, 0, 0, 0,               // base point, run-length flag
      0,    0,    0,                                                         // row mark of row 0
      2,    1,    0,    0x33, 0x22, 0x11, 0xFF,                              // one opaque pixel
      128,  13,   0};  // end op: bytes after the header + 3
  EXPECT_EQ(Bytes(path), expected);

  CZqTexture back(engine);
  ASSERT_EQ(back.Import(path.c_str()), 0);
  EXPECT_EQ(Pixels(back), (std::vector<uint32_t>{0xFF112233, 0}));
  EXPECT_EQ(back.GetBasePoint().x, -3);
  EXPECT_EQ(back.GetBasePoint().y, 4);
  EXPECT_EQ(back.GetWidthEx(), 2u);
}

TEST_F(TextureTest, TransparentRowHoldsOnlyItsMark) {
  CZqTexture t(engine);
  ASSERT_EQ(t.CreateEx(3, 3, D3DX_SF_A8R8G8B8, 0), 0);
  Fill(t, {0x00FFFFFF, 0, 0,  //
           0, 0xFF010203, 0,  //
           0, 0, 0});
  const std::string path = dir.file("rows.tex");
  const long size = t.Export(path.c_str(), 1);
  const std::vector<uint8_t> b = Bytes(path);
  ASSERT_EQ((size_t)size, b.size());
  EXPECT_EQ(I32(b, 12), size);
  const std::vector<uint8_t> rows(b.begin() + 28, b.end());
  const std::vector<uint8_t> expected = {0,   0,  0,  // row 0: nothing else
                                         0,   1,  0, 1, 1, 0, 2, 1, 0, 3, 2, 1, 0xFF, 0, 2, 0,  // row 2
                                         128, 22, 0};
  EXPECT_EQ(rows, expected);
}

// Every format and both row codings read back what was written; with run-length, pixels
// without alpha come back cleared, and formats without alpha keep every pixel.
TEST_F(TextureTest, RecordRoundTrips) {
  struct Case {
    D3DX_SURFACEFORMAT format;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> runLengthBack;
  };
  const std::vector<Case> cases = {
      {D3DX_SF_A8R8G8B8,
       {0xFF000001, 0x7F00FF00, 0x00123456, 0x01FFFFFF},
       {0xFF000001, 0x7F00FF00, 0, 0x01FFFFFF}},
      {D3DX_SF_A4R4G4B4, {0xF123, 0x0FFF, 0x1000, 0x0001}, {0xF123, 0, 0x1000, 0}},
      {D3DX_SF_A1R5G5B5, {0x8001, 0x7FFF, 0xFFFF, 0x0000}, {0x8001, 0, 0xFFFF, 0}},
      {D3DX_SF_R5G6B5, {0x0000, 0xF800, 0x07E0, 0x001F}, {0x0000, 0xF800, 0x07E0, 0x001F}},
      {D3DX_SF_X8R8G8B8,
       {0x00000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
       {0, 0x00FF0000, 0x0000FF00, 0x000000FF}},
  };
  for (const Case& c : cases) {
    for (int rle = 0; rle < 2; ++rle) {
      SCOPED_TRACE(testing::Message() << "format " << c.format << " rle " << rle);
      CZqTexture t(engine);
      ASSERT_EQ(t.CreateEx(2, 2, c.format, 0), 0);
      ASSERT_EQ(t.GetSurfaceFormat(), c.format);
      Fill(t, c.pixels);
      t.SetBasePoint(SScreenPoint(5, -6));
      const std::string path = dir.file("rt.tex");
      const long size = t.Export(path.c_str(), rle);
      ASSERT_GT(size, 0);
      const std::vector<uint8_t> b = Bytes(path);
      EXPECT_EQ((size_t)size, b.size());
      EXPECT_EQ(I32(b, 12), size);
      if (!rle) EXPECT_EQ((size_t)size, 28 + 124 + 4 * t.GetColorCount() / 8);

      CZqTexture back(engine);
      ASSERT_EQ(back.Import(path.c_str()), 0);
      EXPECT_EQ(back.GetSurfaceFormat(), c.format);
      EXPECT_EQ(Pixels(back), rle ? c.runLengthBack : c.pixels);
      EXPECT_EQ(back.GetBasePoint().x, 5);
      EXPECT_EQ(back.GetBasePoint().y, -6);

      // Without the size word the rows are read from the stream.
      std::vector<uint8_t> noSize = b;
      Put32(noSize, 12, 0);
      PutBytes(path, noSize);
      CZqTexture streamed(engine);
      ASSERT_EQ(streamed.Import(path.c_str()), 0);
      EXPECT_EQ(Pixels(streamed), rle ? c.runLengthBack : c.pixels);

      CZqTexture memory(engine);
      EXPECT_EQ(memory.LoadFromMemory(b.data(), b.size()), 1);
      EXPECT_EQ(Pixels(memory), rle ? c.runLengthBack : c.pixels);
    }
  }
}

TEST_F(TextureTest, OldLayoutUsesTheStoredDescriptionAndRowLength) {
  CZqTexture model(engine);
  ASSERT_EQ(model.CreateEx(2, 1, D3DX_SF_A8R8G8B8, 0), 0);
  std::vector<uint8_t> b(28 + 124);
  Put32(b, 0, 7);  // logical size kept from the header
  Put32(b, 4, 9);
  Put32(b, 12, 8);  // row length
  Put32(b, 16, 1);
  zqWriteSurfaceDesc(model.GetSurfaceDesc(), b.data() + 28);
  for (uint32_t v : {0xFF0000FFu, 0x80FF0000u})
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
  const std::string path = dir.file("old.tex");
  PutBytes(path, b);
  CZqTexture t(engine);
  ASSERT_EQ(t.Import(path.c_str()), 0);
  EXPECT_EQ(Pixels(t), (std::vector<uint32_t>{0xFF0000FF, 0x80FF0000}));
  EXPECT_EQ(t.GetWidthEx(), 7u);
  EXPECT_EQ(t.GetHeightEx(), 9u);
  EXPECT_EQ(t.GetBasePoint().x, 1);

  b.resize(b.size() - 1);  // a row short
  PutBytes(path, b);
  EXPECT_LT(t.Import(path.c_str()), 0);
}

// Counts and rows that leave the row, the surface or the data are refused.
TEST_F(TextureTest, DamagedRecordsFail) {
  auto record = [](int32_t w, int32_t h, int32_t size, int32_t rle, std::vector<uint8_t> rows) {
    std::vector<uint8_t> b(28);
    Put32(b, 0, w);
    Put32(b, 4, h);
    Put32(b, 8, D3DX_SF_A8R8G8B8);
    Put32(b, 12, size);
    Put32(b, 24, rle);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"copy past the row",
       record(2, 1, 0, 1, {0, 0, 0, 2, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 128, 0, 0})},
      {"skip past the row", record(2, 1, 0, 1, {0, 0, 0, 1, 5, 0, 128, 0, 0})},
      {"copy past the data", record(2, 1, 0, 1, {0, 0, 0, 2, 2, 0, 1, 2, 3})},
      {"rows missing", record(2, 3, 0, 1, {0, 0, 0, 0, 1, 0})},
      {"op cut short", record(1, 1, 0, 1, {0, 0})},
      {"raw rows short", record(2, 2, 0, 0, std::vector<uint8_t>(124 + 15))},
      {"no description", record(2, 2, 0, 0, std::vector<uint8_t>(16))},
      {"size beyond the file", record(1, 1, 500, 1, {0, 0, 0, 128, 0, 0})},
      {"size inside the header", record(1, 1, 10, 1, {0, 0, 0, 128, 0, 0})},
      {"header cut short", std::vector<uint8_t>(20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file("bad.tex");
    PutBytes(path, c.bytes);
    CZqTexture t(engine);
    EXPECT_LT(t.Import(path.c_str()), 0);
    EXPECT_EQ(t.LoadFromMemory(c.bytes.data(), c.bytes.size()), 0);
  }
  CZqTexture t(engine);
  EXPECT_EQ(t.Import(dir.file("missing.tex").c_str()), E_FAIL);
}

TEST_F(TextureTest, ExportNeedsPixels) {
  CZqTexture none(engine);
  EXPECT_EQ(none.Export(dir.file("none.tex").c_str(), 1), 0);
  CZqTexture t(engine);
  ASSERT_EQ(t.CreateEx(1, 1, D3DX_SF_A8R8G8B8, 0), 0);
  EXPECT_EQ(t.Export(dir.file("no-folder/x.tex").c_str(), 1), 0);
}

TEST_F(TextureTest, NameIsKeptAndLoadedLazily) {
  WriteTga(dir.file("a.tga"), kArrow);
  WriteTga(dir.file("b.tga"), Image{1, 1, {0xFF00FF00}});
  CZqTexture t(engine);
  EXPECT_EQ(t.SetStreamSource("a.tga"), 1);
  EXPECT_EQ(t.GetDDrawSurface(), nullptr);  // nothing loaded yet
  ASSERT_EQ(t.RestoreObjects(), 0);
  LPDIRECTDRAWSURFACE7 s = t.GetDDrawSurface();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(t.SetStreamSource("a.tga"), 1);
  EXPECT_EQ(t.GetDDrawSurface(), s);  // the same name changes nothing
  EXPECT_EQ(t.RestoreObjects(), 0);
  EXPECT_EQ(t.GetDDrawSurface(), s);
  EXPECT_EQ(t.SetStreamSource("b.tga"), 1);
  EXPECT_EQ(t.GetDDrawSurface(), nullptr);  // a new name releases at once
  EXPECT_EQ(t.GetName(), "b.tga");

  EXPECT_EQ(t.AddUser(), 2);
  EXPECT_EQ(t.Release(), 1);
  ASSERT_EQ(t.RestoreObjects(), 0);
  EXPECT_EQ(t.Release(), 0);
  EXPECT_NE(t.GetDDrawSurface(), nullptr);  // counts never release
}

// TGA pictures are trimmed to their pixels with alpha; the base point keeps them in place.
TEST_F(TextureTest, FilesAndTrimming) {
  WriteTga(dir.file("arrow.tga"), kArrow);
  CZqTexture tga(engine);
  tga.SetStreamSource("arrow.tga");
  ASSERT_EQ(tga.RestoreObjects(), 0);
  EXPECT_EQ(tga.GetWidth(), 3u);  // columns 0 to 2 and rows 0 to 1 hold alpha
  EXPECT_EQ(Pixels(tga), kArrow.argb);

  Image framed{4, 3, std::vector<uint32_t>(12, 0)};
  framed.argb[1 * 4 + 1] = 0xFF010101;
  framed.argb[1 * 4 + 2] = 0xFF020202;
  CPixelMap32 map;
  FillMap(map, framed);
  map.SetBasePoint(SScreenPoint(10, 20));
  CZqTexture trimmed(engine);
  ASSERT_EQ(trimmed.CreateFromPixmap(&map, 0, D3DX_SF_A8R8G8B8, 0), 1);
  EXPECT_EQ(Pixels(trimmed), (std::vector<uint32_t>{0xFF010101, 0xFF020202}));
  EXPECT_EQ(trimmed.GetBasePoint().x, -1 - 10);
  EXPECT_EQ(trimmed.GetBasePoint().y, -1 - 20);
  CZqTexture scaled(engine);
  ASSERT_EQ(scaled.CreateFromPixmap(&map, 2, D3DX_SF_A8R8G8B8, 0), 1);
  EXPECT_EQ(scaled.GetWidth(), 4u);
  EXPECT_EQ(scaled.GetHeight(), 2u);
  EXPECT_EQ(scaled.GetWidthEx(), 2u);
  EXPECT_EQ(scaled.GetHeightEx(), 1u);
  CZqTexture converted(engine);
  ASSERT_EQ(converted.CreateFromPixmap(&map, 0, D3DX_SF_R5G6B5, 0), 1);  // through a temporary texture
  EXPECT_EQ(converted.GetSurfaceFormat(), D3DX_SF_R5G6B5);
  EXPECT_EQ(converted.GetWidth(), 2u);
  CPixelMap32 empty;
  EXPECT_EQ(CZqTexture(engine).CreateFromPixmap(&empty, 0, D3DX_SF_A8R8G8B8, 0), 0);
  EXPECT_EQ(CZqTexture(engine).CreateFromPixmap(nullptr, 0, D3DX_SF_A8R8G8B8, 0), 0);

  WritePgm(dir.file("arrow.pgm"), kArrow);
  CZqTexture pgm(engine);
  pgm.SetStreamSource("arrow.pgm");
  ASSERT_EQ(pgm.RestoreObjects(), 0);
  EXPECT_EQ(pgm.GetPixelInfo(0, 1, nullptr, nullptr, nullptr, nullptr), 0xFF708090u);

  WriteBmp(dir.file("pic.bmp"), Image{2, 1, {0xFF00FF00, 0xFF804020}});
  CZqTexture bmp(engine);
  bmp.SetStreamSource("pic.bmp");
  ASSERT_EQ(bmp.RestoreObjects(), 0);
  EXPECT_EQ(bmp.GetWidth(), 2u);
  EXPECT_EQ(bmp.GetPixelInfo(1, 0, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFF, 0x804020u);

  // Not a picture the device reads: imported as a texture record.
  CZqTexture model(engine);
  ASSERT_EQ(model.CreateEx(1, 1, D3DX_SF_A8R8G8B8, 0), 0);
  Fill(model, {0xFF445566});
  ASSERT_GT(model.Export(dir.file("one.dat").c_str(), 0), 0);
  CZqTexture rec(engine);
  rec.SetStreamSource("one.dat");
  ASSERT_EQ(rec.RestoreObjects(), 0);
  EXPECT_EQ(Pixels(rec), (std::vector<uint32_t>{0xFF445566}));
  CZqTexture viaGet(engine);
  viaGet.SetStreamSource("one.dat");
  EXPECT_NE(viaGet.GetTexture(), nullptr);  // imports the record

  CZqTexture missing(engine);
  missing.SetStreamSource("nowhere.tga");
  EXPECT_EQ(missing.RestoreObjects(), 0);
  EXPECT_EQ(missing.GetDDrawSurface(), nullptr);
}

TEST_F(TextureTest, ObjectsInsideLargerFiles) {
  // A texture record at byte 100 of a file, and a picture body in a picture-group file.
  CZqTexture model(engine);
  ASSERT_EQ(model.CreateEx(1, 1, D3DX_SF_A8R8G8B8, 0), 0);
  Fill(model, {0xFF778899});
  ASSERT_GT(model.Export(dir.file("rec.tex").c_str(), 1), 0);
  std::vector<uint8_t> big(100, 0xEE);
  std::vector<uint8_t> rec = Bytes(dir.file("rec.tex"));
  big.insert(big.end(), rec.begin(), rec.end());
  PutBytes(dir.file("big.bin"), big);
  CZqTexture inner(engine);
  inner.SetStreamSource((dir.file("big.bin") + ",9,100").c_str());
  ASSERT_EQ(inner.RestoreObjects(), 0);
  EXPECT_EQ(Pixels(inner), (std::vector<uint32_t>{0xFF778899}));

  CPixMapGroup group;
  FillMap(*group.AddPixmap(), kArrow);
  ASSERT_EQ(group.SaveToPGG(dir.file("g.pgg").c_str(), 1), 1);
  const std::vector<uint8_t> pgg = Bytes(dir.file("g.pgg"));
  const int32_t body = I32(pgg, I32(pgg, 24));
  CZqTexture pic(engine);
  pic.SetStreamSource((dir.file("g.pgg") + ",7," + std::to_string(body)).c_str());
  ASSERT_EQ(pic.RestoreObjects(), 0);
  EXPECT_EQ(pic.GetPixelInfo(0, 0, nullptr, nullptr, nullptr, nullptr), 0xFF102030u);

  CZqTexture other(engine);
  other.SetStreamSource((dir.file("big.bin") + ",5,100").c_str());
  EXPECT_EQ(other.RestoreObjects(), E_FAIL);
  CZqTexture unopened(engine);
  unopened.SetStreamSource("missing.bin,9,0");
  EXPECT_EQ(unopened.RestoreObjects(), E_FAIL);
}

TEST_F(TextureTest, PackEntries) {
  WriteTga(dir.file("arrow.tga"), kArrow);
  WritePgm(dir.file("arrow.pgm"), kArrow);
  PutBytes(dir.file("broken.tga"), {1, 2, 3});
  PutBytes(dir.file("notes.txt"), {'h', 'i'});
  MakePack({{"ui\\arrow.tga", dir.file("arrow.tga")},
            {"ui\\arrow.pgm", dir.file("arrow.pgm")},
            {"ui\\broken.tga", dir.file("broken.tga")},
            {"ui\\notes.txt", dir.file("notes.txt")}});
  CZqTexture tga(engine);
  tga.SetStreamSource("ui\\arrow.tga");
  ASSERT_EQ(tga.RestoreObjects(), 0);
  EXPECT_EQ(tga.GetPixelInfo(2, 0, nullptr, nullptr, nullptr, nullptr), 0x80405060u);
  CZqTexture pgm(engine);
  pgm.SetStreamSource("ui\\arrow.pgm");
  ASSERT_EQ(pgm.RestoreObjects(), 0);
  EXPECT_EQ(pgm.GetPixelInfo(1, 1, nullptr, nullptr, nullptr, nullptr), 0xFFA0B0C0u);
  CZqTexture broken(engine);
  broken.SetStreamSource("ui\\broken.tga");
  EXPECT_LT(broken.RestoreObjects(), 0);  // a TGA that does not load is a failure
  CZqTexture text(engine);
  text.SetStreamSource("ui\\notes.txt");
  EXPECT_EQ(text.RestoreObjects(), E_FAIL);
}

TEST_F(TextureTest, JpegLargerThanTheDeviceUsesAPlainSurface) {
  const std::string pam = dir.file("p.ppm");
  std::vector<uint8_t> ppm;
  const std::string head = "P6\n32 20\n255\n";
  ppm.assign(head.begin(), head.end());
  for (int i = 0; i < 32 * 20; ++i) ppm.insert(ppm.end(), {200, 40, 40});
  PutBytes(pam, ppm);
  ASSERT_EQ(system(("convert " + pam + " -quality 100 " + dir.file("p.jpg")).c_str()), 0);

  CZqTexture fits(engine);
  fits.SetStreamSource("p.jpg");
  ASSERT_EQ(fits.RestoreObjects(), 0);
  EXPECT_EQ(fits.IsTexture(), 1);
  EXPECT_EQ(fits.GetWidth(), 32u);

  zqDisplaySetMaxTextureSize(16);
  CZqTexture big(engine);
  big.SetStreamSource("p.jpg");
  ASSERT_EQ(big.RestoreObjects(), 0);
  EXPECT_EQ(big.IsTexture(), 0);
  EXPECT_EQ(big.GetWidth(), 32u);
  EXPECT_EQ(big.GetHeightEx(), 20u);
  BYTE a, r, g, b;
  big.GetPixelInfo(31, 19, &a, &r, &g, &b);
  EXPECT_NEAR(r, 200, 4);
  EXPECT_NEAR(g, 40, 4);
}

TEST_F(TextureTest, CreationNeedsADevice) {
  CZqTexture t(nullptr);
  EXPECT_EQ(t.CreateEx(4, 4, D3DX_SF_A8R8G8B8, 0), E_FAIL);
  CZqTexture z(engine);
  EXPECT_EQ(z.CreateEx(0, 4, D3DX_SF_A8R8G8B8, 0), 0);
  EXPECT_EQ(z.GetDDrawSurface(), nullptr);
  z.CreateVirtual(30, 40, 5, 6);
  EXPECT_EQ(z.GetWidthEx(), 30u);
  EXPECT_EQ(z.GetHeight(), 40u);
  EXPECT_EQ(z.GetDDrawSurface(), nullptr);
  EXPECT_EQ(z.GetBasePoint().x, 5);
}
