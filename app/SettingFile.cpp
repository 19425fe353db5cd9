#include "app/Setting.h"

#include "app/ExecChecks.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "ids/xml.h"
#include "resource.h"
#include "shell/FileUtilities.h"
#include "ui/Msg.h"

#include <shlwapi.h>

#include <vector>

namespace {

const wchar_t kRoot[] = L"FernhollowSetting";
const wchar_t kTemplate[] = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                            L"<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                            L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n"
                            L"</FernhollowSetting>\n";

bool ReadMainFrame(CXmlDocument& doc, IXMLDOMNode* root, CMainFrameSetting& frame)
{
    CXmlNodePtr node;
    if (!doc.SelectChildOrFail(root, L"MainFrame", node)) return false;
    bool flag = false;
    if (!doc.ReadBool(node, L"FullScreen", flag)) return false;
    frame.FullScreen = flag;
    if (!doc.ReadBool(node, L"Maximized", flag)) return false;
    frame.Maximized = flag;
    RECT bounds{};
    if (!doc.ReadRect(node, L"NormalBounds", bounds)) return false;
    frame.NormalBounds = bounds;
    return true;
}

// A text longer than `maxLength` is refused as the file's other bad values are: no box is ever
// given more than its setting may hold (Wine lays out deeply nested brackets for minutes).
bool ReadBoundedText(CXmlDocument& doc, IXMLDOMNode* node, const wchar_t* name, size_t maxLength, std::wstring& text)
{
    std::vector<wchar_t> buffer(maxLength + 1);
    if (!doc.ReadTextToBuffer(node, name, buffer.data(), buffer.size())) return false;
    text = buffer.data();
    return true;
}

bool ReadExec(CXmlDocument& doc, IXMLDOMNode* root, fhw::CExecSetting& exec)
{
    CXmlNodePtr node;
    if (!doc.SelectChildOrFail(root, L"Exec", node)) return false;
    DWORD flags = 0;
    if (!doc.ReadHexNumber(node, L"Flags", flags)) return false;
    exec.Flags = flags;
    std::wstring text;
    if (!ReadBoundedText(doc, node, L"SrcFolder", fhw::kMaxPathLength, text)) return false;
    exec.SetSrcFolder(text);
    if (!ReadBoundedText(doc, node, L"SrcFname", fhw::kMaxPatternLength, text)) return false;
    exec.SetSrcFname(text);
    if (!ReadBoundedText(doc, node, L"DstFolder", fhw::kMaxPathLength, text)) return false;
    exec.SetDstFolder(text);
    return true;
}

// Refused before the parser sees it, as a file that cannot be read; a size that cannot be had is
// left to the load, which says why.
bool CheckFileSize(CXmlDocument& doc, const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return true;
    const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size <= kMaxSettingFileBytes) return true;
    return doc.SetErrorText(IDS_SETTING_FILE_TOO_LARGE, std::to_wstring(size), path);
}

bool WriteMainFrame(CXmlDocument& doc, IXMLDOMNode* root, const CMainFrameSetting& frame)
{
    CXmlNodePtr node;
    return doc.CreateElement(L"MainFrame", std::wstring(), node) &&
           doc.WriteBool(node, L"FullScreen", frame.FullScreen) && doc.WriteBool(node, L"Maximized", frame.Maximized) &&
           doc.WriteRect(node, L"NormalBounds", frame.NormalBounds) && doc.AppendChild(root, node);
}

bool WriteExec(CXmlDocument& doc, IXMLDOMNode* root, const fhw::CExecSetting& exec)
{
    CXmlNodePtr node;
    return doc.CreateElement(L"Exec", std::wstring(), node) && doc.WriteHexNumber(node, L"Flags", exec.Flags) &&
           doc.WriteText(node, L"SrcFolder", exec.SrcFolder) && doc.WriteText(node, L"SrcFname", exec.SrcFname) &&
           doc.WriteText(node, L"DstFolder", exec.DstFolder) && doc.AppendChild(root, node);
}

} // namespace

bool CSetting::Load(CSettingReader& reader, CSetting& setting, const std::wstring& path)
{
    CXmlNodePtr root;
    return CheckFileSize(reader, path) && reader.LoadFromFile(path) && reader.SelectNodeOrFail(kRoot, root) &&
           reader.ReadVersion(root, L"Version", reader.m_version) && ReadMainFrame(reader, root, setting.MainFrame) &&
           ReadExec(reader, root, setting.Exec);
}

bool CSetting::Save(CSettingWriter& writer, const CSetting& setting, const std::wstring& path)
{
    CXmlNodePtr root;
    if (!(writer.LoadFromText(kTemplate) && writer.SelectNodeOrFail(kRoot, root) &&
          writer.WriteVersion(root, L"Version", g_settingVersion) && WriteMainFrame(writer, root, setting.MainFrame) &&
          WriteExec(writer, root, setting.Exec)))
        return false;
    const std::wstring fresh = path + L".new";
    if (!writer.SaveToFile(fresh)) {
        ::DeleteFileW(fresh.c_str());
        return false;
    }
    if (!::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const HRESULT hr = LastErrorAsHResult();
        ::DeleteFileW(fresh.c_str());
        return writer.SetErrorCode(IDS_XML_SAVE_FAILED, hr, path);
    }
    return true;
}

bool LoadSettingsWithPrompts(CMsg& msg, CSetting& setting, const std::wstring& path)
{
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    CSettingReader reader;
    if (!CSetting::Load(reader, setting, path) && !msg.ConfirmContinueAfterError(reader.GetError())) return false;
    if (reader.m_version > g_settingVersion && !msg.ConfirmNewerConfig()) return false;
    return true;
}

void SaveSettingsOrThrow(const CSetting& setting, const std::wstring& path)
{
    const size_t separator = path.find_last_of(L'\\');
    if (separator != std::wstring::npos && separator > 0) {
        const std::wstring folder = path.substr(0, separator);
        if (!::PathIsDirectoryW(folder.c_str())) files::CreateFolderOrThrow(folder);
    }
    CSettingWriter writer;
    if (!CSetting::Save(writer, setting, path)) throw my::CException(writer.GetError());
}
