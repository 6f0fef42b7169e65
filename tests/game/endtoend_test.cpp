// A screen loaded from a resource pack, driven through the window's input, the application
// pump, the engine, the game and the panels; observed in the back buffer and the UI commands.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game_fixture.h"

namespace gametest {
namespace {

constexpr DWORD kBackground = 0xFF203040, kNormal = 0xFF0000FF, kTouch = 0xFF00FF00, kPress = 0xFFFF0000;

// Records the button release and every UI command, in the order they happen.
class ClickGame : public CZqGame {
 public:
  using CZqGame::CZqGame;
  DWORD OnLButtonUp(UINT flags, SScreenPoint point) override {
    events.push_back("release");
    DWORD r = CZqGame::OnLButtonUp(flags, point);
    events.push_back("release done");
    return r;
  }
  void OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM lParam) override {
    if (msg != ZQ_UIMSG_CLICK) return;
    events.push_back(std::string("click ") + panel->GetName());
    clickIds.push_back(panel->GetID());
    EXPECT_EQ(lParam, 0);
  }
  std::vector<std::string> events;
  std::vector<DWORD> clickIds;
};

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zqResetWindowSystem();
    zqDisplaySetDrivers(nullptr, -1);
    zqSetManualClock(TRUE, 100000);
    MakePack();

    app = new CZqAppEx;
    // The name is also the single-instance mutex: tests run side by side in other processes.
    const std::string name =
        std::string("zq-game-endtoend-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    app->SetAppName(name.c_str());
    ASSERT_EQ(app->CreateApp(nullptr, nullptr, 0, 0, 800, 600, 0, 0, 0), 1);
    app->SetNoSleep(1);
    wnd = app->GetMainWnd();
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    engine->SetSource(pack);
    game = new ClickGame(engine);
    ASSERT_EQ(game->GetMainUI()->Create("ui\\main.ini", SScreenPoint(0, 0), "main"), 1);
    engine->SetGame(game);
    Turn();
  }
  void TearDown() override {
    delete game;
    delete engine;
    delete app;
    delete pack;
    zqResetWindowSystem();
    zqSetManualClock(FALSE, 0);
  }

