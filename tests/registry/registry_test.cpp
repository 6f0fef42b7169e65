// The engine's panel registry, UI factory and resource lookup.
#include <gtest/gtest.h>

#include "ZqLib.h"

namespace {

CZqUIPanel* const kMade = reinterpret_cast<CZqUIPanel*>(0x10);
CZqUIPanel* g_parent = nullptr;
CZqUIPanel* MakeProbe(CZqEngine*, CZqUIPanel* parent) {
  g_parent = parent;
  return kMade;
}

TEST(Registry, FactoryCreatesOnlyRegisteredStylesExactly) {
  // A style of the test's own: the engine's widgets register theirs with real constructors.
  CZqEngine engine;
  CZqUIPanel* parent = reinterpret_cast<CZqUIPanel*>(0x20);
  EXPECT_EQ(engine.UI_New_Register(parent, "probe"), nullptr);
  CZqEngine::UI_RegisterStyle("probe", &MakeProbe);
  EXPECT_EQ(engine.UI_New_Register(parent, "probe"), kMade);
  EXPECT_EQ(g_parent, parent);
  for (const char* style : {"Probe", "probe ", ""})
    EXPECT_EQ(engine.UI_New_Register(parent, style), nullptr) << style;
  CZqEngine::UI_RegisterStyle("probe", nullptr);
  EXPECT_EQ(engine.UI_New_Register(parent, "probe"), nullptr);
}

TEST(Registry, PanelIdsAreTheFirstFreeFrom100To9998) {
  CZqEngine engine;
  auto* a = reinterpret_cast<CZqUIPanel*>(0x100);
  auto* b = reinterpret_cast<CZqUIPanel*>(0x200);
  EXPECT_EQ(engine._RegisterUI(a), 100u);
  EXPECT_EQ(engine._RegisterUI(b), 101u);
  EXPECT_EQ(engine.FindUIFromID(101), b);
  engine._ForgetUI(100, b);  // only its own entry
  EXPECT_EQ(engine.FindUIFromID(100), a);
  engine._ForgetUI(100, a);
  EXPECT_EQ(engine.FindUIFromID(100), nullptr);
  EXPECT_EQ(engine._RegisterUI(b), 100u);
  for (DWORD id = 102; id <= 9998; ++id) ASSERT_EQ(engine._RegisterUI(a), id);
  EXPECT_EQ(engine._RegisterUI(a), 0u) << "all ids taken";
  EXPECT_EQ(engine.FindUIFromID(9999), nullptr);
}

TEST(Registry, NamesWithoutAPackAreThemselves) {
  CZqEngine engine;
  EXPECT_EQ(engine.FindSource("a.wav"), nullptr);
  CConfig config;
  EXPECT_EQ(engine.LoadConfig(config, "game\\ui.ini"), 1);
  EXPECT_STREQ(config.GetINIFile(), "game\\ui.ini");
  engine.SetMediaVolume(500);
  EXPECT_EQ(engine.GetMediaVolume(), 0);
  engine.SetMediaVolume(-20000);
  EXPECT_EQ(engine.GetMediaVolume(), -10000);
}

}  // namespace
