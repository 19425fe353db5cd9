#include "shell/FileSystemBindData.h"

#include "foundation/LastError.h"

#include <ComPtr.h>

STDMETHODIMP CFileSystemBindDataObj::SetFindData(const WIN32_FIND_DATAW* data)
{
    if (!data) return E_POINTER;
    m_findData = *data;
    return S_OK;
}

STDMETHODIMP CFileSystemBindDataObj::GetFindData(WIN32_FIND_DATAW* data)
{
    if (!data) return E_POINTER;
    *data = m_findData;
    return S_OK;
}

HRESULT CreateFileSystemBindCtx(const std::wstring& path, const WIN32_FIND_DATAW* data, IBindCtx** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    WIN32_FIND_DATAW made = {};
    if (!data) {
        ::lstrcpynW(made.cFileName, path.c_str(), MAX_PATH);
        SYSTEMTIME now = {};
        ::GetSystemTime(&now);
        ::SystemTimeToFileTime(&now, &made.ftCreationTime);
        made.ftLastAccessTime = made.ftLastWriteTime = made.ftCreationTime;
        data = &made;
    }
    ATL::CComObject<CFileSystemBindDataObj>* object = nullptr;
    HRESULT hr = ATL::CComObject<CFileSystemBindDataObj>::CreateInstance(&object);
    if (FAILED(hr) || !object) return FailureOrFail(hr);
    ATL::CComPtr<IFileSystemBindData> bindData(object);
    hr = bindData->SetFindData(data);
    if (FAILED(hr)) return hr;
    ATL::CComPtr<IBindCtx> context;
    hr = ::CreateBindCtx(0, &context);
    if (FAILED(hr)) return hr;
    hr = context->RegisterObjectParam(const_cast<LPOLESTR>(STR_FILE_SYS_BIND_DATA), bindData);
    if (FAILED(hr)) return hr;
    *out = context.Detach();
    return S_OK;
}
