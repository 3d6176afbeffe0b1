#include "app/startup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/wallpaper_settings.h"
#include "tests/app/wallpaper_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/trace_capture.h"

namespace {

using Lines = std::vector<std::string>;

std::string ProgramPath() { return BrovaneProgramPath(); }

// No current wallpaper while it lives, so that arguments naming no file leave
// the wallpaper mode nothing to do; the value comes back afterwards.
class NoCurrentWallpaper {
 public:
  NoCurrentWallpaper() { SetDesktopText("Wallpaper", ""); }

 private:
  SavedValue saved_{HKEY_CURRENT_USER, DESKTOP_KEY_NAME, "Wallpaper"};
};

TEST(StartupTest, TracesEveryArgumentAndEndsWithNothingToDo) {
  NoCurrentWallpaper none;
  // "/nothing" names no file, so the wallpaper mode does nothing at all.
  ChildRun run = RunUnderDebugger(ProgramPath(), "brovane \"/nothing\"  x\\\"y \"\x95\x5C\"");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(2u, run.exitCode);
  EXPECT_EQ((Lines{"argv[ 0]=brovane\r\n", "argv[ 1]=/nothing\r\n", "argv[ 2]=x\"y\r\n",
                   "argv[ 3]=\x95\x5C\r\n"}),
            run.debugLines);
}

TEST(StartupTest, TwoDigitIndexes) {
  NoCurrentWallpaper none;
  std::string line = "brovane";
  Lines expected = {"argv[ 0]=brovane\r\n"};
  for (int i = 1; i <= 11; ++i) {
    line += " -" + std::to_string(i);
    char text[32];
    snprintf(text, sizeof text, "argv[%2d]=-%d\r\n", i, i);
    expected.push_back(text);
  }
  ChildRun run = RunUnderDebugger(ProgramPath(), line);
  EXPECT_EQ(2u, run.exitCode);
  EXPECT_EQ(expected, run.debugLines);
}

TEST(StartupTest, NoBlockMeansExitCodeOneAndNoTrace) {
  TraceCapture trace;
  EXPECT_EQ(1, RunProgram(L"brovane /tile x.bmp", [](size_t) -> void* { return nullptr; }));
  EXPECT_TRUE(trace.lines().empty());
}

TEST(StartupTest, RunModeByCountAlone) {
  EXPECT_EQ(RUN_MODE_ASSOCIATION, GetRunMode(0));
  EXPECT_EQ(RUN_MODE_ASSOCIATION, GetRunMode(1));
  EXPECT_EQ(RUN_MODE_WALLPAPER, GetRunMode(2));
  EXPECT_EQ(RUN_MODE_WALLPAPER, GetRunMode(7));
}

TEST(StartupTest, InstanceMutexIsTakenOnce) {
  HANDLE first = CreateInstanceMutex();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(nullptr, CreateInstanceMutex());
  CloseHandle(first);
  HANDLE again = CreateInstanceMutex();
  EXPECT_NE(nullptr, again);
  CloseHandle(again);
}

// While another process holds the guard, the association mode shows nothing
// and ends with 0.
TEST(StartupTest, SecondAssociationInstanceEndsAtOnce) {
  HANDLE held = CreateMutexA(nullptr, TRUE, "brovane.InstallDlg");
  ASSERT_NE(nullptr, held);
  DWORD started = GetTickCount();
  ChildRun run = RunUnderDebugger(ProgramPath(), "brovane", 20000);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ((Lines{"argv[ 0]=brovane\r\n"}), run.debugLines);
  EXPECT_LT(GetTickCount() - started, 15000u);
  CloseHandle(held);
}

}  // namespace
