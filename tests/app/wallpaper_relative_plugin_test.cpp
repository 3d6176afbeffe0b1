// A picture named relative to the folder the command started in, converted
// by a plug-in: the plug-in host leaves the plug-in folder current after its
// first pass, so only a full path still names the picture in the second.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/wallpaper_fixture.h"
#include "tests/convert/plugin_test_folder.h"
#include "tests/support/temp_folder.h"

namespace {

class RelativePictureConversionTest : public DesktopTest {
 protected:
  void SetUp() override {
    SetCurrentDesktop("0", "0", "");
    // Red, green / blue, white.
    WriteFileBytes(sources_.file("picture.ppm"),
                   MakePpm(2, 2, std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12)));
    // Not an "if" plug-in: the first pass finds nothing and moves on.
    plugins_.Add("ppm");
    pluginKey_.Set(plugins_.path().c_str());
    DeleteFileA(ConvertedWallpaperPath().c_str());
  }
  void TearDown() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }

  TempFolder sources_;
  PluginTestFolder plugins_;
};

TEST_F(RelativePictureConversionTest, IsConvertedAndSet) {
  ASSERT_TRUE(SetCurrentDirectoryA(sources_.path().c_str()));
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  RunWallpaperCommandWith({"/tile", "picture.ppm"});
  std::string converted = ConvertedWallpaperPath();
  EXPECT_EQ((std::vector<WallpaperCall>{{sources_.file("picture.ppm"), "0", "1"},
                                        {converted, "0", "1"}}),
            system.calls());
  EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
  EXPECT_EQ("BM", ReadFileBytes(converted).substr(0, 2));
}

}  // namespace
