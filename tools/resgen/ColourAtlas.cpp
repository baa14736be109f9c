#include "ColourAtlas.h"

#include "HouseStyle.h"
#include "MainScreenArt.h"
#include "MixdownArt.h"
#include "PasteboardArt.h"
#include "MixingDeskArt.h"
#include "SamplerEffectsArt.h"
#include "PianoRollArt.h"
#include "PadEditorArt.h"
#include "ProjectPageArt.h"
#include "RollArt.h"
#include "SampleEditorArt.h"
#include "SamplerPanelArt.h"
#include "SamplerArt.h"
#include "app/MainScreenSprites.h"
#include "ui/NavButtonSprites.h"
#include "audio/InstrumentIcons.h"
#include "editors/SongRollSprites.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "project/ui/PasteboardSprites.h"
#include "project/ui/ProjectPageSprites.h"
#include "sampler/MixdownSprites.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "sampler/SamplerEffectsSprites.h"
#include "editors/PianoRollSprites.h"
#include "sampler/SampleEditorSprites.h"
#include "sampler/SamplerPanelSprites.h"
#include "sampler/SamplerSprites.h"

#include <cmath>
#include <set>

using namespace HouseStyle;

namespace
{
constexpr int kSolidFill = 465;

using cArt = std::function<void(cCanvas&, const cPlace&)>;
// Paints a skin's face into its size rectangle; the shadow goes into the margin.
using cFaceArt = std::function<void(cCanvas&, const cRectF& body)>;

struct cEntryDef
{
    int index;
    cRectI rect;
    const char* role;
    const char* drawing;
};

// The synthesizer's face plate: its captions are printed in dark red
// (115, 0, 0), which reads only on a light ground (over 4.5:1 on each of
// these); its knobs, lamps and displays stay dark on it.
const cColour kSynthFace = cColour::FromARGB(0xffc8c8c8);
const cColour kSynthStripFace = cColour::FromARGB(0xffbebebe);
const cColour kSynthBoxFace = cColour::FromARGB(0xffb4b4b4);
const cColour kSynthHighlightFace = cColour::FromARGB(0xffd4d4d4);
const cColour kSynthRim = cColour::FromARGB(0xff7a7a7a);
// Wells sunk into the face plate, under the cyan texts of lists.
const cColour kSynthWell = cColour::FromARGB(0xff141414);

// Shadow margin of drawn button sprites around their size sprites.
constexpr int kShadowLeft = 2, kShadowTop = 1, kShadowRight = 2, kShadowBottom = 3;

class cColourManifest
{
public:
    cColourManifest(eProfile profile, cAtlasLayout& layout) : mProfile(profile), mLayout(layout) {}

    void Build()
    {
        AddSolidFill();
        AddButtonSkins();
        AddToggleAndCloseIcon();
        AddEffectPanelControls();
        AddSynthSkin();
        AddRowButtonsAndIcons();
        AddFramesAndDialogues();
        AddScrollBarsSpinAndLabel();
        AddLoopDirection();
        AddLeds();
        AddStripsAndBackgrounds();
        AddToolkitParts();
        AddRollToolbar();
        AddRollIcons();
        AddSongRoll();
        AddStatusBarAndMenus();
        AddPackageIcons();
        AddSampleEditor();
        AddSamplerTransport();
        AddMixdown();
        AddSamplerPanels();
        AddPasteboard();
        AddMixingDesk();
        AddSamplerEffects();
        AddProjectPage();
        AddPianoRoll();
        AddPadEditor();
        AddPlaceholders();
    }

private:
    // A size for the phone and desktop profiles, and the one for the tablet.
    int P(int phone, int tablet) const { return mProfile == eProfile::Tablet ? tablet : phone; }

    void Group(int width, int height, std::vector<cEntryDef> entries, cArt paint)
    {
        cArtGroup group;
        group.width = width;
        group.height = height;
        group.paint = std::move(paint);
        for (const cEntryDef& def : entries)
        {
            group.entries.push_back({def.index, def.role, def.drawing, def.rect});
            mUsed.insert(def.index);
        }
        mLayout.Add(std::move(group));
    }

    // One entry that is its whole group.
    void Single(int index, int width, int height, const char* role, const char* drawing,
                std::function<void(cCanvas&, const cRectF&)> art)
    {
        const cRectI rect{0, 0, width, height};
        Group(width, height, {{index, rect, role, drawing}},
              [rect, art](cCanvas& canvas, const cPlace& place) { art(canvas, Map(place, rect)); });
    }

    // A drawn sprite that is its size sprite plus a shadow margin.
    void Skin(int drawn, int size, int width, int height, const char* drawnRole, const char* sizeRole,
              const char* drawing, cFaceArt face, bool shadow = true,
              const char* sizeDrawing = "size sprite: layout only")
    {
        const cRectI body{kShadowLeft, kShadowTop, kShadowLeft + width, kShadowTop + height};
        const cRectI whole = body.Grown(kShadowLeft, kShadowTop, kShadowRight, kShadowBottom);
        Group(whole.Width(), whole.Height(),
              {{drawn, whole, drawnRole, drawing}, {size, body, sizeRole, sizeDrawing}},
              [body, face, shadow](cCanvas& canvas, const cPlace& place)
              {
                  const cRectF b = Map(place, body);
                  if (shadow)
                      DrawShadow(canvas, b, place.S(4));
                  face(canvas, b);
              });
    }

    static cFaceArt ButtonFace(bool lit, float radius = 4.0f)
    {
        return [lit, radius](cCanvas& canvas, const cRectF& body) { DrawButtonFace(canvas, body, radius, lit); };
    }

    // The effect panels' switches carry dark labels (0xff202020): their faces
    // are light, grey when off and a pale blue when on.
    static cFaceArt EffectButtonFace(bool lit)
    {
        return [lit](cCanvas& canvas, const cRectF& b)
        {
            const float radius = 4.0f;
            canvas.FillRoundRect(b.x0, b.y0, b.x1, b.y1, radius,
                                 cColour::FromARGB(lit ? 0xff1c6e90 : 0xff5a5a5a));
            canvas.FillRoundRect(b.x0 + 1, b.y0 + 1, b.x1 - 1, b.y1 - 1, radius - 1,
                                 lit ? cPaint::Vertical(cColour::FromARGB(0xff9fe0fa), cColour::FromARGB(0xff5cc4ec),
                                                        b.y0 + 1, b.y1 - 1)
                                     : cPaint::Vertical(cColour::FromARGB(0xffd8d8d8), cColour::FromARGB(0xffb4b4b4),
                                                        b.y0 + 1, b.y1 - 1));
            canvas.FillRect(b.x0 + radius, b.y0 + 1, b.x1 - radius, b.y0 + 2, kWhite.WithAlpha(0.5f));
        };
    }

    void AddSolidFill()
    {
        cArtGroup group;
        group.width = group.height = 1;
        group.pinnedAtOrigin = true;
        group.entries.push_back({kSolidFill, "Solid fill: the white texel at the atlas origin",
                                 "tinted with any colour", {0, 0, 1, 1}});
        group.paint = [](cCanvas& canvas, const cPlace& place)
        {
            for (int y = 0; y < place.scale; ++y)
                for (int x = 0; x < place.scale; ++x)
                    canvas.SetPixel(place.x + x, place.y + y, kWhite);
        };
        mUsed.insert(kSolidFill);
        mLayout.Add(std::move(group));
    }

    void AddButtonSkins()
    {
        const char* patch = "natural size or three-patch across without inner sprite";
        const int wideW = P(96, 132), wideH = P(32, 44);
        Skin(17, 18, wideW, wideH, "Standard wide button, unlit, drawn", "Standard wide button, unlit, size sprite",
             patch, ButtonFace(false));
        Skin(25, 26, wideW, wideH, "Standard wide button, lit, drawn", "Standard wide button, lit, size sprite",
             patch, ButtonFace(true));
        const int smallW = P(64, 88), smallH = P(32, 44);
        Skin(11, 12, smallW, smallH, "Small button, unlit, drawn", "Small button, unlit, size sprite; standard button height",
             patch, ButtonFace(false));
        Skin(19, 20, smallW, smallH, "Small button, lit, drawn", "Small button, lit, size sprite", patch, ButtonFace(true));
        const int tallW = P(64, 88), tallH = P(44, 60);
        const char* tallPatch = "three-patch across; nine-patch without inner sprite as tab, combo and chooser frame";
        Skin(13, 14, tallW, tallH, "Small tall button, unlit, drawn",
             "Small tall button, unlit, size sprite; tab, combo and chooser background", tallPatch, ButtonFace(false),
             true, "size sprite; nine-patch or three-patch without inner sprite as background");
        Skin(21, 22, tallW, tallH, "Small tall button, lit, drawn",
             "Small tall button, lit, size sprite; lit tab, combo highlight, chooser open frame", tallPatch,
             ButtonFace(true), true, "size sprite; nine-patch or three-patch without inner sprite as background");
        const int square = P(32, 44);
        Skin(15, 16, square, square, "Small square button, unlit, drawn",
             "Small square button, unlit, size sprite; tab button size and normal tab background",
             "natural size", ButtonFace(false), true, "size sprite; nine-patch without inner sprite as tab background");
        Skin(23, 24, square, square, "Small square button, lit, drawn", "Small square button, lit, size sprite",
             "natural size", ButtonFace(true));
        Single(27, square, square, "Tab button lit background, normal look", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawButtonFace(canvas, r, 4.0f, true); });
    }

    void AddToggleAndCloseIcon()
    {
        const int w = P(52, 72), h = P(28, 38);
        auto toggle = [](bool on)
        {
            return [on](cCanvas& canvas, const cRectF& r)
            {
                const float radius = r.Height() * 0.5f;
                canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, radius, cColour::FromARGB(0xff101010));
                canvas.FillRoundRect(r.x0 + 1, r.y0 + 1, r.x1 - 1, r.y1 - 1, radius - 1,
                                     on ? cPaint::Vertical(kLit, kValue, r.y0, r.y1)
                                        : cPaint::Vertical(cColour::FromARGB(0xff1a1a1a), kEdge, r.y0, r.y1));
                const float knobX = on ? r.x1 - radius : r.x0 + radius;
                canvas.FillCircle(knobX, r.CentreY(), radius - 3,
                                  cPaint::Vertical(cColour::FromARGB(0xfff0f0f0), cColour::FromARGB(0xffa0a0a0),
                                                   r.y0, r.y1));
            };
        };
        Skin(47, 48, w, h, "Toggle, off, drawn", "Toggle, off, size sprite", "natural size, left-aligned", toggle(false));
        Single(49, w, h, "Toggle, on (size and drawn sprite)", "natural size, left-aligned",
               toggle(true));
        const int icon = P(20, 26);
        Single(53, icon, icon, "Dialogue close button icon", "natural size, centred; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, eIcon::Close, kWhite); });
    }

