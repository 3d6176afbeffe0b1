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

std::wstring Widen(const std::string& text) {
  int size = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(932, 0, text.c_str(), -1, &wide[0], size);
  return wide.c_str();
}

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(932, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size, '\0');
  WideCharToMultiByte(932, 0, text.c_str(), -1, &narrow[0], size, nullptr, nullptr);
  return narrow.c_str();
}

using WideArgs = std::vector<std::wstring>;

WideArgs SplitWide(const std::wstring& line) {
  int argc = -1;
  wchar_t** argv = SplitCommandLineWith(line.c_str(), &argc, RecordingAllocate);
  WideArgs args;
  if (!argv) return args;
  for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
  EXPECT_EQ(nullptr, argv[argc]);
  size_t texts = 0;
  for (const std::wstring& a : args) texts += (a.size() + 1) * sizeof(wchar_t);
  EXPECT_EQ((argc + 1) * sizeof(wchar_t*) + texts, lastBlockSize);
  FreeCommandLine(argv);
  return args;
}

// The program reads the wide line the system keeps; for every line the code
// page can express, it must split exactly as the code-page line does.
Args SplitBothWays(const std::string& line) {
  Args args = Split(line);
  std::wstring wide = Widen(line);
  if (Narrow(wide) != line) return args;  // not a valid code-page line
  Args fromWide;
  for (const std::wstring& a : SplitWide(wide)) fromWide.push_back(Narrow(a));
  EXPECT_EQ(args, fromWide) << "wide split of " << line;
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
    EXPECT_EQ(c.args, SplitBothWays(c.line));
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
    EXPECT_EQ(c.args, SplitBothWays(c.line));
  }
}

// A lead byte right before the end is kept on its own; the walk stops at the
// terminator.
TEST(SplitCommandLineTest, LeadByteBeforeTheTerminatorIsKeptAlone) {
  EXPECT_EQ((Args{"prog", "a\x95"}), Split("prog a\x95"));
  EXPECT_EQ((Args{"prog", "\x95"}), Split("prog \"\x95"));
  EXPECT_EQ((Args{"pr\x95"}), Split("pr\x95"));
}

// Characters the code page lacks, a surrogate pair among them, are plain
// characters to the rules.
TEST(SplitCommandLineTest, WideLinesKeepEveryCharacter) {
  struct Case {
    std::wstring line;
    WideArgs args;
  } cases[] = {
      {L"brovane.exe /tile \"C:\\Zo\u00eb \u2600\\caf\u00e9.bmp\"",
       {L"brovane.exe", L"/tile", L"C:\\Zo\u00eb \u2600\\caf\u00e9.bmp"}},
      {L"\"C:\\\ud55c\\p.exe\" pic\U0001F600.bmp", {L"C:\\\ud55c\\p.exe", L"pic\U0001F600.bmp"}},
      {L"p \U0001F600\\\"q \"\u00e9 \u00e9\"", {L"p", L"\U0001F600\"q", L"\u00e9 \u00e9"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.args, SplitWide(c.line));
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
