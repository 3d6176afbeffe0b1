// Collects this process's debugger-output lines while it lives. Under Wine,
// as on Windows, OutputDebugStringA raises DBG_PRINTEXCEPTION_C; a vectored
// handler sees the text and lets the program go on.
#pragma once
#include <string>
#include <vector>

class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }
  void clear() { lines_.clear(); }

 private:
  void* handler_;
  std::vector<std::string> lines_;
};
