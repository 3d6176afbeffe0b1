#include "app/wallpaper_settings.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TOOLS/wide_text.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using Arguments = std::vector<std::string>;

std::string Narrow(const std::wstring& text) { return ConvertToAnsiLossy(text.c_str()); }

// The current folder holds two pictures and a folder; the desktop starts
// with a style no option gives, so a kept style shows.
class BuildWallpaperSettingsTest : public DesktopTest {
 protected:
  void SetUp() override {
    const unsigned char grey[3] = {128, 128, 128};
    WriteBmpPicture(folder_.file("a.bmp"), 4, 4, grey);
    WriteBmpPicture(folder_.file("b.bmp"), 4, 4, grey);
    WriteBmpPicture(folder_.file("current.bmp"), 4, 4, grey);
    ASSERT_TRUE(CreateDirectoryA(folder_.file("dir").c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.path().c_str()));
  }
  std::string File(const std::string& name) const { return folder_.file(name); }
  TempFolder folder_;
};

TEST_F(BuildWallpaperSettingsTest, ArgumentRules) {
  struct Case {
    Arguments arguments;
    const char* current;  // the "Wallpaper" value: a file of the folder, or as written
    bool ok;
    const char* style;
    const char* tile;
    const char* path;  // a file of the folder; "" for no path
  } cases[] = {
      {{"/tile", "a.bmp"}, "", true, "0", "1", "a.bmp"},
      {{"a.bmp", "/tile"}, "", true, "0", "1", "a.bmp"},
      {{"/TILE", "a.bmp"}, "", true, "0", "1", "a.bmp"},
      {{"/Tile", "a.bmp"}, "", true, "0", "1", "a.bmp"},
      {{"/cEnTeR", "a.bmp"}, "", true, "0", "0", "a.bmp"},
      {{"/ZOOM", "a.bmp"}, "", true, "2", "0", "a.bmp"},
      {{"/fit", "a.bmp"}, "", true, "6", "0", "a.bmp"},
      {{"/FILL", "a.bmp"}, "", true, "10", "0", "a.bmp"},
      {{"/Span", "a.bmp"}, "", true, "22", "0", "a.bmp"},
      {{"/tile", "a.bmp", "/fit"}, "", true, "6", "0", "a.bmp"},
      {{"/span", "/center", "a.bmp"}, "", true, "0", "0", "a.bmp"},
      {{"/fill"}, "current.bmp", true, "10", "0", "current.bmp"},
      {{"/fit ", "a.bmp"}, "", true, "10", "7", "a.bmp"},
      {{"-tile", "a.bmp"}, "", true, "10", "7", "a.bmp"},
      {{"/stretch", "a.bmp"}, "", true, "10", "7", "a.bmp"},
      {{"tile", "/tile "}, "current.bmp", true, "10", "7", "current.bmp"},
      {{"a.bmp", "b.bmp"}, "", true, "10", "7", "b.bmp"},
      {{"/zoom", "/tile", "a.bmp"}, "", true, "0", "1", "a.bmp"},
      {{"/tile", "a.bmp", "/zoom"}, "", true, "2", "0", "a.bmp"},
      // An option alone re-applies the current wallpaper in the new style.
      {{"/zoom"}, "current.bmp", true, "2", "0", "current.bmp"},
      {{"missing.jpg", "/center"}, "current.bmp", true, "0", "0", "current.bmp"},
      {{"dir", "/tile"}, "current.bmp", true, "0", "1", "current.bmp"},
      {{"b.bmp", "dir", "missing.jpg"}, "current.bmp", true, "10", "7", "b.bmp"},
      // Nothing to set: the current value is empty, or names nothing.
      {{"/zoom"}, "", false, "2", "0", ""},
      {{"/zoom"}, "gone.bmp", false, "2", "0", "gone.bmp"},
      {{"dir"}, "", false, "10", "7", ""},
      {{"/tile", "dir"}, "dir", true, "0", "1", "dir"},
      {{}, "current.bmp", false, "10", "7", "current.bmp"},
  };
  for (const Case& c : cases) {
    std::string current = *c.current ? File(c.current) : "";
    SetCurrentDesktop("10", "7", current);
    std::string expectedPath = *c.path ? File(c.path) : "";
    WallpaperSettings settings;
    std::string label = testing::PrintToString(c.arguments) + " current " + c.current;
    EXPECT_EQ(c.ok, BuildWallpaperSettingsWith(&settings, c.arguments)) << label;
    EXPECT_STREQ(c.style, settings.wallpaperStyle) << label;
    EXPECT_STREQ(c.tile, settings.tileWallpaper) << label;
    EXPECT_EQ(expectedPath, Narrow(settings.wallpaperPath)) << label;
  }
}

