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

// The command traces nothing of its own: only start-up's argument lines.
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

}  // namespace
