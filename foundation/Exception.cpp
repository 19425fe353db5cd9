#include "foundation/Exception.h"

#include "foundation/LastError.h"
#include "foundation/NumberText.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"

#include <iomanip>
#include <sstream>

namespace my {

CException::CException(UINT id) { Set(id); }
CException::CException(UINT id, const std::wstring& a1) { Set(id, a1); }
CException::CException(UINT id, const std::wstring& a1, const std::wstring& a2) { Set(id, a1, a2); }
CException::CException(UINT id, HRESULT hr) { SetWithCode(id, hr); }
CException::CException(UINT id, HRESULT hr, const std::wstring& a1) { SetWithCode(id, hr, a1); }
CException::CException(UINT id, HRESULT hr, const std::wstring& a1, const std::wstring& a2)
{
    SetWithCode(id, hr, a1, a2);
}
CException::CException(const std::wstring& castFrom, const std::wstring& castTo, const std::wstring& value)
{
    SetCastError(castFrom, castTo, value);
}
CException::CException(const CSimpleErr& e) : CSimpleErr(e) {}

CCtrlException::CCtrlException(HWND hWnd, UINT id) : CException(id), m_hWnd(hWnd) {}
CCtrlException::CCtrlException(const CSimpleErr& e) : CException(e) {}

} // namespace my

void ThrowException(UINT id) { throw my::CException(id); }
void ThrowException(UINT id, const std::wstring& text) { throw my::CException(id, text); }
void ThrowInternalError(const std::wstring& text) { throw my::CException(IDS_INTERNAL_ERROR, text); }
void ThrowInternalCheckError(const std::wstring& name, const std::wstring& detail)
{
    throw my::CException(IDS_INTERNAL_ERROR, name + L"\n" + detail);
}
void check_consistency(const std::wstring& detail) { ThrowInternalCheckError(L"check_consistency", detail); }
void check_equals(const std::wstring& detail) { ThrowInternalCheckError(L"check_equals", detail); }
void ThrowOperationCanceled() { throw my::CException(IDS_TERMINATED_BY_USER); }
void ThrowCastError(const std::wstring& from, const std::wstring& to, const std::wstring& value)
{
    throw my::CException(from, to, value);
}
void ThrowBufferOverrun(const std::wstring& detail) { throw my::CException(IDS_BUFFER_OVERRUN, detail); }
void ThrowControlTextError(int controlId)
{
    throw my::CException(IDS_CONTROL_TEXT_ERROR, ToWString(static_cast<long>(controlId)));
}
void ThrowNoSelection() { throw my::CException(IDS_NO_SELECTION); }
void ThrowNoSelection(HWND control) { throw my::CCtrlException(control, IDS_NO_SELECTION); }
void ThrowBadNumberText(const std::wstring& text) { throw my::CException(IDS_BAD_NUMBER_TEXT, text); }
void ThrowNumberTooSmall(const std::wstring& text) { throw my::CException(IDS_NUMBER_TOO_SMALL, text); }
void ThrowNumberTooLarge(const std::wstring& text) { throw my::CException(IDS_NUMBER_TOO_LARGE, text); }
void ThrowBadData() { throw my::CException(IDS_BAD_DATA); }
void ThrowResourceDataMissing(HRESULT code, const std::wstring& type, const std::wstring& name)
{
    throw my::CException(IDS_RESOURCE_DATA_MISSING, code, type, name);
}
void ThrowResourceDataMissing(const std::wstring& type, const std::wstring& name, HRESULT code)
{
    ThrowResourceDataMissing(code, type, name);
}
void ThrowCommonDialogError(long code) { throw my::CException(IDS_COMMON_DIALOG_FAILED, ToHexWString(code)); }

void ThrowTimeToElapsedError(const SYSTEMTIME& t)
{
    std::wostringstream os;
    os << t.wYear << L'-' << t.wMonth << L'-' << t.wDay << L' ' << t.wHour << L':' << t.wMinute << L':' << t.wSecond
       << L'.' << std::setw(3) << std::setfill(L'0') << t.wMilliseconds;
    throw my::CException(IDS_TIME_TO_ELAPSED_FAILED, os.str());
}

namespace {
[[noreturn]] void ThrowWithHalves(UINT id, unsigned long long value)
{
    throw my::CException(id, ToHexWString(static_cast<unsigned int>(value >> 32)),
                         ToHexWString(static_cast<unsigned int>(value & 0xFFFFFFFFu)));
}
} // namespace

void ThrowElapsedToTimeError(unsigned long long value) { ThrowWithHalves(IDS_ELAPSED_TO_TIME_FAILED, value); }
void ThrowLocalToUtcError(unsigned long long value) { ThrowWithHalves(IDS_LOCAL_TO_UTC_FAILED, value); }
void ThrowUtcToLocalError(unsigned long long value) { ThrowWithHalves(IDS_UTC_TO_LOCAL_FAILED, value); }
void ThrowComObjectError(HRESULT code, const std::wstring& objectName)
{
    throw my::CException(IDS_COM_OBJECT_FAILED, code, objectName);
}
void ThrowIfFailed(HRESULT hr, UINT id)
{
    if (FAILED(hr)) throw my::CException(id, hr);
}

void ThrowIfFailed(HRESULT hr, UINT id, const std::wstring& arg)
{
    if (FAILED(hr)) throw my::CException(id, hr, arg);
}

void ThrowClipboardError() { throw my::CException(IDS_CLIPBOARD_OPEN_FAILED, LastErrorAsHResult()); }
void ThrowMemoryDcError(const std::wstring& text) { throw my::CException(IDS_MEMORY_DC_FAILED, text); }
void ThrowDcError(const std::wstring& text) { throw my::CException(IDS_DC_FAILED, text); }
void ThrowPrinterDcError() { throw my::CException(IDS_PRINTER_DC_FAILED); }
void ThrowPrintDocumentError() { throw my::CException(IDS_PRINT_DOC_FAILED, LastErrorAsHResult()); }
void ThrowPrintPageError() { throw my::CException(IDS_PRINT_PAGE_FAILED, LastErrorAsHResult()); }
void ThrowUnknownValue(const std::wstring& table, const std::wstring& text)
{
    throw my::CException(IDS_NAME_TABLE_UNKNOWN_VALUE, table, text);
}
void ThrowUnknownName(const std::wstring& table, const std::wstring& text)
{
    throw my::CException(IDS_NAME_TABLE_UNKNOWN_NAME, table, text);
}
void ThrowKeyAlreadyExists(const std::wstring& table, const std::wstring& key)
{
    throw my::CException(IDS_KEY_ALREADY_EXISTS, table, key);
}
void ThrowKeyNotFound(const std::wstring& table, const std::wstring& key)
{
    throw my::CException(IDS_KEY_NOT_FOUND, table, key);
}
void ThrowValueNotFound(const std::wstring& table, const std::wstring& value)
{
    throw my::CException(IDS_VALUE_NOT_FOUND, table, value);
}
void ThrowPascalStringTooLong(const std::string& text)
{
    std::wstring wide;
    if (!text.empty()) {
        int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    }
    throw my::CException(IDS_PASCAL_STRING_TOO_LONG, wide);
}
void ThrowDataTooLarge(const std::wstring& text) { throw my::CException(IDS_DATA_TOO_LARGE, text); }
void ThrowBadImageSize(unsigned long width, unsigned long height)
{
    throw my::CException(IDS_BAD_IMAGE_SIZE, ToWString(width), ToWString(height));
}
void ThrowBadImageRate(double rate) { throw my::CException(IDS_BAD_IMAGE_RATE, ToWString(rate)); }
