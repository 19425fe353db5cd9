#include "shell/ShellFolder.h"
#include "shell/FileSystemBindData.h"
#include "shell/ItemIDList.h"
#include "shell/tests/ShellTestSupport.h"

#include "foundation/UniqueHandle.h"
#include "ids/shellfolders.h"
#include "tests/support/TempFolder.h"

#include <ComObject.h>
#include <ComPtr.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The shell's own display name of a path, as the file-information call gives it.
std::wstring ShellDisplayName(const std::wstring& path)
{
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME)) return L"<none>";
    return info.szDisplayName;
}

std::wstring PathOf(const CItemIDListHandle& list)
{
    std::wstring path;
    list.GetPath(path);
    return path;
}

// A temporary folder with Japanese names: 写真\日本語ファイル.txt, 写真\サブフォルダー\中身.txt, 空.
class ShellFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_file = m_temp.WriteFile(L"写真\\日本語ファイル.txt", "abc");
        m_inner = m_temp.WriteFile(L"写真\\サブフォルダー\\中身.txt", "12345");
        m_folder = m_temp / L"写真";
        ASSERT_TRUE(::CreateDirectoryW((m_temp / L"空").c_str(), nullptr));
        ASSERT_EQ(m_folderList.FromPath(m_folder.c_str()), S_OK);
    }

    CTempFolder m_temp;
    std::wstring m_file, m_inner, m_folder;
    CItemIDList m_folderList;
};

TEST_F(ShellFolderTest, PathsParseToListsThatGiveThePathBack)
{
    for (const std::wstring& path : {m_file, m_inner, m_folder}) {
        CItemIDList list;
        SFGAOF attributes = SFGAO_FOLDER;
        ASSERT_EQ(list.FromPath(path.c_str(), &attributes), S_OK);
        EXPECT_EQ(PathOf(list), path);
        EXPECT_EQ((attributes & SFGAO_FOLDER) != 0, path == m_folder) << path;
        CItemIDList normal;
        ASSERT_EQ(NormalizeItemIDList(list.Get(), normal), S_OK);
        EXPECT_EQ(PathOf(normal), path);
        EXPECT_EQ(CompareItemIDLists(list.Get(), normal.Get()), 0);
    }

    CItemIDList missing;
    const std::wstring nowhere = m_temp / L"ない\\もの.txt";
    EXPECT_TRUE(FAILED(missing.FromPath(nowhere.c_str())));
    EXPECT_TRUE(missing.IsNull());
    const my::CException e = CaughtOf([&] { missing.FromPathOrThrow(nowhere.c_str()); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_IDLIST_FROM_PATH_FAILED));
    EXPECT_NE(e.m_message.find(nowhere), std::wstring::npos) << e.m_message;
}

