// Faults on a guarded worker thread end the thread, not the process.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdexcept>
#include <tuple>
#include "textures/fault_guard.h"

namespace {

struct WorkerRun {
    int faults = 0;
    bool caught = false, finished = false;
};

DWORD WINAPI Worker(void* parameter) {
    auto* run = static_cast<WorkerRun*>(parameter);
    ContainFaults([](void* context) { ++static_cast<WorkerRun*>(context)->faults; }, run);
    // An exception of the language's own is no fault: it is thrown and caught as ever.
    try {
        throw std::runtime_error("thrown");
    } catch (const std::runtime_error&) {
        run->caught = true;
    }
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    run->finished = true;
    return 0;
}

TEST(FaultGuard, AFaultEndsItsThreadAfterItsHandlerRanAndTheProcessGoesOn) {
    for (int round = 0; round < 3; ++round) {
        WorkerRun run;
        const HANDLE thread = CreateThread(nullptr, 0, Worker, &run, 0, nullptr);
        WaitForSingleObject(thread, 10000);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        EXPECT_EQ(code, FAULT_EXIT_CODE);
        EXPECT_EQ(std::tuple(run.faults, run.caught, run.finished), std::tuple(1, true, false));
    }
}

}  // namespace
