#include "textures/fault_guard.h"

#include <windows.h>
#include <cstdint>
#include <mutex>

namespace {

struct Guard {
    FaultHandler onFault = nullptr;
    void* context = nullptr;
};

thread_local Guard guard;

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

[[noreturn]] void EndFaultedThread() {
    const Guard ending = guard;
    guard = {};
    ending.onFault(ending.context);
    ExitThread(FAULT_EXIT_CODE);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    if (guard.onFault == nullptr || !IsHardwareFault(info->ExceptionRecord->ExceptionCode))
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
    std::call_once(installed, [] { AddVectoredExceptionHandler(1, OnException); });
    guard = {onFault, context};
}

void StopContainingFaults() {
    guard = {};
}
