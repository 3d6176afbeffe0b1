#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TOOLS/local_memory_checks.h"
#include "TOOLS/pointer_checks.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

std::string BaseLine(int line, const char* condition) {
  return std::string("..\\..\\TOOLS\\toolbase(") + std::to_string(line) + ") : " + condition +
         " \r\n";
}

std::string SysLine(int line, const char* condition) {
  return std::string("..\\..\\TOOLS\\toolsys(") + std::to_string(line) + ") : " + condition +
         " \r\n";
}

// A page that cannot be read or written.
struct GuardPage {
  GuardPage() { page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS); }
  ~GuardPage() { VirtualFree(page, 0, MEM_RELEASE); }
  void* page;
};

void SomeProcedure() {}

TEST(PointerCheckTest, ReportsTheFirstFailedConditionExactly) {
  GuardPage guard;
  const char readOnly[] = "constant";
  char writable[4] = {};
  struct Case {
    const char* name;
    bool (*check)(void*, void*);
    void* argument;
    bool result;
    Lines lines;
  } cases[] = {
      {"IsValidReadPtr null", [](void* p, void*) { return IsValidReadPtr(p, 4); }, nullptr, false,
       {BaseLine(1111, "ptr")}},
      {"IsValidReadPtr no access", [](void* p, void*) { return IsValidReadPtr(p, 4); },
       guard.page, false, {BaseLine(1112, "!IsBadReadPtr( ptr, size )")}},
      {"IsValidReadPtr fine", [](void* p, void*) { return IsValidReadPtr(p, 4); },
       const_cast<char*>(readOnly), true, {}},
      {"IsValidWritePtr null", [](void* p, void*) { return IsValidWritePtr(p, 4); }, nullptr,
       false, {BaseLine(1158, "ptr")}},
      {"IsValidWritePtr read-only", [](void* p, void*) { return IsValidWritePtr(p, 4); },
       guard.page, false, {BaseLine(1159, "!IsBadWritePtr( ptr, size )")}},
      {"IsValidWritePtr fine", [](void* p, void*) { return IsValidWritePtr(p, 4); }, writable,
       true, {}},
      {"IsValidReadWritePtr null", [](void* p, void*) { return IsValidReadWritePtr(p, 4); },
       nullptr, false, {BaseLine(1094, "ptr")}},
      {"IsValidReadWritePtr unreadable", [](void* p, void*) { return IsValidReadWritePtr(p, 4); },
       guard.page, false,
       {BaseLine(1112, "!IsBadReadPtr( ptr, size )"),
        BaseLine(1095, "IsValidReadPtr( ptr, size )")}},
      {"IsValidProc null", [](void* p, void*) { return IsValidProc(p); }, nullptr, false,
       {BaseLine(968, "proc")}},
      {"IsValidProc fine", [](void* p, void*) { return IsValidProc(p); },
       reinterpret_cast<void*>(&SomeProcedure), true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture trace;
    EXPECT_EQ(c.result, c.check(c.argument, nullptr));
    EXPECT_EQ(c.lines, trace.lines());
  }
}

TEST(PointerCheckTest, ReadWriteCheckOnReadOnlyMemoryReportsTheWriteCondition) {
  void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READONLY);
  TraceCapture trace;
  EXPECT_FALSE(IsValidReadWritePtr(page, 16));
  EXPECT_EQ((Lines{BaseLine(1159, "!IsBadWritePtr( ptr, size )"),
                   BaseLine(1096, "IsValidWritePtr( ptr, size )")}),
            trace.lines());
  VirtualFree(page, 0, MEM_RELEASE);
}

TEST(PointerCheckTest, WriteProbeLeavesTheBlockAsItWas) {
  unsigned char block[] = {0x00, 0x7F, 0xFF};
  EXPECT_TRUE(IsValidWritePtr(block, sizeof block));
  EXPECT_EQ(0x00, block[0]);
  EXPECT_EQ(0x7F, block[1]);
  EXPECT_EQ(0xFF, block[2]);
}

TEST(LocalMemoryCheckTest, HandlesAndSizes) {
  HLOCAL small = LocalAlloc(LMEM_MOVEABLE, 39);
  HLOCAL exact = LocalAlloc(LMEM_MOVEABLE, 40);
  HLOCAL freed = LocalAlloc(LMEM_MOVEABLE, 40);
  LocalFree(freed);
  struct Case {
    const char* name;
    HLOCAL handle;
    bool sizeResult;
    Lines sizeLines;
  } cases[] = {
      {"null", nullptr, false, {SysLine(2197, "hLocal")}},
      {"freed", freed, false,
       {SysLine(2177, "LMEM_INVALID_HANDLE != LocalFlags( hLocal )"),
        SysLine(2198, "IsValidLocalMemory( hLocal )")}},
      {"39 bytes", small, false, {SysLine(2201, "(nMinSize <= size) && (size <= nMaxSize)")}},
      {"40 bytes", exact, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceCapture trace;
    EXPECT_EQ(c.sizeResult, IsValidLocalMemorySize(c.handle, 40, 0x7FFFFFFF));
    EXPECT_EQ(c.sizeLines, trace.lines());
  }
  {
    TraceCapture trace;
    EXPECT_FALSE(IsValidLocalMemory(nullptr));
    EXPECT_TRUE(IsValidLocalMemory(small));
    EXPECT_EQ((Lines{SysLine(2176, "hLocal")}), trace.lines());
  }
  EXPECT_TRUE(IsValidLocalMemorySize(exact, 40, 40));
  EXPECT_FALSE(IsValidLocalMemorySize(exact, 10, 39));
  LocalFree(small);
  LocalFree(exact);
}

}  // namespace
