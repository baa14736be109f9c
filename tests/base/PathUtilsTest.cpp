#include "base/PathUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct EditCase
{
    const char* input;
    const char* expected;
};

template <typename Edit>
void ExpectEdits(Edit edit, std::initializer_list<EditCase> cases)
{
    for (const EditCase& c : cases)
    {
        cGenStringFixed<260> path(c.input);
        edit(path);
        EXPECT_STREQ(path.CStr(), c.expected) << "input '" << c.input << "'";
    }
}
} // namespace

TEST(PathUtils, AppendJoinsWithOneSlash)
{
    struct Case
    {
        const char* path;
        const char* part;
        const char* expected;
    };
    const Case cases[] = {
        {"", "User/Projects", "User/Projects"},
        {"", "/abs", "/abs"},
        {"Root\\", "\\\\x/y", "Root/x/y"},
        {"a", "", "a/"},
        {"a/", "b", "a/b"},
        {"Modules/Kest", "//Wavetables", "Modules/Kest/Wavetables"},
    };
    for (const Case& c : cases)
    {
        cGenStringFixed<260> path(c.path);
        EXPECT_TRUE(PathAppend(path, c.part));
        EXPECT_STREQ(path.CStr(), c.expected) << c.path << " + " << c.part;
    }
}

TEST(PathUtils, AppendThatDoesNotFitLeavesThePathAsItWas)
{
    cGenStringFixed<8> path("ab\\");
    EXPECT_FALSE(PathAppend(path, "toolong"));
    EXPECT_STREQ(path.CStr(), "ab\\");

    cGenStringFixed<8> full("abcdefg");
    EXPECT_FALSE(PathAppend(full, "x"));
    EXPECT_STREQ(full.CStr(), "abcdefg");

    cGenStringFixed<4> empty;
    EXPECT_FALSE(PathAppend(empty, "abcd"));
    EXPECT_STREQ(empty.CStr(), "");

    cGenString growable;
    EXPECT_TRUE(PathAppend(growable, "Doc"));
    EXPECT_TRUE(PathAppend(growable, "a/very/long/relative/path/that/grows.wav"));
    EXPECT_STREQ(growable.CStr(), "Doc/a/very/long/relative/path/that/grows.wav");
}

TEST(PathUtils, InPlaceEdits)
{
    ExpectEdits(PathAddTrailingSlash, {{"", ""}, {"a/", "a/"}, {"a\\", "a/"}, {"a", "a/"}});
    ExpectEdits(PathRemoveExtension, {{".bak", ""}, {"a.b.c", "a.b"}, {"dir.old/file", "dir.old/file"}, {"x/Song.prj", "x/Song"}});
    ExpectEdits(PathStripToFileName, {{"a/b\\c.wav", "c.wav"}, {"c.wav", "c.wav"}, {"a/", ""}});
    ExpectEdits(PathStripToDirectory, {{"a/b/c", "a/b/"}, {"c", ""}, {"a\\b", "a\\"}});
    ExpectEdits(PathStripFirstComponent, {{"a/b/c", "/b/c"}, {"abc", ""}, {"", ""}, {"a\\b", "\\b"}});
    ExpectEdits(PathToForwardSlashes, {{"C:\\Users\\x", "C:/Users/x"}, {"a/b", "a/b"}});
    ExpectEdits([](cGenString& p) { p.RemoveTrailingSeparator(); }, {{"a/", "a"}, {"a\\", "a"}, {"a//", "a/"}, {"", ""}});
    ExpectEdits([](cGenString& p) { PathEnsureLeadingSeparator(p, '/'); }, {{"a/b", "/a/b"}, {"/a", "/a"}, {"D:x", "D:x"}});
}

TEST(PathUtils, Queries)
{
    struct Case
    {
        const char* path;
        const char* extension;
        const char* fileName;
    };
    const Case cases[] = {
        {"dir.old/file", "", "file"},
        {"Song.prj", "prj", "Song.prj"},
        {".bak", "bak", ".bak"},
        {"a/b\\c.wav", "wav", "c.wav"},
        {"folder/", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases)
    {
        EXPECT_STREQ(PathGetExtension(c.path).CStr(), c.extension) << c.path;
        EXPECT_STREQ(PathGetFileName(c.path).CStr(), c.fileName) << c.path;
    }
    // Results are views into the argument's own buffer.
    const cGenStringFixed<32> path("x/y.wav");
    EXPECT_EQ(PathGetFileName(path).CStr(), path.CStr() + 2);

    for (const char* absolute : {"D:x", "/x", "\\x", "//server", "\\\\server"})
        EXPECT_TRUE(PathIsAbsolute(absolute)) << absolute;
    for (const char* relative : {"x/y", "", "1:x", ":x"})
        EXPECT_FALSE(PathIsAbsolute(relative)) << relative;
    EXPECT_TRUE(PathIsNetwork("\\\\server\\share"));
    EXPECT_FALSE(PathIsNetwork("/x"));

    EXPECT_EQ(PathDepth("a/b/c"), 2);
    EXPECT_EQ(PathDepth("/a/b/"), 1);
    EXPECT_EQ(PathDepth("/"), 0);

    EXPECT_EQ(PathFindSeparator(""), nullptr);
    const cGenString text("ab\\c");
    EXPECT_EQ(PathFindSeparator(text), text.CStr() + 2);
    const cGenString plain("abc");
    EXPECT_EQ(*PathFindSeparator(plain), '\0');
    EXPECT_TRUE(cGenString("a\\").EndsWithSeparator());
    EXPECT_FALSE(cGenString("").EndsWithSeparator());
}

TEST(PathUtils, SanitizeFileNameRemovesUnsafeCharactersAndShortens)
{
    const std::string thirty(30, 'n');
    const std::string twentyFourExtension(24, 'e');
    const std::string longExtension(25, 'e');
    struct Case
    {
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"My:Sample?.wav", "MySample.wav"},
        {"\"#@,;:<>*^|?\\/", ""},
        {"a/b\\c", "abc"},
        {thirty + ".wav", std::string(20, 'n') + ".wav"},
        {thirty, std::string(24, 'n')},
        {thirty + ".", std::string(24, 'n')},
        {std::string(24, 'n'), std::string(24, 'n')},
        // No room for the dot: the name loses its last character.
        {thirty + "." + twentyFourExtension, std::string(29, 'n') + "." + twentyFourExtension},
        {thirty + "." + longExtension, thirty},
    };
    for (const Case& c : cases)
    {
        cGenStringFixed<260> name(c.input.c_str());
        PathSanitizeFileName(name);
        EXPECT_EQ(std::string(name.CStr()), c.expected) << c.input;
    }
}

