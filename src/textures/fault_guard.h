// Faults inside code a worker thread calls into (the platform's picture codecs) that would end
// the whole process end only that thread. What cannot be contained this way: a stack overflow,
// a corrupt heap the platform itself ends the process for, and whatever the faulting code left
// half done (its memory and locks are abandoned with the thread).
#pragma once

// The exit code of a thread that a contained fault ended.
constexpr unsigned long FAULT_EXIT_CODE = 0xFA017;

using FaultHandler = void (*)(void* context);

// From now until StopContainingFaults, a fault on the calling thread runs `onFault(context)` on
// it and then ends it, instead of ending the process.
void ContainFaults(FaultHandler onFault, void* context);
void StopContainingFaults();
