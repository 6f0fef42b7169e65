// The game base: style, lifetime as the engine's current game, frame work and device restore.
#include <memory>

#include "game_fixture.h"
#include "input_recorder.h"

namespace gametest {
namespace {

// Records what the engine's frame pipeline hands to the game.
class RecordingGame : public CZqGame {
 public:
  using CZqGame::CZqGame;
  long Update(DWORD elapsed) override {
    updates.push_back(elapsed);
    return 0;
  }
  long Render() override {
    ++renders;
    return CZqGame::Render();
  }
  long Draw(CZqSurface* surface) override {
    drawnOn = surface;
    return 0;
  }
  void ReleaseSource() override {
    order.push_back("release");
    CZqGame::ReleaseSource();
  }
  int RestoreSourceForGame() override {
    order.push_back("restore");
    return CZqGame::RestoreSourceForGame();
  }
  std::vector<DWORD> updates;
  int renders = 0;
  CZqSurface* drawnOn = nullptr;
  std::vector<std::string> order;
};

TEST_F(GameTest, StyleIsDefaultAndComparedExactly) {
  CZqGame game(engine);
  EXPECT_STREQ(game.GetStyle(), "default");
  EXPECT_EQ(game.GetZqEngine(), engine);
  EXPECT_EQ(game.GetMainUI()->GetZqEngine(), engine);
  EXPECT_EQ(game.GetMainUI()->GetParent(), nullptr);
  EXPECT_EQ(engine->GetGamePtr(), nullptr);  // the owner makes it current
  const struct {
    const char* text;
    int expected;
  } cases[] = {{"default", 1}, {"Default", 0}, {"defaul", 0}, {"defaults", 0}, {"", 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_EQ(game.IsStyle(c.text), c.expected);
  }
}

TEST_F(GameTest, OnlyTheCurrentGameIsForgottenByTheEngine) {
  auto current = std::make_unique<CZqGame>(engine);
  auto other = std::make_unique<CZqGame>(engine);
  engine->SetGame(current.get());
  other.reset();
  EXPECT_EQ(engine->GetGamePtr(), current.get());
  current->Cleanup();
  EXPECT_EQ(engine->GetGamePtr(), nullptr);

  engine->SetGame(current.get());
  current.reset();
  EXPECT_EQ(engine->GetGamePtr(), nullptr);
}

TEST_F(GameTest, TheFramePassHandsElapsedTimeAndTheBackBufferToTheGame) {
  RecordingGame game(engine);
  engine->SetGame(&game);
  app->DoIdle();
  game.updates.clear();
  game.renders = 0;
  zqAdvanceClock(25);
  app->DoIdle();
  ASSERT_EQ(game.updates.size(), 1u);
  EXPECT_EQ(game.updates[0], 250u);  // 0.1 ms units
  EXPECT_EQ(game.renders, 1);
  EXPECT_EQ(game.drawnOn, engine->GetBackSurface());

  // Without a game the frame goes on and draws nothing of it.
  engine->SetGame(nullptr);
  zqAdvanceClock(25);
  EXPECT_EQ(app->DoIdle(), 1);
  EXPECT_EQ(game.updates.size(), 1u);
}

// A child at the main panel's top-left that records what reaches it.
class RecordingPanel : public InputRecorder<CZqUIPanel> {
 public:
  using InputRecorder::InputRecorder;

 protected:
  DWORD Answer() const override { return 7; }
};

TEST_F(GameTest, InputReachesTheMainPanelInItsOwnCoordinates) {
  CZqGame game(engine);
  ASSERT_EQ(game.GetMainUI()->Create(nullptr, SScreenPoint(100, 50), nullptr), 1);
  auto* child = new RecordingPanel(game.GetMainUI());  // owned by the main panel
  ASSERT_EQ(child->Create(nullptr, SScreenPoint(0, 0), nullptr), 1);

  const SScreenPoint at(110, 60);
  // A child's result comes back through the main panel (the release walk returns the last one).
  EXPECT_EQ(game.OnMouseMove(1, at), 7u);
  EXPECT_EQ(game.OnMouseWheel(2, -120, at), 7u);
  EXPECT_EQ(game.OnLButtonDown(1, at), 7u);
  EXPECT_EQ(game.OnLButtonUp(0, at), 7u);
  EXPECT_EQ(game.OnLButtonDbClk(1, at), 7u);
  EXPECT_EQ(game.OnRButtonDown(2, at), 1u);  // a handled right press answers 1
  EXPECT_EQ(game.OnRButtonUp(0, at), 7u);
  EXPECT_EQ(game.OnRButtonDbClk(2, at), 7u);
  EXPECT_EQ(game.OnChar('a', 2, 0x1E0001), 7u);
  EXPECT_EQ(game.OnKeyDown(0xFFFFFFBBu, 3, 0xC0000), 7u);
  EXPECT_EQ(game.OnKeyUp(0x25, 1, 0x4B0001), 7u);

  const std::vector<std::string> names{"move", "wheel", "ldown", "lup",     "ldbl", "rdown",
                                       "rup",  "rdbl",  "char",  "keydown", "keyup"};
  ASSERT_EQ(child->calls.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(child->calls[i].name, names[i]);
    if (i < 8) EXPECT_EQ(child->calls[i].point, SScreenPoint(10, 10));
  }
  EXPECT_EQ(child->calls[1].b, UINT(-120));
  EXPECT_EQ((std::vector<UINT>{child->calls[9].a, child->calls[9].b, child->calls[9].c}),
            (std::vector<UINT>{0xFFFFFFBBu, 3, 0xC0000}));
  EXPECT_EQ((std::vector<UINT>{child->calls[8].a, child->calls[8].b, child->calls[8].c}),
            (std::vector<UINT>{'a', 2, 0x1E0001}));
}

class RenderTest : public GameTest {
 protected:
  // A 20x10 red main panel at (100, 50).
  void LoadMain(CZqGame& game) {
    WriteTga(dir.file("red.tga"), 20, 10, 0xFFFF0000);
    WriteText(dir.file("main.ini"),
              "[SETING]\nsize=20,10\nvisible=true\nenable=true\n[IMAGE]\nnormal=red.tga\n");
    ASSERT_EQ(game.GetMainUI()->Create("main.ini", SScreenPoint(100, 50), "main"), 1);
  }
  DWORD RenderState(D3DRENDERSTATETYPE s) {
    DWORD v = 0;
    engine->GetD3dDevice()->GetRenderState(s, &v);
    return v;
  }
  DWORD StageState(D3DTEXTURESTAGESTATETYPE s) {
    DWORD v = 0;
    engine->GetD3dDevice()->GetTextureStageState(0, s, &v);
    return v;
  }
};

TEST_F(RenderTest, RenderSetsThePaintStateAndDrawsTheMainPanelAtItsTopLeft) {
  CZqGame game(engine);
  LoadMain(game);
  engine->PreparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
  engine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  engine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  Clear();
  ASSERT_EQ(engine->GetD3dDevice()->BeginScene(), 0);
  EXPECT_EQ(game.Render(), 0);
  engine->GetD3dDevice()->EndScene();

  EXPECT_EQ(RenderState(D3DRENDERSTATE_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
  EXPECT_EQ(RenderState(D3DRENDERSTATE_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
  EXPECT_EQ(StageState(D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE2X));
  EXPECT_EQ(StageState(D3DTSS_ALPHAOP), DWORD(D3DTOP_MODULATE));
  EXPECT_EQ(StageState(D3DTSS_MAGFILTER), DWORD(D3DTFG_POINT));
  EXPECT_EQ(StageState(D3DTSS_MINFILTER), DWORD(D3DTFN_POINT));

  // The panels' grey vertex colour under "modulate twice" leaves the picture's colour.
  EXPECT_GE(Px(100, 50) >> 16, 0xFDu);
  EXPECT_EQ(Px(100, 50) & 0xFFFF, 0u);
  EXPECT_GE(Px(119, 59) >> 16, 0xFDu);
  EXPECT_EQ(Px(99, 50), 0u);
  EXPECT_EQ(Px(100, 49), 0u);
  EXPECT_EQ(Px(120, 50), 0u);
  EXPECT_EQ(Px(100, 60), 0u);
}

TEST_F(RenderTest, AfterADeviceLossTheGameRestoresAfterTheSharedTexturesAndShowsItsPanelAgain) {
  RecordingGame game(engine);
  LoadMain(game);
  WriteText(dir.file("cap.ini"), "[SETING]\nsize=40,16\nvisible=true\nenable=true\nis_caption=true\n");
  CZqUIPanel* caption = new CZqUIPanel(game.GetMainUI());
  ASSERT_EQ(caption->Create("cap.ini", SScreenPoint(0, 0), "cap"), 1);
  caption->SetHeaderRect(SScreenRect(0, 0, 40, 16));
  ASSERT_GE(caption->RestoreSource(), 0);
  ASSERT_NE(caption->GetCaptionTexture()->GetTexture(), nullptr);
  engine->SetGame(&game);

  zqDisplayMarkAllSurfacesLost();
  ASSERT_GE(engine->RestoreEngine(), 0);
  EXPECT_EQ(game.order, (std::vector<std::string>{"release", "restore"}));
  EXPECT_FALSE(engine->IsLost());
  // The caption texture of the whole tree exists again at the header's size.
  ASSERT_NE(caption->GetCaptionTexture()->GetTexture(), nullptr);
  EXPECT_EQ(caption->GetCaptionTexture()->GetWidthEx(), 40u);
  EXPECT_EQ(game.RestoreSourceForGame(), 1);

  // The panel's picture draws on the new device.
  Clear();
  app->DoIdle();
  zqAdvanceClock(20);
  app->DoIdle();
  EXPECT_GE(Px(110, 55) >> 16, 0xFDu);
}

// A 20x10 child in one colour whose draw or restore can be made to fail.
class BlockPanel : public CZqUIPanel {
 public:
  using CZqUIPanel::CZqUIPanel;
  long OnDraw(SScreenPoint at) override {
    CZqUIPanel::OnDraw(at);
    return drawResult;
  }
  long RestoreSource() override {
    ++restores;
    return restoreResult < 0 ? restoreResult : CZqUIPanel::RestoreSource();
  }
  long drawResult = 0;
  long restoreResult = 0;
  int restores = 0;
};

class FailingChildTest : public RenderTest {
 protected:
  // Main panel at (100, 50) with children back (red, x 0), middle (green, x 30) and front (blue,
  // x 60); each is created in front of the one before.
  void Build(CZqGame& game) {
    WriteText(dir.file("main.ini"), "[SETING]\nsize=100,20\nvisible=true\nenable=true\n");
    ASSERT_EQ(game.GetMainUI()->Create("main.ini", SScreenPoint(100, 50), "main"), 1);
    const DWORD colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int i = 0; i < 3; ++i) {
      const std::string name = "c" + std::to_string(i);
      WriteTga(dir.file(name + ".tga"), 20, 10, colours[i]);
      WriteText(dir.file(name + ".ini"),
                "[SETING]\nsize=20,10\nvisible=true\nenable=true\nis_caption=true\n[IMAGE]\nnormal=" + name +
                    ".tga\n");
      child[i] = new BlockPanel(game.GetMainUI());
      ASSERT_EQ(child[i]->Create((name + ".ini").c_str(), SScreenPoint(30 * i, 0), name.c_str()), 1);
      child[i]->SetHeaderRect(SScreenRect(0, 0, 20, 10));
    }
  }
  BlockPanel* child[3] = {};
};

TEST_F(FailingChildTest, AFailingDrawStopsTheSiblingsInFrontAndReachesTheFrame) {
  CZqGame game(engine);
  Build(game);
  child[1]->drawResult = E_FAIL;
  engine->SetGame(&game);
  Clear();
  ASSERT_EQ(engine->GetD3dDevice()->BeginScene(), 0);
  EXPECT_EQ(game.Render(), E_FAIL);
  engine->GetD3dDevice()->EndScene();
  EXPECT_GE(Px(105, 55) >> 16, 0xFDu) << "the child behind was drawn";
  EXPECT_GE((Px(135, 55) >> 8) & 0xFF, 0xFDu) << "the failing child drew before it failed";
  EXPECT_EQ(Px(165, 55), 0u) << "the child in front is not drawn";
  // Through the frame: the pass fails, so the frame loop ends.
  zqAdvanceClock(10);
  EXPECT_EQ(app->DoIdle(), 0);
  // Once the child draws again, so does everything.
  child[1]->drawResult = 0;
  Clear();
  ASSERT_EQ(engine->GetD3dDevice()->BeginScene(), 0);
  EXPECT_EQ(game.Render(), 0);
  engine->GetD3dDevice()->EndScene();
  EXPECT_GE(Px(165, 55) & 0xFF, 0xFDu);
}

TEST_F(FailingChildTest, AFailingRestoreStopsTheChildrenBehindAndTheGameReportsIt) {
  CZqGame game(engine);
  Build(game);
  ASSERT_EQ(game.RestoreSourceForGame(), 1);
  for (BlockPanel* c : child) ASSERT_NE(c->GetCaptionTexture()->GetTexture(), nullptr);
  game.ReleaseSource();
  for (BlockPanel* c : child) {
    ASSERT_EQ(c->GetCaptionTexture()->GetTexture(), nullptr);
    c->restores = 0;
  }
  // Front to back: the front child is restored, the middle one fails, the back one is not reached.
  child[1]->restoreResult = E_OUTOFMEMORY;
  EXPECT_EQ(game.GetMainUI()->RestoreSource(), E_OUTOFMEMORY);
  EXPECT_EQ(game.RestoreSourceForGame(), 0);
  EXPECT_NE(child[2]->GetCaptionTexture()->GetTexture(), nullptr);
  EXPECT_EQ(child[0]->GetCaptionTexture()->GetTexture(), nullptr);
  EXPECT_EQ(child[0]->restores, 0);
  child[1]->restoreResult = 0;
  EXPECT_EQ(game.RestoreSourceForGame(), 1);
  EXPECT_NE(child[0]->GetCaptionTexture()->GetTexture(), nullptr);
}

}  // namespace
}  // namespace gametest
