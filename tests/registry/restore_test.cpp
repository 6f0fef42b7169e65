// Registered textures, texture groups and particles across a lost device: after RestoreEngine
// they draw their pixels again, and a picture that cannot come back keeps the device lost.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "started_engine.h"
#include "runtime_support.h"
#include "tga_files.h"
#include "zqplatform/display_hooks.h"

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write((const char*)b.data(), (std::streamsize)b.size());
}

void Fill(CZqSurface* s, uint32_t argb) {
  BYTE* bits = nullptr;
  LONG pitch = 0;
  ASSERT_GE(s->BeginLock(&bits, &pitch), 0);
  for (DWORD y = 0; y < s->GetHeight(); ++y)
    for (DWORD x = 0; x < s->GetWidth(); ++x) std::memcpy(bits + y * pitch + x * 4, &argb, 4);
  s->EndLock();
}

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;

class RegistryRestore : public StartedEngineTest<> {
 protected:
  void TearDown() override {
    delete engine;
    engine = nullptr;
    delete pack;
    StartedEngineTest::TearDown();
  }
  // A pack "Data.Zqs" holding one file under `key`; returns the stored data file.
  std::string MakePack(const char* key, const std::string& file) {
    std::vector<uint8_t> index(1000, 0);
    std::memcpy(index.data(), "ZQS2003a", 8);
    std::memcpy(&index[16], "store", 5);
    const int32_t count = 1000;
    std::memcpy(&index[275], &count, 4);
    WriteBytes(dir.file("Data.Zqs"), index);
    pack = new CZqSource;
    EXPECT_EQ(pack->Load(dir.file("Data.Zqs").c_str()), 1);
    EXPECT_NE(pack->ImportFile(key, file.c_str()), nullptr);
    engine->SetSource(pack);
    sFileInfo* info = engine->FindSource(key);
    std::string stored = info ? info->m_szFile : "";
    for (char& ch : stored)
      if (ch == '\\') ch = '/';  // the pack's paths are written the data's way
    return stored;
  }
  void Lose() {
    zqDisplayMarkAllSurfacesLost();
    EXPECT_EQ(engine->_RenderEngine(), DDERR_SURFACELOST);
  }
  // Black back buffer, then each texture as it stands at (10 x i, 0), copied as it is.
  void Draw(const std::vector<CZqTexture*>& textures) {
    CZqSurface* back = engine->GetBackSurface();
    ASSERT_NE(back, nullptr);
    back->Clear(back->ConvertColor(0xFF000000));
    engine->PreparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_MODULATE, D3DTOP_MODULATE);
    for (size_t i = 0; i < textures.size(); ++i)
      EXPECT_EQ(engine->Render_PaintFast(long(10 * i), 0, textures[i], 0.0f, 1, 1, 1.0f, 0xFFFFFF), 0) << i;
  }
  uint32_t Px(long x, long y) {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) | 0xFF000000u;
  }

  ScratchDir dir;
  CZqSource* pack = nullptr;
};

TEST_F(RegistryRestore, TexturesAndGroupsDrawAgainAfterTheDeviceIsRebuilt) {
  WriteSolidTga("red.tga", 4, 4, kRed);
  WriteSolidTga("green.tga", 4, 4, kGreen);
  WriteSolidTga("blue.tga", 4, 4, kBlue);
  {  // a texture-group file of one yellow frame: its frames are made anew after a loss
    CZqTextureGroup authoring(engine);
    CZqTexture* frame = authoring.InsertTexture(-1);
    ASSERT_EQ(frame->CreateEx(4, 4, D3DX_SF_A8R8G8B8, 0), 0);
    Fill(frame, kYellow);
    ASSERT_GT(authoring.Export("yellow.txg", 1), 0);
  }
  CZqTexture* texture = engine->FindTexture("red.tga");
  ASSERT_NE(texture, nullptr);
  ASSERT_EQ(texture->RestoreObjects(), 0);
  CZqTextureGroup* list = engine->FindTextureGroup("green.tga,blue.tga");
  CZqTextureGroup* file = engine->FindTextureGroup("yellow.txg");
  ASSERT_NE(list, nullptr);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->GetNumTexture(), 1);
  auto frames = [&] {
    return std::vector<CZqTexture*>{texture, list->GetTexture(0), list->GetTexture(1), file->GetTexture(0)};
  };
  const uint32_t expected[] = {kRed, kGreen, kBlue, kYellow};

  Draw(frames());
  for (int i = 0; i < 4; ++i) ASSERT_EQ(Px(10 * i + 1, 1), expected[i]) << "before the loss, " << i;

  Lose();
  ASSERT_EQ(engine->RestoreEngine(), 0);
  ASSERT_FALSE(engine->IsLost());
  const std::vector<CZqTexture*> restored = frames();
  Draw(restored);
  for (int i = 0; i < 4; ++i) {
    // The software device would still sample a lost surface: its state tells.
    ASSERT_NE(restored[i]->GetDDrawSurface(), nullptr) << i;
    EXPECT_EQ(restored[i]->GetDDrawSurface()->IsLost(), DD_OK) << i;
    EXPECT_EQ(Px(10 * i + 1, 1), expected[i]) << "after the restore, " << i;
    EXPECT_EQ(Px(10 * i + 5, 1), 0xFF000000u) << "nothing beyond the picture, " << i;
  }
  EXPECT_EQ(engine->FindTexture("red.tga"), texture) << "the same shared object";
}

