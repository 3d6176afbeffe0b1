#include "tests/app/running_program.h"

#include <vector>

namespace {

const char DIALOG_CLASS[] = "#32770";

struct WindowSearch {
  DWORD processId;
  const std::string* caption;  // null: any dialog of the process
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM parameter) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char text[256] = "";
  if (search->caption) {
    GetWindowTextA(window, text, sizeof text);
    if (*search->caption != text) return TRUE;
  } else {
    GetClassNameA(window, text, sizeof text);
    if (std::string(DIALOG_CLASS) != text) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND WaitForProcessWindow(DWORD processId, const std::string* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    WindowSearch search = {processId, caption, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& program, const std::string& currentFolder) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> line(program.begin(), program.end());
  line.insert(line.begin(), '"');
  line.push_back('"');
  line.push_back(0);
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.c_str(), &startup, &process_))
    return;
  dialog_ = WaitForProcessWindow(process_.dwProcessId, nullptr, 20000);
}

HWND RunningProgram::WaitForWindow(const std::string& caption, DWORD timeoutMs) const {
  return WaitForProcessWindow(process_.dwProcessId, &caption, timeoutMs);
}

RunningProgram::~RunningProgram() {
  if (!process_.hProcess) return;
  // The About box first, then the association dialog: each Cancel ends one.
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) break;
    if (HWND window = WaitForProcessWindow(process_.dwProcessId, nullptr, 0))
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    WaitForSingleObject(process_.hProcess, 500);
  }
  if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
    TerminateProcess(process_.hProcess, 259);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}
