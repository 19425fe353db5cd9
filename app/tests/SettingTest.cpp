#include "app/Setting.h"

#include "foundation/PlatformPaths.h"
#include "foundation/ResString.h"
#include "ids/ui.h"
#include "ids/xml.h"
#include "tests/support/TempFolder.h"
#include "ui/Msg.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <vector>

namespace {

std::vector<std::wstring> Texts(const CMruStrings& mru)
{
    std::vector<std::wstring> texts;
    for (const auto& item : mru.m_items) texts.push_back(item->m_text);
    return texts;
}

// Answers every query with a fixed button and keeps the texts it was shown.
class CAnsweringMsg : public CMsg {
public:
    explicit CAnsweringMsg(int answer) : m_answer(answer) {}
    int Show(const std::wstring& text, UINT) override
    {
        m_texts.push_back(text);
        return m_answer;
    }
    int m_answer;
    std::vector<std::wstring> m_texts;
};

const char kGoodFile[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                         "<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                         "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
                         "<Version>VERSION</Version>"
                         "<MainFrame><FullScreen>false</FullScreen><Maximized>true</Maximized>"
                         "<NormalBounds><left>-10</left><top>20</top><right>300</right><bottom>400</bottom></NormalBounds>"
                         "</MainFrame>"
                         "<Exec><Flags>00000001</Flags><SrcFolder>E:\\X</SrcFolder><SrcFname>abc</SrcFname>"
                         "<DstFolder>C:\\Dst</DstFolder></Exec>"
                         "</FernhollowSetting>\n";

std::string FileWith(const std::string& from, const std::string& to, const std::string& version = "1.0.0.0")
{
    std::string text = kGoodFile;
    text.replace(text.find("VERSION"), 7, version);
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

TEST(ExecSetting, DefaultsAndFlagAccessors)
{
    fhw::CExecSetting exec;
    EXPECT_EQ(exec.Flags, 14u);
    EXPECT_EQ(exec.SrcFolder, L"\\DCIM");
    EXPECT_EQ(exec.SrcFname, L"^[0-9]{3}[A-Z_]{5}$");
    std::wstring pictures;
    ASSERT_TRUE(GetSpecialFolderPath(pictures, nullptr, CSIDL_MYPICTURES, true));
    EXPECT_EQ(exec.DstFolder, pictures);

    exec.SetEject(false);
    EXPECT_EQ(exec.Flags, 10u);
    exec.Flags = 14;
    exec.SetShowExplorer(false);
    EXPECT_EQ(exec.Flags, 6u);
    exec.Flags = 15;
    EXPECT_TRUE(exec.GetCopy());
    fhw::CExecSetting other;
    EXPECT_FALSE(exec == other);
    other.Flags = 15;
    other.DstFolder = exec.DstFolder;
    EXPECT_TRUE(exec == other);
    other.SrcFolder = L"\\dcim";
    EXPECT_FALSE(exec == other) << "strings compare case-sensitively";
}

TEST(MruStrings, NewestFirstCaseSensitiveAndBounded)
{
    CMruStrings mru(20);
    mru.Add(L"\\DCIM");
    mru.Add(L"a");
    mru.Add(L"\\DCIM");
    EXPECT_EQ(Texts(mru), (std::vector<std::wstring>{L"\\DCIM", L"a"}));
    mru.Add(L"\\dcim");
    EXPECT_EQ(mru.m_items.size(), 3u);
    for (int i = 0; i < 30; ++i) mru.Add(L"item" + std::to_wstring(i));
    EXPECT_EQ(mru.m_items.size(), 20u);
    EXPECT_EQ(Texts(mru).front(), L"item29");
    EXPECT_EQ(Texts(mru).back(), L"item10");
}

TEST(Setting, SeedsInTheirOrder)
{
    CSetting setting;
    EXPECT_EQ(Texts(setting.SrcFolderHistory), std::vector<std::wstring>{L"\\DCIM"});
    const auto patterns = Texts(setting.SrcFnameHistory);
    ASSERT_EQ(patterns.size(), 12u);
    EXPECT_EQ(patterns.front(), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(patterns[1], L"^[0-9]{3}ANDRO$");
    EXPECT_EQ(patterns.back(), L"^[0-9]{3}_PANA$");
    std::wstring pictures;
    GetSpecialFolderPath(pictures, nullptr, CSIDL_MYPICTURES, false);
    EXPECT_EQ(Texts(setting.DstFolderHistory), std::vector<std::wstring>{pictures});
    EXPECT_EQ(setting.MainFrame, CMainFrameSetting{});
}

TEST(SettingFile, UnusualValuesRoundTrip)
{
    CTempFolder temp;
    const std::wstring path = temp / L"Fernhollow32.config";
    CSetting written;
    written.MainFrame.FullScreen = true;
    written.MainFrame.NormalBounds = RECT{-32000, -5, 2147483647, -2147483647 - 1};
    written.Exec.Flags = 0x8000000F;
    written.Exec.SrcFolder = L"\\\\server\\共有\\" + std::wstring(300, L'写') + L"\\DCIM";
    written.Exec.SrcFname = L"^<&>\"'[0-9]{3}$";
    written.Exec.DstFolder = L"";
    CSettingWriter writer;
    ASSERT_TRUE(CSetting::Save(writer, written, path)) << writer.GetError().m_message;

    CSetting read;
    CSettingReader reader;
    ASSERT_TRUE(CSetting::Load(reader, read, path)) << reader.GetError().m_message;
    EXPECT_EQ(reader.m_version, g_settingVersion);
    EXPECT_EQ(read.MainFrame, written.MainFrame);
    EXPECT_EQ(read.Exec, written.Exec);
    EXPECT_FALSE(::PathFileExistsW((path + L".new").c_str())) << "nothing left beside the file";
}

TEST(SettingFile, WrittenFileIsWellFormedForAnotherParser)
{
    CTempFolder temp;
    const std::wstring path = temp / L"Fernhollow32.config";
    CSettingWriter writer;
    ASSERT_TRUE(CSetting::Save(writer, CSetting(), path));
    const std::string bytes = CTempFolder::ReadBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u) << bytes.substr(0, 60);
    EXPECT_NE(bytes.find("<Flags>0000000E</Flags>"), std::string::npos);
    EXPECT_NE(bytes.find("<Version>1.0.0.0</Version>"), std::string::npos);

    // An independent reader (XmlLite) walks the bytes: root, namespaces and element order.
    ATL::CComPtr<IStream> stream;
    ASSERT_EQ(::SHCreateStreamOnFileW(path.c_str(), STGM_READ, &stream), S_OK);
    // XmlLite has no import library here: look the factory up at run time.
    HMODULE xmllite = ::LoadLibraryW(L"xmllite.dll");
    ASSERT_NE(xmllite, nullptr);
    using CreateReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    auto create = reinterpret_cast<CreateReader>(::GetProcAddress(xmllite, "CreateXmlReader"));
    ASSERT_NE(create, nullptr);
    ATL::CComPtr<IXmlReader> xml;
    ASSERT_EQ(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&xml), nullptr), S_OK);
    ASSERT_EQ(xml->SetInput(stream), S_OK);
    std::vector<std::wstring> elements, attributes;
    XmlNodeType type;
    HRESULT hr;
    while ((hr = xml->Read(&type)) == S_OK) {
        if (type != XmlNodeType_Element) continue;
        const wchar_t* name = nullptr;
        xml->GetLocalName(&name, nullptr);
        elements.push_back(name);
        if (elements.size() == 1) {
            for (HRESULT a = xml->MoveToFirstAttribute(); a == S_OK; a = xml->MoveToNextAttribute()) {
                const wchar_t* qname = nullptr;
                const wchar_t* value = nullptr;
                xml->GetQualifiedName(&qname, nullptr);
                xml->GetValue(&value, nullptr);
                attributes.push_back(std::wstring(qname) + L"=" + value);
            }
        }
    }
    EXPECT_EQ(hr, S_FALSE) << "the reader reached the end without an error";
    EXPECT_EQ(elements, (std::vector<std::wstring>{L"FernhollowSetting", L"Version", L"MainFrame", L"FullScreen",
                                                   L"Maximized", L"NormalBounds", L"left", L"top", L"right",
                                                   L"bottom", L"Exec", L"Flags", L"SrcFolder", L"SrcFname",
                                                   L"DstFolder"}));
    EXPECT_EQ(attributes, (std::vector<std::wstring>{L"xmlns:xsi=http://www.w3.org/2001/XMLSchema-instance",
                                                     L"xmlns:xsd=http://www.w3.org/2001/XMLSchema"}));
}

TEST(SettingFile, MissingFileKeepsTheDefaultsWithoutAsking)
{
    CTempFolder temp;
    CAnsweringMsg msg(IDCANCEL);
    CSetting setting;
    EXPECT_TRUE(LoadSettingsWithPrompts(msg, setting, temp / L"none.config"));
    EXPECT_TRUE(msg.m_texts.empty());
    EXPECT_EQ(setting.Exec, fhw::CExecSetting());
}

namespace {
struct BadFile {
    const char* name;
    std::string bytes;
    const wchar_t* pathInMessage; // a node path the message must name, or nullptr
};

std::vector<BadFile> BadFiles()
{
    std::string utf16;
    for (char c : FileWith("", "")) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    return {
        {"truncated", FileWith("", "").substr(0, 200), nullptr},
        {"garbage", std::string("\x00\xff\x13\x37garbage\x01", 12), nullptr},
        {"empty", "", nullptr},
        {"utf16 cut in the middle", utf16.substr(0, 301), nullptr},
        {"wrong root", FileWith("FernhollowSetting xmlns", "OtherSetting xmlns").replace(
                           FileWith("FernhollowSetting xmlns", "OtherSetting xmlns").rfind("FernhollowSetting"), 17,
                           "OtherSetting"),
         nullptr},
        {"bad bool", FileWith("<FullScreen>false", "<FullScreen>True"), L"FullScreen"},
        {"bad flags", FileWith("<Flags>00000001", "<Flags>xyz"), L"Flags"},
        {"bound out of range", FileWith("<left>-10", "<left>99999999999"), L"left"},
        {"missing exec", FileWith("<Exec>", "<Other>").replace(FileWith("<Exec>", "<Other>").find("</Exec>"), 7,
                                                                "</Other>"),
         L"Exec"},
        {"bad version", FileWith("", "", "1.x"), L"Version"},
    };
}
} // namespace

TEST(SettingFile, ReadErrorsAskAndCancelLeavesTheFileAsItWas)
{
    for (const BadFile& bad : BadFiles()) {
        SCOPED_TRACE(bad.name);
        CTempFolder temp;
        const std::wstring path = temp.WriteFile(L"Fernhollow32.config", bad.bytes);
        CAnsweringMsg msg(IDCANCEL);
        CSetting setting;
        EXPECT_FALSE(LoadSettingsWithPrompts(msg, setting, path));
        ASSERT_EQ(msg.m_texts.size(), 1u);
        const std::wstring intro = LoadResString(IDS_CONFIRM_CONTINUE_AFTER_ERROR).substr(0, 12);
        EXPECT_EQ(msg.m_texts[0].substr(0, intro.size()), intro);
        if (bad.pathInMessage) {
            EXPECT_NE(msg.m_texts[0].find(bad.pathInMessage), std::wstring::npos) << msg.m_texts[0];
        }
        EXPECT_EQ(CTempFolder::ReadBytes(path), bad.bytes) << "the file must stay byte-identical";
    }
}

TEST(SettingFile, WholeUtf16FileIsRead)
{
    std::string utf16;
    for (char c : FileWith("", "")) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    CTempFolder temp;
    const std::wstring path = temp.WriteFile(L"Fernhollow32.config", utf16);
    CAnsweringMsg msg(IDCANCEL);
    CSetting setting;
    EXPECT_TRUE(LoadSettingsWithPrompts(msg, setting, path));
    EXPECT_TRUE(msg.m_texts.empty());
    EXPECT_EQ(setting.Exec.DstFolder, L"C:\\Dst");
}

TEST(SettingFile, OkAfterAnErrorKeepsWhatWasRead)
{
    CTempFolder temp;
    std::string text = FileWith("<Exec>", "<Other>");
    text.replace(text.find("</Exec>"), 7, "</Other>");
    const std::wstring path = temp.WriteFile(L"Fernhollow32.config", text);
    CAnsweringMsg msg(IDOK);
    CSetting setting;
    EXPECT_TRUE(LoadSettingsWithPrompts(msg, setting, path));
    EXPECT_TRUE(setting.MainFrame.Maximized);
    EXPECT_EQ(setting.MainFrame.NormalBounds.left, -10);
    EXPECT_EQ(setting.Exec, fhw::CExecSetting()) << "the execute settings stay the defaults";
}

TEST(SettingFile, NewerVersionsAsk)
{
    struct Case {
        const char* version;
        bool asks;
    } cases[] = {{"2.0", true}, {"1.0.0.1", true}, {"0.9", false}, {"1.0", false}, {"1.0.0.0", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        CTempFolder temp;
        const std::string bytes = FileWith("", "", c.version);
        const std::wstring path = temp.WriteFile(L"Fernhollow32.config", bytes);
        CAnsweringMsg msg(IDCANCEL);
        CSetting setting;
        EXPECT_EQ(LoadSettingsWithPrompts(msg, setting, path), !c.asks);
        EXPECT_EQ(msg.m_texts.size(), c.asks ? 1u : 0u);
        EXPECT_EQ(setting.Exec.SrcFolder, L"E:\\X") << "the file was read whole";
        EXPECT_EQ(CTempFolder::ReadBytes(path), bytes);
    }
}

TEST(SettingFile, SaveCreatesTheDataFolderAndReplacesTheFileInOneStep)
{
    CTempFolder temp;
    const std::wstring path = temp / L"Maker\\Product\\Fernhollow32.config";
    SaveSettingsOrThrow(CSetting(), path);
    const std::string first = CTempFolder::ReadBytes(path);
    EXPECT_NE(first.find("<Flags>0000000E</Flags>"), std::string::npos);

    CSetting changed;
    changed.Exec.Flags = 1;
    SaveSettingsOrThrow(changed, path);
    EXPECT_NE(CTempFolder::ReadBytes(path).find("<Flags>00000001</Flags>"), std::string::npos);

    // When the new document cannot be written the old file stays whole and the failure is reported.
    ::CreateDirectoryW((path + L".new").c_str(), nullptr);
    const std::string before = CTempFolder::ReadBytes(path);
    EXPECT_THROW(SaveSettingsOrThrow(CSetting(), path), my::CException);
    EXPECT_EQ(CTempFolder::ReadBytes(path), before);
    ::RemoveDirectoryW((path + L".new").c_str());
}

TEST(SettingFile, SaveIntoAFileWhereTheFolderShouldBeIsReported)
{
    CTempFolder temp;
    temp.WriteFile(L"blocker", "x");
    EXPECT_THROW(SaveSettingsOrThrow(CSetting(), temp / L"blocker\\Fernhollow32.config"), my::CException);
}
