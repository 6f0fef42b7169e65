// Touch, press, click, drag and the child walk, observed through the posted notifications and
// the panels' flags.
#include <gtest/gtest.h>

#include "audio_support.h"
#include "uiinput_fixture.h"

namespace {

using V = std::vector<Posted>;

TEST_F(PanelInputTest, EveryMovePostsTouchOrUntouchAndTheHeaderIsTheTouchArea) {
  // Rectangle 100,100..160,140; header 10,5..50,25 in its own coordinates.
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(10, 5, 50, 25));
  const DWORD id = c->GetID(), rootId = root->GetID();
  ASSERT_NE(id, 0u);
  ASSERT_NE(id, rootId);

  EXPECT_EQ(Move(110, 105), id);
  EXPECT_EQ(c->IsTouched(), 1);
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_TOUCH, id}}));
  EXPECT_EQ(Move(149, 124), id) << "bottom-right pixel of the header";
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_TOUCH, id}})) << "posted again without a change";

  // Inside the rectangle but off the header, and just past the exclusive edges.
  for (const SScreenPoint p : {SScreenPoint(105, 110), SScreenPoint(150, 110), SScreenPoint(120, 125)}) {
    EXPECT_EQ(Move(p.x, p.y), 0u) << p.x << "," << p.y;
    EXPECT_EQ(c->IsTouched(), 0);
    // The root has an empty header, so it takes the move and is never touched either.
    EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_UNTOUCH, id}, {ZQ_UIMSG_UNTOUCH, rootId}}));
    EXPECT_EQ(root->IsTouched(), 0);
  }
}

TEST_F(PanelInputTest, AnEmptyHeaderIsNeverTouchedOrPressed) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect());
  for (const SScreenPoint p : {SScreenPoint(100, 100), SScreenPoint(130, 120), SScreenPoint(0, 0)}) {
    EXPECT_EQ(Move(p.x, p.y), 0u);
    EXPECT_EQ(Down(p.x, p.y), 0u);
    EXPECT_EQ(c->IsTouched(), 0);
    EXPECT_EQ(c->IsPressed(), 0);
    EXPECT_EQ(c->IsDragging(), 0);
    EXPECT_EQ(Up(p.x, p.y), 0u);
  }
  EXPECT_TRUE(Only(ZQ_UIMSG_TOUCH).empty());
  EXPECT_TRUE(Only(ZQ_UIMSG_CLICK).empty());
}

TEST_F(PanelInputTest, ClickNeedsPressAndReleaseInsideAndPlaysTheClickSound) {
  ASSERT_TRUE(MakeToneWave(dir.file("click.wav"), 22050, 16, 1, 0.5));
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  c->SetSoundClick(dir.file("click.wav").c_str());
  ASSERT_NE(c->ClickSound(), nullptr);
  const DWORD id = c->GetID();

  Move(120, 120);
  Drain();
  EXPECT_EQ(Down(120, 120), id);
  EXPECT_EQ(c->IsPressed(), 1);
  EXPECT_EQ(c->IsDragging(), 1) << "the header is the drag area";
  EXPECT_EQ(c->IsFocus(), 1);
  EXPECT_EQ(root->IsFocus(), 1) << "a child took the press";
  EXPECT_TRUE(Only(ZQ_UIMSG_CLICK).empty()) << "no click on the press";
  EXPECT_EQ(c->ClickSound()->IsPlaying(), 0);

  EXPECT_EQ(Up(130, 130), id);
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_CLICK, id}}));
  EXPECT_EQ(c->IsPressed(), 0);
  EXPECT_EQ(c->IsDragging(), 0);
  EXPECT_EQ(c->ClickSound()->IsPlaying(), 1);
  EXPECT_EQ(c->IsChecked(), 1) << "toggle on click is on by default";
  c->ClickSound()->Stop();

  // Pressed inside, dragged out (still touched while held), released outside: nothing.
  Down(120, 120);
  EXPECT_EQ(Move(300, 300, MK_LBUTTON), id) << "a held panel stays touched";
  EXPECT_EQ(c->IsTouched(), 1);
  EXPECT_EQ(Up(300, 300), id) << "still touched until the pointer moves";
  EXPECT_TRUE(Only(ZQ_UIMSG_CLICK).empty());
  EXPECT_EQ(c->IsPressed(), 0);
  EXPECT_EQ(c->IsChecked(), 1) << "no click, no flip";
  EXPECT_EQ(c->ClickSound()->IsPlaying(), 0);

  // Pressed outside, released inside: nothing either.
  Down(300, 300);
  EXPECT_EQ(c->IsPressed(), 0);
  Up(120, 120);
  EXPECT_TRUE(Only(ZQ_UIMSG_CLICK).empty());

  // Second click flips back; with the toggle off the checked state stays.
  Down(120, 120);
  Up(120, 120);
  EXPECT_EQ(c->IsChecked(), 0);
  c->SetStyleChecked(0);
  Down(120, 120);
  Up(120, 120);
  EXPECT_EQ(c->IsChecked(), 0);
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, id}, {ZQ_UIMSG_CLICK, id}}));
}

