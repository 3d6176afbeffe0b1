#include "app/wallpaper_plugin_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TOOLS/module_path.h"
#include "TOOLS/sjis_text.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

class PluginFolderTest : public DesktopTest {
 protected:
  std::string ProgramFolder() const {
    char folder[PATH_BUFFER_SIZE];
    GetModuleDirectory(folder);
    return folder;
  }
  TempFolder temp_;
};

TEST_F(PluginFolderTest, TheKeyNamesTheFolderOrElseTheProgramFolderServes) {
  std::string pluginFile = temp_.file("plugin.spi");
  WriteFileBytes(pluginFile, "not a folder");
  struct Case {
    const char* label;
    bool key;
    const char* path;  // null: no "Path" value
    std::string expected;
  } cases[] = {
      {"no key", false, nullptr, ProgramFolder()},
      {"no Path value", true, nullptr, ProgramFolder()},
      {"Path empty", true, "", ProgramFolder()},
      {"Path naming nothing", true, "C:\\no such folder", ProgramFolder()},
      {"Path naming a folder", true, temp_.path().c_str(), temp_.path()},
      // A file counts as found; no conversion is tried with it.
      {"Path naming a file", true, pluginFile.c_str(), pluginFile},
  };
  for (const Case& c : cases) {
    SavedPluginKey key;
    if (c.key) key.Set(c.path);
    char folder[PATH_BUFFER_SIZE];
    std::memset(folder, 'x', sizeof folder);
    FindPluginFolder(folder);
    EXPECT_EQ(c.expected, folder) << c.label;
  }
}

TEST_F(PluginFolderTest, WithoutTheKeyTheCallersFolderStays) {
  char folder[PATH_BUFFER_SIZE] = "as the caller set it";
  EXPECT_FALSE(GetPluginFolder(folder));
  EXPECT_STREQ("as the caller set it", folder);
  pluginKey_.Set(nullptr);
  EXPECT_TRUE(GetPluginFolder(folder));
  EXPECT_STREQ("", folder);
}

// Reading is all the program asks of the plug-in key.
TEST_F(PluginFolderTest, TheKeyIsOpenedForReading) {
  pluginKey_.Set("C:\\plugins");
  HKEY key = nullptr;
  ASSERT_TRUE(OpenPluginKey(&key));
  char path[PATH_BUFFER_SIZE] = "";
  DWORD size = sizeof path;
  EXPECT_EQ(ERROR_SUCCESS,
            RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size));
  EXPECT_STREQ("C:\\plugins", path);
  EXPECT_NE(ERROR_SUCCESS, RegSetValueExA(key, "Path", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>("x"), 2));
  RegCloseKey(key);
}

}  // namespace
