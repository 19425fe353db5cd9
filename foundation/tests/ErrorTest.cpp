#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <AtlException.h>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <cwctype>
#include <stdexcept>

namespace {

template <class Thrower> CSimpleErr Convert(Thrower thrower)
{
    CSimpleErr err;
    try {
        thrower();
    } catch (...) {
        SetFromCurrentException(err);
    }
    return err;
}

} // namespace

TEST(Exception, RecordHoldsIdCodeAndFinishedText)
{
    EXPECT_STREQ(my::CException(0).what(), "Unknown exception");
    my::CException withText(IDS_INTERNAL_ERROR, std::wstring(L"abc"));
    EXPECT_EQ(withText.m_message, std::wstring(ByLanguage(L"Internal error\n\n", L"内部エラー\n\n")) + L"abc");

    // The system's text for the code goes into the message, without its trailing line end.
    my::CException withCode(IDS_CLIPBOARD_OPEN_FAILED, static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(withCode.m_code, 0x80070005u);
    std::wstring codeText;
    withCode.GetCodeMessage(codeText);
    ASSERT_FALSE(codeText.empty());
    EXPECT_FALSE(std::iswspace(codeText.back()));
    EXPECT_NE(withCode.m_message.find(codeText), std::wstring::npos);

    CSimpleErr err;
    const std::wstring a1 = L"one", a3 = L"three";
    EXPECT_THROW(err.SetMessage(IDS_CAST_ERROR, &a1, nullptr, &a3), my::CException) << "a gap in the arguments";
    err.m_message = L"a\n\nb\r\nc";
    std::wstring line;
    err.GetOneLineMessage(line);
    EXPECT_EQ(line, L"a b\r c");
}

TEST(CaughtExceptions, BecomeErrorRecords)
{
    EXPECT_EQ(Convert([] { throw my::CException(IDS_BAD_DATA); }).m_id, static_cast<UINT>(IDS_BAD_DATA));

    CSimpleErr regex = Convert([] { boost::wregex bad(L"(abc"); });
    EXPECT_EQ(regex.m_id, static_cast<UINT>(IDS_REGEX_PAREN));
    EXPECT_EQ(regex.m_message, ByLanguage(L"Mismatched '(' and ')'", L"() の対応がとれていません"));

    CSimpleErr standard = Convert([] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(standard.m_id, static_cast<UINT>(IDS_STD_EXCEPTION));
    EXPECT_EQ(standard.m_message,
              std::wstring(ByLanguage(L"std exception is occurred: ", L"標準エラーが発生しました: ")) + L"disk on fire");

    // A long what() text is cut at 255 characters.
    CSimpleErr longText = Convert([] { throw std::runtime_error(std::string(400, 'x')); });
    EXPECT_NE(longText.m_message.find(std::wstring(255, L'x')), std::wstring::npos);
    EXPECT_EQ(longText.m_message.find(std::wstring(256, L'x')), std::wstring::npos);

    CSimpleErr atl = Convert([] { throw ATL::CAtlException(E_OUTOFMEMORY); });
    EXPECT_EQ(atl.m_id, static_cast<UINT>(IDS_ATL_EXCEPTION));
    EXPECT_EQ(atl.m_code, static_cast<UINT>(E_OUTOFMEMORY));

    CSimpleErr other = Convert([] { throw 42; });
    EXPECT_EQ(other.m_id, static_cast<UINT>(IDS_UNKNOWN_EXCEPTION));
    EXPECT_EQ(other.m_message, ByLanguage(L"Unknown exception is occurred", L"不明な例外が発生しました"));
}

TEST(ThrowHelpers, ArgumentsInTheirForms)
{
    const SYSTEMTIME t{2026, 12, 0, 6, 9, 5, 7, 42};
    CSimpleErr err = Convert([&] { ThrowTimeToElapsedError(t); });
    EXPECT_NE(err.m_message.find(L"2026-12-6 9:5:7.042"), std::wstring::npos) << err.m_message;
    err = Convert([] { ThrowElapsedToTimeError(0x0000000180000001ull); });
    EXPECT_NE(err.m_message.find(L"1 | 80000001"), std::wstring::npos) << err.m_message;
}