// The system keeps the path as given, and the plug-ins may move the current
// folder: a picture named relative to the current folder is kept whole.
TEST_F(BuildWallpaperSettingsTest, RelativePicturesBecomeFullPaths) {
  SetCurrentDesktop("0", "0", "");
  for (const char* relative : {"a.bmp", ".\\a.bmp", "dir\\..\\a.bmp", "./a.bmp", "A.BMP"}) {
    WallpaperSettings settings;
    EXPECT_TRUE(BuildWallpaperSettingsWith(&settings, {"/tile", relative})) << relative;
    std::string expected = File(relative[0] == 'A' ? "A.BMP" : "a.bmp");
    EXPECT_EQ(expected, Narrow(settings.wallpaperPath)) << relative;
  }
}

// "/tile" names the file "tile" in the root of the current drive; when that
// file exists, the argument is a picture and no option.
TEST_F(BuildWallpaperSettingsTest, AFileNamedLikeAnOptionIsAFile) {
  SetCurrentDesktop("10", "7", "");
  std::string rootFile = FullPathOf("/tile");
  ASSERT_FALSE(PathFileExistsA(rootFile.c_str())) << rootFile;
  const unsigned char grey[3] = {128, 128, 128};
  WriteBmpPicture(rootFile, 4, 4, grey);
  WallpaperSettings settings;
  bool ok = BuildWallpaperSettingsWith(&settings, {"/zoom", "/tile"});
  DeleteFileA(rootFile.c_str());
  EXPECT_TRUE(ok);
  EXPECT_STREQ("2", settings.wallpaperStyle);
  EXPECT_STREQ("0", settings.tileWallpaper);
  EXPECT_EQ(rootFile, Narrow(settings.wallpaperPath));
}

// The desktop values may hold anything; the record always holds terminated
// texts, and a value that does not fit leaves the default in place.
class ReadWallpaperSettingsTest : public DesktopTest {
 protected:
  void SetUp() override { RemoveDesktopValues(); }
  static void RemoveDesktopValues() {
    for (const char* name : {"Wallpaperstyle", "TileWallpaper", "Wallpaper"})
      WriteRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, name, RawValue());
  }
  static WallpaperSettings Record(const char* style, const char* tile, const char* path) {
    WallpaperSettings settings;
    SetDefaultWallpaperSettings(&settings);
    std::strcpy(settings.wallpaperStyle, style);
    std::strcpy(settings.tileWallpaper, tile);
    settings.wallpaperPath = ConvertFromAnsi(path);
    return settings;
  }
  // Reading needs no more than reading; writing wants the full access the
  // command opens the key with.
  static void WithDesktopKey(REGSAM access, void (*use)(WallpaperSettings*, HKEY),
                             WallpaperSettings* settings) {
    HKEY desktop = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, 0, access, &desktop));
    use(settings, desktop);
    RegCloseKey(desktop);
  }
};

