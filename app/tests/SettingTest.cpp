#include "app/Setting.h"

#include "AppTestSupport.h"
#include "app/ExecChecks.h"
#include "foundation/PlatformPaths.h"
#include "foundation/ResString.h"
#include "ids/ui.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <vector>

namespace {

const char kGoodFile[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<FernhollowSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
    "<Version>VERSION</Version>"
    "<MainFrame><FullScreen>false</FullScreen><Maximized>true</Maximized>"
    "<NormalBounds><left>-10</left><top>20</top><right>300</right><bottom>400</bottom></NormalBounds>"
    "</MainFrame>"
    "<Exec><Flags>00000001</Flags><SrcFolder>E:\\X</SrcFolder><SrcFname>abc</SrcFname>"
    "<DstFolder>C:\\Dst</DstFolder></Exec>"
    "</FernhollowSetting>\n";

// The good file with every `from` replaced by `to`, at `version`.
std::string FileWith(const std::string& from, const std::string& to, const std::string& version = "1.0.0.0")
{
    std::string text = kGoodFile;
    text.replace(text.find("VERSION"), 7, version);
    for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// The good file grown to `size` bytes by a comment after the root: still well-formed.
std::string FileOfSize(size_t size)
{
    const std::string text = FileWith("", "");
    return text + "<!--" + std::string(size - text.size() - 7, 'x') + "-->";
}

// `length` characters of nested groups, "((x))" deepened, as a text box lays out slowest.
std::string Nested(size_t length)
{
    const size_t depth = (length - 1) / 2;
    return std::string(length - 1 - 2 * depth, 'x') + std::string(depth, '(') + "x" + std::string(depth, ')');
}

// The bytes as UTF-16LE code units (ASCII text only).
std::string Utf16(const std::string& text)
{
    std::string out;
    for (char c : text) out += std::string{c, '\0'};
    return out;
}

} // namespace

TEST(Setting, DefaultsAndSeedsInTheirOrder)
{
    std::wstring pictures;
    ASSERT_TRUE(GetSpecialFolderPath(pictures, nullptr, CSIDL_MYPICTURES, true));
    CSetting setting;
    EXPECT_EQ(setting.Exec.Flags, 14u);
    EXPECT_EQ(setting.Exec.SrcFolder, L"\\DCIM");
    EXPECT_EQ(setting.Exec.SrcFname, L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(setting.Exec.DstFolder, pictures);

    EXPECT_EQ(Texts(setting.SrcFolderHistory), std::vector<std::wstring>{L"\\DCIM"});
    EXPECT_EQ(Texts(setting.DstFolderHistory), std::vector<std::wstring>{pictures});
    const auto patterns = Texts(setting.SrcFnameHistory);
    ASSERT_EQ(patterns.size(), 12u);
    EXPECT_EQ(patterns.front(), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(patterns[1], L"^[0-9]{3}ANDRO$");
    EXPECT_EQ(patterns.back(), L"^[0-9]{3}_PANA$");
}

TEST(MruStrings, NewestFirstNoDuplicatesAtMostTwenty)
{
    CMruStrings history(20);
    for (int i = 0; i < 25; ++i) history.Add(L"entry" + std::to_wstring(i));
    history.Add(L"entry10"); // moves to the front
    history.Add(L"ENTRY10"); // another text: the case counts
    std::vector<std::wstring> expected{L"ENTRY10", L"entry10"};
    for (int i = 24; i >= 6; --i) {
        if (i != 10) expected.push_back(L"entry" + std::to_wstring(i));
    }
    EXPECT_EQ(Texts(history), expected);
}

// Unusual values read back equal, and another parser reads the file the program wrote.
TEST(SettingFile, UnusualValuesRoundTripThroughAWellFormedFile)
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

    const std::string bytes = CTempFolder::ReadBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u) << bytes.substr(0, 60);
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
    std::vector<std::wstring> nodes; // elements, and attributes as name=value
    XmlNodeType type;
    HRESULT hr;
    while ((hr = xml->Read(&type)) == S_OK) {
        if (type != XmlNodeType_Element) continue;
        const wchar_t* name = nullptr;
        const wchar_t* value = nullptr;
        xml->GetQualifiedName(&name, nullptr);
        nodes.push_back(name);
        for (HRESULT a = xml->MoveToFirstAttribute(); a == S_OK; a = xml->MoveToNextAttribute()) {
            xml->GetQualifiedName(&name, nullptr);
            xml->GetValue(&value, nullptr);
            nodes.push_back(std::wstring(name) + L"=" + value);
        }
    }
    EXPECT_EQ(hr, S_FALSE) << "the reader reached the end without an error";
    EXPECT_EQ(nodes,
              (std::vector<std::wstring>{L"FernhollowSetting", L"xmlns:xsi=http://www.w3.org/2001/XMLSchema-instance",
                                         L"xmlns:xsd=http://www.w3.org/2001/XMLSchema", L"Version", L"MainFrame",
                                         L"FullScreen", L"Maximized", L"NormalBounds", L"left", L"top", L"right",
                                         L"bottom", L"Exec", L"Flags", L"SrcFolder", L"SrcFname", L"DstFolder"}));
}

// Every file either reads whole or asks; Cancel ends the start and leaves the file as it was.
TEST(SettingFile, StartupReadAsksOnErrorsAndNewerVersions)
{
    CTempFolder temp;
    CRecordingMsg none;
    CSetting defaults;
    EXPECT_TRUE(LoadSettingsWithPrompts(none, defaults, temp / L"none.config")) << "no file: the defaults";
    EXPECT_TRUE(none.m_texts.empty());
    EXPECT_EQ(defaults.Exec, fhw::CExecSetting());

    const UINT kError = IDS_CONFIRM_CONTINUE_AFTER_ERROR;
    const UINT kNewer = IDS_CONFIRM_NEWER_CONFIG;
    struct Case {
        const char* name;
        std::string bytes;
        UINT question; // 0: read without asking
        const wchar_t* pathInMessage;
    };
    const Case cases[] = {
        {"1.0.0.0", FileWith("", ""), 0, nullptr},
        {"1.0", FileWith("", "", "1.0"), 0, nullptr},
        {"0.9", FileWith("", "", "0.9"), 0, nullptr},
        {"whole UTF-16 file", Utf16(FileWith("", "")), 0, nullptr},
        {"2.0", FileWith("", "", "2.0"), kNewer, nullptr},
        {"1.0.0.1", FileWith("", "", "1.0.0.1"), kNewer, nullptr},
        {"truncated", FileWith("", "").substr(0, 200), kError, nullptr},
        {"garbage", std::string("\x00\xff\x13\x37garbage\x01", 12), kError, nullptr},
        {"empty", "", kError, nullptr},
        {"UTF-16 cut in the middle", Utf16(FileWith("", "")).substr(0, 301), kError, nullptr},
        {"wrong root", FileWith("FernhollowSetting", "OtherSetting"), kError, nullptr},
        {"bad bool", FileWith("<FullScreen>false", "<FullScreen>True"), kError, L"FullScreen"},
        {"bad flags", FileWith("<Flags>00000001", "<Flags>xyz"), kError, L"Flags"},
        {"bound out of range", FileWith("<left>-10", "<left>99999999999"), kError, L"left"},
        {"missing exec", FileWith("Exec>", "Other>"), kError, L"Exec"},
        {"bad version", FileWith("", "", "1.x"), kError, L"Version"},
        // A text longer than its box may hold is refused before any box is given it.
        {"pattern at its bound", FileWith("<SrcFname>abc", "<SrcFname>" + Nested(fhw::kMaxPatternLength)), 0, nullptr},
        {"pattern beyond its bound", FileWith("<SrcFname>abc", "<SrcFname>" + Nested(fhw::kMaxPatternLength + 1)),
         kError, L"SrcFname"},
        {"source at the longest path",
         FileWith("<SrcFolder>E:\\X", "<SrcFolder>E:\\" + Nested(fhw::kMaxPathLength - 3)), 0, nullptr},
        {"source beyond the longest path",
         FileWith("<SrcFolder>E:\\X", "<SrcFolder>E:\\" + Nested(fhw::kMaxPathLength - 2)), kError, L"SrcFolder"},
        {"destination beyond the longest path",
         FileWith("<DstFolder>C:\\Dst", "<DstFolder>C:\\" + Nested(fhw::kMaxPathLength - 2)), kError, L"DstFolder"},
        // A file far larger than any the program writes is refused unparsed.
        {"file at the size bound", FileOfSize(kMaxSettingFileBytes), 0, nullptr},
        {"file one byte over the size bound", FileOfSize(kMaxSettingFileBytes + 1), kError, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = temp.WriteFile(L"Fernhollow32.config", c.bytes);
        CRecordingMsg msg(IDCANCEL);
        CSetting setting;
        EXPECT_EQ(LoadSettingsWithPrompts(msg, setting, path), c.question == 0);
        ASSERT_EQ(msg.m_texts.size(), c.question ? 1u : 0u);
        if (c.question) {
            const std::wstring intro = LoadResString(c.question).substr(0, 12);
            EXPECT_EQ(msg.m_texts[0].substr(0, intro.size()), intro);
        }
        if (c.pathInMessage) {
            EXPECT_NE(msg.m_texts[0].find(c.pathInMessage), std::wstring::npos) << msg.m_texts[0];
        }
        if (c.question != kError) {
            EXPECT_EQ(setting.Exec.DstFolder, L"C:\\Dst") << "the file was read whole";
        }
        EXPECT_EQ(CTempFolder::ReadBytes(path), c.bytes) << "the file must stay byte-identical";
    }

    // OK after an error goes on with what was read before it.
    const std::wstring path = temp.WriteFile(L"Fernhollow32.config", FileWith("Exec>", "Other>"));
    CRecordingMsg ok(IDOK);
    CSetting setting;
    EXPECT_TRUE(LoadSettingsWithPrompts(ok, setting, path));
    EXPECT_TRUE(setting.MainFrame.Maximized);
    EXPECT_EQ(setting.MainFrame.NormalBounds.left, -10);
    EXPECT_EQ(setting.Exec, fhw::CExecSetting()) << "the execute settings stay the defaults";
}

TEST(SettingFile, SaveReplacesTheFileInOneStepAndReportsFailures)
{
    CTempFolder temp;
    const std::wstring path = temp / L"Maker\\Product\\Fernhollow32.config";
    SaveSettingsOrThrow(CSetting(), path);
    EXPECT_NE(CTempFolder::ReadBytes(path).find("<Flags>0000000E</Flags>"), std::string::npos) << "folders made";
    CSetting changed;
    changed.Exec.Flags = 1;
    SaveSettingsOrThrow(changed, path);
    const std::string before = CTempFolder::ReadBytes(path);
    EXPECT_NE(before.find("<Flags>00000001</Flags>"), std::string::npos);

    // When the new document cannot be written the old file stays whole and the failure is reported.
    ::CreateDirectoryW((path + L".new").c_str(), nullptr);
    EXPECT_THROW(SaveSettingsOrThrow(CSetting(), path), my::CException);
    EXPECT_EQ(CTempFolder::ReadBytes(path), before);
    ::RemoveDirectoryW((path + L".new").c_str());
}
