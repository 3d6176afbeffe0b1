#include <windows.h>

#include <cstdlib>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunProgram(GetCommandLineW(), std::malloc);
}
