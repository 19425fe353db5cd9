#include "shell/Clipboard.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The bytes of `items`, then `tail`.
template <class T> std::vector<BYTE> Bytes(const std::vector<T>& items, const std::vector<BYTE>& tail = {})
{
    std::vector<BYTE> bytes(items.size() * sizeof(T));
    if (!items.empty()) std::memcpy(bytes.data(), items.data(), bytes.size());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

HGLOBAL BlockOf(const std::vector<BYTE>& bytes)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty()) std::memcpy(::GlobalLock(memory), bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    return memory;
}

UINT IdListFormat() { return ::RegisterClipboardFormatW(CFSTR_SHELLIDLIST); }

class Clipboard : public testing::Test {
protected:
    void SetUp() override
    {
        m_items = {m_temp.WriteFile(L"one.jpg", "1"), m_temp.WriteFile(L"二つ目.txt", "2"), m_temp / L"three"};
        ::CreateDirectoryW(m_items.back().c_str(), nullptr);
    }
    void TearDown() override { Put({}); }

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

    CTempFolder m_temp;
    CDeviceWindow m_window;
    std::list<std::wstring> m_items;
};

TEST_F(Clipboard, TextRoundTrips)
{
    const std::wstring text = L"Fernhollow テキスト\r\nline two";
    CopyTextToClipboard(m_window, text);
    std::wstring back;
    CClipboard clipboard(m_window);
    ASSERT_TRUE(GetClipboardUnicodeText(back));
    EXPECT_EQ(back, text);
    clipboard.Close();
    Put({});
    clipboard.Open(m_window);
    EXPECT_FALSE(GetClipboardUnicodeText(back)) << "no text on the clipboard";
}

// Another process may leave the NUL out: the text ends with the block, and nothing past it is read.
TEST_F(Clipboard, AnUnterminatedTextEndsWithItsBlock)
{
    const std::wstring text = L"Fernhollow テキスト\r\nline two";
    Put({{CF_UNICODETEXT, BlockOf(Bytes(std::vector<wchar_t>(text.begin(), text.end())))}});
    CClipboard clipboard(m_window);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(data);
    const size_t count = ::GlobalSize(data) / sizeof(wchar_t);
    const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data));
    ASSERT_TRUE(chars);
    const std::wstring stored(chars, count);
    ::GlobalUnlock(data);
    if (stored.find(L'\0') != std::wstring::npos)
        GTEST_SKIP() << "the clipboard put a NUL of its own into the block (Wine writes it over the last "
                        "character): no unterminated block can be read back here";
    ASSERT_EQ(stored.compare(0, text.size(), text), 0) << "the clipboard holds what was put there";
    std::wstring back;
    ASSERT_TRUE(GetClipboardUnicodeText(back));
    EXPECT_EQ(back, stored) << "every character of the block, and not one more";
}

TEST_F(Clipboard, DropEffectRoundTripsAndARefusedBlockStaysWithItsOwner)
{
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(4, GMEM_MOVEABLE));
    // Not open: the system refuses the data, and the block is still ours to free.
    EXPECT_THROW(SetClipboardDataOrThrow(CF_UNICODETEXT, memory), my::CException);
    EXPECT_NE(memory.Get(), nullptr);
    CClipboard clipboard(m_window);
    EmptyClipboardChecked(true);
    SetClipboardDataOrThrow(CF_UNICODETEXT, memory);
    EXPECT_EQ(memory.Get(), nullptr);
    DWORD effect = 99;
    EXPECT_EQ(GetClipboardDropEffect(effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)); // when no effect is named
    SetClipboardDropEffect(DROPEFFECT_MOVE);
    EXPECT_TRUE(IsClipboardCut());
    SetClipboardDropEffect(DROPEFFECT_COPY | DROPEFFECT_LINK);
    EXPECT_EQ(GetClipboardDropEffect(effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_LINK));
    EXPECT_THROW(IsClipboardCut(), my::CException);
    clipboard.Close();

    // A block too short for its DWORD.
    Put({{::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), BlockOf({2, 0})}});
    clipboard.Open(m_window);
    EXPECT_TRUE(FAILED(GetClipboardDropEffect(effect)));
}

