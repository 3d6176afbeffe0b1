// Runs a program as a debugger would: every line it writes to the debugger
// output is collected, and its exit code is kept.
#pragma once
#include <string>
#include <vector>

struct ChildRun {
  bool started = false;
  unsigned long exitCode = 0;
  std::vector<std::string> debugLines;
};

// commandLine is passed to the child exactly as given.
ChildRun RunUnderDebugger(const std::string& application, const std::string& commandLine,
                          unsigned long timeoutMs = 30000);
// Starts a program and waits for it, without debugging it.
ChildRun RunAndWait(const std::string& application, const std::string& commandLine,
                    unsigned long timeoutMs = 30000);
// The same, started with a wide command line as Explorer starts programs.
ChildRun RunUnderDebuggerWide(const std::wstring& application, const std::wstring& commandLine,
                              unsigned long timeoutMs = 30000);
ChildRun RunAndWaitWide(const std::wstring& application, const std::wstring& commandLine,
                        unsigned long timeoutMs = 30000);

// The folder of the running test program, without a trailing backslash.
std::string TestProgramFolder();

// The built program, brovane.exe.
std::string BrovaneProgramPath();
