#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "foundation/ScopeExit.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <AppModule.h>
#include <AtlException.h>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <cwctype>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

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
    my::CException withText(IDS_INTERNAL_ERROR, std::wstring(L"abc"));
    EXPECT_EQ(withText.m_message, std::wstring(ByLanguage(L"Internal error\n\n", L"内部エラー\n\n")) + L"abc");

    // The system's text for the code goes into the message, without its trailing line end.
    // ERROR_BAD_EXE_FORMAT's text holds "%1": without ignoring inserts it would not format.
    const HRESULT code = FailureFromWin32(ERROR_BAD_EXE_FORMAT);
    my::CException withCode(IDS_CLIPBOARD_OPEN_FAILED, code);
    std::wstring codeText;
    withCode.GetCodeMessage(codeText);
    ASSERT_FALSE(codeText.empty());
    EXPECT_EQ(codeText.find(L"Unknown HRESULT"), std::wstring::npos) << codeText;
    EXPECT_FALSE(std::iswspace(codeText.back()));
    EXPECT_NE(withCode.m_message.find(codeText), std::wstring::npos);

    // A path of megabytes keeps its drive and its name in one line no longer than the bound.
    const std::wstring path = L"C:\\" + std::wstring(5 * 1024 * 1024, L'x') + L"\\name.jpg";
    const std::wstring shown = my::CException(IDS_INTERNAL_ERROR, path).m_message;
    const std::wstring line = shown.substr(shown.rfind(L'\n') + 1);
    EXPECT_EQ(line.size(), kMaxMessageLine);
    EXPECT_EQ(line.substr(0, 3) + line.substr(line.size() - 8), L"C:\\name.jpg");

    CSimpleErr err;
    const std::wstring a1 = L"one", a3 = L"three";
    EXPECT_THROW(err.SetMessage(IDS_CAST_ERROR, &a1, nullptr, &a3), my::CException) << "a gap in the arguments";
}

TEST(CaughtExceptions, BecomeErrorRecords)
{
    EXPECT_EQ(Convert([] { throw my::CException(IDS_BAD_DATA); }).m_id, static_cast<UINT>(IDS_BAD_DATA));

    CSimpleErr regex = Convert([] { boost::wregex bad(L"(abc"); });
    EXPECT_EQ(regex.m_id, static_cast<UINT>(IDS_REGEX_PAREN));
    EXPECT_EQ(regex.m_message, ByLanguage(L"Mismatched '(' and ')'", L"() の対応がとれていません"));

    // A long what() text is cut at 255 characters.
    CSimpleErr standard = Convert([] { throw std::runtime_error(std::string(400, 'x')); });
    EXPECT_EQ(standard.m_id, static_cast<UINT>(IDS_STD_EXCEPTION));
    EXPECT_NE(standard.m_message.find(std::wstring(255, L'x')), std::wstring::npos);
    EXPECT_EQ(standard.m_message.find(std::wstring(256, L'x')), std::wstring::npos);

    // A plain std::exception carries no text: it reads as an unknown exception, not as its type name.
    CSimpleErr plain = Convert([] { throw std::exception(); });
    EXPECT_EQ(plain.m_id, static_cast<UINT>(IDS_STD_EXCEPTION));
    EXPECT_EQ(plain.m_message, ByLanguage(L"std exception is occurred: Unknown exception",
                                          L"標準エラーが発生しました: Unknown exception"));
    CSimpleErr derived = Convert([] { throw std::bad_alloc(); });
    EXPECT_EQ(derived.m_message,
              ByLanguage(L"std exception is occurred: std::bad_alloc", L"標準エラーが発生しました: std::bad_alloc"));

    CSimpleErr atl = Convert([] { throw ATL::CAtlException(E_OUTOFMEMORY); });
    EXPECT_EQ(atl.m_id, static_cast<UINT>(IDS_ATL_EXCEPTION));
    EXPECT_EQ(atl.m_code, static_cast<UINT>(E_OUTOFMEMORY));

    CSimpleErr other = Convert([] { throw 42; });
    EXPECT_EQ(other.m_id, static_cast<UINT>(IDS_UNKNOWN_EXCEPTION));
    EXPECT_EQ(other.m_message, ByLanguage(L"Unknown exception is occurred", L"不明な例外が発生しました"));
}

