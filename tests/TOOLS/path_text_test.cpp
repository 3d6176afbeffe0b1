#include "TOOLS/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TOOLS/sjis_text.h"

namespace {

const std::string HYO = "\x95\x5C";

TEST(SplitExtensionTest, OnlyTheLastComponentHasAnExtension) {
  struct Case {
    std::string path;
    std::string rest;
    std::string extension;
  } cases[] = {
      {"c:\\dir.x\\file", "c:\\dir.x\\file", ""},
      {"a.tar.gz", "a.tar", "gz"},
      {".bmp", "", "bmp"},
      {"C:\\" + HYO + ".bmp", "C:\\" + HYO, "bmp"},
      {"C:\\a.b\\" + HYO, "C:\\a.b\\" + HYO, ""},  // 5C of 表 is no separator, but the dot is behind a real one
      {"noext", "noext", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string buffer = c.path;
    char* extension = SplitExtension(&buffer[0]);
    EXPECT_EQ(c.rest, std::string(buffer.c_str()));
    EXPECT_EQ(c.extension, std::string(extension));
  }
}

TEST(SplitExtensionTest, TrailByteDoesNotStopTheSearch) {
  // Without the double-byte rule the 5C of 表 would end the search before the dot.
  std::string path = "dir\\a.b" + HYO;
  EXPECT_EQ(path.c_str() + 5, FindExtension(path.c_str()));
}

TEST(SplitFileNameTest, Cases) {
  struct Case {
    std::string path;
    std::string folder;
    std::string name;
  } cases[] = {
      {"C:\\dir\\file.exe", "C:\\dir", "file.exe"},
      {"file.exe", "file.exe", "file.exe"},
      {"C:\\file", "C:", "file"},
      {"C:\\" + HYO, "C:", HYO},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string buffer = c.path;
    char* name = SplitFileName(&buffer[0]);
    EXPECT_EQ(c.folder, std::string(buffer.c_str()));
    EXPECT_EQ(c.name, std::string(name));
  }
}

TEST(CombinePathTest, JoinsAndResolves) {
  struct Case {
    std::string base;
    std::string relative;
    bool ok;
    std::string result;
  } cases[] = {
      {"C:\\plugins", "*.spi", true, "C:\\plugins\\*.spi"},
      {"C:\\plugins\\", "*.spi", true, "C:\\plugins\\*.spi"},
      {"C:\\a\\b", "..\\c", true, "C:\\a\\c"},
      {"C:\\a\\b", "./x", true, "C:\\a\\b\\x"},
      {"C:\\a\\b", "", true, "C:\\a\\b\\"},
      {"C:\\a\\b", ".", true, "C:\\a\\b"},
      {"C:\\a\\b", "x//y", true, "C:\\a\\b\\x\\y"},
      {"C:\\a\\b", "x\\", true, "C:\\a\\b\\x\\"},
      {"C:\\dir", "..", true, "C:"},
      {"C:\\dir", "..\\x", true, "C:\\x"},
      {"C:\\", "..", true, ""},
      {"abc", "..\\x", true, "x"},
      {"", "x", true, "x"},
      {"", "..", false, ""},
      {"a", "..\\..", false, ""},
      {"a/b", "..", true, ""},  // '/' in the base is an ordinary character
      {"C:\\" + HYO, "x", true, "C:\\" + HYO + "\\x"},
      {"C:\\" + HYO, "..", true, "C:"},
      {"C:\\a", HYO + "\\b", true, "C:\\a\\" + HYO + "\\b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base + " + " + c.relative);
    char result[PATH_BUFFER_SIZE];
    EXPECT_EQ(c.ok, CombinePath(result, c.base.c_str(), c.relative.c_str()));
    if (c.ok) {
      EXPECT_EQ(c.result, std::string(result));
    }
  }
}

// A join of 522 bytes or more is refused, and the result stays inside its
// buffer and terminated.
TEST(CombinePathTest, OverlongJoinsStayInsideTheBuffer) {
  struct Case {
    size_t baseLength;
    size_t relativeLength;
    bool ok;
  } cases[] = {
      {519, 1, true}, {520, 1, false}, {521, 0, false}, {522, 0, false},
      {600, 1, false}, {10, 600, false}, {10, 510, true}, {10, 511, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.baseLength) + " + " + std::to_string(c.relativeLength));
    std::string base(c.baseLength, 'b');
    std::string relative(c.relativeLength, 'r');
    char guarded[PATH_BUFFER_SIZE + 16];
    std::memset(guarded, 'Z', sizeof guarded);
    bool ok = CombinePath(guarded, base.c_str(), relative.c_str());
    EXPECT_EQ(c.ok, ok);
    EXPECT_LT(std::strlen(guarded), PATH_BUFFER_SIZE);
    for (size_t i = PATH_BUFFER_SIZE; i < sizeof guarded; ++i) ASSERT_EQ('Z', guarded[i]);
    if (ok) {
      EXPECT_EQ(base + "\\" + relative, std::string(guarded));
    }
  }
}

}  // namespace
