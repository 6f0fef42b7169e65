// Focus and the key handlers; layout edit mode: slack, drag, arrow nudge, double click, outlines.
#include <gtest/gtest.h>

#include "uiinput_fixture.h"

namespace {

using V = std::vector<Posted>;

DWORD KeyDown(CZqUIPanel* p, UINT key, UINT repeat = 1) { return p->OnKeyDown(key, repeat, 0); }

TEST_F(PanelInputTest, KeysGoToThePanelThatTookTheLastPress) {
  ProbePanel* group = Child(root, 300, 100, 200, 100, SScreenRect());
  ProbePanel* inner = Child(group, 10, 10, 40, 20, SScreenRect(0, 0, 40, 20));
  ProbePanel* a = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));  // in front of group
  EXPECT_EQ(KeyDown(root, 'A'), 0u) << "nobody has focus";

  Move(315, 115);
  Down(315, 115);
  Up(315, 115);
  EXPECT_EQ(inner->IsFocus(), 1);
  EXPECT_EQ(group->IsFocus(), 1);
  EXPECT_EQ(KeyDown(root, 'A'), inner->GetID());
  EXPECT_EQ(root->OnChar('a', 1, 0), inner->GetID());
  EXPECT_EQ(root->OnKeyUp('A', 1, 0), inner->GetID());
  EXPECT_EQ(root->OnMouseWheel(0, 120, SScreenPoint(0, 0)), inner->GetID());

  // A press on a takes the focus from the whole group, the grandchild included, though the
  // walk stops at a: the keys stay with a when the group comes to the front.
  Move(110, 110);
  Down(110, 110);
  Up(110, 110);
  EXPECT_EQ(a->IsFocus(), 1);
  EXPECT_EQ(group->IsFocus(), 0);
  EXPECT_EQ(inner->IsFocus(), 0);
  group->SetTopMost();
  EXPECT_EQ(KeyDown(root, 'A'), a->GetID());
  EXPECT_EQ(KeyDown(root, VK_LEFT, 3), a->GetID());
  EXPECT_EQ(a->GetRect(), SScreenRect(100, 100, 160, 140)) << "arrows move nothing outside edit mode";

  // A press on nothing leaves no panel focused.
  Move(700, 500);
  Down(700, 500);
  EXPECT_EQ(a->IsFocus(), 0);
  EXPECT_EQ(KeyDown(root, 'A'), 0u);
  EXPECT_EQ(root->OnChar('a', 1, 0), 0u);
}

TEST_F(PanelInputTest, EditModeAcceptsHitsWithinTenPixelsAndDragsAnyPanel) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect());  // no header at all
  CZqFunc::UI_SetEditMode(1);
  // 5 px left of the rectangle: still c's.
  EXPECT_EQ(Move(95, 120), c->GetID());
  EXPECT_EQ(c->IsTouched(), 0);
  EXPECT_EQ(Down(95, 120), c->GetID());
  EXPECT_EQ(c->IsDragging(), 1);
  EXPECT_EQ(c->IsFocus(), 1);
  EXPECT_EQ(c->IsPressed(), 0);
  EXPECT_EQ(Move(105, 110, MK_LBUTTON), 1u) << "dragged though not movable";
  EXPECT_EQ(c->GetRect(), SScreenRect(110, 90, 170, 130));
  EXPECT_EQ(Up(105, 110), c->GetID());
  EXPECT_TRUE(Only(ZQ_UIMSG_CLICK).empty());

  // The grown rectangle's edges: 10 px outside is still in, 11 is out (the root takes it).
  EXPECT_EQ(Down(100, 120), c->GetID());
  Up(100, 120);
  EXPECT_EQ(Down(99, 120), root->GetID());
  EXPECT_EQ(c->IsDragging(), 0);
  Up(99, 120);
  EXPECT_EQ(Down(179, 139), c->GetID());
  Up(179, 139);
  EXPECT_EQ(Down(180, 120), root->GetID());
  Up(180, 120);

  // Hidden and disabled children take input in edit mode.
  c->SetVisible(0);
  c->SetEnableValue(0);
  EXPECT_EQ(Down(120, 100), c->GetID());
  Up(120, 100);
}