TEST(LastError, AFailedCallIsNeverReportedAsSuccess)
{
    struct Case {
        DWORD lastError;
        HRESULT asFailure;
        HRESULT keepingZero;
    };
    const Case cases[] = {
        {0, E_FAIL, S_OK},
        {ERROR_ACCESS_DENIED, static_cast<HRESULT>(0x80070005), static_cast<HRESULT>(0x80070005)},
        {ERROR_FILE_NOT_FOUND, static_cast<HRESULT>(0x80070002), static_cast<HRESULT>(0x80070002)},
        // Codes above 16 bits keep only their low word, as the record's rule says.
        {0x12345, static_cast<HRESULT>(0x80072345), static_cast<HRESULT>(0x80072345)},
    };
    for (const Case& c : cases) {
        ::SetLastError(c.lastError);
        EXPECT_EQ(LastErrorAsHResult(), c.asFailure) << c.lastError;
        EXPECT_EQ(FailureFromWin32(c.lastError), c.asFailure) << c.lastError;
        EXPECT_EQ(HResultFromWin32KeepingZero(c.lastError), c.keepingZero) << c.lastError;
        ::SetLastError(c.lastError);
        EXPECT_EQ(LastErrorKeepingZero(), c.keepingZero) << c.lastError;
    }
    EXPECT_EQ(FailureOrFail(S_OK), E_FAIL);
    EXPECT_EQ(FailureOrFail(S_FALSE), E_FAIL);
    EXPECT_EQ(FailureOrFail(E_ACCESSDENIED), E_ACCESSDENIED);

    // The throw helpers that take the last error carry a failure code even when it reads 0.
    using Thrower = void (*)();
    const std::pair<Thrower, UINT> throwers[] = {
        {ThrowClipboardError, IDS_CLIPBOARD_OPEN_FAILED},
        {ThrowPrintDocumentError, IDS_PRINT_DOC_FAILED},
        {ThrowPrintPageError, IDS_PRINT_PAGE_FAILED},
    };
    for (const auto& [thrower, id] : throwers) {
        for (const DWORD lastError : {DWORD(0), DWORD(ERROR_ACCESS_DENIED)}) {
            const CSimpleErr err = Convert([&] {
                ::SetLastError(lastError);
                thrower();
            });
            EXPECT_EQ(err.m_id, id);
            EXPECT_TRUE(FAILED(static_cast<HRESULT>(err.m_code))) << id << L" " << lastError;
            EXPECT_EQ(static_cast<HRESULT>(err.m_code), FailureFromWin32(lastError)) << id;
        }
    }

    ThrowIfFailed(S_FALSE, IDS_BAD_DATA);
    const CSimpleErr thrown = Convert([] { ThrowIfFailed(E_ACCESSDENIED, IDS_CLIPBOARD_OPEN_FAILED, L"x"); });
    EXPECT_EQ(thrown.m_id, static_cast<UINT>(IDS_CLIPBOARD_OPEN_FAILED));
    EXPECT_EQ(static_cast<HRESULT>(thrown.m_code), E_ACCESSDENIED);
}

TEST(StringLoader, TextsAroundTheBufferSizesComeBackWholeAndMissingIdsAreNamed)
{
    // Test-only strings of exact lengths around the loader's growing buffer.
    const std::pair<UINT, size_t> cases[] = {{64000, 254}, {64001, 255}, {64002, 2559}, {64003, 3000}};
    for (const auto& [id, length] : cases) {
        std::wstring expected;
        for (size_t i = 0; i < length; ++i) expected.push_back(static_cast<wchar_t>(L'a' + i % 26));
        EXPECT_EQ(LoadResString(id), expected) << id;
    }

    std::wstring text = L"previous";
    LoadResString(text, 65000, false);
    EXPECT_TRUE(text.empty());
    const CSimpleErr missing = Convert([&] { LoadResString(text, 65000, true); });
    EXPECT_EQ(missing.m_id, static_cast<UINT>(IDS_RESOURCE_STRING_MISSING));
    EXPECT_NE(missing.m_message.find(L"ID: 65000"), std::wstring::npos) << missing.m_message;
    // An exception built for a missing id throws that error from its constructor.
    const CSimpleErr constructed = Convert([] { my::CException e(65001); });
    EXPECT_EQ(constructed.m_id, static_cast<UINT>(IDS_RESOURCE_STRING_MISSING));
}

// A resource module without any string: the missing-string error is built without its own template
// and names the id that was asked for, instead of recursing into itself.
TEST(StringLoader, AModuleWithoutStringsYieldsTheMissingStringErrorOnce)
{
    HMODULE bare = ::GetModuleHandleW(L"ntdll.dll");
    ASSERT_TRUE(bare);
    wchar_t probe[8];
    ASSERT_EQ(::LoadStringW(bare, IDS_RESOURCE_STRING_MISSING, probe, 8), 0) << "the module must lack the text";
    const HINSTANCE saved = _Module.SetResourceInstance(bare);
    const auto restore = ScopeExit([saved] { _Module.SetResourceInstance(saved); });

    const CSimpleErr missing = Convert([] { my::CException e(IDS_BAD_DATA); });
    EXPECT_EQ(missing.m_id, static_cast<UINT>(IDS_RESOURCE_STRING_MISSING));
    EXPECT_EQ(missing.m_message.rfind(L"Resource string is missing - ", 0), 0u) << missing.m_message;
    EXPECT_NE(missing.m_message.find(L"ID: " + std::to_wstring(IDS_BAD_DATA)), std::wstring::npos);
    std::wstring text = L"previous";
    LoadResString(text, IDS_RESOURCE_STRING_MISSING, false);
    EXPECT_TRUE(text.empty());
}

TEST(FormatResString, WideArgumentsArriveWholeAndLongResultsAreNeverCut)
{
    std::wstring out;
    const std::wstring first = L"ドライブ E:\\写真";
    const std::wstring second(600, L'é');
    ASSERT_TRUE(FormatResString(out, 64010, first.c_str(), second.c_str()));
    EXPECT_EQ(out, first + L"|" + second);

    // Far longer than the template: the result grows to the text, whatever its length.
    for (const size_t length : {size_t{1019}, size_t{1020}, size_t{5000}, size_t{300000}}) {
        const std::wstring huge(length, L'x');
        FormatResString(out, 64010, huge.c_str(), L"tail");
        EXPECT_EQ(out, huge + L"|tail") << length;
    }
}
