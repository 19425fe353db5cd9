// MD5 digests against the published vectors, and the file-name character maps.
#include "inet/CharacterMaps.h"
#include "inet/Md5.h"

#include <gtest/gtest.h>

namespace {

std::string Hex(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

TEST(Md5, PublishedVectors)
{
    const struct {
        std::string data;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        std::string digest = "old";
        ASSERT_EQ(S_OK, Md5Bytes(digest, c.data)) << c.data;
        EXPECT_EQ(16u, digest.size());
        EXPECT_EQ(c.digest, Hex(digest)) << c.data;
    }
}

TEST(Md5, BinaryDataIsHashedWhole)
{
    std::string withNul, withoutTail;
    ASSERT_EQ(S_OK, Md5Bytes(withNul, std::string("ab\0c", 4)));
    ASSERT_EQ(S_OK, Md5Bytes(withoutTail, "ab"));
    EXPECT_NE(withNul, withoutTail);
}

TEST(CharacterMaps, Table)
{
    const struct {
        void (*map)(std::wstring&);
        const wchar_t* input;
        const wchar_t* expected;
    } cases[] = {
        {ToFileNameCharacters, L"a:b/c?d", L"a\uFF1Ab\uFF0Fc\uFF1Fd"},
        {FromPathCharacters, L"a\uFF1Ab\uFF0Fc\uFF1Fd", L"a:b/c?d"},
        {ToPathCharacters, L"dir/sub/name?x", L"dir\\sub\\name\uFF1Fx"},
        {FromPathCharacters, L"dir\\sub\\name\uFF1Fx", L"dir/sub/name?x"},
        {ToFileNameCharacters, L"\\*\"<>|\u00A0", L"\uFF3C\uFF0A\u201D\uFF1C\uFF1E\uFF5C "},
        {ToPathCharacters, L"\\", L"\uFF3C"},
        {FromPathCharacters, L"\uFF3C", L"\\"},
        {NoBreakSpaceToSpace, L"a\u00A0b", L"a b"},
    };
    for (const auto& c : cases) {
        std::wstring text = c.input;
        c.map(text);
        EXPECT_EQ(c.expected, text) << c.input;
    }
}

TEST(CharacterMaps, MapCharactersIsOnePass)
{
    std::wstring text = L"abc";
    EXPECT_FALSE(MapCharacters(text, L"abc", L"xy"));
    EXPECT_EQ(L"abc", text);
    EXPECT_TRUE(MapCharacters(text, L"ab", L"ba"));
    EXPECT_EQ(L"bac", text);
    EXPECT_TRUE(MapCharacters(text, L"", L""));
    EXPECT_EQ(L"bac", text);
    EXPECT_TRUE(MapCharacters(text, L"aa", L"xy"));
    EXPECT_EQ(L"bxc", text);
}

TEST(CharacterMaps, SmallConversions)
{
    std::wstring text = L"\u3000rest";
    EXPECT_TRUE(CutAtIdeographicSpace(text));
    EXPECT_EQ(L"", text);
    text = L"ab\u3000c\u3000d";
    EXPECT_TRUE(CutAtIdeographicSpace(text));
    EXPECT_EQ(L"ab", text);
    EXPECT_FALSE(CutAtIdeographicSpace(text));

    text = L"AbZ\u00C9\uFF21";
    ToLowerAsciiInPlace(text);
    EXPECT_EQ(L"abz\u00C9\uFF21", text);

    EXPECT_EQ(-42, ToInt(L"  -42x"));
    EXPECT_EQ(7, ToInt(L"+7"));
    EXPECT_EQ(0, ToInt(L"x1"));
    EXPECT_EQ(0, ToInt(nullptr));
}

} // namespace
