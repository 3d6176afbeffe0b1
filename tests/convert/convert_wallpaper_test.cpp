// The wallpaper command with a system that refuses the picture it is given:
// the picture is converted beside this program and set instead, or, when no
// loader can read it, the desktop gets its previous values back.
#include <windows.h>

#include <gtest/gtest.h>

#include "packer/g24a_packer.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/convert/picture_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"

namespace {

class ConvertWallpaperTest : public DesktopTest {
 protected:
  ConvertWallpaperTest() : pluginFolder_(files_.file("plugins")) {
    CreateDirectoryA(pluginFolder_.c_str(), nullptr);
    pluginKey_.Set(pluginFolder_.c_str());
    SetCurrentDesktop("2", "0", "C:\\windows\\previous.bmp");
  }
  ~ConvertWallpaperTest() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }

  TempFolder files_;
  std::string pluginFolder_;
};

TEST_F(ConvertWallpaperTest, PackedPictureIsConvertedBesideTheProgramAndSet) {
  BITMAPINFOHEADER header = MakeDibHeader(6, 4, 24);
  Bytes pixels = MakePixels(PIXELS_PHOTO, GetDibImageSize(header), 6);
  std::string source = files_.file("holiday.g24a");
  WriteBytesTo(source, MakePackedPicture(header, pixels.data()));
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);

  EXPECT_EQ(0, RunWallpaperCommandWith({"/tile", source}));

  std::string converted = ConvertedWallpaperPath();
  Bytes file = ReadFileBytesOf(converted);
  ASSERT_EQ(54u + pixels.size(), file.size());
  EXPECT_EQ(ExpectedAfterDecoding(pixels), Bytes(file.begin() + 54, file.end()));
  ASSERT_EQ(2u, system.calls().size());
  EXPECT_EQ(source, system.calls()[0].path);
  EXPECT_EQ((WallpaperCall{converted, "0", "1"}), system.calls()[1]);
  EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
}

TEST_F(ConvertWallpaperTest, PictureNoLoaderReadsBringsThePreviousWallpaperBack) {
  std::string source = files_.file("strange.pic");
  WriteBytesTo(source, BytesOf("no packed picture, and no plug-in reads it"));
  SystemStandIn system(SYSTEM_REFUSES_ALL);
  TraceCapture trace;

  EXPECT_EQ(1, RunWallpaperCommandWith({"/zoom", source}));

  EXPECT_EQ(std::vector<std::string>{"wallpaper not set: " + source +
                                     ": the system refused it and no loader read it\r\n"},
            trace.lines());

  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ConvertedWallpaperPath().c_str()));
  ASSERT_EQ(2u, system.calls().size());
  EXPECT_EQ(source, system.calls()[0].path);
  EXPECT_EQ((WallpaperCall{"C:\\windows\\previous.bmp", "2", "0"}), system.calls()[1]);
  EXPECT_EQ("2", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("0", ReadDesktopText("TileWallpaper"));
}

}  // namespace
