#include "foundation/VersionResource.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/NarrowCast.h"
#include "foundation/ResString.h"
#include "foundation/TextHelpers.h"
#include "ids/appinfo.h"

#include <boost/regex.hpp>

#include <cwchar>

namespace {

const wchar_t kTranslation[] = L"\\VarFileInfo\\Translation";

std::wstring Hex4(WORD value)
{
    wchar_t text[8] = {};
    _snwprintf(text, 8, L"%04x", static_cast<unsigned>(value));
    return text;
}

// One piece of the product version: blanks around it are allowed, a sign "+" and a fraction are not
// part of the value. Pieces whose value does not fit 32 bits are invalid rather than wrapped.
bool ReadVersionPiece(const std::wstring& piece, DWORD& value)
{
    static const boost::wregex pattern(L"^(\\+?[0-9]+)(?:\\.?|\\.([0-9]+))$");
    std::wstring text;
    TrimBy(text, piece, IsBlank);
    boost::wsmatch m;
    if (!boost::regex_match(text, m, pattern)) return false;
    unsigned long long number = 0;
    for (wchar_t c : m[1].str()) {
        if (c == L'+') continue;
        number = number * 10 + static_cast<unsigned>(c - L'0');
        if (number > 0xFFFFFFFFull) return false;
    }
    value = static_cast<DWORD>(number);
    return true;
}

} // namespace

void CFileVersionInfo::Load(const std::wstring& path)
{
    m_path = path;
    m_block.clear();
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) throw my::CException(IDS_VERSION_SIZE_FAILED, LastErrorAsHResult(), path);
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        throw my::CException(IDS_VERSION_INFO_MISSING, LastErrorAsHResult(), path);
    m_block.swap(block);
}

bool CFileVersionInfo::QueryValue(const std::wstring& subBlock, void*& data, UINT& length) const
{
    data = nullptr;
    length = 0;
    if (m_block.empty()) return false;
    void* value = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(m_block.data(), subBlock.c_str(), &value, &size)) return false;
    data = value;
    length = size;
    return true;
}

UINT CFileVersionInfo::QueryValueCount(const std::wstring& subBlock, void*& data) const
{
    UINT length = 0;
    if (!QueryValue(subBlock, data, length)) return 0;
    return length / 4;
}

bool CFileVersionInfo::QueryValue(const std::wstring& subBlock) const
{
    void* data = nullptr;
    UINT length = 0;
    return QueryValue(subBlock, data, length);
}

std::wstring CFileVersionInfo::QueryString(const std::wstring& prefix, const std::wstring& key) const
{
    void* data = nullptr;
    UINT length = 0;
    if (!QueryValue(kTranslation, data, length)) throw my::CException(IDS_VERSION_VALUE_MISSING, m_path, kTranslation);
    const UINT pairs = length / 4;
    if (pairs == 0) throw my::CException(IDS_VERSION_VALUE_EMPTY, m_path, kTranslation);
    const auto* words = static_cast<const WORD*>(data);
    for (UINT i = 0; i < pairs; ++i) {
        const std::wstring subBlock = prefix + Hex4(words[2 * i]) + Hex4(words[2 * i + 1]) + key;
        void* text = nullptr;
        UINT count = 0;
        if (QueryValue(subBlock, text, count) && count != 0) {
            std::wstring value(static_cast<const wchar_t*>(text), count);
            const size_t nul = value.find(L'\0');
            if (nul != std::wstring::npos) value.resize(nul);
            return value;
        }
    }
    throw my::CException(IDS_VERSION_VALUE_MISSING, m_path, prefix + L"[ALL_TRANSLATES]" + key);
}

std::wstring CFileVersionInfo::GetProductVersion() const
{
    return QueryString(L"\\StringFileInfo\\", L"\\ProductVersion");
}

std::wstring CFileVersionInfo::GetLegalNotice() const
{
    return QueryString(L"\\StringFileInfo\\", L"\\LegalCopyright");
}

void CFileVersionInfo::GetVersionNumbers(std::vector<DWORD>& out, size_t count) const
{
    out.assign(count, 0);
    const std::wstring text = GetProductVersion();
    std::vector<std::wstring> pieces(1);
    for (wchar_t c : text) {
        if (c == L'.' || c == L',')
            pieces.emplace_back();
        else
            pieces.back().push_back(c);
    }
    const size_t used = pieces.size() < count ? pieces.size() : count;
    for (size_t i = 0; i < used; ++i) {
        if (!ReadVersionPiece(pieces[i], out[i])) throw my::CException(IDS_VERSION_INVALID, m_path, text);
    }
}

void CFileVersionInfo::GetVersionQuad(WORD (&parts)[4]) const
{
    std::vector<DWORD> numbers;
    GetVersionNumbers(numbers, 4);
    WORD result[4] = {};
    for (size_t i = 0; i < 4; ++i) result[i] = NarrowToWord(numbers[i]);
    for (size_t i = 0; i < 4; ++i) parts[i] = result[i];
}

void CFileVersionInfo::GetDllVersion(DLLVERSIONINFO& info) const
{
    std::vector<DWORD> numbers;
    GetVersionNumbers(numbers, 3);
    info.cbSize = sizeof(DLLVERSIONINFO);
    info.dwMajorVersion = numbers[0];
    info.dwMinorVersion = numbers[1];
    info.dwBuildNumber = numbers[2];
    info.dwPlatformID = DLLVER_PLATFORM_NT;
}
