#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "convert/plugin_calls.h"
#include "convert/plugin_picture.h"

namespace {

// What the stand-in GetPluginInfo answers.
const char* infoText;
int infoResult;
int askedNumber;
int askedSize;

int WINAPI AnswerPluginInfo(int number, LPSTR buffer, int size) {
  askedNumber = number;
  askedSize = size;
  std::memcpy(buffer, infoText, std::strlen(infoText) < 16 ? std::strlen(infoText) : 16);
  return infoResult;
}

TEST(PluginKindTest, KindLettersAndCountsAreReadAsTabled) {
  struct Case {
    const char* text;
    int result;
    bool succeeds;
    unsigned flags;
  } cases[] = {
      {"00IN", 4, true, PLUGIN_FLAG_I},
      {"00AM", 4, true, PLUGIN_FLAG_A | PLUGIN_FLAG_M},
      {"00XC", 4, true, PLUGIN_FLAG_X | PLUGIN_FLAG_C},
      {"00EI", 4, true, PLUGIN_FLAG_E | PLUGIN_FLAG_I},
      // Only the third and fourth characters count, and no further than the
      // count says.
      {"00NI", 3, true, 0},
      {"00IN", 3, true, PLUGIN_FLAG_I},
      {"00", 16, true, 0},
      {"00INAMX", 16, true, PLUGIN_FLAG_I},
      {"00IN", 2, false, 0},
      {"00IN", 17, false, 0},
      {"01IN", 4, false, 0},
      {"T0IN", 4, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.result));
    infoText = c.text;
    infoResult = c.result;
    unsigned flags = 0x1234;
    EXPECT_EQ(c.succeeds, GetPluginKind(AnswerPluginInfo, &flags));
    if (c.succeeds) {
      EXPECT_EQ(c.flags, flags);
    }
    EXPECT_EQ(0, askedNumber);
    EXPECT_EQ(4, askedSize);
  }
}

HLOCAL NewBlock(size_t size, unsigned char fill) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size);
  std::memset(LocalLock(block), fill, size);
  LocalUnlock(block);
  return block;
}

TEST(CopyLocalMemoryTest, CopiesTheWholeBlockWhenItHoldsTheMinimum) {
  HLOCAL block = NewBlock(100, 0x5A);
  struct Case {
    int32_t minimum;
    bool copies;
  } cases[] = {{0, true}, {100, true}, {101, false}, {-1, false}, {INT32_MIN, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minimum);
    void* copy = CopyLocalMemory(block, c.minimum);
    EXPECT_EQ(c.copies, copy != nullptr);
    if (copy) {
      EXPECT_EQ(std::string(100, 0x5A), std::string(static_cast<char*>(copy), 100));
    }
    std::free(copy);
  }
  LocalFree(block);
  EXPECT_EQ(nullptr, CopyLocalMemory(block, 0));
}

TEST(PluginPictureTest, TopDownHeightTurnsPositiveUnlessItCannot) {
  struct Case {
    int32_t height;
    bool turns;
    int32_t result;
  } cases[] = {{5, true, 5}, {0, true, 0}, {-5, true, 5}, {INT32_MIN, false, INT32_MIN}};
  for (const Case& c : cases) {
    BITMAPINFOHEADER header = {};
    header.biHeight = c.height;
    EXPECT_EQ(c.turns, MakeHeightPositive(&header)) << c.height;
    EXPECT_EQ(c.result, header.biHeight) << c.height;
  }
}

TEST(PluginPictureTest, RowsAreReversedWholeIncludingTheirFillBytes) {
  BITMAPINFOHEADER header = {};
  header.biWidth = 1;
  header.biHeight = 3;
  header.biBitCount = 8;
  unsigned char bits[] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  ReverseDibRows(header, bits);
  const unsigned char expected[] = {3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1};
  EXPECT_EQ(0, std::memcmp(expected, bits, sizeof bits));
}

}  // namespace
