#include <WindowImpl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const UINT WM_TEST_NESTED = WM_APP + 1;
const UINT WM_TEST_PASS_ON = WM_APP + 2;
const UINT WM_TEST_THROW = WM_APP + 3;
const UINT WM_TEST_BASE_ONLY = WM_APP + 4;
const UINT WM_TEST_MEMBER_ONLY = WM_APP + 5;
const UINT WM_TEST_DESTROY_INSIDE = WM_APP + 6;

// A message map of its own, chained in as a member.
class CMemberMap : public ATL::CMessageMap {
public:
    BEGIN_MSG_MAP(CMemberMap)
        MESSAGE_HANDLER(WM_TEST_MEMBER_ONLY, OnMemberOnly)
        MESSAGE_HANDLER(WM_TEST_PASS_ON, OnPassOn)
    END_MSG_MAP()

    LRESULT OnMemberOnly(UINT, WPARAM, LPARAM, BOOL&) { return 30; }
    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL&)
    {
        ++m_passOnSeen;
        return 31;
    }
    int m_passOnSeen = 0;
};

class CBaseMap {
public:
    virtual ~CBaseMap() = default;
    BEGIN_MSG_MAP(CBaseMap)
        MESSAGE_HANDLER(WM_TEST_BASE_ONLY, OnBaseOnly)
        MESSAGE_HANDLER(WM_TEST_MEMBER_ONLY, OnBaseOnly)
    END_MSG_MAP()

    LRESULT OnBaseOnly(UINT, WPARAM, LPARAM, BOOL&) { return 20; }
};

class CTestWindow : public ATL::CWindowImpl<CTestWindow>, public CBaseMap {
public:
    DECLARE_WND_CLASS(L"FhPlatformTestWindow")

    BEGIN_MSG_MAP(CTestWindow)
        MESSAGE_RANGE_HANDLER(WM_NULL + 1, WM_APP - 1, OnAny)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_TEST_NESTED, OnNested)
        MESSAGE_HANDLER(WM_TEST_PASS_ON, OnPassOn)
        MESSAGE_HANDLER(WM_TEST_THROW, OnThrow)
        MESSAGE_HANDLER(WM_TEST_DESTROY_INSIDE, OnDestroyInside)
        CHAIN_MSG_MAP_MEMBER(m_member)
        CHAIN_MSG_MAP(CBaseMap)
    END_MSG_MAP()

    LRESULT OnAny(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (m_messages.empty()) m_firstBound = m_hWnd != nullptr;
        m_messages.push_back(uMsg);
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        m_createdAs = m_hWnd;
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnNested(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        const MSG* current = GetCurrentMessage();
        // The inner message is handled while this one is, and the outer one is current again after.
        const LRESULT inner = wParam ? SendMessage(WM_TEST_NESTED, wParam - 1, 0) : 0;
        m_currentRestored = m_currentRestored && GetCurrentMessage() == current && current->wParam == wParam;
        return inner + 1;
    }
    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        ++m_passOnSeen;
        bHandled = FALSE;
        return 10;
    }
    LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
    LRESULT OnDestroyInside(UINT, WPARAM, LPARAM, BOOL&)
    {
        ::DestroyWindow(m_hWnd);
        m_boundAfterInnerDestroy = m_hWnd != nullptr && m_finalMessages == 0;
        return 5;
    }

    void OnFinalMessage(HWND hWnd) override
    {
        ++m_finalMessages;
        m_finalHwnd = hWnd;
    }

    CMemberMap m_member;
    std::vector<UINT> m_messages;
    bool m_firstBound = false;
    HWND m_createdAs = nullptr;
    bool m_currentRestored = true;
    int m_passOnSeen = 0;
    bool m_boundAfterInnerDestroy = false;
    int m_finalMessages = 0;
    HWND m_finalHwnd = nullptr;
};

HWND CreateHidden(CTestWindow& window)
{
    RECT rect{0, 0, 200, 100};
    return window.Create(nullptr, rect, L"platform test", WS_OVERLAPPEDWINDOW);
}

} // namespace

