#include "inet/DownloadFile.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/PlatformPaths.h"
#include "ids/paths.h"

#include <atomic>
#include <cwchar>

namespace {

std::atomic<unsigned> g_serial{0};

std::wstring NextName(const std::wstring& folder)
{
    // The tick count spreads the serials of processes that reuse an id.
    const unsigned serial = g_serial++ + ::GetTickCount();
    wchar_t name[32] = {};
    _snwprintf(name, 31, L"FHD_%08lx_%08x.tmp", static_cast<unsigned long>(::GetCurrentProcessId()), serial);
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + name;
}

} // namespace

HRESULT MakeDownloadFileName(std::wstring& path)
{
    std::wstring folder;
    const HRESULT hr = GetTempFolderPathHr(folder);
    if (FAILED(hr)) return hr;
    path = NextName(folder);
    return hr;
}

void MakeDownloadFileNameOrThrow(std::wstring& path)
{
    const HRESULT hr = MakeDownloadFileName(path);
    if (FAILED(hr)) throw my::CException(IDS_TEMP_PATH_FAILED, hr);
}

HRESULT CreateDownloadFile(const std::wstring& folder, std::wstring& path, CUniqueKernelHandle& file)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring candidate = NextName(folder);
        file.Reset(
            ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            path = std::move(candidate);
            return S_OK;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            path = std::move(candidate);
            return FailureFromWin32(error);
        }
    }
    return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
}
