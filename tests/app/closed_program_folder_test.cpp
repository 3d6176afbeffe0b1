// The program in a folder it may not write to, as "Program Files" is for a
// standard user: the converted picture goes to the user's own folder. Under
// Wine as root file modes are ignored, so scripts/wine-session.sh mounts a
// read-only view of a folder; a copy of this test program, named as the
// program, runs from that view and converts a picture there.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TOOLS/module_path.h"
#include "app/wallpaper_command.h"
#include "convert/output_folder.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<WallpaperCall>;

const unsigned char TEAL[3] = {0x80, 0x80, 0x00};
const char PROGRAM_NAME[] = "brovane.exe";

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? value : "";
}

// The read-only view, and the same folder where it can be written.
std::string ClosedFolder() { return Variable("BROVANE_CLOSED_FOLDER"); }
std::string ClosedSource() { return Variable("BROVANE_CLOSED_SOURCE"); }

bool RunningInClosedFolder() {
  return !ClosedFolder().empty() &&
         lstrcmpiA(TestProgramFolder().c_str(), ClosedFolder().c_str()) == 0;
}

std::string UserConvertedPath() {
  char base[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
  return std::string(base) + "\\Velmique\\brovane.bmp";
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found = {};
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

std::string FileStart(const std::string& path) {
  char bytes[2] = {};
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "";
  size_t read = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  return std::string(bytes, read);
}

class ClosedProgramFolderTest : public DesktopTest {};

// The part that runs from the read-only view.
void ConvertInClosedFolder() {
  EXPECT_FALSE(CanWriteBesideProgram());
  std::string converted = UserConvertedPath();
  DeleteFileA(converted.c_str());
  TempFolder folder;
  std::string packed = folder.file("photo.g24");
  WritePackedPicture(packed, 8, 4, TEAL);

  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({"/tile", packed}));
  EXPECT_EQ((Calls{{packed, "0", "1"}, {converted, "0", "1"}}), system.calls());
  EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
  EXPECT_EQ("BM", FileStart(converted));
  EXPECT_EQ(std::vector<std::string>{PROGRAM_NAME}, FilesIn(TestProgramFolder()));
  // No temporary file is left in the user's folder either.
  EXPECT_EQ(std::vector<std::string>{"brovane.bmp"},
            FilesIn(converted.substr(0, converted.find_last_of('\\'))));
  DeleteFileA(converted.c_str());
}

TEST_F(ClosedProgramFolderTest, APackedPictureIsConvertedIntoTheUsersOwnFolder) {
  if (RunningInClosedFolder()) {
    ConvertInClosedFolder();
    return;
  }
  // Where this program itself lies the folder is open: the converted file
  // stays beside the program.
  EXPECT_TRUE(CanWriteBesideProgram());
  char beside[PATH_BUFFER_SIZE], output[PATH_BUFFER_SIZE];
  ASSERT_TRUE(GetModulePathWithExtension(beside, ".bmp"));
  ASSERT_TRUE(GetOutputPathWithExtension(output, ".bmp"));
  EXPECT_STREQ(beside, output);

  ASSERT_FALSE(ClosedFolder().empty() || ClosedSource().empty())
      << "no read-only folder: run under scripts/wine-session.sh as root";
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string copy = ClosedSource() + "\\" + PROGRAM_NAME;
  ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
  ChildRun run = RunAndWait(ClosedFolder() + "\\" + PROGRAM_NAME,
                            std::string(PROGRAM_NAME) +
                                " --gtest_filter=ClosedProgramFolderTest.*",
                            90000);
  DeleteFileA(copy.c_str());
  EXPECT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode) << "the run from the read-only folder failed";
  EXPECT_EQ(std::vector<std::string>{}, FilesIn(ClosedSource()));
}

}  // namespace
