// GDI objects released when the function that acquired them returns.
#pragma once
#include <windows.h>
#include <memory>
#include <type_traits>

struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap>;

struct DeleteMemoryDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDC>;