TEST_F(PanelInputTest, EditModeArrowKeysNudgeTheFocusedPanelByTheRepeatCount) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect());
  ProbePanel* other = Child(root, 400, 100, 60, 40, SScreenRect());
  CZqFunc::UI_SetEditMode(1);
  Down(120, 120);
  Up(120, 120);
  ASSERT_EQ(c->IsFocus(), 1);
  const struct {
    UINT key, repeat;
    SScreenPoint topLeft;
  } cases[] = {{VK_LEFT, 3, {97, 100}}, {VK_UP, 3, {97, 97}}, {VK_RIGHT, 5, {102, 97}},
               {VK_DOWN, 1, {102, 98}}, {'A', 7, {102, 98}},  {VK_LEFT, 0, {102, 98}}};
  for (const auto& k : cases) {
    EXPECT_EQ(KeyDown(root, k.key, k.repeat), c->GetID());
    EXPECT_EQ(c->GetRect().top_left(), k.topLeft) << k.key << " x" << k.repeat;
    EXPECT_EQ(c->GetSize(), SScreenPoint(60, 40));
  }
  EXPECT_EQ(other->GetRect(), SScreenRect(400, 100, 460, 140));
}

TEST_F(PanelInputTest, EditModeDoubleClickPostsTheDoubleClickMessage) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect());
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, SScreenPoint(95, 120)), 0u);
  EXPECT_TRUE(Drain().empty()) << "nothing outside edit mode";

  CZqFunc::UI_SetEditMode(1);
  // Far off every child: the root, whose grown rectangle covers the screen, answers.
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, SScreenPoint(600, 500)), root->GetID());
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_DBLCLK, root->GetID()}}));
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, SScreenPoint(95, 120)), c->GetID());
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_DBLCLK, c->GetID()}}));
  // The child handled it, so the parent counts as touched and answers without the message.
  EXPECT_EQ(root->IsTouched(), 1);
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, SScreenPoint(600, 500)), root->GetID());
  EXPECT_TRUE(Drain().empty());
  Move(600, 500);
  // A touched panel answers without the message.
  c->SetHeaderRect(SScreenRect(0, 0, 60, 40));
  Move(120, 120);
  Drain();
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, SScreenPoint(120, 120)), c->GetID());
  EXPECT_TRUE(Only(ZQ_UIMSG_DBLCLK).empty());
}

TEST_F(PanelInputTest, EditModeOutlinesShowFocusInGreenAndOthersInRed) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect());
  CZqSurface* back = engine->GetBackSurface();
  auto px = [&](long x, long y) { return back->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr); };
  CZqFunc::UI_SetEditMode(1);
  for (int focus : {0, 1}) {
    if (focus) {
      Down(120, 120);
      Up(120, 120);
      ASSERT_EQ(c->IsFocus(), 1);
    }
    back->Clear(back->ConvertColor(0xFF000000));
    // Written straight through, so the pixels hold the outline's own colour.
    engine->PreparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
    root->Draw(SScreenPoint(0, 0));
    const DWORD colour = focus ? 0x7F00FF00u : 0x7FFF0000u;
    // The rectangle 100,100..160,140 grown by 10.
    EXPECT_EQ(px(120, 90), colour) << focus;
    EXPECT_EQ(px(90, 120), colour) << focus;
    EXPECT_EQ(px(130, 120) & 0xFFFFFF, 0u) << "only the outline";
    EXPECT_EQ(px(120, 95) & 0xFFFFFF, 0u);
  }
  CZqFunc::UI_SetEditMode(0);
  back->Clear(back->ConvertColor(0xFF000000));
  root->Draw(SScreenPoint(0, 0));
  EXPECT_EQ(px(120, 90) & 0xFFFFFF, 0u) << "no outline outside edit mode";
}

}  // namespace
