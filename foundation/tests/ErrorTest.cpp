#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <AtlException.h>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

TEST(Exception, IdZeroIsNoError)
{
    my::CException e(0);
    EXPECT_TRUE(e.m_message.empty());
    EXPECT_FALSE(e.HasError());
    EXPECT_STREQ(e.what(), "Unknown exception");
}

TEST(Exception, ConstructorsFillTheRecord)
{
    my::CException withText(IDS_INTERNAL_ERROR, std::wstring(L"abc"));
    EXPECT_EQ(withText.m_message, std::wstring(ByLanguage(L"Internal error\n\n", L"内部エラー\n\n")) + L"abc");
    EXPECT_EQ(withText.m_code, 0u);
    EXPECT_STREQ(withText.what(), "Unknown exception");

    my::CException withCode(IDS_CLIPBOARD_OPEN_FAILED, static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(withCode.m_code, 0x80070005u);
    std::wstring codeText;
    withCode.GetCodeMessage(codeText);
    EXPECT_FALSE(codeText.empty());
    EXPECT_NE(withCode.m_message.find(codeText), std::wstring::npos);

    my::CException cast(L"int", L"short", L"70000");
    EXPECT_EQ(cast.m_id, static_cast<UINT>(IDS_CAST_ERROR));
    EXPECT_NE(cast.m_message.find(L"70000"), std::wstring::npos);

    my::CException copy(cast);
    EXPECT_EQ(copy.m_message, cast.m_message);
    EXPECT_EQ(copy.m_id, cast.m_id);
}

TEST(Exception, CtrlExceptionCarriesItsControl)
{
    HWND fake = reinterpret_cast<HWND>(0x1234);
    my::CCtrlException e(fake, IDS_NO_SELECTION);
    EXPECT_EQ(e.GetHwnd(), fake);
    my::CCtrlException fromRecord(static_cast<const CSimpleErr&>(e));
    EXPECT_EQ(fromRecord.GetHwnd(), nullptr);
    EXPECT_EQ(fromRecord.m_message, e.m_message);
}

TEST(SimpleErr, ArgumentsMustNotHaveGaps)
{
    CSimpleErr err;
    const std::wstring a1 = L"one", a3 = L"three";
    EXPECT_THROW(err.SetMessage(IDS_CAST_ERROR, &a1, nullptr, &a3), my::CException);
    err.SetMessage(IDS_INTERNAL_ERROR, &a1);
    EXPECT_NE(err.m_message.find(L"one"), std::wstring::npos);
}

TEST(SimpleErr, GetCodeMessageTrimsLineEnds)
{
    CSimpleErr err;
    err.m_code = 0x80070005;
    std::wstring text;
    err.GetCodeMessage(text);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
    EXPECT_NE(text.back(), L' ');
}

TEST(SimpleErr, OneLineMessage)
{
    CSimpleErr err;
    err.m_message = L"a\n\nb\r\nc";
    std::wstring line;
    err.GetOneLineMessage(line);
    EXPECT_EQ(line, L"a b\r c");
}

TEST(SimpleErr, Dump)
{
    CSimpleErr err;
    err.m_id = 58721;
    err.m_code = 0x80004005;
    err.m_message = L"text";
    std::wostringstream os;
    os << 10;
    err.Dump(os) << 255;
    EXPECT_EQ(os.str(), L"10No: 58721 HR: 80004005 MSG: text255");
}

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

    CSimpleErr atl = Convert([] { throw ATL::CAtlException(E_OUTOFMEMORY); });
    EXPECT_EQ(atl.m_id, static_cast<UINT>(IDS_ATL_EXCEPTION));
    EXPECT_EQ(atl.m_code, static_cast<UINT>(E_OUTOFMEMORY));

    CSimpleErr other = Convert([] { throw 42; });
    EXPECT_EQ(other.m_id, static_cast<UINT>(IDS_UNKNOWN_EXCEPTION));
    EXPECT_EQ(other.m_message, ByLanguage(L"Unknown exception is occurred", L"不明な例外が発生しました"));
}

TEST(CaughtExceptions, LongWhatTextIsCutAt255)
{
    CSimpleErr err = Convert([] { throw std::runtime_error(std::string(400, 'x')); });
    EXPECT_NE(err.m_message.find(std::wstring(255, L'x')), std::wstring::npos);
    EXPECT_EQ(err.m_message.find(std::wstring(256, L'x')), std::wstring::npos);
}

TEST(ThrowHelpers, ArgumentsInTheirForms)
{
    try {
        SYSTEMTIME t{2026, 12, 0, 6, 9, 5, 7, 42};
        ThrowTimeToElapsedError(t);
    } catch (const my::CException& e) {
        EXPECT_NE(e.m_message.find(L"2026-12-6 9:5:7.042"), std::wstring::npos) << e.m_message;
    }
    try {
        ThrowElapsedToTimeError(0x0000000180000001ull);
    } catch (const my::CException& e) {
        EXPECT_NE(e.m_message.find(L"1 | 80000001"), std::wstring::npos) << e.m_message;
    }
    try {
        ThrowNoSelection(reinterpret_cast<HWND>(0x42));
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.GetHwnd(), reinterpret_cast<HWND>(0x42));
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_NO_SELECTION));
    }
}
