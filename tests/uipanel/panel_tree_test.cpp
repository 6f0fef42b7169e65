// Panel trees built from configuration files: flags, child order, ids and ownership.
#include <cstring>

#include "peak_memory.h"
#include "uipanel_fixture.h"

namespace {

using Tree = PanelTest;

TEST_F(Tree, ConstructorsGiveChildAndTopLevelDefaults) {
  CZqUIPanel root(engine);
  CZqUIPanel child(&root);
  EXPECT_EQ(root.GetVisibleValue(), 0);
  EXPECT_EQ(root.IsBackLayer(), 0);
  EXPECT_EQ(child.GetVisibleValue(), 1);
  EXPECT_EQ(child.IsBackLayer(), 1);
  for (CZqUIPanel* p : {&root, &child}) {
    EXPECT_EQ(p->GetEnableValue(), 1);
    EXPECT_EQ(p->IsStyleChecked(), 1);
    EXPECT_EQ(p->GetZqEngine(), engine);
    EXPECT_STREQ(p->GetStyle(), "panel");
    EXPECT_STREQ(p->GetBaseStyle(), "panel");
    EXPECT_STREQ(p->GetName(), "");
    EXPECT_EQ(p->GetID(), 0u);
    EXPECT_EQ(p->GetCurrentAnimation(), nullptr);
  }
  EXPECT_EQ(child.GetParent(), &root);
  EXPECT_TRUE(root.GetSubPanels().empty());  // only Create joins the parent
}

struct FlagCase {
  const char* seting;
  int visible, enabled, movable, backLayer, toggle, caption, editable;
};

TEST_F(Tree, SetingKeysGiveTheFlagsAndMissingKeysAreFalse) {
  const FlagCase cases[] = {
      {"", 0, 0, 0, 0, 0, 0, 0},
      {"visible=true\nenable=TRUE\n", 1, 1, 0, 0, 0, 0, 0},
      {"can_move=true\nback_layer=true\nchecked=true\n", 0, 0, 1, 1, 1, 0, 0},
      {"is_caption=true\ncan_edit=true\nvisible=yes\n", 0, 0, 0, 0, 0, 1, 1},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.seting);
    Write("p.ini", std::string("[SETING]\nsize=30,20\n") + c.seting);
    CZqUIPanel root(engine);
    ASSERT_EQ(root.Create("p.ini", SScreenPoint(5, 6), ""), 1);
    EXPECT_EQ(root.GetVisibleValue(), c.visible);
    EXPECT_EQ(root.GetEnableValue(), c.enabled);
    EXPECT_EQ(root.IsCanMove(), c.movable);
    EXPECT_EQ(root.IsBackLayer(), c.backLayer);
    EXPECT_EQ(root.IsStyleChecked(), c.toggle);
    EXPECT_EQ(root.IsTextbox(), c.caption);
    EXPECT_EQ(root.IsCanEdit(), c.editable);
    EXPECT_EQ(root.GetRect().left, 5);
    EXPECT_EQ(root.GetRect().top, 6);
    EXPECT_EQ(root.GetSize(), SScreenPoint(30, 20));
    EXPECT_STREQ(root.GetName(), "p.ini");  // an empty name takes the configuration's
  }
}

const char* kChild = "[SETING]\nvisible=true\nenable=true\nback_layer=true\n";

struct ListCase {
  const char* items;
  std::vector<std::string> frontToBack;
};

