// The program as a user runs it: a child process under Wine with the real
// system call.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/wallpaper_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class WallpaperEndToEndTest : public DesktopTest {
 protected:
  void SetUp() override {
    const unsigned char orange[3] = {0x20, 0x90, 0xF0};
    picture_ = folder_.file("picture.bmp");
    WriteBmpPicture(picture_, 16, 16, orange);
    SetCurrentDesktop("2", "0", "");
  }
  TempFolder folder_;
  std::string picture_;
};

// A picture that is set traces nothing of the command's own: only start-up's
// argument lines.
TEST_F(WallpaperEndToEndTest, TileSetsThePicture) {
  ChildRun run =
      RunUnderDebugger(BrovaneProgramPath(), "brovane.exe /tile \"" + picture_ + "\"");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ((Lines{"argv[ 0]=brovane.exe\r\n", "argv[ 1]=/tile\r\n",
                   "argv[ 2]=" + picture_ + "\r\n"}),
            run.debugLines);
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// The child starts in this process's current folder.
TEST_F(WallpaperEndToEndTest, ARelativePictureIsStoredByItsFullPath) {
  ASSERT_TRUE(SetCurrentDirectoryA(folder_.path().c_str()));
  ChildRun run = RunAndWait(BrovaneProgramPath(), "brovane.exe picture.bmp /Center");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("0", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
}

// Each option's texts as the real program writes them; Wine takes any path,
// so each run ends with the picture set.
TEST_F(WallpaperEndToEndTest, EveryOptionWritesItsStyleTexts) {
  const struct {
    const char* option;
    const char* style;
    const char* tile;
  } cases[] = {
      {"/center", "0", "0"}, {"/tile", "0", "1"},  {"/zoom", "2", "0"},
      {"/fit", "6", "0"},    {"/fill", "10", "0"}, {"/SPAN", "22", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    SetCurrentDesktop("99", "99", "");
    ChildRun run = RunAndWait(BrovaneProgramPath(),
                              std::string("brovane.exe ") + c.option + " \"" + picture_ + "\"");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(c.style, ReadDesktopText("Wallpaperstyle"));
    EXPECT_EQ(c.tile, ReadDesktopText("TileWallpaper"));
    EXPECT_EQ(picture_, ReadDesktopText("Wallpaper"));
  }
}

// No picture named and no current wallpaper: 2, nothing written, nothing
// traced beyond the arguments.
TEST_F(WallpaperEndToEndTest, NothingToDoEndsWithTwo) {
  const std::string missing = folder_.file("missing.png");
  const struct {
    std::string commandLine;
    Lines lines;
  } cases[] = {
      {"brovane.exe /fill", {"argv[ 0]=brovane.exe\r\n", "argv[ 1]=/fill\r\n"}},
      {"brovane.exe /tile \"" + missing + "\"",
       {"argv[ 0]=brovane.exe\r\n", "argv[ 1]=/tile\r\n", "argv[ 2]=" + missing + "\r\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.commandLine);
    DesktopSnapshot before = TakeDesktopSnapshot();
    ChildRun run = RunUnderDebugger(BrovaneProgramPath(), c.commandLine);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_EQ(c.lines, run.debugLines);
    EXPECT_EQ(before, TakeDesktopSnapshot());
  }
}

// Under Wine the system takes any path, so the one refusal the real program
// can meet here is a desktop key this user may only read: 1, nothing
// written, and the reason on the debugger output.
TEST_F(WallpaperEndToEndTest, DesktopKeyOnlyReadableEndsWithOneAndSaysWhy) {
  DesktopSnapshot before = TakeDesktopSnapshot();
  ChildRun run;
  {
    ReadOnlyDesktopKey readOnly;
    ASSERT_FALSE(CanOpenDesktopFully());
    run = RunUnderDebugger(BrovaneProgramPath(), "brovane.exe /fit \"" + picture_ + "\"");
  }
  ASSERT_TRUE(run.started);
  EXPECT_EQ(1u, run.exitCode);
  EXPECT_EQ((Lines{"argv[ 0]=brovane.exe\r\n", "argv[ 1]=/fit\r\n", "argv[ 2]=" + picture_ + "\r\n",
                   "wallpaper not set: " + picture_ + ": the desktop key could not be opened\r\n"}),
            run.debugLines);
  EXPECT_EQ(before, TakeDesktopSnapshot());
}

}  // namespace
