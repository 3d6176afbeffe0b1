#include "convert/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/convert/picture_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

uint32_t U32At(const Bytes& bytes, size_t offset) {
  uint32_t value;
  std::memcpy(&value, &bytes[offset], 4);
  return value;
}

class BmpWriterTest : public testing::Test {
 protected:
  BmpWriterTest() { std::memset(&picture_, 0, sizeof picture_); }
  ~BmpWriterTest() override {
    if (stream_) std::fclose(stream_);
  }

  void SetPicture(int32_t width, int32_t height, uint16_t bitCount) {
    picture_.header = MakeDibHeader(width, height, bitCount);
    int32_t size = GetDibImageSize(picture_.header);
    pixels_ = MakePixels(PIXELS_NOISE, size > 0 ? size : 0);
    picture_.bits = pixels_.empty() ? nullptr : pixels_.data();
    for (int i = 0; i < DIB_COLOR_TABLE_SIZE; ++i) {
      picture_.colors[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7, 0};
    }
  }

  // Writes into a fresh stream and gives back what arrived there.
  bool Write() {
    stream_ = std::tmpfile();
    if (!stream_) return false;
    bool written = WriteDibToStream(stream_, picture_);
    written_ = ReadStreamBack(stream_);
    return written;
  }

  Bytes ColourBytes(size_t count) const {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(picture_.colors);
    return Bytes(p, p + 4 * count);
  }

  DibPicture picture_;
  Bytes pixels_;
  FILE* stream_ = nullptr;
  Bytes written_;
};

TEST_F(BmpWriterTest, ThreeByTwoTrueColourPictureIsSeventyEightBytes) {
  SetPicture(3, 2, 24);
  picture_.header.biXPelsPerMeter = 2835;
  ASSERT_TRUE(Write());
  ASSERT_EQ(78u, written_.size());
  EXPECT_EQ('B', written_[0]);
  EXPECT_EQ('M', written_[1]);
  EXPECT_EQ(78u, U32At(written_, 2));
  EXPECT_EQ(0u, U32At(written_, 6));  // both reserved words
  EXPECT_EQ(54u, U32At(written_, 10));
  EXPECT_EQ(HeaderBytes(picture_.header), Bytes(written_.begin() + 14, written_.begin() + 54));
  EXPECT_EQ(pixels_, Bytes(written_.begin() + 54, written_.end()));
}

TEST_F(BmpWriterTest, FileHeaderFromSizeArithmetic) {
  SetPicture(2, 2, 8);
  BITMAPFILEHEADER fileHeader = MakeBitmapFileHeader(picture_.header);
  EXPECT_EQ(0x4D42, fileHeader.bfType);
  EXPECT_EQ(1086u, fileHeader.bfSize);
  EXPECT_EQ(0, fileHeader.bfReserved1);
  EXPECT_EQ(0, fileHeader.bfReserved2);
  EXPECT_EQ(1078u, fileHeader.bfOffBits);
}

// The bit count alone sizes the table; the declared fields pass unchanged.
TEST_F(BmpWriterTest, EightBitPictureAlwaysGetsTheWholeColourTable) {
  SetPicture(2, 2, 8);
  picture_.header.biClrUsed = 2;
  picture_.header.biClrImportant = 1;
  picture_.header.biSizeImage = 12345;
  ASSERT_TRUE(Write());
  ASSERT_EQ(1086u, written_.size());
  EXPECT_EQ(1078u, U32At(written_, 10));
  EXPECT_EQ(2u, U32At(written_, 14 + 32));       // biClrUsed
  EXPECT_EQ(12345u, U32At(written_, 14 + 20));   // biSizeImage
  EXPECT_EQ(ColourBytes(256), Bytes(written_.begin() + 54, written_.begin() + 1078));
  EXPECT_EQ(pixels_, Bytes(written_.begin() + 1078, written_.end()));
}

TEST_F(BmpWriterTest, SmallColourTablesByBitCount) {
  const struct {
    uint16_t bitCount;
    size_t colors;
  } cases[] = {{1, 2}, {2, 4}, {4, 16}, {16, 0}, {32, 0}};
  for (const auto& c : cases) {
    SetPicture(9, 2, c.bitCount);
    ASSERT_TRUE(Write()) << c.bitCount;
    size_t offset = 54 + 4 * c.colors;
    ASSERT_EQ(offset + pixels_.size(), written_.size()) << c.bitCount;
    EXPECT_EQ(ColourBytes(c.colors), Bytes(written_.begin() + 54, written_.begin() + offset));
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

TEST_F(BmpWriterTest, HeightZeroWritesHeadersOnly) {
  SetPicture(5, 0, 4);
  ASSERT_TRUE(Write());
  EXPECT_EQ(54u + 64u, written_.size());
  EXPECT_EQ(118u, U32At(written_, 2));
}

// A plug-in that declares colour masks put them in the first three entries.
TEST_F(BmpWriterTest, BitFieldPictureGetsItsThreeMasks) {
  for (uint16_t bitCount : {16, 32}) {
    SetPicture(2, 2, bitCount);
    picture_.header.biCompression = 3;
    const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(picture_.colors, masks, sizeof masks);
    ASSERT_TRUE(Write());
    ASSERT_EQ(66u + pixels_.size(), written_.size());
    EXPECT_EQ(written_.size(), U32At(written_, 2));
    EXPECT_EQ(66u, U32At(written_, 10));
    EXPECT_EQ(3u, U32At(written_, 14 + 16));  // biCompression unchanged
    for (int i = 0; i < 3; ++i) EXPECT_EQ(masks[i], U32At(written_, 54 + 4 * i));
    EXPECT_EQ(pixels_, Bytes(written_.begin() + 66, written_.end()));
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

TEST_F(BmpWriterTest, PixelsBeyondTheImageSizeAreNotWritten) {
  SetPicture(1, 1, 24);
  pixels_.resize(64, 0xAB);
  picture_.bits = pixels_.data();
  ASSERT_TRUE(Write());
  EXPECT_EQ(58u, written_.size());
}

// Nothing is written at all for these: a negative size must never become a
// byte count, and a bit count without a table size has no file layout.
TEST_F(BmpWriterTest, UnwritablePicturesAreRefused) {
  const struct {
    int32_t width, height;
    uint16_t bitCount;
  } cases[] = {{2, -3, 24}, {3, 1, 3}, {3, 1, 0}, {65536, 32768, 32}, {-5, 2, 24}};
  for (const auto& c : cases) {
    SetPicture(c.width, c.height, c.bitCount);
    pixels_.assign(64, 1);
    picture_.bits = pixels_.data();
    EXPECT_FALSE(Write()) << c.width << "x" << c.height << "x" << c.bitCount;
    EXPECT_TRUE(written_.empty());
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

TEST_F(BmpWriterTest, MissingPixelsAreRefused) {
  SetPicture(3, 2, 24);
  picture_.bits = nullptr;
  EXPECT_FALSE(Write());
}

// A stream open only for reading takes no bytes.
TEST_F(BmpWriterTest, ShortWriteFails) {
  SetPicture(3, 2, 24);
  TempFolder folder;
  std::string path = folder.file("read-only-stream");
  WriteBytesTo(path, Bytes(4, 0));
  FILE* stream = std::fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, stream);
  EXPECT_FALSE(WriteDibToStream(stream, picture_));
  std::fclose(stream);
}

}  // namespace
