#include "app/command_line.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

size_t lastBlockSize = 0;
void* RecordingAllocate(size_t size) {
  lastBlockSize = size;
  return std::malloc(size);
}

Args Split(const std::string& line) {
  int argc = -1;
  char** argv = SplitCommandLineWith(line.c_str(), &argc, RecordingAllocate);
  Args args;
  if (!argv) return args;
  for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
  EXPECT_EQ(nullptr, argv[argc]);
  // The block is exactly the pointers and the texts, back to back.
  size_t texts = 0;
  for (const std::string& a : args) texts += a.size() + 1;
  EXPECT_EQ((argc + 1) * sizeof(char*) + texts, lastBlockSize);
  const char* expected = reinterpret_cast<char*>(argv + argc + 1);
  for (int i = 0; i < argc; ++i) {
    EXPECT_EQ(expected, argv[i]) << "argument " << i;
    expected += std::strlen(argv[i]) + 1;
  }
  EXPECT_EQ(reinterpret_cast<char*>(argv) + lastBlockSize, expected);
  FreeCommandLine(argv);
  return args;
}

TEST(SplitCommandLineTest, Rules) {
  struct Case {
    std::string line;
    Args args;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"prog", {"prog"}},
      {"", {""}},
      {" a", {"", "a"}},
      {"\"C:\\My Files\\prog.exe\" /tile \"C:\\pics\\a b.jpg\"",
       {"C:\\My Files\\prog.exe", "/tile", "C:\\pics\\a b.jpg"}},
      {"\"C:\\dir\\\"x y", {"C:\\dir\\", "x", "y"}},
      {"\"prog\"x", {"prog", "x"}},
      {"\"prog", {"prog"}},
      {"pr\"og a", {"pr\"og", "a"}},
      {"prog a   ", {"prog", "a"}},
      {"prog \"\"", {"prog", ""}},
      {"prog a\\b", {"prog", "a\\b"}},
      {"prog a\\\"b", {"prog", "a\"b"}},
      {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
      {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
      {"prog \"a\"\"b c\"", {"prog", "a\"b", "c"}},
      {"prog \"a b", {"prog", "a b"}},
      {"prog \"x y\"z", {"prog", "x yz"}},
      {"prog a\\\\", {"prog", "a\\\\"}},
      {"prog\ta\tb", {"prog", "a", "b"}},
      {"prog a\x01" "b\x0B" "c", {"prog", "a\x01" "b\x0B" "c"}},
      {"prog \t \"\" \t", {"prog", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.args, Split(c.line));
  }
}

TEST(SplitCommandLineTest, DoubleByteCharacters) {
  // 表 is 95 5C: its second byte must neither escape the quote nor count as a
  // backslash before it.
  struct Case {
    std::string line;
    Args args;
  } cases[] = {
      {"prog \"a\x95\x5C\" b", {"prog", "a\x95\x5C", "b"}},
      {"prog \x95\x5C\"x y\"", {"prog", "\x95\x5Cx y"}},
      {"\"C:\\\x95\x5C\\prog.exe\" a", {"C:\\\x95\x5C\\prog.exe", "a"}},
      {"prog \x95\x5C\\\"q", {"prog", "\x95\x5C\"q"}},
      {"prog \x82\x20x", {"prog", "\x82\x20x"}},  // a blank as second byte belongs to the character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.args, Split(c.line));
  }
}

// A lead byte right before the end is kept on its own; the walk stops at the
// terminator.
TEST(SplitCommandLineTest, LeadByteBeforeTheTerminatorIsKeptAlone) {
  EXPECT_EQ((Args{"prog", "a\x95"}), Split("prog a\x95"));
  EXPECT_EQ((Args{"prog", "\x95"}), Split("prog \"\x95"));
  EXPECT_EQ((Args{"pr\x95"}), Split("pr\x95"));
}

TEST(SplitCommandLineTest, FailedAllocationGivesNull) {
  int argc = 0;
  EXPECT_EQ(nullptr, SplitCommandLineWith("prog a", &argc, [](size_t) -> void* { return nullptr; }));
}

TEST(SplitCommandLineTest, CountingPassWritesOnlyTheCount) {
  int argc = 0;
  size_t size = ParseCommandLine("prog a bc", nullptr, &argc, nullptr);
  EXPECT_EQ(3, argc);
  EXPECT_EQ(4 * sizeof(char*) + 5 + 2 + 3, size);
}

// Every command line is placed so that its terminator is the last readable
// byte before a page that faults on any access: a read past the end crashes.
TEST(SplitCommandLineTest, NeverReadsPastTheTerminator) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  char* pages = static_cast<char*>(
      VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(nullptr, pages);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old));
  const char alphabet[] = {'"', '\\', ' ', '\t', 'a', '\x95', '\x5C', '\x82', '\xE0', '\xFC',
                           '\x81', '\x7F', '\x01'};
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    size_t length = random() % 24;
    char* line = pages + page - length - 1;
    for (size_t i = 0; i < length; ++i) line[i] = alphabet[random() % sizeof alphabet];
    line[length] = 0;
    int argc = 0;
    char** argv = SplitCommandLine(line, &argc);
    ASSERT_NE(nullptr, argv);
    ASSERT_GE(argc, 1);
    FreeCommandLine(argv);
  }
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
