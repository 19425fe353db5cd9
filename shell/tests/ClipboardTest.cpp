#include "shell/Clipboard.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/ResString.h"
#include "ids/clipboard.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

HGLOBAL BlockOf(const std::vector<BYTE>& bytes)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty()) std::memcpy(::GlobalLock(memory), bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    return memory;
}

template <class T> void Append(std::vector<BYTE>& bytes, const T& value)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof(T));
}

UINT IdListFormat() { return ::RegisterClipboardFormatW(CFSTR_SHELLIDLIST); }

template <class F> UINT ThrownId(F f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

class Clipboard : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                     nullptr);
        m_items = {m_temp / L"one.jpg", m_temp / L"二つ目.txt", m_temp / L"three"};
        WriteFileBytes(*m_items.begin(), "1");
        WriteFileBytes(*std::next(m_items.begin()), "2");
        ::CreateDirectoryW(m_items.back().c_str(), nullptr);
    }
    void TearDown() override
    {
        if (::OpenClipboard(m_window)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        ::DestroyWindow(m_window);
        EXPECT_TRUE(m_temp.Remove());
    }

    // Puts blocks on an emptied clipboard, in the order given.
    void Put(const std::vector<std::pair<UINT, HGLOBAL>>& blocks)
    {
        CClipboard clipboard(m_window);
        EmptyClipboardChecked(true);
        for (const auto& block : blocks) ASSERT_TRUE(::SetClipboardData(block.first, block.second));
    }

    HRESULT ReadFileList(std::list<std::wstring>& paths)
    {
        CClipboard clipboard(m_window);
        return GetClipboardFileList(clipboard, paths);
    }

    std::vector<CItemIDList> FullLists(const std::list<std::wstring>& paths)
    {
        std::vector<CItemIDList> lists;
        for (const std::wstring& path : paths) lists.emplace_back(::ILCreateFromPathW(path.c_str()));
        return lists;
    }

    HGLOBAL DropOf(const std::list<std::wstring>& paths)
    {
        std::wstring list;
        ListToMultiString(paths, list);
        HGLOBAL drop = nullptr;
        MakeDropFilesOrThrow(drop, list);
        return drop;
    }

    CTempFolder m_temp;
    HWND m_window = nullptr;
    std::list<std::wstring> m_items;
};

} // namespace

TEST_F(Clipboard, TextRoundTripsThroughTheSystemClipboard)
{
    const std::wstring text = L"Fernhollow テキスト\r\nline two";
    CopyTextToClipboard(m_window, text);
    CClipboard clipboard(m_window);
    std::wstring back;
    ASSERT_TRUE(GetClipboardUnicodeText(back));
    EXPECT_EQ(back, text);
    // The system's own view of the block.
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(::GlobalLock(data))), text);
    ::GlobalUnlock(data);
    EmptyClipboardChecked(true);
    EXPECT_FALSE(GetClipboardUnicodeText(back));
}

TEST_F(Clipboard, TextWithoutItsNulIsReadUpToTheBlockEnd)
{
    const std::wstring text = L"no terminator";
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.data()),
                            reinterpret_cast<const BYTE*>(text.data() + text.size()));
    Put({{CF_UNICODETEXT, BlockOf(bytes)}});
    CClipboard clipboard(m_window);
    std::wstring back;
    ASSERT_TRUE(GetClipboardUnicodeText(back));
    // Wine ends the stored text with a NUL of its own; either way nothing past the block is read.
    EXPECT_EQ(text.compare(0, back.size(), back), 0);
    EXPECT_GE(back.size(), text.size() - 1);
    EXPECT_LE(back.size(), ::GlobalSize(::GetClipboardData(CF_UNICODETEXT)) / sizeof(wchar_t));
}

