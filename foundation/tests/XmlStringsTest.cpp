// Every message of the file, stream and XML layers exists in English and in Japanese.
#include "ids/foundation.h"
#include "ids/xml.h"

#include "foundation/ResString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The string of `id` in one language, read from the string-table block directly, since
// LoadStringW answers only in the user-interface language.
std::wstring LoadStringIn(UINT id, LANGID language)
{
    HMODULE module = GetResourceInstance();
    HRSRC info = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!info) return std::wstring();
    const auto* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, info)));
    if (!p) return std::wstring();
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    return std::wstring(p + 1, *p);
}

const UINT kIds[] = {
    IDS_TO_MULTIBYTE_FAILED, IDS_TO_UNICODE_FAILED, IDS_FILE_CREATE_FAILED, IDS_FILE_OPEN_FAILED,
    IDS_FILE_SEEK_FAILED, IDS_FILE_SET_END_FAILED, IDS_FILE_GET_SIZE_FAILED, IDS_FILE_WRITE_FAILED,
    IDS_MEMORY_STREAM_CREATE_FAILED, IDS_MEMORY_STREAM_HANDLE_FAILED, IDS_MEMORY_STREAM_OPEN_FAILED,
    IDS_STREAM_WRITE_FAILED, IDS_STREAM_READ_FAILED, IDS_STREAM_GET_SIZE_FAILED, IDS_STREAM_SEEK_FAILED,
    IDS_XML_CREATE_FAILED, IDS_XML_CREATE_ROOT_FAILED, IDS_XML_SAVE_FAILED, IDS_XML_SELECT_NODE_FAILED,
    IDS_XML_CREATE_NODE_FAILED, IDS_XML_ADD_NODE_FAILED, IDS_XML_SET_ATTRIBUTE_FAILED, IDS_XML_SET_TEXT_FAILED,
    IDS_XML_LOAD_FAILED, IDS_XML_PARSE_FAILED, IDS_XML_GET_TEXT_FAILED, IDS_XML_BAD_BOOL,
    IDS_XML_SELECT_NODES_FAILED, IDS_XML_NODE_COUNT_FAILED, IDS_XML_BAD_NODE_COUNT, IDS_XML_NODE_ITEM_FAILED,
    IDS_XML_NODE_NOT_FOUND, IDS_XML_NODES_NOT_FOUND, IDS_XML_UNKNOWN_ENUM_VALUE, IDS_XML_UNKNOWN_FILE_TIME,
    IDS_XML_BAD_FLAGS, IDS_XML_BAD_TIME, IDS_XML_BAD_FILE_TIME, IDS_XML_BAD_INT, IDS_XML_BAD_LONG,
    IDS_XML_BAD_SIZE_T, IDS_XML_BAD_ENUM, IDS_XML_BAD_COLOR, IDS_XML_BAD_DWORD, IDS_XML_BAD_WORD,
    IDS_XML_BAD_BYTE, IDS_XML_BAD_VERSION, IDS_XML_BAD_RAW_BYTES, IDS_XML_TEXT_TOO_LONG, IDS_XML_PARSE_ERROR_AT,
    IDS_NAME_TABLE_UNKNOWN_VALUE, IDS_NAME_TABLE_UNKNOWN_NAME,
};

size_t CountPlaceholders(const std::wstring& text)
{
    size_t n = 0;
    for (size_t at = text.find(L"%s"); at != std::wstring::npos; at = text.find(L"%s", at + 2)) ++n;
    return n;
}

} // namespace

TEST(XmlStrings, EveryIdExistsInBothLanguagesWithTheSamePlaceholders)
{
    for (UINT id : kIds) {
        const std::wstring english = LoadStringIn(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        const std::wstring japanese = LoadStringIn(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        EXPECT_FALSE(english.empty()) << id;
        EXPECT_FALSE(japanese.empty()) << id;
        EXPECT_NE(english, japanese) << id;
        EXPECT_EQ(CountPlaceholders(english), CountPlaceholders(japanese)) << id;
        EXPECT_FALSE(LoadResString(id).empty()) << id;
    }
}
