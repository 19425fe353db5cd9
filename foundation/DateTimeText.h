#pragma once
// Times written as text: the system locale's calendar with fixed pictures, and the numbers of a
// FILETIME.
#include "foundation/SystemTimeEx.h"

#include <windows.h>

#include <ostream>
#include <string>

// An empty picture means "yyyy/MM/dd"; failure leaves `out` empty.
void FormatDate(const SYSTEMTIME& st, std::wstring& out, const std::wstring& picture);
// An empty picture means "H:mm:ss"; failure leaves `out` empty.
void FormatTime(const SYSTEMTIME& st, std::wstring& out, const std::wstring& picture);

void WriteDate(const SYSTEMTIME& st, std::wostream& os);
void FormatDateTime(const SystemTimeEx& st, std::wostream& os);
void WriteFileTimeNumbers(std::wostream& os, const FILETIME& ft);

std::wstring FileTimeToLocalText(const FILETIME& ft);
std::wstring FileTimeToText(const FILETIME& ft);
