#include "convert/plugin_fault_guard.h"

#include "TOOLS/debug_trace.h"

// A frame of the thread's own exception-handler chain, not a vectored handler:
// the system offers a fault to the plug-in's handlers first, so a plug-in that
// probes memory and catches its own fault keeps working, and only what would
// otherwise end the process reaches this frame. It also works while a
// debugger is attached, where the last-chance filter is never called.
static_assert(sizeof(void*) == 4, "the handler chain at fs:[0] exists on 32-bit x86 only");

namespace {

struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD record;  // first: the system hands back its address
  void* resume[5];                       // __builtin_setjmp buffer
  DWORD exceptionCode;
};

// The head of the thread's handler chain lives at fs:[0].
EXCEPTION_REGISTRATION_RECORD* ReadHandlerChain() {
  EXCEPTION_REGISTRATION_RECORD* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head) : : "memory");
  return head;
}

void WriteHandlerChain(EXCEPTION_REGISTRATION_RECORD* head) {
  __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

EXCEPTION_DISPOSITION NTAPI CatchPluginFault(EXCEPTION_RECORD* record, void* establisher,
                                             CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  GuardFrame* frame = static_cast<GuardFrame*>(establisher);
  frame->exceptionCode = record->ExceptionCode;
  // Lets the plug-in's own cleanup run and takes the dispatcher's frames off
  // the chain before the stack is cut back to the guard.
  RtlUnwind(establisher, nullptr, record, nullptr);
  __builtin_longjmp(frame->resume, 1);
}

}  // namespace

bool RunGuardedPluginCall(void (*call)(void* data), void* data, DWORD* exceptionCode) {
  volatile GuardFrame frame = {};
  GuardFrame* guard = const_cast<GuardFrame*>(&frame);
  guard->record.Next = ReadHandlerChain();
  guard->record.Handler = CatchPluginFault;
  volatile bool completed = false;
  if (__builtin_setjmp(guard->resume) == 0) {
    WriteHandlerChain(&guard->record);
    call(data);
    completed = true;
  }
  WriteHandlerChain(guard->record.Next);
  *exceptionCode = completed ? 0 : guard->exceptionCode;
  if (!completed)
    DebugTrace("plug-in call ended by exception %08lX\r\n",
               static_cast<unsigned long>(guard->exceptionCode));
  return completed;
}
