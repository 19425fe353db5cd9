#pragma once
// The module handles the window templates need, set by the application module object.
#include <windows.h>

namespace ATL {

HINSTANCE GetModuleInstanceHandle() noexcept;
HINSTANCE GetResourceInstanceHandle() noexcept;

} // namespace ATL
