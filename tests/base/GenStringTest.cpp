#include "base/GenString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

TEST(GenString, AssignCutsFixedStringToItsCapacity)
{
    const std::string longText(300, 'x');
    cGenStringFixed<260> path(longText.c_str());
    EXPECT_EQ(path.Length(), 259);
    EXPECT_EQ(path.MaxLength(), 259);

    cGenStringFixed<4> piece;
    piece.AssignCStr("abcdef");
    EXPECT_STREQ(piece.CStr(), "abc");
    // The cut lands on a byte, even inside a UTF-8 sequence: "a" + first byte of "é".
    piece.AssignCStr("a\xC3\xA9z");
    EXPECT_EQ(std::string(piece.CStr()), std::string("a\xC3\xA9"));
}

TEST(GenString, AppendToFixedStringIsAllOrNothing)
{
    cGenStringFixed<8> text("12345");
    text.AppendCString("abc");
    EXPECT_STREQ(text.CStr(), "12345");
    text.AppendCString("ab");
    EXPECT_STREQ(text.CStr(), "12345ab");
    text.AppendChar('!');
    EXPECT_STREQ(text.CStr(), "12345ab");
}

TEST(GenString, EmptyOrNullAssignmentKeepsTheBuffer)
{
    cGenStringFixed<16> text("name");
    const char* buffer = text.CStr();
    text.AssignCStr(nullptr);
    EXPECT_STREQ(text.CStr(), "");
    EXPECT_EQ(text.CStr(), buffer);
    text.AssignCStr("again");
    text.AssignCStr("");
    EXPECT_STREQ(text.CStr(), "");
    EXPECT_EQ(text.CStr(), buffer);
    EXPECT_EQ(text.Capacity(), 16);
}

TEST(GenString, NullDataReadsAsSharedEmptyString)
{
    const cGenString view(static_cast<const char*>(nullptr));
    EXPECT_EQ(view.Length(), 0);
    EXPECT_EQ(view.CharAt(0), '\0');
    EXPECT_EQ(view.CharPtrAt(0), cGenString::SharedEmpty());
    EXPECT_EQ(view.FindChar('a', 0), -1);

    const cGenString empty = cGenString::ConstructEmpty();
    EXPECT_EQ(empty.CStr(), cGenString::SharedEmpty());
    EXPECT_TRUE(cGenString::EqualsNoCase(view, ""));
    EXPECT_FALSE(cGenString::Less(view, empty));
}

TEST(GenString, TruncateKeepsOrDropsCharacters)
{
    struct Case
    {
        int n;
        const char* expected;
    };
    const Case cases[] = {{-3, ""}, {-4, "abc"}, {10, "abc"}, {3, "abc"}, {1, "a"}, {0, ""}, {-1, "ab"}};
    for (const Case& c : cases)
    {
        cGenStringFixed<8> text("abc");
        text.Truncate(c.n);
        EXPECT_STREQ(text.CStr(), c.expected) << "n = " << c.n;
        // Every byte behind the cut is cleared.
        for (int i = text.Length(); i < 4; ++i)
            EXPECT_EQ(text.CStr()[i], '\0') << "n = " << c.n << ", byte " << i;
    }
}

TEST(GenString, ReplaceGrowsOrRefuses)
{
    cGenString growable = cGenString::ConstructGrowableFromCStr("abc");
    growable.Replace(1, 1, "XYZ", -1);
    EXPECT_STREQ(growable.CStr(), "aXYZc");
    EXPECT_EQ(growable.Capacity(), 6); // growth is exact

    cGenStringFixed<4> fixed("abc");
    fixed.Replace(1, 1, "XYZ", -1);
    EXPECT_STREQ(fixed.CStr(), "abc");
    fixed.Replace(1, 1, "Q", -1);
    EXPECT_STREQ(fixed.CStr(), "aQc");
    fixed.Replace(-1, 0, "", -1);
    EXPECT_STREQ(fixed.CStr(), "aQc");
    fixed.Replace(0, 2, "", -1);
    EXPECT_STREQ(fixed.CStr(), "c");

    cGenStringFixed<16> path("b/c");
    path.Prepend("a/");
    EXPECT_STREQ(path.CStr(), "a/b/c");
    path.Insert(2, "x/");
    EXPECT_STREQ(path.CStr(), "a/x/b/c");
    path.PrependChar('/');
    EXPECT_STREQ(path.CStr(), "/a/x/b/c");
}

