#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "TOOLS/debug_trace.h"
#include "TOOLS/dll_search.h"
#include "TOOLS/wide_text.h"
#include "app/wallpaper_command.h"
#include "association/association_dialog.h"

const char INSTANCE_MUTEX_NAME[] = "brovane.InstallDlg";

RunMode GetRunMode(int argc) { return argc < 2 ? RUN_MODE_ASSOCIATION : RUN_MODE_WALLPAPER; }

HANDLE CreateInstanceMutex() {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, INSTANCE_MUTEX_NAME);
  if (!mutex) return nullptr;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return mutex;
}

int RunCommand(int argc, wchar_t** argv) {
  if (GetRunMode(argc) == RUN_MODE_ASSOCIATION) {
    // Closing the handle, never ReleaseMutex, is what frees the name for the
    // next dialog.
    if (HANDLE mutex = CreateInstanceMutex()) {
      ShowAssociationDialog();
      CloseHandle(mutex);
    }
    return 0;
  }
  return RunWallpaperCommand(argc, argv);
}

int RunProgram(const wchar_t* commandLine, BlockAllocator allocate) {
  // Before anything is loaded by name: a library planted in whatever folder
  // the program was started from must never be found.
  ExcludeCurrentFolderFromDllSearch();
  int argc = 0;
  wchar_t** argv = SplitCommandLineWith(commandLine, &argc, allocate);
  if (!argv) return 1;
  // The trace speaks the code page; a character it lacks shows as "?".
  for (int i = 0; i < argc; ++i)
    DebugTrace("argv[%2d]=%s\r\n", i, ConvertToAnsiLossy(argv[i]).c_str());
  InitCommonControls();
  CoInitialize(nullptr);
  int result = RunCommand(argc, argv);
  CoUninitialize();
  FreeCommandLine(argv);
  return result;
}
