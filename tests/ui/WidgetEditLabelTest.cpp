#include <functional>
#include <string>

#include "platform/os/KeyTable.h"
#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetEditLabel.h"

namespace
{
constexpr uint32_t kCursorColour = 0xffad880c;

// The field's text starts 5 pixels into its box, and every character of the
// test font at the field's size advances 6 pixels.
constexpr float kTextLeft = 105.0f;
constexpr float kAdvance = 6.0f;

class WidgetEditLabelTest : public ControlFixture
{
public:
    WidgetEditLabelTest()
    {
        field = Place(ControlKit::EditLabel(), {100, 100, 300, 124});
        field->ModifyFlags(kWidgetAcceptsKeys, 0, false);
        Frame();
    }

    // Typed on the computer keyboard: the key, then its character.
    void Type(char character)
    {
        input->OnChar(1, 0, character);
        input->OnChar(0, 0, character);
    }
    void Press(int32_t key)
    {
        input->OnKey(1, 0, key);
        input->OnKey(0, 0, key);
    }
    void ShiftPress(int32_t key)
    {
        input->OnKey(1, 42, kKeyLeftShift);
        Press(key);
        input->OnKey(0, 42, kKeyLeftShift);
    }
    std::string Text() const { return field->GetText(); }

    // The bands of the cursor colour drawn this frame.
    std::vector<cDrawnQuad> Bands() const
    {
        std::vector<cDrawnQuad> bands;
        for (const cDrawnQuad& quad : Quads())
            if (quad.colour == kCursorColour)
                bands.push_back(quad);
        return bands;
    }

