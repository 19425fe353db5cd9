#pragma once
// Routes window messages to C++ objects through a map keyed by HWND (no code thunks).
#include <windows.h>

namespace ATL::detail {

void* FindWindowObject(HWND hWnd) noexcept;
void RegisterWindowObject(HWND hWnd, void* object);
void UnregisterWindowObject(HWND hWnd) noexcept;

// The object whose window this thread is creating; bound on the window's first message.
void SetCreatingObject(void* object) noexcept;
void* TakeCreatingObject() noexcept;

} // namespace ATL::detail
