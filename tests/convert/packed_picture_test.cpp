#include "convert/packed_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "packer/g24a_packer.h"
#include "tests/convert/picture_fixtures.h"

namespace {

Bytes Decode(const Bytes& input, size_t pixelSize) {
  Bytes pixels(pixelSize, 0);
  DecodePackedPixels(input.data(), input.size(), pixels.data(), pixels.size());
  return pixels;
}

struct DecodeCase {
  const char* what;
  Bytes input;
  Bytes pixels;  // of a 12-byte buffer
};

const DecodeCase DECODE_CASES[] = {
    {"literals then a reference added to them",
     {0x07, 0x10, 0x20, 0x30, 0xEE, 0xF0},
     {0x10, 0x20, 0x30, 0x20, 0x40, 0x60, 0, 0, 0, 0, 0, 0}},
    {"a reference that copies its own bytes", {0x01, 0x05, 0xEE, 0xF0}, {5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"an unfinished group is dropped",
     {0xFF, 1, 2, 3, 4, 5, 6, 7, 8},
     {1, 2, 3, 5, 7, 9, 0, 0, 0, 0, 0, 0}},
    {"window bytes never written are zero", {0x00, 0x00, 0x00}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"empty input", {}, Bytes(12, 0)},
    {"flag byte alone", {0xFF}, Bytes(12, 0)},
    {"reference cut after its first byte", {0x07, 1, 2, 3, 0xEE}, {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // The longest reference, 18 bytes, is cut at the buffer's end.
    {"output beyond the buffer is ignored",
     {0x07, 1, 1, 1, 0xEE, 0xFF},
     {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}},
    // A second block: one literal, then four bytes from the unwritten window.
    {"more than eight tokens",
     {0xFF, 1, 1, 1, 1, 1, 1, 1, 1, 0x01, 1, 1, 1, 1},
     {1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3}},
};

TEST(DecodePackedPixelsTest, WorkedExamplesAndEdges) {
  for (const DecodeCase& c : DECODE_CASES) {
    EXPECT_EQ(c.pixels, Decode(c.input, 12)) << c.what;
  }
}

// Bytes a group never reaches stay zero: here the last one of four.
TEST(DecodePackedPixelsTest, BufferNotAMultipleOfThreeKeepsItsTail) {
  Bytes input = {0x3F, 9, 8, 7, 6, 5, 4};
  EXPECT_EQ(Bytes({9, 8, 7, 0}), Decode(input, 4));
  EXPECT_EQ(Bytes({9, 8, 7, 15, 13, 11, 0, 0}), Decode(input, 8));
  EXPECT_EQ(Bytes({0, 0}), Decode(input, 2));
}

Bytes PackedFile(const BITMAPINFOHEADER& header, const Bytes& stream) {
  Bytes file(PACKED_MAGIC, PACKED_MAGIC + 4);
  Bytes headerBytes = HeaderBytes(header);
  file.insert(file.end(), headerBytes.begin(), headerBytes.end());
  file.insert(file.end(), 8, 0x5A);
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

// Reads a packed file from a stream; the header read is left in header_.
class ReadPackedPictureTest : public testing::Test {
 protected:
  ReadPackedPictureTest() { std::memset(&header_, 0, sizeof header_); }
  ~ReadPackedPictureTest() override { std::free(bits_); }

  bool Read(const Bytes& file) {
    std::free(bits_);
    FILE* stream = OpenStreamWith(file);
    if (!stream) return false;
    bits_ = ReadPackedPicture(stream, header_);
    std::fclose(stream);
    return bits_ != nullptr;
  }
  Bytes Pixels() const {
    int32_t size = GetDibImageSize(header_);
    return Bytes(bits_, bits_ + (size > 0 ? size : 0));
  }

  BITMAPINFOHEADER header_;
  unsigned char* bits_ = nullptr;
};

TEST_F(ReadPackedPictureTest, HeaderTakenOverUnchecked) {
  BITMAPINFOHEADER header = MakeDibHeader(2, 1, 24);
  header.biSize = 7;
  header.biClrUsed = 99;
  ASSERT_TRUE(Read(PackedFile(header, {0x07, 1, 2, 3})));
  EXPECT_EQ(HeaderBytes(header), HeaderBytes(header_));
  EXPECT_EQ(Bytes({1, 2, 3, 0, 0, 0, 0, 0}), Pixels());
}

TEST_F(ReadPackedPictureTest, OtherFilesAreNoPackedPicture) {
  Bytes good = PackedFile(MakeDibHeader(2, 1, 24), {0x07, 1, 2, 3});
  ASSERT_TRUE(Read(good));
  Bytes capital = good;
  capital[0] = 'G';
  Bytes lastLetter = good;
  lastLetter[3] = 'A';
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"magic cut short", BytesOf("g24")},
      {"capital first letter", capital},
      {"capital last letter", lastLetter},
      {"header cut short", Bytes(good.begin(), good.begin() + 43)},
      {"top-down header", PackedFile(MakeDibHeader(2, -1, 24), {})},
      {"image size beyond 32 bits", PackedFile(MakeDibHeader(65536, 32768, 32), {})},
  };
  for (const auto& c : cases) EXPECT_FALSE(Read(c.file)) << c.what;
}

// No 32-bit process has 2 GiB free in one piece: the allocation fails and
// the picture is refused, without any size wrapped round to a small one.
TEST_F(ReadPackedPictureTest, ImageTooBigForMemoryIsRefused) {
  EXPECT_FALSE(Read(PackedFile(MakeDibHeader(4, 134217727, 32), {0x07, 1, 2, 3})));
}

TEST_F(ReadPackedPictureTest, FileEndingAfterHeaderOrSkippedBytesGivesZeroPixels) {
  Bytes file = PackedFile(MakeDibHeader(3, 2, 24), {});
  for (size_t length : {size_t(44), size_t(48), size_t(52)}) {
    ASSERT_TRUE(Read(Bytes(file.begin(), file.begin() + length))) << length;
    EXPECT_EQ(Bytes(24, 0), Pixels()) << length;
  }
}

TEST_F(ReadPackedPictureTest, ImageSizeZeroGivesAnEmptyBuffer) {
  ASSERT_TRUE(Read(PackedFile(MakeDibHeader(5, 0, 24), {0xFF, 1, 2, 3})));
  EXPECT_EQ(0, GetDibImageSize(header_));
}

// Rows of 16 bytes: the sixth group covers the first row's fill byte and the
// first two bytes of the second row.
TEST_F(ReadPackedPictureTest, GroupsRunAcrossRowEnds) {
  Bytes stream = {0xFF, 1, 1, 1, 1, 1, 1, 1, 1, 0xFF, 1, 1, 1, 1, 1, 1, 1, 1, 0x03, 1, 1};
  ASSERT_TRUE(Read(PackedFile(MakeDibHeader(5, 2, 24), stream)));
  Bytes pixels = Pixels();
  EXPECT_EQ(6, pixels[15]);
  EXPECT_EQ(6, pixels[16]);
  EXPECT_EQ(6, pixels[17]);
  EXPECT_EQ(0, pixels[18]);
}

TEST_F(ReadPackedPictureTest, OtherBitCountsDecodeInGroupsOfThree) {
  ASSERT_TRUE(Read(PackedFile(MakeDibHeader(4, 2, 8), {0x3F, 1, 2, 3, 1, 1, 1})));
  EXPECT_EQ(Bytes({1, 2, 3, 2, 3, 4, 0, 0}), Pixels());
}

struct RoundTripCase {
  const char* what;
  int32_t width, height;
  PixelKind kind;
};

// Widths 1 to 7 give every fill of a row and groups across row ends; the big
// ones span many chunks of the stream and references across their borders.
const RoundTripCase ROUND_TRIPS[] = {
    {"width 1", 1, 9, PIXELS_NOISE},   {"width 2", 2, 7, PIXELS_GRADIENT},
    {"width 3", 3, 5, PIXELS_NOISE},   {"width 4", 4, 6, PIXELS_FLAT},
    {"width 5", 5, 5, PIXELS_NOISE},   {"width 6", 6, 3, PIXELS_GRADIENT},
    {"width 7", 7, 4, PIXELS_NOISE},   {"flat", 320, 200, PIXELS_FLAT},
    {"gradient", 333, 211, PIXELS_GRADIENT}, {"photograph", 400, 300, PIXELS_PHOTO},
    {"noise", 401, 301, PIXELS_NOISE},
};

TEST_F(ReadPackedPictureTest, RoundTripsThroughThePackingTool) {
  for (const RoundTripCase& c : ROUND_TRIPS) {
    BITMAPINFOHEADER header = MakeDibHeader(c.width, c.height, 24);
    Bytes pixels = MakePixels(c.kind, GetDibImageSize(header), c.width);
    ASSERT_TRUE(Read(MakePackedPicture(header, pixels.data()))) << c.what;
    EXPECT_EQ(ExpectedAfterDecoding(pixels), Pixels()) << c.what;
  }
}

// LZSS output is up to 9/8 of its input: the stream of noise is longer than
// the picture, and its last rows must still arrive.
TEST_F(ReadPackedPictureTest, StreamLongerThanTheImageIsReadToTheEnd) {
  BITMAPINFOHEADER header = MakeDibHeader(256, 64, 24);
  Bytes pixels = MakePixels(PIXELS_NOISE, GetDibImageSize(header));
  Bytes file = MakePackedPicture(header, pixels.data());
  ASSERT_GT(file.size() - PACKED_STREAM_OFFSET, pixels.size());
  ASSERT_TRUE(Read(file));
  Bytes decoded = Pixels();
  EXPECT_EQ(pixels, decoded);
  EXPECT_NE(0, decoded[decoded.size() - 1] | decoded[decoded.size() - 2] | decoded[decoded.size() - 3]);
}

TEST(PackPixelsTest, FlatPictureShrinks) {
  Bytes pixels = MakePixels(PIXELS_FLAT, 30000);
  // 18 bytes a reference of 2 bytes and a flag bit: near 1/8 at best.
  EXPECT_LT(PackPixels(pixels.data(), pixels.size()).size(), pixels.size() / 8);
}

}  // namespace