TEST_F(Tree, ItemsBuildChildrenUntilTheFirstEmptyOrUnknownStyle) {
  Write("c.ini", kChild);
  const ListCase cases[] = {
      {"[ITEM_1]\nstyle=\n", {}},
      {"[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n", {"a"}},
      {"[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n[ITEM_2]\nstyle=panel\nconfig=c.ini\nname=b\n"
       "[ITEM_3]\nstyle=panel\nconfig=c.ini\nname=c\n",
       {"c", "b", "a"}},  // each new child goes to the front
      {"[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n[ITEM_2]\nstyle=\n"
       "[ITEM_3]\nstyle=panel\nconfig=c.ini\nname=c\n",
       {"a"}},
      {"[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n[ITEM_2]\nstyle=Panel\nconfig=c.ini\n"
       "[ITEM_3]\nstyle=panel\nconfig=c.ini\nname=c\n",
       {"a"}},
      {"[ITEM_1]\nstyle=panel\nconfig=c.ini\n", {"c.ini"}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.items);
    Write("root.ini", std::string("[SETING]\nvisible=true\n") + c.items);
    CZqUIPanel root(engine);
    ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), "root"), 1);
    std::vector<std::string> names;
    for (CZqUIPanel* p : root.GetSubPanels()) {
      names.push_back(p->GetName());
      EXPECT_EQ(p->GetParent(), &root);
      EXPECT_EQ(p->IsBackLayer(), 0);  // forced off under a front-layer parent
    }
    EXPECT_EQ(names, c.frontToBack);
  }
}

TEST_F(Tree, IdsAreTheFirstFreeAndAPanelCreatedAgainKeepsItsId) {
  auto* a = new CZqUIPanel(engine);
  auto* b = new CZqUIPanel(engine);
  ASSERT_EQ(a->Create(nullptr, SScreenPoint(0, 0), nullptr), 1);
  ASSERT_EQ(b->Create(nullptr, SScreenPoint(0, 0), nullptr), 1);
  EXPECT_EQ(a->GetID(), 100u);
  EXPECT_EQ(b->GetID(), 101u);
  ASSERT_EQ(b->Create(nullptr, SScreenPoint(1, 1), nullptr), 1);
  EXPECT_EQ(b->GetID(), 101u);
  EXPECT_EQ(engine->FindUIFromID(101), b);
  EXPECT_EQ(engine->FindUIFromID(102), nullptr);
  delete a;
  EXPECT_EQ(engine->FindUIFromID(100), nullptr);
  auto* c = new CZqUIPanel(engine);
  c->Create(nullptr, SScreenPoint(0, 0), nullptr);
  EXPECT_EQ(c->GetID(), 100u);
  delete b;
  delete c;
  EXPECT_EQ(engine->FindUIFromID(100), nullptr);
  EXPECT_EQ(engine->FindUIFromID(101), nullptr);
}

TEST_F(Tree, APanelWithoutEngineIsNotCreated) {
  CZqUIPanel lone(static_cast<CZqEngine*>(nullptr));
  EXPECT_EQ(lone.Create("p.ini", SScreenPoint(0, 0), "x"), 0);
  EXPECT_EQ(lone.GetID(), 0u);
  EXPECT_EQ(lone.Draw(SScreenPoint(0, 0)), 0);
}

