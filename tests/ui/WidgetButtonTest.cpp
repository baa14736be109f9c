#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetButton.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The standard wide button: 96 x 32, drawn with sprites 17 (unlit) and 25
// (lit), its label in the light label colour.
constexpr int kUnlitDrawn = 17;
constexpr int kLitDrawn = 25;
constexpr int kIconSprite = 197;

class WidgetButtonTest : public ControlFixture
{
protected:
    // A button whose rect is exactly its 96 x 32 body at (100, 100), so its
    // touch rect is (95, 95)-(201, 137) with the standard margins of 5.
    cWidgetButton* MakeButton(int32_t mode, const char* label = "Go")
    {
        cWidgetButton* button = Place(ControlKit::Button(label, mode, 0), {100, 100, 196, 132});
        button->clickDelegate = recorder.Delegate();
        Frame();
        return button;
    }

    bool DrewSprite(int sprite) const { return !QuadsOf(sprite).empty(); }
};

TEST_F(WidgetButtonTest, MomentaryReportsHoldingAndLettingGoAsTheFingerLeavesAndReturns)
{
    cWidgetButton* button = MakeButton(kButtonMomentary);
    EXPECT_FLOAT_EQ(button->GetTouchRect().xMax, 201.0f);

    Down(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
    Move(1, 220, 116); // 19 pixels right of the touch rect: still held
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
    Move(1, 222, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0));
    Move(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0, 1));
    Up(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0, 1, 0));

    recorder.calls.clear();
    Down(1, 150, 116);
    Move(1, 150, 300);
    Up(1, 150, 300);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0)) << "a release outside reports nothing more";
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(recorder.calls[0].widget, button);
}

TEST_F(WidgetButtonTest, CycleButtonWrapsThroughItsValuesAndAReleaseOutsideKeepsTheValue)
{
    cWidgetButton* button = MakeButton(kButtonCycle);
    button->maximum = 2;
    for (int click = 0; click < 4; ++click)
        Tap(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 2, 0, 1));

    Down(1, 150, 116);
    Up(1, 150, 200);
    EXPECT_EQ(recorder.calls.size(), 4u);
    EXPECT_EQ(button->value, 1);
}

// Value 1 is the maximum, so a push button at 1 looks lit when idle and
// does not light further while pressed; its value never changes.
TEST_F(WidgetButtonTest, PushButtonReportsItsUnchangedValueAndLooksLitIdleAtOne)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    Tap(1, 150, 116);
    button->value = 1;
    Frame();
    EXPECT_TRUE(DrewSprite(kLitDrawn));
    EXPECT_FALSE(DrewSprite(kUnlitDrawn));

    Down(1, 150, 116);
    Frame();
    EXPECT_TRUE(DrewSprite(kUnlitDrawn)) << "held at its maximum it does not light";
    Up(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(0, 1));
    EXPECT_EQ(recorder.calls.size(), 2u) << "setting the value from code reported nothing";

    button->value = 0;
    Down(1, 150, 116);
    Frame();
    EXPECT_TRUE(DrewSprite(kLitDrawn)) << "below its maximum it lights while held";
    Move(1, 150, 300);
    Frame();
    EXPECT_TRUE(DrewSprite(kUnlitDrawn)) << "and goes dark when the finger leaves";
}

TEST_F(WidgetButtonTest, ASecondFingerOnAHeldButtonIsSwallowed)
{
    cProbeWidget* beneath = AddProbe(root, "beneath", {0, 0, 640, 480});
    root->RaiseChild(MakeButton(kButtonMomentary));
    Down(1, 150, 116);
    Down(2, 160, 120);
    EXPECT_TRUE(beneath->touches.empty());
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
    EXPECT_EQ(manager->GetCaptureCount(), 1);
    Up(2, 160, 120);
    EXPECT_EQ(beneath->touches.size(), 1u) << "the swallowed finger is not the button's";
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
}

TEST_F(WidgetButtonTest, CancellingAHeldMomentaryButtonReportsZeroOnce)
{
    MakeButton(kButtonMomentary);
    root->HandleCancel(0, 0);
    EXPECT_THAT(recorder.Values(), IsEmpty()) << "an idle button has nothing to cancel";

    Down(1, 150, 116);
    root->HandleCancel(0, 0);
    root->HandleCancel(0, 0);
    Up(1, 150, 116);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0));
    EXPECT_EQ(recorder.calls.size(), 2u);
}

TEST_F(WidgetButtonTest, CharacterShortcutMatchesEitherCaseAndAKeyReleaseClicks)
{
    cWidgetButton* button = MakeButton(kButtonCycle);
    button->maximum = 3;
    button->SetCharShortcut('a');
    EXPECT_TRUE(button->HasFlags(kWidgetAcceptsKeys));

    struct cCase
    {
        int32_t character;
        bool clicks;
    };
    const cCase cases[] = {{'a', true}, {'A', true}, {'b', false}};
    int32_t expected = 0;
    for (const cCase& c : cases)
    {
        input->OnChar(1, 30, c.character);
        EXPECT_EQ(button->IsPressed(), c.clicks) << char(c.character);
        input->OnChar(0, 30, c.character);
        if (c.clicks)
            ++expected;
        EXPECT_EQ(button->value, expected) << char(c.character);
        if (c.clicks)
        {
            EXPECT_EQ(button->tapCount, 1) << "keys count one tap";
        }
    }
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 2));

    button->SetKeyShortcut(257);
    input->OnKey(1, 1, 257);
    input->OnKey(0, 1, 257);
    input->OnChar(1, 30, 'a');
    input->OnChar(0, 30, 'a');
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 2, 3)) << "a key shortcut replaces the character";
}