    void AddEffectPanelControls()
    {
        const int w = P(80, 110), h = P(40, 55);
        Skin(57, 59, w, h, "Effect-panel button, unlit, drawn", "Effect-panel button, unlit, size sprite",
             "three-patch across", EffectButtonFace(false));
        // The lit button carries a marker for its icon and label anchor.
        const cRectI body{kShadowLeft, kShadowTop, kShadowLeft + w, kShadowTop + h};
        const cRectI whole = body.Grown(kShadowLeft, kShadowTop, kShadowRight, kShadowBottom);
        const int iconSide = h - P(12, 16);
        const cRectI anchor{body.x0 + P(6, 8), body.y0 + (h - iconSide) / 2, body.x0 + P(6, 8) + iconSide,
                            body.y0 + (h - iconSide) / 2 + iconSide};
        Group(whole.Width(), whole.Height(),
              {{60, whole, "Effect-panel button, lit, drawn; constructor's size sprite", "three-patch across"},
               {61, anchor, "Marker inside 60: icon and label anchor", "marker: never drawn"},
               {62, body, "Effect-panel button, lit, size sprite; fixes the widget size", "size sprite: layout only"}},
              [body](cCanvas& canvas, const cPlace& place)
              {
                  const cRectF b = Map(place, body);
                  DrawShadow(canvas, b, place.S(4));
                  EffectButtonFace(true)(canvas, b);
              });

        const int knob = P(48, 64), glow = P(4, 5);
        const cRectI knobBody{glow, glow, glow + knob, glow + knob};
        Group(knob + 2 * glow, knob + 2 * glow,
              {{63, {0, 0, knob + 2 * glow, knob + 2 * glow}, "Effect-panel knob body, drawn", "natural size"},
               {64, knobBody, "Effect-panel knob body, size sprite", "size sprite: layout only"}},
              [knobBody, glow](cCanvas& canvas, const cPlace& place)
              {
                  const cRectF b = Map(place, knobBody);
                  canvas.FillCircle(b.CentreX(), b.CentreY() + place.S(1.5f), b.Width() * 0.5f + place.S(1.5f),
                                    kBlack.WithAlpha(0.35f));
                  DrawKnobBody(canvas, b, place.S(float(glow)));
              });
        Single(65, P(4, 5), P(10, 14), "Effect-panel knob pointer", "rotated about the knob centre; white art",
               [](cCanvas& canvas, const cRectF& r)
               { canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, r.Width() * 0.5f, kWhite); });
        Single(66, P(4, 6), P(4, 6), "Effect-panel knob tick", "natural size; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, kWhite); });
        Single(68, P(12, 16), P(4, 6), "Link-line bar joining two controls", "stretched along x; white art",
               [](cCanvas& canvas, const cRectF& r) { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kWhite); });
    }

    void AddSynthSkin()
    {
        const int marker = P(16, 22);
        Single(87, marker, marker, "XY-pad axis marker", "natural size; white art",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRect(r.x0, r.y0, r.x0 + 2, r.y1, kWhite);
                   canvas.FillRect(r.x0, r.y1 - 2, r.x1, r.y1, kWhite);
               });

        const int spin = P(24, 32);
        auto spinFace = [](bool up, bool pressed)
        {
            return [up, pressed](cCanvas& canvas, const cRectF& b)
            {
                DrawButtonFace(canvas, b, 3.0f, pressed);
                const float a = b.Width() * 0.22f;
                DrawArrow(canvas, {b.CentreX() - a, b.CentreY() - a * 0.6f, b.CentreX() + a, b.CentreY() + a * 0.6f},
                          up ? eDirection::Up : eDirection::Down, pressed ? kDark : kLabel);
            };
        };
        Skin(88, 89, spin, spin, "Synth spin down arrow, pressed, drawn", "Synth spin down arrow, pressed, layout",
             "natural size", spinFace(false, true));
        Skin(90, 91, spin, spin, "Synth spin down arrow, drawn", "Synth spin down arrow, layout", "natural size",
             spinFace(false, false));
        Skin(92, 93, spin, spin, "Synth spin up arrow, pressed, drawn", "Synth spin up arrow, pressed, layout",
             "natural size", spinFace(true, true));
        Skin(94, 95, spin, spin, "Synth spin up arrow, drawn", "Synth spin up arrow, layout", "natural size",
             spinFace(true, false));

        const int pushW = P(48, 64), pushH = P(24, 32);
        Skin(96, 97, pushW, pushH, "Synth push button, off, drawn", "Synth push button, off, layout",
             "natural size or three-patch across", ButtonFace(false, 3.0f));
        Skin(98, 99, pushW, pushH, "Synth push button, lit, drawn", "Synth push button, lit, layout",
             "natural size or three-patch across", ButtonFace(true, 3.0f));

        // Lamp buttons are 24 pixels with a 27-pixel drawn sprite in every profile.
        auto lamp = [](bool lit, const cColour& colour)
        {
            return [lit, colour](cCanvas& canvas, const cRectF& b)
            {
                DrawButtonFace(canvas, b, 3.0f, false);
                const float r = b.Width() * 0.22f;
                DrawLed(canvas, {b.CentreX() - r * 1.4f, b.CentreY() - r * 1.4f, b.CentreX() + r * 1.4f, b.CentreY() + r * 1.4f},
                        lit, colour);
            };
        };
        const cColour lampB = cColour::FromARGB(0xffe04020);
        auto lampSkin = [this](int drawn, int size, const char* drawnRole, const char* sizeRole, cFaceArt face)
        {
            const cRectI body{1, 1, 25, 25};
            Group(27, 27, {{drawn, {0, 0, 27, 27}, drawnRole, "natural size"}, {size, body, sizeRole, "size sprite: layout only"}},
                  [body, face](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF b = Map(place, body);
                      DrawShadow(canvas, b, place.S(3));
                      face(canvas, b);
                  });
        };
        lampSkin(100, 103, "Synth lamp button, lit look B, drawn", "Synth lamp button, lit look B, layout",
                 lamp(true, lampB));
        lampSkin(101, 102, "Synth lamp button, lit look A, drawn", "Synth lamp button, lit look A, layout",
                 lamp(true, kValue));
        lampSkin(104, 105, "Synth lamp button, off, drawn", "Synth lamp button, off, layout", lamp(false, kValue));

        const int strip = P(6, 8), stripH = P(24, 32);
        auto cheekStrip = [](bool left, bool upper)
        {
            return [left, upper](cCanvas& canvas, const cRectF& r)
            {
                canvas.FillRect(r.x0, r.y0, r.x1, r.y1, upper ? cColour::FromARGB(0xff3c3c3c) : kDark);
                const float edge = left ? r.x0 : r.x1 - 2;
                canvas.FillRect(edge, r.y0, edge + 2, r.y1, upper ? kLit : cColour::FromARGB(0xff5a5a5a));
            };
        };
        Single(107, strip, stripH, "Left cheek, lower edge strip", "vertical three-patch", cheekStrip(true, false));
        Single(108, strip, stripH, "Left cheek, upper edge strip", "vertical three-patch", cheekStrip(true, true));
        Single(109, P(40, 54), 4, "Cheek width reference", "marker: never drawn", [](cCanvas&, const cRectF&) {});
        Single(111, strip, stripH, "Right cheek, lower edge strip", "vertical three-patch", cheekStrip(false, false));
        Single(112, strip, stripH, "Right cheek, upper edge strip", "vertical three-patch", cheekStrip(false, true));

        {
            // The graph widget grows up to this size and no further.
            const int w = P(160, 220), h = P(96, 130), inner = P(8, 10), graph = P(4, 5);
            const cRectI frame{0, 0, w, h};
            Group(w, h,
                  {{114, frame, "Envelope graph frame", "nine-patch with inner sprite 116"},
                   {115, frame.Inset(graph, graph, graph, graph), "Marker: graph area inside 114", "marker: never drawn"},
                   {116, frame.Inset(inner, inner, inner, inner), "Inner sprite of 114", "stretch area of 114"}},
                  [frame, graph](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF r = Map(place, frame);
                      DrawPanel(canvas, r, place.S(4), kPanel, kEdge);
                      const cRectF g = Map(place, frame.Inset(graph, graph, graph, graph));
                      canvas.FillRoundRect(g.x0, g.y0, g.x1, g.y1, place.S(2), cColour::FromARGB(0xff121212));
                  });
        }

        const int cheekToggle = P(20, 26);
        auto cheekButton = [](bool on, bool scroll)
        {
            return [on, scroll](cCanvas& canvas, const cRectF& r)
            {
                DrawButtonFace(canvas, r, 3.0f, on);
                const cColour mark = on ? kDark : kLabel;
                const float cx = r.CentreX(), cy = r.CentreY(), s = r.Width() * 0.25f;
                if (scroll)
                {
                    DrawArrow(canvas, {cx - s - s * 0.5f, cy - s * 0.6f, cx - s * 0.3f, cy + s * 0.6f}, eDirection::Left, mark);
                    DrawArrow(canvas, {cx + s * 0.3f, cy - s * 0.6f, cx + s + s * 0.5f, cy + s * 0.6f}, eDirection::Right, mark);
                }
                else
                    for (int i = -1; i <= 1; ++i)
                        canvas.FillRect(cx + i * s * 0.8f - 1, cy - s, cx + i * s * 0.8f + 1, cy + s, mark);
            };
        };
        Single(117, cheekToggle, cheekToggle, "Right cheek toggle, off (keyboard scale)", "natural size, centred",
               cheekButton(false, false));
        Single(118, cheekToggle, cheekToggle, "Right cheek toggle, on", "natural size, centred", cheekButton(true, false));
        Single(119, cheekToggle, cheekToggle, "Left cheek toggle, off (keyboard scroll)", "natural size, centred",
               cheekButton(false, true));
        Single(120, cheekToggle, cheekToggle, "Left cheek toggle, on", "natural size, centred", cheekButton(true, true));
        const int centreImage = P(24, 32);
        auto cheekCentre = [](cCanvas& canvas, const cRectF& r)
        {
            canvas.StrokeCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, 2.0f, kEdge);
            canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.18f, kLit);
        };
        Single(121, centreImage, centreImage, "Left cheek centre image", "natural size, centred", cheekCentre);

        const int synthKnob = P(40, 54), rim = 3;
        const cRectI knobBody{rim, rim, rim + synthKnob, rim + synthKnob};
        Group(synthKnob + 2 * rim, synthKnob + 2 * rim,
              {{122, {0, 0, synthKnob + 2 * rim, synthKnob + 2 * rim}, "Synth knob body, drawn", "natural size"},
               {125, knobBody, "Synth knob body, layout", "size sprite: layout only"}},
              [knobBody, rim](cCanvas& canvas, const cPlace& place)
              {
                  const cRectF b = Map(place, knobBody);
                  canvas.FillCircle(b.CentreX(), b.CentreY() + place.S(1.5f), b.Width() * 0.5f + place.S(1),
                                    kBlack.WithAlpha(0.35f));
                  DrawKnobBody(canvas, b, place.S(float(rim)));
              });
        Single(123, P(6, 8), P(6, 8), "Synth knob pointer dot", "natural size, placed on the value angle; white art",
               [](cCanvas& canvas, const cRectF& r) { canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, kWhite); });
        Single(124, P(4, 5), P(4, 5), "Synth knob tick", "natural size; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, kWhite); });
        const int led = P(10, 14);
        Single(126, led, led, "LED, unlit", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r) { DrawLed(canvas, r, false, kValue); });
        Single(127, led, led, "LED, lit", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r) { DrawLed(canvas, r, true, kValue); });

        {
            const int side = P(28, 32), border = 8;
            const cRectI frame{0, 0, side, side};
            Group(side, side,
                  {{128, frame, "Modulation-matrix list frame", "nine-patch with inner sprite 131, centre filled"},
                   {131, frame.Inset(border, border, border, border), "Inner sprite of 128", "stretch area of 128"}},
                  [frame](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF r = Map(place, frame);
                      // The rows' cyan texts read on a dark well, not on the light face plate.
                      canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, place.S(6), kSynthWell);
                      canvas.StrokeRoundRect(r.x0, r.y0, r.x1, r.y1, place.S(6), place.S(7), kPanel);
                      canvas.StrokeRoundRect(r.x0, r.y0, r.x1, r.y1, place.S(6), place.S(1), kEdge);
                      canvas.StrokeRoundRect(r.x0 + place.S(7), r.y0 + place.S(7), r.x1 - place.S(7), r.y1 - place.S(7),
                                             place.S(1), place.S(1), kBlack);
                  });
        }
        const int shadeW = P(16, 16), shadeH = P(6, 8);
        Single(129, shadeW, shadeH, "Upper shading strip in the effects-panel gaps", "stretched across; white art",
               [](cCanvas& canvas, const cRectF& r)
               { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kBlack.WithAlpha(0.5f), kBlack.WithAlpha(0.0f), r.y0, r.y1)); });
        Single(130, shadeW, shadeH, "Lower shading strip in the effects-panel gaps", "stretched across; white art",
               [](cCanvas& canvas, const cRectF& r)
               { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kBlack.WithAlpha(0.0f), kBlack.WithAlpha(0.5f), r.y0, r.y1)); });
        Single(134, 32, 32, "Round thumb / ball", "scaled quad; white art",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, kWhite.WithAlpha(0.35f));
                   canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.38f, kWhite);
               });
        Single(135, centreImage, centreImage, "Right cheek centre image", "natural size, centred", cheekCentre);
        const int arrowW = P(28, 38), arrowH = P(22, 30);
        auto cheekArrow = [](bool up)
        {
            return [up](cCanvas& canvas, const cRectF& r)
            {
                const float inset = r.Height() * 0.2f;
                DrawArrow(canvas, {r.x0 + inset, r.y0 + inset, r.x1 - inset, r.y1 - inset},
                          up ? eDirection::Up : eDirection::Down, kValue);
            };
        };
        Single(136, arrowW, arrowH, "Cheek down arrow", "natural size; grey when disabled", cheekArrow(false));
        Single(137, arrowW, arrowH, "Cheek up arrow; its height sizes the cheek toggles", "natural size", cheekArrow(true));
        Single(138, 16, 16, "Synth panel background", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 4.0f, kSynthFace, kSynthRim); });
        Single(140, 8, 32, "Synth page-container background", "scaled quad",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRect(r.x0, r.y0, r.x1, r.y1,
                                   cPaint::Vertical(cColour::FromARGB(0xff262626), kDarker, r.y0, r.y1));
               });
        Single(141, 16, 16, "Multi-editor highlight panel", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 4.0f, kSynthHighlightFace, kLit); });
        AddOscillatorBadges();
        Single(139, 16, 16, "Synth oscillator-strip background", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 4.0f, kSynthStripFace, kSynthRim); });
        Single(113, 16, 16, "Synth strip box behind a column of controls", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 4.0f, kSynthBoxFace);
                   canvas.StrokeRoundRect(r.x0 + 0.5f, r.y0 + 0.5f, r.x1 - 0.5f, r.y1 - 0.5f, 4.0f, 1.0f, kSynthRim);
               });
        Single(110, P(20, 26), P(20, 26), "Synth sample-file icon in the file browser", "natural size",
               [](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, eIcon::AudioFile, kValue); });
        Single(142, P(28, 38), P(10, 14), "Pitch-bend wheel thumb", "scaled; grey level by value",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 2.0f,
                                        cPaint::Vertical(kWhite, cColour::FromARGB(0xff9a9a9a), r.y0, r.y1));
                   canvas.FillRect(r.x0 + 2, r.CentreY() - 0.5f, r.x1 - 2, r.CentreY() + 0.5f, kBlack.WithAlpha(0.5f));
               });
        {
            const int w = P(32, 44), h = P(112, 150), margin = 2;
            const cRectI body{margin, margin, margin + w, margin + h};
            // The housing starts below the body's top: the "PITCH" caption
            // stands there, in line with the pads' titles.
            const int captionRoom = P(12, 14);
            const cRectI track = body.Inset(P(4, 6), captionRoom + P(8, 10), P(4, 6), P(8, 10));
            Group(w + 2 * margin, h + 2 * margin,
                  {{143, {0, 0, w + 2 * margin, h + 2 * margin}, "Pitch-bend wheel, drawn", "natural size"},
                   {144, body, "Pitch-bend wheel, layout", "size sprite: layout only"},
                   {145, track, "Marker: wheel track inside 144", "marker: never drawn"}},
                  [body, track, captionRoom](cCanvas& canvas, const cPlace& place)
                  {
                      cRectF b = Map(place, body);
                      b.y0 += place.S(float(captionRoom));
                      DrawShadow(canvas, b, place.S(4));
                      DrawPanel(canvas, b, place.S(4), kSynthFace, kSynthRim);
                      const cRectF t = Map(place, track);
                      canvas.FillRoundRect(t.x0, t.y0, t.x1, t.y1, place.S(3),
                                           cPaint::Vertical(kBlack, cColour::FromARGB(0xff181818), t.y0, t.y1));
                      canvas.FillRect(t.x0 + place.S(2), t.CentreY() - place.S(0.5f), t.x1 - place.S(2),
                                      t.CentreY() + place.S(0.5f), kLit.WithAlpha(0.6f));
                  });
        }
        {
            // Narrow: the box stretches as a three-patch across.
            const int w = P(24, 32), h = P(22, 30), margin = 1;
            const cRectI body{margin, margin, margin + w, margin + h};
            Group(w + 2 * margin, h + 2 * margin,
                  {{146, {0, 0, w + 2 * margin, h + 2 * margin}, "Synth value box, drawn", "three-patch across"},
                   {147, body, "Synth value box, layout", "size sprite: layout only"},
                   {148, body.Inset(P(5, 7), 2, P(5, 7), 2), "Marker: value-text area inside 147", "marker: never drawn"}},
                  [body](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF b = Map(place, body);
                      DrawPanel(canvas, b.Inset(-place.S(1)), place.S(4), cColour::FromARGB(0xff0e0e0e),
                                cColour::FromARGB(0xff4a4a4a));
                  });
        }
        {
            // The pad widget grows up to this size and no further.
            const int side = P(160, 220), inner = P(12, 16), active = P(6, 8);
            const cRectI pad{0, 0, side, side};
            Group(side, side,
                  {{149, pad, "XY pad image", "nine-patch with inner sprite 151"},
                   {150, pad.Inset(active, active, active, active), "Marker: XY pad active area inside 149",
                    "marker: never drawn"},
                   {151, pad.Inset(inner, inner, inner, inner), "Inner sprite of 149", "stretch area of 149"}},
                  [pad, active](cCanvas& canvas, const cPlace& place)
                  {
                      DrawPanel(canvas, Map(place, pad), place.S(6), cColour::FromARGB(0xff141414), kEdge);
                      const cRectF a = Map(place, pad.Inset(active, active, active, active));
                      canvas.StrokeRoundRect(a.x0, a.y0, a.x1, a.y1, place.S(3), place.S(1), kLit.WithAlpha(0.5f));
                  });
        }
    }

    void AddRowButtonsAndIcons()
    {
        const int row = P(16, 20);
        Single(181, row, row, "Small row button (OMNI, ENABLE), off", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawButtonFace(canvas, r, 3.0f, false); });
        Single(182, row, row, "Small row button, on", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawButtonFace(canvas, r, 3.0f, true); });

        const int icon = P(20, 28);
        struct cIconDef
        {
            int index;
            eIcon icon;
            const char* role;
            bool tinted;
        };
        const cIconDef icons[] = {
            {186, eIcon::Dotted, "Dotted-feel icon (quantize feel cell 0)", false},
            {189, eIcon::Import, "MIDI-file import icon", false},
            {192, eIcon::Export, "MIDI-file export icon", false},
            {197, eIcon::Cross, "Icon of alert button No and of the PANIC button", false},
            {218, eIcon::Share, "Share icon", false},
            {220, eIcon::Triplet, "Triplet-feel icon (quantize feel cell 1)", false},
            {221, eIcon::Power, "Icon of the companion page's Enable button", false},
            {222, eIcon::Check, "Icon of alert button OK and of the Quantize button", false},
            {226, eIcon::Folder, "Folder icon in the file browser", true},
            {227, eIcon::InUse, "In-use badge of the file browser's rows", true},
            {228, eIcon::UpArrow, "Up-arrow icon of the file browser's up button", false},
            {229, eIcon::Project, "Project-folder icon in the file browser", true},
            {230, eIcon::Archive, "Project-archive icon in the file browser", true},
            {231, eIcon::Chain, "Effect-chain icon in the file browser", true},
            {232, eIcon::MidiFile, "MIDI-file type icon in the file browser", true},
            {360, eIcon::Effect, "Effect package icon", false},
            {461, eIcon::AudioFile, "Audio-file icon in the file browser", true},
        };
        for (const cIconDef& def : icons)
        {
            const eIcon kind = def.icon;
            const bool tinted = def.tinted;
            Single(def.index, icon, icon, def.role, tinted ? "natural size, centred" : "natural size, centred; white art",
                   [kind, tinted](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, kind, tinted ? kValue : kWhite); });
        }

        const int glow = P(64, 86), reference = P(48, 64);
        const int offset = (glow - reference) / 2;
        Group(glow, glow,
              {{223, {0, 0, glow, glow}, "Touch glow of knobs", "scaled square; tinted: white glow art"},
               {224, {offset, offset, offset + reference, offset + reference}, "Glow reference: the knob width the glow is drawn for",
                "marker: never drawn"}},
              [glow, reference](cCanvas& canvas, const cPlace& place)
              {
                  // A halo: the knobs draw it over their bodies, so it is
                  // brightest at the body's edge and fades both ways.
                  const float cx = place.X(glow * 0.5f), cy = place.Y(glow * 0.5f);
                  const float outer = place.S(glow * 0.5f), edge = place.S(reference * 0.5f);
                  constexpr int kOutward = 12, kInward = 5;
                  const float pitch = (outer - edge) / float(kOutward);
                  for (int i = 0; i < kOutward; ++i)
                  {
                      const float t = float(i) / float(kOutward);
                      canvas.StrokeCircle(cx, cy, edge + (outer - edge) * t, pitch + 0.5f,
                                          kWhite.WithAlpha(0.5f * (1.0f - t)));
                  }
                  for (int i = 1; i <= kInward; ++i)
                      canvas.StrokeCircle(cx, cy, edge - pitch * float(i), pitch + 0.5f,
                                          kWhite.WithAlpha(0.3f * (1.0f - float(i) / float(kInward + 1))));
              });
        Single(225, 8, 8, "Selection highlight of list rows", "scaled quad",
               [](cCanvas& canvas, const cRectF& r) { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kLit.WithAlpha(0.55f)); });
    }

    void AddFramesAndDialogues()
    {
        // A one-pixel rim, drawn around the web-view area grown by one pixel;
        // symmetric with a clear middle so it stretches as a nine-patch.
        Single(6, 6, 6, "Frame around the web-view area", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRect(r.x0, r.y0, r.x1, r.y0 + 1, kEdge);
                   canvas.FillRect(r.x0, r.y1 - 1, r.x1, r.y1, kEdge);
                   canvas.FillRect(r.x0, r.y0 + 1, r.x0 + 1, r.y1 - 1, kEdge);
                   canvas.FillRect(r.x1 - 1, r.y0 + 1, r.x1, r.y1 - 1, kEdge);
               });

        // Insets and the title height are the same in every profile.
        {
            const int w = 40, h = 48, margin = 3;
            const cRectI body{margin, margin - 1, margin + w, margin - 1 + h};
            const cRectI whole{0, 0, w + 2 * margin, h + 2 * margin};
            Group(whole.Width(), whole.Height(),
                  {{233, whole, "Drop-down panel frame, drawn", "nine-patch with inner sprite 234"},
                   {234, body.Inset(6, 12, 6, 6), "Drop-down frame inner sprite", "stretch area of 233"},
                   {235, body, "Drop-down frame size sprite", "size sprite: layout only"}},
                  [body](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF b = Map(place, body);
                      DrawShadow(canvas, b, place.S(5));
                      DrawPanel(canvas, b, place.S(5), kDark, kLit);
                      canvas.FillRect(b.x0 + place.S(6), b.y0 + place.S(4), b.x1 - place.S(6), b.y0 + place.S(6),
                                      kLit.WithAlpha(0.5f));
                  });
        }
        const int arrowW = P(24, 32), arrowH = P(12, 16);
        auto pointer = [](bool down)
        {
            return [down](cCanvas& canvas, const cRectF& r)
            {
                DrawArrow(canvas, r, down ? eDirection::Down : eDirection::Up, kLit);
                const cRectF inner{r.x0 + 3, down ? r.y0 : r.y0 + 3, r.x1 - 3, down ? r.y1 - 3 : r.y1};
                DrawArrow(canvas, inner, down ? eDirection::Down : eDirection::Up, kDark);
            };
        };
        Single(280, arrowW, arrowH, "Dialogue pointer arrow, dialogue above its anchor", "natural size", pointer(true));
        Single(281, arrowW, arrowH, "Dialogue pointer arrow, dialogue below its anchor", "natural size", pointer(false));
        {
            const int w = 64, h = 80, margin = 4, title = 30;
            const cRectI body{margin, margin - 1, margin + w, margin - 1 + h};
            const cRectI whole{0, 0, w + 2 * margin, h + 2 * margin};
            Group(whole.Width(), whole.Height(),
                  {{282, whole, "Dialogue frame, drawn", "nine-patch with inner sprite 283"},
                   {283, body.Inset(6, 36, 6, 5), "Dialogue frame inner sprite", "stretch area of 282"},
                   {284, body, "Dialogue frame size sprite", "size sprite: layout only"},
                   {285, body.Inset(3, 34, 3, 3), "Marker: dialogue content area", "marker: never drawn"},
                   {286, {body.x0, body.y0, body.x1, body.y0 + title}, "Marker: dialogue title bar", "marker: never drawn"}},
                  [body, title](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF b = Map(place, body);
                      DrawShadow(canvas, b, place.S(6));
                      // A light face: dialogues draw their texts (alert lines, titles) dark.
                      DrawPanel(canvas, b, place.S(6), cColour::FromARGB(0xffc8c8c8), cColour::FromARGB(0xff7a7a7a));
                      const float titleBottom = b.y0 + place.S(title);
                      canvas.FillShape(b.x0, b.y0, b.x1, titleBottom,
                                       [b, titleBottom, &place](float x, float y)
                                       {
                                           return std::max(RoundRectDistance(x, y, b.x0 + 1, b.y0 + 1, b.x1 - 1, b.y1 - 1,
                                                                             place.S(5)),
                                                           y - titleBottom);
                                       },
                                       // Light, because the title and the close icon are drawn dark
                                       // (and the pressed icon blue) over it.
                                       cPaint::Vertical(cColour::FromARGB(0xffe4e4e4), cColour::FromARGB(0xffb4b4b4),
                                                        b.y0, titleBottom));
                      canvas.FillRect(b.x0 + 1, titleBottom, b.x1 - 1, titleBottom + place.S(1), kLit);
                  });
        }
        Single(287, P(24, 30), P(24, 30), "Busy spinner", "natural size, rotated; white art",
               [](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, eIcon::Spinner, kWhite); });
        const int marker = P(14, 18);
        const cColour red = cColour::FromARGB(0xffe02020);
        Single(308, marker, marker, "Recording marker with the record option set", "natural size, centred; blinks",
               [red](cCanvas& canvas, const cRectF& r)
               {
                   canvas.StrokeCircle(r.CentreX(), r.CentreY(), r.Width() * 0.5f, 1.5f, red);
                   canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.28f, red);
               });
        Single(312, marker, marker, "Recording marker", "natural size, centred; blinks",
               [red](cCanvas& canvas, const cRectF& r) { canvas.FillCircle(r.CentreX(), r.CentreY(), r.Width() * 0.45f, red); });
    }

    void AddScrollBarsSpinAndLabel()
    {
        const int large = P(24, 32), small = P(8, 12);
        auto track = [](cCanvas& canvas, const cRectF& r)
        { DrawPanel(canvas, r, r.Width() * 0.5f, cColour::FromARGB(0xff161616), kEdge); };
        Single(326, large, large, "Large scroll-bar track", "three-patch along the axis; tinted", track);
        Single(327, small, small, "Small scroll-bar track; list scroll bar", "three-patch along the axis", track);
        auto thumb = [](cCanvas& canvas, const cRectF& r)
        {
            const float radius = std::min(r.Width(), r.Height()) * 0.5f;
            canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, radius, cColour::FromARGB(0xffb4b4b4));
            canvas.FillRoundRect(r.x0 + 1, r.y0 + 1, r.x1 - 1, r.y1 - 1, radius - 1, cColour::FromARGB(0xffe6e6e6));
        };
        const int thumbLong = P(32, 44), thumbShort = P(12, 16), smallLong = P(20, 28), smallShort = P(6, 10);
        Single(328, thumbLong, thumbShort, "Large thumb, horizontal", "three-patch along x; tinted: light art", thumb);
        Single(329, smallLong, smallShort, "Small thumb, horizontal", "three-patch along x", thumb);
        Single(330, thumbShort, thumbLong, "Large thumb, vertical", "three-patch along y; tinted: light art", thumb);
        Single(331, smallShort, smallLong, "Small thumb, vertical (lists)", "three-patch along y", thumb);
        auto grip = [](bool horizontal)
        {
            return [horizontal](cCanvas& canvas, const cRectF& r)
            {
                const cColour ridge = cColour::FromARGB(0xff707070);
                for (int i = 0; i < 3; ++i)
                {
                    if (horizontal)
                    {
                        const float x = r.x0 + (i + 0.5f) * r.Width() / 3.0f;
                        canvas.FillRect(x - 0.5f, r.y0, x + 0.5f, r.y1, ridge);
                    }
                    else
                    {
                        const float y = r.y0 + (i + 0.5f) * r.Height() / 3.0f;
                        canvas.FillRect(r.x0, y - 0.5f, r.x1, y + 0.5f, ridge);
                    }
                }
            };
        };
        Single(332, P(10, 14), P(8, 10), "Large grip, horizontal", "quad centred on the thumb", grip(true));
        Single(333, P(6, 8), P(4, 6), "Small grip, horizontal", "quad centred on the thumb", grip(true));
        Single(334, P(8, 10), P(10, 14), "Large grip, vertical", "quad centred on the thumb", grip(false));
        Single(335, P(4, 6), P(6, 8), "Small grip, vertical (lists)", "quad centred on the thumb", grip(false));

        const int spin = P(28, 38);
        auto spinArrow = [](bool up)
        {
            return [up](cCanvas& canvas, const cRectF& b)
            {
                DrawButtonFace(canvas, b, 4.0f, false);
                const float a = b.Width() * 0.2f;
                DrawArrow(canvas, {b.CentreX() - a, b.CentreY() - a * 0.6f, b.CentreX() + a, b.CentreY() + a * 0.6f},
                          up ? eDirection::Up : eDirection::Down, kValue);
            };
        };
        Skin(338, 339, spin, spin, "Spin-button down arrow, drawn", "Spin-button down arrow, size sprite",
             "natural size; pressed tinted grey", spinArrow(false));
        Skin(340, 341, P(24, 32), spin, "Spin-button value box, drawn", "Spin-button value box, size sprite",
             "three-patch across",
             [](cCanvas& canvas, const cRectF& b) { DrawPanel(canvas, b, 4.0f, cColour::FromARGB(0xff0e0e0e), kEdge); },
             false);
        Skin(342, 343, spin, spin, "Spin-button up arrow, drawn", "Spin-button up arrow, size sprite",
             "natural size; pressed tinted grey", spinArrow(true));
        AddSlider();

        // Small, because the box is a nine-patch without inner sprite: labels
        // as low as a small font plus the insets must not turn it inside out.
        const int w = P(14, 18), h = P(14, 18), frame = 2;
        const cRectI box{0, 0, w, h};
        Group(w, h,
              {{350, box.Inset(frame, frame, frame, frame), "Label box, drawn; titled frame; inner sprite of 351",
                "nine-patch without inner sprite"},
               {351, box, "Label box size sprite; companion page picture", "size sprite; nine-patch with inner 350"},
               {352, box.Inset(P(5, 6), P(3, 4), P(5, 6), P(3, 4)), "Marker: label text area inside 351",
                "marker: never drawn"}},
              [box, frame](cCanvas& canvas, const cPlace& place)
              {
                  // A light field: labels write their values in dark text on it.
                  const cRectF b = Map(place, box.Inset(frame, frame, frame, frame));
                  DrawPanel(canvas, b, place.S(3), cColour::FromARGB(0xffe4e4e4), cColour::FromARGB(0xff5a5a5a));
              });
    }

    // The fader of the mixing desk: a slotted track with scale marks, a cap
    // that rides in the slot, and the glow drawn to the cap's right (and,
    // mirrored, to its left) while a finger holds it.
    void AddSlider()
    {
        const int trackW = P(24, 32), trackH = P(160, 200);
        Single(344, trackW, trackH, "Slider track (mixing-desk fader)", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r)
               {
                   const float inset = r.Height() * 0.05f, cx = r.CentreX();
                   const cColour mark = cColour::FromARGB(0xff5a5a5a);
                   for (int i = 0; i <= 10; ++i)
                   {
                       const float y = r.y0 + inset + (r.Height() - 2.0f * inset) * float(i) / 10.0f;
                       const float reach = i % 5 == 0 ? r.Width() * 0.5f : r.Width() * 0.32f;
                       canvas.FillRect(cx - reach, y - 0.5f, cx + reach, y + 0.5f, mark);
                   }
                   canvas.FillRoundRect(cx - 3.0f, r.y0 + inset - 3.0f, cx + 3.0f, r.y1 - inset + 3.0f, 3.0f,
                                        cColour::FromARGB(0xff0a0a0a));
               });
        Single(345, P(32, 44), P(18, 24), "Slider thumb (fader cap)", "natural size, centred on the value",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 3.0f,
                                        cPaint::Vertical(cColour::FromARGB(0xffd0d0d0), cColour::FromARGB(0xff707070),
                                                         r.y0, r.y1));
                   canvas.StrokeRoundRect(r.x0 + 0.5f, r.y0 + 0.5f, r.x1 - 0.5f, r.y1 - 0.5f, 3.0f, 1.0f,
                                          cColour::FromARGB(0xff303030));
                   canvas.FillRect(r.x0 + 3.0f, r.CentreY() - 1.0f, r.x1 - 3.0f, r.CentreY() + 1.0f, kValue);
               });
        Single(346, P(10, 14), P(36, 48), "Slider touch glow, right of the thumb", "scaled quad; tinted: white glow art",
               [](cCanvas& canvas, const cRectF& r)
               {
                   const int columns = int(r.Width());
                   for (int i = 0; i < columns; ++i)
                   {
                       const float fade = 1.0f - (float(i) + 0.5f) / float(columns);
                       for (int band = 0; band < 6; ++band)
                       {
                           const float shrink = r.Height() * 0.07f * float(band);
                           canvas.FillRect(r.x0 + float(i), r.y0 + shrink, r.x0 + float(i + 1), r.y1 - shrink,
                                           kWhite.WithAlpha(0.16f * fade));
                       }
                   }
               });
    }

    void AddLoopDirection()
    {
        const int w = P(28, 36), h = P(24, 30);
        const cRectI frame{0, 0, w, h};
        const cRectI centre{w / 2, h / 2, w / 2 + 1, h / 2 + 1};
        Group(w, h,
              {{389, frame, "Loop-direction icon frame", "natural size, left of the lamp button"},
               {390, centre, "Marker: value-0 icon position (its top-left corner)", "marker: never drawn"},
               {391, centre, "Marker: value-2 icon position", "marker: never drawn"},
               {392, centre, "Marker: value-1 icon position", "marker: never drawn"},
               {393, centre, "Marker: value-3 icon position", "marker: never drawn"}},
              [frame](cCanvas& canvas, const cPlace& place)
              { DrawPanel(canvas, Map(place, frame), place.S(3), cColour::FromARGB(0xff141414), kEdge); });

        // Forward, ping-pong, backward and one-shot.
        const int icon = P(16, 20);
        auto loopIcon = [](int value)
        {
            return [value](cCanvas& canvas, const cRectF& r)
            {
                const float cx = r.CentreX(), cy = r.CentreY(), s = r.Width() * 0.35f;
                const cColour c = kValue;
                switch (value)
                {
                case 0:
                    canvas.FillLine(cx - s, cy, cx + s * 0.2f, cy, 2.0f, c);
                    DrawArrow(canvas, {cx, cy - s * 0.6f, cx + s, cy + s * 0.6f}, eDirection::Right, c);
                    break;
                case 1:
                    DrawArrow(canvas, {cx - s, cy - s * 0.6f, cx - s * 0.1f, cy + s * 0.6f}, eDirection::Left, c);
                    DrawArrow(canvas, {cx + s * 0.1f, cy - s * 0.6f, cx + s, cy + s * 0.6f}, eDirection::Right, c);
                    break;
                case 2:
                    canvas.FillLine(cx - s * 0.2f, cy, cx + s, cy, 2.0f, c);
                    DrawArrow(canvas, {cx - s, cy - s * 0.6f, cx, cy + s * 0.6f}, eDirection::Left, c);
                    break;
                default:
                    DrawArrow(canvas, {cx - s, cy - s * 0.6f, cx + s * 0.4f, cy + s * 0.6f}, eDirection::Right, c);
                    canvas.FillRect(cx + s * 0.5f, cy - s * 0.6f, cx + s, cy + s * 0.6f, c);
                    break;
                }
            };
        };
        auto iconPair = [this, icon](int drawn, int size, const char* drawnRole, const char* sizeRole,
                                     std::function<void(cCanvas&, const cRectF&)> art)
        {
            const cRectI body{1, 1, 1 + icon, 1 + icon};
            Group(icon + 2, icon + 2,
                  {{drawn, {0, 0, icon + 2, icon + 2}, drawnRole, "natural size, centred on its marker"},
                   {size, body, sizeRole, "size sprite: layout only"}},
                  [body, art](cCanvas& canvas, const cPlace& place) { art(canvas, Map(place, body)); });
        };
        iconPair(394, 397, "Loop icon value 0 (forward), drawn", "Loop icon value 0, layout", loopIcon(0));
        iconPair(395, 396, "Loop icon value 2 (backward), drawn", "Loop icon value 2, layout", loopIcon(2));
        iconPair(398, 401, "Loop icon value 1 (ping-pong), drawn", "Loop icon value 1, layout", loopIcon(1));
        iconPair(399, 400, "Loop icon value 3 (one shot), drawn", "Loop icon value 3, layout", loopIcon(3));
    }

    void AddLeds()
    {
        // LED types 0..5 by shape; unlit index = lit index - 6.
        struct cLedDef
        {
            int lit;
            int type;
        };
        const cLedDef leds[] = {{417, 2}, {418, 5}, {419, 0}, {420, 3}, {421, 1}, {422, 4}};
        const int side = P(12, 16);
        for (const cLedDef& def : leds)
            for (bool lit : {false, true})
            {
                const int type = def.type;
                const int index = lit ? def.lit : def.lit - 6;
                Single(index, side, side, lit ? "LED, lit (type by shape)" : "LED, unlit (type by shape)",
                       lit ? "natural size overlay; tinted: white art" : "natural size; tinted: grey art",
                       [type, lit](cCanvas& canvas, const cRectF& r)
                       {
                           const float cx = r.CentreX(), cy = r.CentreY(), s = r.Width() * 0.5f;
                           const cColour face = lit ? kWhite : cColour::FromARGB(0xff505050);
                           if (lit)
                               canvas.FillCircle(cx, cy, s, kWhite.WithAlpha(0.3f));
                           switch (type)
                           {
                           case 0: canvas.FillCircle(cx, cy, s * 0.65f, face); break;
                           case 1: canvas.FillRoundRect(cx - s * 0.6f, cy - s * 0.6f, cx + s * 0.6f, cy + s * 0.6f, 1.5f, face); break;
                           case 2: canvas.FillCircle(cx, cy, s * 0.4f, face); break;
                           case 3: canvas.FillRoundRect(cx - s * 0.75f, cy - s * 0.35f, cx + s * 0.75f, cy + s * 0.35f, 1.5f, face); break;
                           case 4: canvas.FillPolygon({cx, cy - s * 0.7f, cx + s * 0.7f, cy, cx, cy + s * 0.7f, cx - s * 0.7f, cy}, face); break;
                           default: canvas.StrokeCircle(cx, cy, s * 0.65f, s * 0.3f, face); break;
                           }
                       });
            }
    }

    void AddStripsAndBackgrounds()
    {
        Single(445, 8, P(32, 44), "Horizontal tab strip (tab-row background)", "three-patch across",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(cColour::FromARGB(0xff2a2a2a), kDarker, r.y0, r.y1));
                   canvas.FillRect(r.x0, r.y1 - 2, r.x1, r.y1, kLit);
               });

        // Segment strips repeat every 2 pixels (one lit, one gap) so any even pitch fits.
        const int stripLength = P(256, 320), stripThickness = P(6, 8), pitch = 4;
        auto horizontalStripGroup = [&](int strip, int reference, const char* stripRole, const char* referenceRole)
        {
            const cRectI rect{0, 0, stripLength, stripThickness};
            Group(stripLength, stripThickness,
                  {{strip, rect, stripRole, "first length pixels from the left; tinted: white art"},
                   {reference, {0, 0, pitch, stripThickness}, referenceRole, "marker: never drawn"}},
                  [rect](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF r = Map(place, rect);
                      for (float x = r.x0; x < r.x1; x += place.S(2))
                          canvas.FillRect(x, r.y0, x + place.S(1), r.y1, kWhite);
                  });
        };
        horizontalStripGroup(454, 455, "Horizontal meter segment strip; envelope band shading",
                             "Sampler bar pitch reference: pitch = its width");
        horizontalStripGroup(456, 457, "Horizontal meter segment strip (tablet sampler bar)",
                             "Tablet sampler bar pitch reference");
        Single(458, stripThickness, stripLength, "Vertical level-meter segment strip", "first length pixels from the top; tinted: white art",
               [](cCanvas& canvas, const cRectF& r)
               {
                   for (float y = r.y0; y < r.y1; y += 2.0f)
                       canvas.FillRect(r.x0, y, r.x1, y + 1.0f, kWhite);
               });
        {
            const int side = 64, inner = 16;
            const cRectI rect{0, 0, side, side};
            Group(side, side,
                  {{462, rect, "Setup-screen background", "nine-patch with inner sprite 463"},
                   {463, rect.Inset(inner, inner, inner, inner), "Setup-screen background inner sprite", "stretch area of 462"}},
                  [rect](cCanvas& canvas, const cPlace& place)
                  {
                      const cRectF r = Map(place, rect);
                      canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kDarker);
                      // A light face, as the dialogues': the setup pages draw their
                      // captions, switch labels and explanations dark over it.
                      DrawPanel(canvas, r.Inset(place.S(4)), place.S(6), cColour::FromARGB(0xffc8c8c8),
                                cColour::FromARGB(0xff7a7a7a));
                  });
        }
    }

    // Toolkit images that no index was given for.
    void AddToolkitParts()
    {
        Single(423, 16, 16, "Vertical tab strip (tab-column background)", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r)
               {
                   canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kDarker);
                   canvas.FillRect(r.x1 - 2, r.y0, r.x1, r.y1, kLit);
               });
        const int frameH = P(10, 14);
        Single(424, P(16, 22), frameH, "Progress-bar frame", "three-patch across",
               [](cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, r.Height() * 0.5f, cColour::FromARGB(0xff101010), kEdge); });
        Single(425, 8, frameH - 4, "Progress-bar fill", "scaled quad",
               [](cCanvas& canvas, const cRectF& r)
               { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kValue, kLit, r.y0, r.y1)); });
        Single(426, 12, 12, "Level-meter background", "nine-patch without inner sprite",
               [](cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 3.0f, cColour::FromARGB(0xff0c0c0c), kEdge); });
        {
            const int w = P(31, 40), h = P(8, 10), led = P(6, 8);
            const cRectI housing{0, 0, w, h};
            auto ledMarker = [w, h](float fraction)
            {
                const int cx = int(std::lround(w * fraction));
                return cRectI{cx - 2, h / 2 - 2, cx + 2, h / 2 + 2};
            };
            Group(w, h,
                  {{427, housing, "Clip-LED housing above level meters", "quad"},
                   {428, ledMarker(0.25f), "Marker: left clip LED centre inside 427", "marker: never drawn"},
                   {429, ledMarker(0.75f), "Marker: right clip LED centre inside 427", "marker: never drawn"}},
                  [housing](cCanvas& canvas, const cPlace& place)
                  { DrawPanel(canvas, Map(place, housing), place.S(2), cColour::FromARGB(0xff101010), kEdge); });
            Single(430, led, led, "Clip LED, lit", "quad over the LED rectangle",
                   [](cCanvas& canvas, const cRectF& r) { DrawLed(canvas, r, true, cColour::FromARGB(0xffff3020)); });
        }
        Single(431, P(24, 32), P(160, 220), "Slider track", "natural size",
               [](cCanvas& canvas, const cRectF& r)
               {
                   const float cx = r.CentreX();
                   for (int i = 0; i <= 10; ++i)
                   {
                       const float y = r.y0 + 8 + i * (r.Height() - 16) / 10.0f;
                       canvas.FillRect(r.x0 + 2, y - 0.5f, r.x0 + 6, y + 0.5f, kEdge);
                       canvas.FillRect(r.x1 - 6, y - 0.5f, r.x1 - 2, y + 0.5f, kEdge);
                   }
                   canvas.FillRoundRect(cx - 2.5f, r.y0 + 4, cx + 2.5f, r.y1 - 4, 2.5f, kBlack);
               });
        Single(432, P(40, 54), P(20, 28), "Slider thumb", "natural size, centred on the value",
               [](cCanvas& canvas, const cRectF& r)
               {
                   DrawShadow(canvas, r.Inset(1), 3.0f);
                   DrawButtonFace(canvas, r.Inset(1), 3.0f, false);
                   canvas.FillRect(r.x0 + 3, r.CentreY() - 1, r.x1 - 3, r.CentreY() + 1, kValue);
               });
        Single(433, P(12, 16), P(20, 28), "Slider glow beside the thumb", "quad, mirrored on the left; tinted",
               [](cCanvas& canvas, const cRectF& r)
               {
                   cPaint fade(kWhite);
                   fade.to = kWhite.WithAlpha(0.0f);
                   fade.x0 = r.x0, fade.x1 = r.x1, fade.y0 = fade.y1 = r.y0;
                   canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 3.0f, fade);
               });
    }

    // The toolbar buttons of the piano roll and the song roll stand edge to
    // edge across the bottom bar: flat bevelled cells, stretched across by
    // their middle column at their own height.
    void AddRollToolbar()
    {
        const int width = P(24, 32), height = P(44, 60);
        const char* drawing = "three-patch across without inner sprite, natural height (alignment 19)";
        Single(240, width, height, "Roll toolbar button, normal (CreateRollButton's skin)", drawing,
               [](cCanvas& canvas, const cRectF& r) { DrawButtonFace(canvas, r.Inset(1), 2.0f, false); });
        Single(241, width, height, "Roll toolbar button, pressed and lit (CreateRollButton's second image)", drawing,
               [](cCanvas& canvas, const cRectF& r) { DrawButtonFace(canvas, r.Inset(1), 2.0f, true); });
    }

    // The status bar, its song-position screen, the main menu with its
    // instrument grid and the on-screen keyboard's done key.
    void AddStatusBarAndMenus()
    {
        using namespace MainScreenArt;
        namespace S = MainScreenSprite;
        Single(S::kStatusBarBackground, 16, P(30, 40), "Status-bar background; its height is the bar's",
               "three-patch across", DrawStatusBarBackground);
        Single(S::kStatusButtonLit, 16, 16, "Status-bar button, lit background", "nine-patch without inner sprite",
               DrawLitButton);
        const int icon = P(20, 26);
        struct cGlyphDef
        {
            int index;
            eGlyph glyph;
            const char* role;
        };
        const cGlyphDef tinted[] = {
            {S::kBack, eGlyph::Back, "Status-bar back icon"},
            {S::kMenu, eGlyph::Menu, "Status-bar menu icon"},
            {S::kSong, eGlyph::Song, "Main-menu SONG icon"},
            {S::kManage, eGlyph::Manage, "Main-menu MANAGE icon"},
            {S::kKeyboardDone, eGlyph::Done, "On-screen keyboard done-key icon"},
            {S::kPropertiesDone, eGlyph::Done, "Instrument properties dialogue: OK icon"},
        };
        for (const cGlyphDef& def : tinted)
        {
            const eGlyph glyph = def.glyph;
            Single(def.index, icon, icon, def.role, "natural size, centred; tinted: white art",
                   [glyph](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, glyph, kWhite); });
        }
        // The transport keeps its colours: square, triangle and dot differ at a glance.
        const cGlyphDef transport[] = {
            {S::kStop, eGlyph::Stop, "Transport stop icon (grey square)"},
            {S::kPlay, eGlyph::Play, "Transport play icon (green triangle)"},
            {S::kRecord, eGlyph::Record, "Transport record icon (red dot)"},
        };
        for (const cGlyphDef& def : transport)
        {
            const eGlyph glyph = def.glyph;
            Single(def.index, icon, icon, def.role, "natural size, centred",
                   [glyph](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, glyph, TransportColour(glyph)); });
        }
        // The tools' icons sit under their labels and values, smaller.
        const int tool = P(14, 18);
        Single(S::kClick, tool, tool, "CLICK icon, unlit", "natural size, below the label; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, eGlyph::Click, kWhite); });
        // The tempo and the quantize setting are written over the middle of
        // these two: their glyphs stand at the ends, the middle stays clear.
        const int flanked = P(50, 64), end = P(10, 13);
        const cGlyphDef flanking[] = {
            {S::kTempo, eGlyph::Tempo, "BPM icon, drawn at alpha 128 either side of the tempo"},
            {S::kQuantize, eGlyph::Quantize, "QUANTIZE icon, drawn at alpha 128 either side of its setting"},
        };
        for (const cGlyphDef& def : flanking)
        {
            const eGlyph glyph = def.glyph;
            Single(def.index, flanked, tool, def.role, "natural size, centred on the value; tinted: white art",
                   [glyph, end](cCanvas& canvas, const cRectF& r)
                   {
                       DrawGlyph(canvas, {r.x0, r.y0, r.x0 + float(end), r.y1}, glyph, kWhite);
                       DrawGlyph(canvas, {r.x1 - float(end), r.y0, r.x1, r.y1}, glyph, kWhite);
                   });
        }
        Single(S::kClickAlways, tool, tool, "CLICK lit: clicking always", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, eGlyph::Click, kValue); });
        Single(S::kClickWhileRecording, tool, tool, "CLICK lit: clicking while recording", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r)
               {
                   DrawGlyph(canvas, r, eGlyph::Click, kValue);
                   canvas.FillCircle(r.x1 - r.Width() * 0.18f, r.y1 - r.Height() * 0.18f, r.Width() * 0.16f,
                                     TransportColour(eGlyph::Record));
               });
        Single(S::kPropertiesCheck, 16, 16, "Instrument properties dialogue: checked type row",
               "flat fill, stretched over the row", ProjectPageArt::DrawCheckBackground);
        const int mark = P(12, 16);
        Single(S::kRecordingIndicator, mark, mark, "Recording indicator on the record button", "natural size, blinking",
               [](cCanvas& canvas, const cRectF& r) { DrawRecordIndicator(canvas, r, false); });
        Single(S::kErasingIndicator, mark, mark, "Erasing indicator on the record button", "natural size, blinking",
               [](cCanvas& canvas, const cRectF& r) { DrawRecordIndicator(canvas, r, true); });
        {
            const int side = 24, inset = 3;
            const cRectI rect{0, 0, side, side};
            Group(side, side,
                  {{S::kScreenFrame, rect, "Song-position screen frame", "nine-patch with inner sprite"},
                   {S::kScreenFrameInner, rect.Inset(inset, inset, inset, inset), "Song-position screen frame, inner",
                    "stretch area of the frame"}},
                  [rect](cCanvas& canvas, const cPlace& place)
                  { DrawScreenFrame(canvas, Map(place, rect).Inset(place.S(1)), place.S(4)); });
        }
        const int loopW = P(14, 18), loopH = P(6, 8);
        Single(S::kLoop, loopW, loopH, "Song-position screen loop icon", "natural size; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, eGlyph::Loop, kWhite); });
        Single(S::kScreenSecondIcon, loopW, loopH, "Song-position screen second icon (only laid out)",
               "natural size; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, eGlyph::Clock, kWhite); });
        {
            const int side = 40, inset = 12;
            const cRectI rect{0, 0, side, side};
            Group(side, side,
                  {{S::kMenuBackground, rect, "Main-menu background", "nine-patch with inner sprite"},
                   {S::kMenuBackgroundInner, rect.Inset(inset, inset, inset, inset), "Main-menu background, inner",
                    "stretch area of the background"}},
                  [rect](cCanvas& canvas, const cPlace& place)
                  { DrawMenuPanel(canvas, Map(place, rect), place.S(6)); });
        }
        const int cellH = P(36, 48);
        Single(S::kGridRow0, 16, cellH, "Instrument-grid background, first row", "three-patch across", DrawGridRow);
        Single(S::kGridRow1, 16, cellH, "Instrument-grid background, second row", "three-patch across", DrawGridRow);
        Single(S::kGridCell, 16, cellH, "Instrument-grid cell; its height is the cell height",
               "nine-patch without inner sprite", DrawGridCell);
        Single(S::kGridCellHighlight, 16, cellH, "Instrument-grid cell highlight", "nine-patch without inner sprite",
               DrawCellHighlight);
        Single(S::kGridLevelBar, P(5, 6), cellH - 4, "Instrument-grid level bar", "filled from the bottom to the level",
               DrawLevelBar);
        AddNavButton();
    }

    // The up/down navigation button: its background and the two arrows that
    // sit at its top and bottom edges.
    void AddNavButton()
    {
        using namespace MainScreenArt;
        namespace N = NavButtonSprite;
        const int arrowW = P(28, 36), arrowH = P(20, 26);
        Single(N::kBackground, P(34, 44), P(72, 96), "Up/down navigation button background", "natural size, centred",
               DrawNavBackground);
        Single(N::kUpArrow, arrowW, arrowH, "Up/down navigation button, up arrow",
               "natural size, centred on the top edge; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawNavArrow(canvas, r, true); });
        Single(N::kDownArrow, arrowW, arrowH, "Up/down navigation button, down arrow",
               "natural size, bottom on the bottom edge; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawNavArrow(canvas, r, false); });
    }

    // Each instrument package's icon in the instrument grid and in lists.
    void AddPackageIcons()
    {
        using namespace MainScreenArt;
        struct cPackageIcon
        {
            int grid;
            int list;
            eGlyph glyph;
            const char* gridRole;
            const char* listRole;
        };
        const cPackageIcon icons[] = {
            {InstrumentIcons::kMixerGrid, InstrumentIcons::kMixerList, eGlyph::Mixer, "Mixer package, grid icon",
             "Mixer package, list icon"},
            {InstrumentIcons::kSynthGrid, InstrumentIcons::kSynthList, eGlyph::Synth, "Synthesizer package, grid icon",
             "Synthesizer package, list icon"},
            {InstrumentIcons::kPadsGrid, InstrumentIcons::kPadsList, eGlyph::Pads, "Pad package, grid icon",
             "Pad package, list icon"},
        };
        for (const cPackageIcon& def : icons)
        {
            const eGlyph glyph = def.glyph;
            Single(def.grid, P(24, 32), P(24, 32), def.gridRole, "natural size, centred",
                   [glyph](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, glyph, kValue); });
            Single(def.list, P(32, 44), P(32, 44), def.listRole, "natural size, centred",
                   [glyph](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r.Inset(2.0f), glyph, kValue); });
        }
    }

    // The sample editor's buttons, bars, box, handles and scroll-mode icon.
    void AddSampleEditor()
    {
        using namespace SampleEditorArt;
        namespace S = SampleEditorSprite;
        const char* patched = "three-patch across without inner sprite, height scaled (alignment 0x23)";
        Single(S::kButton, P(24, 32), P(40, 52), "Sample-editor button and menu, normal", patched,
               [](cCanvas& canvas, const cRectF& r) { DrawButton(canvas, r, false); });
        Single(S::kButtonPressed, P(24, 32), P(40, 52), "Sample-editor button and menu, pressed, lit or open", patched,
               [](cCanvas& canvas, const cRectF& r) { DrawButton(canvas, r, true); });
        Single(S::kBottomBar, 16, P(44, 60), "Sample-editor bottom bar; its height is the bar's",
               "three-patch across without inner sprite", DrawBottomBar);
        Single(S::kRuler, 16, P(20, 26), "Sample-editor ruler strip; its height is the strip's",
               "quad stretched over the ruler", DrawRuler);
        Single(S::kAmplitudeBox, P(44, 60), P(32, 44),
               "Sample-editor amplitude box; its size sets the top strip and amplitude column",
               "three-patch down without inner sprite", DrawAmplitudeBox);
        Single(S::kStartHandle, P(20, 28), P(30, 40), "Sample-editor selection start handle",
               "quad at natural size; faded by alpha", [](cCanvas& canvas, const cRectF& r) { DrawHandle(canvas, r, true); });
        Single(S::kEndHandle, P(20, 28), P(30, 40), "Sample-editor selection end handle",
               "quad at natural size; faded by alpha", [](cCanvas& canvas, const cRectF& r) { DrawHandle(canvas, r, false); });
        Single(S::kScrollMode, P(20, 26), P(20, 26), "Sample-editor scroll-mode icon",
               "natural size, centred; tinted: white art", DrawScrollModeIcon);
    }

    // The sampler's Resample and Sample tabs: backgrounds, "REC" icon and
    // the capture meter.
    void AddSamplerPanels()
    {
        using namespace SamplerPanelArt;
        namespace S = SamplerPanelSprite;
        auto ninePatch = [&](int index, int inner, const char* role, const char* innerRole,
                             void (*art)(cCanvas&, const cRectF&, float))
        {
            const int side = 48, margin = 12;
            const cRectI rect{0, 0, side, side};
            Group(side, side,
                  {{index, rect, role, "nine-patch with inner sprite"},
                   {inner, rect.Inset(margin, margin, margin, margin), innerRole, "stretch area of the nine-patch"}},
                  [rect, art](cCanvas& canvas, const cPlace& place) { art(canvas, Map(place, rect), place.S(1)); });
        };
        ninePatch(S::kBackground, S::kBackgroundInner, "Sampler Resample and Sample tab background",
                  "Sampler tab background, inner", DrawBackground);
        ninePatch(S::kShadowRect, S::kShadowRectInner, "Sampler tab status area, sunk",
                  "Sampler tab status area, inner", DrawShadowRect);
        const int icon = P(24, 32);
        Single(S::kRecordIcon, icon, icon, "Sampler \"REC\" icon", "natural size, beside the label", DrawRecordIcon);
        Single(S::kMeterStrip, P(512, 640), P(8, 10), "Sampler capture meter segment strip",
               "first length pixels from the left; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawMeterStrip(canvas, r, 1.0f); });
        Single(S::kMeterFrame, P(16, 22), P(12, 14), "Sampler capture meter frame", "three-patch across",
               DrawMeterFrame);
    }

    // The sampler page's stop, play and loop buttons.
    void AddSamplerTransport()
    {
        using namespace SamplerArt;
        namespace S = SamplerSprite;
        // As tall as the tab row beside them.
        const int width = P(40, 56), height = P(32, 44);
        Single(S::kTransportButton, width, height, "Sampler transport button, normal",
               "natural size; neighbours overlap by one pixel",
               [](cCanvas& canvas, const cRectF& r) { DrawTransportButton(canvas, r, false); });
        Single(S::kTransportButtonPressed, width, height, "Sampler transport button, pressed or lit",
               "natural size; neighbours overlap by one pixel",
               [](cCanvas& canvas, const cRectF& r) { DrawTransportButton(canvas, r, true); });
        const int icon = P(22, 30);
        Single(S::kStopIcon, icon, icon, "Sampler transport stop icon", "natural size, centred; tinted: white art",
               DrawStopIcon);
        Single(S::kPlayIcon, icon, icon, "Sampler transport play icon", "natural size, centred; tinted: white art",
               DrawPlayIcon);
        Single(S::kLoopIcon, icon, icon, "Sampler transport loop icon", "natural size, centred; tinted: white art",
               DrawLoopIcon);
    }

    // The mixdown button's icon and the output formats' icons.
    // The project page's button icons above their labels and its panel.
    void AddProjectPage()
    {
        using ProjectPageArt::eIcon;
        namespace S = ProjectPageSprite;
        struct cIconDef
        {
            int index;
            eIcon icon;
            const char* role;
        };
        const cIconDef icons[] = {
            {S::kSave, eIcon::Save, "Project page: \"Save\" icon"},
            {S::kSaveAs, eIcon::SaveAs, "Project page: \"Save As...\" icon"},
            {S::kNew, eIcon::New, "Project page: \"New\" icon"},
            {S::kExport, eIcon::Export, "Project page: \"Export QPK\" icon"},
            {S::kLoad, eIcon::Load, "Project page: \"Load\" icon"},
            {S::kShare, eIcon::Share, "Project page: \"Share\" icon (button hidden)"},
            {S::kEmail, eIcon::Email, "Project page: \"Email File\" icon (button hidden)"},
        };
        // The icon sits 8 px above the middle of a standard button (32 px
        // high, 44 on a tablet) with the label below it: this size keeps it
        // inside the button's face.
        const int icon = P(15, 26);
        for (const cIconDef& def : icons)
        {
            const eIcon kind = def.icon;
            Single(def.index, icon, icon, def.role, "natural size, above the label",
                   [kind](cCanvas& canvas, const cRectF& r) { ProjectPageArt::DrawIcon(canvas, r, kind); });
        }
        Single(S::kMixdown, icon, icon, "Project page: \"Mixdown\" icon", "natural size, above the label",
               MixdownArt::DrawMixdownIcon);
        const int side = 64, inner = 16;
        const cRectI rect{0, 0, side, side};
        Group(side, side,
              {{S::kPanel, rect, "Project page background", "nine-patch with inner sprite"},
               {S::kPanelInner, rect.Inset(inner, inner, inner, inner), "Project page background, inner",
                "stretch area of the background"}},
              [rect](cCanvas& canvas, const cPlace& place)
              {
                  const cRectF r = Map(place, rect);
                  canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kDarker);
                  DrawPanel(canvas, r.Inset(place.S(4)), place.S(6), cColour::FromARGB(0xffc8c8c8),
                            cColour::FromARGB(0xff7a7a7a));
              });
    }

    void AddMixdown()
    {
        using namespace MixdownArt;
        namespace M = MixdownSprite;
        Single(M::kMixdown, P(24, 32), P(24, 32), "Mixdown dialogue: icon of the \"Mixdown\" button",
               "natural size, above the label", DrawMixdownIcon);
        Single(M::kFormatWav, P(32, 44), P(32, 44), "Mixdown output icon in the file browser: WAV",
               "natural size, centred", DrawWavIcon);
        Single(M::kFormatOgg, P(32, 44), P(32, 44), "Mixdown output icon in the file browser: Ogg Vorbis",
               "natural size, centred", DrawOggIcon);
        Single(M::kFormatZip, P(32, 44), P(32, 44), "Mixdown output icon in the file browser: zipped WAVs",
               "natural size, centred", DrawZipIcon);
    }

    // The pasteboard page: its two button icons, the plate under "Audition",
    // the rows' frame, the installed application's box and two markers.
    void AddPasteboard()
    {
        using namespace PasteboardArt;
        namespace B = PasteboardSprite;
        Single(B::kPasteIcon, P(24, 32), P(24, 32), "Pasteboard: icon of the \"Paste\" button",
               "natural size, beside the label", DrawPasteIcon);
        Single(B::kAuditionIcon, P(24, 32), P(24, 32), "Pasteboard: icon of the \"Audition\" toggle",
               "natural size, beside the label", DrawAuditionIcon);
        Single(B::kUnderAudition, P(40, 56), P(8, 10), "Pasteboard: image centred under \"Audition\"",
               "quad at natural size", DrawUnderAudition);
        Single(B::kRowFrame, 8, 8, "Pasteboard: frame of a clip's row", "nine-patch without inner sprite",
               DrawRowFrame);
        Single(B::kHighlightBox, 12, 12, "Pasteboard: box behind an installed application",
               "nine-patch without inner sprite", DrawHighlightBox);
        Single(B::kAppMarkerA, P(16, 22), P(16, 22), "Pasteboard: first application marker (flag bit 1)",
               "natural size at the row's right end", DrawMarkerA);
        Single(B::kAppMarkerB, P(16, 22), P(16, 22), "Pasteboard: second application marker (flag bit 2)",
               "natural size left of the first", DrawMarkerB);
    }

    // The mixing desk, its chain editor and the effect chooser.
    void AddMixingDesk()
    {
        using namespace MixingDeskArt;
        namespace D = MixingDeskSprite;
        const char* nine = "nine-patch without inner sprite";
        const char* white = "natural size, centred; tinted: white art";
        Single(D::kCheek, P(44, 56), P(44, 56), "Mixing desk: side cheek; its width is the cheeks' width", nine,
               DrawCheek);
        Single(D::kStrip, P(88, 110), 32, "Mixing desk: input strip background; its width sets the strip columns",
               nine, DrawStrip);
        Single(D::kMasterStrip, P(24, 32), 32, "Mixing desk: the master's strip skin", nine, DrawMasterStrip);
        for (int state = 0; state < 3; ++state)
            Single(D::kFxNone + state, P(20, 26), P(20, 26),
                   state == 0   ? "Mixing desk: insert chain state, no effect"
                   : state == 1 ? "Mixing desk: insert chain state, every effect off"
                                : "Mixing desk: insert chain state, some effect on",
                   "natural size, centred", [state](cCanvas& canvas, const cRectF& r) { DrawFxState(canvas, r, state); });
        Single(D::kMute, P(36, 44), P(20, 26), "Mixing desk: mute button", white, DrawMute);
        Single(D::kSolo, P(36, 44), P(20, 26), "Mixing desk: solo button", white, DrawSolo);
        Single(D::kFaderTrack, P(16, 20), P(140, 180), "Mixing desk: fader track", "natural size", DrawFaderTrack);
        Single(D::kFaderThumb, P(36, 44), P(18, 22), "Mixing desk: fader thumb", "natural size, centred on the value",
               DrawFaderThumb);
        Single(D::kFaderGlow, 12, P(18, 22), "Mixing desk: glow beside a held fader thumb",
               "stretched beside the thumb; tinted: white art", DrawFaderGlow);
        Single(D::kSlotButton, P(40, 52), P(40, 52), "Chain editor: node button; its height is the strip buttons'",
               nine, [](cCanvas& canvas, const cRectF& r) { DrawSlotButton(canvas, r, false); });
        Single(D::kSlotButtonLit, P(40, 52), P(40, 52), "Chain editor: node button, held or selected", nine,
               [](cCanvas& canvas, const cRectF& r) { DrawSlotButton(canvas, r, true); });
        Single(D::kConnector, 12, 12, "Chain editor: arrow between two nodes", "natural size, centred in the gap",
               DrawConnector);
        Single(D::kInsertMarker, 4, P(44, 56), "Chain editor: where a dragged node lands",
               "natural size, centred 8 px left of the target", DrawInsertMarker);
        Single(D::kEmptySlot, P(40, 52), P(40, 52), "Chain editor: icon of an empty slot",
               "natural size at the cell's corner; tinted: white art", DrawEmptySlot);
        Single(D::kNodeStrip, 16, 16, "Chain editor: node strip background", "stretched over the strip",
               DrawNodeStrip);
        Single(D::kHighlight, 16, 16, "Effect chooser: the selected row", nine, DrawHighlight);
        Single(D::kChainIcon, P(32, 44), P(32, 44), "File browser: effect chain file (\"qfx\")",
               "natural size, centred",
               [](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, eIcon::Chain, kLabel); });
        Single(D::kNoneIcon, P(32, 44), P(32, 44), "Effect chooser: the \"None\" row", "natural size, centred",
               DrawNoneIcon);
        const struct
        {
            int index;
            eIcon icon;
            const char* role;
        } buttons[] = {{D::kOkIcon, eIcon::Check, "Effect chooser: \"OK\" button icon"},
                       {D::kLoadIcon, eIcon::Import, "Effect chooser: \"Load Chain\" button icon"},
                       {D::kSaveIcon, eIcon::Export, "Effect chooser: \"Save Chain\" button icon"}};
        for (const auto& button : buttons)
            Single(button.index, P(20, 26), P(20, 26), button.role, "natural size, beside the label",
                   [icon = button.icon](cCanvas& canvas, const cRectF& r) { DrawIcon(canvas, r, icon, kLabel); });
    }

    // The sampler's Effects tab: strip, end cheeks, process icon and the
    // meter's clip LEDs (the housing's two markers place the LEDs).
    void AddSamplerEffects()
    {
        using namespace SamplerEffectsArt;
        namespace E = SamplerEffectsSprite;
        Single(E::kStrip, 24, 24, "Sampler effects: control strip background", "nine-patch without inner sprite",
               DrawStrip);
        Single(E::kCheek, P(48, 60), P(48, 60), "Sampler effects: end cheek; its width is the cheeks' width",
               "three-patch down without inner sprite", DrawCheek);
        Single(E::kProcessIcon, P(40, 52), P(24, 32), "Sampler effects: icon of the process button",
               "natural size, left of the (empty) label", DrawProcessIcon);
        const int width = P(20, 26), height = P(12, 16), led = P(8, 10);
        const int top = (height - led) / 2, half = width / 2;
        const int left = (half - led) / 2, right = half + (half - led) / 2;
        Group(width, height,
              {{E::kMeterHousing, {0, 0, width, height}, "Sampler effects: clip LED housing; its width is the meter's",
                "natural size above the meter"},
               {E::kClipMarkerLeft, {left, top, left + led, top + led}, "Sampler effects: left clip LED's place",
                "marker inside the housing: layout only"},
               {E::kClipMarkerRight, {right, top, right + led, top + led}, "Sampler effects: right clip LED's place",
                "marker inside the housing: layout only"}},
              [width, height](cCanvas& canvas, const cPlace& place)
              { DrawMeterHousing(canvas, Map(place, cRectI{0, 0, width, height})); });
        Single(E::kClipLed, led, led, "Sampler effects: clip LED, lit", "natural size over its marker", DrawClipLed);
        const int pitch = P(10, 12);
        Single(E::kMeterStrip, P(6, 8), 21 * pitch, "Sampler effects: meter segment strip, 21 segments",
               "first length pixels from the top; its height over 21 is the pitch; tinted: white art",
               [pitch](cCanvas& canvas, const cRectF& r) { DrawMeterStrip(canvas, r, 21, float(pitch)); });
    }

    // The piano roll's handles, ruler, repeat region and the icons of its own tools.
    void AddPianoRoll()
    {
        using namespace PianoRollArt;
        namespace R = PianoRollSprite;
        const struct
        {
            int index;
            eHandle handle;
            const char* role;
        } handles[] = {{R::kMoveHandle, eHandle::kMove, "Piano-roll move handle"},
                       {R::kLengthHandle, eHandle::kLength, "Piano-roll length handle"},
                       {R::kValueHandle, eHandle::kValue, "Piano-roll value handle"}};
        for (const auto& h : handles)
            Single(h.index, P(24, 32), P(24, 32), h.role, "quad at natural size, kept inside the edit area",
                   [handle = h.handle](cCanvas& canvas, const cRectF& r) { DrawHandle(canvas, r, handle); });
        Single(R::kScrollModeIcon, P(20, 26), P(20, 26), "Piano-roll scroll-mode icon",
               "natural size, centred; tinted: white art", SampleEditorArt::DrawScrollModeIcon);
        Single(R::kRuler, 8, P(24, 32), "Piano-roll ruler", "stretched across the ruler", SampleEditorArt::DrawRuler);
        Single(R::kLoopRegion, 8, P(24, 32), "Piano-roll repeat region of a shared pattern",
               "stretched from the ruler's start to the repeat length", DrawLoopRegion);
        Single(R::kQuantizeIcon, P(24, 32), P(24, 32), "Piano-roll \"Qtz\" button icon", "natural size, above the label",
               DrawQuantizeIcon);
        Single(R::kDoneIcon, P(24, 32), P(24, 32), "Piano-roll \"Done\" button icon", "natural size, above the label",
               DrawDoneIcon);
    }

    // The pad editor's skin. Backgrounds, pads and outlines nine-patch
    // without inner sprites, so they are small and symmetric; the pads grow
    // to their cells from their own size.
    void AddPadEditor()
    {
        using namespace PadEditorArt;
        namespace S = TriggerPadSprite;
        const char* nine = "nine-patch without inner sprite";
        Single(S::kEditorBackground, 24, 24, "Pad editor background", nine, DrawEditorBackground);
        Single(S::kPanelFrame, 32, 32, "Pad editor control-panel frame", nine, DrawPanelFrame);
        Single(S::kPadOutline, 12, 12, "Pad outline while the EDIT tab is on", "nine-patch, no centre; tinted: white art",
               DrawPadOutline);
        Single(S::kPanelBackground, 24, 24, "Pad editor panel background", nine, DrawPanelBackground);
        Single(S::kBusPanelBackground, 24, 24, "Pad output-bus panel background",
               "nine-patch without inner sprite; tinted by bus: white art", DrawBusPanelBackground);
        const int pad = P(40, 52);
        Single(S::kPad, pad, pad, "Pad, unlit; pad-button face",
               "nine-patch grown from its own size (snap 0.2 of it); tinted by bus: light art", DrawPad);
        for (int bus = 0; bus < 3; ++bus)
        {
            static const char* const roles[] = {"Pad glow, bus 1", "Pad glow, bus 2", "Pad glow, bus 3"};
            Single(S::kPadLitBus1 + bus, pad, pad, roles[bus], "as the pad; faded by alpha",
                   [bus](cCanvas& canvas, const cRectF& r) { DrawLitPad(canvas, r, bus); });
        }
        const int icon = P(24, 32);
        Single(S::kMuteIcon, icon, icon, "Pad mute mark", "natural size, centred; tinted: white art",
               [](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, eGlyph::Mute); });
        const int button = P(32, 44);
        Single(S::kPadButton, button, button, "Pad editor button", "natural size",
               [](cCanvas& canvas, const cRectF& r) { DrawPadButton(canvas, r, false); });
        Single(S::kPadButtonLit, button, button, "Pad editor button, held", "natural size",
               [](cCanvas& canvas, const cRectF& r) { DrawPadButton(canvas, r, true); });
        Single(S::kLamp, 8, 8, "Pad editor lamp, lit", "natural size", DrawLamp);
        const int column = int(S::kLampColumnWidth);
        const int backHeight = std::max(button, 40);
        for (bool left : {true, false})
            Single(left ? S::kLampBackLeft : S::kLampBackRight, button + column, backHeight,
                   left ? "Three-way selector, lamps on the left" : "Three-way selector, lamps on the right",
                   "natural size; lamps 12 pixels apart about its centre",
                   [left](cCanvas& canvas, const cRectF& r) { DrawLampBack(canvas, r, left, S::kLampColumnWidth, 12.0f); });
        Single(S::kDirectionPanel, P(30, 38), P(32, 40), "Direction display beside its button", "natural size",
               DrawDirectionPanel);
        const struct
        {
            int index;
            eArrows arrows;
            const char* role;
        } arrows[] = {{S::kArrowForward, eArrows::Forward, "Direction arrow: forward"},
                      {S::kArrowReverse, eArrows::Reverse, "Direction arrow: reverse"},
                      {S::kArrowForwardReverse, eArrows::ForwardReverse, "Direction arrow: forward then reverse"},
                      {S::kArrowReverseForward, eArrows::ReverseForward, "Direction arrow: reverse then forward"}};
        for (const auto& def : arrows)
        {
            const eArrows kind = def.arrows;
            Single(def.index, P(22, 28), 10, def.role, "natural size in the display",
                   [kind](cCanvas& canvas, const cRectF& r) { DrawArrows(canvas, r, kind); });
        }
        Single(S::kRecordImage, 12, 12, "RECORD mark on its pad button", "natural size, centred", DrawRecordMark);
        Single(S::kSeparator, 16, 4, "Pad editor row separator", "three-patch across", DrawSeparator);
        Single(S::kConnectorBar, 16, 6, "Bank buttons' connector bar", "three-patch across", DrawConnectorBar);
        const int knob = P(40, 52);
        Single(S::kKnobBody, knob, knob, "Pad editor knob", "natural size, centred",
               [](cCanvas& canvas, const cRectF& r) { DrawKnobBody(canvas, r.Inset(4.0f), 4.0f); });
        const int spinW = P(20, 26), spinH = P(24, 32);
        Single(S::kSpinUp, spinW, spinH, "Pad spin button up", "natural size; pressed tinted grey",
               [](cCanvas& canvas, const cRectF& r) { DrawSpinButton(canvas, r, true); });
        Single(S::kSpinDown, spinW, spinH, "Pad spin button down", "natural size; pressed tinted grey",
               [](cCanvas& canvas, const cRectF& r) { DrawSpinButton(canvas, r, false); });
        Single(S::kSpinBox, 32, spinH, "Pad spin button value box", "three-patch across", DrawSpinBox);
        const int tab = P(20, 26);
        const struct
        {
            int index;
            eGlyph glyph;
            const char* role;
        } glyphs[] = {{S::kTabHome, eGlyph::Home, "Pad tab icon: HOME"},
                      {S::kTabEdit, eGlyph::Edit, "Pad tab icon: EDIT"},
                      {S::kTabAutoBeat, eGlyph::AutoBeat, "Pad tab icon: AUTOBEAT"},
                      {S::kTabOutputs, eGlyph::Outputs, "Pad tab icon: OUTPUTS"},
                      {S::kMuteMode, eGlyph::MuteMode, "Pad mute-mode switch icon"}};
        for (const auto& def : glyphs)
        {
            const eGlyph glyph = def.glyph;
            Single(def.index, tab, tab, def.role, "natural size, centred; tinted: white art",
                   [glyph](cCanvas& canvas, const cRectF& r) { DrawGlyph(canvas, r, glyph); });
        }
    }

    // The rolls' toolbar icons sit above their labels.
    void AddRollIcons()
    {
        using RollArt::eRollGlyph;
        const int icon = P(20, 26);
        const struct
        {
            int index;
            eRollGlyph glyph;
            const char* role;
        } icons[] = {
            {kRollToolsIcon, eRollGlyph::Tools, "Roll toolbar icon: Tools"},
            {kRollHistoryIcon, eRollGlyph::History, "Roll toolbar icon: History"},
            {kRollZoomIcon, eRollGlyph::Zoom, "Roll toolbar icon: Zoom"},
            {kRollSelectIcon, eRollGlyph::Select, "Roll toolbar icon: Select"},
            {kRollDrawIcon, eRollGlyph::Draw, "Roll toolbar icon: Draw"},
            {kRollDeleteIcon, eRollGlyph::Delete, "Roll toolbar icon: Delete"},
            {kRollCopyIcon, eRollGlyph::Copy, "Roll toolbar icon: Copy"},
            {kRollMoreIcon, eRollGlyph::More, "Roll toolbar icon: More"},
            {kRollEditIcon, eRollGlyph::Edit, "Roll toolbar icon: Edit (open in the piano roll)"},
            {kSongRollPanelIcon, eRollGlyph::Panel, "Song roll: track-header panel toggle icon"},
            {kSongRollFollowIcon, eRollGlyph::Follow, "Song roll: follow-playback toggle icon"},
            {kSongRollScrollModeIcon, eRollGlyph::ScrollMode, "Song roll: scroll-mode toggle icon"},
        };
        for (const auto& def : icons)
        {
            const eRollGlyph glyph = def.glyph;
            Single(def.index, icon, icon, def.role, "natural size, above the label; white art",
                   [glyph](cCanvas& canvas, const cRectF& r) { RollArt::DrawRollGlyph(canvas, r, glyph, kWhite); });
        }
    }

    // The song roll's header icons, backgrounds, loop region and drag handles.
    void AddSongRoll()
    {
        using RollArt::eRollGlyph;
        const int mark = P(14, 18);
        const struct
        {
            int index;
            eRollGlyph glyph;
            const char* role;
        } marks[] = {
            {kSongRollMuteIcon, eRollGlyph::Mute, "Song roll header: muted track (orange speaker, crossed)"},
            {kSongRollSoloIcon, eRollGlyph::Solo, "Song roll header: soloed track (green speaker)"},
            {kSongRollInputIcon, eRollGlyph::Input, "Song roll header: input (record) track (red dot)"},
            {kSongRollGroupMarker, eRollGlyph::GroupMarker, "Song roll header: instrument with several tracks"},
        };
        for (const auto& def : marks)
        {
            const eRollGlyph glyph = def.glyph;
            Single(def.index, mark, mark, def.role, "natural size, centred",
                   [glyph](cCanvas& canvas, const cRectF& r) { RollArt::DrawRollGlyph(canvas, r, glyph, kWhite); });
        }
        Single(kSongRollToolbarBackground, 16, P(44, 60), "Song roll toolbar background", "three-patch across",
               RollArt::DrawToolbarBackground);
        Single(kSongRollRuler, 16, P(24, 30), "Song roll ruler background; its height is the ruler's",
               "three-patch across", RollArt::DrawRulerBackground);
        Single(kSongRollLoopRegion, P(12, 16), P(6, 8), "Song roll loop region under the ruler",
               "three-patch across when wider, else natural size", RollArt::DrawLoopRegion);
        const int handle = P(32, 40);
        const struct
        {
            int index;
            RollArt::eHandle kind;
            const char* role;
        } handles[] = {
            {kSongRollMoveHandle, RollArt::eHandle::Move, "Song roll drag handle: move the selection"},
            {kSongRollResizeHandle, RollArt::eHandle::Resize, "Song roll drag handle: change the selection's length"},
            {kSongRollTrackMoveHandle, RollArt::eHandle::TrackMove, "Song roll drag handle: move across tracks"},
        };
        for (const auto& def : handles)
        {
            const RollArt::eHandle kind = def.kind;
            Single(def.index, handle, handle, def.role, "natural size, centred; faded by alpha",
                   [kind](cCanvas& canvas, const cRectF& r) { RollArt::DrawDragHandle(canvas, r, kind); });
        }
    }

    // Two round badges beside the oscillator strips: a saw for the first
    // oscillator, a square for the second.
    void AddOscillatorBadges()
    {
        const int side = P(26, 34);
        auto badge = [](bool square)
        {
            return [square](cCanvas& canvas, const cRectF& r)
            {
                const float cx = r.CentreX(), cy = r.CentreY(), radius = r.Width() * 0.5f;
                canvas.FillCircle(cx, cy, radius - 0.5f, cColour::FromARGB(0xff1c1c1c));
                canvas.StrokeCircle(cx, cy, radius - 1.0f, 1.5f, kValue);
                const float w = radius * 0.55f, h = radius * 0.35f, line = radius * 0.12f;
                if (square)
                {
                    canvas.FillLine(cx - w, cy + h, cx - w, cy - h, line, kValue);
                    canvas.FillLine(cx - w, cy - h, cx, cy - h, line, kValue);
                    canvas.FillLine(cx, cy - h, cx, cy + h, line, kValue);
                    canvas.FillLine(cx, cy + h, cx + w, cy + h, line, kValue);
                    canvas.FillLine(cx + w, cy + h, cx + w, cy - h, line, kValue);
                }
                else
                {
                    canvas.FillLine(cx - w, cy + h, cx, cy - h, line, kValue);
                    canvas.FillLine(cx, cy - h, cx, cy + h, line, kValue);
                    canvas.FillLine(cx, cy + h, cx + w, cy - h, line, kValue);
                }
            };
        };
        Single(132, side, side, "Synth oscillator 1 badge", "natural size, centred in its slot", badge(false));
        Single(133, side, side, "Synth oscillator 2 badge", "natural size, centred in its slot", badge(true));
    }

    void AddPlaceholders()
    {
        std::vector<cEntryDef> entries;
        for (int index = 0; index < kSolidFill; ++index)
            if (!mUsed.count(index))
                entries.push_back({index, {0, 0, 8, 8}, "Unused index", "neutral placeholder"});
        Group(8, 8, std::move(entries),
              [](cCanvas& canvas, const cPlace& place) { DrawPlaceholder(canvas, Map(place, {0, 0, 8, 8})); });
    }

    eProfile mProfile;
    cAtlasLayout& mLayout;
    std::set<int> mUsed;
};
}

void BuildColourAtlas(eProfile profile, cAtlasLayout& layout)
{
    cColourManifest(profile, layout).Build();
}
