#pragma once

#include <cstdint>
#include <vector>

#include "base/Delegate.h"
#include "render/FontHandle.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// What a knob edits.
enum eKnobKind : int32_t
{
    kKnobContinuous = 0, // a float in [0, 1]
    kKnobInteger = 1,    // an integer in [minimum, maximum]
    kKnobValueList = 2,  // an entry of a list of values at fixed angles
};

enum eKnobStyle : uint32_t
{
    // A centre detent at 0.5, a double tap resets to it, the value text is
    // signed and a tick marks the top.
    kKnobBipolar = 0x1,
    // End letters beside the lowest and highest positions ("L"/"R" wins over
    // "-"/"+", which wins over "A"/"B").
    kKnobLettersLR = 0x2,
    kKnobLettersMinusPlus = 0x4,
    kKnobLettersAB = 0x8,
    kKnobNoValueText = 0x10,
};

enum eKnobPointerStyle : int32_t
{
    kKnobPointerDot = 0,
    kKnobPointerRotated = 1,
    // Rotated, and dimmer the further it turns from the top.
    kKnobPointerRotatedDimming = 2,
};

// The rotary control of the instrument and effect pages: a skinned body with
// a pointer sweeping from 40 to 320 degrees (measured clockwise on screen
// from straight down), an optional touch glow and a caption. It follows a
// vertical drag (with a slow zone for small moves) or the finger's angle,
// as the widget manager's knob-control setting says, scaled by its
// sensitivity. User changes go to the delegates as (value, knob); a text of
// name and value goes to one delegate shared by all knobs, for the main
// screen to show while a knob moves. Values set from code report nothing.
// Main thread only.
class cWidgetKnob : public cWidget
{
public:
    struct cListEntry
    {
        float angle; // radians
        int32_t value;
        int32_t reserved;
        const char* label; // null reads as ""
    };

    // How pages describe a parameter.
    struct cParameter
    {
        const char* name;
        int32_t kind;
        // Integer kind: the range.
        int32_t minimum;
        int32_t maximum;
        // Value-list kind: the entries, which outlive the knob.
        const cListEntry* entries;
        int32_t entryCount;
        uint32_t style;
    };

    static constexpr float kStartAngle = 0.6981317f; // 40 degrees
    static constexpr float kEndAngle = 5.585054f;    // 320 degrees

    explicit cWidgetKnob(uint32_t style);

    // Name, style and kind; a continuous description keeps the kind.
    void SetParameter(const cParameter& parameter);
    void SetIntRange(int32_t minimum, int32_t maximum);
    void SetValueList(const cListEntry* entries, int32_t count);
    void SetValue(float value);
    // Integer kind: clamped into the range; otherwise the first entry of that
    // value, or entry 0.
    void SetIntValue(int32_t value);
    float GetValue() const { return mValue; }
    int32_t GetIntValue() const;
    int32_t GetKind() const { return mKind; }
    uint32_t GetStyle() const { return mStyle; }
    bool IsTouching() const { return mTouching; }
    int32_t GetHighlightLevel() const { return mHighlightLevel; }
    const cRect& GetTouchRect() const { return mTouchRect; }

    // The one receiver of every knob's value text, as (text, knob).
    static void SetValueTextDelegate(const cDelegate& delegate);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    cDelegate valueDelegate; // (float value, knob)
    cDelegate stepDelegate;  // (int value, knob)
    cDelegate touchDelegate; // (1 on touch, 0 on release, knob)
    // Its colour also colours ticks, list labels and end letters.
    cTextStyle captionStyle;
    const cAtlasSprite* pointerSprite = nullptr;
    // Fractions of half the body's height.
    float pointerRadius = 0.6f;
    int32_t pointerStyle = kKnobPointerDot;
    const cAtlasSprite* tickSprite = nullptr;
    float tickRadius = 1.1f;
    cFontHandle labelFont;
    const cAtlasSprite* highlightSprite = nullptr;
    // Its width stands for the body width the glow was drawn for.
    const cAtlasSprite* highlightReferenceSprite = nullptr;
    // Its alpha is the glow's full level.
    uint32_t highlightColour = 0xc80000ffu;
    float highlightScale = 1.0f;
    float touchMargins[4] = {10.0f, 10.0f, 10.0f, 10.0f};
    float startAngle = kStartAngle;
    float endAngle = kEndAngle;
    cImage knobImage;

protected:
    ~cWidgetKnob() override;

private:
    struct cLabelPosition
    {
        float tickX, tickY, labelX, labelY;
    };

    float ValueAngle() const;
    float AngleFraction(float angle) const;
    cVector2 Centre() const;
    int32_t EntryCount() const { return int32_t(mLabelPositions.size()); }
    float ImageHeight() const;
    void PlacePointer(float angle);
    void PlaceRotatedPointer(float angle);
    void PlaceListLabels();
    void DrawListTicks(cDrawList& list);
    void DrawEndLetters(cDrawList& list);
    void DrawHighlight(cDrawList& list);
    void MarkStateDirty();
    void BeginTouch(cTouch* touch);
    void DragLinear(const cTouch* touch);
    void DragRotary(const cTouch* touch);
    float WithDetent(float candidate) const;
    void ApplyContinuous(float value);
    void ApplyInteger(int32_t value);
    void ApplyIndex(int32_t index);
    const char* EntryLabel(int32_t index) const;
    void UpdateValueText();

    cRect mCaptionRect = {0, 0, 0, 0};
    cRect mTickRect = {0, 0, 0, 0};
    cRect mHighlightRect = {0, 0, 0, 0};
    cRect mTouchRect = {0, 0, 0, 0};
    int32_t mHighlightLevel = 0;
    cVector2 mDragPosition = {0, 0};
    float mDragValue = 0.0f;
    int32_t mKind = kKnobContinuous;
    uint32_t mStyle;
    bool mTouching = false;
    float mPointerQuad[8] = {};
    uint32_t mPointerDrawColour = 0xffffffffu;
    float mValue = 0.0f;
    int32_t mIntValue = 0;
    int32_t mIndex = 0;
    int32_t mMinimum = 0;
    int32_t mMaximum = 0;
    const cListEntry* mEntries = nullptr;
    std::vector<cLabelPosition> mLabelPositions;
};
