#include "runtime/string_stack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/error_state.h"

namespace tentaria::runtime {
namespace {

// Records the run-time errors raised while a test runs.
class StringStackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetRuntimeErrorHandler([this](int number, std::string_view text) {
      errors_.push_back(number);
      texts_.emplace_back(text);
    });
  }
  void TearDown() override { SetRuntimeErrorHandler(std::move(previous_)); }

  std::string Pop(TypeCode type, std::size_t size, char initial = '#') {
    std::vector<std::uint8_t> field(size, static_cast<std::uint8_t>(initial));
    stack_.PopInto(type, field);
    return std::string(field.begin(), field.end());
  }

  StringStack stack_;
  std::vector<int> errors_;
  std::vector<std::string> texts_;
  RuntimeErrorHandler previous_;
};

TEST_F(StringStackTest, PoppingIntoEachDestinationType) {
  using namespace std::string_literals;
  stack_.PushOwned("ABCDEFG");
  EXPECT_EQ(Pop(TypeCode::CSTRING, 5), "ABCD\0"s);
  stack_.PushOwned("AB");
  EXPECT_EQ(Pop(TypeCode::CSTRING, 5), "AB\0##"s);
  stack_.PushOwned("ABCDEFG");
  EXPECT_EQ(Pop(TypeCode::STRING, 5), "ABCDE");
  stack_.PushOwned("AB");
  EXPECT_EQ(Pop(TypeCode::STRING, 5), "AB   ");
  stack_.PushOwned("ABCDEFG");
  EXPECT_EQ(Pop(TypeCode::PSTRING, 5),
            "\x04"
            "ABCD"s);
  stack_.PushOwned("AB");
  EXPECT_EQ(Pop(TypeCode::PSTRING, 5),
            "\x02"
            "AB##"s);
  // A GROUP or MEMO takes a text as a STRING does.
  stack_.PushOwned("AB");
  EXPECT_EQ(Pop(TypeCode::GROUP, 4), "AB  ");
  stack_.PushOwned("AB");
  EXPECT_EQ(Pop(TypeCode::MEMO, 3), "AB ");
  EXPECT_TRUE(errors_.empty());
  EXPECT_TRUE(stack_.Empty());
}

TEST_F(StringStackTest, PstringCountsAtMost255) {
  stack_.PushOwned(std::string(400, 'x'));
  std::string field = Pop(TypeCode::PSTRING, 300);
  EXPECT_EQ(static_cast<unsigned char>(field[0]), 255);
  EXPECT_EQ(field.substr(1, 255), std::string(255, 'x'));
  EXPECT_EQ(field.substr(256), std::string(44, '#'));
}

TEST_F(StringStackTest, FillValues) {
  using namespace std::string_literals;
  stack_.PushFill(1);
  EXPECT_EQ(Pop(TypeCode::STRING, 4), "\xFF\xFF\xFF\xFF"s);
  stack_.PushFill(-1);
  EXPECT_EQ(Pop(TypeCode::STRING, 4), "\0\0\0\0"s);
  stack_.PushFill(0);
  EXPECT_EQ(Pop(TypeCode::STRING, 4), "    ");
  // Into the other text types a fill value is an endless run of its byte.
  stack_.PushFill(7);
  EXPECT_EQ(Pop(TypeCode::CSTRING, 4), "\xFF\xFF\xFF\0"s);
  stack_.PushFill(0);
  EXPECT_EQ(Pop(TypeCode::PSTRING, 4), "\x03   "s);
  EXPECT_TRUE(errors_.empty());
  // A fill value has no text of its own.
  stack_.PushFill(0);
  EXPECT_EQ(stack_.Top(), "");
  EXPECT_EQ(stack_.PopText(), "");
  EXPECT_EQ(errors_, std::vector<int>{kStringStackError});
}

