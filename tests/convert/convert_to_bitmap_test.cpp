#include "convert/convert_to_bitmap.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "packer/g24a_packer.h"
#include "tests/convert/picture_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

// The plug-in search makes the plug-in folder current; it is put back.
class ConvertToBitmapTest : public testing::Test {
 protected:
  ConvertToBitmapTest()
      : source_(files_.file("picture.g24a")),
        destination_(files_.file("picture.bmp")),
        pluginFolder_(files_.file("plugins")) {
    GetCurrentDirectoryA(MAX_PATH, currentFolder_);
    CreateDirectoryA(pluginFolder_.c_str(), nullptr);
  }
  ~ConvertToBitmapTest() override { SetCurrentDirectoryA(currentFolder_); }

  bool Convert() {
    return ConvertToBitmapFile(destination_.c_str(), source_.c_str(), pluginFolder_.c_str());
  }

  TempFolder files_;
  std::string source_, destination_, pluginFolder_;
  char currentFolder_[MAX_PATH];
};

TEST_F(ConvertToBitmapTest, PackedPictureBecomesBmpFile) {
  BITMAPINFOHEADER header = MakeDibHeader(7, 5, 24);
  header.biXPelsPerMeter = 3780;
  Bytes pixels = MakePixels(PIXELS_PHOTO, GetDibImageSize(header), 7);
  WriteBytesTo(source_, MakePackedPicture(header, pixels.data()));
  ASSERT_TRUE(Convert());
  Bytes file = ReadFileBytesOf(destination_);
  ASSERT_EQ(54u + pixels.size(), file.size());
  EXPECT_EQ('B', file[0]);
  EXPECT_EQ(HeaderBytes(header), Bytes(file.begin() + 14, file.begin() + 54));
  EXPECT_EQ(ExpectedAfterDecoding(pixels), Bytes(file.begin() + 54, file.end()));
}

// The packed format has no colour table: the written one is all zeros.
TEST_F(ConvertToBitmapTest, PackedEightBitPictureGetsAClearedColourTable) {
  BITMAPINFOHEADER header = MakeDibHeader(4, 2, 8);
  Bytes pixels = MakePixels(PIXELS_NOISE, 8);
  WriteBytesTo(source_, MakePackedPicture(header, pixels.data()));
  ASSERT_TRUE(Convert());
  Bytes file = ReadFileBytesOf(destination_);
  ASSERT_EQ(1086u, file.size());
  EXPECT_EQ(Bytes(1024, 0), Bytes(file.begin() + 54, file.begin() + 1078));
}

TEST_F(ConvertToBitmapTest, LoadPictureFillsTheHeader) {
  BITMAPINFOHEADER header = MakeDibHeader(2, 2, 24);
  Bytes pixels = MakePixels(PIXELS_GRADIENT, 16, 2);
  WriteBytesTo(source_, MakePackedPicture(header, pixels.data()));
  DibPicture picture;
  std::memset(&picture, 0, sizeof picture);
  unsigned char* bits = LoadPicture(source_.c_str(), &picture, pluginFolder_.c_str());
  ASSERT_NE(nullptr, bits);
  EXPECT_EQ(HeaderBytes(header), HeaderBytes(picture.header));
  EXPECT_EQ(ExpectedAfterDecoding(pixels), Bytes(bits, bits + 16));
  std::free(bits);
}

TEST_F(ConvertToBitmapTest, NothingLoadedWritesNothing) {
  const struct {
    const char* what;
    bool exists;
    Bytes content;
  } cases[] = {
      {"missing source", false, {}},
      {"no packed picture and no plug-in", true, BytesOf("G24a and more bytes than a header")},
  };
  for (const auto& c : cases) {
    if (c.exists) WriteBytesTo(source_, c.content);
    EXPECT_FALSE(Convert()) << c.what;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(destination_.c_str())) << c.what;
  }
}

TEST_F(ConvertToBitmapTest, FolderAtTheDestinationFails) {
  Bytes pixels = MakePixels(PIXELS_FLAT, 12);
  WriteBytesTo(source_, MakePackedPicture(MakeDibHeader(1, 3, 24), pixels.data()));
  ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
  EXPECT_FALSE(Convert());
}

// Whoever reports a failure must tell a picture nobody read from a BMP that
// could not be written; the bool above keeps its answer for each.
TEST_F(ConvertToBitmapTest, OutcomeTellsTheStepThatStopped) {
  Bytes pixels = MakePixels(PIXELS_FLAT, 12);
  const Bytes packed = MakePackedPicture(MakeDibHeader(1, 3, 24), pixels.data());
  const struct {
    const char* what;
    Bytes source;
    bool folderAtDestination;
    ConvertOutcome expected;
  } cases[] = {
      {"converted", packed, false, CONVERT_SAVED},
      {"no loader read it", BytesOf("G24a and more bytes than a header"), false,
       CONVERT_NOT_LOADED},
      {"read, but a folder stands at the destination", packed, true, CONVERT_NOT_SAVED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileA(destination_.c_str());
    RemoveDirectoryA(destination_.c_str());
    WriteBytesTo(source_, c.source);
    if (c.folderAtDestination) {
      ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
    }
    EXPECT_EQ(c.expected == CONVERT_SAVED, Convert());
    EXPECT_EQ(c.expected, ConvertToBitmapFileWithOutcome(destination_.c_str(), source_.c_str(),
                                                         pluginFolder_.c_str()));
    DWORD attributes = GetFileAttributesA(destination_.c_str());
    bool fileWritten =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(c.expected == CONVERT_SAVED, fileWritten);
  }
  RemoveDirectoryA(destination_.c_str());
}

}  // namespace
