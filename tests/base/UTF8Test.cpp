#include "base/UTF8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(UTF8Test, WellFormedTextOnly)
{
    struct cCase
    {
        const char* text;
        bool valid;
    };
    const cCase cases[] = {
        {"", true},
        {"Kick.wav", true},
        {"\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1", true}, // Greek
        {"\xe9\x9f\xb3\xe6\xa5\xbd", true},                 // CJK
        {"e\xcc\x81", true},                                 // decomposed
        {"\xf0\x9f\x8e\xb5", true},                          // four bytes
        {"\xe9", false},                                     // a Latin-1 byte
        {"\xc3", false},                                     // cut short
        {"\xc0\xaf", false},                                 // overlong '/'
        {"\xed\xa0\x80", false},                             // a surrogate
        {"\xf4\x90\x80\x80", false},                         // beyond U+10FFFF
        {"\x80", false},                                     // a lone continuation
    };
    for (const cCase& c : cases)
        EXPECT_EQ(IsValidUTF8(c.text), c.valid) << c.text;
}

// Walking back from the end finds the same characters as walking forward.
TEST(UTF8Test, PreviousCharactersMatchAForwardReading)
{
    const char* texts[] = {"ab", "a\xc3\xa9", "\xe2\x82\xac\x80", "\xc3\xc3\xa9", "\xe4\xb8\xad\xe9x", "\x80\x80\x80\x80"};
    for (const char* text : texts)
    {
        std::vector<int32_t> forward;
        char32_t code;
        for (int32_t at = 0; text[at] != '\0';)
        {
            forward.push_back(at);
            const int32_t length = ReadUTF8Character(text + at, &code);
            at += length > 0 ? length : 1;
        }
        std::vector<int32_t> backward;
        for (int32_t at = int32_t(std::strlen(text)); at > 0;)
            backward.insert(backward.begin(), at = PreviousUTF8Character(text, at));
        EXPECT_EQ(backward, forward) << text;
    }
}
