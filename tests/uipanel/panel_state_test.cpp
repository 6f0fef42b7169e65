// The shown animation for each state, and the auto-repeat of a held panel on the manual clock.
#include "uipanel_fixture.h"
#include "zqplatform/base.h"

namespace {

using State = PanelTest;

enum : unsigned { N = 1, NT = 2, P = 4, PT = 8, D = 16 };

struct StateCase {
  unsigned present;
  int enabled, touched, pressed, checked;
  const char* expected;  // description of the animation shown; "" for none
};

TEST_F(State, TheShownAnimationFollowsEnabledTouchedPressedAndChecked) {
  for (const char* f : {"n", "nt", "p", "pt", "d"}) WriteTga(std::string(f) + ".tga", 2, 2, 0xFFFFFFFF);
  // Before each case the panel is shown touched, so "unchanged" keeps what touch chose.
  const StateCase cases[] = {
      {N | NT | P | PT | D, 1, 0, 0, 0, "n.tga"},
      {P, 1, 0, 0, 0, ""},
      {N | NT | P | PT | D, 1, 0, 1, 0, "p.tga"},
      {N | NT | P | PT | D, 1, 0, 0, 1, "p.tga"},
      {NT, 1, 0, 1, 0, "nt.tga"},  // no press animation: unchanged
      {NT, 1, 0, 0, 1, "nt.tga"},
      {N | NT | P | PT | D, 1, 1, 0, 0, "nt.tga"},
      {N | P, 1, 1, 0, 0, "n.tga"},
      {P, 1, 1, 0, 0, ""},
      {N | NT | P | PT | D, 1, 1, 0, 1, "pt.tga"},
      {N | P, 1, 1, 0, 1, "p.tga"},
      {N | NT, 1, 1, 0, 1, ""},
      {N | NT | P | PT | D, 1, 1, 1, 0, "p.tga"},
      {N | PT, 1, 1, 1, 1, "pt.tga"},
      {N | NT, 1, 1, 1, 0, ""},
      {N | NT | P | PT | D, 0, 1, 1, 1, "d.tga"},
      {N | P, 0, 0, 1, 0, "p.tga"},
      {N | P, 0, 1, 0, 1, "p.tga"},
      {N | P, 0, 1, 0, 0, "n.tga"},
      {NT, 0, 0, 1, 0, "nt.tga"},  // nothing fits: unchanged
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "present " << c.present << " e" << c.enabled << " t" << c.touched
                                    << " p" << c.pressed << " c" << c.checked);
    std::string image = "[IMAGE]\n";
    const char* keys[] = {"normal", "normal_touch", "press", "press_touch", "disable"};
    const char* files[] = {"n", "nt", "p", "pt", "d"};
    for (int i = 0; i < 5; ++i)
      if (c.present & (1u << i)) image += std::string(keys[i]) + "=" + files[i] + ".tga\n";
    Write("s.ini", "[SETING]\nvisible=true\nenable=true\n" + image);
    CZqUIPanel panel(engine);
    ASSERT_EQ(panel.Create("s.ini", SScreenPoint(0, 0), nullptr), 1);
    panel.SetUIValue(1, 1, 1, 0, 0);
    panel.UpdateState();
    panel.SetUIValue(1, c.enabled, c.touched, c.checked, c.pressed);
    panel.UpdateState();
    CZqAnimation* shown = panel.GetCurrentAnimation();
    EXPECT_STREQ(shown ? shown->GetKey() : "", c.expected);
    if (shown) {
      EXPECT_EQ(shown->GetMode(), 1);  // looping forward
    }
    if (!c.enabled) {
      EXPECT_EQ(panel.IsTouched(), 0);
    }
  }
}