TEST(PathUtils, WildcardMatching)
{
    struct Case
    {
        const char* pattern;
        const char* text;
        bool exact;
        bool noCase;
    };
    const Case cases[] = {
        {"User/Samples/Factory*", "user/samples/factory kits/x", false, true},
        {"User/Samples/Factory*", "User/Samples/Factory kits/x", true, true},
        {"*.tmp", "a.TMP", false, true},
        {"*.tmp", "a.tmp", true, true},
        {"*", "", true, true},
        {"", "", true, true},
        {"", "a", false, false},
        {"User/Samples", "User/Samples/x", false, false},
        {"User/Samples", "User/Sample", false, false},
        {"a?c", "abc", true, true},
        {"a?c", "ac", false, false},
        {"*b*d", "abcbd", true, true},
        {"a*b*c", "aXbYbZc", true, true},
        {"a*b", "ab-ab-", false, false},
        {"**x", "yyx", true, true},
        {"*?", "", false, false},
        {"Bank_*.tmp", "bank_12.TMP", false, true},
        {"\xC3\x89*", "\xC3\xA9t\xC3\xA9", false, false}, // only ASCII letters fold
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.exact) << c.pattern << " ~ " << c.text;
        EXPECT_EQ(WildcardMatchNoCase(c.pattern, c.text), c.noCase) << c.pattern << " ~ " << c.text;
    }
}

TEST(PathUtils, ResolveAndMakeRelative)
{
    struct Case
    {
        const char* path;
        const char* base;
        bool ok;
        const char* expected;
    };
    const Case resolve[] = {
        {"", "a/b/", true, "a/b/"},
        {".", "a/b/", true, "a/b/"},
        {"/abs/x", "a/b/", true, "/abs/x"},
        {"c", "a/b/", true, "a/b/c"},
        {"../c", "a/b/", true, "a/c"},
        {"../../c", "a/b", true, "c"},
        {"../../c", "/a/", false, "../../c"},
        {"../c", "C:/", false, "../c"},
    };
    for (const Case& c : resolve)
    {
        cGenStringFixed<260> path(c.path);
        EXPECT_EQ(PathResolveRelative(path, c.base, '/'), c.ok) << c.path << " in " << c.base;
        EXPECT_STREQ(path.CStr(), c.expected) << c.path << " in " << c.base;
    }
    const Case relative[] = {
        {"C:/a/b/c.wav", "C:/a/d/", true, "../b/c.wav"},
        {"c:/A/dd/x", "C:/a/d/", true, "../dd/x"},
        {"C:/a/d/x", "C:/a/d/", true, "x"},
        {"D:/x", "C:/a/", false, "D:/x"},
        {"rel/x", "C:/a/", false, "rel/x"},
    };
    for (const Case& c : relative)
    {
        cGenStringFixed<260> path(c.path);
        EXPECT_EQ(PathMakeRelative(path, c.base, '/'), c.ok) << c.path << " from " << c.base;
        EXPECT_STREQ(path.CStr(), c.expected) << c.path << " from " << c.base;
    }
}

TEST(PathUtils, UTF8AndUTF16Conversion)
{
    struct Case
    {
        const char* utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"Kick.wav", u"Kick.wav"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x8E\xB9", u"\U0001F3B9"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(UTF8ToWide(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(WideToUTF8(c.utf16), std::string(c.utf8)) << c.utf8;
    }
    // Invalid input becomes the replacement character, nothing is dropped silently.
    EXPECT_EQ(UTF8ToWide("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(UTF8ToWide("\xC3"), u"\uFFFD");
    EXPECT_EQ(UTF8ToWide("\xC0\xAF"), u"\uFFFD\uFFFD"); // overlong '/'
    EXPECT_EQ(UTF8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // encoded surrogate
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(WideToUTF8(lone), "a\xEF\xBF\xBD" "b");
    EXPECT_STREQ(GetLineEnding(), "\r\n");
}
