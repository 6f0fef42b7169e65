#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "ZqLib.h"
#include "runtime_support.h"

namespace {

class SeenLog : public CZqDebug {
 public:
  using CZqDebug::CZqDebug;
  void OnAddLog(const char* time, const char* date, const char* text) override {
    seen = std::string(time) + "|" + date + "|" + text;
    stamp = std::string(time) + "     " + date;
  }
  std::string seen, stamp;
};

}  // namespace

TEST(DebugLog, EntryIsStampMessageAndEmptyLine) {
  ScratchDir dir;
  {
    SeenLog log;
    log.ADD_LOG("value %d and %s", 42, "text");
    EXPECT_EQ(CZqFunc::GetDebuger(), &log);
    std::string stamp = log.stamp;
    EXPECT_EQ(stamp.size(), 21u);
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d:\d\d:\d\d     \d\d/\d\d/\d\d)"))) << stamp;
    // Each line is flushed at once: the file is complete while the log is still open.
    EXPECT_EQ(ReadFileText(dir.file("DEBUG.LOG")), stamp + "\nvalue 42 and text\n\n");
    EXPECT_NE(log.seen.find("|value 42 and text"), std::string::npos);
  }
  EXPECT_EQ(CZqFunc::GetDebuger(), nullptr);
}

TEST(DebugLog, NamedLogTruncatesAndCutsLongMessages) {
  ScratchDir dir;
  WriteFileBytes(dir.file("game.log"), "old contents\n");
  char name[] = "game";
  CZqDebug log(name);
  std::string longText(400, 'x');
  log.ADD_LOG("%s", longText.c_str());
  std::string text = ReadFileText(dir.file("game.log"));
  EXPECT_EQ(text.find("old"), std::string::npos);
  EXPECT_EQ(text.substr(22), std::string(263, 'x') + "\n\n");
}

TEST(DebugLog, CurrentLogRules) {
  ScratchDir dir;
  char a[] = "a", b[] = "b";
  auto* first = new CZqDebug(a);
  auto* second = new CZqDebug(b);
  EXPECT_EQ(CZqFunc::GetDebuger(), second);
  delete first;  // destroying any log clears the current one
  EXPECT_EQ(CZqFunc::GetDebuger(), nullptr);
  delete second;

  // A log that cannot open its file is current too, and silent.
  char bad[] = "no/such/folder/x";
  SeenLog silent(bad);
  EXPECT_EQ(CZqFunc::GetDebuger(), &silent);
  silent.ADD_LOG("nothing");
  EXPECT_TRUE(silent.seen.empty());
}

class Timer : public ::testing::Test {
 protected:
  void SetUp() override { zqSetManualClock(TRUE, 0xFFFFFFF0u); }
  void TearDown() override { zqSetManualClock(FALSE, 0); }
};

TEST_F(Timer, EndsOnceAcrossTheClockWrap) {
  CZqTimer t(100);
  EXPECT_EQ(t.IsEnd(), 0);  // not started
  t.Start(0);               // keeps the constructed duration
  zqAdvanceClock(100);      // the clock wraps past zero here
  EXPECT_EQ(t.IsRuning(), 1);
  EXPECT_EQ(t.IsEnd(), 0);
  zqAdvanceClock(1);
  EXPECT_EQ(t.IsRuning(), 0);
  EXPECT_EQ(t.IsEnd(), 1);
  EXPECT_EQ(t.IsEnd(), 0);

  CZqTimer copy = t;
  EXPECT_EQ(copy.m_dwStart, t.m_dwStart);
  EXPECT_EQ(copy.m_dwDuration, 100u);
}

TEST_F(Timer, ZeroDurationAndStop) {
  CZqTimer t;
  t.Start(0);
  EXPECT_EQ(t.IsRuning(), 1);  // within the same millisecond
  EXPECT_EQ(t.IsEnd(), 0);
  zqAdvanceClock(1);
  EXPECT_EQ(t.IsEnd(), 1);
  EXPECT_EQ(t.IsEnd(), 0);

  t.Start(50);
  t.Stop();
  EXPECT_EQ(t.m_dwDuration, 0u);
  EXPECT_EQ(t.IsRuning(), 1);
  zqAdvanceClock(1);
  EXPECT_EQ(t.IsRuning(), 0);
  EXPECT_EQ(t.IsEnd(), 0);
}
