#pragma once
// The exceptions every failure is thrown as, and one throw helper per recurring message.
#include "foundation/SimpleErr.h"

#include <windows.h>

#include <exception>
#include <string>

namespace my {

class CException : public CSimpleErr, public std::exception {
public:
    explicit CException(UINT id = 0);
    CException(UINT id, const std::wstring& a1);
    CException(UINT id, const std::wstring& a1, const std::wstring& a2);
    CException(UINT id, HRESULT hr);
    CException(UINT id, HRESULT hr, const std::wstring& a1);
    CException(UINT id, HRESULT hr, const std::wstring& a1, const std::wstring& a2);
    CException(const std::wstring& castFrom, const std::wstring& castTo, const std::wstring& value);
    CException(const CSimpleErr& e);
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;

    // The message lives in the error record; what() carries no text of its own.
    const char* what() const noexcept override { return "Unknown exception"; }
};

class CCtrlException : public CException {
public:
    CCtrlException(HWND hWnd, UINT id);
    CCtrlException(const CSimpleErr& e);
    CCtrlException(const CCtrlException&) = default;
    CCtrlException& operator=(const CCtrlException&) = default;

    HWND GetHwnd() const { return m_hWnd; }

    HWND m_hWnd = nullptr;
};

} // namespace my

// Throws `id` with the code when `hr` is a failure; success codes pass.
void ThrowIfFailed(HRESULT hr, UINT id);
void ThrowIfFailed(HRESULT hr, UINT id, const std::wstring& arg);

[[noreturn]] void ThrowException(UINT id);
[[noreturn]] void ThrowException(UINT id, const std::wstring& text);
[[noreturn]] void ThrowInternalError(const std::wstring& text);
[[noreturn]] void ThrowInternalCheckError(const std::wstring& name, const std::wstring& detail);
[[noreturn]] void check_consistency(const std::wstring& detail);
[[noreturn]] void check_equals(const std::wstring& detail);
[[noreturn]] void ThrowOperationCanceled();
[[noreturn]] void ThrowCastError(const std::wstring& from, const std::wstring& to, const std::wstring& value);
[[noreturn]] void ThrowBufferOverrun(const std::wstring& detail);
[[noreturn]] void ThrowControlTextError(int controlId);
[[noreturn]] void ThrowNoSelection();
[[noreturn]] void ThrowNoSelection(HWND control);
[[noreturn]] void ThrowBadNumberText(const std::wstring& text);
[[noreturn]] void ThrowNumberTooSmall(const std::wstring& text);
[[noreturn]] void ThrowNumberTooLarge(const std::wstring& text);
[[noreturn]] void ThrowBadData();
[[noreturn]] void ThrowResourceDataMissing(HRESULT code, const std::wstring& type, const std::wstring& name);
[[noreturn]] void ThrowResourceDataMissing(const std::wstring& type, const std::wstring& name, HRESULT code);
[[noreturn]] void ThrowCommonDialogError(long code);
[[noreturn]] void ThrowTimeToElapsedError(const SYSTEMTIME& time);
[[noreturn]] void ThrowElapsedToTimeError(unsigned long long value);
[[noreturn]] void ThrowLocalToUtcError(unsigned long long value);
[[noreturn]] void ThrowUtcToLocalError(unsigned long long value);
[[noreturn]] void ThrowComObjectError(HRESULT code, const std::wstring& objectName);
[[noreturn]] void ThrowClipboardError();
[[noreturn]] void ThrowMemoryDcError(const std::wstring& text);
[[noreturn]] void ThrowDcError(const std::wstring& text);
[[noreturn]] void ThrowPrinterDcError();
[[noreturn]] void ThrowPrintDocumentError();
[[noreturn]] void ThrowPrintPageError();
[[noreturn]] void ThrowUnknownValue(const std::wstring& table, const std::wstring& text);
[[noreturn]] void ThrowUnknownName(const std::wstring& table, const std::wstring& text);
[[noreturn]] void ThrowKeyAlreadyExists(const std::wstring& table, const std::wstring& key);
[[noreturn]] void ThrowKeyNotFound(const std::wstring& table, const std::wstring& key);
[[noreturn]] void ThrowValueNotFound(const std::wstring& table, const std::wstring& value);
[[noreturn]] void ThrowPascalStringTooLong(const std::string& text);
[[noreturn]] void ThrowDataTooLarge(const std::wstring& text);
[[noreturn]] void ThrowBadImageSize(unsigned long width, unsigned long height);
[[noreturn]] void ThrowBadImageRate(double rate);
