#include "foundation/RegistryTime.h"
#include "foundation/SystemTimeEx.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A private key under HKCU\Software, removed with everything below it after the test.
class RegistryTime : public testing::Test {
protected:
    void SetUp() override
    {
        m_path = L"Software\\Fernhollow Tests\\RegistryTime-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(::GetTickCount());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                                    nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        if (m_key) ::RegCloseKey(m_key);
        EXPECT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()), ERROR_SUCCESS);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Fernhollow Tests"); // only when empty
        HKEY left = nullptr;
        EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &left), ERROR_SUCCESS)
            << "test key left behind";
        if (left) ::RegCloseKey(left);
    }

    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(::RegSetValueExW(m_key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    std::wstring m_path;
    HKEY m_key = nullptr;
};

TEST_F(RegistryTime, FileTimeRoundTripsAsTwoDwords)
{
    const FILETIME written = MakeFileTime(0x89ABCDEFu, 0x01D2B3C4u);
    ASSERT_TRUE(RegSetFileTime(written, (m_path + L"\\Stamp").c_str(), HKEY_CURRENT_USER));
    FILETIME read = {};
    ASSERT_TRUE(RegQueryFileTime(read, (m_path + L"\\Stamp").c_str(), HKEY_CURRENT_USER));
    EXPECT_EQ(FileTimeToNumber(read), FileTimeToNumber(written));

    // Stored as plain REG_DWORDs under the two names.
    HKEY stamp = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(m_key, L"Stamp", 0, KEY_READ, &stamp), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(::RegQueryValueExW(stamp, L"HighDateTime", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0x01D2B3C4u);
    ::RegCloseKey(stamp);

    FILETIME untouched = MakeFileTime(7, 7);
    EXPECT_FALSE(RegQueryFileTime(untouched, (m_path + L"\\Missing").c_str(), HKEY_CURRENT_USER));
    EXPECT_EQ(FileTimeToNumber(untouched), FileTimeToNumber(MakeFileTime(7, 7)));
}

// A value of another type or size is an error, and the caller's value stays as it was.
TEST_F(RegistryTime, ValuesOfTheWrongTypeFailWithoutChangingTheResult)
{
    const DWORD dword = 0x12345678;
    const BYTE two[2] = {1, 2};
    const ULONGLONG qword = 5;
    SetRaw(L"Dword", REG_DWORD, &dword, sizeof(dword));
    SetRaw(L"ShortString", REG_SZ, L"", sizeof(wchar_t));
    SetRaw(L"String", REG_SZ, L"1234", 5 * sizeof(wchar_t));
    SetRaw(L"Binary", REG_BINARY, &dword, sizeof(dword));
    SetRaw(L"ShortDword", REG_DWORD, two, sizeof(two));
    SetRaw(L"Qword", REG_QWORD, &qword, sizeof(qword));
    const struct {
        const wchar_t* name;
        LONG error;
    } cases[] = {
        {L"Dword", ERROR_SUCCESS},          {L"ShortString", ERROR_INVALID_DATA}, {L"String", ERROR_INVALID_DATA},
        {L"Binary", ERROR_INVALID_DATA},    {L"ShortDword", ERROR_INVALID_DATA},  {L"Qword", ERROR_INVALID_DATA},
        {L"Missing", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        DWORD out = 0xCCCCCCCC;
        EXPECT_EQ(RegQueryDword(m_key, c.name, out), c.error) << c.name;
        EXPECT_EQ(out, c.error == ERROR_SUCCESS ? dword : 0xCCCCCCCCu) << c.name;
        DWORD outOk = 0xCCCCCCCC;
        EXPECT_EQ(RegQueryDwordOk(m_key, c.name, outOk), c.error == ERROR_SUCCESS) << c.name;
    }

    ASSERT_TRUE(RegSetDwordOk(m_key, L"LowDateTime", 1));
    ASSERT_EQ(RegSetDword(m_key, L"HighDateTime", 2), ERROR_SUCCESS);
    FILETIME ft = {};
    ASSERT_TRUE(RegQueryFileTime(ft, m_path.c_str(), HKEY_CURRENT_USER));
    EXPECT_EQ(FileTimeToNumber(ft), 0x200000001ull);
    SetRaw(L"LowDateTime", REG_SZ, L"1", 2 * sizeof(wchar_t));
    FILETIME kept = MakeFileTime(9, 9);
    EXPECT_FALSE(RegQueryFileTime(kept, m_path.c_str(), HKEY_CURRENT_USER));
    EXPECT_EQ(FileTimeToNumber(kept), FileTimeToNumber(MakeFileTime(9, 9)));
}

} // namespace
