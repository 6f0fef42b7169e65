// Composing and splitting message texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/MsgText.h"

TEST(MsgText, FormatIsBoundedAndCountsTheTerminator) {
  CMsgText t;
  EXPECT_EQ(t.Format("%d luck", 1540), 9);
  EXPECT_EQ(t.GetLength(), 10);
  EXPECT_EQ(t.AppendFormat(" %d", 7), 11);
  EXPECT_STREQ(t.GetBuffer(), "1540 luck 7");
  std::string big(4096, 'x');
  EXPECT_EQ(t.Format("%s", big.c_str()), -1);
  EXPECT_EQ(t.GetLength(), 1);
  EXPECT_EQ(t.Format("%s", big.c_str() + 1), 4095);
  EXPECT_EQ(t.AppendFormat("yz"), -1);
  EXPECT_EQ(t.GetLength(), 4096);
  EXPECT_EQ(t.Format("%s", "ok"), 2);
}

TEST(MsgText, SplitFirstAndSplit) {
  struct Case {
    const char* text;
    const char* code;  // nullptr: no token
    const char* rest;  // nullptr: none
    int fields;
  } cases[] = {
      {"1501 1", "1501", "1", 1},
      {"1540", "1540", nullptr, 0},
      {"   1511  1  x   key ", "1511", " 1  x   key ", 3},
      {"1501 ", "1501", "", 0},
      {"", nullptr, nullptr, 0},
      {"    ", nullptr, nullptr, 0},
  };
  CMsgText t;
  for (const Case& c : cases) {
    char text[64];
    std::strcpy(text, c.text);
    char* rest = reinterpret_cast<char*>(1);
    char* code = t.SplitFirst(text, &rest, " ");
    if (c.code) {
      ASSERT_NE(code, nullptr) << c.text;
      EXPECT_STREQ(code, c.code) << c.text;
    } else {
      EXPECT_EQ(code, nullptr) << c.text;
    }
    if (c.rest) {
      ASSERT_NE(rest, nullptr) << c.text;
      EXPECT_STREQ(rest, c.rest) << c.text;
      char* fields[8];
      EXPECT_EQ(CMsgText::Split(rest, fields, 8, " "), c.fields) << c.text;
    } else {
      EXPECT_EQ(rest, nullptr) << c.text;
    }
  }
}

TEST(MsgText, SplitKeepsAtMostTheArraySize) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + " ";
  char* fields[256];
  EXPECT_EQ(CMsgText::Split(text.data(), fields, 256, " "), 256);
  EXPECT_STREQ(fields[255], "255");
}
