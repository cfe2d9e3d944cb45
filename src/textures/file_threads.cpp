#include "textures/file_threads.h"

#include <windows.h>
#include <atomic>
#include <memory>

namespace {

std::atomic<int> running{0};

DWORD WINAPI RunWork(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(parameter));
    (*work)();
    FileThreadEnded();
    return 0;
}

}  // namespace

bool StartFileThread(std::function<void()> work) {
    auto* handed = new std::function<void()>(std::move(work));
    ++running;
    const HANDLE thread = CreateThread(nullptr, 0, RunWork, handed, 0, nullptr);
    if (thread == nullptr) {
        --running;
        delete handed;
        return false;
    }
    // Reading and decoding wait their turn behind the show and the input that ends it.
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    CloseHandle(thread);
    return true;
}

void FileThreadEnded() {
    --running;
}

bool FileThreadsRunning() {
    return running > 0;
}
