/* Preloaded into Wine's processes where 32-bit code runs under qemu's
 * user-mode emulator. The emulator hands a signal handler a context whose
 * trap number is -1, while the error code and the faulting address are
 * right. Wine decides from the trap number what a fault was: with -1 every
 * access violation becomes an illegal instruction, and guard-page faults
 * (stack growth, stack overflow) are never recognised. This library wraps the
 * handlers Wine installs and fills in the trap number the kernel would have
 * given, before Wine's handler sees the context. A context that already
 * carries a trap number is passed on untouched, so on a kernel that runs the
 * code natively the library changes nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

#if defined(__i386__)
#define TRAP_REGISTER REG_TRAPNO
#elif defined(__x86_64__)
#define TRAP_REGISTER REG_TRAPNO
#endif

enum {
  TRAP_DIVIDE = 0,
  TRAP_SINGLE_STEP = 1,
  TRAP_BREAKPOINT = 3,
  TRAP_OVERFLOW = 4,
  TRAP_INVALID_OPCODE = 6,
  TRAP_PROTECTION = 13,
  TRAP_PAGE_FAULT = 14,
  TRAP_FLOATING_POINT = 16,
  TRAP_ALIGNMENT = 17,
};

typedef void (*Handler)(int, siginfo_t*, void*);
typedef int (*SigactionFunction)(int, const struct sigaction*, struct sigaction*);

static Handler wrapped[NSIG];

static int TrapFor(int signal, const siginfo_t* info) {
  switch (signal) {
    case SIGSEGV:
      return info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR ? TRAP_PAGE_FAULT
                                                                          : TRAP_PROTECTION;
    case SIGBUS:
      return info->si_code == BUS_ADRALN ? TRAP_ALIGNMENT : TRAP_PROTECTION;
    case SIGFPE:
      if (info->si_code == FPE_INTDIV) return TRAP_DIVIDE;
      if (info->si_code == FPE_INTOVF) return TRAP_OVERFLOW;
      return TRAP_FLOATING_POINT;
    case SIGILL:
      return TRAP_INVALID_OPCODE;
    case SIGTRAP:
      return info->si_code == TRAP_TRACE ? TRAP_SINGLE_STEP : TRAP_BREAKPOINT;
  }
  return -1;
}

/* Runs before Wine has set up its own thread state: no library calls, no
 * thread-local data, nothing but the context and the saved handler. */
__attribute__((optimize("no-stack-protector"))) static void FillTrapNumber(int signal,
                                                                         siginfo_t* info,
                                                                         void* context) {
  ucontext_t* uc = (ucontext_t*)context;
  if (uc && uc->uc_mcontext.gregs[TRAP_REGISTER] == -1)
    uc->uc_mcontext.gregs[TRAP_REGISTER] = TrapFor(signal, info);
  wrapped[signal](signal, info, context);
}

static int IsFaultSignal(int signal) {
  return signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL ||
         signal == SIGTRAP;
}

int sigaction(int signal, const struct sigaction* action, struct sigaction* old) {
  static SigactionFunction next;
  if (!next) next = (SigactionFunction)dlsym(RTLD_NEXT, "sigaction");
  if (signal <= 0 || signal >= NSIG || !IsFaultSignal(signal)) return next(signal, action, old);
  Handler previous = wrapped[signal];
  struct sigaction copy;
  const struct sigaction* installed = action;
  if (action && (action->sa_flags & SA_SIGINFO) && action->sa_sigaction != FillTrapNumber) {
    copy = *action;
    copy.sa_sigaction = FillTrapNumber;
    installed = &copy;
  }
  int result = next(signal, installed, old);
  if (result == 0 && installed == &copy) wrapped[signal] = action->sa_sigaction;
  if (result == 0 && old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == FillTrapNumber)
    old->sa_sigaction = previous;
  return result;
}