TEST_F(RegistryRestore, APictureThatCannotComeBackIsReportedUntilItCan) {
  WriteSolidTga("source.tga", 2, 2, kRed);
  const std::string stored = MakePack("packed.tga", dir.file("source.tga"));
  ASSERT_FALSE(stored.empty());
  WriteSolidTga("plain.tga", 2, 2, kBlue);
  const struct {
    const char* name;
    std::string file;  // what the texture is made from
    uint32_t colour;
  } cases[] = {{"packed.tga", stored, kRed}, {"plain.tga", "plain.tga", kBlue}};

  // Never made, so never lost: it does not hold the device.
  WriteBytes("never.tga", {'j', 'u', 'n', 'k'});
  ASSERT_NE(engine->FindTexture("never.tga"), nullptr);

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CZqTexture* texture = engine->FindTexture(c.name);
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->RestoreObjects(), 0);
    const std::vector<uint8_t> good = [&] {
      std::ifstream in(c.file, std::ios::binary);
      return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    WriteBytes(c.file, {'j', 'u', 'n', 'k'});

    Lose();
    EXPECT_EQ(engine->RestoreEngine(), E_FAIL);
    EXPECT_TRUE(engine->IsLost());

    WriteBytes(c.file, good);
    ASSERT_EQ(engine->RestoreEngine(), 0);
    EXPECT_FALSE(engine->IsLost());
    Draw({texture});
    EXPECT_EQ(Px(0, 0), c.colour);
  }
}

// A group file's base point and a caller's move are where they were after the device came back,
// each applied once, also after a second loss.
TEST_F(RegistryRestore, GroupBasePointsAreKeptAcrossLosses) {
  WriteSolidTga("green.tga", 4, 4, kGreen);
  {
    CZqTextureGroup authoring(engine);
    ASSERT_EQ(authoring.SetStreamSource("green.tga", 0), 1);
    ASSERT_GT(authoring.Export("green.txg", 1), 0);
  }
  std::vector<uint8_t> bytes;
  {
    std::ifstream in("green.txg", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_GE(bytes.size(), 44u);
  const int32_t base[2] = {6, -8};  // the group's own base point in the file
  std::memcpy(&bytes[36], base, sizeof base);
  WriteBytes("green.txg", bytes);

  CZqTextureGroup* group = engine->FindTextureGroup("green.txg");
  ASSERT_NE(group, nullptr);
  ASSERT_NE(group->GetTexture(0), nullptr);
  EXPECT_EQ(group->GetTexture(0)->GetBasePoint(), SScreenPoint(6, -8));
  group->SetBasePoint(10, 1);
  for (int loss = 0; loss < 2; ++loss) {
    SCOPED_TRACE(loss);
    Lose();
    ASSERT_EQ(engine->RestoreEngine(), 0);
    CZqTexture* frame = group->GetTexture(0);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->GetDDrawSurface(), nullptr);
    EXPECT_EQ(frame->GetBasePoint(), SScreenPoint(16, -7));
    EXPECT_EQ(group->GetBasePoint(), SScreenPoint(6, -8));
  }
}

TEST_F(RegistryRestore, ParticlesAreRebuiltInTheTexturesCallersHold) {
  ASSERT_GE(engine->BuildParticles(), 0);
  CZqTexture* particle = engine->FindParticle(0);
  ASSERT_NE(particle, nullptr);
  Lose();
  ASSERT_EQ(engine->RestoreEngine(), 0);
  EXPECT_EQ(engine->FindParticle(0), particle);
  EXPECT_EQ(engine->FindParticle(1), nullptr);
  ASSERT_NE(particle->GetDDrawSurface(), nullptr);
  EXPECT_EQ(particle->GetWidth(), 32u);
  EXPECT_EQ((uint32_t)particle->GetPixelInfo(14, 3, nullptr, nullptr, nullptr, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ((uint32_t)particle->GetPixelInfo(31, 3, nullptr, nullptr, nullptr, nullptr), 0x0E6BFFFFu);
}

TEST_F(RegistryRestore, WithoutParticlesNoneAreMadeByARestore) {
  Lose();
  ASSERT_EQ(engine->RestoreEngine(), 0);
  EXPECT_EQ(engine->FindParticle(0), nullptr);
}

}  // namespace
