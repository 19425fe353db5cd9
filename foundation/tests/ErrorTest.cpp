#include "foundation/Exception.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

TEST(Error, InternalErrorFormatsItsArgument)
{
    my::CException e(IDS_INTERNAL_ERROR, std::wstring(L"abc"));
    EXPECT_EQ(e.m_message, std::wstring(ByLanguage(L"Internal error\n\n", L"内部エラー\n\n")) + L"abc");
}