TEST_F(Tree, DetachAndAttachKeepTheIdAndTheRegistration) {
  Write("c.ini", kChild);
  Write("root.ini",
        "[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n[ITEM_2]\nstyle=panel\nconfig=c.ini\nname=b\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), "root"), 1);
  ASSERT_EQ(root.GetSubPanels().size(), 2u);
  CZqUIPanel* a = root.GetSubPanels().back();
  const DWORD id = a->GetID();
  root.DelSubPanel(a);
  root.DelSubPanel(a);  // not a child any more: nothing
  EXPECT_EQ(root.GetSubPanels().size(), 1u);
  EXPECT_EQ(engine->FindUIFromID(id), a);
  root.AddSubPanel(a);
  root.AddSubPanel(a);  // already a child: nothing
  EXPECT_EQ(root.GetSubPanels().size(), 2u);
  EXPECT_EQ(root.GetSubPanels().front(), a);
  EXPECT_EQ(a->GetID(), id);
  a->SetBackMost();
  EXPECT_EQ(root.GetSubPanels().back(), a);
  a->SetTopMost();
  EXPECT_EQ(root.GetSubPanels().front(), a);
}

// Run under ASan: no leak, no use of a freed parent, no registry entry left behind.
TEST_F(Tree, DestroyingAParentAlsoDestroysTheChildrenItCreatedThatAreDetached) {
  Write("c.ini", kChild);
  Write("root.ini",
        "[ITEM_1]\nstyle=panel\nconfig=c.ini\nname=a\n[ITEM_2]\nstyle=panel\nconfig=c.ini\nname=b\n");
  CZqUIPanel other(engine);
  other.Create(nullptr, SScreenPoint(0, 0), nullptr);
  auto* root = new CZqUIPanel(engine);
  ASSERT_EQ(root->Create("root.ini", SScreenPoint(0, 0), "root"), 1);
  CZqUIPanel* b = root->GetSubPanels().front();
  CZqUIPanel* a = root->GetSubPanels().back();
  const DWORD idA = a->GetID(), idB = b->GetID();
  root->DelSubPanel(a);
  other.AddSubPanel(b);  // moves it: one list at a time
  EXPECT_TRUE(root->GetSubPanels().empty());

  // Created again: the detached child of the first life does not linger under its name.
  ASSERT_EQ(root->Create("root.ini", SScreenPoint(0, 0), "root"), 1);
  EXPECT_EQ(engine->FindUIFromID(idA), root->GetSubPanels().back());
  EXPECT_STREQ(engine->FindUIFromID(idA)->GetName(), "a");
  EXPECT_EQ(engine->FindUIFromID(idB), b);  // held by another panel: kept
  delete root;
  // The panel another one holds survives its creator and answers to its holder.
  ASSERT_EQ(other.GetSubPanels().size(), 1u);
  EXPECT_EQ(b->GetParent(), &other);
  EXPECT_EQ(b->IsVisible(), 1);
  other.Cleanup();
  EXPECT_EQ(engine->FindUIFromID(idB), nullptr);
  EXPECT_EQ(engine->FindUIFromID(idA), nullptr);
}

TEST_F(Tree, AConfigurationNamingItselfBuildsNoEndlessTree) {
  Write("loop.ini", "[ITEM_1]\nstyle=panel\nconfig=loop.ini\n[ITEM_2]\nstyle=panel\nconfig=leaf.ini\n");
  Write("leaf.ini", "[ITEM_1]\nstyle=panel\nconfig=loop.ini\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("loop.ini", SScreenPoint(0, 0), nullptr), 1);
  ASSERT_EQ(root.GetSubPanels().size(), 1u);
  EXPECT_STREQ(root.GetSubPanels().front()->GetConfig(), "leaf.ini");
  EXPECT_TRUE(root.GetSubPanels().front()->GetSubPanels().empty());
}

int CountPanels(CZqUIPanel* p) {
  int n = 0;
  for (CZqUIPanel* c : p->GetSubPanels()) n += 1 + CountPanels(c);
  return n;
}

// Six small files, each listing the next ten times, would build 111110 panels: one load stops
// at its cap, says so once in the log, and the next load builds in full again.
TEST_F(Tree, ABombOfConfigurationsStopsAtTheCapOfOneLoad) {
  for (int level = 0; level < 5; ++level) {
    std::string text;
    for (int item = 1; item <= 10; ++item)
      text +=
          "[ITEM_" + std::to_string(item) + "]\nstyle=panel\nconfig=b" + std::to_string(level + 1) + ".ini\n";
    Write("b" + std::to_string(level) + ".ini", text);
  }
  Write("b5.ini", "[SETING]\nvisible=true\n");
  Write("small.ini", "[ITEM_1]\nstyle=panel\nconfig=b4.ini\n");
  {
    CZqDebug log;
    const long grown = test_memory::PeakGrowthKb([&] {
      CZqUIPanel root(engine);
      ASSERT_EQ(root.Create("b0.ini", SScreenPoint(0, 0), nullptr), 1);
      EXPECT_EQ(CountPanels(&root), 9899);
    });
    EXPECT_LT(grown, 64 * 1024 * test_memory::kCostFactor);  // about 2 KiB a panel
    CZqUIPanel again(engine);
    ASSERT_EQ(again.Create("small.ini", SScreenPoint(0, 0), nullptr), 1);
    EXPECT_EQ(CountPanels(&again), 11);
  }
  const std::string text = ReadFileText(dir.file("DEBUG.LOG"));
  const std::string refused = "panel load refused: more than 9899 panels in one load";
  const size_t at = text.find(refused);
  EXPECT_NE(at, std::string::npos);
  EXPECT_EQ(text.find(refused, at + 1), std::string::npos);
}

TEST_F(Tree, TheLogLinePrintsEmptyTextForANullNameOrConfiguration) {
  {
    CZqDebug log;
    CZqUIPanel root(engine);
    root.Create(nullptr, SScreenPoint(3, 4), nullptr);
  }
  const std::string text = ReadFileText(dir.file("DEBUG.LOG"));
  EXPECT_NE(text.find(zqUtf8ToGbk("加载界面---位置-(3,4)--名子- ")), std::string::npos) << text;
}

}  // namespace

namespace {

TEST_F(Tree, InEditModeChildrenAreMadeFromTheStyleOfTheirOwnConfiguration) {
  Write("plain.ini", "[GLOBALS]\nstyle=panel\n[SETING]\nvisible=true\n");
  Write("odd.ini", "[GLOBALS]\nstyle=nosuch\n");
  Write("root.ini",
        "[SETING]\nvisible=true\n[ITEM_1]\nstyle=button\nconfig=plain.ini\nname=b\n"
        "[ITEM_2]\nstyle=panel\nconfig=odd.ini\n[ITEM_3]\nstyle=panel\nconfig=plain.ini\n");
  struct Mode {
    int edit;
    size_t children;
    bool button;
  };
  for (const Mode m : {Mode{0, 3, true}, Mode{1, 1, false}}) {
    SCOPED_TRACE(m.edit);
    CZqFunc::UI_SetEditMode(m.edit);
    CZqUIPanel root(engine);
    ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
    CZqFunc::UI_SetEditMode(0);
    ASSERT_EQ(root.GetSubPanels().size(), m.children);
    CZqUIPanel* b = root.GetSubPanels().back();
    EXPECT_STREQ(b->GetName(), "b");
    EXPECT_STREQ(b->GetStyle(), "button");  // saved under the item's style either way
    EXPECT_EQ(dynamic_cast<ZQ_UI_Button*>(b) != nullptr, m.button);
  }
}

TEST_F(Tree, StateSettersKeepTheirFlagsConsistent) {
  Write("p.ini", "[SETING]\nvisible=true\nenable=true\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("p.ini", SScreenPoint(0, 0), nullptr), 1);
  CZqUIPanel child(&root);
  child.Create("p.ini", SScreenPoint(0, 0), nullptr);
  child.SetBackLayer(1);
  EXPECT_EQ(child.IsBackLayer(), 0);  // the parent is in front
  child.SetPressValue(1);
  child.SetCheckedValue(1);
  EXPECT_EQ(child.IsPressed(), 0);
  child.SetPressValue(1);
  EXPECT_EQ(child.IsChecked(), 0);
  child.SetTouch(1);
  child.SetEnable(0);
  EXPECT_EQ(child.IsTouched(), 0);
  EXPECT_EQ(child.IsPressed(), 0);
  child.SetTouch(1);
  EXPECT_EQ(child.GetEnableValue(), 1);
  root.SetEnableValue(0);
  EXPECT_EQ(child.IsEnable(), 0);
  EXPECT_EQ(root.IsVisible(), 1);  // a top-level panel does not consult its own flag
  root.SetVisibleValue(0);
  EXPECT_EQ(root.IsVisible(), 1);
  EXPECT_EQ(child.IsVisible(), 1);
  child.SetVisibleValue(0);
  EXPECT_EQ(child.IsVisible(), 0);
  child.SetFocus();
  EXPECT_EQ(root.IsFocus(), 1);
  child.SetSize(SScreenPoint(30, 40));
  child.SetPosition(SScreenPoint(5, 6));
  EXPECT_EQ(child.GetRect().bottom_right(), SScreenPoint(35, 46));
}

}  // namespace