TEST_F(Clipboard, FileListsRoundTrip)
{
    std::wstring list;
    ListToMultiString(m_items, list);
    HGLOBAL drop = nullptr;
    MakeDropFilesOrThrow(drop, list);
    Put({{CF_HDROP, drop}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    EXPECT_EQ(paths, m_items);
    {
        // The shell reads the same block the same way.
        CClipboard clipboard(m_window);
        wchar_t name[MAX_PATH] = L"";
        EXPECT_EQ(::DragQueryFileW(static_cast<HDROP>(::GetClipboardData(CF_HDROP)), 1, name, MAX_PATH),
                  std::next(m_items.begin())->size());
        EXPECT_EQ(std::wstring(name), *std::next(m_items.begin()));
    }

    // As the shell's ID-list array: ours (full lists under the desktop), and the shell's own form
    // (the parent folder's list, then each item relative to it).
    std::vector<CItemIDList> lists;
    for (const std::wstring& path : m_items) lists.emplace_back(::ILCreateFromPathW(path.c_str()));
    HGLOBAL ours = nullptr;
    ASSERT_EQ(MakeShellIdListArray(ours, lists), S_OK);
    const CItemIDList parent(::ILCreateFromPathW(m_temp.Path().c_str()));
    std::vector<UINT> offsets = {static_cast<UINT>(lists.size())};
    std::vector<BYTE> records;
    for (size_t i = 0; i <= lists.size(); ++i) {
        const CItemIDList part = i ? lists[i - 1].GetChildPart(parent) : parent;
        offsets.push_back(static_cast<UINT>(sizeof(UINT) * (lists.size() + 2) + records.size()));
        const BYTE* p = reinterpret_cast<const BYTE*>(part.Get());
        records.insert(records.end(), p, p + part.GetSize());
    }
    for (HGLOBAL array : {ours, BlockOf(Bytes(offsets, records))}) {
        Put({{IdListFormat(), array}});
        ASSERT_EQ(ReadFileList(paths), S_OK);
        EXPECT_EQ(paths, m_items);
    }
}

TEST_F(Clipboard, MalformedBlocksFromOtherProcessesAreRefused)
{
    // DROPFILES: pFiles, pt.x, pt.y, fNC, fWide.
    const DWORD header = sizeof(DROPFILES);
    const std::vector<BYTE> unended(64, 'x');
    const struct {
        const char* what;
        UINT format;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"drop shorter than its header", CF_HDROP, std::vector<BYTE>(8, 0)},
        {"names beyond the block", CF_HDROP, Bytes<DWORD>({0x7FFFFFF0, 0, 0, 0, TRUE}, {0, 0, 0, 0})},
        {"wide names never ended", CF_HDROP, Bytes<DWORD>({header, 0, 0, 0, TRUE}, unended)},
        {"narrow names never ended", CF_HDROP, Bytes<DWORD>({header, 0, 0, 0, FALSE}, unended)},
        {"last name without the empty one", CF_HDROP, Bytes<DWORD>({header, 0, 0, 0, TRUE}, {'a', 0, 0, 0})},
        {"array shorter than its count", IdListFormat(), {1, 0}},
        {"count beyond the block", IdListFormat(), Bytes<UINT>({0x40000000, 12, 12}, {0, 0})},
        {"offset beyond the block", IdListFormat(), Bytes<UINT>({1, 12, 0x10000}, {0, 0})},
        {"list running past the end", IdListFormat(), Bytes<UINT>({1, 12, 14}, {0, 0, 0x40, 0, 1, 2})},
        {"record of size one", IdListFormat(), Bytes<UINT>({1, 12, 14}, {0, 0, 1, 0, 0, 0})},
        {"two items sharing one list", IdListFormat(), Bytes<UINT>({2, 16, 18, 18}, {0, 0, 4, 0, 1, 2, 0, 0})},
        {"item list inside another", IdListFormat(), Bytes<UINT>({2, 16, 18, 22}, {0, 0, 4, 0, 1, 2, 0, 0})},
        {"list inside the header", IdListFormat(), Bytes<UINT>({1, 12, 4}, {0, 0})},
    };
    for (const auto& c : cases) {
        Put({{c.format, BlockOf(c.bytes)}});
        std::list<std::wstring> paths = {L"stale"};
        EXPECT_TRUE(FAILED(ReadFileList(paths))) << c.what;
        EXPECT_TRUE(paths.empty()) << c.what;
    }
}

// Blocks of 160 KB built so that a reader that walks every list for every item, or copies a shared
// list once per item, spends seconds and gigabytes on them.
TEST_F(Clipboard, HostileIdListArraysAreRefusedInOnePass)
{
    const size_t blockSize = 160 * 1024;
    const auto emptyRecords = [](size_t bytes) { // records of size 2 (no data), then the terminator
        std::vector<BYTE> list;
        for (size_t i = 0; i + 2 < bytes; i += 2) list.insert(list.end(), {2, 0});
        list.insert(list.end(), {0, 0});
        return list;
    };
    // Every item names one long list.
    const UINT shared = static_cast<UINT>(blockSize / 8);
    std::vector<UINT> sharedOffsets = {shared, 4 * (shared + 2)};
    sharedOffsets.insert(sharedOffsets.end(), shared, 4 * (shared + 2) + 2);
    std::vector<BYTE> sharedTail = {0, 0};
    const std::vector<BYTE> longList = emptyRecords(blockSize - 4 * (shared + 2) - 2);
    sharedTail.insert(sharedTail.end(), longList.begin(), longList.end());
    // A long parent list, and many items of their own, each an empty list.
    const UINT many = 16000;
    std::vector<UINT> parentOffsets = {many, 4 * (many + 2)};
    std::vector<BYTE> parentTail = emptyRecords(blockSize - 4 * (many + 2) - 2 * many);
    for (UINT i = 0; i < many; ++i)
        parentOffsets.push_back(static_cast<UINT>(4 * (many + 2) + parentTail.size() + 2 * i));
    parentTail.resize(parentTail.size() + 2 * many, 0);

    const struct {
        const char* what;
        std::vector<BYTE> bytes;
    } cases[] = {{"one list shared by every item", Bytes(sharedOffsets, sharedTail)},
                 {"a long parent repeated for every item", Bytes(parentOffsets, parentTail)}};
    for (const auto& c : cases) {
        ASSERT_LE(c.bytes.size(), blockSize) << c.what;
        HGLOBAL block = BlockOf(c.bytes);
        std::vector<CItemIDList> lists;
        LARGE_INTEGER start, end, frequency;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        const HRESULT hr = ParseShellIdListArray(block, lists);
        ::QueryPerformanceCounter(&end);
        ::GlobalFree(block);
        EXPECT_TRUE(FAILED(hr)) << c.what;
        EXPECT_TRUE(lists.empty()) << c.what;
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        std::printf("[   time   ] %s (%zu bytes): %.1f ms\n", c.what, c.bytes.size(), ms);
    }

    // The same number of items, each with a real list of its own under a real parent, is read.
    const CItemIDList parent(::ILCreateFromPathW(m_temp.Path().c_str()));
    const CItemIDList child = CItemIDList(::ILCreateFromPathW(m_items.front().c_str())).GetChildPart(parent);
    const UINT count = 1000;
    std::vector<UINT> offsets = {count};
    std::vector<BYTE> records(reinterpret_cast<const BYTE*>(parent.Get()),
                              reinterpret_cast<const BYTE*>(parent.Get()) + parent.GetSize());
    offsets.push_back(4 * (count + 2));
    for (UINT i = 0; i < count; ++i) {
        offsets.push_back(static_cast<UINT>(4 * (count + 2) + records.size()));
        const BYTE* p = reinterpret_cast<const BYTE*>(child.Get());
        records.insert(records.end(), p, p + child.GetSize());
    }
    Put({{IdListFormat(), BlockOf(Bytes(offsets, records))}});
    std::list<std::wstring> paths;
    ASSERT_EQ(ReadFileList(paths), S_OK);
    ASSERT_EQ(paths.size(), count);
    EXPECT_EQ(paths.back(), m_items.front());
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

} // namespace