// A path that does not exist parses through the file-system bind context, and nothing is created.
TEST_F(ShellFolderTest, PathsThatDoNotExistParseThroughTheBindContext)
{
    const std::wstring nowhere = m_temp / L"新しいフォルダー\\新しい写真.jpg";
    CItemIDList list;
    const HRESULT hr = list.FromPathNoFile(nowhere);
    EXPECT_EQ(::GetFileAttributesW(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
    if (FAILED(hr))
        GTEST_SKIP() << "this shell does not parse a missing path with find data (0x" << std::hex << hr << ")";
    EXPECT_EQ(PathOf(list), nowhere);
    std::wstring name;
    EXPECT_EQ(list.GetDisplayNameInParent(SHGDN_INFOLDER | SHGDN_FORPARSING, name), S_OK);
    EXPECT_EQ(name, L"新しい写真.jpg");
}

// The find data a file-system bind context carries.
WIN32_FIND_DATAW FindDataIn(IBindCtx* context)
{
    WIN32_FIND_DATAW data = {};
    ATL::CComPtr<IUnknown> param;
    EXPECT_EQ(context->GetObjectParam(const_cast<LPOLESTR>(STR_FILE_SYS_BIND_DATA), &param), S_OK);
    ATL::CComQIPtr<IFileSystemBindData> bindData(param);
    EXPECT_TRUE(bindData);
    if (bindData) {
        EXPECT_EQ(bindData->GetFindData(&data), S_OK);
        EXPECT_EQ(bindData->GetFindData(nullptr), E_POINTER);
    }
    return data;
}

TEST_F(ShellFolderTest, BindContextCarriesTheFindDataAndCountsTheModuleLock)
{
    const LONG before = ATL::CComModuleLockCount::Get();
    const std::wstring longPath = m_temp.Path() + L"\\" + std::wstring(300, L'長');
    {
        SYSTEMTIME now = {};
        ::GetSystemTime(&now);
        FILETIME earliest = {};
        ::SystemTimeToFileTime(&now, &earliest);
        ATL::CComPtr<IBindCtx> made, given;
        ASSERT_EQ(CreateFileSystemBindCtx(longPath, nullptr, &made), S_OK);
        EXPECT_EQ(ATL::CComModuleLockCount::Get(), before + 1);
        const WIN32_FIND_DATAW data = FindDataIn(made);
        EXPECT_EQ(std::wstring(data.cFileName), longPath.substr(0, MAX_PATH - 1));
        EXPECT_GE(::CompareFileTime(&data.ftLastWriteTime, &earliest), 0);
        EXPECT_EQ(data.nFileSizeLow, 0u);

        WIN32_FIND_DATAW folder = {};
        folder.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        ::lstrcpyW(folder.cFileName, L"フォルダー");
        ASSERT_EQ(CreateFileSystemBindCtx(L"x", &folder, &given), S_OK);
        EXPECT_EQ(ATL::CComModuleLockCount::Get(), before + 2);
        const WIN32_FIND_DATAW carried = FindDataIn(given);
        EXPECT_EQ(std::memcmp(&carried, &folder, sizeof(folder)), 0);
    }
    EXPECT_EQ(ATL::CComModuleLockCount::Get(), before);
    EXPECT_EQ(CreateFileSystemBindCtx(L"x", nullptr, nullptr), E_POINTER);
}

TEST_F(ShellFolderTest, FolderFindsChildrenByNameAndNamesThemAsThePlatformDoes)
{
    CShellFolder folder;
    ASSERT_EQ(folder.BindTo(m_folderList), S_OK);
    CItemIDList found;
    ASSERT_EQ(folder.FindChildByName(L"日本語ファイル.TXT", found, SHGDN_INFOLDER | SHGDN_FORPARSING), S_OK);
    ASSERT_FALSE(found.IsNull());
    std::wstring name;
    ASSERT_EQ(folder.GetDisplayNameOf(found.Get(), SHGDN_FORPARSING, name), S_OK);
    EXPECT_EQ(name, m_file);
    ASSERT_EQ(folder.GetDisplayNameOf(found.Get(), SHGDN_INFOLDER, name), S_OK);
    EXPECT_EQ(name, ShellDisplayName(m_file));

    EXPECT_EQ(folder.FindChildByName(L"ありません", found), S_FALSE);
    EXPECT_TRUE(found.IsNull());
    ASSERT_EQ(folder.FindChildByName(ShellDisplayName(m_temp / L"写真\\サブフォルダー"), found), S_OK);
    SFGAOF attributes = SFGAO_FOLDER;
    ASSERT_EQ(folder.GetAttributesOf(found.Get(), attributes), S_OK);
    EXPECT_TRUE(attributes & SFGAO_FOLDER);

    EXPECT_TRUE(folder.HasItems(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    CItemIDList emptyList;
    ASSERT_EQ(emptyList.FromPath((m_temp / L"空").c_str()), S_OK);
    CShellFolder empty;
    ASSERT_EQ(empty.BindTo(emptyList), S_OK);
    EXPECT_FALSE(empty.HasItems(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
}

TEST_F(ShellFolderTest, BindingToParentsStepwiseAndTheDesktopAgree)
{
    CItemIDList file;
    ASSERT_EQ(file.FromPath(m_inner.c_str()), S_OK);
    CShellFolder parent;
    PCUITEMID_CHILD child = nullptr;
    ASSERT_EQ(parent.BindToParent(file.Get(), &child), S_OK);
    ASSERT_TRUE(child);
    std::wstring name;
    ASSERT_EQ(parent.GetDisplayNameOf(child, SHGDN_INFOLDER, name), S_OK);
    EXPECT_EQ(name, ShellDisplayName(m_inner));

    CShellFolder stepwise, direct;
    const CItemIDList parentList = file.CloneParent();
    ASSERT_EQ(stepwise.BindToStepwise(parentList), S_OK);
    ASSERT_EQ(direct.BindTo(parentList), S_OK);
    std::wstring viaSteps, viaDirect;
    ASSERT_EQ(stepwise.GetDisplayNameOf(child, SHGDN_FORPARSING, viaSteps), S_OK);
    ASSERT_EQ(direct.GetDisplayNameOf(child, SHGDN_FORPARSING, viaDirect), S_OK);
    EXPECT_EQ(viaSteps, m_inner);
    EXPECT_EQ(viaDirect, m_inner);

    CShellFolder desktop;
    ASSERT_EQ(desktop.BindTo(CItemIDList()), S_OK);
    ASSERT_EQ(desktop.GetDisplayNameOf(file.Get(), SHGDN_FORPARSING, name), S_OK);
    EXPECT_EQ(name, m_inner);
    // The name path from the photo folder down, against the names the platform gives each part.
    CShellFolder photos;
    ASSERT_EQ(photos.BindTo(m_folderList), S_OK);
    std::wstring namePath;
    ASSERT_EQ(photos.GetNamePath(file.GetChildPart(m_folderList).Get(), namePath), S_OK);
    EXPECT_EQ(namePath, ShellDisplayName(m_temp / L"写真\\サブフォルダー") + L"\\" + ShellDisplayName(m_inner));
    EXPECT_EQ(CompareItemIDLists(m_folderList.Get(), file.Get()), -1);
    EXPECT_EQ(CompareItemIDLists(file.Get(), m_folderList.Get()), 1);
}

TEST_F(ShellFolderTest, AttributesEffectsAndDataObjects)
{
    CShellFolder folder;
    folder.BindToOrThrow(m_folderList);
    CItemIDList file, sub;
    ASSERT_EQ(folder.FindChildByName(L"日本語ファイル.txt", file, SHGDN_INFOLDER | SHGDN_FORPARSING), S_OK);
    ASSERT_EQ(folder.FindChildByName(L"サブフォルダー", sub, SHGDN_INFOLDER | SHGDN_FORPARSING), S_OK);
    const PCUITEMID_CHILD both[] = {file.Get(), sub.Get()};

    SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    folder.GetAttributesOfOrThrow(file.Get(), attributes);
    EXPECT_EQ(attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM), static_cast<SFGAOF>(SFGAO_FILESYSTEM));
    DWORD effects = 0xFF;
    ASSERT_EQ(folder.GetAllowedEffects(both, effects), S_OK);
    EXPECT_EQ(effects & ~static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK), 0u);
    if (!(effects & DROPEFFECT_COPY)) ADD_FAILURE() << "a plain file cannot be copied";

    // The data object of two children lists both paths as dropped files.
    ATL::CComPtr<IDataObject> data;
    folder.CreateDataObjectOrThrow(both, &data);
    ASSERT_TRUE(data);
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        GTEST_SKIP() << "this shell's data object of items offers no dropped-file list";
    }
    const HDROP drop = static_cast<HDROP>(medium.hGlobal);
    std::vector<std::wstring> paths;
    for (UINT i = 0, n = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
        wchar_t path[MAX_PATH] = L"";
        ::DragQueryFileW(drop, i, path, MAX_PATH);
        paths.push_back(path);
    }
    ::ReleaseStgMedium(&medium);
    EXPECT_EQ(paths, (std::vector<std::wstring>{m_file, m_temp / L"写真\\サブフォルダー"}));
}

TEST_F(ShellFolderTest, RenamingChangesTheFileOnDisk)
{
    CShellFolder folder;
    ASSERT_EQ(folder.BindTo(m_folderList), S_OK);
    CItemIDList file;
    ASSERT_EQ(folder.FindChildByName(L"日本語ファイル.txt", file, SHGDN_INFOLDER | SHGDN_FORPARSING), S_OK);
    PITEMID_CHILD renamed = nullptr;
    folder.SetNameOfOrThrow(file.Get(), L"改名した.txt", &renamed);
    const CItemIDList owned(renamed);
    EXPECT_EQ(::GetFileAttributesW(m_file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW((m_temp / L"写真\\改名した.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    if (!owned.IsNull()) {
        std::wstring name;
        ASSERT_EQ(folder.GetDisplayNameOf(owned.Get(), SHGDN_FORPARSING, name), S_OK);
        EXPECT_EQ(name, m_temp / L"写真\\改名した.txt");
    }
    // A name the file system refuses is an error from the string table.
    const my::CException e = CaughtOf([&] { folder.SetNameOfOrThrow(owned.Get(), L"a\\b?.txt", nullptr); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_SHELL_SET_NAME_FAILED));
    EXPECT_NE(::GetFileAttributesW((m_temp / L"写真\\改名した.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShellFolderTest, FindDataOfAChild)
{
    CShellFolder folder;
    ASSERT_EQ(folder.BindTo(m_folderList), S_OK);
    CItemIDList file;
    ASSERT_EQ(folder.FindChildByName(L"日本語ファイル.txt", file, SHGDN_INFOLDER | SHGDN_FORPARSING), S_OK);
    WIN32_FIND_DATAW data = {};
    const HRESULT hr = folder.GetFindDataOf(file.Get(), data);
    if (hr != S_OK)
        GTEST_SKIP() << "this shell gives no find data as a detail of its items (0x" << std::hex << hr << ")";
    EXPECT_EQ(std::wstring(data.cFileName), L"日本語ファイル.txt");
    EXPECT_EQ(data.nFileSizeLow, 3u);
}

// Lists under a made-up root record compare in a defined, antisymmetric order, whether or not
// the shell binds the root (Wine's desktop does).
TEST(CompareItemIDLists, ListsUnderAJunkRootCompareAntisymmetrically)
{
    const CItemIDList a = MakeItemIDList({"\x7Fjunk-root", "alpha"}), b = MakeItemIDList({"\x7Fjunk-root", "beta"});
    const CItemIDList aLonger = MakeItemIDList({"\x7Fjunk-root", "alpha", "x"});
    const int ab = CompareItemIDLists(a.Get(), b.Get());
    EXPECT_TRUE(ab == -1 || ab == 1) << ab;
    EXPECT_EQ(CompareItemIDLists(b.Get(), a.Get()), -ab);
    EXPECT_EQ(CompareItemIDLists(a.Get(), a.Get()), 0);
    EXPECT_EQ(CompareItemIDLists(a.Get(), aLonger.Get()), -1);
    EXPECT_EQ(CompareItemIDLists(aLonger.Get(), a.Get()), 1);
    EXPECT_EQ(CompareItemIDLists(nullptr, a.Get()), -1);
    EXPECT_EQ(CompareItemIDLists(nullptr, nullptr), 0);
}

// A file is no folder: the shell cannot bind the common part, and the bytes of the first
// differing records decide. The two records are of files alike but for their names.
TEST(CompareItemIDLists, UnderAFileTheRecordBytesDecide)
{
    CTempFolder temp;
    const std::wstring path = temp.WriteFile(L"写真.txt", "1");
    CItemIDList file;
    ASSERT_EQ(file.FromPath(path.c_str()), S_OK);
    ASSERT_TRUE(FAILED(CShellFolder().BindTo(file))) << "the shell binds a file as a folder";
    const FILETIME when = {0x12345678, 0x01D00000};
    CItemIDList records[2];
    for (int i = 0; i < 2; ++i) {
        const std::wstring name = temp.WriteFile(i ? L"b.txt" : L"a.txt", "same");
        const CUniqueKernelHandle handle(
            ::CreateFileW(name.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(handle.Get(), &when, &when, &when));
        CItemIDList own;
        ASSERT_EQ(own.FromPath(name.c_str()), S_OK);
        ASSERT_EQ(records[i].Combine(file.Get(), own.GetLastItem()), S_OK);
    }
    EXPECT_EQ(CompareItemIDLists(records[0].Get(), records[1].Get()), -1);
    EXPECT_EQ(CompareItemIDLists(records[1].Get(), records[0].Get()), 1);
}

TEST(CompareItemIDLists, AcrossTwoFoldersTheShellOrderDecides)
{
    CTempFolder temp;
    const std::wstring first = temp.WriteFile(L"あ\\z.txt", "1"), second = temp.WriteFile(L"い\\a.txt", "2");
    CItemIDList a, b;
    ASSERT_EQ(a.FromPath(first.c_str()), S_OK);
    ASSERT_EQ(b.FromPath(second.c_str()), S_OK);
    // The folders あ and い differ first: their order, not the files', decides.
    CShellFolder parent;
    ASSERT_EQ(parent.BindTo(a.CloneParent().CloneParent()), S_OK);
    CItemIDList folderA = a.CloneParent(), folderB = b.CloneParent();
    const int folders = parent.CompareIDs(0, folderA.GetLastItem(), folderB.GetLastItem());
    ASSERT_NE(folders, -2);
    ASSERT_NE(folders, 0);
    EXPECT_EQ(CompareItemIDLists(a.Get(), b.Get()), folders);
    EXPECT_EQ(CompareItemIDLists(b.Get(), a.Get()), -folders);
}

TEST(ItemIDListNames, SpecialFoldersEmptyListsCombinationAndExtensions)
{
    CItemIDList desktop, computer, appData;
    ASSERT_EQ(desktop.FromDesktop(), S_OK);
    EXPECT_TRUE(desktop.IsEmpty());
    desktop.FromDesktopOrThrow();
    ASSERT_EQ(computer.FromComputer(), S_OK);
    EXPECT_EQ(computer.GetItemCount(), 1u);
    if (FAILED(CItemIDList().FromRecycleBin())) ADD_FAILURE() << "no recycle bin in the namespace";
    ASSERT_EQ(appData.FromSpecialFolder(CSIDL_APPDATA), S_OK);
    wchar_t expected[MAX_PATH] = L"";
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, expected), S_OK);
    EXPECT_EQ(PathOf(appData), expected);
    CItemIDList bogus(appData);
    EXPECT_TRUE(FAILED(bogus.FromSpecialFolder(0x7E)));
    EXPECT_TRUE(bogus.IsNull());

    CItemIDList empty;
    ASSERT_EQ(empty.MakeEmpty(), S_OK);
    EXPECT_EQ(empty.GetSize(), 2u);
    // Combined into itself: the list's own records twice, one terminator.
    CItemIDList twice(appData);
    ASSERT_EQ(twice.Combine(twice.Get(), twice.Get()), S_OK);
    EXPECT_EQ(twice.GetSize(), 2 * appData.GetSize() - 2);
    EXPECT_EQ(twice.GetItemCount(), 2 * appData.GetItemCount());
    ASSERT_EQ(twice.Combine(nullptr, appData.Get()), S_OK);
    EXPECT_TRUE(::ILIsEqual(twice.Get(), appData.Get()));
    ASSERT_EQ(twice.Combine(nullptr, nullptr), S_OK);
    EXPECT_EQ(twice.GetSize(), 2u);

    const struct {
        const char* narrow;
        const wchar_t* wide;
        const wchar_t* extension;
    } cases[] = {
        {"photo.JPG", L"photo.JPG", L"JPG"},
        {"a.tar.gz", L"a.tar.gz", L"gz"},
        {"none", L"none", L""},
        {"dot.", L"dot.", L""},
        {".hidden", L".hidden", L"hidden"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetFileExtension(c.narrow), c.extension) << c.narrow;
        EXPECT_EQ(GetFileExtension(c.wide), c.extension) << c.narrow;
    }
    EXPECT_EQ(GetFileExtension("x.\xE9t\xE9"), L"\u00E9t\u00E9");
    EXPECT_EQ(GetFileExtension(L"写真.ｊｐｇ"), L"ｊｐｇ");
}

// A folder that counts what it is asked, and whose enumerator never manages to give a child.
class CCountingFolder : public ATL::CComObjectRootEx<ATL::CComSingleThreadModel>, public IShellFolder2 {
public:
    BEGIN_COM_MAP(CCountingFolder)
        COM_INTERFACE_ENTRY(IShellFolder2)
        COM_INTERFACE_ENTRY(IShellFolder)
    END_COM_MAP()

    class CFailingEnum : public ATL::CComObjectRootEx<ATL::CComSingleThreadModel>, public IEnumIDList {
    public:
        BEGIN_COM_MAP(CFailingEnum)
            COM_INTERFACE_ENTRY(IEnumIDList)
        END_COM_MAP()
        STDMETHOD(Next)(ULONG, LPITEMIDLIST*, ULONG* fetched) override
        {
            ++*m_calls;
            if (fetched) *fetched = 12345; // garbage, as a failing call may leave
            return E_FAIL;
        }
        STDMETHOD(Skip)(ULONG) override { return E_NOTIMPL; }
        STDMETHOD(Reset)() override { return E_NOTIMPL; }
        STDMETHOD(Clone)(IEnumIDList**) override { return E_NOTIMPL; }
        int* m_calls = nullptr;
    };

    STDMETHOD(ParseDisplayName)(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*) override { return E_NOTIMPL; }
    STDMETHOD(EnumObjects)(HWND, SHCONTF, IEnumIDList** out) override
    {
        ATL::CComObject<CFailingEnum>* enumerator = nullptr;
        HRESULT hr = ATL::CComObject<CFailingEnum>::CreateInstance(&enumerator);
        if (FAILED(hr)) return hr;
        enumerator->m_calls = &m_nextCalls;
        return enumerator->QueryInterface(IID_IEnumIDList, reinterpret_cast<void**>(out));
    }
    STDMETHOD(BindToObject)(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHOD(BindToStorage)(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHOD(CompareIDs)(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return m_compareResult; }
    STDMETHOD(CreateViewObject)(HWND, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHOD(GetAttributesOf)(UINT, LPCITEMIDLIST*, SFGAOF* inOut) override
    {
        *inOut &= m_attributes;
        return S_OK;
    }
    STDMETHOD(GetUIObjectOf)(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override
    {
        ++m_uiObjectCalls;
        return E_NOTIMPL;
    }
    STDMETHOD(GetDisplayNameOf)(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    STDMETHOD(SetNameOf)(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST*) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultSearchGUID)(GUID*) override { return E_NOTIMPL; }
    STDMETHOD(EnumSearches)(IEnumExtraSearch**) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultColumn)(DWORD, ULONG*, ULONG*) override { return E_NOTIMPL; }
    STDMETHOD(GetDefaultColumnState)(UINT, SHCOLSTATEF*) override { return E_NOTIMPL; }
    STDMETHOD(GetDetailsOf)(LPCITEMIDLIST, UINT, SHELLDETAILS*) override { return E_NOTIMPL; }
    STDMETHOD(MapColumnToSCID)(UINT, SHCOLUMNID*) override { return E_NOTIMPL; }
    // The find-data detail as a byte array of `m_detailBytes` bytes, or as a text.
    STDMETHOD(GetDetailsEx)(LPCITEMIDLIST, const SHCOLUMNID* column, VARIANT* value) override
    {
        if (column->pid != 0 || !::IsEqualGUID(column->fmtid, FMTID_ShellDetailsCopy())) return E_INVALIDARG;
        if (m_detailBytes < 0) {
            value->vt = VT_BSTR;
            value->bstrVal = ::SysAllocString(L"not a record");
            return S_OK;
        }
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(m_detailBytes));
        void* bytes = nullptr;
        ::SafeArrayAccessData(array, &bytes);
        std::memcpy(bytes, &m_findData, std::min<size_t>(sizeof(m_findData), static_cast<size_t>(m_detailBytes)));
        ::SafeArrayUnaccessData(array);
        value->vt = VT_ARRAY | VT_UI1;
        value->parray = array;
        return S_OK;
    }
    static GUID FMTID_ShellDetailsCopy()
    {
        return {0x28636AA6, 0x953D, 0x11D2, {0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
    }

    int m_detailBytes = sizeof(WIN32_FIND_DATAW);
    WIN32_FIND_DATAW m_findData = {};
    int m_nextCalls = 0;
    int m_uiObjectCalls = 0;
    HRESULT m_compareResult = S_OK;
    SFGAOF m_attributes = 0;
};

TEST(ShellFolderFaults, FailingEnumeratorsEmptyItemArraysAndUnboundFolders)
{
    ATL::CComObject<CCountingFolder>* fake = nullptr;
    ASSERT_EQ(ATL::CComObject<CCountingFolder>::CreateInstance(&fake), S_OK);
    ATL::CComPtr<IShellFolder> keep(fake);
    CShellFolder folder;
    folder.Bind(fake);

    CItemIDList found;
    EXPECT_EQ(folder.FindChildByName(L"x", found), E_FAIL);
    EXPECT_TRUE(found.IsNull());
    EXPECT_GE(fake->m_nextCalls, 1);
    EXPECT_LE(fake->m_nextCalls, 10);
    EXPECT_FALSE(folder.HasItems(nullptr, SHCONTF_NONFOLDERS));

    ATL::CComPtr<IDataObject> data;
    EXPECT_EQ(folder.CreateDataObject({}, &data), E_INVALIDARG);
    EXPECT_EQ(fake->m_uiObjectCalls, 0);
    const my::CException e = CaughtOf([&] { folder.CreateDataObjectOrThrow({}, &data); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_SHELL_DATA_OBJECT_FAILED));
    EXPECT_EQ(e.m_code, static_cast<UINT>(E_INVALIDARG));

    // The sign of the 16-bit code of the result, whatever the upper bits say.
    CItemIDList one;
    ASSERT_EQ(one.FromComputer(), S_OK);
    const struct {
        HRESULT result;
        int order;
    } compares[] = {{MAKE_HRESULT(0, 0, 0), 0},       {MAKE_HRESULT(0, 0, 1), 1},      {MAKE_HRESULT(0, 0, 0xFFFF), -1},
                    {MAKE_HRESULT(0, 0, 0x8000), -1}, {MAKE_HRESULT(0, 0, 0x7FFF), 1}, {E_FAIL, -2}};
    for (const auto& c : compares) {
        fake->m_compareResult = c.result;
        EXPECT_EQ(folder.CompareIDs(0, one.Get(), one.Get()), c.order) << std::hex << c.result;
    }
    CItemIDList empty;
    ASSERT_EQ(empty.MakeEmpty(), S_OK);
    EXPECT_EQ(folder.CompareIDs(0, empty.Get(), one.Get()), -1);
    EXPECT_EQ(folder.CompareIDs(0, one.Get(), empty.Get()), 1);

    fake->m_attributes = SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_FOLDER;
    DWORD effects = 0;
    ASSERT_EQ(folder.GetAllowedEffects(one.Get(), effects), S_OK);
    EXPECT_EQ(effects, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_LINK));

    // Find data only from a byte array that holds a whole record.
    fake->m_findData.nFileSizeLow = 4321;
    ::lstrcpyW(fake->m_findData.cFileName, L"詳細.txt");
    const struct {
        int bytes;
        HRESULT result;
        DWORD size;
    } details[] = {{sizeof(WIN32_FIND_DATAW), S_OK, 4321},
                   {sizeof(WIN32_FIND_DATAW) + 8, S_OK, 4321},
                   {100, E_UNEXPECTED, 7},
                   {0, E_UNEXPECTED, 7},
                   {-1, E_UNEXPECTED, 7}};
    for (const auto& c : details) {
        fake->m_detailBytes = c.bytes;
        WIN32_FIND_DATAW data = {};
        data.nFileSizeLow = 7;
        EXPECT_EQ(folder.GetFindDataOf(one.Get(), data), c.result) << c.bytes;
        EXPECT_EQ(data.nFileSizeLow, c.size) << c.bytes;
        if (c.result == S_OK) {
            EXPECT_EQ(std::wstring(data.cFileName), L"詳細.txt");
        }
    }

    CShellFolder unbound;
    SFGAOF attributes = 0;
    std::wstring name;
    EXPECT_EQ(unbound.GetAttributesOf(one.Get(), attributes), E_HANDLE);
    EXPECT_EQ(unbound.GetDisplayNameOf(one.Get(), 0, name), E_HANDLE);
    EXPECT_EQ(unbound.GetNamePath(one.Get(), name), E_HANDLE);
    EXPECT_EQ(unbound.SetNameOf(one.Get(), L"x", nullptr), E_HANDLE);
    EXPECT_EQ(unbound.FindChildByName(L"x", found), E_HANDLE);
    EXPECT_EQ(unbound.CompareIDs(0, one.Get(), one.Get()), -2);
    EXPECT_FALSE(unbound.HasItems(nullptr, SHCONTF_NONFOLDERS));
    const my::CException attributesError = CaughtOf([&] { unbound.GetAttributesOfOrThrow(one.Get(), attributes); });
    EXPECT_EQ(attributesError.m_id, static_cast<UINT>(IDS_SHELL_ATTRIBUTES_FAILED));
}

} // namespace
