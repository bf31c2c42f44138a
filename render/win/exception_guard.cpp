#include "exception_guard.h"

#include <windows.h>

#ifndef ERROR_UNHANDLED_EXCEPTION
#define ERROR_UNHANDLED_EXCEPTION 574L
#endif

namespace vex {
namespace {

// One frame per active guard on the thread. The resume point is kept with the builtin
// setjmp, which restores registers only and does not unwind through foreign frames.
struct GuardFrame {
  void* resume[5];
  GuardFrame* outer;
#if defined(__i386__)
  void* sehChain;  // the thread's frame-based handler chain when the guard began
#endif
};

// The innermost guard of each thread, in a thread-local slot that never allocates when read
// (the exception handler reads it for faults of every thread).
DWORD g_guardSlot = TLS_OUT_OF_INDEXES;

GuardFrame* activeGuard() {
  const DWORD slot = g_guardSlot;
  return slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<GuardFrame*>(TlsGetValue(slot));
}

void setActiveGuard(GuardFrame* frame) { TlsSetValue(g_guardSlot, frame); }

bool ensureGuardSlot() {
  static const DWORD slot = TlsAlloc();
  g_guardSlot = slot;
  return slot != TLS_OUT_OF_INDEXES;
}

bool isProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
      return true;
    default:
      return false;
  }
}

[[noreturn]] __attribute__((noinline)) void resumeAfterFault() {
  __builtin_longjmp(activeGuard()->resume, 1);
}

// Called first for every exception of the process while a guard is registered. Faults on a
// guarded thread are redirected: execution continues in resumeAfterFault on the faulting stack,
// which then returns to the guard. Everything else goes on to the usual handlers.
LONG CALLBACK onException(EXCEPTION_POINTERS* info) {
  if (activeGuard() == nullptr || !isProcessorFault(info->ExceptionRecord->ExceptionCode)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  CONTEXT* context = info->ContextRecord;
#if defined(__x86_64__)
  context->Rsp = (context->Rsp & ~static_cast<DWORD64>(15)) - 8 - 64;
  context->Rip = reinterpret_cast<DWORD64>(&resumeAfterFault);
#else
  context->Esp = (context->Esp & ~static_cast<DWORD>(15)) - 64;
  context->Eip = reinterpret_cast<DWORD>(&resumeAfterFault);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

class HandlerRegistration {
 public:
  HandlerRegistration() : handle_(AddVectoredExceptionHandler(1, onException)) {}
  ~HandlerRegistration() {
    if (handle_ != nullptr) RemoveVectoredExceptionHandler(handle_);
  }
  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;

 private:
  void* handle_;
};

__attribute__((noinline)) bool runCatchingCpp(void (*work)(void*), void* argument) {
  try {
    work(argument);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

void releaseGuardSlot() {
  if (g_guardSlot != TLS_OUT_OF_INDEXES) TlsFree(g_guardSlot);
  g_guardSlot = TLS_OUT_OF_INDEXES;
}

__attribute__((noinline)) bool runGuarded(void (*work)(void*), void* argument) {
  if (!ensureGuardSlot()) return runCatchingCpp(work, argument);
  HandlerRegistration registration;
  GuardFrame frame;
  frame.outer = activeGuard();
#if defined(__i386__)
  asm volatile("movl %%fs:0, %0" : "=r"(frame.sehChain));
#endif
  GuardFrame* volatile self = &frame;
  if (__builtin_setjmp(frame.resume) != 0) {
    // Back from a fault: frames between here and the fault are abandoned.
#if defined(__i386__)
    void* chain = self->sehChain;
    asm volatile("movl %0, %%fs:0" : : "r"(chain) : "memory");
#endif
    setActiveGuard(self->outer);
    SetLastError(ERROR_UNHANDLED_EXCEPTION);
    return false;
  }
  setActiveGuard(&frame);
  const bool ok = runCatchingCpp(work, argument);
  setActiveGuard(frame.outer);
  if (!ok) SetLastError(ERROR_UNHANDLED_EXCEPTION);
  return ok;
}

}  // namespace vex
