#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetLabel.h"

namespace
{
// The label box's size sprite, and the text area marked inside it.
constexpr int kBox = 351;
constexpr int kTextArea = 352;

class WidgetLabelTest : public ControlFixture
{
protected:
    cWidgetLabel* MakeLabel(const char* caption, const char* text, const cRect& rect = {100, 100, 200, 124})
    {
        cWidgetLabel* label = Place(ControlKit::Label(caption), rect);
        label->SetText(text);
        Frame();
        return label;
    }

    float LeftInset() const { return Sprite(kTextArea).x0 - Sprite(kBox).x0; }
    float RightInset() const { return Sprite(kBox).x1 - Sprite(kTextArea).x1; }
};

TEST_F(WidgetLabelTest, TextSitsInTheTextAreaOfTheBox)
{
    cWidgetLabel* label = MakeLabel("", "Saw");
    EXPECT_FLOAT_EQ(label->GetTextRect().xMin, 100 + LeftInset());
    EXPECT_FLOAT_EQ(label->GetTextRect().xMax, 200 - RightInset());
    const auto text = FindText("Saw");
    ASSERT_TRUE(text);
    EXPECT_FLOAT_EQ(text->x, 100 + LeftInset());
    EXPECT_FLOAT_EQ(text->y, 106.0f) << "12-pixel text centred on 100..124";
    EXPECT_EQ(text->colour, 0xff202020u);
}

TEST_F(WidgetLabelTest, DisabledLabelGreysItsTextButNotItsBox)
{
    cWidgetLabel* label = MakeLabel("", "Saw");
    const std::vector<cDrawnQuad> enabledBox = Quads();
    ASSERT_FALSE(enabledBox.empty());
    label->SetEnabled(false);
    Frame();
    ASSERT_TRUE(FindText("Saw"));
    EXPECT_EQ(FindText("Saw")->colour, 0xff808080u);
    const std::vector<cDrawnQuad> disabledBox = Quads();
    ASSERT_EQ(disabledBox.size(), enabledBox.size());
    for (size_t i = 0; i < disabledBox.size(); ++i)
    {
        EXPECT_EQ(disabledBox[i].colour, 0xffffffffu);
        EXPECT_FLOAT_EQ(disabledBox[i].rect.xMin, enabledBox[i].rect.xMin);
    }
}

TEST_F(WidgetLabelTest, ALongTextEndsInTwoDotsWithinTheTextArea)
{
    cWidgetLabel* label = MakeLabel("", "Wavetable oscillator");
    const std::vector<cDrawnText> texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    const std::string& shown = texts[0].text;
    EXPECT_EQ(shown, "Wavetable osc..");
    const float width = 6.0f * float(shown.size());
    EXPECT_LE(texts[0].x + width, label->GetTextRect().xMax);
    EXPECT_STREQ(label->GetText(), "Wavetable oscillator") << "only the drawing is shortened";
}

TEST_F(WidgetLabelTest, TheNameIsACaptionAboveTheBoxAndNoNameDrawsNone)
{
    MakeLabel("", "Saw");
    EXPECT_EQ(Texts().size(), 1u);

    cWidgetLabel* named = MakeLabel("Wave", "Saw", {100, 200, 200, 224});
    const auto caption = FindText("Wave");
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->colour, ControlKit::kDarkCaption);
    // Moved up by half the caption size (4.5), then drawn above that edge,
    // on a whole pixel.
    EXPECT_FLOAT_EQ(named->GetCaptionRect().yMin, 195.5f);
    EXPECT_FLOAT_EQ(caption->y, 186.0f);
}

TEST_F(WidgetLabelTest, SizePreferencesAreTheInsetsAroundOneLine)
{
    cWidgetLabel* label = MakeLabel("", "Saw");
    cVector2 minimum, preferred;
    label->GetSizePreferences(&minimum, &preferred);
    const float top = Sprite(kTextArea).y0 - Sprite(kBox).y0;
    const float bottom = Sprite(kBox).y1 - Sprite(kTextArea).y1;
    EXPECT_FLOAT_EQ(minimum.X, LeftInset() + RightInset());
    EXPECT_FLOAT_EQ(minimum.Y, top + 12.0f + bottom);
    EXPECT_FLOAT_EQ(preferred.X, minimum.X);
    EXPECT_FLOAT_EQ(preferred.Y, minimum.Y);
}

// A label missing either sprite uses insets of 0 rather than reading a sprite
// that is not there: the text area is the box, or without a box the widget.
TEST_F(WidgetLabelTest, ALabelWithoutItsSpritesUsesNoInsets)
{
    struct cCase
    {
        bool box;
        bool textArea;
    };
    // The box stretches over the whole widget, so both areas are its rect.
    const cCase cases[] = {{true, false}, {false, true}, {false, false}};
    for (const cCase& c : cases)
    {
        cWidgetLabel* label = Place(ControlKit::Label(""), {100, 100, 200, 124});
        label->SetText("Saw");
        if (!c.textArea)
            label->textAreaSprite = nullptr;
        if (!c.box)
            label->background.SetSprites(nullptr, nullptr, nullptr);
        Frame();
        EXPECT_FLOAT_EQ(label->GetTextRect().xMin, 100.0f) << c.box << c.textArea;
        EXPECT_FLOAT_EQ(label->GetTextRect().xMax, 200.0f) << c.box << c.textArea;
        EXPECT_FLOAT_EQ(label->GetTextRect().yMin, 100.0f);
        ASSERT_TRUE(FindText("Saw"));
        cVector2 minimum, preferred;
        label->GetSizePreferences(&minimum, &preferred);
        EXPECT_FLOAT_EQ(minimum.X, 0.0f);
        EXPECT_FLOAT_EQ(minimum.Y, 12.0f);
        root->RemoveChild(label);
    }
}
} // namespace
