// Plug-in pictures and plug-in folders named outside code page 932: the
// plug-ins take code-page paths only, so both reach them through their short
// aliases.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TOOLS/sjis_text.h"
#include "TOOLS/wide_text.h"
#include "app/wallpaper_plugin_folder.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/convert/plugin_test_folder.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring Widen(const std::string& text) { return ConvertFromAnsi(text.c_str()); }

void SetPluginPathWide(const std::wstring& folder) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Hadrimol\\Susie\\Plug-in",
                                           0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

class WideNamedPluginTest : public DesktopTest {
 protected:
  void SetUp() override {
    SetCurrentDesktop("0", "0", "");
    plugins_.Add("ppm");
    DeleteFileA(ConvertedWallpaperPath().c_str());
  }
  void TearDown() override { DeleteFileA(ConvertedWallpaperPath().c_str()); }
  // Red, green / blue, white, under the given name.
  std::wstring PlacePicture(const std::wstring& name) {
    std::string plain = sources_.file("plain.ppm");
    WriteFileBytes(plain, MakePpm(2, 2, std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12)));
    std::wstring path = Widen(sources_.path()) + L"\\" + name;
    EXPECT_TRUE(MoveFileW(Widen(plain).c_str(), path.c_str()));
    return path;
  }
  void ExpectConvertedAndSet(const std::wstring& picture, const SystemStandIn& system) {
    std::string converted = ConvertedWallpaperPath();
    ASSERT_EQ(2u, system.widePaths().size());
    EXPECT_EQ(picture, system.widePaths()[0]);
    EXPECT_EQ(Widen(converted), system.widePaths()[1]);
    EXPECT_EQ(converted, ReadDesktopText("Wallpaper"));
    // 2 x 2 at 24 bits: 54 bytes of headers and two rows of 8.
    EXPECT_EQ(70u, ReadFileBytes(converted).size());
  }
  TempFolder sources_;
  PluginTestFolder plugins_;
};

TEST_F(WideNamedPluginTest, PicturesOfAnyNameAreConvertedByAPlugin) {
  pluginKey_.Set(plugins_.path().c_str());
  for (const wchar_t* name : {L"caf\u00e9.ppm", L"\ud55c\uad6d\uc5b4.ppm", L"pic\U0001F600.ppm"}) {
    std::wstring picture = PlacePicture(name);
    SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
    RunWallpaperCommandWithWide({L"/tile", picture});
    SCOPED_TRACE(ConvertToAnsiLossy(name));
    ExpectConvertedAndSet(picture, system);
    DeleteFileW(picture.c_str());
  }
}

// The key names the folder as a wide text, as Windows' own editors store it.
TEST_F(WideNamedPluginTest, APluginFolderOfAnyNameIsUsed) {
  TempFolder base;
  std::wstring folder = Widen(base.path()) + L"\\plug-ins \u00e9\u2600";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(Widen(plugins_.file("ppm.spi")).c_str(), (folder + L"\\ppm.spi").c_str(),
                        FALSE));
  SetPluginPathWide(folder);
  char found[PATH_BUFFER_SIZE];
  FindPluginFolder(found);
  // Its short alias, which names the same folder.
  std::wstring longFound(MAX_PATH, L'\0');
  longFound.resize(GetLongPathNameW(Widen(found).c_str(), &longFound[0], MAX_PATH));
  EXPECT_EQ(folder, longFound);
  std::wstring picture = PlacePicture(L"picture.ppm");
  {
    CurrentDirectoryKeeper keeper;
    SystemStandIn system(SYSTEM_TAKES_ONLY_BMP);
    RunWallpaperCommandWithWide({L"/tile", picture});
    ExpectConvertedAndSet(picture, system);
  }
}

}  // namespace
