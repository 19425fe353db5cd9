#include "SettingsFile.h"

#include <shlobj.h>

#include <sstream>

namespace {

std::string ReadAll(const std::wstring& path, bool& found)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    found = h != INVALID_HANDLE_VALUE;
    if (!found) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(h);
    return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (char c : ToUtf8(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescaped(const std::string& text)
{
    static const std::pair<const char*, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : entities) {
            if (text.compare(i, strlen(entity), entity) == 0) {
                out += c;
                i += strlen(entity);
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

} // namespace

std::string ToUtf8(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(length, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

CSettingsFile::CSettingsFile()
{
    wchar_t appData[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData);
    std::wstring folder = std::wstring(appData) + L"\\Fernhollow Labs";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\Fernhollow";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    m_path = folder + L"\\Fernhollow32.config";
    m_previous = ReadAll(m_path, m_hadFile);
}

CSettingsFile::~CSettingsFile()
{
    if (m_hadFile)
        WriteAll(m_path, m_previous);
    else
        ::DeleteFileW(m_path.c_str());
}

bool CSettingsFile::Write(const ExecValues& exec, const RECT& bounds)
{
    wchar_t flags[16] = L"";
    _snwprintf(flags, 16, L"%08X", static_cast<unsigned>(exec.flags));
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n"
        << "<Version>1.0.0.0</Version>\n"
        << "<MainFrame><FullScreen>false</FullScreen><Maximized>false</Maximized><NormalBounds>"
        << "<left>" << bounds.left << "</left><top>" << bounds.top << "</top><right>" << bounds.right << "</right><bottom>"
        << bounds.bottom << "</bottom></NormalBounds></MainFrame>\n"
        << "<Exec><Flags>" << ToUtf8(flags) << "</Flags><SrcFolder>" << Escaped(exec.srcFolder) << "</SrcFolder><SrcFname>"
        << Escaped(exec.srcFname) << "</SrcFname><DstFolder>" << Escaped(exec.dstFolder) << "</DstFolder></Exec>\n"
        << "</FernhollowSetting>\n";
    return WriteAll(m_path, xml.str());
}

std::string CSettingsFile::ReadBytes() const
{
    bool found = false;
    return ReadAll(m_path, found);
}

std::wstring CSettingsFile::ElementText(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const size_t start = xml.find(open);
    if (start == std::string::npos) return std::wstring();
    const size_t end = xml.find("</" + name + ">", start);
    if (end == std::string::npos) return std::wstring();
    return FromUtf8(Unescaped(xml.substr(start + open.size(), end - start - open.size())));
}
