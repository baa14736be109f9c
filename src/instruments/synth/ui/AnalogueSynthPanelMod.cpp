#include "instruments/synth/ui/AnalogueSynthPanelMod.h"

#include <algorithm>
#include <cmath>

#include "base/Serialise.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/LiveControlEvents.h"
#include "instruments/synth/ui/PitchBendPanel.h"
#include "instruments/synth/ui/WidgetXYPad.h"
#include "mixer/MixerChannel.h"
#include "render/AtlasProfiles.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/TextBatch.h"
#include "ui/DrawHelpers.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"

namespace
{
constexpr int32_t kLogoSprite = 1; // of the mono atlas
constexpr int32_t kMarkerSprite = 87;
constexpr float kLabelSize = 8.0f;
constexpr uint32_t kTitleColour = SynthColour::kDarkRed;
// The teal of the axis captions, deepened: they stand on the light face
// plate, where the full teal (0, 127, 142) reads at under 3:1 (on no ground
// but white does it reach 4.5:1); this shade reads at over 5:1.
constexpr uint32_t kAxisColour = 0xff5f5500;
constexpr float kColumnWidth = 160.0f;
constexpr float kColumnTop = 28.0f;
constexpr float kTitleGap = 5.0f;
// Captions sit inside the pad's corner marker.
constexpr float kXCaptionLeft = 8.0f;
constexpr float kXCaptionDown = 3.0f;
constexpr float kYCaptionRise = 4.0f;
constexpr float kYCaptionLeft = 7.0f;
constexpr float kLogoBelowAccel = 10.0f;
constexpr float kLogoAboveKnob = 20.0f;
// The routing rows of the performance controllers.
constexpr int32_t kPadRows[2][2] = {{cModMatrix::kSourcePad1X, cModMatrix::kSourcePad1Y},
                                    {cModMatrix::kSourcePad2X, cModMatrix::kSourcePad2Y}};
constexpr const char* kPadNames[2] = {"XY PAD 1", "XY PAD 2"};
constexpr const char* kPadTiltTitles[2] = {"XY PAD 1 - ACCEL", "XY PAD 2 - ACCEL"};
constexpr int32_t kPadAxes[2][2] = {{cAnalogueSynthPanelMod::kParamPad1X, cAnalogueSynthPanelMod::kParamPad1Y},
                                    {cAnalogueSynthPanelMod::kParamPad2X, cAnalogueSynthPanelMod::kParamPad2Y}};

uint32_t Bit(int32_t index) { return 1u << index; }

const char* EnumName(const Base::cEnumTable& table, int32_t value)
{
    for (int32_t index = 0; index < table.count; ++index)
        if (table.entries[index].value == value)
            return table.entries[index].name;
    return "";
}

const char* IndexName(const Base::cEnumTable& table, int32_t index)
{
    return index >= 0 && index < table.count ? table.entries[index].name : "";
}

cRect Snapped(const cRect& rect)
{
    return {std::floor(rect.xMin + 0.5f), std::floor(rect.yMin + 0.5f), std::floor(rect.xMax + 0.5f),
            std::floor(rect.yMax + 0.5f)};
}
} // namespace

void FormatModRouting(cGenString& text, const cModMatrixRow& row)
{
    if (row.Dest == cModMatrix::kDestOff)
    {
        text.AssignCStr("UNUSED");
        return;
    }
    text.Printf("%s %s", EnumName(cModMatrix::GetDestNames(), row.Dest),
                IndexName(cModMatrix::GetParNames(row.Dest), row.Par));
}

