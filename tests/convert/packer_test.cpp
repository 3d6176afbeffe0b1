// The packing tool: the BMP files it takes, and the g24apack command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "convert/packed_picture.h"
#include "packer/bitmap_source.h"
#include "tests/convert/picture_fixtures.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

void PutU32(Bytes& bytes, size_t offset, uint32_t value) { std::memcpy(&bytes[offset], &value, 4); }

// A BMP file with an info header of infoSize bytes (40 or a later kind).
Bytes MakeBitmapFile(const BITMAPINFOHEADER& header, const Bytes& pixels, uint32_t infoSize = 40) {
  Bytes file(14 + infoSize + pixels.size(), 0);
  file[0] = 'B';
  file[1] = 'M';
  PutU32(file, 2, static_cast<uint32_t>(14 + infoSize + pixels.size()));
  PutU32(file, 10, 14 + infoSize);
  std::memcpy(&file[14], &header, sizeof header);
  PutU32(file, 14, infoSize);
  std::copy(pixels.begin(), pixels.end(), file.begin() + 14 + infoSize);
  return file;
}

Bytes RowsUpsideDown(const Bytes& pixels, size_t stride) {
  Bytes turned;
  for (size_t row = pixels.size() / stride; row-- > 0;) {
    turned.insert(turned.end(), pixels.begin() + row * stride, pixels.begin() + (row + 1) * stride);
  }
  return turned;
}

TEST(BitmapSourceTest, BottomUpFileIsTakenAsItIs) {
  BITMAPINFOHEADER header = MakeDibHeader(5, 3, 24);
  header.biXPelsPerMeter = 2835;
  Bytes pixels = MakePixels(PIXELS_NOISE, 48);
  BITMAPINFOHEADER read;
  Bytes rows;
  ASSERT_TRUE(ReadBitmapFile24(MakeBitmapFile(header, pixels), read, rows));
  EXPECT_EQ(HeaderBytes(header), HeaderBytes(read));
  EXPECT_EQ(pixels, rows);
}

TEST(BitmapSourceTest, TopDownFileWithALaterHeaderIsTurned) {
  BITMAPINFOHEADER header = MakeDibHeader(5, -3, 24);
  Bytes pixels = MakePixels(PIXELS_NOISE, 48);
  BITMAPINFOHEADER read;
  Bytes rows;
  ASSERT_TRUE(ReadBitmapFile24(MakeBitmapFile(header, pixels, 124), read, rows));
  EXPECT_EQ(40u, read.biSize);
  EXPECT_EQ(3, read.biHeight);
  EXPECT_EQ(RowsUpsideDown(pixels, 16), rows);
}

TEST(BitmapSourceTest, OtherFilesAreRefused) {
  Bytes pixels = MakePixels(PIXELS_FLAT, 48);
  Bytes good = MakeBitmapFile(MakeDibHeader(5, 3, 24), pixels);
  BITMAPINFOHEADER compressed = MakeDibHeader(5, 3, 24);
  compressed.biCompression = 1;
  Bytes notBm = good;
  notBm[1] = 'A';
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"8 bits per pixel", MakeBitmapFile(MakeDibHeader(5, 3, 8), pixels)},
      {"compressed", MakeBitmapFile(compressed, pixels)},
      {"no BM", notBm},
      {"pixels cut short", Bytes(good.begin(), good.end() - 1)},
      {"headers cut short", Bytes(good.begin(), good.begin() + 53)},
      {"huge height", MakeBitmapFile(MakeDibHeader(5, INT32_MIN, 24), pixels)},
  };
  for (const auto& c : cases) {
    BITMAPINFOHEADER read;
    Bytes rows;
    EXPECT_FALSE(ReadBitmapFile24(c.file, read, rows)) << c.what;
  }
}

// The kind of file a fuzz run found: 145 bytes, a top-down 24-bit header
// with the given size and 91 bytes after the headers.
Bytes MakeHostileFile(int32_t width, int32_t height) {
  return MakeBitmapFile(MakeDibHeader(width, height, 24), MakePixels(PIXELS_NOISE, 91));
}