TEST_F(WidgetButtonTest, WholeRectFlagTakesPressesAwayFromTheBody)
{
    for (bool wholeRect : {false, true})
    {
        cWidgetButton* button = Place(ControlKit::Button("Go", kButtonPush, 0), {300, 300, 500, 400});
        button->clickDelegate = recorder.Delegate();
        if (wholeRect)
            button->ModifyFlags(kWidgetTouchWholeRect | kWidgetLayoutDirty, 0, false);
        Frame();
        recorder.calls.clear();
        Tap(1, 305, 305); // the body is 96 x 32 in the middle of the rect
        EXPECT_EQ(recorder.calls.size(), wholeRect ? 1u : 0u) << wholeRect;
        root->RemoveChild(button);
    }
}

TEST_F(WidgetButtonTest, ADoubleTapReachesTheDelegateAsTapCountTwo)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    std::vector<int32_t> tapCounts;
    struct cReader
    {
        void OnClick(int32_t, cWidgetButton* source) { counts->push_back(source->tapCount); }
        std::vector<int32_t>* counts;
    } reader{&tapCounts};
    button->clickDelegate = cDelegate(&reader, &cReader::OnClick);

    for (double time : {10.0, 10.1, 12.0})
    {
        cTouch* touch = input->GetTouchTracker().BeginTouchAt(1, 150, 116, time);
        input->DispatchTouch(kTouchDown, touch);
        Up(1, 150, 116);
    }
    EXPECT_THAT(tapCounts, ElementsAre(1, 2, 1));
}

TEST_F(WidgetButtonTest, DisabledButtonDimsItsSkinAndLabel)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    button->SetEnabled(false);
    Frame();
    ASSERT_EQ(QuadsOf(kUnlitDrawn).size(), 1u);
    EXPECT_EQ(QuadsOf(kUnlitDrawn)[0].colour, 0xff7f7f7fu);
    ASSERT_TRUE(FindText("Go"));
    EXPECT_EQ(FindText("Go")->colour, 0xff6e6e6eu);
    Tap(1, 150, 116);
    EXPECT_THAT(recorder.Values(), IsEmpty());
}

// The test font advances 5 pixels a character at the label size, so "Go"
// is 10 wide; the icon is 20 x 20; the body spans (100, 100)-(196, 132).
TEST_F(WidgetButtonTest, IconBesideTheTextFormsOneCentredBlock)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    ControlKit::SetButtonIconBeside(button, kIconSprite);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    ASSERT_EQ(QuadsOf(kIconSprite).size(), 1u);
    const cRect icon = QuadsOf(kIconSprite)[0].rect;
    EXPECT_FLOAT_EQ(icon.xMin, 130.0f); // block of 20 + 6 + 10 centred on 148
    EXPECT_FLOAT_EQ(icon.xMax, 150.0f);
    ASSERT_TRUE(FindText("Go"));
    EXPECT_FLOAT_EQ(FindText("Go")->x, 156.0f);
    EXPECT_FLOAT_EQ(FindText("Go")->y, 111.0f);
}

TEST_F(WidgetButtonTest, IconAboveTheTextRisesByHalfTheGapAndTextHeight)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    ControlKit::SetButtonIconBeside(button, kIconSprite);
    button->SetIconAboveText(4.0f);
    button->labelStyle.alignment = 0x10;
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    ASSERT_EQ(QuadsOf(kIconSprite).size(), 1u);
    const cRect icon = QuadsOf(kIconSprite)[0].rect;
    EXPECT_FLOAT_EQ(icon.xMin, 138.0f);
    EXPECT_FLOAT_EQ(icon.yMin, 99.0f); // centre 116 moved by round((20 - 34) / 2)
    ASSERT_TRUE(FindText("Go"));
    EXPECT_FLOAT_EQ(FindText("Go")->x, 143.0f) << "the text is centred again";
    EXPECT_FLOAT_EQ(FindText("Go")->y, 111.0f) << "and keeps its place";
}

TEST_F(WidgetButtonTest, ANamelessButtonDrawsNoTextAndLeavesItsIconInPlace)
{
    cWidgetButton* button = MakeButton(kButtonPush, "");
    ControlKit::SetButtonIconBeside(button, kIconSprite);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    EXPECT_TRUE(Texts().empty());
    ASSERT_EQ(QuadsOf(kIconSprite).size(), 1u);
    EXPECT_FLOAT_EQ(QuadsOf(kIconSprite)[0].rect.xMin, 138.0f);
}

TEST_F(WidgetButtonTest, SizePreferencesComeFromTheLitBackground)
{
    cWidgetButton* button = MakeButton(kButtonPush);
    cVector2 minimum, preferred;
    button->GetSizePreferences(&minimum, &preferred);
    EXPECT_FLOAT_EQ(preferred.X, Sprite(26).width);
    EXPECT_FLOAT_EQ(preferred.Y, Sprite(26).height);
    EXPECT_FLOAT_EQ(minimum.X, Sprite(26).width) << "no stretchable part";

    cWidgetButton* bare = new cWidgetButton(kButtonPush, nullptr, nullptr);
    bare->GetSizePreferences(&minimum, &preferred);
    EXPECT_FLOAT_EQ(preferred.X, 0.0f);
    bare->Release();
}
} // namespace