// A plain panel plays its touch sound when the pointer comes over it, not while it stays or
// leaves; the touch setter plays it too.
TEST_F(PanelInputTest, APlainPanelPlaysItsTouchSoundWhenTouched) {
  ASSERT_TRUE(MakeToneWave(dir.file("touch.wav"), 22050, 16, 1, 0.5));
  WriteFileBytes(dir.file("touchy.ini"), "[SETING]\nsize=60,40\nvisible=true\nenable=true\n[SOUND]\ntouch=" +
                                             dir.file("touch.wav") + "\n");
  auto* c = new ProbePanel(root);
  ASSERT_EQ(c->Create(dir.file("touchy.ini").c_str(), SScreenPoint(100, 100), nullptr), 1);
  c->SetHeaderRect(SScreenRect(0, 0, 60, 40));
  CZqSound* sound = c->TouchSound();
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->IsPlaying(), 0) << "not on creation";

  Move(120, 120);
  EXPECT_EQ(c->IsTouched(), 1);
  EXPECT_EQ(sound->IsPlaying(), 1);
  sound->Stop();
  Move(130, 125);
  EXPECT_EQ(sound->IsPlaying(), 0) << "staying over it is no new touch";
  Move(300, 300);
  EXPECT_EQ(c->IsTouched(), 0);
  EXPECT_EQ(sound->IsPlaying(), 0);
  Move(121, 121);
  EXPECT_EQ(sound->IsPlaying(), 1);
  sound->Stop();
  c->SetTouch(0);
  EXPECT_EQ(sound->IsPlaying(), 0);
  c->SetTouch(1);
  EXPECT_EQ(sound->IsPlaying(), 1);
  sound->Stop();
}

TEST_F(PanelInputTest, OnlyTheLeftButtonAloneDragsAMovablePanel) {
  const struct {
    UINT flags;
    int movable;
    bool moves;
  } cases[] = {{MK_LBUTTON, 1, true},
               {MK_LBUTTON | MK_CONTROL, 1, false},
               {MK_LBUTTON | MK_SHIFT, 1, false},
               {0, 1, false},
               {MK_LBUTTON, 0, false}};
  for (const auto& k : cases) {
    ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
    c->SetCanMove(k.movable);
    Down(110, 110);
    ASSERT_EQ(c->IsDragging(), 1);
    const DWORD r = Move(125, 103, k.flags);
    if (k.moves) {
      EXPECT_EQ(r, 1u);
      EXPECT_EQ(c->GetRect(), SScreenRect(115, 93, 175, 133));
      Move(126, 104, k.flags);  // follows from the last point, not the press
      EXPECT_EQ(c->GetRect(), SScreenRect(116, 94, 176, 134));
    } else {
      EXPECT_EQ(c->GetRect(), SScreenRect(100, 100, 160, 140)) << k.flags << " " << k.movable;
    }
    Up(125, 103);
    EXPECT_EQ(c->IsDragging(), 0);
    delete c;
  }
}

TEST_F(PanelInputTest, TheFrontChildTakesThePressAndADisabledChildIsSkipped) {
  ProbePanel* back = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  ProbePanel* front = Child(root, 120, 110, 60, 40, SScreenRect(0, 0, 60, 40));  // created last: front
  ASSERT_EQ(root->GetSubPanels().front(), front);

  Move(130, 120);
  EXPECT_EQ(Down(130, 120), front->GetID());
  EXPECT_EQ(front->IsPressed(), 1);
  EXPECT_EQ(back->IsPressed(), 0);
  EXPECT_EQ(back->IsFocus(), 0);
  EXPECT_EQ(Up(130, 120), front->GetID()) << "the behind child's 0 does not hide the front's result";
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, front->GetID()}}));

  front->SetEnable(0);
  Move(130, 120);
  EXPECT_EQ(Down(130, 120), back->GetID());
  EXPECT_EQ(front->IsPressed(), 0);
  EXPECT_EQ(back->IsPressed(), 1);
  Up(130, 120);
  EXPECT_EQ(Only(ZQ_UIMSG_CLICK), (V{{ZQ_UIMSG_CLICK, back->GetID()}}));

  // With both out of the way the parent takes the input itself.
  back->SetVisible(0);
  root->SetHeaderRect(SScreenRect(0, 0, 800, 600));
  EXPECT_EQ(Move(130, 120), root->GetID());
  EXPECT_EQ(Drain(), (V{{ZQ_UIMSG_TOUCH, root->GetID()}}));
  EXPECT_EQ(Down(130, 120), root->GetID());
  EXPECT_EQ(root->IsPressed(), 1);
}