TEST_F(ReadWallpaperSettingsTest, FieldsAreTerminatedTextsWhateverTheRegistryHolds) {
  struct Case {
    const char* label;
    const char* name;
    DWORD type;
    std::string bytes;
    const char* style;
    const char* tile;
    std::string path;
  } cases[] = {
      {"path of 259 characters", "Wallpaper", REG_SZ, std::string(259, 'p') + '\0', "0", "0",
       std::string(259, 'p')},
      // The path is read whole, whatever its length: a restore must name the
      // very file the user had.
      {"path of 260 characters", "Wallpaper", REG_SZ, std::string(260, 'p') + '\0', "0", "0",
       std::string(260, 'p')},
      {"path of 600 characters", "Wallpaper", REG_SZ, std::string(600, 'p') + '\0', "0", "0",
       std::string(600, 'p')},
      {"path without terminator", "Wallpaper", REG_BINARY, "C:\\x.bmp", "0", "0", "C:\\x.bmp"},
      {"260 bytes without terminator", "Wallpaper", REG_BINARY, std::string(260, 'p'), "0", "0",
       std::string(260, 'p')},
      {"style without terminator", "Wallpaperstyle", REG_BINARY, "2", "2", "0", ""},
      {"style of 10 bytes without terminator", "Wallpaperstyle", REG_BINARY, "1234567890", "0",
       "0", ""},
      {"style too long", "Wallpaperstyle", REG_SZ, std::string("1234567890\0", 11), "0", "0", ""},
      {"tile as a number", "TileWallpaper", REG_DWORD, std::string("\1\0\0\0", 4), "0", "\1", ""},
      {"tile of another type", "TileWallpaper", REG_MULTI_SZ, std::string("1\0\0", 3), "0", "1",
       ""},
  };
  for (const Case& c : cases) {
    RemoveDesktopValues();
    RawValue value;
    value.present = true;
    value.type = c.type;
    value.bytes = c.bytes;
    WriteRawValue(HKEY_CURRENT_USER, DESKTOP_KEY_NAME, c.name, value);

    WallpaperSettings read = Record("0", "0", "");
    WithDesktopKey(KEY_READ, ReadWallpaperSettings, &read);
    // The whole command takes the same values the same way.
    WallpaperSettings built;
    std::memset(built.wallpaperStyle, 'x', sizeof built.wallpaperStyle);
    std::memset(built.tileWallpaper, 'x', sizeof built.tileWallpaper);
    built.wallpaperPath = L"stale";
    EXPECT_FALSE(BuildWallpaperSettingsWith(&built, {"/center"})) << c.label;

    for (const WallpaperSettings* settings : {&read, &built}) {
      EXPECT_NE(nullptr, std::memchr(settings->wallpaperStyle, 0, STYLE_TEXT_SIZE)) << c.label;
      EXPECT_NE(nullptr, std::memchr(settings->tileWallpaper, 0, STYLE_TEXT_SIZE)) << c.label;
      EXPECT_EQ(c.path, Narrow(settings->wallpaperPath)) << c.label;
    }
    EXPECT_STREQ(c.style, read.wallpaperStyle) << c.label;
    EXPECT_STREQ(c.tile, read.tileWallpaper) << c.label;
  }
}

TEST_F(ReadWallpaperSettingsTest, MissingValuesKeepTheFieldsAsTheyWere) {
  WallpaperSettings settings = Record("s", "t", "p");
  WithDesktopKey(KEY_READ, ReadWallpaperSettings, &settings);
  EXPECT_STREQ("s", settings.wallpaperStyle);
  EXPECT_STREQ("t", settings.tileWallpaper);
  EXPECT_EQ(L"p", settings.wallpaperPath);
}

TEST_F(ReadWallpaperSettingsTest, WritingTheStyleLeavesTheWallpaperToTheSystem) {
  SetCurrentDesktop("10", "7", "C:\\current.bmp");
  WallpaperSettings settings = Record("2", "1", "C:\\other.bmp");
  WithDesktopKey(KEY_ALL_ACCESS,
                 [](WallpaperSettings* s, HKEY key) { WriteWallpaperStyle(*s, key); }, &settings);
  EXPECT_EQ("2", ReadDesktopText("Wallpaperstyle"));
  EXPECT_EQ("1", ReadDesktopText("TileWallpaper"));
  EXPECT_EQ("C:\\current.bmp", ReadDesktopText("Wallpaper"));
}

}  // namespace