TEST(WindowImpl, TheObjectIsBoundBeforeItsFirstMessageAndReleasedAfterItsLast)
{
    CTestWindow window;
    const HWND hWnd = CreateHidden(window);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(window.m_hWnd, hWnd);
    ASSERT_FALSE(window.m_messages.empty());
    EXPECT_TRUE(window.m_firstBound) << "first message " << window.m_messages.front();
    EXPECT_EQ(window.m_createdAs, hWnd);

    ASSERT_TRUE(::DestroyWindow(hWnd));
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(window.m_finalMessages, 1);
    EXPECT_EQ(window.m_finalHwnd, hWnd);
    EXPECT_EQ(window.m_messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(::IsWindow(hWnd));

    // The object can own a new window afterwards.
    const HWND again = CreateHidden(window);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(window.m_hWnd, again);
    ::DestroyWindow(again);
    EXPECT_EQ(window.m_finalMessages, 2);
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowImpl, MessagesRunThroughTheMapInOrderAndUnhandledOnesReachTheDefaultProcedure)
{
    CTestWindow window;
    ASSERT_NE(CreateHidden(window), nullptr);

    // A handler that clears bHandled passes the message to the next entry (here the member's map).
    EXPECT_EQ(window.SendMessage(WM_TEST_PASS_ON), 31);
    EXPECT_EQ(window.m_passOnSeen, 1);
    EXPECT_EQ(window.m_member.m_passOnSeen, 1);

    // The member map comes before the base map; the base map takes what nobody else does.
    EXPECT_EQ(window.SendMessage(WM_TEST_MEMBER_ONLY), 30);
    EXPECT_EQ(window.SendMessage(WM_TEST_BASE_ONLY), 20);

    // Nested dispatch: each level sees its own message as the current one.
    EXPECT_EQ(window.SendMessage(WM_TEST_NESTED, 3), 4);
    EXPECT_TRUE(window.m_currentRestored);
    EXPECT_EQ(window.GetCurrentMessage(), nullptr);

    // Nothing in the map: the default procedure answers (the window text round trip).
    ASSERT_TRUE(window.SetWindowText(L"routed"));
    wchar_t text[16] = {};
    EXPECT_EQ(window.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_STREQ(text, L"routed");
    window.DestroyWindow();
}

TEST(WindowImpl, AnExceptionStopsAtTheWindowProcedure)
{
    CTestWindow window;
    ASSERT_NE(CreateHidden(window), nullptr);
    LRESULT result = -1;
    EXPECT_NO_THROW(result = window.SendMessage(WM_TEST_THROW));
    EXPECT_EQ(result, 0) << "the default procedure's answer";
    EXPECT_EQ(window.GetCurrentMessage(), nullptr);
    // The window goes on working.
    EXPECT_EQ(window.SendMessage(WM_TEST_BASE_ONLY), 20);
    window.DestroyWindow();
}

TEST(WindowImpl, AWindowDestroyedInsideAHandlerIsReleasedWhenTheOuterMessageReturns)
{
    CTestWindow window;
    const HWND hWnd = CreateHidden(window);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, WM_TEST_DESTROY_INSIDE, 0, 0), 5);
    EXPECT_TRUE(window.m_boundAfterInnerDestroy);
    EXPECT_EQ(window.m_finalMessages, 1);
    EXPECT_EQ(window.m_finalHwnd, hWnd);
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowImpl, ASubclassedControlRoutesThroughTheMapAndGetsItsProcedureBack)
{
    RECT rect{0, 0, 200, 100};
    const HWND control = ::CreateWindowExW(0, L"Static", L"static", WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                                           rect.right, rect.bottom, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrW(control, GWLP_WNDPROC);

    CTestWindow window;
    ASSERT_TRUE(window.SubclassWindow(control));
    EXPECT_FALSE(window.SubclassWindow(control)) << "one window per object";
    EXPECT_EQ(::SendMessageW(control, WM_TEST_BASE_ONLY, 0, 0), 20);
    // The control's own procedure still answers what the map leaves.
    wchar_t text[16] = {};
    EXPECT_EQ(::SendMessageW(control, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_STREQ(text, L"static");

    EXPECT_EQ(window.UnsubclassWindow(), control);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(control, GWLP_WNDPROC), original);
    EXPECT_EQ(::SendMessageW(control, WM_TEST_BASE_ONLY, 0, 0), 0);

    // Subclassed again and destroyed: the control's procedure sees its last message, then the object lets go.
    ASSERT_TRUE(window.SubclassWindow(control));
    ::DestroyWindow(control);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(window.m_finalMessages, 1);
}
