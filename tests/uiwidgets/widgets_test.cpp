// Buttons and layers inside a panel tree loaded from small configuration files, observed through
// the back buffer's pixels, the posted panel messages and the sounds' playing state.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ZqLib.h"
#include "audio_support.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "tga_files.h"

namespace {

// One frame step of the engine: the elapsed time its animations and panels see.
class WidgetEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

// Reaches the button's state flags and sounds the way input and the panel would set them.
class ProbeButton : public ZQ_UI_Button {
 public:
  using ZQ_UI_Button::ZQ_UI_Button;
  void SetFlags(int touched, int pressed, int checked) {
    m_bTouched = touched;
    m_bPressed = pressed;
    m_bChecked = checked;
  }
  CZqSound* TouchSound() const { return m_pSoundTouch; }
  CZqSound* ClickSound() const { return m_pSoundClick; }
};

// A solid 40x20 uncompressed 32-bit TGA, top-left origin.
void WriteTga(const std::string& path, uint32_t argb, int w = 40, int h = 20) {
  WriteSolidTga(path, w, h, argb);
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// The state images are told apart by their colour: normal red, normal_touch green, press blue,
// press_touch white.
std::string ButtonIni(bool pressTouch = true, const std::string& extra = "") {
  std::string ini =
      "[SETING]\nsize=40,20\nvisible=true\nenable=true\nheader_rect=0,0,40,20\n"
      "[IMAGE]\nnormal=n.tga\nnormal_touch=nt.tga\npress=p.tga\n";
  if (pressTouch) ini += "press_touch=pt.tga\n";
  return ini + extra;
}

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("widgets");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new WidgetEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    back = engine->GetBackSurface();
    WriteTga(dir.file("n.tga"), kRed);
    WriteTga(dir.file("nt.tga"), kGreen);
    WriteTga(dir.file("p.tga"), kBlue);
    WriteTga(dir.file("pt.tga"), kWhite);
    WriteText(dir.file("root.ini"), "[SETING]\nsize=800,600\nvisible=true\nenable=true\n");
    root = new CZqUIPanel(static_cast<CZqEngine*>(engine));
    ASSERT_EQ(root->Create("root.ini", SScreenPoint(0, 0), "root"), 1);
  }
  void TearDown() override {
    delete root;
    delete engine;
    delete app;
    CloseEngineWindow();
  }

  // A button under the root at (100, 100), made from its own configuration file.
  ProbeButton* MakeButton(const std::string& ini) {
    WriteText(dir.file("button.ini"), ini);
    auto* b = new ProbeButton(root);
    EXPECT_EQ(b->Create("button.ini", SScreenPoint(100, 100), "ok"), 1);
    return b;
  }

