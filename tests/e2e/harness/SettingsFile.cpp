#include "SettingsFile.h"

#include "CameraCard.h"

#include <shlobj.h>

#include <sstream>

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string Escaped(const std::wstring& text)
{
    return ReplaceAll(ReplaceAll(ReplaceAll(ToUtf8(text), "&", "&amp;"), "<", "&lt;"), ">", "&gt;");
}

} // namespace

std::string ToUtf8(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string out(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

CSettingsFile::CSettingsFile()
{
    wchar_t appData[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData);
    const std::wstring folder = std::wstring(appData) + L"\\Fernhollow Labs\\Fernhollow";
    MakeFolders(folder);
    m_path = folder + L"\\Fernhollow32.config";
    m_hadFile = ReadFileBytes(m_path, m_previous);
}

CSettingsFile::~CSettingsFile()
{
    if (m_hadFile)
        WriteFileBytes(m_path, m_previous);
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
        << "<left>" << bounds.left << "</left><top>" << bounds.top << "</top><right>" << bounds.right
        << "</right><bottom>" << bounds.bottom << "</bottom></NormalBounds></MainFrame>\n"
        << "<Exec><Flags>" << ToUtf8(flags) << "</Flags><SrcFolder>" << Escaped(exec.srcFolder)
        << "</SrcFolder><SrcFname>" << Escaped(exec.srcFname) << "</SrcFname><DstFolder>" << Escaped(exec.dstFolder)
        << "</DstFolder></Exec>\n"
        << "</FernhollowSetting>\n";
    return WriteFileBytes(m_path, xml.str());
}

std::string CSettingsFile::ReadBytes() const
{
    std::string bytes;
    ReadFileBytes(m_path, bytes);
    return bytes;
}

std::string CSettingsFile::ElementText(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const size_t start = xml.find(open);
    const size_t end = start == std::string::npos ? start : xml.find("</" + name + ">", start);
    if (end == std::string::npos) return std::string();
    std::string text = xml.substr(start + open.size(), end - start - open.size());
    // The ampersand last, so that an escaped entity stays as written.
    static const char* const entities[][2] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& entity : entities) text = ReplaceAll(text, entity[0], entity[1]);
    return text;
}
