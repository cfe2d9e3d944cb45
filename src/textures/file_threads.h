// Threads that read the user's files, so that the thread that draws the show never waits on a
// file. Each runs on its own, holding what it shares, so that it can be let go at any time; the
// process counts them, because it must not wait for one at its end.
#pragma once
#include <functional>

// Runs `work` on a new thread; false when no thread can be started.
bool StartFileThread(std::function<void()> work);
// For a thread that ends without returning from its work (a contained fault): counts it ended.
void FileThreadEnded();
// Whether a file thread is still running.
bool FileThreadsRunning();