TEST(BitmapSourceTest, SizesThePixelsCannotMatchAreRefusedWithTheirReason) {
  const struct {
    const char* what;
    int32_t width, height;
    BitmapFault fault;
  } cases[] = {
      {"no width, huge top-down height", 0, -2000000000, BITMAP_NO_SIZE},
      {"no width, huge height", 0, 2000000000, BITMAP_NO_SIZE},
      {"no height", 5, 0, BITMAP_NO_SIZE},
      {"negative width", -5, 3, BITMAP_NO_SIZE},
      {"most negative height", 5, INT32_MIN, BITMAP_NO_SIZE},
      {"row longer than 2 GB", INT32_MAX, 1, BITMAP_TOO_LARGE},
      {"rows past 2 GB together", 30000, -30000, BITMAP_TOO_LARGE},
      {"one row more than the file holds", 10, -3, BITMAP_PIXELS_MISSING},
      {"many rows of one pixel", 1, -2000000000, BITMAP_TOO_LARGE},
  };
  for (const auto& c : cases) {
    Bytes file = MakeHostileFile(c.width, c.height);
    ASSERT_EQ(145u, file.size());
    BITMAPINFOHEADER read;
    Bytes rows;
    EXPECT_EQ(c.fault, ReadBitmapFile24Fault(file, read, rows)) << c.what;
    EXPECT_TRUE(rows.empty()) << c.what;
    EXPECT_FALSE(ReadBitmapFile24(file, read, rows)) << c.what;
  }
  // The same 91 bytes hold three rows of 24 bytes: that picture is taken.
  BITMAPINFOHEADER read;
  Bytes rows;
  EXPECT_EQ(BITMAP_READ, ReadBitmapFile24Fault(MakeHostileFile(7, -3), read, rows));
  EXPECT_EQ(72u, rows.size());
}

class PackCommandTest : public testing::Test {
 protected:
  unsigned long Pack(const std::string& arguments) {
    ChildRun run = RunAndWait(G24APACK_EXE, "g24apack " + arguments);
    return run.started ? run.exitCode : 999;
  }
  TempFolder files_;
};

TEST_F(PackCommandTest, BmpFileBecomesPackedPictureOfTheSamePixels) {
  BITMAPINFOHEADER header = MakeDibHeader(7, 5, 24);
  Bytes pixels = MakePixels(PIXELS_PHOTO, 120, 7);
  std::string source = files_.file("photo.bmp"), packed = files_.file("photo.g24a");
  WriteBytesTo(source, MakeBitmapFile(header, pixels));
  ASSERT_EQ(0u, Pack("\"" + source + "\" \"" + packed + "\""));

  FILE* stream = std::fopen(packed.c_str(), "rb");
  ASSERT_NE(nullptr, stream);
  BITMAPINFOHEADER read;
  unsigned char* bits = ReadPackedPicture(stream, read);
  std::fclose(stream);
  ASSERT_NE(nullptr, bits);
  EXPECT_EQ(HeaderBytes(header), HeaderBytes(read));
  EXPECT_EQ(ExpectedAfterDecoding(pixels), Bytes(bits, bits + 120));
  std::free(bits);
}

TEST_F(PackCommandTest, FailuresGiveExitCodes) {
  WriteBytesTo(files_.file("text.bmp"), BytesOf("not a picture"));
  EXPECT_EQ(2u, Pack("only-one-argument"));
  EXPECT_EQ(1u, Pack("\"" + files_.file("missing.bmp") + "\" \"" + files_.file("out.g24a") + "\""));
  EXPECT_EQ(1u, Pack("\"" + files_.file("text.bmp") + "\" \"" + files_.file("out.g24a") + "\""));
}

TEST_F(PackCommandTest, HostileSizeIsRefusedWithoutWritingAnything) {
  std::string source = files_.file("hostile.bmp"), packed = files_.file("hostile.g24a");
  WriteBytesTo(source, MakeHostileFile(0, -2000000000));
  EXPECT_EQ(1u, Pack("\"" + source + "\" \"" + packed + "\""));
  EXPECT_EQ(nullptr, std::fopen(packed.c_str(), "rb"));
}

}  // namespace
