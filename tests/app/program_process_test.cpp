// The built program as a process of its own: what its manifest does to it,
// and where it looks for rsrc32.dll. Both hold only in the real executable,
// which carries the manifest and applies the library search rule at start.
#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>

#include "TOOLS/scoped.h"
#include "about/about_template.h"
#include "association/association_dialog.h"
#include "tests/app/common_controls.h"
#include "tests/app/running_program.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

const char ABOUT_CAPTION[] = "Velmique について";

std::string FixturePath(const char* name) {
  std::string program = BrovaneProgramPath();
  std::string build = program.substr(0, program.rfind("\\app\\"));
  return build + "\\tests\\about\\fixtures\\" + name;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Where the process loaded the module with this name from; empty if it has
// none.
std::string LoadedModulePath(DWORD processId, const char* moduleName) {
  HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (taken == INVALID_HANDLE_VALUE) return "";
  ScopedKernelHandle snapshot(taken);
  MODULEENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(taken, &entry); more; more = Module32Next(taken, &entry))
    if (lstrcmpiA(entry.szModule, moduleName) == 0) return entry.szExePath;
  return "";
}

// The program imports comctl32.dll; its manifest makes the loader take the
// themed version 6 for the dialog. (Whether it is DPI-aware cannot be told
// from outside under Wine, which reports every process aware: the manifest's
// own test checks that setting.)
TEST(ProgramProcessTest, TheDialogRunsWithCommonControls6) {
  TempFolder current;
  RunningProgram program(BrovaneProgramPath(), current.path());
  ASSERT_NE(nullptr, program.dialog());
  std::string controls = LoadedModulePath(program.id(), "comctl32.dll");
  EXPECT_TRUE(IsCommonControls6Path(controls)) << controls;
}

// rsrc32.dll is looked for by name: beside the program it is found, in the
// folder the program was started from it never is, not even loaded to run
// its start-up code.
TEST(ProgramProcessTest, Rsrc32IsFoundBesideTheProgramButNeverInTheCurrentFolder) {
  struct Case {
    const char* where;
    bool besideProgram;
    bool loaded;
  } cases[] = {
      {"beside the program", true, true},
      {"in the current folder only", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    TempFolder programFolder;
    TempFolder current;
    TempFolder markers;
    std::string program = BrovaneProgramPath();
    std::string library = current.file("rsrc32.dll");
    if (c.besideProgram) {
      program = programFolder.file("brovane.exe");
      ASSERT_TRUE(CopyFileA(BrovaneProgramPath().c_str(), program.c_str(), FALSE));
      library = programFolder.file("rsrc32.dll");
    }
    ASSERT_TRUE(CopyFileA(FixturePath("rsrc32_fixture.dll").c_str(), library.c_str(), FALSE));
    std::string marker = markers.file("loaded");
    SetEnvironmentVariableA("RSRC32_FIXTURE_MARKER", marker.c_str());
    SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", "64");
    std::string line = "not read";
    {
      RunningProgram running(program, current.path());
      SetEnvironmentVariableA("RSRC32_FIXTURE_MARKER", nullptr);
      SetEnvironmentVariableA("RSRC32_FIXTURE_PERCENT", nullptr);
      ASSERT_NE(nullptr, running.dialog());
      PostMessageA(running.dialog(), WM_SYSCOMMAND, IDM_ABOUT, 0);
      HWND about = running.WaitForWindow(ABOUT_CAPTION);
      ASSERT_NE(nullptr, about);
      char text[128] = "";
      GetDlgItemTextA(about, ABOUT_RESOURCES_ID, text, sizeof text);
      line = text;
    }
    EXPECT_EQ(c.loaded ? "システムリソース： 64 ％使用可能" : "", line);
    EXPECT_EQ(c.loaded, FileExists(marker));
  }
}

}  // namespace
