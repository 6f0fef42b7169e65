// Panels looked up by name: in id order, exact bytes, forgotten when deleted.
#include <gtest/gtest.h>

#include <memory>

#include "ZqLib.h"
#include "started_engine.h"

namespace {

class PanelNames : public StartedEngineTest<> {
 protected:
  // A top-level panel registered under the first free id.
  std::unique_ptr<CZqUIPanel> Panel(const char* name) {
    auto p = std::make_unique<CZqUIPanel>(engine);
    EXPECT_EQ(p->Create(nullptr, SScreenPoint(0, 0), nullptr), 1);
    p->SetName(name);
    return p;
  }
};

TEST_F(PanelNames, TheLowestIdOfAnExactNameIsFound) {
  auto first = Panel("spin");
  auto other = Panel("bet");
  auto second = Panel("spin");
  ASSERT_LT(first->GetID(), second->GetID());
  EXPECT_EQ(engine->FindUIFromName("spin"), first.get());
  EXPECT_EQ(engine->FindUIFromName("bet"), other.get());
  for (const char* miss : {"Spin", "spi", "spin ", ""})
    EXPECT_EQ(engine->FindUIFromName(miss), nullptr) << '"' << miss << '"';
  EXPECT_EQ(engine->FindUIFromName(nullptr), nullptr);

  first.reset();  // leaves the registry
  EXPECT_EQ(engine->FindUIFromName("spin"), second.get());
  auto newest = Panel("spin");  // takes the freed lowest id
  EXPECT_LT(newest->GetID(), second->GetID());
  EXPECT_EQ(engine->FindUIFromName("spin"), newest.get()) << "the id decides, not the age";
}

TEST_F(PanelNames, FactoryPanelsAreFoundOnceCreated) {
  CZqUIPanel* made = engine->UI_New_Register(nullptr, "panel");
  ASSERT_NE(made, nullptr);
  std::unique_ptr<CZqUIPanel> owned(made);
  ASSERT_EQ(made->Create(nullptr, SScreenPoint(0, 0), nullptr), 1);
  made->SetName("lever");
  EXPECT_EQ(engine->FindUIFromName("lever"), made);
}

}  // namespace
