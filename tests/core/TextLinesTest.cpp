#include "io/TextLines.h"

#include <gtest/gtest.h>

namespace brumeleaf {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TextLines, LineEndingsOfEverySystemGiveTheSameLines) {
  EXPECT_EQ(SplitTextLines("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\r\nb"), (Lines{"a", "b"}));  // last line without an ending
}

TEST(TextLines, EmptyLinesCountButNoLineFollowsTheLastEnding) {
  EXPECT_TRUE(SplitTextLines("").empty());
  EXPECT_EQ(SplitTextLines("\n"), (Lines{""}));
  EXPECT_EQ(SplitTextLines("a\n\r\n\nb"), (Lines{"a", "", "", "b"}));
  // Only one '\r' right before the ending is dropped; others are text.
  EXPECT_EQ(SplitTextLines("a\r\r\n\rb"), (Lines{"a\r", "\rb"}));
}

TEST(TextLines, CopiesMatchTheViews) {
  const std::vector<std::string> copies = SplitTextLinesCopy("x\r\ny");
  EXPECT_EQ(copies, (std::vector<std::string>{"x", "y"}));
}

}  // namespace
}  // namespace brumeleaf

namespace brumeleaf {
namespace {

TEST(TextLines, MessagesShowOnlyPrintableCharacters) {
  EXPECT_EQ(EscapedForMessage("plain 12"), "plain 12");
  EXPECT_EQ(EscapedForMessage(std::string_view("a\0b\\c\t\x7f\x80", 8)), "a\\x00b\\\\c\\x09\\x7F\\x80");
  EXPECT_EQ(EscapedForMessage("abcdef", 3), "abc...");
  EXPECT_EQ(EscapedForMessage("abc", 3), "abc");
  EXPECT_EQ(EscapedForMessage(""), "");
}

}  // namespace
}  // namespace brumeleaf