TEST_F(State, ADisabledParentShowsItsChildrenDisabled) {
  WriteTga("n.tga", 2, 2, 0xFFFFFFFF);
  WriteTga("d.tga", 2, 2, 0xFFFFFFFF);
  Write("c.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=n.tga\ndisable=d.tga\n");
  Write("root.ini", "[SETING]\nenable=true\n[ITEM_1]\nstyle=panel\nconfig=c.ini\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
  CZqUIPanel* child = root.GetSubPanels().front();
  EXPECT_STREQ(child->GetCurrentAnimation()->GetKey(), "n.tga");
  root.SetEnable(0);
  EXPECT_EQ(child->IsEnable(), 0);
  EXPECT_STREQ(child->GetCurrentAnimation()->GetKey(), "d.tga");
}

class Repeat : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    Write("c.ini", "[SETING]\nvisible=true\nenable=true\nheader_rect=0,0,10,10\n");
    Write("root.ini", "[SETING]\nvisible=true\nenable=true\n[ITEM_1]\nstyle=panel\nconfig=c.ini\n");
    root = new CZqUIPanel(engine);
    ASSERT_EQ(root->Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
    child = root->GetSubPanels().front();
    engine->root = root;
    Frames(1);
    Posted(ZQ_UIMSG_REPEAT);
  }
  void TearDown() override {
    engine->root = nullptr;
    delete root;
    PanelTest::TearDown();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      zqAdvanceClock(10);
      app->RefreshAppTime();
      engine->_UpdateEngine();
    }
  }
  CZqUIPanel* root = nullptr;
  CZqUIPanel* child = nullptr;
};

TEST_F(Repeat, HeldFor350msInFramesOf10msPostsThreeRepeats) {
  child->SetPressValue(1);
  Frames(10);
  EXPECT_TRUE(Posted(ZQ_UIMSG_REPEAT).empty());  // 1000 units is not yet above the period
  Frames(1);
  EXPECT_EQ(Posted(ZQ_UIMSG_REPEAT).size(), 1u);
  Frames(24);
  std::vector<MSG> more = Posted(ZQ_UIMSG_REPEAT);
  EXPECT_EQ(more.size(), 2u);  // at 220 and 330 ms
  for (const MSG& m : more) {
    EXPECT_EQ(m.wParam, child->GetID());
    EXPECT_EQ(m.lParam, 0);
  }
  EXPECT_EQ(child->GetPressCount(), 3u);
  child->SetPressValue(0);
  Frames(1);
  EXPECT_EQ(child->GetPressCount(), 0u);
}

TEST_F(Repeat, DisabledHiddenOrDetachedWhilePressedEndsThePress) {
  struct Way {
    const char* name;
    void (*end)(CZqUIPanel* root, CZqUIPanel* child);
    void (*back)(CZqUIPanel* root, CZqUIPanel* child);
  };
  const Way ways[] = {
      {"disable", [](CZqUIPanel*, CZqUIPanel* c) { c->SetEnable(0); },
       [](CZqUIPanel*, CZqUIPanel* c) { c->SetEnable(1); }},
      {"hide", [](CZqUIPanel*, CZqUIPanel* c) { c->SetVisible(0); },
       [](CZqUIPanel*, CZqUIPanel* c) { c->SetVisible(1); }},
      {"hide parent", [](CZqUIPanel* r, CZqUIPanel*) { r->SetVisible(0); },
       [](CZqUIPanel* r, CZqUIPanel*) { r->SetVisible(1); }},
      {"detach", [](CZqUIPanel* r, CZqUIPanel* c) { r->DelSubPanel(c); },
       [](CZqUIPanel* r, CZqUIPanel* c) { r->AddSubPanel(c); }},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    child->SetPressValue(1);
    Frames(5);
    w.end(root, child);
    EXPECT_EQ(child->IsPressed(), 0);
    EXPECT_EQ(child->IsDragging(), 0);
    w.back(root, child);
    Frames(30);
    EXPECT_TRUE(Posted(ZQ_UIMSG_REPEAT).empty());
    EXPECT_EQ(child->GetPressCount(), 0u);
  }
}

}  // namespace
