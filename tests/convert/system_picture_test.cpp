// Pictures no plug-in reads go to the system's imaging component: PNG, GIF,
// TIFF and JPEG files made by another encoder become the converted
// wallpaper; damaged ones leave the previous wallpaper in place; a plug-in
// that reads the file keeps its say.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "convert/convert_to_bitmap.h"
#include "convert/system_picture.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/convert/plugin_test_folder.h"
#include "tests/convert/plugins/test_picture.h"
#include "tests/support/temp_folder.h"

namespace {

// The size of every picture make_system_pictures.py writes.
const int WIDTH = 7;
const int HEIGHT = 5;
const size_t ROW_STRIDE = 24;  // 7 pixels of 3 bytes, padded to 4
const size_t BMP_HEADERS = 14 + 40;

std::string PictureFile(const std::string& name) {
  return std::string(SYSTEM_PICTURE_FOLDER) + "\\" + name;
}

COLORREF TestBackground() { return RGB(0x30, 0x90, 0xC8); }

// What a decoder must deliver, as the converted file's rows: the pixels
// (rows from the top, red, green, blue, alpha) laid over the background,
// bottom-up, blue first.
std::string ExpectedRows(const std::string& rgba, COLORREF background) {
  const unsigned char under[3] = {GetBValue(background), GetGValue(background),
                                  GetRValue(background)};
  std::string rows(ROW_STRIDE * HEIGHT, '\0');
  for (int y = 0; y < HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) {
      const unsigned char* pixel =
          reinterpret_cast<const unsigned char*>(rgba.data()) + 4 * (y * WIDTH + x);
      unsigned alpha = pixel[3];
      for (int c = 0; c < 3; ++c) {
        unsigned source = pixel[2 - c];
        unsigned mixed = (alpha * source + (255 - alpha) * under[c] + 127) / 255;
        rows[(HEIGHT - 1 - y) * ROW_STRIDE + 3 * x + c] = static_cast<char>(mixed);
      }
    }
  }
  return rows;
}

int LargestDifference(const std::string& a, const std::string& b) {
  int largest = a.size() == b.size() ? 0 : 256;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    largest = std::max(largest, std::abs(static_cast<unsigned char>(a[i]) -
                                         static_cast<unsigned char>(b[i])));
  return largest;
}

// Files named after this program with three digits for an extension: the
// conversion's temporary files.
std::vector<std::string> TemporaryFilesBesideProgram() {
  std::string converted = ConvertedWallpaperPath();
  std::string pattern = converted.substr(0, converted.size() - 3) + "???";
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    std::string extension = name.substr(name.find_last_of('.') + 1);
    if (extension.size() == 3 && extension.find_first_not_of("0123456789") == std::string::npos)
      names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// COM as start-up leaves it for the program's own thread.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

// A known desktop background colour while it lives.
class DesktopBackground {
 public:
  explicit DesktopBackground(COLORREF color) : previous_(GetSysColor(COLOR_BACKGROUND)) {
    Set(color);
  }
  ~DesktopBackground() { Set(previous_); }

 private:
  static void Set(COLORREF color) {
    const INT element = COLOR_BACKGROUND;
    SetSysColors(1, &element, &color);
  }
  COLORREF previous_;
};

// Counts the requests for the imaging factory and passes them on to the
// real one, or fails them as a system without the component does.
class FactoryStandIn {
 public:
  explicit FactoryStandIn(bool available) {
    available_ = available;
    requests_ = 0;
    real_ = ReplaceImagingFactoryCreator(Create);
  }
  ~FactoryStandIn() { ReplaceImagingFactoryCreator(real_); }
  FactoryStandIn(const FactoryStandIn&) = delete;
  FactoryStandIn& operator=(const FactoryStandIn&) = delete;
  int requests() const { return requests_; }

 private:
  static HRESULT Create(IWICImagingFactory** factory) {
    ++requests_;
    if (available_) return real_(factory);
    *factory = nullptr;
    return REGDB_E_CLASSNOTREG;
  }
  static bool available_;
  static int requests_;
  static ImagingFactoryCreator real_;
};
bool FactoryStandIn::available_ = true;
int FactoryStandIn::requests_ = 0;
ImagingFactoryCreator FactoryStandIn::real_ = nullptr;

// The wallpaper command with an empty plug-in folder, a system that takes
// BMP files only, and a desktop that held "previous.bmp" centred.
class SystemPictureTest : public DesktopTest {
 protected:
  SystemPictureTest() : background_(TestBackground()) {
    pluginKey_.Set(plugins_.path().c_str());
    SetCurrentDesktop("2", "0", "C:\\windows\\previous.bmp");
  }
  ~SystemPictureTest() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }

  ComApartment apartment_;
  DesktopBackground background_;
  PluginTestFolder plugins_;
};

struct DecodedCase {
  const char* file;
  const char* pixels;  // what the decoder must give, made with the file
  int tolerance;       // the largest difference allowed in any channel
};

void PrintTo(const DecodedCase& c, std::ostream* os) { *os << c.file; }

const DecodedCase DECODED_CASES[] = {
    {"truecolour.png", "opaque.rgba", 0},
    {"palette.png", "opaque.rgba", 0},
    {"deep.png", "opaque.rgba", 0},  // 16 bits per channel
    {"alpha.png", "translucent.rgba", 0},
    {"animation.gif", "opaque.rgba", 0},  // the second frame is the negative
    {"lzw.tif", "opaque.rgba", 0},
    // ImageMagick's own decode; two JPEG decoders may round differently.
    {"photo.jpg", "photo.rgba", 3},
};

