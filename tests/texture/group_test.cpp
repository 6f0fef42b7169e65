// Texture groups: name forms, lazy frames, the frame cache, texture-group files and authoring.
#include <cstdio>
#include <fstream>

#include "texture_fixture.h"

using namespace texture_test;

namespace {

Image Solid(uint32_t argb) { return Image{2, 1, {argb, argb}}; }

uint32_t FirstPixel(CZqTexture* t) {
  return t ? t->GetPixelInfo(0, 0, nullptr, nullptr, nullptr, nullptr) : 0;
}

// Remembers when the frame list changed.
class CountingGroup : public CZqTextureGroup {
 public:
  using CZqTextureGroup::CZqTextureGroup;
  void OnInitialize() override { ++changes; }
  int changes = 0;
};

}  // namespace

TEST_F(TextureTest, NumberedPatterns) {
  struct Case {
    const char* name;
    int result;
    std::vector<std::string> frames;
  };
  const std::vector<Case> cases = {
      {"frame%02d.tga#1,3", 1, {"frame01.tga", "frame02.tga", "frame03.tga"}},
      {"f%d.tga#7,7", 1, {"f7.tga"}},
      {"f%d.tga#3 1", 0, {}},
      {"f%-3d|#9;10", 1, {"f9  |", "f10 |"}},
      {"100%%_%x.tga#10,11", 1, {"100%_a.tga", "100%_b.tga"}},
      {"f%d.tga", 0, {}},        // no range
      {"f%d.tga#4", 0, {}},      // one number
      {"f%s.tga#1,2", 0, {}},    // not an integer conversion
      {"f%d%d.tga#1,2", 0, {}},  // two conversions
      {"f%%.tga#1,2", 0, {}},    // none
      {"f%n.tga#1,2", 0, {}},
      {"f%.3d.tga#1,2", 0, {}},
      {"f%ld.tga#1,2", 0, {}},
      {"f%999d.tga#1,2", 0, {}},
      {"f%d.tga#0,999999", 0, {}},  // more frames than a pattern may name
      {"f%d#-99999999999999999999,0", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingGroup g(engine);
    EXPECT_EQ(g.SetStreamSource(c.name, 0), c.result);
    ASSERT_EQ(g.GetNumTexture(), (int)c.frames.size());
    EXPECT_EQ(g.changes, c.result);
    for (size_t i = 0; i < c.frames.size(); ++i) EXPECT_EQ(g.GetTexture((int)i)->GetName(), c.frames[i]);
  }
}

TEST_F(TextureTest, GroupNameForms) {
  WriteTga(dir.file("a.tga"), Solid(0xFF0000AA));
  WriteTga(dir.file("b.tga"), Solid(0xFF0000BB));
  PutBytes(dir.file("s.wav"), {'R', 'I', 'F', 'F'});
  PutBytes(dir.file("x.ini"), {'['});

  CZqTextureGroup list(engine);
  ASSERT_EQ(list.SetStreamSource("a.tga, b.tga", 0), 1);
  ASSERT_EQ(list.GetNumTexture(), 2);
  EXPECT_EQ(list.GetTexture(0)->GetName(), "a.tga");
  EXPECT_EQ(FirstPixel(list.GetTexture(1)), 0xFF0000BBu);
  EXPECT_EQ(list.GetTexture(2), nullptr);
  EXPECT_EQ(list.GetTexture(-1), nullptr);

  CZqTextureGroup file(engine);
  ASSERT_EQ(file.SetStreamSource("a.tga", 0), 1);
  EXPECT_EQ(file.GetSourceType(), FFT_TGA);
  ASSERT_EQ(file.GetNumTexture(), 1);
  EXPECT_EQ(file.GetTexture(0)->GetDDrawSurface() != nullptr, true);

  for (const char* none : {"s.wav", "x.ini"}) {
    CZqTextureGroup g(engine);
    EXPECT_EQ(g.SetStreamSource(none, 0), 1) << none;
    EXPECT_EQ(g.GetNumTexture(), 0) << none;
  }
  CZqTextureGroup missing(engine);
  EXPECT_EQ(missing.SetStreamSource("missing.tga", 0), 0);

  CPixMapGroup pixmaps;
  FillMap(*pixmaps.AddPixmap(), Solid(0xFF000011));
  FillMap(*pixmaps.AddPixmap(), Solid(0xFF000022));
  ASSERT_EQ(pixmaps.SaveToPGG(dir.file("g.pgg").c_str(), 1), 1);
  CZqTextureGroup pgg(engine);
  ASSERT_EQ(pgg.SetStreamSource("g.pgg", 0), 1);
  ASSERT_EQ(pgg.GetNumTexture(), 2);
  EXPECT_EQ(pgg.GetTexture(1)->GetName().rfind("g.pgg,7,", 0), 0u);
  EXPECT_EQ(FirstPixel(pgg.GetTexture(1)), 0xFF000022u);
  EXPECT_EQ(pgg.LoadFromPGG(dir.file("a.tga").c_str()), 0);  // no "PGG" signature

  MakePack({{"anim\\g.pgg", dir.file("g.pgg")},
            {"anim\\a.tga", dir.file("a.tga")},
            {"anim\\x.ini", dir.file("x.ini")}});
  CZqTextureGroup packed(engine);
  ASSERT_EQ(packed.SetStreamSource("anim\\g.pgg", 0), 1);
  EXPECT_EQ(packed.GetSourceType(), FFT_PGG);
  EXPECT_EQ(FirstPixel(packed.GetTexture(0)), 0xFF000011u);
  CZqTextureGroup packedTga(engine);
  ASSERT_EQ(packedTga.SetStreamSource("anim\\a.tga", 0), 1);
  EXPECT_EQ(FirstPixel(packedTga.GetTexture(0)), 0xFF0000AAu);
  CZqTextureGroup packedIni(engine);
  EXPECT_EQ(packedIni.SetStreamSource("anim\\x.ini", 0), 0);
}

// Frames leave the cache in the order they entered it, whatever their later use.
TEST_F(TextureTest, FrameCacheIsFirstInFirstOut) {
  for (int i = 0; i < 3; ++i) WriteTga(dir.file("f" + std::to_string(i) + ".tga"), Solid(0xFF000000u + i));
  CZqTextureGroup g(engine);
  ASSERT_EQ(g.SetStreamSource("f%d.tga#0,2", 0), 1);
  g.SetCacheSize(2);
  CZqTexture* f0 = g.GetTexture(0);
  CZqTexture* f1 = g.GetTexture(1);
  EXPECT_EQ(g.GetTexture(0), f0);
  ASSERT_NE(f0->GetDDrawSurface(), nullptr);
  CZqTexture* f2 = g.GetTexture(2);
  EXPECT_EQ(f0->GetDDrawSurface(), nullptr);  // first in, first out
  EXPECT_NE(f1->GetDDrawSurface(), nullptr);
  EXPECT_NE(f2->GetDDrawSurface(), nullptr);
  EXPECT_EQ(FirstPixel(g.GetTexture(0)), 0xFF000000u);  // restored; 1 leaves now
  EXPECT_EQ(f1->GetDDrawSurface(), nullptr);

  g.ClearCache();
  EXPECT_EQ(f2->GetDDrawSurface(), nullptr);
  // Without a cache a loaded frame stays loaded.
  g.SetCacheSize(0);
  for (int i : {0, 1, 2, 0}) g.GetTexture(i);
  for (int i = 0; i < 3; ++i) EXPECT_NE(g.GetTexture(i)->GetDDrawSurface(), nullptr);

  // Deleting frames leaves stale cache entries that must not be touched.
  g.SetCacheSize(2);
  g.ClearCache();
  g.GetTexture(1);
  g.GetTexture(2);
  ASSERT_EQ(g.DeleteTexture(2), 1);
  ASSERT_EQ(g.DeleteTexture(1), 1);
  EXPECT_NE(g.GetTexture(0), nullptr);
}

// A group exported and imported again, lazily and at once; the header's settings travel.
TEST_F(TextureTest, TextureGroupFileRoundTrip) {
  WriteTga(dir.file("a.tga"), Image{3, 1, {0xFF0000AA, 0, 0xFF0000AB}});
  WriteTga(dir.file("b.tga"), Solid(0xFF0000BB));
  CZqTextureGroup g(engine);
  ASSERT_EQ(g.SetStreamSource("a.tga,b.tga", 0), 1);
  g.SetTeam(3);
  g.SetBaseAngle(1.5f);
  g.SetDefaultDelay(250);
  const std::string path = dir.file("g.txg");
  const long size = g.Export(path.c_str(), 1);
  const std::vector<uint8_t> b = Bytes(path);
  ASSERT_EQ((size_t)size, b.size());
  EXPECT_EQ(std::string((const char*)b.data()), "ZQTG2003a");
  EXPECT_EQ(I32(b, 16), 2);
  EXPECT_EQ(I32(b, 20), 3);
  EXPECT_EQ(I32(b, 32), 250);
  EXPECT_EQ(I32(b, 44), 52);
  EXPECT_EQ(I32(b, 48), 52 + I32(b, 52 + 12));  // after the first record
  EXPECT_EQ(size, 52 + I32(b, 52 + 12) + I32(b, I32(b, 48) + 12));

  for (int load = 0; load < 2; ++load) {
    SCOPED_TRACE(load);
    CZqTextureGroup back(engine);
    ASSERT_EQ(back.SetStreamSource("g.txg", load), 1);
    EXPECT_EQ(back.IsImported(), 1);
    ASSERT_EQ(back.GetNumTexture(), 2);
    EXPECT_EQ(back.GetTeam(), 3u);
    EXPECT_EQ(back.GetBaseAngle(), 1.5f);
    EXPECT_EQ(back.GetDefaultDelay(), 250u);
    if (!load) EXPECT_EQ(back.GetTexture(1)->GetName(), "g.txg,9," + std::to_string(I32(b, 48)));
    EXPECT_EQ(Pixels(*back.GetTexture(0)), (std::vector<uint32_t>{0xFF0000AA, 0, 0xFF0000AB}));
    EXPECT_EQ(FirstPixel(back.GetTexture(1)), 0xFF0000BBu);
  }

  struct Delay {
    int32_t stored;
    DWORD read;
  };
  for (Delay d : {Delay{5, 1000}, Delay{10, 1000}, Delay{11, 11}}) {
    std::vector<uint8_t> patched = b;
    Put32(patched, 32, d.stored);
    PutBytes(path, patched);
    CZqTextureGroup back(engine);
    ASSERT_EQ(back.Import(path.c_str(), 0), 0);
    EXPECT_EQ(back.GetDefaultDelay(), d.read) << d.stored;
  }

  struct Bad {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> wrongSig = b, hugeCount = b, negative = b, badRecord = b;
  wrongSig[0] = 'X';
  Put32(hugeCount, 16, 0x10000000);
  Put32(negative, 16, -1);
  Put32(badRecord, 48, (int32_t)b.size() + 100);  // the second record beyond the file
  for (const Bad& c :
       {Bad{"signature", wrongSig}, Bad{"count beyond the file", hugeCount}, Bad{"negative count", negative},
        Bad{"short", std::vector<uint8_t>(b.begin(), b.begin() + 30)}}) {
    PutBytes(path, c.bytes);
    CZqTextureGroup back(engine);
    EXPECT_EQ(back.Import(path.c_str(), 0), E_FAIL) << c.what;
    EXPECT_EQ(back.Import(path.c_str(), 1), E_FAIL) << c.what;
  }
  PutBytes(path, badRecord);
  CZqTextureGroup back(engine);
  EXPECT_LT(back.Import(path.c_str(), 1), 0);
  EXPECT_EQ(back.GetNumTexture(), 0);  // a failing record cleans the group
  EXPECT_EQ(back.Import(dir.file("missing.txg").c_str(), 0), E_FAIL);
}

// After a device loss the frames of a texture-group file are read from it again, every time.
TEST_F(TextureTest, ImportedGroupSurvivesRepeatedRelease) {
  WriteTga(dir.file("a.tga"), Solid(0xFF0000AA));
  WriteTga(dir.file("b.tga"), Solid(0xFF0000BB));
  CZqTextureGroup g(engine);
  ASSERT_EQ(g.SetStreamSource("a.tga,b.tga", 0), 1);
  ASSERT_GT(g.Export(dir.file("g.txg").c_str(), 0), 0);
  MakePack({{"anim\\g.txg", dir.file("g.txg")}});
  CZqTextureGroup back(engine);
  ASSERT_EQ(back.SetStreamSource("anim\\g.txg", 0), 1);
  EXPECT_EQ(back.GetSourceType(), FFT_TXG);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(FirstPixel(back.GetTexture(1)), 0xFF0000BBu);
    EXPECT_EQ(FirstPixel(back.GetTexture(0)), 0xFF0000AAu);
    back.ReleaseObjects();
    EXPECT_EQ(back.IsImported(), 1);
  }
}

TEST_F(TextureTest, SaveHeaderRewritesOnlyAMatchingFile) {
  WriteTga(dir.file("a.tga"), Solid(0xFF0000AA));
  CZqTextureGroup g(engine);
  ASSERT_EQ(g.SetStreamSource("a.tga", 0), 1);
  const std::vector<uint8_t> tga = Bytes(dir.file("a.tga"));
  EXPECT_EQ(g.SaveHeader(), 0);  // not a texture-group file: left alone
  EXPECT_EQ(Bytes(dir.file("a.tga")), tga);
  ASSERT_GT(g.Export(dir.file("g.txg").c_str(), 1), 0);

  CZqTextureGroup back(engine);
  ASSERT_EQ(back.SetStreamSource("g.txg", 0), 1);
  const std::vector<uint8_t> before = Bytes(dir.file("g.txg"));
  back.SetTeam(9);
  back.SetDefaultDelay(77);
  back.SetCacheSize(4);
  EXPECT_EQ(back.SaveHeader(), 1);
  std::vector<uint8_t> after = Bytes(dir.file("g.txg"));
  EXPECT_EQ(I32(after, 20), 9);
  EXPECT_EQ(I32(after, 28), 4);
  EXPECT_EQ(I32(after, 32), 77);
  EXPECT_EQ(std::vector<uint8_t>(after.begin() + 44, after.end()),
            std::vector<uint8_t>(before.begin() + 44, before.end()));

  back.InsertTexture(-1);  // the stored table no longer matches
  EXPECT_EQ(back.SaveHeader(), 0);
  EXPECT_EQ(Bytes(dir.file("g.txg")), after);
}

TEST_F(TextureTest, GroupAuthoringAndUsers) {
  WriteTga(dir.file("a.tga"), Solid(0xFF0000AA));
  CountingGroup g(engine);
  ASSERT_EQ(g.SetStreamSource("a.tga,a.tga", 0), 1);
  CZqTexture* first = g.GetTexture(0);
  CZqTexture* added = g.InsertTexture(0);
  EXPECT_EQ(g.GetTexture(1), first);
  CZqTexture* appended = g.InsertTexture(99);
  EXPECT_EQ(g.GetTexture(3), appended);
  EXPECT_EQ(g.GetNumTexture(), 4);
  EXPECT_EQ(g.SwapTexture(0, 1), 1);
  EXPECT_EQ(g.GetTexture(1), added);
  EXPECT_EQ(g.SwapTexture(0, 4), 0);
  EXPECT_EQ(g.DeleteTexture(1), 1);
  EXPECT_EQ(g.DeleteTexture(3), 0);
  EXPECT_EQ(g.GetNumTexture(), 3);
  EXPECT_EQ(g.changes, 4);  // load, two inserts, one delete

  CZqTextureGroup moved(engine);
  ASSERT_EQ(moved.SetStreamSource("a.tga", 0), 1);
  moved.SetBasePoint(4, -2);
  EXPECT_EQ(moved.GetTexture(0)->GetBasePoint().x, 4);
  EXPECT_EQ(moved.GetTexture(0)->GetBasePoint().y, -2);
  EXPECT_EQ(moved.GetBasePoint().x, 0);

  EXPECT_EQ(g.AddUser(), 2);
  EXPECT_EQ(g.Release(), 1);
  EXPECT_EQ(g.GetNumTexture(), 3);
  EXPECT_EQ(g.Release(), 0);
  EXPECT_EQ(g.GetNumTexture(), 0);
  EXPECT_EQ(g.GetName(), "a.tga,a.tga");
}

namespace {

SScreenPoint Base(CZqTextureGroup& g, int i) {
  CZqTexture* t = g.GetTexture(i);
  return t ? t->GetBasePoint() : SScreenPoint(-999, -999);
}

// Bytes this process has passed through read() so far.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = -1;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

}  // namespace

// The base point stored in a group file and the moves callers make survive device losses (each
// applied once) and a write and read back.
TEST_F(TextureTest, GroupBasePointsSurviveLossesAndARoundTrip) {
  WriteTga(dir.file("a.tga"), Solid(0xFF0000AA));
  WriteTga(dir.file("b.tga"), Solid(0xFF0000BB));
  CZqTextureGroup made(engine);
  ASSERT_EQ(made.SetStreamSource("a.tga,b.tga", 0), 1);
  made.GetTexture(1)->SetBasePoint(SScreenPoint(2, -3));
  made.SetBasePoint(10, 20);
  EXPECT_EQ(Base(made, 0), SScreenPoint(10, 20));
  EXPECT_EQ(Base(made, 1), SScreenPoint(12, 17));
  const std::string path = dir.file("g.txg");
  ASSERT_GT(made.Export(path.c_str(), 1), 0);
  std::vector<uint8_t> stored = Bytes(path);
  Put32(stored, 36, 5);  // the group's own base point, as a file may hold it
  Put32(stored, 40, 7);
  PutBytes(path, stored);

  for (int load = 0; load < 2; ++load) {
    SCOPED_TRACE(load);
    CZqTextureGroup g(engine);
    ASSERT_EQ(g.SetStreamSource("g.txg", load), 1);
    EXPECT_EQ(g.GetBasePoint(), SScreenPoint(5, 7));
    EXPECT_EQ(Base(g, 0), SScreenPoint(15, 27));  // the record's and the group's, whether loaded now or later
    g.SetBasePoint(1, 1);
    for (int loss = 0; loss < 2; ++loss) {
      SCOPED_TRACE(loss);
      g.ReleaseObjects();
      EXPECT_EQ(Base(g, 0), SScreenPoint(16, 28));
      EXPECT_EQ(Base(g, 1), SScreenPoint(18, 25));
      EXPECT_EQ(g.GetBasePoint(), SScreenPoint(5, 7));
    }
    const std::string again = dir.file("again" + std::to_string(load) + ".txg");
    ASSERT_GT(g.Export(again.c_str(), 0), 0);
    EXPECT_EQ(I32(Bytes(again), 36), 5);
    CZqTextureGroup back(engine);
    ASSERT_EQ(back.SetStreamSource(again.c_str(), load), 1);
    EXPECT_EQ(Base(back, 0), SScreenPoint(16, 28));
    EXPECT_EQ(Base(back, 1), SScreenPoint(18, 25));
  }

  // Frames of other groups come back from their pictures with the moves, also when the cache let
  // them go.
  CZqTextureGroup cached(engine);
  ASSERT_EQ(cached.SetStreamSource("a.tga,b.tga", 0), 1);
  cached.SetCacheSize(1);
  cached.SetBasePoint(3, 4);  // fetching frame 1 releases frame 0, which the next fetch restores
  EXPECT_EQ(Base(cached, 0), SScreenPoint(3, 4));
  cached.ReleaseObjects();
  EXPECT_EQ(Base(cached, 1), SScreenPoint(3, 4));
  EXPECT_EQ(Base(cached, 0), SScreenPoint(3, 4));

  // A frame whose picture is gone is not moved on every try, and is placed once when it is back.
  CZqTextureGroup lazy(engine);
  ASSERT_EQ(lazy.Import(path.c_str(), 0), 0);
  ASSERT_EQ(Base(lazy, 1), SScreenPoint(17, 24));
  lazy.ClearCache();
  ASSERT_EQ(remove(path.c_str()), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lazy.GetTexture(1)->GetDDrawSurface(), nullptr);
  PutBytes(path, stored);
  EXPECT_EQ(Base(lazy, 1), SScreenPoint(17, 24));
}

// Each record of a group file is read by its own size: importing many frames reads the file about
// once, not from every record to the end.
TEST_F(TextureTest, ImportingAGroupFileReadsEachRecordOnce) {
  constexpr int kFrames = 64;
  Image img{16, 16, std::vector<uint32_t>(256, 0xFF102030)};
  for (int i = 0; i < kFrames; ++i) {
    img.argb[0] = 0xFF000000u + i;
    WriteTga(dir.file("f" + std::to_string(i) + ".tga"), img);
  }
  CZqTextureGroup g(engine);
  ASSERT_EQ(g.SetStreamSource(("f%d.tga#0," + std::to_string(kFrames - 1)).c_str(), 0), 1);
  const std::string path = dir.file("many.txg");
  const long size = g.Export(path.c_str(), 0);
  ASSERT_GT(size, 0);
  const long long before = BytesRead();
  if (before < 0) GTEST_SKIP() << "no read accounting in /proc/self/io";
  CZqTextureGroup back(engine);
  ASSERT_EQ(back.SetStreamSource("many.txg", 1), 1);
  const long long read = BytesRead() - before;
  ASSERT_EQ(back.GetNumTexture(), kFrames);
  EXPECT_EQ(FirstPixel(back.GetTexture(kFrames - 1)), 0xFF000000u + kFrames - 1);
  EXPECT_LT(read, 2LL * size) << "file of " << size << " bytes";
}