TEST(GenString, AssignCharsTakesExactlyNCharactersOrNothing)
{
    cGenStringFixed<4> fixed("ab");
    fixed.AssignChars("wxyz", 3);
    EXPECT_STREQ(fixed.CStr(), "wxy");
    fixed.AssignChars("wxyz", 4); // replacing, unlike assigning, refuses what does not fit
    EXPECT_STREQ(fixed.CStr(), "wxy");
    const cGenString piece = cGenString::ConstructGrowableFromChars("hello", 2);
    EXPECT_STREQ(piece.CStr(), "he");
    // No character is read for n = 0, so text may point at the end of a buffer.
    const std::unique_ptr<char[]> buffer(new char[2]{'a', 'b'});
    fixed.AssignChars(buffer.get() + 2, 0);
    EXPECT_STREQ(fixed.CStr(), "");
}

TEST(GenString, FormattingNeverGrows)
{
    cGenString growable;
    growable.Printf("%s-%d", "name", 7);
    EXPECT_STREQ(growable.CStr(), "");
    EXPECT_EQ(growable.Capacity(), 0);

    cGenString reserved = cGenString::ConstructGrowableReserved();
    EXPECT_EQ(reserved.Capacity(), 2049);
    reserved.Printf("Channel%02d", 3);
    EXPECT_STREQ(reserved.CStr(), "Channel03");

    cGenStringFixed<8> fixed;
    fixed.Printf("MIDI %d", 123456);
    EXPECT_STREQ(fixed.CStr(), "MIDI 12");

    cGenStringFixed<1> tiny;
    tiny.Printf("%d", 5);
    EXPECT_STREQ(tiny.CStr(), "");

    // The string's own text may be among the arguments.
    cGenStringFixed<32> name("Kick");
    name.Printf("%s%d", name.CStr(), 2);
    EXPECT_STREQ(name.CStr(), "Kick2");
}

TEST(GenString, GrowableStringsReallocateExactly)
{
    cGenString text;
    EXPECT_EQ(text.Capacity(), 0);
    text.AssignCStr("abcd");
    EXPECT_EQ(text.Capacity(), 5);
    text.AppendCString("ef");
    EXPECT_STREQ(text.CStr(), "abcdef");
    EXPECT_EQ(text.Capacity(), 7);
    text.Reserve(2); // never cuts text
    EXPECT_STREQ(text.CStr(), "abcdef");
    EXPECT_EQ(text.Capacity(), 7);
    text.Append(text); // its own text, moved by the growth
    EXPECT_STREQ(text.CStr(), "abcdefabcdef");

    text.MakeFixed();
    text.AppendCString("x");
    EXPECT_STREQ(text.CStr(), "abcdefabcdef");
    text.MakeGrowable();
    text.AppendCString("x");
    EXPECT_STREQ(text.CStr(), "abcdefabcdefx");

    text.FreeBuffer();
    EXPECT_EQ(text.Capacity(), 0);
    EXPECT_STREQ(text.CStr(), "");
}

TEST(GenString, ViewsAreNeverWritten)
{
    const char* literal = "fixed text";
    cGenString view = cGenString::ConstructView(literal);
    EXPECT_EQ(view.MaxLength(), 10);
    view.AssignCStr("other");
    view.AppendCString("more");
    view.Truncate(2);
    view.Printf("%d", 1);
    EXPECT_EQ(view.CStr(), literal);
    EXPECT_STREQ(literal, "fixed text");
    EXPECT_EQ(view.GetBuffer(), nullptr);
}

TEST(GenString, EditsWithItsOwnText)
{
    cGenStringFixed<16> fixed("abc");
    fixed.Append(fixed);
    EXPECT_STREQ(fixed.CStr(), "abcabc");
    fixed.Prepend(cGenString(fixed.CharPtrAt(-2)));
    EXPECT_STREQ(fixed.CStr(), "bcabcabc");
    fixed.Replace(0, 2, cGenString(fixed.CharPtrAt(5)), -1);
    EXPECT_STREQ(fixed.CStr(), "abcabcabc");
    fixed.AssignCStr(fixed.CharPtrAt(3));
    EXPECT_STREQ(fixed.CStr(), "abcabc");

    cGenString growable = cGenString::ConstructGrowableFromCStr("xy");
    growable.Prepend(growable);
    EXPECT_STREQ(growable.CStr(), "xyxy");
    growable.Insert(1, cGenString(growable.CharPtrAt(2)));
    EXPECT_STREQ(growable.CStr(), "xxyyxy");
    growable.AssignChars(growable.CharPtrAt(1), 3);
    EXPECT_STREQ(growable.CStr(), "xyy");
}