class DecodedPictureTest : public SystemPictureTest,
                           public testing::WithParamInterface<DecodedCase> {};

TEST_P(DecodedPictureTest, PictureIsConvertedBesideTheProgramAndSet) {
  const DecodedCase& decoded = GetParam();
  std::string source = PictureFile(decoded.file);
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);

  RunWallpaperCommandWith({"/tile", source});

  std::string converted = ConvertedWallpaperPath();
  std::string file = ReadFileBytes(converted);
  ASSERT_EQ(BMP_HEADERS + ROW_STRIDE * HEIGHT, file.size());
  BITMAPINFOHEADER header;
  std::memcpy(&header, file.data() + 14, sizeof header);
  EXPECT_EQ(WIDTH, header.biWidth);
  EXPECT_EQ(HEIGHT, header.biHeight);
  EXPECT_EQ(24, header.biBitCount);
  EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
  std::string expected = ExpectedRows(ReadFileBytes(PictureFile(decoded.pixels)), TestBackground());
  std::string rows = file.substr(BMP_HEADERS);
  if (decoded.tolerance == 0)
    EXPECT_EQ(expected, rows);
  else
    EXPECT_LE(LargestDifference(expected, rows), decoded.tolerance);
  EXPECT_EQ((std::vector<WallpaperCall>{{source, "0", "1"}, {converted, "0", "1"}}),
            system.calls());
  EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
  EXPECT_EQ(std::vector<std::string>{}, TemporaryFilesBesideProgram());
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodedPictureTest, testing::ValuesIn(DECODED_CASES));

class DamagedPictureTest : public SystemPictureTest,
                           public testing::WithParamInterface<const char*> {};

TEST_P(DamagedPictureTest, IsRefusedAndThePreviousWallpaperComesBack) {
  std::string source = PictureFile(GetParam());
  DesktopSnapshot before = TakeDesktopSnapshot();
  SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);

  RunWallpaperCommandWith({"/tile", source});

  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ConvertedWallpaperPath().c_str()));
  EXPECT_EQ(std::vector<std::string>{}, TemporaryFilesBesideProgram());
  EXPECT_EQ((std::vector<WallpaperCall>{{source, "0", "1"},
                                        {"C:\\windows\\previous.bmp", "2", "0"}}),
            system.calls());
  EXPECT_TRUE(before == TakeDesktopSnapshot());
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedPictureTest,
                         testing::Values("truncated.png", "truncated.jpg", "garbage.png",
                                         "huge.png", "huge.tif"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.replace(name.find('.'), 1, "_");
                         });

// The loader and the conversion entry on their own.
class SystemLoaderTest : public testing::Test {
 protected:
  ComApartment apartment_;
  TempFolder files_;
  PluginTestFolder plugins_;
};

TEST_F(SystemLoaderTest, MissingImagingComponentIsAFailedLoad) {
  std::string source = PictureFile("truecolour.png");
  BITMAPINFOHEADER header = {};
  {
    FactoryStandIn factory(false);
    EXPECT_EQ(nullptr, LoadSystemPicture(source.c_str(), &header));
    EXPECT_EQ(1, factory.requests());
  }
  // The same file with the component there.
  unsigned char* bits = LoadSystemPicture(source.c_str(), &header);
  EXPECT_NE(nullptr, bits);
  std::free(bits);
  EXPECT_EQ(WIDTH, header.biWidth);
}

TEST_F(SystemLoaderTest, MissingImagingComponentFailsTheConversion) {
  FactoryStandIn factory(false);
  std::string destination = files_.file("converted.bmp");
  EXPECT_FALSE(ConvertToBitmapFile(destination.c_str(), PictureFile("alpha.png").c_str(),
                                   plugins_.path().c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(destination.c_str()));
}

// The "plain" test plug-in takes every file and hands out its own 3 x 2
// picture.
TEST_F(SystemLoaderTest, PluginThatReadsThePictureIsUsedAndTheComponentNotAsked) {
  plugins_.Add("plain");
  FactoryStandIn factory(true);
  std::string destination = files_.file("converted.bmp");
  ASSERT_TRUE(ConvertToBitmapFile(destination.c_str(), PictureFile("truecolour.png").c_str(),
                                  plugins_.path().c_str()));
  std::string file = ReadFileBytes(destination);
  ASSERT_EQ(BMP_HEADERS + 2 * 12, file.size());
  BITMAPINFOHEADER header;
  std::memcpy(&header, file.data() + 14, sizeof header);
  EXPECT_EQ(3, header.biWidth);
  EXPECT_EQ(2, header.biHeight);
  for (size_t i = 0; i < 2 * 12; ++i)
    EXPECT_EQ(TestPixelByte(i), static_cast<unsigned char>(file[BMP_HEADERS + i])) << i;
  EXPECT_EQ(0, factory.requests());
  EXPECT_EQ((std::vector<std::string>{"plain.spi GetPluginInfo", "plain.spi IsSupported",
                                      "plain.spi GetPicture"}),
            plugins_.Calls());
}

TEST_F(SystemLoaderTest, ComponentIsAskedOnceWhenNoPluginReadsThePicture) {
  plugins_.Add("says_no");
  FactoryStandIn factory(true);
  std::string destination = files_.file("converted.bmp");
  EXPECT_TRUE(ConvertToBitmapFile(destination.c_str(), PictureFile("truecolour.png").c_str(),
                                  plugins_.path().c_str()));
  EXPECT_EQ(1, factory.requests());
}

}  // namespace
