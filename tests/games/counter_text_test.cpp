// Configured texts with number placeholders: only the number conversions are filled in.
#include <gtest/gtest.h>

#include <string>

#include "games/core/CounterText.h"

namespace gamestest {
namespace {

std::string Format(const char* format, std::initializer_list<int> values, size_t size = 1000) {
  std::string out(size, '#');
  const int n = FormatCounterText(out.data(), size, format, values.begin(), static_cast<int>(values.size()));
  const std::string text = size ? out.c_str() : "";
  EXPECT_EQ(n, static_cast<int>(text.size())) << format;
  return text;
}

TEST(CounterText, NumberPlaceholdersAreFilledAndEveryOtherSequenceIsShownAsWritten) {
  const struct {
    const char* format;
    std::initializer_list<int> values;
    const char* expected;
  } cases[] = {
      {"week %d: %i players, pool %u", {5, 6, 7}, "week 5: 6 players, pool 7"},
      {"%d %d %d %d", {1, 2, 3}, "1 2 3 0"},  // missing numbers print 0
      {"%d", {}, "0"},
      {"100%% sure", {}, "100% sure"},
      {"%5d|%-5d|%05d|%+d|% d", {42, 42, 42, 42, 42}, "   42|42   |00042|+42| 42"},
      {"%-05d|", {7}, "7    |"},
      {"%d", {-2147483647 - 1}, "-2147483648"},
      {"%u", {-1}, "4294967295"},
      {"%s %n %x %p %ld %.2d %*d", {1, 2, 3}, "%s %n %x %p %ld %.2d %*d"},
      {"%s then %d", {9}, "%s then 9"},
      {"trailing %", {}, "trailing %"},
      {"%5", {}, "%5"},
      {"", {1}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.format, c.values), c.expected) << c.format;
}

TEST(CounterText, OutputIsBoundedByTheBufferWhateverTheWidth) {
  EXPECT_EQ(Format("abcdef", {}, 4), "abc");
  EXPECT_EQ(Format("%d", {123456}, 4), "123");
  EXPECT_EQ(Format("%999999999999d", {1}, 8), "       ");
  EXPECT_EQ(Format("%-999999999999d", {1}, 8), "1      ");
  EXPECT_EQ(Format("%%%%", {}, 2), "%");
  char one[1] = {'x'};
  EXPECT_EQ(FormatCounterText(one, 1, "abc", nullptr, 0), 0);
  EXPECT_EQ(one[0], 0);
  EXPECT_EQ(FormatCounterText(nullptr, 0, "abc", nullptr, 0), 0);
  char buffer[8];
  EXPECT_EQ(FormatCounterText(buffer, sizeof(buffer), nullptr, nullptr, 0), 0);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace gamestest
