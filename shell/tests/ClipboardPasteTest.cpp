#include "shell/SHFileOperator.h"

#include "ids/foundation.h"
#include "ids/shellops.h"
#include "shell/ItemIDList.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

HGLOBAL GlobalCopy(const void* data, size_t size)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(memory), data, size);
    ::GlobalUnlock(memory);
    return memory;
}

HGLOBAL MakeDrop(const std::list<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    std::vector<BYTE> bytes(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = reinterpret_cast<DROPFILES*>(bytes.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(bytes.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    return GlobalCopy(bytes.data(), bytes.size());
}

class ClipboardPaste : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                     nullptr);
        m_items = {m_temp / L"one.jpg", m_temp / L"two"};
        WriteFileBytes(m_items.front(), "x");
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

    // Puts the items (as a file drop, or as the shell's ID list array) and a drop effect on the clipboard.
    void Put(bool withEffect, DWORD effect, bool asIdList = false, bool empty = false)
    {
        ASSERT_TRUE(::OpenClipboard(m_window));
        ::EmptyClipboard();
        const std::list<std::wstring> none;
        if (asIdList) {
            ::SetClipboardData(::RegisterClipboardFormatW(CFSTR_SHELLIDLIST), MakeIdListArray(empty ? none : m_items));
        } else {
            ::SetClipboardData(CF_HDROP, MakeDrop(empty ? none : m_items));
        }
        if (withEffect) {
            ::SetClipboardData(::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT),
                               GlobalCopy(&effect, sizeof(effect)));
        }
        ::CloseClipboard();
    }

    // The parent folder's list, then each item relative to it, as the shell hands them out.
    HGLOBAL MakeIdListArray(const std::list<std::wstring>& items)
    {
        CItemIDList parent(::ILCreateFromPathW(m_temp.Path().c_str()));
        std::vector<CItemIDList> children;
        for (const std::wstring& item : items) {
            CItemIDList full(::ILCreateFromPathW(item.c_str()));
            children.push_back(full.GetChildPart(parent));
        }
        const size_t header = sizeof(UINT) * (children.size() + 2);
        std::vector<BYTE> bytes(header);
        reinterpret_cast<UINT*>(bytes.data())[0] = static_cast<UINT>(children.size());
        auto append = [&bytes](size_t slot, const CItemIDList& list) {
            reinterpret_cast<UINT*>(bytes.data())[slot] = static_cast<UINT>(bytes.size());
            const BYTE* p = reinterpret_cast<const BYTE*>(list.Get());
            bytes.insert(bytes.end(), p, p + list.GetSize());
        };
        append(1, parent);
        for (size_t i = 0; i < children.size(); ++i) append(i + 2, children[i]);
        return GlobalCopy(bytes.data(), bytes.size());
    }

    UINT Failure(const std::wstring& destination, bool asLink)
    {
        CSHFileOperator op(m_window);
        try {
            op.SetFromClipboard(destination, asLink);
        } catch (const my::CException& e) {
            return e.m_id;
        }
        return 0;
    }

    CTempFolder m_temp;
    HWND m_window = nullptr;
    std::list<std::wstring> m_items;
};

} // namespace

TEST_F(ClipboardPaste, ChoosesTheOperationFromTheDropEffect)
{
    struct Case {
        bool withEffect;
        DWORD effect;
        bool asLink;
        UINT func;
        FILEOP_FLAGS flags;
    };
    const Case cases[] = {
        {false, 0, false, FO_COPY, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
        {true, DROPEFFECT_COPY, false, FO_COPY, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
        {true, DROPEFFECT_MOVE, false, FO_MOVE, FOF_ALLOWUNDO},
        {true, DROPEFFECT_COPY | DROPEFFECT_MOVE, false, FO_COPY, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
        {true, DROPEFFECT_MOVE | DROPEFFECT_LINK, false, FO_MAKE_SHORTCUTS, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
        {true, DROPEFFECT_LINK, false, FO_MAKE_SHORTCUTS, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
        {true, DROPEFFECT_COPY, true, FO_MAKE_SHORTCUTS, FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION},
    };
    for (const Case& c : cases) {
        Put(c.withEffect, c.effect);
        CSHFileOperator op(m_window);
        op.SetFromClipboard(m_temp / L"dest", c.asLink);
        EXPECT_EQ(op.m_wFunc, c.func) << c.effect << " " << c.asLink;
        EXPECT_EQ(op.m_fFlags, c.flags) << c.effect << " " << c.asLink;
        EXPECT_EQ(op.m_from, m_items);
        EXPECT_EQ(op.m_to, m_temp / L"dest");
    }
    // The clipboard was closed again.
    EXPECT_TRUE(::OpenClipboard(m_window));
    ::CloseClipboard();
}

TEST_F(ClipboardPaste, ReadsTheShellIdListArray)
{
    Put(true, DROPEFFECT_MOVE, true);
    CSHFileOperator op(m_window);
    op.SetFromClipboard(m_temp / L"dest", false);
    EXPECT_EQ(op.m_from, m_items);
    EXPECT_EQ(op.m_wFunc, static_cast<UINT>(FO_MOVE));
}

TEST_F(ClipboardPaste, RefusesWhatTheEffectDoesNotPermit)
{
    Put(true, DROPEFFECT_MOVE);
    EXPECT_EQ(Failure(m_temp / L"dest", true), static_cast<UINT>(IDS_DROP_EFFECT_NO_LINK));
    Put(true, DROPEFFECT_NONE);
    EXPECT_EQ(Failure(m_temp / L"dest", false), static_cast<UINT>(IDS_DROP_EFFECT_NO_ACTION));
    Put(true, DROPEFFECT_COPY, true, true);
    EXPECT_EQ(Failure(m_temp / L"dest", false), static_cast<UINT>(IDS_PASTE_NOTHING));
    ASSERT_TRUE(::OpenClipboard(m_window));
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_EQ(Failure(m_temp / L"dest", false), static_cast<UINT>(IDS_CLIPBOARD_DATA_FAILED));
}

TEST_F(ClipboardPaste, AClipboardHeldByAnotherThreadCannotBeOpened)
{
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([opened, release] {
        const BOOL ok = ::OpenClipboard(nullptr);
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 10000);
        if (ok) ::CloseClipboard();
    });
    ::WaitForSingleObject(opened, 10000);
    UINT id = 0;
    try {
        CClipboard clipboard(m_window);
    } catch (const my::CException& e) {
        id = e.m_id;
    }
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
    EXPECT_EQ(id, static_cast<UINT>(IDS_CLIPBOARD_OPEN_FAILED));
}
