#pragma once
// Whether the process runs under Wine: only there do the library's fallbacks for Wine's gaps run.

// True when ntdll exports wine_get_version; asked once.
bool RunningUnderWine();