    cWidgetEditLabel* field = nullptr;
};

TEST_F(WidgetEditLabelTest, EditsAsTheComputerKeyboardDrivesIt)
{
    struct cCase
    {
        const char* name;
        std::function<void(WidgetEditLabelTest&)> steps;
        size_t length;
        const char* ending;
        int32_t anchor;
        int32_t cursor;
    };
    const std::string long200(200, 'x'), full127(127, 'x');
    const cCase cases[] = {
        {"SetText of 200 keeps 128", [&](auto& t) { t.field->SetText(long200.c_str(), false); }, 128, "x", 128, 128},
        {"typing stops at 127",
         [&](auto& t)
         {
             t.field->SetText(full127.c_str(), false);
             t.Type('y');
         },
         127, "x", 127, 127},
        {"typing over 3 selected",
         [&](auto& t)
         {
             t.field->SetText(full127.c_str(), false);
             for (int i = 0; i < 3; ++i)
                 t.ShiftPress(kKeyLeft);
             t.Type('y');
         },
         125, "xy", 125, 125},
        {"select all then a",
         [](auto& t)
         {
             t.field->SetText("Song", true);
             t.Type('a');
         },
         1, "a", 1, 1},
        {"erase at 0",
         [](auto& t)
         {
             t.field->SetText("abc", false);
             t.Press(kKeyHome);
             t.Press(kKeyBackspace);
         },
         3, "abc", 0, 0},
        {"delete at the end",
         [](auto& t)
         {
             t.field->SetText("abc", false);
             t.Press(kKeyDelete);
         },
         3, "abc", 3, 3},
        {"Shift+Left twice selects cd",
         [](auto& t)
         {
             t.field->SetText("abcd", false);
             t.ShiftPress(kKeyLeft);
             t.ShiftPress(kKeyLeft);
         },
         4, "abcd", 4, 2},
        {"then Left collapses to 2",
         [](auto& t)
         {
             t.field->SetText("abcd", false);
             t.ShiftPress(kKeyLeft);
             t.ShiftPress(kKeyLeft);
             t.Press(kKeyLeft);
         },
         4, "abcd", 2, 2},
        {"Shift+Home then Delete",
         [](auto& t)
         {
             t.field->SetText("abcd", false);
             t.Press(kKeyLeft);
             t.ShiftPress(kKeyHome);
             t.Press(kKeyDelete);
         },
         1, "d", 0, 0},
        {"End, Backspace, Right",
         [](auto& t)
         {
             t.field->SetText("abcd", true);
             t.Press(kKeyEnd);
             t.Press(kKeyBackspace);
             t.Press(kKeyRight);
         },
         3, "abc", 3, 3},
    };
    for (const cCase& c : cases)
    {
        c.steps(*this);
        const std::string text = Text();
        EXPECT_EQ(text.size(), c.length) << c.name;
        EXPECT_TRUE(text.ends_with(c.ending)) << c.name << ": " << text;
        EXPECT_EQ(field->GetAnchor(), c.anchor) << c.name;
        EXPECT_EQ(field->GetCursor(), c.cursor) << c.name;
    }
}

// Characters outside printable ASCII and keys it has no use for are left
// to the keyboard panel.
TEST_F(WidgetEditLabelTest, LeavesAccentedCharactersAndEnterUnhandled)
{
    field->SetText("abc", false);
    const cKeyEvent accented = {1, -1, 0xe9, 0};
    const cKeyEvent enter = {1, kKeyEnter, -1, 28};
    const cKeyEvent typed = {1, -1, 'd', 32};
    const cKeyEvent released = {0, -1, 'e', 18};
    EXPECT_FALSE(field->ProcessKey(&accented));
    EXPECT_FALSE(field->ProcessKey(&enter));
    EXPECT_FALSE(field->ProcessKey(&released));
    EXPECT_TRUE(field->ProcessKey(&typed));
    EXPECT_EQ(Text(), "abcd");
    input->OnChar(1, 0, 0xe9);
    EXPECT_EQ(Text(), "abcd");
    field->SetEnabled(false);
    EXPECT_FALSE(field->ProcessKey(&typed));
}

TEST_F(WidgetEditLabelTest, TheSuffixShowsAfterADotOnlyWhileBothFit)
{
    // "Song" 24 and "prj" 18 wide need 24 + 18 + 15 = 57 pixels of field.
    for (float width : {57.0f, 56.0f})
    {
        field->SetAnchors(kAnchorsAbsoluteRect, 100, 100, width, 24);
        field->SetText("Song", false);
        field->suffix = "prj";
        Frame();
        const bool fits = width >= 57.0f;
        EXPECT_EQ(FindText("Song.prj").has_value(), fits) << width;
        EXPECT_EQ(FindText("Song").has_value(), !fits) << width;
        const auto shown = FindText(fits ? "Song.prj" : "Song");
        ASSERT_TRUE(shown);
        EXPECT_FLOAT_EQ(shown->x, kTextLeft);
        EXPECT_FLOAT_EQ(shown->y, 106.0f);
        EXPECT_EQ(shown->colour, 0xff202020u);
    }
    EXPECT_STREQ(field->GetText(), "Song") << "the suffix is only shown";
}

TEST_F(WidgetEditLabelTest, ATapPlacesTheCursorAndADragSelectsThePassedCharacters)
{
    field->SetText("abcdef", false);
    Down(1, kTextLeft + 2 * kAdvance + 1, 112); // just past "ab"
    EXPECT_TRUE(field->IsSelecting());
    EXPECT_EQ(field->GetCursor(), 2);
    Move(1, kTextLeft + 4 * kAdvance + 4, 112); // past the middle of "e"
    Up(1, kTextLeft + 5 * kAdvance + 1, 112);
    EXPECT_FALSE(field->IsSelecting());
    EXPECT_EQ(field->GetAnchor(), 2);
    EXPECT_EQ(field->GetCursor(), 5);

    Frame();
    const std::vector<cDrawnQuad> bands = Bands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_FLOAT_EQ(bands[0].rect.xMin, kTextLeft + 2 * kAdvance);
    EXPECT_FLOAT_EQ(bands[0].rect.xMax, kTextLeft + 5 * kAdvance);
    // 1.6 font sizes high, centred on the text: round(112 - 9.6).
    EXPECT_FLOAT_EQ(bands[0].rect.yMin, 102.0f);
    EXPECT_FLOAT_EQ(field->GetCursorBottom(), 102.0f + 19.2f);

    Tap(2, 50, 50);
    EXPECT_EQ(field->GetCursor(), 5) << "a tap elsewhere is not the field's";
}

TEST_F(WidgetEditLabelTest, TheCursorShowsForSixteenDrawnFramesAndHidesForSixteen)
{
    field->SetText("ab", false);
    std::string pattern;
    for (int frame = 2; frame <= 64; ++frame)
    {
        Frame();
        const std::vector<cDrawnQuad> bands = Bands();
        pattern += bands.empty() ? '.' : '|';
        if (!bands.empty())
        {
            EXPECT_FLOAT_EQ(bands[0].rect.xMin, kTextLeft + 2 * kAdvance);
            EXPECT_FLOAT_EQ(bands[0].rect.xMax - bands[0].rect.xMin, 1.0f);
        }
    }
    // Frames 2..15 dark, 16..31 shown, 32..47 dark, 48..63 shown, 64 dark.
    EXPECT_EQ(pattern, std::string(14, '.') + std::string(16, '|') + std::string(16, '.') + std::string(16, '|') + ".");
}

TEST_F(WidgetEditLabelTest, SizePreferencesHold128WideCharactersAndTheCursor)
{
    cVector2 minimum, preferred;
    field->GetSizePreferences(&minimum, &preferred);
    const float left = Sprite(352).x0 - Sprite(351).x0, right = Sprite(351).x1 - Sprite(352).x1;
    const float top = Sprite(352).y0 - Sprite(351).y0, bottom = Sprite(351).y1 - Sprite(352).y1;
    EXPECT_FLOAT_EQ(minimum.X, kAdvance * 128 + left + right);
    EXPECT_FLOAT_EQ(minimum.Y, top + 19.2f + bottom);
    EXPECT_FLOAT_EQ(preferred.X, minimum.X);
}

// Names from the file system are UTF-8: every index the field keeps lies on
// a character boundary, so it never hands back half a character.
TEST_F(WidgetEditLabelTest, KeepsEveryIndexOnAUTF8CharacterBoundary)
{
    const std::string e = "\xc3\xa9"; // a two-byte character
    const std::string name127 = std::string(127, 'n') + e;
    field->SetText(name127.c_str(), false);
    EXPECT_EQ(Text(), std::string(127, 'n')) << "the character that does not fit whole is dropped";

    struct cCase
    {
        const char* name;
        std::function<void(WidgetEditLabelTest&)> steps;
        std::string text;
        int32_t anchor;
        int32_t cursor;
    };
    const cCase cases[] = {
        {"erase backward", [](auto& t) { t.Press(kKeyBackspace); }, "a" + e, 3, 3},
        {"left steps over it", [](auto& t) { t.Press(kKeyLeft); t.Press(kKeyLeft); }, "a" + e + "b", 1, 1},
        {"shift+left selects it whole", [](auto& t) { t.ShiftPress(kKeyLeft); t.ShiftPress(kKeyLeft); },
         "a" + e + "b", 4, 1},
        {"delete removes it whole",
         [](auto& t)
         {
             t.Press(kKeyHome);
             t.Press(kKeyRight);
             t.Press(kKeyDelete);
         },
         "ab", 1, 1},
        {"right steps over it",
         [](auto& t)
         {
             t.Press(kKeyHome);
             t.Press(kKeyRight);
             t.Press(kKeyRight);
         },
         "a" + e + "b", 3, 3},
    };
    for (const cCase& c : cases)
    {
        field->SetText(("a" + e + "b").c_str(), false);
        c.steps(*this);
        EXPECT_EQ(Text(), c.text) << c.name;
        EXPECT_EQ(field->GetAnchor(), c.anchor) << c.name;
        EXPECT_EQ(field->GetCursor(), c.cursor) << c.name;
    }

    // The character is one glyph: a tap in its left half puts the cursor before it.
    field->SetText(("a" + e).c_str(), false);
    Tap(1, kTextLeft + kAdvance + 1, 112);
    EXPECT_EQ(field->GetCursor(), 1);
    Tap(1, kTextLeft + 3 * kAdvance, 112);
    EXPECT_EQ(field->GetCursor(), 3);

    // The label's own SetText leaves the field's indices behind; the field
    // brings them back into the text, onto a boundary, before it uses them.
    field->SetText("abcdef", false);
    static_cast<cWidgetLabel*>(field)->SetText(e.c_str());
    Frame();
    EXPECT_EQ(field->GetCursor(), 2);
    field->SetText("ab", false);
    field->MoveLeft(false);
    static_cast<cWidgetLabel*>(field)->SetText((e + "z").c_str());
    Type('x');
    EXPECT_EQ(Text(), "x" + e + "z") << "index 1 lay inside the character";
}
} // namespace
