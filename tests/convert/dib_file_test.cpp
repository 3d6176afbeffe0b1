#include "convert/dib_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "TOOLS/module_path.h"
#include "TOOLS/sjis_text.h"
#include "convert/bmp_writer.h"
#include "tests/convert/picture_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

std::string TemporaryPathFor(uint32_t number) {
  char extension[8];
  std::snprintf(extension, sizeof extension, ".%03u", static_cast<unsigned>(number));
  char path[PATH_BUFFER_SIZE];
  GetModulePathWithExtension(path, extension);
  return path;
}

// Every file beside this program named like it with a three-digit extension.
std::set<std::string> TemporaryFilesBesideProgram() {
  std::set<std::string> names;
  for (uint32_t n = 0; n < 1000; ++n) {
    std::string path = TemporaryPathFor(n);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) names.insert(path);
  }
  return names;
}

TEST(TemporaryNameTest, SeedFromProcessId) {
  const struct {
    uint32_t processId, seed;
  } cases[] = {{0, 0}, {1, 85}, {1234, 28218}, {4000, 8992}, {0xFFFFFFFF, 51}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.seed, GetTemporaryNameSeed(c.processId)) << c.processId;
  }
}

// Removes whatever a test leaves beside the program.
class TemporaryFileTest : public testing::Test {
 protected:
  ~TemporaryFileTest() override {
    for (const std::string& path : made_) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
    }
  }
  void Occupy(uint32_t number, bool asFolder) {
    std::string path = TemporaryPathFor(number);
    made_.push_back(path);
    if (asFolder)
      CreateDirectoryA(path.c_str(), nullptr);
    else
      WriteBytesTo(path, BytesOf("taken"));
  }
  std::string Create(uint32_t seed) {
    char path[PATH_BUFFER_SIZE] = "";
    FILE* stream = CreateTemporaryFileFromSeed(path, seed);
    if (!stream) return "<none>";
    std::fclose(stream);
    made_.push_back(path);
    return path;
  }

  std::vector<std::string> made_;
};

TEST_F(TemporaryFileTest, NameBesideProgramFromThisProcess) {
  char path[PATH_BUFFER_SIZE] = "";
  FILE* stream = CreateTemporaryFile(path);
  ASSERT_NE(nullptr, stream);
  made_.push_back(path);
  EXPECT_EQ(1u, std::fwrite("x", 1, 1, stream));
  std::fclose(stream);
  EXPECT_EQ(TemporaryPathFor(GetTemporaryNameSeed(GetCurrentProcessId()) % 1000), path);
  EXPECT_EQ(BytesOf("x"), ReadFileBytesOf(path));
}

TEST_F(TemporaryFileTest, SeedTakenModuloAThousand) {
  EXPECT_EQ(TemporaryPathFor(218), Create(28218));
}

TEST_F(TemporaryFileTest, TakenNamesAreSkippedAndNineHundredNinetyNineWraps) {
  Occupy(999, true);
  EXPECT_EQ(TemporaryPathFor(0), Create(999));
  Occupy(1, false);
  Occupy(2, true);
  EXPECT_EQ(TemporaryPathFor(3), Create(1));
}

// Names are checked and created in one step, so a name in use is never
// opened a second time.
TEST_F(TemporaryFileTest, OpenFileIsNeverShared) {
  char first[PATH_BUFFER_SIZE] = "", second[PATH_BUFFER_SIZE] = "";
  FILE* a = CreateTemporaryFileFromSeed(first, 500);
  FILE* b = CreateTemporaryFileFromSeed(second, 500);
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  made_.push_back(first);
  made_.push_back(second);
  EXPECT_NE(std::string(first), std::string(second));
  std::fclose(a);
  std::fclose(b);
}

class SaveDibFileTest : public testing::Test {
 protected:
  SaveDibFileTest() : before_(TemporaryFilesBesideProgram()), destination_(folder_.file("out.bmp")) {
    std::memset(&picture_, 0, sizeof picture_);
    picture_.header = MakeDibHeader(3, 2, 24);
    pixels_ = MakePixels(PIXELS_GRADIENT, 24, 3);
    picture_.bits = pixels_.data();
  }
  ~SaveDibFileTest() override {
    EXPECT_EQ(before_, TemporaryFilesBesideProgram()) << "a temporary file was left";
  }

  Bytes ExpectedFile() const {
    FILE* stream = std::tmpfile();
    WriteDibToStream(stream, picture_);
    Bytes bytes = ReadStreamBack(stream);
    std::fclose(stream);
    return bytes;
  }

  std::set<std::string> before_;
  TempFolder folder_;
  std::string destination_;
  DibPicture picture_;
  Bytes pixels_;
};

TEST_F(SaveDibFileTest, NewDestinationHoldsTheBmpFile) {
  ASSERT_TRUE(SaveDibFile(picture_, destination_.c_str()));
  Bytes file = ReadFileBytesOf(destination_);
  EXPECT_EQ(78u, file.size());
  EXPECT_EQ(ExpectedFile(), file);
}

TEST_F(SaveDibFileTest, ReadOnlyHiddenDestinationIsReplacedAndKeepsItsAttributes) {
  WriteBytesTo(destination_, BytesOf("old picture"));
  const DWORD attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesA(destination_.c_str(), attributes));
  ASSERT_TRUE(SaveDibFile(picture_, destination_.c_str()));
  EXPECT_EQ(ExpectedFile(), ReadFileBytesOf(destination_));
  EXPECT_EQ(attributes, GetFileAttributesA(destination_.c_str()) & ~FILE_ATTRIBUTE_ARCHIVE);
  SetFileAttributesA(destination_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SaveDibFileTest, HeightZeroSavesHeadersOnly) {
  picture_.header = MakeDibHeader(3, 0, 24);
  ASSERT_TRUE(SaveDibFile(picture_, destination_.c_str()));
  EXPECT_EQ(54u, ReadFileBytesOf(destination_).size());
}

TEST_F(SaveDibFileTest, UnwritablePictureLeavesTheDestinationAlone) {
  WriteBytesTo(destination_, BytesOf("old picture"));
  picture_.header.biBitCount = 3;
  EXPECT_FALSE(SaveDibFile(picture_, destination_.c_str()));
  EXPECT_EQ(BytesOf("old picture"), ReadFileBytesOf(destination_));
}

TEST_F(SaveDibFileTest, TopDownPictureIsRefused) {
  picture_.header.biHeight = -2;
  EXPECT_FALSE(SaveDibFile(picture_, destination_.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(destination_.c_str()));
}

// Something that survives at the destination is no proof of a save: a
// replace that failed is a failed save.
TEST_F(SaveDibFileTest, FolderAtTheDestinationIsAFailedSave) {
  ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
  EXPECT_FALSE(SaveDibFile(picture_, destination_.c_str()));
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(destination_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SaveDibFileTest, DestinationInAMissingFolderIsAFailedSave) {
  std::string destination = folder_.file("missing\\out.bmp");
  EXPECT_FALSE(SaveDibFile(picture_, destination.c_str()));
}

TEST_F(SaveDibFileTest, OpenDestinationThatCannotBeReplacedIsAFailedSave) {
  WriteBytesTo(destination_, BytesOf("old picture"));
  HANDLE open = CreateFileA(destination_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, open);
  EXPECT_FALSE(SaveDibFile(picture_, destination_.c_str()));
  CloseHandle(open);
  EXPECT_EQ(BytesOf("old picture"), ReadFileBytesOf(destination_));
}

}  // namespace