  // Main panel: the background, a layer and the "spin" button at (300, 200), 120 x 60.
  void MakePack() {
    WriteTga(dir.file("bg.tga"), 800, 600, kBackground);
    WriteTga(dir.file("normal.tga"), 120, 60, kNormal);
    WriteTga(dir.file("touch.tga"), 120, 60, kTouch);
    WriteTga(dir.file("press.tga"), 120, 60, kPress);
    WriteText(dir.file("main.ini"),
              "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
              "[IMAGE]\nnormal=ui\\bg.tga\n"
              "[ITEM_1]\nstyle=button\nconfig=ui\\button.ini\npos=300,200\nname=spin\n"
              "[ITEM_2]\nstyle=layer\nconfig=ui\\layer.ini\npos=100,420\nname=shade\n");
    WriteText(dir.file("button.ini"),
              "[SETING]\nsize=120,60\nvisible=true\nenable=true\nheader_rect=0,0,120,60\n"
              "[IMAGE]\nnormal=ui\\normal.tga\nnormal_touch=ui\\touch.tga\npress=ui\\press.tga\n");
    WriteText(dir.file("layer.ini"), "[SETING]\nsize=600,80\nvisible=true\nenable=true\n");

    std::vector<uint8_t> index(1000, 0);
    std::memcpy(index.data(), "ZQS2003a", 8);
    std::memcpy(&index[16], "store", 5);
    const int32_t count = 1000;
    std::memcpy(&index[275], &count, 4);
    std::FILE* f = std::fopen(dir.file("Data.Zqs").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(index.data(), 1, index.size(), f);
    std::fclose(f);
    pack = new CZqSource;
    ASSERT_EQ(pack->Load(dir.file("Data.Zqs").c_str()), 1);
    for (const char* name :
         {"main.ini", "button.ini", "layer.ini", "bg.tga", "normal.tga", "touch.tga", "press.tga"}) {
      const std::string key = std::string("ui\\") + name;
      ASSERT_NE(pack->ImportFile(key.c_str(), dir.file(name).c_str()), nullptr) << key;
    }
    // The loose copies go: everything must come through the pack.
    for (const char* name :
         {"main.ini", "button.ini", "layer.ini", "bg.tga", "normal.tga", "touch.tga", "press.tga"})
      std::remove(dir.file(name).c_str());
  }

  // One turn of the application: every queued message, then one frame.
  void Turn() {
    MSG msg;
    for (int i = 0; i < 100 && app->ProcessMSG(msg) == 0; ++i) {
    }
    zqAdvanceClock(20);
    app->DoIdle();
  }
  void Mouse(UINT msg, int x, int y, WPARAM keys) {
    zqInjectMouse(wnd, msg, x, y, keys);
    Turn();
  }
  DWORD Px(long x, long y) {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFF;
  }
  // Pure channel colours survive the panels' grey modulated twice within one step.
  static bool Near(DWORD px, DWORD argb) {
    for (int s = 0; s < 24; s += 8) {
      int a = int((px >> s) & 0xFF), b = int((argb >> s) & 0xFF);
      if (a < b - 2 || a > b + 2) return false;
    }
    return true;
  }

  ScratchDir dir;
  CZqSource* pack = nullptr;
  CZqAppEx* app = nullptr;
  HWND wnd = nullptr;
  CZqEngine* engine = nullptr;
  ClickGame* game = nullptr;
};

TEST_F(EndToEndTest, AClickInsideTheButtonReachesTheGameOnALaterTurnAndTheImagesFollow) {
  const CZqUIPanel* spin = nullptr;
  for (CZqUIPanel* p : game->GetMainUI()->GetSubPanels())
    if (std::strcmp(p->GetName(), "spin") == 0) spin = p;
  ASSERT_NE(spin, nullptr);
  ASSERT_NE(spin->GetID(), 0u);

  EXPECT_TRUE(Near(Px(360, 230), kNormal)) << std::hex << Px(360, 230);
  EXPECT_TRUE(Near(Px(299, 230), kBackground)) << std::hex << Px(299, 230);

  Mouse(WM_MOUSEMOVE, 360, 230, 0);
  EXPECT_TRUE(Near(Px(360, 230), kTouch)) << std::hex << Px(360, 230);
  Mouse(WM_LBUTTONDOWN, 360, 230, MK_LBUTTON);
  EXPECT_TRUE(Near(Px(360, 230), kPress)) << std::hex << Px(360, 230);
  EXPECT_TRUE(game->clickIds.empty());

  Mouse(WM_LBUTTONUP, 360, 230, 0);
  EXPECT_EQ(game->events, (std::vector<std::string>{"release", "release done", "click spin"}));
  EXPECT_EQ(game->clickIds, (std::vector<DWORD>{spin->GetID()}));
  EXPECT_TRUE(Near(Px(360, 230), kTouch)) << std::hex << Px(360, 230);

  Mouse(WM_MOUSEMOVE, 600, 100, 0);
  EXPECT_TRUE(Near(Px(360, 230), kNormal)) << std::hex << Px(360, 230);
}

TEST_F(EndToEndTest, APressInsideReleasedOutsidePostsNothing) {
  Mouse(WM_MOUSEMOVE, 310, 210, 0);
  Mouse(WM_LBUTTONDOWN, 310, 210, MK_LBUTTON);
  EXPECT_TRUE(Near(Px(360, 230), kPress)) << std::hex << Px(360, 230);
  Mouse(WM_MOUSEMOVE, 700, 500, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, 700, 500, 0);
  Turn();
  EXPECT_EQ(game->events, (std::vector<std::string>{"release", "release done"}));
  EXPECT_TRUE(game->clickIds.empty());
  Mouse(WM_MOUSEMOVE, 710, 510, 0);
  EXPECT_TRUE(Near(Px(360, 230), kNormal)) << std::hex << Px(360, 230);
}

TEST_F(EndToEndTest, AScreenshotOfTheLoadedScreen) {
  Mouse(WM_MOUSEMOVE, 360, 230, 0);
  ASSERT_GT(zqDisplayPresentCount(wnd), 0u);
  int w = 0, h = 0;
  const DWORD* frame = zqDisplayPresentedFrame(wnd, &w, &h);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  EXPECT_TRUE(Near(frame[230 * 800 + 360], kTouch));
  EXPECT_TRUE(Near(frame[10 * 800 + 10], kBackground));

  const char* out = std::getenv("ZQ_SCREENSHOT_DIR");
  std::string folder = out && *out ? out : ::testing::TempDir();
  if (folder.back() != '/') folder += '/';
  const std::string path = folder + "panel-screen.png";
  ASSERT_TRUE(zqDisplayWritePresentedFramePng(wnd, path.c_str()));
  std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace
}  // namespace gametest
