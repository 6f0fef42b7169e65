// A screen loaded from small configuration files, driven through its root as the game drives it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tga_files.h"
#include "uiinput_fixture.h"

namespace {

using V = std::vector<Posted>;

// A 2x2 uncompressed 32-bit TGA: enough for an animation to be present.
void WriteTga(const std::string& path) { WriteSolidTga(path, 2, 2, 0xFFFFFFFF); }

CZqUIPanel* MakeProbe(CZqEngine*, CZqUIPanel* parent) { return new ProbePanel(parent); }

const char kScreen[] =
    "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
    "[ITEM_1]\nstyle=probe\nname=ok\npos=100,100\nconfig=button.ini\n"
    "[ITEM_2]\nstyle=probe\nname=cancel\npos=120,110\nconfig=button.ini\n"
    "[ITEM_3]\nstyle=probe\nname=off\npos=300,100\nconfig=off.ini\n";
const char kButton[] =
    "[SETING]\nsize=60,40\nvisible=true\nenable=true\nheader_rect=0,0,60,40\nchecked=true\n";
const char kOff[] = "[SETING]\nsize=60,40\nvisible=true\nenable=false\nheader_rect=0,0,60,40\n";

class ConfigTreeTest : public PanelInputTest {
 protected:
  void SetUp() override {
    PanelInputTest::SetUp();
    CZqEngine::UI_RegisterStyle("probe", &MakeProbe);
    WriteFileBytes(dir.file("screen.ini"), kScreen);
    WriteFileBytes(dir.file("button.ini"), kButton);
    WriteFileBytes(dir.file("off.ini"), kOff);
    delete root;
    root = new ProbePanel(static_cast<CZqEngine*>(engine));
    ASSERT_EQ(root->Create("screen.ini", SScreenPoint(0, 0), "screen"), 1);
    ASSERT_EQ(root->GetSubPanels().size(), 3u);
    Drain();
  }
  void TearDown() override {
    PanelInputTest::TearDown();
    CZqEngine::UI_RegisterStyle("probe", nullptr);
  }
  CZqUIPanel* Named(const char* name) {
    for (CZqUIPanel* c : root->GetSubPanels())
      if (std::string(c->GetName()) == name) return c;
    ADD_FAILURE() << name;
    return nullptr;
  }
};

TEST_F(ConfigTreeTest, TheTopButtonTakesTheClickAndTheDisabledOneNothing) {
  CZqUIPanel *ok = Named("ok"), *cancel = Named("cancel"), *off = Named("off");
  ASSERT_TRUE(ok && cancel && off);
  EXPECT_EQ(root->GetSubPanels().front(), off) << "the last item is top-most";
  EXPECT_EQ(cancel->IsStyleChecked(), 1);
  EXPECT_EQ(cancel->IsChecked(), 0) << "\"checked\" in the file is the toggle, not the state";

  // The overlap of ok (100..160) and cancel (120..180): cancel was created later, so it is on top.
  EXPECT_EQ(Move(130, 120), cancel->GetID());
  EXPECT_EQ(Down(130, 120), cancel->GetID());
  EXPECT_EQ(Up(130, 120), cancel->GetID());
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, cancel->GetID()}}));
  EXPECT_EQ(ok->IsPressed(), 0);
  EXPECT_EQ(cancel->IsChecked(), 1);

  // ok alone, left of the overlap.
  Move(105, 105);
  Down(105, 105);
  Up(105, 105);
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, ok->GetID()}}));
  EXPECT_EQ(ok->IsChecked(), 1);

  // The disabled button never reports anything.
  Move(310, 110);
  Down(310, 110);
  Up(310, 110);
  for (const Posted& p : Drain()) EXPECT_NE(p.id, off->GetID());
  EXPECT_EQ(off->IsPressed(), 0);

  // In edit mode it can be picked, dragged and nudged like the others.
  CZqFunc::UI_SetEditMode(1);
  EXPECT_EQ(Down(310, 110), off->GetID());
  EXPECT_EQ(Move(330, 100, MK_LBUTTON), 1u);
  Up(330, 100);
  EXPECT_EQ(root->OnKeyDown(VK_DOWN, 3, 0), off->GetID());
  EXPECT_EQ(off->GetRect(), SScreenRect(320, 93, 380, 133));
}

TEST_F(ConfigTreeTest, AToggleShowsPressTouchWhileTouchedAndChecked) {
  for (const char* f : {"n", "nt", "p", "pt"}) WriteTga(dir.file(std::string(f) + ".tga"));
  WriteFileBytes(
      dir.file("toggle.ini"),
      std::string(kButton) + "[IMAGE]\nnormal=n.tga\nnormal_touch=nt.tga\npress=p.tga\npress_touch=pt.tga\n");
  auto* t = new ProbePanel(root);
  ASSERT_EQ(t->Create("toggle.ini", SScreenPoint(500, 300), "toggle"), 1);
  auto shown = [t] {
    return std::string(t->GetCurrentAnimation() ? t->GetCurrentAnimation()->GetKey() : "");
  };
  EXPECT_EQ(shown(), "n.tga");
  Move(510, 310);
  EXPECT_EQ(shown(), "nt.tga");
  Down(510, 310);
  EXPECT_EQ(shown(), "p.tga");
  Up(510, 310);
  EXPECT_EQ(t->IsChecked(), 1);
  EXPECT_EQ(shown(), "pt.tga");
  Down(510, 310);
  Up(510, 310);
  EXPECT_EQ(t->IsChecked(), 0);
  EXPECT_EQ(shown(), "nt.tga");
  Move(700, 500);
  EXPECT_EQ(shown(), "n.tga");
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, t->GetID()}, {ZQ_UIMSG_CLICK, t->GetID()}}));
}

}  // namespace
