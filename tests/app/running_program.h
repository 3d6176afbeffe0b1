// brovane.exe started in its association mode as a separate process, watched
// and driven from outside as a user would: by its windows.
#pragma once
#include <windows.h>

#include <string>

class RunningProgram {
 public:
  // Starts `program` with no arguments in `currentFolder` and waits until its
  // association dialog is up.
  RunningProgram(const std::string& program, const std::string& currentFolder);
  // Cancels every dialog it shows and waits for it to end.
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  DWORD id() const { return process_.dwProcessId; }
  // The association dialog; null when it never came up.
  HWND dialog() const { return dialog_; }
  // The first visible top-level window of the process with this caption
  // (code page 932), waited for up to timeoutMs; null if none came.
  HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = 10000) const;

 private:
  PROCESS_INFORMATION process_ = {};
  HWND dialog_ = nullptr;
};