TEST_F(Clipboard, DropEffectRoundTrips)
{
    struct Case {
        bool put;
        DWORD effect;
        DWORD expected;
        int cut; // 1 true, 0 false, -1 throws
    };
    const Case cases[] = {
        {false, 0, DROPEFFECT_COPY, 0},
        {true, DROPEFFECT_COPY, DROPEFFECT_COPY, 0},
        {true, DROPEFFECT_MOVE, DROPEFFECT_MOVE, 1},
        {true, DROPEFFECT_COPY | DROPEFFECT_LINK, 5, -1},
        {true, DROPEFFECT_NONE, DROPEFFECT_NONE, -1},
    };
    for (const Case& c : cases) {
        {
            CClipboard clipboard(m_window);
            EmptyClipboardChecked(true);
            if (c.put) SetClipboardDropEffect(c.effect);
        }
        CClipboard clipboard(m_window);
        DWORD effect = 99;
        EXPECT_EQ(GetClipboardDropEffect(effect), S_OK);
        EXPECT_EQ(effect, c.expected);
        if (c.put) {
            // The system sees the registered format with the value.
            HANDLE data = ::GetClipboardData(::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
            ASSERT_TRUE(data);
            EXPECT_EQ(*static_cast<const DWORD*>(::GlobalLock(data)), c.effect);
            ::GlobalUnlock(data);
        }
        if (c.cut >= 0) {
            EXPECT_EQ(IsClipboardCut(), c.cut == 1);
        } else {
            try {
                IsClipboardCut();
                ADD_FAILURE() << "no exception for " << c.effect;
            } catch (const my::CException& e) {
                EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_DROP_EFFECT_UNSUPPORTED));
                std::wstring expected;
                FormatResString(expected, IDS_DROP_EFFECT_UNSUPPORTED, std::to_wstring(c.effect).c_str());
                EXPECT_EQ(e.m_message, expected);
            }
        }
    }
}

TEST_F(Clipboard, AShortDropEffectBlockIsRefused)
{
    Put({{::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), BlockOf({2, 0})}});
    CClipboard clipboard(m_window);
    DWORD effect = 0;
    EXPECT_TRUE(FAILED(GetClipboardDropEffect(effect)));
    EXPECT_EQ(ThrownId([] { GetClipboardDropEffectOrThrow(); }), static_cast<UINT>(IDS_DROP_EFFECT_FAILED));
}

TEST_F(Clipboard, FileListRoundTripsAsFileDrop)
{
    Put({{CF_HDROP, DropOf(m_items)}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, m_items);
    // The shell reads the same block the same way.
    CClipboard clipboard(m_window);
    HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    ASSERT_EQ(::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), m_items.size());
    auto item = m_items.begin();
    for (UINT i = 0; i < m_items.size(); ++i, ++item) {
        wchar_t name[MAX_PATH] = L"";
        ::DragQueryFileW(drop, i, name, MAX_PATH);
        EXPECT_EQ(std::wstring(name), *item);
    }
}

