// Every text of the string table in the languages it must exist in, with the same placeholders,
// so that a missing or broken translation fails here and not in front of a user.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

using Texts = std::map<WORD, std::wstring>; // language -> text

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR param)
{
    auto& found = *reinterpret_cast<std::map<UINT, Texts>*>(param);
    HRSRC info = ::FindResourceExW(nullptr, RT_STRING, name, language);
    const auto* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(nullptr, info)));
    const UINT first = (static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)) - 1) * 16;
    for (UINT i = 0; i < 16; ++i) {
        const WORD length = *p++;
        if (length) found[first + i][language].assign(p, length);
        p += length;
    }
    return TRUE;
}

BOOL CALLBACK OnBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    ::EnumResourceLanguagesW(module, type, name, OnLanguage, param);
    return TRUE;
}

const std::map<UINT, Texts>& StringTable()
{
    static const std::map<UINT, Texts> found = [] {
        std::map<UINT, Texts> texts;
        ::EnumResourceNamesW(nullptr, RT_STRING, OnBlock, reinterpret_cast<LONG_PTR>(&texts));
        return texts;
    }();
    return found;
}

size_t CountPlaceholders(const std::wstring& text)
{
    size_t count = 0;
    for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 2))
        if (at + 1 < text.size() && text[at + 1] != L'%') ++count;
    return count;
}

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

bool IsLibraryMessage(UINT id) { return id >= 57345 && id < 64000; } // 64000 and up: test-only strings

} // namespace

TEST(StringTable, LibraryMessagesExistInJapaneseAndEnglish)
{
    size_t library = 0;
    for (const auto& [id, texts] : StringTable()) {
        if (!IsLibraryMessage(id)) continue;
        ++library;
        EXPECT_TRUE(texts.count(kJapanese)) << "no Japanese text for " << id;
        EXPECT_TRUE(texts.count(kEnglish)) << "no English text for " << id;
    }
    EXPECT_GT(library, 200u);
}

TEST(StringTable, TranslationsTakeTheSameArguments)
{
    // Texts whose English form shows fewer of the arguments than the Japanese one, as written.
    const UINT showsFewerInEnglish[] = {58704, 58976, 58977, 59018};
    for (const auto& [id, texts] : StringTable()) {
        if (!IsLibraryMessage(id) || !texts.count(kJapanese) || !texts.count(kEnglish)) continue;
        const size_t japanese = CountPlaceholders(texts.at(kJapanese));
        const size_t english = CountPlaceholders(texts.at(kEnglish));
        if (std::find(std::begin(showsFewerInEnglish), std::end(showsFewerInEnglish), id) != std::end(showsFewerInEnglish))
            EXPECT_LT(english, japanese) << id;
        else
            EXPECT_EQ(english, japanese) << id;
    }
}

TEST(StringTable, ApplicationTextsExistInJapanese)
{
    for (UINT id = 130; id <= 182; ++id) {
        if (id == 132 || id == 133 || (id >= 136 && id <= 155 && id != 137) || id == 158) continue;
        auto it = StringTable().find(id);
        ASSERT_NE(it, StringTable().end()) << id;
        EXPECT_TRUE(it->second.count(kJapanese)) << id;
    }
}
