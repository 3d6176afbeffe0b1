// A picture only a plug-in can read travels the whole way: file, plug-in,
// BMP file beside the executable, wallpaper.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert/convert_to_bitmap.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/convert/plugin_test_folder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

const std::string FAULT_LINE = "plug-in call ended by exception C0000005\r\n";

std::string Bytes(const void* data, size_t size) {
  return std::string(static_cast<const char*>(data), size);
}

// A 3 x 2 picture: top row red, green, blue; bottom row black, grey, white.
const int PPM_WIDTH = 3;
const int PPM_HEIGHT = 2;
const std::string PPM_SAMPLES("\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00\xFF"
                              "\x00\x00\x00" "\x80\x80\x80" "\xFF\xFF\xFF", 18);

// The same picture as the BMP file the conversion writes: 24 bits, no
// colour table, rows bottom-up, blue first.
std::string ExpectedPpmBitmap() {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = PPM_WIDTH;
  header.biHeight = PPM_HEIGHT;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const std::string rows("\x00\x00\x00" "\x80\x80\x80" "\xFF\xFF\xFF" "\x00\x00\x00"
                         "\x00\x00\xFF" "\x00\xFF\x00" "\xFF\x00\x00" "\x00\x00\x00", 24);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfSize = 14 + 40 + 24;
  file.bfOffBits = 14 + 40;
  return Bytes(&file, sizeof file) + Bytes(&header, sizeof header) + rows;
}

class PluginWallpaperTest : public DesktopTest {
 protected:
  void SetUp() override {
    SetCurrentDesktop("0", "0", "");
    source_ = sources_.file("picture.ppm");
    WriteFileBytes(source_, MakePpm(PPM_WIDTH, PPM_HEIGHT, PPM_SAMPLES));
    pluginKey_.Set(plugins_.path().c_str());
  }
  void TearDown() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }

  void ExpectConvertedWallpaper(const SystemStandIn& system) {
    std::string converted = ConvertedWallpaperPath();
    EXPECT_EQ((std::vector<WallpaperCall>{{source_, "0", "1"}, {converted, "0", "1"}}),
              system.calls());
    EXPECT_EQ(ExpectedPpmBitmap(), ReadFileBytes(converted));
    EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
    EXPECT_EQ("0", ReadDesktopText("Wallpaperstyle"));
    EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  }

  TempFolder sources_;
  PluginTestFolder plugins_;
  std::string source_;
};

TEST_F(PluginWallpaperTest, PpmPictureBecomesTheConvertedWallpaper) {
  plugins_.Add("ppm");
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  RunWallpaperCommandWith({"/tile", source_});
  ExpectConvertedWallpaper(system);
}

// Before, the fault ended the program with the new style written and the old
// wallpaper lost.
TEST_F(PluginWallpaperTest, PluginThatFaultsCostsNeitherTheProgramNorTheWallpaper) {
  plugins_.Add("fault_picture", "a_fault_picture.spi");
  plugins_.Add("ppm", "b_ppm.spi");
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
  TraceCapture trace;
  RunWallpaperCommandWith({"/tile", source_});
  EXPECT_EQ(Lines{FAULT_LINE}, trace.lines());
  ExpectConvertedWallpaper(system);
  EXPECT_EQ((Lines{"a_fault_picture.spi GetPluginInfo", "a_fault_picture.spi IsSupported",
                   "a_fault_picture.spi GetPicture", "b_ppm.spi GetPluginInfo",
                   "b_ppm.spi IsSupported", "b_ppm.spi GetPicture"}),
            plugins_.Calls());
}

// The conversion entry as the plug-in host's caller.
class PluginConversionTest : public testing::Test {
 protected:
  TempFolder sources_;
  PluginTestFolder plugins_;
};

TEST_F(PluginConversionTest, IfPluginIsTriedInBothPassesOfLoadPicture) {
  plugins_.Add("says_yes_fails", "if_fails.spi");
  plugins_.Add("plain", "plain.spi");
  std::string source = sources_.file("picture.img");
  WriteFileBytes(source, "no packed picture");
  DibPicture picture = {};
  unsigned char* bits = LoadPicture(source.c_str(), &picture, plugins_.path().c_str());
  EXPECT_NE(nullptr, bits);
  std::free(bits);
  Lines ifFails = {"if_fails.spi GetPluginInfo", "if_fails.spi IsSupported",
                   "if_fails.spi GetPicture"};
  Lines expected = ifFails;
  expected.insert(expected.end(), ifFails.begin(), ifFails.end());
  for (const char* call : {"GetPluginInfo", "IsSupported", "GetPicture"})
    expected.push_back(std::string("plain.spi ") + call);
  EXPECT_EQ(expected, plugins_.Calls());
}

TEST_F(PluginConversionTest, ColourMasksOfAPluginPictureAreWrittenAfterTheHeader) {
  plugins_.Add("masks16");
  std::string source = sources_.file("picture.img");
  WriteFileBytes(source, "no packed picture");
  std::string destination = sources_.file("converted.bmp");
  ASSERT_TRUE(ConvertToBitmapFile(destination.c_str(), source.c_str(), plugins_.path().c_str()));
  std::string bmp = ReadFileBytes(destination);
  ASSERT_EQ(14u + 40u + 12u + 16u, bmp.size());  // 3 x 2 at 16 bits: rows of 8 bytes
  BITMAPFILEHEADER file;
  std::memcpy(&file, bmp.data(), sizeof file);
  EXPECT_EQ(14u + 40u + 12u, file.bfOffBits);
  const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
  EXPECT_EQ(Bytes(masks, sizeof masks), bmp.substr(54, 12));
}

}  // namespace
