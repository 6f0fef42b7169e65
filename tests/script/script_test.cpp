// The script data object: copies keep the pairs in order and own them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ZqLib.h"

namespace scripttest {
namespace {

using Pairs = std::vector<CZqScript::Entry>;

Pairs PairsOf(const CZqScript& s) { return Pairs(s.m_listEntries.begin(), s.m_listEntries.end()); }

CZqScript Sample() {
  CZqScript s;
  s.m_strName = ZQ_GBK("开场");
  s.m_listEntries = {{"b", "2"}, {"a", "1"}, {"b", "3"}};
  return s;
}

TEST(ScriptTest, AFreshScriptIsEmptyAndCopiesAreInOrderAndIndependent) {
  const CZqScript empty;
  EXPECT_TRUE(empty.m_strName.empty());
  EXPECT_TRUE(empty.m_listEntries.empty());

  CZqScript original = Sample();
  CZqScript copied(original);
  CZqScript assigned;
  assigned.m_strName = "old";
  assigned.m_listEntries = {{"x", "y"}};
  assigned = original;
  const Pairs expected = {{"b", "2"}, {"a", "1"}, {"b", "3"}};
  for (const CZqScript* s : {&copied, &assigned}) {
    EXPECT_EQ(s->m_strName, original.m_strName);
    EXPECT_EQ(PairsOf(*s), expected);
  }

  // Changing one leaves the others as they were.
  original.m_strName = "changed";
  original.m_listEntries.front().second = "9";
  original.m_listEntries.pop_back();
  copied.m_listEntries.push_back({"c", "4"});
  EXPECT_EQ(PairsOf(assigned), expected);
  EXPECT_EQ(assigned.m_strName, ZQ_GBK("开场"));
  EXPECT_EQ(PairsOf(original), (Pairs{{"b", "9"}, {"a", "1"}}));
  EXPECT_EQ(copied.m_listEntries.size(), 4u);
}

TEST(ScriptTest, SelfAssignmentChangesNothingAndArraysAreFreedElementByElement) {
  CZqScript s = Sample();
  CZqScript& alias = s;
  s = alias;
  EXPECT_EQ(s.m_strName, ZQ_GBK("开场"));
  EXPECT_EQ(PairsOf(s), (Pairs{{"b", "2"}, {"a", "1"}, {"b", "3"}}));

  // Under the sanitizer build a leak or a double free of any element's pairs fails here.
  std::unique_ptr<CZqScript[]> many(new CZqScript[3]);
  for (int i = 0; i < 3; ++i) many[i] = Sample();
  many[1].m_listEntries.clear();
  many.reset();
  std::unique_ptr<CZqScript> owned = std::make_unique<CZqScript>(Sample());
  EXPECT_EQ(owned->m_listEntries.size(), 3u);
}

}  // namespace
}  // namespace scripttest
