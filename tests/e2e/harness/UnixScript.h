#pragma once
// A shell script run on the Linux side of Wine, for what no Windows call can do (making a folder
// immutable, copying with cp).
#include <windows.h>

#include <string>

// Runs `script` with /bin/sh and waits up to `ms` for it to end; false when it could not start or
// did not end in time. Wine starts a Linux program given by its path but hands back no process to
// wait for: the script leaves the file `marker` (a Windows path) when it is done.
bool RunUnixScript(const std::wstring& script, const std::wstring& marker, DWORD ms);

// The Linux path of a Windows path, as a wide string for a script; empty when there is none.
std::wstring UnixPathOf(const std::wstring& path);