TEST_F(PanelInputTest, AMovableChildThatHandlesAPressComesToTheFront) {
  ProbePanel* a = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  ProbePanel* b = Child(root, 300, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  ProbePanel* inner = Child(a, 10, 10, 20, 20, SScreenRect(0, 0, 20, 20));
  a->SetBackLayer(0);
  a->SetCanMove(1);
  ASSERT_EQ(root->GetSubPanels().front(), b);
  Move(115, 115);
  EXPECT_EQ(Down(115, 115), inner->GetID());
  EXPECT_EQ(a->IsFocus(), 1);
  EXPECT_EQ(root->GetSubPanels().front(), a);
  // A back-layer panel stays where it is.
  b->SetCanMove(1);
  Move(310, 110);
  Down(310, 110);
  EXPECT_EQ(root->GetSubPanels().front(), a);
}

TEST_F(PanelInputTest, RightButtonAndDoubleClickResults) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  const SScreenPoint over(110, 110), off(400, 400);
  // Not touched yet: nothing takes them.
  EXPECT_EQ(root->OnRButtonDown(MK_RBUTTON, over), 0u);
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, over), 0u);

  Move(110, 110);
  root->SetTouchValue(0);
  EXPECT_EQ(root->OnRButtonDown(MK_RBUTTON, over), 1u) << "a child handled it";
  EXPECT_EQ(root->IsTouched(), 1);
  root->SetTouchValue(0);
  EXPECT_EQ(root->OnRButtonUp(0, over), c->GetID());
  EXPECT_EQ(root->IsTouched(), 1);
  EXPECT_EQ(root->OnRButtonDbClk(MK_RBUTTON, over), c->GetID());
  EXPECT_EQ(root->OnLButtonDbClk(MK_LBUTTON, over), c->GetID());
  EXPECT_TRUE(Only(ZQ_UIMSG_DBLCLK).empty()) << "no double-click message outside edit mode";

  Move(400, 400);
  EXPECT_EQ(root->OnRButtonUp(0, off), 0u);
  EXPECT_EQ(root->OnRButtonDbClk(0, off), 0u);
}

TEST_F(PanelInputTest, ADisabledPanelRefusesInput) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  c->SetEnable(0);
  const SScreenPoint p(10, 10);  // in c's own coordinates
  EXPECT_EQ(c->OnMouseMove(0, p), 0u);
  EXPECT_EQ(c->OnLButtonDown(MK_LBUTTON, p), 0u);
  EXPECT_EQ(c->OnLButtonDbClk(MK_LBUTTON, p), 0u);
  EXPECT_EQ(c->OnRButtonDown(MK_RBUTTON, p), 0u);
  EXPECT_EQ(c->IsTouched(), 0);
  EXPECT_EQ(c->IsPressed(), 0);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(PanelInputTest, AModifierHeldOnReleaseIsNotAResult) {
  ProbePanel* c = Child(root, 100, 100, 60, 40, SScreenRect(0, 0, 60, 40));
  Move(110, 110);
  Down(110, 110);
  EXPECT_EQ(Up(110, 110, MK_SHIFT), c->GetID());
  Down(110, 110);
  EXPECT_EQ(c->OnLButtonUp(MK_CONTROL, SScreenPoint(10, 10)), c->GetID()) << "a leaf answers its id";
}

