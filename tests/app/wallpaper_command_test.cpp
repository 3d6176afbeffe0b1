#include "app/wallpaper_command.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TOOLS/file_attributes.h"
#include "TOOLS/wide_text.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<WallpaperCall>;

const unsigned char TEAL[3] = {0x80, 0x80, 0x00};

// The desktop starts with a style no option gives and an existing
// wallpaper, so what is kept and what is put back both show.
class WallpaperCommandTest : public DesktopTest {
 protected:
  void SetUp() override {
    current_ = folder_.file("current.bmp");
    picture_ = folder_.file("picture.bmp");
    packed_ = folder_.file("photo.g24");
    WriteBmpPicture(current_, 4, 4, TEAL);
    WriteBmpPicture(picture_, 4, 4, TEAL);
    WritePackedPicture(packed_, 8, 4, TEAL);
    SetCurrentDesktop("10", "7", current_);
    DeleteFileA(ConvertedWallpaperPath().c_str());
  }
  void TearDown() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }

  TempFolder folder_;
  std::string current_, picture_, packed_;
};

TEST_F(WallpaperCommandTest, SystemTakesThePicture) {
  SystemStandIn system(SYSTEM_TAKES_ALL);
  RunWallpaperCommandWith({"/tile", picture_});
  EXPECT_EQ((Calls{{picture_, "0", "1"}}), system.calls());
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// Nothing is asked of the system and nothing is written.
TEST_F(WallpaperCommandTest, NothingToSetChangesNothing) {
  struct Case {
    std::vector<std::string> arguments;
    const char* current;  // "" for an empty "Wallpaper" value
  } cases[] = {
      {{"/tile", "missing.bmp"}, ""},
      {{"/zoom"}, ""},
      {{"/zoom"}, "C:\\gone.bmp"},
      {{"/tile", "C:\\windows"}, ""},
  };
  for (const Case& c : cases) {
    SetCurrentDesktop("10", "7", c.current);
    DesktopSnapshot before = TakeDesktopSnapshot();
    SystemStandIn system(SYSTEM_TAKES_ALL);
    RunWallpaperCommandWith(c.arguments);
    std::string label = testing::PrintToString(c.arguments);
    EXPECT_EQ(Calls{}, system.calls()) << label;
    EXPECT_EQ(before, TakeDesktopSnapshot()) << label;
  }
}

TEST_F(WallpaperCommandTest, AnOptionAloneReappliesTheCurrentWallpaper) {
  SystemStandIn system(SYSTEM_TAKES_ALL);
  RunWallpaperCommandWith({"/zoom"});
  EXPECT_EQ((Calls{{current_, "2", "0"}}), system.calls());
  EXPECT_EQ("2", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("0", ReadDesktopText("TileWallpaper"));
}

TEST_F(WallpaperCommandTest, WithoutAnOptionTheCurrentStyleIsWrittenBack) {
  SystemStandIn system(SYSTEM_TAKES_ALL);
  RunWallpaperCommandWith({picture_});
  EXPECT_EQ((Calls{{picture_, "10", "7"}}), system.calls());
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// The style is in the key before the system is asked; on failure the kept
// texts are back before the kept wallpaper is set again.
TEST_F(WallpaperCommandTest, NothingCouldBeSetPutsThePreviousSettingsBack) {
  std::string refused = folder_.file("photo.jpg");
  WriteFileBytes(refused, "no picture any loader knows");
  for (SystemAnswer answer : {SYSTEM_REFUSES_ALL, SYSTEM_TAKES_ONLY_BMP}) {
    SetCurrentDesktop("10", "7", current_);
    SystemStandIn system(answer);
    RunWallpaperCommandWith({"/tile", refused});
    EXPECT_EQ((Calls{{refused, "0", "1"}, {current_, "10", "7"}}), system.calls()) << answer;
    EXPECT_EQ("10", ReadDesktopText("Wallpaperstyle"));
    EXPECT_EQ("7", ReadDesktopText("TileWallpaper"));
    EXPECT_EQ(current_, ReadDesktopText("Wallpaper"));
    EXPECT_FALSE(IsFile(ConvertedWallpaperPath().c_str())) << answer;
  }
}

// An earlier "no wallpaper" is put back as such.
TEST_F(WallpaperCommandTest, NoPreviousWallpaperIsPutBackAsNone) {
  SetCurrentDesktop("10", "7", "");
  SystemStandIn system(SYSTEM_REFUSES_ALL);
  RunWallpaperCommandWith({"/zoom", picture_});
  EXPECT_EQ((Calls{{picture_, "2", "0"}, {"", "10", "7"}}), system.calls());
  EXPECT_EQ("10", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("7", ReadDesktopText("TileWallpaper"));
}

// As on older systems: only a BMP file is taken, so the packed picture is
// converted beside the program and that file becomes the wallpaper.
TEST_F(WallpaperCommandTest, SystemRefusesThePictureAndTakesTheConvertedFile) {
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  RunWallpaperCommandWith({"/tile", packed_});
  std::string converted = ConvertedWallpaperPath();
  EXPECT_EQ((Calls{{packed_, "0", "1"}, {converted, "0", "1"}}), system.calls());
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
  EXPECT_EQ("BM", ReadFileBytes(converted).substr(0, 2));
}

// A plug-in "folder" that is a file counts as found, and no conversion is
// tried with it: the picture that converts above is refused for good.
TEST_F(WallpaperCommandTest, PluginPathNamingAFileMeansNoConversion) {
  std::string pluginFile = folder_.file("plugin.spi");
  WriteFileBytes(pluginFile, "not a folder");
  pluginKey_.Set(pluginFile.c_str());
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  RunWallpaperCommandWith({"/tile", packed_});
  EXPECT_EQ((Calls{{packed_, "0", "1"}, {current_, "10", "7"}}), system.calls());
  EXPECT_FALSE(IsFile(ConvertedWallpaperPath().c_str()));
  EXPECT_EQ("10", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ(current_, ReadDesktopText("Wallpaper"));
}

// The system keeps the path as given: a picture named relative to the
// current folder is handed over, and stored, as its full path.
TEST_F(WallpaperCommandTest, ARelativePictureIsSetByItsFullPath) {
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.path().c_str()));
  SystemStandIn system(SYSTEM_TAKES_ALL);
  RunWallpaperCommandWith({"picture.bmp", "/center"});
  EXPECT_EQ((Calls{{picture_, "0", "0"}}), system.calls());
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

TEST_F(WallpaperCommandTest, ApplyTriesThePictureThenItsConversion) {
  std::string programFolder = FullPathOf(ConvertedWallpaperPath() + "\\..");
  std::string converted = ConvertedWallpaperPath();
  struct Case {
    SystemAnswer answer;
    std::string picture;
    std::string pluginFolder;
    bool ok;
    std::vector<std::string> paths;  // asked of the system, in order
  } cases[] = {
      {SYSTEM_TAKES_ALL, picture_, programFolder, true, {picture_}},
      {SYSTEM_REFUSES_ALL, picture_, "C:\\no such folder", false, {picture_}},
      {SYSTEM_TAKES_ONLY_BMP, packed_, "C:\\no such folder", false, {packed_}},
      {SYSTEM_TAKES_ONLY_BMP, packed_, programFolder, true, {packed_, converted}},
      // The converted file is offered even to a system that refuses it.
      {SYSTEM_REFUSES_ALL, packed_, programFolder, false, {packed_, converted}},
  };
  for (Case& c : cases) {
    DeleteFileA(converted.c_str());
    SystemStandIn system(c.answer);
    EXPECT_EQ(c.ok, ApplyWallpaper(ConvertFromAnsi(c.picture.c_str()).c_str(), c.pluginFolder.c_str()))
        << c.picture << " " << c.answer;
    // Only the paths matter here; the style is the test's, not the command's.
    std::vector<std::string> paths;
    for (const WallpaperCall& call : system.calls()) paths.push_back(call.path);
    EXPECT_EQ(c.paths, paths) << c.picture << " " << c.answer;
  }
}

// Lets everyone only read the desktop key while it lives; the key's own
// access list comes back afterwards.
class ReadOnlyDesktopKey {
 public:
  ReadOnlyDesktopKey() {
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, 0,
                                           READ_CONTROL | WRITE_DAC, &key_));
    EXPECT_EQ(ERROR_SUCCESS, GetSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                             nullptr, nullptr, &dacl_, nullptr, &descriptor_));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor_, &control, &revision);
    protected_ = (control & SE_DACL_PROTECTED) != 0;
    // Everyone may read, nobody more; nothing inherited.
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)",
                                                                     SDDL_REVISION_1, &readOnly,
                                                                     nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL readOnlyDacl = nullptr;
    GetSecurityDescriptorDacl(readOnly, &present, &readOnlyDacl, &defaulted);
    EXPECT_EQ(ERROR_SUCCESS,
              SetSecurityInfo(key_, SE_REGISTRY_KEY,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, readOnlyDacl, nullptr));
    LocalFree(readOnly);
  }
  ~ReadOnlyDesktopKey() {
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION |
                                (protected_ ? PROTECTED_DACL_SECURITY_INFORMATION
                                            : UNPROTECTED_DACL_SECURITY_INFORMATION);
    SetSecurityInfo(key_, SE_REGISTRY_KEY, what, nullptr, nullptr, dacl_, nullptr);
    LocalFree(descriptor_);
    RegCloseKey(key_);
  }
  ReadOnlyDesktopKey(const ReadOnlyDesktopKey&) = delete;
  ReadOnlyDesktopKey& operator=(const ReadOnlyDesktopKey&) = delete;

 private:
  HKEY key_ = nullptr;
  PACL dacl_ = nullptr;
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  bool protected_ = false;
};

bool CanOpenDesktopFully() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

TEST_F(WallpaperCommandTest, DesktopKeyWithoutFullAccessChangesNothing) {
  DesktopSnapshot before = TakeDesktopSnapshot();
  SystemStandIn system(SYSTEM_TAKES_ALL);
  {
    ReadOnlyDesktopKey readOnly;
    ASSERT_FALSE(CanOpenDesktopFully());
    RunWallpaperCommandWith({"/tile", picture_});
  }
  EXPECT_TRUE(CanOpenDesktopFully());
  EXPECT_EQ(Calls{}, system.calls());
  EXPECT_EQ(before, TakeDesktopSnapshot());
}

}  // namespace
