// The engine's texture registries: textures and groups shared by name, the groups' own removal
// while the engine deletes them, and the particle texture.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "started_engine.h"
#include "runtime_support.h"
#include "tga_files.h"
#include "zqplatform/display_hooks.h"

namespace {

// A 2x2 uncompressed 32-bit TGA, opaque white.
void WriteTga(const std::string& path) { WriteSolidTga(path, 2, 2, 0xFFFFFFFF); }

class TextureRegistry : public StartedEngineTest<> {
 protected:
  ScratchDir dir;
};

TEST_F(TextureRegistry, TexturesAreSharedByExactNameAndDeletedByTheSoundCacheCleanup) {
  EXPECT_EQ(engine->FindTexture(nullptr), nullptr);
  EXPECT_EQ(engine->FindTexture(""), nullptr);
  CZqTexture* a = engine->FindTexture("a.tga");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(engine->FindTexture("a.tga"), a);
  EXPECT_EQ(a->Release(), 1) << "the second request added one user";
  CZqTexture* upper = engine->FindTexture("A.tga");
  EXPECT_NE(upper, a);
  EXPECT_EQ(upper->Release(), 0);

  engine->CleanupSoundCache();
  CZqTexture* fresh = engine->FindTexture("a.tga");
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Release(), 0) << "a new texture after the registry was emptied";
}

TEST_F(TextureRegistry, GroupsAreSharedRetriedAfterFailureAndForgottenWhenDeleted) {
  EXPECT_EQ(engine->FindTextureGroup(nullptr), nullptr);
  EXPECT_EQ(engine->FindTextureGroup("g.tga"), nullptr);
  WriteTga(dir.file("g.tga"));
  CZqTextureGroup* g = engine->FindTextureGroup("g.tga");
  ASSERT_NE(g, nullptr) << "a failed load is retried";
  EXPECT_EQ(engine->FindTextureGroup("g.tga"), g);
  EXPECT_EQ(g->AddUser(), 3);

  delete g;  // leaves the registry itself
  CZqTextureGroup* again = engine->FindTextureGroup("g.tga");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->AddUser(), 2) << "a new group";

  engine->FreeTextureGroup("g.tga");  // forgotten, not deleted: still usable, ours to delete
  EXPECT_EQ(again->GetNumTexture(), 1);
  delete again;
}

TEST_F(TextureRegistry, DestroyingTheEngineDeletesEveryGroupOnce) {
  WriteTga(dir.file("a.tga"));
  WriteTga(dir.file("b.tga"));
  for (const char* name : {"a.tga", "b.tga", "a.tga,b.tga"})
    ASSERT_NE(engine->FindTextureGroup(name), nullptr) << name;
  ASSERT_NE(engine->FindTexture("a.tga"), nullptr);
  EXPECT_EQ(engine->FindTextureGroup("missing.tga"), nullptr);  // a null entry among them
  engine->DestroyEngine();
  EXPECT_NE(engine->FindTextureGroup("a.tga"), nullptr) << "registered anew after the teardown";
}

TEST_F(TextureRegistry, ParticleIsAGlowingVerticalBar) {
  EXPECT_EQ(engine->FindParticle(0), nullptr);
  ASSERT_GE(engine->BuildParticles(), 0);
  ASSERT_GE(engine->BuildParticles(), 0);  // replaces, never adds
  EXPECT_EQ(engine->FindParticle(1), nullptr);
  CZqTexture* p = engine->FindParticle(0);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->GetWidth(), 32u);
  ASSERT_EQ(p->GetHeight(), 32u);

  auto at = [&](int x, int y) { return (uint32_t)p->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr); };
  // Alpha falls with the cosine of the distance from the centre; every row is the same.
  const std::vector<std::pair<int, uint32_t>> known = {{14, 0xFFFFFFFF}, {17, 0xFFFFFFFF}, {13, 0x936BFFFF},
                                                       {18, 0x936BFFFF}, {12, 0x8F6BFFFF}, {0, 0x0E6BFFFF},
                                                       {31, 0x0E6BFFFF}};
  for (int y : {0, 17, 31})
    for (auto [x, v] : known) EXPECT_EQ(at(x, y), v) << x << "," << y;
  for (int x = 0; x < 13; ++x) {
    EXPECT_EQ(at(x, 5) & 0xFFFFFF, 0x6BFFFFu) << x;
    EXPECT_EQ(at(31 - x, 5), at(x, 5)) << "symmetric " << x;
    EXPECT_LT(at(x, 5) >> 24, at(x + 1, 5) >> 24) << x;
  }

  engine->CleanupParticles();
  EXPECT_EQ(engine->FindParticle(0), nullptr);
  ASSERT_GE(engine->BuildParticles(), 0);  // the engine's destructor deletes this one
}

TEST_F(TextureRegistry, ParticleNeedsAWhole32BitTexture) {
  ASSERT_GE(engine->BuildParticles(), 0);
  zqDisplaySetMaxTextureSize(16);  // the rows would overrun a smaller texture
  EXPECT_LT(engine->BuildParticles(), 0);
  EXPECT_EQ(engine->FindParticle(0), nullptr);
}

}  // namespace