// A panel let go by disabling, hiding or detaching while held: the release posts nothing and no
// repeat follows.
TEST_F(PanelInputTest, APanelTakenAwayWhilePressedLetsGo) {
  enum { kDisable, kHide, kHideParent, kDetach };
  for (int how : {kDisable, kHide, kHideParent, kDetach}) {
    ProbePanel* holder = Child(root, 50, 50, 300, 300, SScreenRect());
    ProbePanel* c = Child(holder, 50, 50, 60, 40, SScreenRect(0, 0, 60, 40));
    Move(110, 110);
    Down(110, 110);
    ASSERT_EQ(c->IsPressed(), 1) << how;
    switch (how) {
      case kDisable:
        c->SetEnable(0);
        break;
      case kHide:
        c->SetVisible(0);
        break;
      case kHideParent:
        holder->SetVisible(0);
        break;
      case kDetach:
        holder->DelSubPanel(c);
        break;
    }
    Up(110, 110);
    EXPECT_EQ(c->IsPressed(), 0) << how;
    EXPECT_EQ(c->IsDragging(), 0) << how;
    engine->SetElapsed(600);
    for (int frame = 0; frame < 5; ++frame) root->Draw(SScreenPoint(0, 0));
    if (how == kDetach) c->OnUpdate();
    const std::vector<Posted> posted = Drain();
    for (const Posted& p : posted) {
      EXPECT_NE(p.msg, (UINT)ZQ_UIMSG_CLICK) << how;
      EXPECT_NE(p.msg, (UINT)ZQ_UIMSG_REPEAT) << how;
    }
    if (how == kDetach) delete c;
    delete holder;
  }
}

TEST_F(PanelInputTest, MessagesGoOnlyToEnabledVisibleChildren) {
  struct Recorder : ProbePanel {
    using ProbePanel::ProbePanel;
    long MsgProc(UINT msg, UINT wParam, long lParam) override {
      seen.push_back(msg);
      return CZqUIPanel::MsgProc(msg, wParam, lParam) + 5;
    }
    std::vector<UINT> seen;
  };
  auto make = [&](CZqUIPanel* parent) {
    auto* r = new Recorder(parent);
    r->Create(nullptr, SScreenPoint(0, 0), nullptr);
    return r;
  };
  Recorder* a = make(root);
  Recorder* hidden = make(root);
  Recorder* disabled = make(root);
  Recorder* grand = make(a);
  hidden->SetVisible(0);
  disabled->SetEnableValue(0);
  CZqFunc::UI_SetEditMode(1);  // edit mode does not widen it
  EXPECT_EQ(root->MsgProc(0x1234, 1, 2), 0);
  EXPECT_EQ(a->seen, std::vector<UINT>{0x1234});
  EXPECT_EQ(grand->seen, std::vector<UINT>{0x1234});
  EXPECT_TRUE(hidden->seen.empty());
  EXPECT_TRUE(disabled->seen.empty());
}

TEST_F(PanelInputTest, HitTestWorksInRootCoordinatesAndPosts) {
  ProbePanel* holder = Child(root, 100, 50, 300, 300, SScreenRect());
  ProbePanel* c = Child(holder, 20, 30, 40, 10, SScreenRect());
  // c covers root (120..160, 80..90).
  EXPECT_EQ(c->HitTest(SScreenPoint(120, 80)), 1);
  EXPECT_EQ(c->HitTest(SScreenPoint(160, 85)), 0);
  EXPECT_EQ(c->HitTest(SScreenPoint(20, 30)), 0) << "not the parent's own coordinates";
  EXPECT_EQ(
      Drain(),
      (V{{ZQ_UIMSG_TOUCH, c->GetID()}, {ZQ_UIMSG_UNTOUCH, c->GetID()}, {ZQ_UIMSG_UNTOUCH, c->GetID()}}));
  EXPECT_EQ(root->HitTest(SScreenPoint(-50, -50)), 1) << "a panel without parent answers 1";

  SScreenPoint p(1, 2);
  c->PickClientToScreen(p);
  EXPECT_EQ(p, SScreenPoint(121, 82));
  c->PickScreenToClient(p);
  EXPECT_EQ(p, SScreenPoint(1, 2));
}

TEST_F(PanelInputTest, APanelWithoutAnEnginePostsNothingButKeepsItsState) {
  CZqUIPanel lone(static_cast<CZqEngine*>(nullptr));
  lone.SetHeaderRect(SScreenRect(0, 0, 10, 10));
  lone.OnMouseMove(0, SScreenPoint(5, 5));
  EXPECT_EQ(lone.IsTouched(), 1);
  lone.OnLButtonDown(MK_LBUTTON, SScreenPoint(5, 5));
  EXPECT_EQ(lone.IsPressed(), 1);
  lone.OnLButtonUp(0, SScreenPoint(5, 5));
  EXPECT_EQ(lone.IsPressed(), 0);
  EXPECT_EQ(lone.MsgProc(1, 2, 3), 0);
  EXPECT_TRUE(Drain().empty());
}

}  // namespace
