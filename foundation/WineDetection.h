#pragma once
// Whether this process runs under Wine: the one test behind every fallback that only Wine needs
// and Windows never takes.

// True when ntdll exports wine_get_version.
bool RunningUnderWine();
