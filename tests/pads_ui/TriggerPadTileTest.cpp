#include "PadEditorFixture.h"

#include <cmath>

#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "render/DrawList.h"

namespace
{
// A tile drawn on its own into the captured frame.
class PadTile : public PadEditorFixture
{
protected:
    PadTile()
    {
        SetupUIMetrics();
        tile.SetRect(100.0f, 100.0f, 200.0f, 220.0f);
    }

    void DrawTile(bool lit, int32_t indicator = 0)
    {
        renderer.draws.clear();
        cDrawList& list = *manager->GetDrawList();
        list.Begin();
        tile.Draw(list, lit, indicator);
        list.End();
    }
    // The quads of a sprite drawn, as nine-patch pieces or whole.
    size_t Drawn(int sprite) const { return QuadsInside(sprite).size(); }
    uint32_t AlphaOf(int sprite) const { return QuadsInside(sprite).front().colour >> 24; }

    cTriggerPadTile tile;
};
} // namespace

// A hit lights the glow at once; each frame after keeps three quarters of
// it. The pad shows below 0.95 and the glow above 0.05, both in between.
TEST_F(PadTile, AHitGlowsAndFades)
{
    const struct
    {
        bool lit;
        float glow;
        bool normal;
        bool glowing;
        uint32_t alpha;
    } frames[] = {
        {true, 1.0f, false, true, 255},   {false, 0.75f, true, true, 191}, {false, 0.5625f, true, true, 143},
        {false, 0.421875f, true, true, 107}, {true, 1.0f, false, true, 255},
    };
    for (const auto& frame : frames)
    {
        DrawTile(frame.lit);
        EXPECT_FLOAT_EQ(tile.glow, frame.glow);
        EXPECT_EQ(Drawn(TriggerPadSprite::kPad) > 0, frame.normal) << frame.glow;
        EXPECT_EQ(Drawn(TriggerPadSprite::kPadLitBus1) > 0, frame.glowing) << frame.glow;
        if (frame.glowing)
        {
            EXPECT_EQ(AlphaOf(TriggerPadSprite::kPadLitBus1), frame.alpha);
        }
    }
    for (int i = 0; i < 30; ++i)
        DrawTile(false);
    EXPECT_LT(tile.glow, 0.05f);
    EXPECT_EQ(Drawn(TriggerPadSprite::kPadLitBus1), 0u);
    EXPECT_GT(Drawn(TriggerPadSprite::kPad), 0u);
}

// The bus chooses the pad's tint and its glow; a bus outside 0..2 keeps
// the last look.
TEST_F(PadTile, TheBusTintsThePad)
{
    const struct
    {
        int32_t bus;
        uint32_t tint;
        int glow;
    } buses[] = {{0, 0xffffdcdc, TriggerPadSprite::kPadLitBus1},
                 {1, 0xffc8ffdc, TriggerPadSprite::kPadLitBus2},
                 {2, 0xffdcdcff, TriggerPadSprite::kPadLitBus3},
                 {7, 0xffdcdcff, TriggerPadSprite::kPadLitBus3}};
    for (const auto& bus : buses)
    {
        tile.bus = bus.bus;
        tile.glow = 0.5f;
        DrawTile(false);
        EXPECT_EQ(QuadsInside(TriggerPadSprite::kPad).front().colour, bus.tint) << bus.bus;
        EXPECT_GT(Drawn(bus.glow), 0u) << bus.bus;
    }
}

// Names: "<EMPTY>" for none, dark red when the sample is missing, and a
// long one cut at its start, measured only when it or the rect changes.
TEST_F(PadTile, NamesFitTheirPad)
{
    const struct
    {
        const char* name;
        bool missing;
        const char* shown;
        uint32_t colour;
    } names[] = {
        {"", false, "<EMPTY>", 0xff1e1e1e},
        {"", true, "<EMPTY>", 0xff1e1e1e},
        {"Kick", false, "Kick", 0xff1e1e1e},
        {"Snare", true, "Snare", 0xff191996},
    };
    for (const auto& name : names)
    {
        tile.SetName(name.name, name.missing);
        const int32_t before = tile.GetShortenCount();
        DrawTile(false);
        DrawTile(false);
        EXPECT_EQ(tile.GetShortenCount(), before + 1) << "once per change, not per frame";
        const auto drawn = FindText(name.shown);
        ASSERT_TRUE(drawn.has_value()) << name.shown;
        EXPECT_EQ(drawn->colour, name.colour) << name.shown;
    }
    tile.SetName("A very long sample name of a take", false);
    DrawTile(false);
    const std::string shown = tile.GetDisplayName();
    EXPECT_EQ(shown.substr(0, 2), "..");
    EXPECT_EQ(shown.rfind("name of a take"), shown.size() - 14) << "the end is kept";
    EXPECT_TRUE(FindText(shown).has_value());
    tile.SetRect(100.0f, 100.0f, 400.0f, 220.0f);
    DrawTile(false);
    EXPECT_STREQ(tile.GetDisplayName(), "A very long sample name of a take") << "a wider pad shows it whole";
}

// The number sits in the pad's corner; the mute mark shows at the alpha
// asked, in dark grey, centred on the pad.
TEST_F(PadTile, NumberAndMuteMark)
{
    tile.numberText.AssignCStr("16");
    for (const int32_t alpha : {0, 70, 255})
    {
        DrawTile(false, alpha);
        const auto number = FindText("16");
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(number->colour, cTriggerPadTile::kNumberColour);
        const auto marks = QuadsOf(TriggerPadSprite::kMuteIcon);
        ASSERT_EQ(marks.size(), alpha ? 1u : 0u) << alpha;
        if (alpha)
        {
            EXPECT_EQ(marks[0].colour, 0x00202020u | (uint32_t(alpha) << 24));
            EXPECT_EQ(Centre(marks[0].rect).X, Centre(tile.GetImageRect()).X);
        }
    }
}

// A three-way selector's lamp moves down 12 pixels a position.
TEST_F(PadTile, AThreeWaySelectorLightsItsPosition)
{
    auto* selector = Place(new cTriggerPadButton3LED("KEY MODE", false), {100.0f, 100.0f, 200.0f, 160.0f});
    Frame();
    float first = 0.0f;
    for (int32_t value = 0; value < 3; ++value)
    {
        selector->value = value;
        const float y = Centre(selector->GetLampRect()).Y;
        if (value == 0)
            first = y;
        EXPECT_FLOAT_EQ(y - first, 12.0f * float(value));
    }
    selector->SetCaption(0, "TRIG");
    selector->SetCaption(1, "HOLD");
    selector->SetCaption(2, "LOOP");
    Frame();
    const auto trig = FindText("TRIG"), loop = FindText("LOOP");
    ASSERT_TRUE(trig && loop);
    EXPECT_GT(trig->x, selector->GetLampRect().xMax) << "captions follow the lamps on the right";
    EXPECT_FLOAT_EQ(loop->y - trig->y, 22.0f);
}
