#include "TOOLS/file_attributes.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

TEST(FileAttributesTest, FilesFoldersAndNothing) {
  TempFolder folder;
  std::string file = folder.file("a.txt");
  WriteFileBytes(file, "x");
  std::string missing = folder.file("missing");
  struct Case {
    std::string path;
    bool exists, isFile, isDirectory;
  } cases[] = {
      {file, true, true, false},
      {folder.path(), true, false, true},
      {missing, false, false, false},
      {missing + "\\deeper", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.exists, FileExists(c.path.c_str()));
    EXPECT_EQ(c.isFile, IsFile(c.path.c_str()));
    EXPECT_EQ(c.isDirectory, IsDirectory(c.path.c_str()));
  }
}

}  // namespace
