// Every text of the string table in the languages it must exist in, with the same placeholders,
// so that a missing or broken translation fails here and not in front of a user.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The string-table entry `id` in one language (empty when that language lacks it).
std::wstring LoadStringInLanguage(UINT id, WORD language)
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC block = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    auto p = block ? static_cast<const WORD*>(::LockResource(::LoadResource(module, block))) : nullptr;
    if (!p) return std::wstring();
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p);
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

} // namespace

TEST(StringTable, LibraryMessagesExistInJapaneseAndEnglishWithTheSameArguments)
{
    // Texts whose English form shows fewer of the arguments than the Japanese one, as written.
    const UINT showsFewerInEnglish[] = {58704, 58976, 58977, 59018};
    size_t library = 0;
    for (UINT id = 57345; id < 64000; ++id) { // 64000 and up: test-only strings
        const std::wstring japanese = LoadStringInLanguage(id, kJapanese);
        const std::wstring english = LoadStringInLanguage(id, kEnglish);
        if (japanese.empty() && english.empty()) continue;
        ++library;
        EXPECT_FALSE(japanese.empty()) << "no Japanese text for " << id;
        EXPECT_FALSE(english.empty()) << "no English text for " << id;
        if (std::count(std::begin(showsFewerInEnglish), std::end(showsFewerInEnglish), id)) {
            EXPECT_LT(CountPlaceholders(english), CountPlaceholders(japanese)) << id;
        } else {
            EXPECT_EQ(CountPlaceholders(english), CountPlaceholders(japanese)) << id;
        }
    }
    EXPECT_GT(library, 200u);
}

TEST(StringTable, ApplicationTextsExistInJapanese)
{
    // By name: the table check (scripts/check-string-ids.py) holds the table against the headers.
    const UINT texts[] = {IDS_MAKER_NAME,
                          IDS_PRODUCT_NAME,
                          IDS_HOMEPAGE_URL,
                          IDS_USAGE_URL,
                          IDS_DISPLAY_NAME,
                          ID_APP_RUN,
                          ID_REGIST_STARTUP,
                          IDS_MOVE_SOURCES_LINE,
                          IDS_MOVE_DESTINATION_LINE,
                          IDS_COPY_SOURCES_LINE,
                          IDS_COPY_DESTINATION_LINE,
                          IDS_SELECT_FOLDER,
                          IDS_START_TITLE,
                          IDS_START_TEXT,
                          IDS_RESULT_TITLE,
                          IDS_RESULT_TEXT,
                          IDS_RESULT_DRIVE_TITLE,
                          IDS_RESULT_DRIVE_TEXT,
                          IDS_DRIVE_TITLE,
                          IDS_DRIVE_TEXT,
                          IDS_VERB_MOVE,
                          IDS_VERB_COPY,
                          IDS_VERB_DISCONNECT,
                          IDS_VERB_EJECT,
                          IDS_RESULTS_NOT_SHOWN,
                          IDS_DISCONNECT_DRIVE,
                          IDS_NOTHING_MATCHED,
                          IDS_SRC_FOLDER_EMPTY,
                          IDS_SRC_FOLDER_NOT_ABSOLUTE,
                          IDS_DST_FOLDER_EMPTY,
                          IDS_DST_FOLDER_RELATIVE,
                          IDS_DST_FOLDER_IS_FILE,
                          IDS_TRANSFER_INCOMPLETE,
                          IDS_TRANSFER_DRIVE_REMOVED,
                          IDS_TRANSFER_CANCELLED_PART,
                          IDS_TRANSFER_DESTINATION_REMOVED,
                          IDS_TRANSFER_BOTH_REMOVED,
                          IDS_TRANSFER_KEPT_STOOD,
                          IDS_TRANSFER_KEPT_NOT_WHOLE,
                          IDS_TRANSFER_KEPT_UNDELETED,
                          IDS_TRANSFER_STAYED_NOT_MOVED,
                          IDS_TRANSFER_STAYED_NOT_MOVED_BESIDE_COPY,
                          IDS_TRANSFER_STAYED_COPY_UNREADABLE,
                          IDS_TRANSFER_UNCOMPARED_COPY,
                          IDS_TRANSFER_KEPT_PARTLY_BY_SHELL,
                          IDS_TRANSFER_KEPT_PARTLY_BRIEF_BY_SHELL,
                          IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED,
                          IDS_TRANSFER_KEPT_PARTLY_UNCONFIRMED_BY_SHELL,
                          IDS_TRANSFER_STAYED_LEFT_UNCONFIRMED,
                          IDS_TRANSFER_STAYED_VANISHED,
                          IDS_TRANSFER_STAYED_NOT_MOVED_COPY_UNLISTED,
                          IDS_TRANSFER_STAYED_UNLISTED_BEFORE,
                          IDS_TRANSFER_STAYED_RESIZED};
    for (const UINT id : texts) EXPECT_FALSE(LoadStringInLanguage(id, kJapanese).empty()) << id;
}