cAnalogueSynthPanelMod::cAnalogueSynthPanelMod(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mPitchBend = new cPitchBendPanel(owner);
    AddChild(mPitchBend);

    // Unnamed: the panel writes "ACCEL" over its column with the pads'
    // titles; the button's own label would say it again across its LEDs' line.
    mAccel = CreateSynthLEDButton(2, kAccelFlags);
    mAccel->SetTag(int32_t(MakeSynthParamId(kSynthParamAccel)));
    mAccel->SetLEDCount(2);
    mAccel->SetLED(0, 1, "XY1");
    mAccel->SetLED(1, 2, "XY2");
    mAccel->clickDelegate.Bind(this, &cAnalogueSynthPanelMod::OnAccelChanged);
    AddChild(mAccel);

    mKnob = CreateSynthKnob();
    mKnob->SetParameter({"KNOB", kKnobContinuous, 0, 0, nullptr, 0, 0});
    mKnob->SetTag(kParamKnob);
    mKnob->captionStyle.alignment |= kTextShortenStart;
    mKnob->valueDelegate.Bind(this, &cAnalogueSynthPanelMod::OnKnobChanged);
    mKnob->touchDelegate.Bind(this, &cAnalogueSynthPanelMod::OnKnobTouched);
    AddChild(mKnob);

    for (int32_t index = 0; index < 2; ++index)
    {
        cWidgetXYPad* pad = new cWidgetXYPad(owner);
        pad->SetName(kPadNames[index]);
        pad->xIndex = kPadAxes[index][0];
        pad->yIndex = kPadAxes[index][1];
        pad->valueDelegate.Bind(this, &cAnalogueSynthPanelMod::OnPadMoved);
        pad->touchDelegate.Bind(this, &cAnalogueSynthPanelMod::OnPadTouched);
        AddChild(pad);
        mPads[index] = pad;
    }

    mLogo = &gTex8AtlasTable[kLogoSprite];
    mMarker = SynthSprite(kMarkerSprite);
    mLabelFont = owner ? cFontHandle::CopyWithSize(owner->GetLabelFont(), kLabelSize) : cFontHandle();
    if (!owner)
        mLabelFont.Select(kLabelSize);
    BuildLayout();
}

cAnalogueSynthPanelMod::~cAnalogueSynthPanelMod()
{
    mPitchBend->Release();
    mAccel->Release();
    mKnob->Release();
    mPads[0]->Release();
    mPads[1]->Release();
}

void cAnalogueSynthPanelMod::BuildLayout()
{
    auto* column = new cLayoutLinear(kAxisY, 3);
    // The pad titles stand above the pads; at low densities 2.5 mm would
    // not hold them.
    const float lineHeight = mLabelFont.sizeEntry ? mLabelFont.sizeEntry->size : kLabelSize;
    AddGapItem(column, 0.1f, std::max(MillimetresToPixels(2.5f), lineHeight + kTitleGap + 2.0f));
    auto* row = AddLayoutItem(column, new cLayoutLinear(kAxisX, 8), kPolicyExpand, kPolicyExpand);
    // The same room below, for the X captions under the pads' corners.
    AddGapItem(column, 0.1f, std::max(MillimetresToPixels(2.5f), lineHeight + kXCaptionDown));

    // A hidden wheel (the Perform page shows its own) takes no room.
    AddWidgetItem(row, mPitchBend, kPolicyFixed, kPolicyPref)->itemFlags = cLayoutItem::kItemVisibleOnly;
    AddGapItem(row, 0.2f, MillimetresToPixels(1.0f));
    auto* controls = AddLayoutItem(row, new cLayoutLinear(kAxisY, 3), kPolicyExpand, kPolicyExpand);
    controls->maximum[kAxisX] = {kColumnWidth, kUnitPixels};
    controls->stretch.X = 0.3f;
    controls->margins[1] = {kColumnTop, kUnitPixels};
    AddGapItem(row, 0.2f, MillimetresToPixels(2.5f));
    AddWidgetItem(row, mPads[0], kPolicyExpand, kPolicyPref);
    AddGapItem(row, 0.08f, 12.0f);
    AddWidgetItem(row, mPads[1], kPolicyExpand, kPolicyPref);
    AddGapItem(row, 0.08f, MillimetresToPixels(2.0f));

    AddWidgetItem(controls, mAccel, kPolicyFixed, kPolicyFixed);
    AddGapItem(controls, 1.0f);
    AddWidgetItem(controls, mKnob, kPolicyExpand, kPolicyFixed);
    SetLayout(column);
}

const char* cAnalogueSynthPanelMod::GetPadTitle(int32_t index) const
{
    const int32_t pad = index & 1;
    return mAccel->value == pad + 1 ? kPadTiltTitles[pad] : kPadNames[pad];
}

void cAnalogueSynthPanelMod::OnPadMoved(int32_t index, float value) { PostLiveValue(GetInstrument(), index, value); }

