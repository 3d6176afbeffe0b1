#include "TOOLS/module_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "TOOLS/sjis_text.h"

namespace {

std::string ModuleFileName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

TEST(ModulePathTest, ExtensionReplacedAndLowerCased) {
  std::string own = ModuleFileName();
  std::string stem = own.substr(0, own.rfind('.'));
  char path[PATH_BUFFER_SIZE];
  ASSERT_TRUE(GetModulePathWithExtension(path, ".bmp"));
  EXPECT_EQ(Lower(stem) + ".bmp", std::string(path));
  ASSERT_TRUE(GetModulePathWithExtension(path, ".042"));
  EXPECT_EQ(Lower(stem) + ".042", std::string(path));
  ASSERT_TRUE(GetModulePathWithExtension(path, nullptr));
  EXPECT_EQ(Lower(own), std::string(path));
}

TEST(ModulePathTest, DirectoryHasNoTrailingBackslash) {
  std::string own = ModuleFileName();
  char path[PATH_BUFFER_SIZE];
  ASSERT_TRUE(GetModuleDirectory(path));
  EXPECT_EQ(own.substr(0, own.rfind('\\')), std::string(path));
}

}  // namespace