TEST(GenString, WrappedBufferEditsInPlace)
{
    char buffer[6] = "MiXeD";
    cGenString wrapped = cGenString::WrapBuffer(buffer, sizeof(buffer));
    wrapped.ToLower();
    EXPECT_STREQ(buffer, "mixed");
    wrapped.AssignCStr("longer text");
    EXPECT_STREQ(buffer, "longe");
}

TEST(GenString, CopiesAndMovesKeepTheirOwnText)
{
    cGenStringFixed<16> fixed("pad");
    cGenString copy(fixed);
    fixed.AssignCStr("changed");
    EXPECT_STREQ(copy.CStr(), "pad");

    cGenString moved(std::move(copy));
    EXPECT_STREQ(moved.CStr(), "pad");
    EXPECT_STREQ(copy.CStr(), "");

    cGenString fromFixed(std::move(fixed));
    EXPECT_STREQ(fromFixed.CStr(), "changed");
    EXPECT_STREQ(fixed.CStr(), "changed");

    cGenStringFixed<16> other(fixed);
    other = "x";
    EXPECT_STREQ(other.CStr(), "x");
    EXPECT_STREQ(fixed.CStr(), "changed");
}

TEST(GenString, Queries)
{
    const cGenString path("path/");
    EXPECT_EQ(path.CharAt(-1), '/');
    EXPECT_EQ(path.CharAt(0), 'p');
    EXPECT_STREQ(path.CharPtrAt(-2), "h/");

    EXPECT_EQ(cGenString("xaby").FindNoCase("AB", 0), 1);
    EXPECT_EQ(cGenString("abc").FindNoCase("b", 4), -1);
    EXPECT_EQ(cGenString("abc").FindNoCase("", 1), 1);
    EXPECT_EQ(cGenString("abc").FindNoCase("cd", 0), -1);

    EXPECT_EQ(cGenString("a.b.c").FindChar('.', 0), 1);
    EXPECT_EQ(cGenString("a.b.c").FindChar('.', 2), 3);
    EXPECT_EQ(cGenString("a.b.c").FindLastChar('.'), 3);
    EXPECT_EQ(cGenString("abc").FindLastChar('.'), -1);

    EXPECT_STREQ(cGenString("Sample.wav").Substring(0, 6).CStr(), "Sample");
    EXPECT_STREQ(cGenString("Sample.wav").Substring(7, -1).CStr(), "wav");

    EXPECT_TRUE(cGenString::Less("a", "b"));
    EXPECT_TRUE(cGenString::Less("Z", "a"));
    EXPECT_TRUE(cGenString::Less("a", "\xC3\xA9")); // bytes compare unsigned
    EXPECT_FALSE(cGenString::Less("b", "b"));
    EXPECT_TRUE(cGenString::EqualsNoCase("Doc", "DOC"));
    EXPECT_FALSE(cGenString::EqualsNoCase("Doc", "Docs"));
}

TEST(GenString, CharacterSetEdits)
{
    cGenStringFixed<32> text("a:b?c:");
    EXPECT_EQ(text.ReplaceChars(":?"), 3);
    EXPECT_STREQ(text.CStr(), "a_b_c_");
    text = "a:b?c:";
    EXPECT_EQ(text.RemoveChars(":?"), 3);
    EXPECT_STREQ(text.CStr(), "abc");

    text = "Folder\\";
    text.RemoveTrailingSeparator();
    EXPECT_STREQ(text.CStr(), "Folder");
    text.RemoveTrailingSeparator();
    EXPECT_STREQ(text.CStr(), "Folder");

    text = " \t pad \r\n";
    text.TrimLeft();
    text.TrimRight();
    EXPECT_STREQ(text.CStr(), "pad");

    text = "a\\b\\c";
    EXPECT_EQ(text.ReplaceCharBySlash('\\'), 2);
    EXPECT_STREQ(text.CStr(), "a/b/c");

    text = "Kick KICK kick";
    EXPECT_EQ(text.ReplaceAll("kick", "Snare"), 3);
    EXPECT_STREQ(text.CStr(), "Snare Snare Snare");
    EXPECT_EQ(text.ReplaceAll("hat", "x"), 0);
}

TEST(GenString, SplitMakesOnePiecePerSeparatorPlusOne)
{
    const cGenStringArray pieces = cGenString("a,,bc,").Split(',');
    ASSERT_EQ(pieces.GetCount(), 4u);
    EXPECT_STREQ(pieces[0].CStr(), "a");
    EXPECT_STREQ(pieces[1].CStr(), "");
    EXPECT_STREQ(pieces[2].CStr(), "bc");
    EXPECT_STREQ(pieces[3].CStr(), "");
    EXPECT_EQ(cGenString("").Split(',').GetCount(), 0u);
}