void cAnalogueSynthPanelMod::OnPadTouched(int32_t index, int32_t held)
{
    PostLiveTouch(GetInstrument(), index, held != 0);
}

void cAnalogueSynthPanelMod::OnKnobChanged(float value, cWidget* sender)
{
    PostLiveValue(GetInstrument(), sender->GetTag(), value);
}

void cAnalogueSynthPanelMod::OnKnobTouched(int32_t held, cWidget* sender)
{
    PostLiveTouch(GetInstrument(), sender->GetTag(), held != 0);
}

void cAnalogueSynthPanelMod::OnAccelChanged(int32_t value, cWidget*)
{
    PostToModule(kAudioEventSetIntParam, int32_t(MakeSynthParamId(kSynthParamAccel)), value);
}

void cAnalogueSynthPanelMod::OnLayout()
{
    const cVector2 size = {mMarker->width, mMarker->height};
    for (int32_t index = 0; index < 2; ++index)
    {
        const cRect& pad = mPads[index]->GetRect();
        mMarkerRects[index] = Snapped(
            {pad.xMin - 0.5f * size.X, pad.yMax - 0.5f * size.Y, pad.xMin + 0.5f * size.X, pad.yMax + 0.5f * size.Y});
    }
}

void cAnalogueSynthPanelMod::OnStateChange()
{
    WaitForModule();
    for (int32_t index = 0; index < 2; ++index)
        mPads[index]->ShowXY(ReadParamFloat(MakeSynthParamId(kSynthParamCtrl, kPadAxes[index][0])),
                             ReadParamFloat(MakeSynthParamId(kSynthParamCtrl, kPadAxes[index][1])));
    mKnob->SetValue(ReadParamFloat(MakeSynthParamId(kSynthParamCtrl, kParamKnob)));
    mAccel->value = ReadParamInt(MakeSynthParamId(kSynthParamAccel));
    mSingleMode = ReadParamInt(MakeSynthParamId(kSynthParamMode)) != cAnalogueSynth::kModeMulti;
    const cAnalogueSynth* module = GetModule();
    const cModMatrix* matrix = module && mSingleMode ? module->GetCurrentModMatrix() : nullptr;
    if (!matrix)
    {
        mKnob->SetName("KNOB");
        for (cWidgetXYPad* pad : mPads)
        {
            pad->xCaption.AssignCStr("");
            pad->yCaption.AssignCStr("");
        }
        return;
    }
    for (int32_t index = 0; index < 2; ++index)
    {
        FormatModRouting(mPads[index]->xCaption, matrix->rows[kPadRows[index][0]]);
        FormatModRouting(mPads[index]->yCaption, matrix->rows[kPadRows[index][1]]);
    }
    cGenStringFixed<64> knob;
    FormatModRouting(knob, matrix->rows[cModMatrix::kSourceKnob]);
    mKnob->SetName(knob.CStr());
}

void cAnalogueSynthPanelMod::FollowModule()
{
    cAnalogueSynth* module = GetModule();
    if (!module)
        return;
    uint32_t wanted = 0;
    // A hidden wheel leaves the bend to the page that shows its own.
    if (mPitchBend->IsVisible() && !mPitchBend->IsDragging())
        wanted |= Bit(kParamBend);
    if (!mPads[0]->IsTouching())
        wanted |= Bit(kParamPad1X) | Bit(kParamPad1Y);
    if (!mPads[1]->IsTouching())
        wanted |= Bit(kParamPad2X) | Bit(kParamPad2Y);
    if (!mKnob->IsTouching())
        wanted |= Bit(kParamKnob);
    const uint32_t taken = module->TakeChangedBits(wanted);
    if (!taken)
        return;
    const int32_t count = module->GetParamCount();
    const auto value = [&](int32_t index) { return index < count ? module->GetParamValue(index) : 0.0f; };
    if (taken & Bit(kParamBend))
        mPitchBend->SetValue(value(kParamBend));
    for (int32_t index = 0; index < 2; ++index)
    {
        const uint32_t bits = Bit(kPadAxes[index][0]) | Bit(kPadAxes[index][1]);
        if (!(taken & bits))
            continue;
        cWidgetXYPad* pad = mPads[index];
        pad->ShowXY(taken & Bit(kPadAxes[index][0]) ? value(kPadAxes[index][0]) : pad->GetX(),
                    taken & Bit(kPadAxes[index][1]) ? value(kPadAxes[index][1]) : pad->GetY());
    }
    if (taken & Bit(kParamKnob))
        mKnob->SetValue(value(kParamKnob));
}