TEST_F(StringStackTest, OwnedTextsAreCopiesAndBorrowedTextsAreNot) {
  std::string source = "before";
  stack_.PushBorrowed(source);
  stack_.PushOwned(source);
  source.replace(0, 6, "after!");
  EXPECT_EQ(stack_.PopText(), "before");
  EXPECT_EQ(stack_.PopText(), "after!");
}

TEST_F(StringStackTest, DuplicateTop) {
  std::string borrowed = "shared";
  stack_.PushBorrowed(borrowed);
  stack_.DuplicateTop();
  stack_.PushOwned("own");
  stack_.DuplicateTop();
  stack_.PushFill(-1);
  stack_.DuplicateTop();
  EXPECT_EQ(stack_.Size(), 6);
  EXPECT_EQ(Pop(TypeCode::STRING, 2), std::string(2, '\0'));
  EXPECT_EQ(Pop(TypeCode::STRING, 2), std::string(2, '\0'));
  EXPECT_EQ(stack_.PopText(), "own");
  EXPECT_EQ(stack_.PopText(), "own");
  borrowed[0] = 'S';
  EXPECT_EQ(stack_.PopText(), "Shared");
  EXPECT_EQ(stack_.PopText(), "Shared");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(StringStackTest, SaveAndRestoreTheWholeStack) {
  stack_.PushOwned("one");
  stack_.PushOwned("two");
  StringStack::Saved saved = stack_.Save();
  EXPECT_EQ(saved.Size(), 2);
  EXPECT_TRUE(stack_.Empty());
  // The called code has the whole capacity and may leave entries behind.
  for (int i = 0; i < StringStack::kCapacity; ++i) stack_.PushOwned("inner");
  EXPECT_TRUE(errors_.empty());
  stack_.Restore(std::move(saved));
  EXPECT_EQ(stack_.Size(), 2);
  EXPECT_EQ(stack_.PopText(), "two");
  EXPECT_EQ(stack_.PopText(), "one");
}

TEST_F(StringStackTest, MisuseRaisesError501) {
  for (int i = 0; i < StringStack::kCapacity; ++i) stack_.PushOwned(std::to_string(i));
  EXPECT_TRUE(errors_.empty());
  stack_.PushOwned("33rd");
  stack_.PushBorrowed("33rd");
  stack_.PushFill(1);
  stack_.DuplicateTop();
  EXPECT_EQ(errors_.size(), 4u);
  EXPECT_EQ(stack_.Size(), StringStack::kCapacity);
  EXPECT_EQ(stack_.Top(), "31");
  errors_.clear();

  // A destination that takes no text consumes the entry and is left alone.
  EXPECT_EQ(Pop(TypeCode::LONG, 4), "####");
  EXPECT_EQ(stack_.Top(), "30");
  Pop(TypeCode::DECIMAL, 3);
  EXPECT_EQ(errors_.size(), 2u);
  errors_.clear();

  stack_.Clear();
  EXPECT_EQ(stack_.PopText(), "");
  stack_.Drop();
  stack_.DuplicateTop();
  EXPECT_EQ(Pop(TypeCode::STRING, 3), "   ");
  EXPECT_EQ(Pop(TypeCode::CSTRING, 3), std::string("\0##", 3));
  EXPECT_EQ(errors_, std::vector<int>(5, kStringStackError));
  EXPECT_EQ(texts_.back(), "String Stack Error");
  EXPECT_TRUE(stack_.Empty());
}

TEST_F(StringStackTest, EmptyDestinationsAreLeftAlone) {
  stack_.PushOwned("x");
  stack_.PopInto(TypeCode::CSTRING, std::span<std::uint8_t>());
  EXPECT_TRUE(stack_.Empty());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(StringStackTest, TheProcessStackIsOne) {
  ProcessStringStack().PushOwned("x");
  EXPECT_EQ(ProcessStringStack().Size(), 1);
  EXPECT_EQ(ProcessStringStack().PopText(), "x");
}

}  // namespace
}  // namespace tentaria::runtime
