#include <gtest/gtest.h>

#include <memory>

#include "FakeInputTarget.h"
#include "platform/KeyboardTranslator.h"

namespace
{
using cCall = cFakeInputTarget::cCall;

void ExpectKey(const cCall& call, const char* what, int action, int scanCode, int code)
{
    EXPECT_EQ(call.what, what);
    EXPECT_EQ(call.id, action);
    EXPECT_EQ(call.scanCode, scanCode);
    EXPECT_EQ(call.code, code);
}

class KeyboardTranslatorTest : public ::testing::Test
{
protected:
    cFakeInputTarget target;
    std::unique_ptr<cKeyboardTranslator> keyboard = std::make_unique<cKeyboardTranslator>();
};

TEST_F(KeyboardTranslatorTest, ReleaseRepeatsTheCharactersOfItsPress)
{
    keyboard->OnKeyDown(target, 4, 0x1E, 'A');
    keyboard->OnText(target, "a");
    keyboard->OnKeyUp(target, 4, 0x1E, 'A');

    ASSERT_EQ(target.calls.size(), 4u);
    ExpectKey(target.calls[0], "key", 1, 0x1E, 'A');
    ExpectKey(target.calls[1], "char", 1, 0x1E, 'a');
    ExpectKey(target.calls[2], "key", 0, 0x1E, 'A');
    ExpectKey(target.calls[3], "char", 0, 0x1E, 'a');
}

TEST_F(KeyboardTranslatorTest, KeysWithoutCharactersAndCharactersWithoutCodes)
{
    // Shift types nothing; its release sends no character.
    keyboard->OnKeyDown(target, 225, 0x2A, 287);
    keyboard->OnKeyUp(target, 225, 0x2A, 287);
    ASSERT_EQ(target.calls.size(), 2u);

    // A Cyrillic key has no key code but still types its letter.
    target.calls.clear();
    keyboard->OnKeyDown(target, 4, 0x1E, -1);
    keyboard->OnText(target, "\xD1\x84");
    keyboard->OnKeyUp(target, 4, 0x1E, -1);
    ASSERT_EQ(target.calls.size(), 4u);
    ExpectKey(target.calls[1], "char", 1, 0x1E, 0x444);
    ExpectKey(target.calls[3], "char", 0, 0x1E, 0x444);
}

TEST_F(KeyboardTranslatorTest, TextWithoutAKeyIsPressedAndReleasedAtOnce)
{
    keyboard->OnKeyDown(target, 4, 0x1E, 'A');
    keyboard->OnText(target, "a");
    // Input-method text after the key's own text belongs to no key.
    keyboard->OnText(target, "\xF0\x9D\x84\x9E"); // outside the BMP: a surrogate pair
    ASSERT_EQ(target.calls.size(), 6u);
    ExpectKey(target.calls[2], "char", 1, 0, 0xD834);
    ExpectKey(target.calls[3], "char", 0, 0, 0xD834);
    ExpectKey(target.calls[4], "char", 1, 0, 0xDD1E);
    ExpectKey(target.calls[5], "char", 0, 0, 0xDD1E);
}

TEST_F(KeyboardTranslatorTest, MalformedTextNeverReadsPastItsEnd)
{
    keyboard->OnText(target, "\xE2\x82");
    keyboard->OnText(target, "\xFF" "b");
    ASSERT_EQ(target.calls.size(), 6u);
    EXPECT_EQ(target.calls[0].code, 0xFFFD);
    EXPECT_EQ(target.calls[2].code, 0xFFFD);
    EXPECT_EQ(target.calls[4].code, 'b');
}
} // namespace