void cAnalogueSynthPanelMod::FeedMeters()
{
    cAnalogueSynthInstrument* instrument = GetInstrument();
    const bool hasChannel = instrument && instrument->GetChannelCount() > 0;
    const auto* channel = hasChannel ? dynamic_cast<cMixerChannel*>(instrument->GetChannel(0)) : nullptr;
    const float level = channel ? std::max(channel->meterLeft, channel->meterRight) : 0.0f;
    for (cWidgetXYPad* pad : mPads)
        pad->level = level;
}

void cAnalogueSynthPanelMod::DrawCaptions(cDrawList& list)
{
    const float lineHeight = mLabelFont.sizeEntry ? mLabelFont.sizeEntry->size : kLabelSize;
    const float top = mPads[1]->GetRect().yMin - kTitleGap - lineHeight;
    cTextBatch& text = list.GetTextBatch();
    const cRect& accel = mAccel->GetRect();
    text.DrawTextAligned(0.5f * (accel.xMin + accel.xMax), top, list.depth, mLabelFont, kTitleColour,
                         kTextAlignCentreX | kTextAlignTop, "ACCEL");
    for (int32_t index = 0; index < 2; ++index)
        text.DrawText(mPads[index]->GetRect().xMin, top, list.depth, mLabelFont, kTitleColour, GetPadTitle(index));
}

void cAnalogueSynthPanelMod::DrawAxisCaptions(cDrawList& list, int32_t index)
{
    const cRect& marker = mMarkerRects[index];
    const cWidgetXYPad* pad = mPads[index];
    DrawSprite(list, mMarker, marker, SynthColour::kWhite);
    cTextBatch& text = list.GetTextBatch();
    if (!pad->xCaption.IsEmpty())
        text.DrawText(marker.xMin + kXCaptionLeft, marker.yMin + kXCaptionDown, list.depth, mLabelFont, kAxisColour,
                      pad->xCaption.CStr());
    if (pad->yCaption.IsEmpty())
        return;
    // A quarter turn counter-clockwise about the caption's start: it reads
    // upward along the pad's left edge, its top edge toward the left.
    const float x = marker.xMin - kYCaptionLeft;
    const float y = marker.yMin - kYCaptionRise;
    list.PushTransform({{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {x, y, 0, 1}});
    text.DrawText(0.0f, 0.0f, list.depth, mLabelFont, kAxisColour, pad->yCaption.CStr());
    list.PopMatrix();
}

void cAnalogueSynthPanelMod::DrawLogo(cDrawList& list)
{
    const cRect& rect = GetRect();
    const float roomLeft = rect.xMin;
    const float roomRight = mPads[0]->GetRect().xMin;
    const float roomTop = mAccel->GetRect().yMax + kLogoBelowAccel;
    const float roomBottom = mKnob->GetRect().yMin - kLogoAboveKnob;
    if (mLogo->width >= roomRight - roomLeft || mLogo->height >= roomBottom - roomTop)
        return;
    const cRect logo = SpriteRectAt(mLogo, 0.5f * (roomLeft + roomRight), 0.5f * (roomTop + roomBottom));
    list.FlushVertexBatch();
    cScopedMaterial mono(list, mOwner ? mOwner->GetTextMaterial() : nullptr);
    DrawSprite(list, mLogo, logo, kTitleColour);
    list.FlushVertexBatch();
}

bool cAnalogueSynthPanelMod::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    FollowModule();
    FeedMeters();
    mPads[0]->SetTiltMode(mAccel->value == 1);
    mPads[1]->SetTiltMode(mAccel->value == 2);
    DrawCaptions(list);
    if (mSingleMode)
        for (int32_t index = 0; index < 2; ++index)
            DrawAxisCaptions(list, index);
    DrawLogo(list);
    DrawChildren(list);
    const cRect& knob = mKnob->GetRect();
    DrawRecordBlinkMarker(list, 0.5f * (knob.xMin + knob.xMax) + 1.0f, 0.5f * (knob.yMin + knob.yMax) + 1.0f);
    return true;
}
