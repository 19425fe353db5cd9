#include "inet/InternetException.h"

#include "foundation/ResString.h"
#include "ids/inet.h"
#include "tests/support/UiLanguage.h"

namespace {

TEST(InternetException, ClientCodesPickTheirMessages)
{
    const struct {
        DWORD code;
        UINT id;
    } cases[] = {{1, 59353},  {2, 59354},  {3, 59355},  {4, 59356},  {5, 59357},         {6, 59359},
                 {7, 59360},  {8, 59361},  {9, 59362},  {10, 59363}, {11, 59364},        {12, 59365},
                 {13, 59366}, {14, 59367}, {15, 59368}, {16, 59364}, {0xFFFFFFFF, 59364}};
    for (const auto& c : cases) {
        const CInternetException e(nullptr, c.code, ERROR_INTERNET_TIMEOUT);
        EXPECT_EQ(e.m_id, c.id) << c.code;
        EXPECT_EQ(GetInternetErrorId(c.code), c.id) << c.code;
        // The error number lives in its own field; the record's code stays 0.
        EXPECT_EQ(e.m_code, 0u) << c.code;
        EXPECT_EQ(e.GetErrorNumber(), static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
        EXPECT_EQ(e.GetClientCode(), c.code);
        EXPECT_FALSE(e.m_message.empty()) << c.code;
    }
    EXPECT_EQ(FindInternetErrorId(16), GetInternetErrorIdList().end());
    EXPECT_EQ(GetInternetErrorIdList().size(), 16u);
}

TEST(InternetException, CodeZeroIsNoError)
{
    ::SetLastError(ERROR_INTERNET_CANNOT_CONNECT);
    const CInternetException e(reinterpret_cast<HINTERNET>(1), 0);
    EXPECT_EQ(e.m_id, 0u);
    EXPECT_TRUE(e.m_message.empty());
    EXPECT_EQ(e.GetErrorNumber(), 0u);
    EXPECT_EQ(e.GetHandle(), reinterpret_cast<HINTERNET>(1));
}

TEST(InternetException, WinInetErrorsCarryWinInetsText)
{
    EXPECT_EQ(InternetErrorToHResult(12029), static_cast<HRESULT>(0x80072EFD));
    EXPECT_EQ(InternetErrorToHResult(0), S_OK);
    EXPECT_EQ(InternetErrorToHResult(0x80004004), E_ABORT);
    // wininet.dll is loaded with the library; its message table holds the 120xx texts.
    const std::wstring text = GetNetMessage(0x80072EFD);
    EXPECT_EQ(text.find(L"Unknown HRESULT"), std::wstring::npos) << text;
    // 12040, which the library raises itself under Wine, has a text too.
    EXPECT_EQ(GetNetMessage(0x80072F08).find(L"Unknown HRESULT"), std::wstring::npos) << GetNetMessage(0x80072F08);
    ::SetLastError(12029);
    const CInternetException e(nullptr, 4);
    EXPECT_EQ(e.GetErrorNumber(), 12029u);
    EXPECT_NE(e.m_message.find(text.substr(0, 10)), std::wstring::npos) << e.m_message;
    const std::wstring head = ByLanguage(L"Failed to connect - ", L"サーバとの接続に失敗しました - ");
    EXPECT_EQ(e.m_message.rfind(head, 0), 0u) << e.m_message;
    // A thrown copy keeps all four fields.
    try {
        throw CInternetException(e);
    } catch (const my::CException& caught) {
        const auto* copy = dynamic_cast<const CInternetException*>(&caught);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->GetClientCode(), 4u);
        EXPECT_EQ(copy->m_message, e.m_message);
    }
}

TEST(InternetException, LengthQueryMessageSaysTheQueryFailed)
{
    std::wstring text;
    LoadResString(text, IDS_INET_GET_LENGTH_FAILED);
    EXPECT_EQ(text, ByLanguage(L"Failed to get length of data - %s", L"データサイズの取得に失敗しました - %s"));
}

} // namespace
