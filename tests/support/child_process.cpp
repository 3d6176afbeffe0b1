#include "tests/support/child_process.h"

#include <windows.h>

#include <vector>

namespace {

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  std::vector<char> text(info.nDebugStringLength + 1, 0);
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), info.nDebugStringLength, &read);
  return std::string(text.data());
}

void CloseEventHandles(const DEBUG_EVENT& event) {
  if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile)
    CloseHandle(event.u.CreateProcessInfo.hFile);
  if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile)
    CloseHandle(event.u.LoadDll.hFile);
}

// Explorer starts programs with the wide call; a code-page line is the same
// line widened.
bool StartProcess(const std::wstring& application, const std::wstring& commandLine, DWORD flags,
                  PROCESS_INFORMATION* process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  return CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, process) != FALSE;
}

std::wstring Widen(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(size > 0 ? size : 1, 0);
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  return wide.data();
}

}  // namespace

ChildRun RunUnderDebugger(const std::string& application, const std::string& commandLine,
                          unsigned long timeoutMs) {
  return RunUnderDebuggerWide(Widen(application), Widen(commandLine), timeoutMs);
}

ChildRun RunUnderDebuggerWide(const std::wstring& application, const std::wstring& commandLine,
                              unsigned long timeoutMs) {
  ChildRun run;
  PROCESS_INFORMATION process = {};
  if (!StartProcess(application, commandLine, DEBUG_ONLY_THIS_PROCESS, &process)) return run;
  run.started = true;
  DWORD deadline = GetTickCount() + timeoutMs;
  for (;;) {
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 1000)) {
      if (GetTickCount() > deadline) {
        TerminateProcess(process.hProcess, 259);
        deadline = GetTickCount() + timeoutMs;
      }
      continue;
    }
    DWORD status = DBG_CONTINUE;
    if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT && !event.u.DebugString.fUnicode)
      run.debugLines.push_back(ReadDebugString(process.hProcess, event.u.DebugString));
    // The program's own handlers see its exceptions; only the loader's
    // breakpoint is ours.
    if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
        event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
      status = DBG_EXCEPTION_NOT_HANDLED;
    CloseEventHandles(event);
    bool finished = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
    if (finished) run.exitCode = event.u.ExitProcess.dwExitCode;
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    if (finished) break;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

ChildRun RunAndWait(const std::string& application, const std::string& commandLine,
                    unsigned long timeoutMs) {
  return RunAndWaitWide(Widen(application), Widen(commandLine), timeoutMs);
}

ChildRun RunAndWaitWide(const std::wstring& application, const std::wstring& commandLine,
                        unsigned long timeoutMs) {
  ChildRun run;
  PROCESS_INFORMATION process = {};
  if (!StartProcess(application, commandLine, 0, &process)) return run;
  run.started = true;
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 259);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  run.exitCode = code;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

std::string TestProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string BrovaneProgramPath() { return BROVANE_EXE; }
