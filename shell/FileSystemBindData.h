#pragma once
// A bind context that carries find data, so that the shell parses a path whose item need not exist.
#include <ComObject.h>

#include <objidl.h>

#include <shobjidl.h>
#include <windows.h>

#include <string>

class CFileSystemBindDataObj : public ATL::CComObjectRootEx<ATL::CComSingleThreadModel>, public IFileSystemBindData {
public:
    BEGIN_COM_MAP(CFileSystemBindDataObj)
        COM_INTERFACE_ENTRY(IFileSystemBindData)
    END_COM_MAP()

    STDMETHOD(SetFindData)(const WIN32_FIND_DATAW* data) override;
    STDMETHOD(GetFindData)(WIN32_FIND_DATAW* data) override;

private:
    WIN32_FIND_DATAW m_findData = {};
};

// Without `data`, the find data names the path (cut to MAX_PATH characters) stamped with the
// current time. `out` is set only on success.
HRESULT CreateFileSystemBindCtx(const std::wstring& path, const WIN32_FIND_DATAW* data, IBindCtx** out);
