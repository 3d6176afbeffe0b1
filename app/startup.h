// Process start-up: split the command line, trace the arguments, choose and
// run one of the two modes.
#pragma once
#include <windows.h>

#include "app/command_line.h"

enum RunMode { RUN_MODE_WALLPAPER = 1, RUN_MODE_ASSOCIATION = 2 };

extern const char INSTANCE_MUTEX_NAME[];  // "brovane.InstallDlg"

// WinMain's whole work on the given line, as the system keeps it (wide, so
// that no character of a file name is lost); the exit code.
int RunProgram(const wchar_t* commandLine, BlockAllocator allocate);
int RunCommand(int argc, wchar_t** argv);
RunMode GetRunMode(int argc);
// The new, owned mutex; null when it exists already or cannot be made.
HANDLE CreateInstanceMutex();
