// Paths stored relative to the folder of the file that holds them.
#include "foundation/XmlDocument.h"

#include "foundation/PathHelpers.h"

#include <shlwapi.h>

bool CXmlDocument::WritePath(IXMLDOMNode* parent, const std::wstring& name, const std::wstring& path,
                             const std::wstring& baseFile)
{
    std::wstring folder = baseFile;
    std::wstring fileName;
    std::wstring text = path;
    if (SplitFileName(folder, fileName) && !folder.empty()) {
        std::wstring rest;
        // The folder itself would leave an empty text, which reads back as empty: keep it whole.
        if (RemovePathPrefix(rest, path, folder) && !rest.empty()) text.swap(rest);
    }
    return WriteText(parent, name, text);
}

bool CXmlDocument::ReadPath(IXMLDOMNode* node, const std::wstring& xpath, const std::wstring& baseFile,
                            std::wstring& path)
{
    std::wstring text;
    if (!ReadText(node, xpath, text)) return false;
    if (!text.empty() && ::PathIsRelativeW(text.c_str())) {
        std::wstring folder = baseFile;
        RemoveFileSpec(folder);
        if (!folder.empty()) text = CombinePath(folder, text);
    }
    path.swap(text);
    return true;
}
