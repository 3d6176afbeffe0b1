#include "TOOLS/sjis_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// 表 is 95 5C in code page 932: its second byte has the backslash's value.
const char HYO[] = "\x95\x5C";

TEST(ByteTypeTest, TrailByteOfHyoIsNoBackslash) {
  std::string text = std::string("a") + HYO + "b";
  EXPECT_EQ(BYTE_SINGLE, GetByteType(text.c_str(), 0));
  EXPECT_EQ(BYTE_LEAD, GetByteType(text.c_str(), 1));
  EXPECT_EQ(BYTE_TRAIL, GetByteType(text.c_str(), 2));
  EXPECT_EQ(BYTE_SINGLE, GetByteType(text.c_str(), 3));
  EXPECT_FALSE(IsBackslashAt(text.c_str(), 2));
  EXPECT_EQ(nullptr, FindBackslash(text.c_str()));
}

TEST(ByteTypeTest, TypingAndSteppingRulesDifferAfterLeadByte) {
  struct Case {
    const char* text;
    int typeOfSecond;
  } cases[] = {{"\x95\x7F", BYTE_SINGLE}, {"\x95\x20", BYTE_SINGLE}, {"\x95\x40", BYTE_TRAIL},
               {"\x95\xFC", BYTE_TRAIL},  {"\x95\xFD", BYTE_SINGLE}, {"\x95\x3F", BYTE_SINGLE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(c.typeOfSecond, GetByteType(c.text, 1));
    EXPECT_EQ(c.text + 2, NextChar(c.text));  // stepping takes any non-zero second byte
  }
}

TEST(ByteTypeTest, IndexAtOrBehindTerminatorIsSingle) {
  EXPECT_EQ(BYTE_SINGLE, GetByteType("\x95", 1));
  EXPECT_EQ(BYTE_SINGLE, GetByteType("ab", 5));
}

TEST(StepTest, LeadByteBeforeTerminatorIsACharacterOfItsOwn) {
  const char text[] = "a\x95";
  EXPECT_EQ(text + 2, NextChar(text + 1));
  EXPECT_EQ(0x95u, GetCharCode(text + 1));
  EXPECT_EQ(text + 2, NextChar(text + 2));  // stays on the terminator
  EXPECT_EQ(0x955Cu, GetCharCode(HYO));
}

TEST(LeadByteTest, FixedRanges) {
  for (int b = 0; b < 256; ++b) {
    bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(expected, IsSjisLeadByte(static_cast<unsigned char>(b))) << b;
  }
}

TEST(FindTest, BackslashesAmongDoubleByteCharacters) {
  std::string text = std::string("C:\\") + HYO + "\\x" + HYO;
  const char* s = text.c_str();
  EXPECT_EQ(s + 2, FindBackslash(s));
  EXPECT_EQ(s + 5, FindLastBackslash(s));
  EXPECT_EQ(nullptr, FindTrailingBackslash(s));
  std::string trailing = std::string("C:\\") + HYO + "\\";
  EXPECT_EQ(trailing.c_str() + 5, FindTrailingBackslash(trailing.c_str()));
  EXPECT_TRUE(HasTrailingBackslash(trailing.c_str()));
  std::string endsInHyo = std::string("C:") + HYO;
  EXPECT_FALSE(HasTrailingBackslash(endsInHyo.c_str()));
  EXPECT_EQ(s + text.size(), FindChar(s, 0));
  EXPECT_EQ(s + 3, FindChar(s, 0x955C));
  EXPECT_EQ(nullptr, FindChar(s, 'z'));
  EXPECT_EQ(s + text.size(), StringEnd(s));
}

TEST(SpanTest, DoubleByteCharactersNeverJoinASet) {
  struct Case {
    const char* set;
    std::string text;
    size_t including;
    size_t excluding;
  } cases[] = {
      {" \t", "  \tx ", 3, 0},
      {"\\", "\\\\a", 2, 0},
      {"\\", std::string(HYO) + "\\", 0, 2},
      {"/\\", std::string("ab") + HYO + "/c", 0, 4},
      {"\x95", std::string(HYO), 0, 2},  // the lead byte alone is no match
      {"abc", "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.including, SpanIncluding(c.set, c.text.c_str()));
    EXPECT_EQ(c.excluding, SpanExcluding(c.set, c.text.c_str()));
  }
  const char blanks[] = " \t x";
  EXPECT_EQ(blanks + 3, SkipBlanks(blanks));
}

TEST(CompareTest, EqualCharsOnComponents) {
  EXPECT_TRUE(EqualChars(".", ".", 1));
  EXPECT_TRUE(EqualChars("..", "..", 2));
  EXPECT_FALSE(EqualChars(".", "..", 2));
  EXPECT_FALSE(EqualChars("..", ".x", 2));
  EXPECT_TRUE(EqualChars("abc", "xyz", 0));
  EXPECT_TRUE(EqualChars("ab", "ab", 10));
  // A double-byte character that begins before byte n is compared whole.
  EXPECT_FALSE(EqualChars("a\x95\x5C", "a\x95\x40", 2));
}

TEST(CompareTest, StringEquality) {
  EXPECT_TRUE(IsEqualStringNoCase("/CENTER", "/center"));
  EXPECT_TRUE(IsEqualStringNoCase("/Tile", "/tile"));
  EXPECT_FALSE(IsEqualStringNoCase("/tile", "/tiles"));
  EXPECT_FALSE(IsEqualStringNoCase("-tile", "/tile"));
  EXPECT_TRUE(IsEqualString("abc", "abc"));
  EXPECT_FALSE(IsEqualString("abc", "ABC"));
}

TEST(LowerCaseTest, OnlySingleByteLettersChange) {
  // Ａ is 82 60 and Ｂ 82 61; ソ is 83 5C, whose second byte must stay.
  char text[] = "C:\\\x82\x60\x82\x61\\X.BMP\x83\x5A";
  LowerCaseDbcs(text);
  EXPECT_STREQ("c:\\\x82\x60\x82\x61\\x.bmp\x83\x5A", text);
}

TEST(CopyStringDbcsTest, NeverEndsOnHalfACharacter) {
  struct Case {
    std::string source;
    size_t capacity;
    std::string expected;
  } cases[] = {
      {std::string("ab") + HYO, 4, "ab"},
      {std::string("abc") + HYO, 4, "abc"},
      {"abcdef", 4, "abc"},
      {"ab", 10, "ab"},
      {"abc", 1, ""},
      {std::string(HYO), 2, ""},
      {std::string(HYO), 3, HYO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " / " + std::to_string(c.capacity));
    char buffer[16];
    std::memset(buffer, 'Z', sizeof buffer);
    CopyStringDbcs(buffer, c.capacity, c.source.c_str());
    EXPECT_EQ(c.expected, std::string(buffer));
    EXPECT_EQ('Z', buffer[c.capacity]) << "wrote past its capacity";
  }
}

TEST(AppendStringTest, BoundsOfTheCommandBuffer) {
  struct Case {
    size_t length;
    size_t expectedCount;
  } cases[] = {{0, 10}, {1014, 10}, {1020, 4}, {1023, 1}, {1024, 0}, {1025, 0}, {5000, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    char buffer[COMMAND_BUFFER_SIZE + 8];
    std::memset(buffer, 'Z', sizeof buffer);
    size_t count = AppendString(buffer, c.length, "0123456789");
    EXPECT_EQ(c.expectedCount, count);
    if (c.length < COMMAND_BUFFER_SIZE) {
      EXPECT_EQ(0, std::memcmp(buffer + c.length, "0123456789", count));
      EXPECT_EQ(0, buffer[c.length + count]);
      EXPECT_EQ(0, buffer[COMMAND_BUFFER_SIZE - 1]);
    } else {
      EXPECT_EQ('Z', buffer[0]);
    }
    EXPECT_EQ('Z', buffer[COMMAND_BUFFER_SIZE]) << "wrote past the buffer";
  }
  EXPECT_EQ(7u, AppendString(nullptr, 5000, "abcdefg"));  // the measuring call
}

TEST(MemoryTest, ZeroFillAndDuplicate) {
  char block[8] = "abcdefg";
  EXPECT_EQ(block + 5, ZeroFill(block, 5));
  EXPECT_EQ(std::string(5, '\0') + "fg", std::string(block, 7));
  void* copy = DuplicateMemory("xyz", 4);
  ASSERT_NE(nullptr, copy);
  EXPECT_STREQ("xyz", static_cast<char*>(copy));
  free(copy);
}

}  // namespace
