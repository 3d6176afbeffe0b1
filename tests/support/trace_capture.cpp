#include "tests/support/trace_capture.h"

#include <windows.h>

namespace {

const DWORD PRINT_EXCEPTION = 0x40010006;  // DBG_PRINTEXCEPTION_C
std::vector<std::string>* activeLines = nullptr;

LONG CALLBACK CatchDebugString(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode != PRINT_EXCEPTION || !activeLines) return EXCEPTION_CONTINUE_SEARCH;
  if (record->NumberParameters >= 2) {
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    activeLines->push_back(text ? text : "");
  }
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

TraceCapture::TraceCapture() {
  activeLines = &lines_;
  handler_ = AddVectoredExceptionHandler(1, CatchDebugString);
}

TraceCapture::~TraceCapture() {
  RemoveVectoredExceptionHandler(handler_);
  activeLines = nullptr;
}