  // Clears the back buffer to black and draws the tree, one frame of `dt` for its children.
  void Frame(DWORD dt = 0) {
    back->Clear(back->ConvertColor(0xFF000000));
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
    engine->SetElapsed(dt);
    ASSERT_EQ(root->Draw(SScreenPoint(0, 0)), 0);
  }
  // Which state image covers the pixel (images are drawn at half brightness).
  std::string Shown(long x, long y) {
    BYTE r = 0, g = 0, b = 0;
    back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
    const int key = (r > 0x40) * 4 + (g > 0x40) * 2 + (b > 0x40);
    switch (key) {
      case 0:
        return "none";
      case 4:
        return "normal";
      case 2:
        return "normal_touch";
      case 1:
        return "press";
      case 7:
        return "press_touch";
    }
    return "mixed";
  }
  std::string ShownButton() {
    Frame();
    return Shown(120, 110);
  }
  // The panel messages posted to the engine's window since the last call.
  std::vector<std::pair<UINT, WPARAM>> Posted() {
    std::vector<std::pair<UINT, WPARAM>> out;
    MSG msg;
    while (PeekMessageA(&msg, wnd, ZQ_UIMSG_CLICK, ZQ_UIMSG_UNTOUCH, PM_REMOVE))
      out.emplace_back(msg.message, msg.wParam);
    return out;
  }
  bool PostedClick(const std::vector<std::pair<UINT, WPARAM>>& msgs, DWORD id) {
    for (auto& m : msgs)
      if (m.first == ZQ_UIMSG_CLICK && m.second == id) return true;
    return false;
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  WidgetEngine* engine = nullptr;
  CZqSurface* back = nullptr;
  CZqUIPanel* root = nullptr;
};

TEST_F(WidgetTest, AnimationFollowsTouchPressAndCheckedDirectly) {
  const struct {
    bool pressTouch;
    int touched, pressed, checked;
    const char* shown;
  } cases[] = {
      {true, 0, 0, 0, "normal"},
      {true, 1, 0, 0, "normal_touch"},
      {true, 0, 1, 0, "press"},
      {true, 0, 0, 1, "press"},
      {true, 1, 1, 0, "press_touch"},
      {true, 1, 0, 1, "press_touch"},
      {true, 1, 1, 1, "press_touch"},
      // An absent image keeps what was shown before (normal after the restore).
      {false, 1, 1, 0, "normal"},
      {false, 1, 0, 1, "normal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pressTouch << " " << c.touched << c.pressed << c.checked);
    ProbeButton* b = MakeButton(ButtonIni(c.pressTouch));
    ASSERT_EQ(ShownButton(), "normal");
    b->SetFlags(c.touched, c.pressed, c.checked);
    b->OnTouch(0);  // the argument is not what counts
    EXPECT_EQ(ShownButton(), c.shown);
    b->SetFlags(0, 0, 0);
    b->OnPress(1);  // the same choice
    EXPECT_EQ(ShownButton(), "normal");
    delete b;
  }
}

TEST_F(WidgetTest, PressReleasedOutsidePostsNoClickAndShowsNormalAfterTheNextMove) {
  ProbeButton* b = MakeButton(ButtonIni());
  const DWORD id = b->GetID();
  ASSERT_GE(id, 100u);

  EXPECT_EQ(root->OnMouseMove(0, SScreenPoint(110, 105)), id);
  EXPECT_EQ(ShownButton(), "normal_touch");
  EXPECT_EQ(root->OnLButtonDown(1, SScreenPoint(110, 105)), id);
  EXPECT_EQ(ShownButton(), "press_touch");
  root->OnMouseMove(1, SScreenPoint(300, 300));  // a held press still counts as touching
  EXPECT_EQ(ShownButton(), "press_touch");
  Posted();

  root->OnLButtonUp(0, SScreenPoint(300, 300));
  EXPECT_FALSE(PostedClick(Posted(), id));
  EXPECT_EQ(b->IsPressed(), 0);
  root->OnMouseMove(0, SScreenPoint(301, 300));
  EXPECT_EQ(ShownButton(), "normal");

  // Pressed and released inside: one click, and the touched image again.
  root->OnMouseMove(0, SScreenPoint(110, 105));
  root->OnLButtonDown(1, SScreenPoint(110, 105));
  root->OnLButtonUp(0, SScreenPoint(112, 106));
  EXPECT_TRUE(PostedClick(Posted(), id));
  root->OnMouseMove(0, SScreenPoint(112, 106));
  EXPECT_EQ(ShownButton(), "normal_touch");
}

TEST_F(WidgetTest, WithoutPressTouchThePressImageStaysWhileHeldUnderThePointer) {
  MakeButton(ButtonIni(false));
  root->OnMouseMove(0, SScreenPoint(110, 105));
  root->OnLButtonDown(1, SScreenPoint(110, 105));
  EXPECT_EQ(ShownButton(), "press");
}

TEST_F(WidgetTest, TouchPlaysNoSoundButTheClickDoes) {
  ASSERT_TRUE(MakeToneWave(dir.file("touch.wav"), 8000, 8, 1, 1.0));
  ASSERT_TRUE(MakeToneWave(dir.file("click.wav"), 8000, 8, 1, 1.0));
  ProbeButton* b = MakeButton(ButtonIni(true, "[SOUND]\ntouch=touch.wav\nclick=click.wav\n"));
  ASSERT_NE(b->TouchSound(), nullptr);
  ASSERT_NE(b->ClickSound(), nullptr);

  root->OnMouseMove(0, SScreenPoint(110, 105));
  ASSERT_EQ(b->IsTouched(), 1);
  EXPECT_EQ(b->TouchSound()->IsPlaying(), 0);
  root->OnLButtonDown(1, SScreenPoint(110, 105));
  EXPECT_EQ(b->ClickSound()->IsPlaying(), 0) << "the press alone is no click";
  root->OnLButtonUp(0, SScreenPoint(110, 105));
  EXPECT_EQ(b->ClickSound()->IsPlaying(), 1);
  EXPECT_EQ(b->TouchSound()->IsPlaying(), 0);
}

TEST_F(WidgetTest, AnimationRunsAtHalfItsDelay) {
  // Four frames, a delay of 1000 (100 ms): a button steps one frame per 50 ms of frame time.
  const uint32_t colours[] = {kRed, kGreen, kBlue, kWhite};
  for (int i = 0; i < 4; ++i) WriteTga(dir.file("f" + std::to_string(i) + ".tga"), colours[i]);
  MakeButton(
      "[SETING]\nsize=40,20\nvisible=true\nenable=true\nheader_rect=0,0,40,20\n"
      "[IMAGE]\nnormal=f%d.tga#0-3,0,0,3,1000,loop\n");
  const char* frames[] = {"normal", "normal_touch", "press", "press_touch"};  // by colour
  Frame(0);
  EXPECT_EQ(Shown(120, 110), frames[0]);
  for (int step = 1; step <= 5; ++step) {
    Frame(500);
    EXPECT_EQ(Shown(120, 110), frames[step % 4]) << step;
  }
  Frame(250);  // half a step twice over: still the same frame
  EXPECT_EQ(Shown(120, 110), frames[1]);
  Frame(250);
  EXPECT_EQ(Shown(120, 110), frames[2]);
}

TEST_F(WidgetTest, RestoreSendsTheButtonBehindTheSiblingsMadeBeforeIt) {
  WriteText(dir.file("button.ini"), ButtonIni());
  WriteText(dir.file("plain.ini"), "[SETING]\nsize=40,20\nvisible=true\nenable=true\n");
  WriteText(dir.file("screen.ini"),
            "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
            "[ITEM_1]\nstyle=panel\nname=first\npos=0,0\nconfig=plain.ini\n"
            "[ITEM_2]\nstyle=button\nname=ok\npos=100,100\nconfig=button.ini\n"
            "[ITEM_3]\nstyle=layer\nname=shade\npos=0,0\nconfig=plain.ini\n");
  ASSERT_EQ(root->Create("screen.ini", SScreenPoint(0, 0), "screen"), 1);
  std::vector<std::string> order;
  for (CZqUIPanel* p : root->GetSubPanels()) order.push_back(p->GetName());
  EXPECT_EQ(order, (std::vector<std::string>{"shade", "first", "ok"}));
  CZqUIPanel* ok = root->GetSubPanels().back();
  EXPECT_STREQ(ok->GetStyle(), "button");
  EXPECT_EQ(ShownButton(), "normal");
}

TEST_F(WidgetTest, FactoryMakesButtonsAndLayersByExactStyle) {
  const struct {
    const char* style;
    const char* made;
  } cases[] = {{"button", "button"},
               {"layer", "layer"},
               {"Button", nullptr},
               {"LAYER", nullptr},
               {"button ", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    CZqUIPanel* p = engine->UI_New_Register(root, c.style);
    if (!c.made) {
      EXPECT_EQ(p, nullptr);
      continue;
    }
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetStyle(), c.made);
    EXPECT_EQ(p->GetParent(), root);
    EXPECT_EQ(p->GetZqEngine(), engine);
    EXPECT_TRUE(root->GetSubPanels().empty()) << "made, not yet attached";
    delete p;
  }
  EXPECT_NE(
      dynamic_cast<ZQ_UI_Button*>(std::unique_ptr<CZqUIPanel>(engine->UI_New_Register(root, "button")).get()),
      nullptr);
  EXPECT_NE(
      dynamic_cast<ZQ_UI_Layer*>(std::unique_ptr<CZqUIPanel>(engine->UI_New_Register(root, "layer")).get()),
      nullptr);
  EXPECT_EQ(engine->UI_New_Register(nullptr, "button"), nullptr);
  EXPECT_EQ(engine->UI_New_Register(nullptr, "layer"), nullptr);
}

class LayerTest : public WidgetTest {
 protected:
  // A layer of 100x40 at (10, 10), made by the factory from the root's configuration.
  ZQ_UI_Layer* MakeLayer() {
    WriteText(dir.file("layer.ini"), "[SETING]\nsize=100,40\nvisible=true\nenable=true\n");
    WriteText(dir.file("screen.ini"),
              "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
              "[ITEM_1]\nstyle=layer\nname=shade\npos=10,10\nconfig=layer.ini\n");
    EXPECT_EQ(root->Create("screen.ini", SScreenPoint(0, 0), "screen"), 1);
    EXPECT_EQ(root->GetSubPanels().size(), 1u);
    return root->GetSubPanels().empty() ? nullptr : dynamic_cast<ZQ_UI_Layer*>(root->GetSubPanels().front());
  }
  // Draws the tree over a blue background with ordinary alpha blending.
  void DrawOverBlue() {
    back->Clear(back->ConvertColor(kBlue));
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
    ASSERT_EQ(root->Draw(SScreenPoint(0, 0)), 0);
  }
  DWORD Px(long x, long y) { return back->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFF; }
  // 0x4C007F00 over 0x0000FF: green 0x7F x 0x4C / 255, blue 0xFF x (255 - 0x4C) / 255.
  bool Blended(long x, long y) {
    BYTE r = 0, g = 0, b = 0;
    back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
    return r == 0 && g >= 37 && g <= 38 && b >= 178 && b <= 180;
  }
};

TEST_F(LayerTest, DefaultLayerShadesItsRectangleFilled) {
  ZQ_UI_Layer* layer = MakeLayer();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->GetFill(), 1);
  DrawOverBlue();
  for (auto [x, y] : {std::pair{10L, 10L}, {109L, 10L}, {10L, 49L}, {109L, 49L}, {60L, 30L}})
    EXPECT_TRUE(Blended(x, y)) << x << "," << y << " " << std::hex << Px(x, y);
  for (auto [x, y] : {std::pair{9L, 10L}, {10L, 9L}, {110L, 30L}, {60L, 50L}, {110L, 50L}})
    EXPECT_EQ(Px(x, y), 0x0000FFu) << x << "," << y;
}

TEST_F(LayerTest, OutlineModeAndColourSetter) {
  ZQ_UI_Layer* layer = MakeLayer();
  ASSERT_NE(layer, nullptr);
  layer->SetFill(0);
  DrawOverBlue();
  EXPECT_TRUE(Blended(60, 10)) << "top edge";
  EXPECT_TRUE(Blended(10, 30)) << "left edge";
  EXPECT_EQ(Px(60, 30), 0x0000FFu) << "inside stays clear";

  // Opaque red; out-of-range channels are held in 0..1 rather than spilling into their neighbours.
  layer->SetFill(1);
  layer->SetLayerColor(1.0f, 7.0f, -1.0f, 0.0f);
  DrawOverBlue();
  EXPECT_EQ(Px(60, 30), 0xFF0000u);
}

TEST_F(LayerTest, WithoutEngineNothingIsDrawn) {
  CZqUIPanel orphan(static_cast<CZqEngine*>(nullptr));
  ZQ_UI_Layer layer(&orphan);
  ZQ_UI_Button button(&orphan);
  EXPECT_EQ(layer.OnDraw(SScreenPoint(0, 0)), E_FAIL);
  EXPECT_EQ(button.OnDraw(SScreenPoint(0, 0)), E_FAIL);
}

}  // namespace
