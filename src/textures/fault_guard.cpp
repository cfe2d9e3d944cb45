#include "textures/fault_guard.h"

#include <windows.h>
#include <cstdint>
#include <memory>
#include <mutex>

namespace {

struct Guard {
    FaultHandler onFault = nullptr;
    void* context = nullptr;
};

// Each guarded thread's Guard, in a slot of the platform's own thread storage: the exception
// handler may run on any thread, one that faulted inside the heap too, so it must read it
// without allocating anything.
DWORD guardSlot = TLS_OUT_OF_INDEXES;

// Room left on the stack below the faulting code's frame before the thread is sent on.
constexpr DWORD64 STACK_MARGIN = 4096;

bool IsHardwareFault(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
            return true;
        default:
            return false;
    }
}

Guard* ThisThreadsGuard() {
    return static_cast<Guard*>(TlsGetValue(guardSlot));
}

[[noreturn]] void EndFaultedThread() {
    const std::unique_ptr<Guard> ending(ThisThreadsGuard());
    TlsSetValue(guardSlot, nullptr);
    ending->onFault(ending->context);
    ExitThread(FAULT_EXIT_CODE);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const Guard* guard = ThisThreadsGuard();
    if (guard == nullptr || !IsHardwareFault(info->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    // Resume as if the faulting code had called EndFaultedThread, on fresh stack below its own.
    CONTEXT& context = *info->ContextRecord;
    context.Rsp = ((context.Rsp - STACK_MARGIN) & ~DWORD64{15}) - 8;
    context.Rip = reinterpret_cast<DWORD64>(&EndFaultedThread);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void ContainFaults(FaultHandler onFault, void* context) {
    static std::once_flag installed;
    std::call_once(installed, [] {
        guardSlot = TlsAlloc();
        AddVectoredExceptionHandler(1, OnException);
    });
    StopContainingFaults();
    TlsSetValue(guardSlot, new Guard{onFault, context});
}

void StopContainingFaults() {
    delete ThisThreadsGuard();
    TlsSetValue(guardSlot, nullptr);
}
