#include "app/wallpaper_command.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TOOLS/file_attributes.h"
#include "TOOLS/wide_text.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"

namespace {

using Calls = std::vector<WallpaperCall>;
using Lines = std::vector<std::string>;

Lines FailureLine(const std::string& picture, const std::string& reason) {
  return Lines{"wallpaper not set: " + picture + ": " + reason + "\r\n"};
}

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
  TraceCapture trace;
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({"/tile", picture_}));
  EXPECT_EQ(Lines{}, trace.lines());
  EXPECT_EQ((Calls{{picture_, "0", "1"}}), system.calls());
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// Nothing is asked of the system, nothing is written and nothing traced.
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
    TraceCapture trace;
    std::string label = testing::PrintToString(c.arguments);
    EXPECT_EQ(WALLPAPER_EXIT_NOTHING_TO_DO, RunWallpaperCommandWith(c.arguments)) << label;
    EXPECT_EQ(Lines{}, trace.lines()) << label;
    EXPECT_EQ(Calls{}, system.calls()) << label;
    EXPECT_EQ(before, TakeDesktopSnapshot()) << label;
  }
}

TEST_F(WallpaperCommandTest, AnOptionAloneReappliesTheCurrentWallpaper) {
  SystemStandIn system(SYSTEM_TAKES_ALL);
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({"/zoom"}));
  EXPECT_EQ((Calls{{current_, "2", "0"}}), system.calls());
  EXPECT_EQ("2", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("0", ReadDesktopText("TileWallpaper"));
}

TEST_F(WallpaperCommandTest, WithoutAnOptionTheCurrentStyleIsWrittenBack) {
  SystemStandIn system(SYSTEM_TAKES_ALL);
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({picture_}));
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
    TraceCapture trace;
    EXPECT_EQ(WALLPAPER_EXIT_FAILED, RunWallpaperCommandWith({"/tile", refused})) << answer;
    EXPECT_EQ(FailureLine(refused, "the system refused it and no loader read it"), trace.lines());
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
  EXPECT_EQ(WALLPAPER_EXIT_FAILED, RunWallpaperCommandWith({"/zoom", picture_}));
  EXPECT_EQ((Calls{{picture_, "2", "0"}, {"", "10", "7"}}), system.calls());
  EXPECT_EQ("10", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("7", ReadDesktopText("TileWallpaper"));
}

// As on older systems: only a BMP file is taken, so the packed picture is
// converted beside the program and that file becomes the wallpaper.
TEST_F(WallpaperCommandTest, SystemRefusesThePictureAndTakesTheConvertedFile) {
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({"/tile", packed_}));
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
  TraceCapture trace;
  EXPECT_EQ(WALLPAPER_EXIT_FAILED, RunWallpaperCommandWith({"/tile", packed_}));
  EXPECT_EQ(FailureLine(packed_, "the system refused it and no loader read it"), trace.lines());
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
  EXPECT_EQ(WALLPAPER_EXIT_SET, RunWallpaperCommandWith({"picture.bmp", "/center"}));
  EXPECT_EQ((Calls{{picture_, "0", "0"}}), system.calls());
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// Each step that can stop the command: ended with 1, the desktop as it was,
// and one line that names the picture and the step.
TEST_F(WallpaperCommandTest, EachFailureEndsWithOneAndTracesWhy) {
  std::string converted = ConvertedWallpaperPath();
  std::string unreadable = folder_.file("photo.jpg");
  WriteFileBytes(unreadable, "no picture any loader knows");
  struct Case {
    SystemAnswer answer;
    std::string picture;
    bool folderAtConvertedPath;  // so that the BMP cannot be written
    const char* reason;
  } cases[] = {
      {SYSTEM_TAKES_ONLY_BMP, unreadable, false, "the system refused it and no loader read it"},
      {SYSTEM_REFUSES_ALL, picture_, false, "the system refused it and no loader read it"},
      {SYSTEM_TAKES_ONLY_BMP, packed_, true, "the BMP could not be written"},
      {SYSTEM_REFUSES_ALL, packed_, false, "the system refused the converted file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    SetCurrentDesktop("10", "7", current_);
    if (c.folderAtConvertedPath) {
      ASSERT_TRUE(CreateDirectoryA(converted.c_str(), nullptr));
    }
    DesktopSnapshot before = TakeDesktopSnapshot();
    SystemStandIn system(c.answer);
    TraceCapture trace;
    EXPECT_EQ(WALLPAPER_EXIT_FAILED, RunWallpaperCommandWith({"/fill", c.picture}));
    EXPECT_EQ(FailureLine(c.picture, c.reason), trace.lines());
    ASSERT_FALSE(system.calls().empty());
    EXPECT_EQ((WallpaperCall{current_, "10", "7"}), system.calls().back());
    EXPECT_EQ(before, TakeDesktopSnapshot());
    RemoveDirectoryA(converted.c_str());
    DeleteFileA(converted.c_str());
  }
}

TEST_F(WallpaperCommandTest, ApplyTriesThePictureThenItsConversion) {
  std::string programFolder = FullPathOf(ConvertedWallpaperPath() + "\\..");
  std::string converted = ConvertedWallpaperPath();
  struct Case {
    SystemAnswer answer;
    std::string picture;
    std::string pluginFolder;
    WallpaperOutcome outcome;
    std::vector<std::string> paths;  // asked of the system, in order
  } cases[] = {
      {SYSTEM_TAKES_ALL, picture_, programFolder, WALLPAPER_SET, {picture_}},
      {SYSTEM_REFUSES_ALL, picture_, "C:\\no such folder", WALLPAPER_NOT_LOADED, {picture_}},
      {SYSTEM_TAKES_ONLY_BMP, packed_, "C:\\no such folder", WALLPAPER_NOT_LOADED, {packed_}},
      {SYSTEM_TAKES_ONLY_BMP, packed_, programFolder, WALLPAPER_SET, {packed_, converted}},
      // The converted file is offered even to a system that refuses it.
      {SYSTEM_REFUSES_ALL, packed_, programFolder, WALLPAPER_CONVERTED_REFUSED,
       {packed_, converted}},
  };
  for (Case& c : cases) {
    DeleteFileA(converted.c_str());
    SystemStandIn system(c.answer);
    EXPECT_EQ(c.outcome,
              ApplyWallpaper(ConvertFromAnsi(c.picture.c_str()).c_str(), c.pluginFolder.c_str()))
        << c.picture << " " << c.answer;
    // Only the paths matter here; the style is the test's, not the command's.
    std::vector<std::string> paths;
    for (const WallpaperCall& call : system.calls()) paths.push_back(call.path);
    EXPECT_EQ(c.paths, paths) << c.picture << " " << c.answer;
  }
}

TEST_F(WallpaperCommandTest, DesktopKeyWithoutFullAccessChangesNothing) {
  DesktopSnapshot before = TakeDesktopSnapshot();
  SystemStandIn system(SYSTEM_TAKES_ALL);
  {
    ReadOnlyDesktopKey readOnly;
    ASSERT_FALSE(CanOpenDesktopFully());
    TraceCapture trace;
    // Nothing was changed, so the previous settings are what is in force.
    EXPECT_EQ(WALLPAPER_EXIT_FAILED, RunWallpaperCommandWith({"/tile", picture_}));
    EXPECT_EQ(FailureLine(picture_, "the desktop key could not be opened"), trace.lines());
  }
  EXPECT_TRUE(CanOpenDesktopFully());
  EXPECT_EQ(Calls{}, system.calls());
  EXPECT_EQ(before, TakeDesktopSnapshot());
}

}  // namespace