TEST_F(Clipboard, FileListRoundTripsAsShellIdListArray)
{
    const std::vector<CItemIDList> lists = FullLists(m_items);
    HGLOBAL array = nullptr;
    ASSERT_EQ(MakeShellIdListArray(array, lists), S_OK);
    std::vector<CItemIDList> parsed;
    ASSERT_EQ(ParseShellIdListArray(array, parsed), S_OK);
    ASSERT_EQ(parsed.size(), lists.size());
    for (size_t i = 0; i < lists.size(); ++i) EXPECT_TRUE(::ILIsEqual(parsed[i].Get(), lists[i].Get())) << i;

    Put({{IdListFormat(), array}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, m_items);
}

TEST_F(Clipboard, TheFormatListedFirstWins)
{
    const std::list<std::wstring> first = {m_items.front()};
    const std::list<std::wstring> second = {m_items.back()};
    HGLOBAL array = nullptr;
    ASSERT_EQ(MakeShellIdListArray(array, FullLists(first)), S_OK);
    Put({{IdListFormat(), array}, {CF_HDROP, DropOf(second)}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, first);

    ASSERT_EQ(MakeShellIdListArray(array, FullLists(first)), S_OK);
    Put({{CF_HDROP, DropOf(second)}, {IdListFormat(), array}});
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, second);
}

TEST_F(Clipboard, NarrowFileDropUsesTheThreadCodePage)
{
    const std::wstring name = m_temp / L"日本.jpg";
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, name.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    std::wstring expected(static_cast<size_t>(::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.c_str(), -1, nullptr, 0)),
                          L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.c_str(), -1, expected.data(), static_cast<int>(expected.size()));
    expected.resize(expected.size() - 1);

    std::vector<BYTE> bytes;
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    Append(bytes, header);
    bytes.insert(bytes.end(), narrow.begin(), narrow.end()); // with its NUL
    bytes.push_back(0);
    Put({{CF_HDROP, BlockOf(bytes)}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, std::list<std::wstring>{expected});
}

TEST_F(Clipboard, MalformedBlocksFromOtherProcessesAreRefused)
{
    const size_t header = sizeof(DROPFILES);
    auto drop = [&](DWORD pFiles, BOOL wide, const std::vector<BYTE>& tail) {
        std::vector<BYTE> bytes;
        DROPFILES h = {};
        h.pFiles = pFiles;
        h.fWide = wide;
        Append(bytes, h);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    auto ida = [](const std::vector<UINT>& words, const std::vector<BYTE>& tail) {
        std::vector<BYTE> bytes;
        for (UINT w : words) Append(bytes, w);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    struct Case {
        const char* what;
        UINT format;
        std::vector<BYTE> bytes;
    };
    const std::vector<Case> cases = {
        {"drop shorter than its header", CF_HDROP, std::vector<BYTE>(8, 0)},
        {"names beyond the block", CF_HDROP, drop(0x7FFFFFF0, TRUE, {0, 0, 0, 0})},
        {"wide names never ended", CF_HDROP, drop(header, TRUE, std::vector<BYTE>(64, 'x'))},
        {"narrow names never ended", CF_HDROP, drop(header, FALSE, std::vector<BYTE>(64, 'x'))},
        {"last name without the empty one", CF_HDROP, drop(header, TRUE, {'a', 0, 0, 0})},
        {"array shorter than its count", IdListFormat(), {1, 0}},
        {"count beyond the block", IdListFormat(), ida({0x40000000, 12, 12}, {0, 0})},
        {"offset beyond the block", IdListFormat(), ida({1, 12, 0x10000}, {0, 0})},
        {"list running past the end", IdListFormat(), ida({1, 12, 14}, {0, 0, 0x40, 0, 1, 2})},
        {"record of size one", IdListFormat(), ida({1, 12, 14}, {0, 0, 1, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        Put({{c.format, BlockOf(c.bytes)}});
        std::list<std::wstring> paths = {L"stale"};
        EXPECT_TRUE(FAILED(ReadFileList(paths))) << c.what;
        EXPECT_TRUE(paths.empty()) << c.what;
    }
}

TEST_F(Clipboard, RandomBlocksNeverReadPastTheirEnd)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; ++round) {
        std::vector<BYTE> bytes(random() % 96);
        for (BYTE& b : bytes) b = static_cast<BYTE>(random() % 4 == 0 ? 0 : random());
        if (bytes.size() >= 4 && round % 2) bytes[0] = static_cast<BYTE>(random() % 4); // small counts
        HGLOBAL block = BlockOf(bytes);
        std::list<std::wstring> paths;
        if (SUCCEEDED(ReadDropFiles(block, paths))) {
            size_t chars = 0;
            for (const std::wstring& path : paths) chars += path.size() + 1;
            EXPECT_LE(chars, bytes.size());
        }
        std::vector<CItemIDList> lists;
        if (SUCCEEDED(ParseShellIdListArray(block, lists))) {
            UINT count = 0;
            std::memcpy(&count, bytes.data(), sizeof(count));
            EXPECT_EQ(lists.size(), count);
            for (const CItemIDList& list : lists) EXPECT_LE(list.GetSize(), bytes.size() * 2);
        }
        ::GlobalFree(block);
    }
}

TEST_F(Clipboard, FormatChecksAndArgumentErrors)
{
    {
        CClipboard clipboard(m_window);
        EmptyClipboardChecked(true);
        EXPECT_EQ(CheckClipboardFormat({CF_HDROP}, false), 0);
        EXPECT_EQ(ThrownId([] { CheckClipboardFormat({CF_HDROP}, true); }), static_cast<UINT>(IDS_CLIPBOARD_EMPTY));
        SetClipboardUnicodeText(L"x");
        EXPECT_EQ(CheckClipboardFormat({CF_HDROP}, false), -1);
        EXPECT_EQ(ThrownId([] { CheckClipboardFormat({CF_HDROP}, true); }),
                  static_cast<UINT>(IDS_CLIPBOARD_FORMAT_UNSUPPORTED));
        EXPECT_EQ(CheckClipboardFormat({CF_HDROP, CF_UNICODETEXT}, true), static_cast<int>(CF_UNICODETEXT));
        EXPECT_EQ(ThrownId([] { GetClipboardDataOrThrow(CF_HDROP); }), static_cast<UINT>(IDS_CLIPBOARD_DATA_FAILED));
        std::list<std::wstring> paths;
        EXPECT_TRUE(FAILED(GetClipboardFileList(clipboard, paths)));
        clipboard.Close();
        EXPECT_EQ(GetClipboardFileList(clipboard, paths), HRESULT_FROM_WIN32(ERROR_CLIPBOARD_NOT_OPEN));
    }
    HGLOBAL out = nullptr;
    EXPECT_EQ(MakeDropFiles(out, L""), E_INVALIDARG);
    EXPECT_EQ(ThrownId([&] { MakeDropFilesOrThrow(out, L""); }), static_cast<UINT>(IDS_DROP_FILES_FAILED));
    EXPECT_EQ(MakeShellIdListArray(out, {}), E_INVALIDARG);
    EXPECT_EQ(out, nullptr);
}

TEST_F(Clipboard, ADropFilesBlockHasTheDocumentedLayout)
{
    HGLOBAL block = nullptr;
    ASSERT_EQ(MakeDropFiles(block, std::wstring(L"a\0b\0\0", 5)), S_OK);
    CGlobalMemory owner(block);
    CGlobalLocker lock(block);
    const auto* drop = static_cast<const DROPFILES*>(lock.Get());
    EXPECT_EQ(drop->pFiles, 20u);
    EXPECT_EQ(drop->pt.x, 0);
    EXPECT_EQ(drop->pt.y, 0);
    EXPECT_FALSE(drop->fNC);
    EXPECT_TRUE(drop->fWide);
    std::list<std::wstring> paths;
    lock.Unlock();
    ASSERT_EQ(ReadDropFiles(block, paths), S_OK);
    EXPECT_EQ(paths, (std::list<std::wstring>{L"a", L"b"}));
}

TEST_F(Clipboard, ABlockTheClipboardRefusesStaysWithItsOwner)
{
    // Not open: the system refuses the data.
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(4, GMEM_MOVEABLE));
    EXPECT_EQ(ThrownId([&] { SetClipboardDataOrThrow(CF_UNICODETEXT, memory); }),
              static_cast<UINT>(IDS_CLIPBOARD_SET_FAILED));
    EXPECT_NE(memory.Get(), nullptr);
    {
        CClipboard clipboard(m_window);
        EmptyClipboardChecked(true);
        SetClipboardDataOrThrow(CF_UNICODETEXT, memory);
        EXPECT_EQ(memory.Get(), nullptr);
    }
}

TEST_F(Clipboard, EveryMessageHasBothLanguages)
{
    const UINT ids[] = {IDS_MEMORY_ALLOC_FAILED, IDS_MEMORY_LOCK_FAILED, IDS_DROP_FILES_FAILED,
                        IDS_DROP_EFFECT_UNSUPPORTED, IDS_OLE_CLIPBOARD_SET_FAILED, IDS_OLE_CLIPBOARD_FLUSH_FAILED,
                        IDS_CLIPBOARD_FORMAT_REGISTER_FAILED, IDS_CLIPBOARD_EMPTY, IDS_CLIPBOARD_FORMAT_UNSUPPORTED,
                        IDS_CLIPBOARD_EMPTY_FAILED, IDS_CLIPBOARD_SET_FAILED, IDS_CLIPBOARD_DATA_SIZE_INVALID,
                        IDS_CLIPBOARD_OPEN_FAILED, IDS_CLIPBOARD_DATA_FAILED, IDS_DROP_EFFECT_FAILED};
    for (UINT id : ids) {
        for (LANGID language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)}) {
            HRSRC found = ::FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
            EXPECT_TRUE(found) << id << " " << language;
        }
        EXPECT_FALSE(LoadResString(id).empty()) << id;
    }
}
