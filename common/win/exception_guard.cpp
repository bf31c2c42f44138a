#include "exception_guard.h"

#include <windows.h>

#ifndef ERROR_UNHANDLED_EXCEPTION
#define ERROR_UNHANDLED_EXCEPTION 574L
#endif
#ifndef EXCEPTION_UNWINDING
#define EXCEPTION_UNWINDING 0x2
#endif
#ifndef EXCEPTION_EXIT_UNWIND
#define EXCEPTION_EXIT_UNWIND 0x4
#endif

namespace vex {
namespace {

constexpr DWORD kUnwindFlags = EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND;

__attribute__((noinline)) bool runCatchingCpp(void (*work)(void*), void* argument) {
  try {
    work(argument);
    return true;
  } catch (...) {
    return false;
  }
}

struct Work {
  void (*work)(void*);
  void* argument;
  bool ok;
};

void runWork(void* p) {
  auto* w = static_cast<Work*>(p);
  w->ok = runCatchingCpp(w->work, w->argument);
}

}  // namespace
}  // namespace vex

#if defined(__i386__)

// On x86 the handler chain is a list of registrations on the stack, its head at fs:0. The guard
// links its own registration around the work; its handler is reached only by exceptions that no
// inner frame handled, of any code. It lets the system unwind the inner frames, unlinks itself
// and resumes at the guard's resume point.
namespace vex {
namespace {

struct GuardRegistration {
  GuardRegistration* next;  // the registration layout the system walks: next, handler
  void* handler;
  void* resume[5];  // the builtin setjmp buffer
};

GuardRegistration* chainHead() {
  GuardRegistration* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void setChainHead(GuardRegistration* head) {
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

// Unwinds the frames inside `frame` (their handlers are called to unwind). The system's unwind
// does not keep ebx, esi and edi on every version: they are saved around it.
__attribute__((noinline)) void unwindInside(GuardRegistration* frame, EXCEPTION_RECORD* record) {
  asm volatile(
      "pushl %%ebx\n\t"
      "pushl %%esi\n\t"
      "pushl %%edi\n\t"
      "pushl %%ebp\n\t"
      "pushl $0\n\t"
      "pushl %1\n\t"
      "pushl $0\n\t"
      "pushl %0\n\t"
      "call *__imp__RtlUnwind@16\n\t"
      "popl %%ebp\n\t"
      "popl %%edi\n\t"
      "popl %%esi\n\t"
      "popl %%ebx"
      :
      : "r"(frame), "r"(record)
      : "eax", "ecx", "edx", "memory", "cc");
}

extern "C" EXCEPTION_DISPOSITION __cdecl vexGuardHandler(EXCEPTION_RECORD* record,
                                                         void* establisher, CONTEXT*, void*) {
  if (record->ExceptionFlags & kUnwindFlags) return ExceptionContinueSearch;
  auto* frame = static_cast<GuardRegistration*>(establisher);
  unwindInside(frame, record);
  setChainHead(frame->next);
  __builtin_longjmp(frame->resume, 1);
}

}  // namespace

__attribute__((noinline)) bool runGuarded(void (*work)(void*), void* argument) {
  Work w{work, argument, false};
  GuardRegistration frame;
  frame.handler = reinterpret_cast<void*>(&vexGuardHandler);
  frame.next = chainHead();
  GuardRegistration* volatile self = &frame;
  if (__builtin_setjmp(frame.resume) != 0) {
    // Back from an exception: the handler has unlinked the registration.
    SetLastError(ERROR_UNHANDLED_EXCEPTION);
    return false;
  }
  setChainHead(&frame);
  runWork(&w);
  setChainHead(self->next);
  if (!w.ok) SetLastError(ERROR_UNHANDLED_EXCEPTION);
  return w.ok;
}

}  // namespace vex

#elif defined(__x86_64__)

// On x64 handlers are found through the unwind tables. A small function of our own carries the
// guard's handler in its unwind information; the handler unwinds the stack to that function's
// resume point, where it returns 0 instead of 1.
extern "C" int vexGuardedCall(void (*work)(void*), void* argument);
extern "C" char vexGuardResume[];

asm(".text\n"
    ".globl vexGuardedCall\n"
    ".def vexGuardedCall; .scl 2; .type 32; .endef\n"
    ".seh_proc vexGuardedCall\n"
    "vexGuardedCall:\n"
    "  subq $40, %rsp\n"
    "  .seh_stackalloc 40\n"
    "  .seh_handler vexGuardHandler, @except\n"
    "  .seh_endprologue\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  call *%rax\n"
    "  movl $1, %eax\n"
    ".globl vexGuardResume\n"
    "vexGuardResume:\n"
    "  nop\n"
    "  addq $40, %rsp\n"
    "  ret\n"
    ".seh_endproc\n");

extern "C" EXCEPTION_DISPOSITION vexGuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                                 CONTEXT* context, DISPATCHER_CONTEXT* dispatch) {
  if (record->ExceptionFlags & vex::kUnwindFlags) return ExceptionContinueSearch;
  RtlUnwindEx(establisher, vexGuardResume, record, nullptr, context, dispatch->HistoryTable);
  return ExceptionContinueSearch;  // not reached
}

namespace vex {

bool runGuarded(void (*work)(void*), void* argument) {
  Work w{work, argument, false};
  const bool completed = vexGuardedCall(&runWork, &w) != 0;
  if (!completed || !w.ok) {
    SetLastError(ERROR_UNHANDLED_EXCEPTION);
    return false;
  }
  return true;
}

}  // namespace vex

#else
#error "the exception guard knows the handler chains of x86 and x64 only"
#endif
