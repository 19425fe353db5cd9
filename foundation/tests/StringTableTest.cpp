// Every text of the string table in the languages it must exist in, so that a missing
// translation fails here and not in front of a user.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace {

using Languages = std::set<WORD>;

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR param)
{
    auto& found = *reinterpret_cast<std::map<UINT, Languages>*>(param);
    HRSRC info = ::FindResourceExW(nullptr, RT_STRING, name, language);
    const auto* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(nullptr, info)));
    const UINT first = (static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)) - 1) * 16;
    for (UINT i = 0; i < 16; ++i) {
        const WORD length = *p++;
        if (length) found[first + i].insert(language);
        p += length;
    }
    return TRUE;
}

BOOL CALLBACK OnBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    ::EnumResourceLanguagesW(module, type, name, OnLanguage, param);
    return TRUE;
}

std::map<UINT, Languages> StringLanguages()
{
    std::map<UINT, Languages> found;
    ::EnumResourceNamesW(nullptr, RT_STRING, OnBlock, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

} // namespace

TEST(StringTable, LibraryMessagesExistInJapaneseAndEnglish)
{
    const auto found = StringLanguages();
    size_t library = 0;
    for (const auto& [id, languages] : found) {
        if (id < 57345 || id >= 64000) continue; // 64000 and up: test-only strings
        ++library;
        EXPECT_TRUE(languages.count(kJapanese)) << "no Japanese text for " << id;
        EXPECT_TRUE(languages.count(kEnglish)) << "no English text for " << id;
    }
    EXPECT_GT(library, 50u);
}

TEST(StringTable, ApplicationTextsExistInJapanese)
{
    const auto found = StringLanguages();
    for (UINT id : {130u, 131u, 134u, 135u, 137u, 159u, 160u, 161u, 162u, 164u, 165u, 172u, 175u}) {
        auto it = found.find(id);
        ASSERT_NE(it, found.end()) << id;
        EXPECT_TRUE(it->second.count(kJapanese)) << id;
    }
}
