#include "foundation/ResString.h"
#include "ids/drives.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The text of string `id` in `language`, read from the string table block itself.
bool FindString(UINT id, LANGID language, std::wstring& text)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return false;
    const auto* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, found)));
    if (!p) return false;
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    text.assign(p + 1, *p);
    return !text.empty();
}

TEST(DriveStrings, EveryMessageExistsInBothLanguages)
{
    const UINT ids[] = {
        IDS_GET_CLASS_DEVICES_FAILED, IDS_RELEASE_DEVICE_INFO_LIST_FAILED, IDS_ENUM_DEVICE_INFO_FAILED,
        IDS_ENUM_DEVICE_INTERFACES_FAILED, IDS_DEVICE_INTERFACE_DETAIL_FAILED, IDS_DEVICE_ALREADY_OPENED,
        IDS_DEVICE_ALREADY_REGISTERED, IDS_DEVICE_PATH_EMPTY, IDS_REGISTER_DEVICE_NOTIFICATION_FAILED,
        IDS_UNREGISTER_DEVICE_NOTIFICATION_FAILED, IDS_LOCK_VOLUME_FAILED, IDS_DISMOUNT_VOLUME_FAILED,
        IDS_MEDIA_REMOVAL_FAILED, IDS_EJECT_MEDIA_FAILED, IDS_DEVICE_ID_SIZE_FAILED, IDS_DEVICE_ID_FAILED,
        IDS_DEVICE_ID_LIST_SIZE_FAILED, IDS_DEVICE_ID_LIST_FAILED, IDS_CLOSE_HANDLE_FAILED, IDS_OPEN_FILE_FAILED,
    };
    for (UINT id : ids) {
        std::wstring english, japanese;
        EXPECT_TRUE(FindString(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), english)) << id;
        EXPECT_TRUE(FindString(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), japanese)) << id;
        EXPECT_NE(english, japanese) << id;
        // Both carry the same placeholders.
        auto count = [](const std::wstring& s) {
            size_t n = 0;
            for (size_t p = s.find(L"%s"); p != std::wstring::npos; p = s.find(L"%s", p + 2)) ++n;
            return n;
        };
        EXPECT_EQ(count(english), count(japanese)) << id;
        EXPECT_FALSE(LoadResString(id).empty()) << id;
    }
}

} // namespace
