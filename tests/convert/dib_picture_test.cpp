#include "convert/dib_picture.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/convert/picture_fixtures.h"

namespace {

struct SizeCase {
  int32_t width, height;
  uint16_t bitCount;
  int32_t stride, imageSize, bitsOffset, fileSize;
};

const SizeCase SIZE_CASES[] = {
    {3, 2, 24, 12, 24, 54, 78},
    {640, 1, 24, 1920, 1920, 54, 1974},
    {2, 2, 8, 4, 8, 1078, 1086},
    {1, 1, 1, 4, 4, 62, 66},
    {33, 1, 1, 8, 8, 62, 70},
    {9, 1, 4, 8, 8, 118, 126},
    {5, 3, 2, 4, 12, 70, 82},
    {5, 2, 24, 16, 32, 54, 86},
    {7, 0, 24, 24, 0, 54, 54},
    {2, 3, 32, 8, 24, 54, 78},
    {3, 1, 16, 8, 8, 54, 62},
};

TEST(DibSizeTest, WorkedSizesAndStrides) {
  for (const SizeCase& c : SIZE_CASES) {
    BITMAPINFOHEADER header = MakeDibHeader(c.width, c.height, c.bitCount);
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bitCount);
    EXPECT_EQ(c.stride, GetDibRowStride(header));
    EXPECT_EQ(c.imageSize, GetDibImageSize(header));
    EXPECT_EQ(c.bitsOffset, GetDibBitsOffset(header));
    EXPECT_EQ(c.fileSize, GetDibFileSize(header));
  }
}

TEST(DibSizeTest, ColourCountByBitCountOnly) {
  const struct {
    uint16_t bitCount;
    int32_t colors;
  } cases[] = {{1, 2}, {2, 4}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}, {0, -1}, {3, -1}, {48, -1}};
  for (const auto& c : cases) {
    BITMAPINFOHEADER header = MakeDibHeader(1, 1, c.bitCount);
    header.biClrUsed = 3;  // never consulted
    EXPECT_EQ(c.colors, GetDibColorCount(header)) << c.bitCount;
  }
}

TEST(DibSizeTest, ImageSizeIgnoresDeclaredSizeImage) {
  BITMAPINFOHEADER header = MakeDibHeader(3, 2, 24);
  header.biSizeImage = 999;
  EXPECT_EQ(24, GetDibImageSize(header));
}

TEST(DibSizeTest, TopDownHeightGivesNegativeSize) {
  BITMAPINFOHEADER header = MakeDibHeader(2, -3, 24);
  EXPECT_EQ(-24, GetDibImageSize(header));
  EXPECT_EQ(-1, GetDibFileSize(header));
}

// A hostile header must not wrap round to a small, plausible size.
TEST(DibSizeTest, SizesBeyondThirtyTwoBitsAreRefused) {
  const struct {
    int32_t width, height;
    uint16_t bitCount;
    int32_t stride, imageSize, fileSize;
  } cases[] = {
      {INT32_MAX, 1, 32, -1, -1, -1},
      {INT32_MAX, 1, 1, 268435456, 268435456, 268435518},
      {65536, 32768, 32, 262144, -1, -1},
      {0x40000001, 1, 32, -1, -1, -1},
      {1, INT32_MAX, 24, 4, -1, -1},
      {1, INT32_MIN, 24, 4, -1, -1},
      {INT32_MIN, 1, 24, -1, -1, -1},
  };
  for (const auto& c : cases) {
    BITMAPINFOHEADER header = MakeDibHeader(c.width, c.height, c.bitCount);
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bitCount);
    EXPECT_EQ(c.stride, GetDibRowStride(header));
    EXPECT_EQ(c.imageSize, GetDibImageSize(header));
    EXPECT_EQ(c.fileSize, GetDibFileSize(header));
  }
}

TEST(DibSizeTest, LargestImageThatFitsIsKept) {
  BITMAPINFOHEADER header = MakeDibHeader(4, 134217727, 32);  // 16 bytes a row
  EXPECT_EQ(2147483632, GetDibImageSize(header));
  EXPECT_EQ(-1, GetDibFileSize(header));  // 54 more no longer fits
}

TEST(DibSizeTest, ColourMasksCountInTheBitsOffset) {
  const struct {
    uint16_t bitCount;
    uint32_t compression;
    int32_t masks, bitsOffset;
  } cases[] = {{16, 3, 3, 66}, {32, 3, 3, 66}, {24, 3, 0, 54}, {16, 0, 0, 54}, {8, 3, 0, 1078}};
  for (const auto& c : cases) {
    BITMAPINFOHEADER header = MakeDibHeader(1, 1, c.bitCount);
    header.biCompression = c.compression;
    EXPECT_EQ(c.masks, GetDibMaskCount(header)) << c.bitCount;
    EXPECT_EQ(c.bitsOffset, GetDibBitsOffset(header)) << c.bitCount;
  }
}

}  // namespace
