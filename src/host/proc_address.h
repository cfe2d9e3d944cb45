// Typed look-up of a function exported by a library loaded at run time.
#pragma once
#include <windows.h>

template <typename Function>
Function FindExport(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
