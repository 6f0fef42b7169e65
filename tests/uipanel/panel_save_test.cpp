// SaveConfig writes files that load back into the same tree.
#include <cstring>

#include "uipanel_fixture.h"

namespace {

using Save = PanelTest;

void ExpectSameTree(CZqUIPanel& a, CZqUIPanel& b) {
  SCOPED_TRACE(a.GetName());
  EXPECT_STREQ(a.GetStyle(), b.GetStyle());
  EXPECT_STREQ(a.GetBaseStyle(), b.GetBaseStyle());
  EXPECT_STREQ(a.GetName(), b.GetName());
  EXPECT_STREQ(a.GetConfig(), b.GetConfig());
  EXPECT_EQ(a.GetRect().top_left(), b.GetRect().top_left());
  EXPECT_EQ(a.GetSize(), b.GetSize());
  EXPECT_EQ(a.GetHeaderRect().top_left(), b.GetHeaderRect().top_left());
  EXPECT_EQ(a.GetHeaderRect().bottom_right(), b.GetHeaderRect().bottom_right());
  EXPECT_EQ(a.GetVisibleValue(), b.GetVisibleValue());
  EXPECT_EQ(a.GetEnableValue(), b.GetEnableValue());
  EXPECT_EQ(a.IsCanMove(), b.IsCanMove());
  EXPECT_EQ(a.IsBackLayer(), b.IsBackLayer());
  EXPECT_EQ(a.IsStyleChecked(), b.IsStyleChecked());
  EXPECT_EQ(a.IsTextbox(), b.IsTextbox());
  EXPECT_EQ(a.IsCanEdit(), b.IsCanEdit());
  EXPECT_STREQ(a.GetCaption(), b.GetCaption());
  EXPECT_EQ(a.GetAlign(), b.GetAlign());
  EXPECT_EQ(a.GetColor(), b.GetColor());
  EXPECT_STREQ(a.GetFont()->szFace, b.GetFont()->szFace);
  EXPECT_EQ(int32_t{a.GetFont()->nSize}, int32_t{b.GetFont()->nSize});
  EXPECT_STREQ(a.GetImageNormal(), b.GetImageNormal());
  EXPECT_STREQ(a.GetImagePress(), b.GetImagePress());
  EXPECT_STREQ(a.GetImageDisable(), b.GetImageDisable());
  ASSERT_EQ(a.GetSubPanels().size(), b.GetSubPanels().size());
  auto ia = a.GetSubPanels().begin();
  for (CZqUIPanel* cb : b.GetSubPanels()) ExpectSameTree(**ia++, *cb);
}

TEST_F(Save, RoundTripOfATreeWithChangesLoadsTheSameTree) {
  CZqUIPanel root(engine);
  WriteTga("n.tga", 2, 2, 0xFFFFFFFF);
  Write("a.ini", "[SETING]\nvisible=true\nenable=true\n[IMAGE]\nnormal=n.tga\n");
  Write("b.ini", "[SETING]\nvisible=true\n");
  Write("root.ini",
        "[GLOBALS]\nstyle=main\n[SETING]\nsize=800,600\nvisible=true\nenable=true\nis_caption=true\n"
        "header_rect=0,0,100,30\ncaption=Spin\nalign=2\nfont=Face A,18,134,0,1,0\ncolor=255,1,2,3\n"
        "[ITEM_1]\nstyle=panel\nconfig=a.ini\npos=10,20\nname=first\n"
        "[ITEM_2]\nstyle=panel\nconfig=b.ini\npos=30,40\n");
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), "root"), 1);
  CZqUIPanel* front = root.GetSubPanels().front();
  front->SetPosition(SScreenPoint(7, 8));
  front->SetCanMove(1);
  root.GetSubPanels().back()->SetEnable(0);
  // Texts the file would otherwise trim or unquote.
  root.SetCaption("  two  words ");
  front->SetName("\"quoted\"");
  ASSERT_EQ(root.SaveConfig("out.ini"), 1);
  EXPECT_NE(ReadFileText(dir.file("b.ini")).find("can_move=true"), std::string::npos);

  CZqUIPanel again(engine);
  ASSERT_EQ(again.Create("out.ini", SScreenPoint(0, 0), "root"), 1);
  EXPECT_STREQ(again.GetCaption(), "  two  words ");
  EXPECT_STREQ(again.GetSubPanels().front()->GetName(), "\"quoted\"");
  // The saved root is out.ini; everything else is the same tree.
  EXPECT_STREQ(again.GetConfig(), "out.ini");
  ExpectSameTree(*root.GetSubPanels().front(), *again.GetSubPanels().front());
  ExpectSameTree(*root.GetSubPanels().back(), *again.GetSubPanels().back());
  EXPECT_STREQ(again.GetBaseStyle(), "main");
  EXPECT_EQ(again.GetColor(), 0xFF010203u);
  EXPECT_EQ(int32_t{again.GetFont()->nCharset}, 134);
}

TEST_F(Save, AShorterChildListDoesNotBringOldItemsBack) {
  Write("a.ini", "[SETING]\nvisible=true\n");
  Write("root.ini",
        "[SETING]\nvisible=true\n"
        "[ITEM_1]\nstyle=panel\nconfig=a.ini\nname=x\n[ITEM_2]\nstyle=panel\nconfig=a.ini\nname=y\n"
        "[ITEM_3]\nstyle=panel\nconfig=a.ini\nname=z\n");
  for (size_t keep : {2u, 0u}) {
    SCOPED_TRACE(keep);
    CZqUIPanel root(engine);
    ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
    while (root.GetSubPanels().size() > keep) delete root.GetSubPanels().front();
    ASSERT_EQ(root.SaveConfig(nullptr), 1);  // into its own file
    CZqUIPanel again(engine);
    ASSERT_EQ(again.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
    ExpectSameTree(root, again);
  }
}

TEST_F(Save, WhatTheFileCannotHoldIsReportedAsAFailure) {
  Write("a.ini", "[SETING]\nvisible=true\n");
  Write("root.ini", "[SETING]\nvisible=true\n[ITEM_1]\nstyle=panel\nconfig=a.ini\n");
  CZqUIPanel root(engine);
  ASSERT_EQ(root.Create("root.ini", SScreenPoint(0, 0), nullptr), 1);
  EXPECT_EQ(root.SaveConfig((dir.path() + "/no/such/folder/x.ini").c_str()), 0);

  root.SetCaption("two\nlines");
  EXPECT_EQ(root.SaveConfig("out.ini"), 0);
  root.SetCaption("one line");
  EXPECT_EQ(root.SaveConfig("out.ini"), 1);

  // A child made without a configuration has no file to write itself into.
  auto* bare = new CZqUIPanel(&root);
  bare->Create(nullptr, SScreenPoint(0, 0), nullptr);
  EXPECT_EQ(root.SaveConfig("out.ini"), 0);
}

}  // namespace
