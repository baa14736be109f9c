#include "ui/WidgetLEDCycleButton.h"

#include <algorithm>
#include <cmath>

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"

namespace
{
constexpr uint32_t kAlignLeft = 0x10000;
constexpr uint32_t kAlignRight = 0x20000;
constexpr uint32_t kAlignTop = 0x100000;
constexpr uint32_t kAlignBottom = 0x200000;

float Snap(float value) { return std::floor(value + 0.5f); }

// A line between two points as a rect with its edges in order, on whole pixels.
cRect LineRect(float x0, float y0, float x1, float y1)
{
    return {Snap(std::min(x0, x1)), Snap(std::min(y0, y1)), Snap(std::max(x0, x1)), Snap(std::max(y0, y1))};
}

cVector2 Centre(const cRect& rect) { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }

float LargerHalf(float a, float b) { return std::max(a, b) * 0.5f; }

// Room left between the texts of neighbouring LEDs in a row.
constexpr float kLEDTextGap = 4.0f;
} // namespace

cWidgetLEDCycleButton::cWidgetLEDCycleButton(uint32_t flags)
    : cWidgetButton((flags & kLEDCycleLitLook) ? kButtonCycle : kButtonCyclePressedLook, nullptr, nullptr),
      mFlags(flags)
{
    ledImage.alignment = 0x11;
    litLEDImage.alignment = 0x11;
}

cWidgetLEDCycleButton::~cWidgetLEDCycleButton() = default;

void cWidgetLEDCycleButton::SetLEDCount(int32_t count) { mLEDs.assign(size_t(std::max(count, 0)), cLED()); }

void cWidgetLEDCycleButton::SetLED(int32_t index, int32_t ledValue, const char* text)
{
    if (index < 0 || index >= int32_t(mLEDs.size()))
        return;
    mLEDs[size_t(index)].value = ledValue;
    mLEDs[size_t(index)].text.AssignCStr(text ? text : "");
}

int32_t cWidgetLEDCycleButton::GetLitLED() const
{
    for (int32_t i = int32_t(mLEDs.size()) - 1; i >= 0; --i)
        if (mLEDs[size_t(i)].value == value)
            return i;
    return -1;
}

// The body leans away from its LEDs, and toward where their row or column
// runs, so the LEDs have the rest of the widget.
uint32_t cWidgetLEDCycleButton::BodyAlignment(cVector2* sideOffset) const
{
    const uint32_t side = mFlags & kLEDSideMask, direction = mFlags & kLEDDirectionMask;
    uint32_t alignment = kAlignLeft;
    *sideOffset = {0.0f, 0.0f};
    switch (side)
    {
    case kLEDSideLeft: *sideOffset = {-mDistance, 0.0f}; alignment = kAlignRight; break;
    case kLEDSideRight: *sideOffset = {mDistance, 0.0f}; alignment = kAlignLeft; break;
    case kLEDSideAbove: *sideOffset = {0.0f, -mDistance}; alignment = kAlignBottom; break;
    case kLEDSideBelow: *sideOffset = {0.0f, mDistance}; alignment = kAlignTop; break;
    default: break;
    }
    if (side == kLEDSideLeft || side == kLEDSideRight)
    {
        if (direction == kLEDUpwards)
            alignment |= kAlignBottom;
        else if (direction == kLEDDownwards)
            alignment |= kAlignTop;
    }
    else if (direction == kLEDLeftwards)
        alignment |= kAlignRight;
    else if (direction == kLEDRightwards)
        alignment |= kAlignLeft;
    return alignment;
}

void cWidgetLEDCycleButton::OnLayout()
{
    cVector2 sideOffset;
    const uint32_t alignment = BodyAlignment(&sideOffset);
    if (!(mFlags & kLEDKeepAlignment))
        SetContentAlignment(alignment >> 16);
    cWidgetButton::OnLayout();
    const cRect& rect = GetRect();

    ledImage.Layout({0.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f});
    litLEDImage.Layout({0.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f});
    const cVector2 centre = Centre(litBackground.layoutRect);
    cVector2 first = {centre.X + sideOffset.X, centre.Y + sideOffset.Y};
    const cVector2 step = StepBetweenLEDs(rect, &first);
    for (size_t i = 0; i < mLEDs.size(); ++i)
    {
        cLED& led = mLEDs[i];
        led.position = {first.X + float(i) * step.X, first.Y + float(i) * step.Y};
        led.textRect = ledImage.layoutRect;
        MoveRect(led.textRect, led.position.X + mLEDTextStyle.offsetX, led.position.Y + mLEDTextStyle.offsetY);
    }
    PlaceLines(sideOffset, step);
}

cVector2 cWidgetLEDCycleButton::StepBetweenLEDs(const cRect& rect, cVector2* first) const
{
    const int32_t count = int32_t(mLEDs.size());
    if (count == 0)
        return {0.0f, 0.0f};
    const float k = count > 1 ? 1.0f / float(count - 1) : 0.0f;
    const bool stretch = (mFlags & kLEDStretch) != 0;
    const float halfHeight = LargerHalf(ledImage.sprite ? ledImage.sprite->height : 0.0f,
                                        litLEDImage.sprite ? litLEDImage.sprite->height : 0.0f);
    const float halfWidth = LargerHalf(ledImage.sprite ? ledImage.sprite->width : 0.0f,
                                       litLEDImage.sprite ? litLEDImage.sprite->width : 0.0f);
    const uint32_t side = mFlags & kLEDSideMask;
    // A row's texts stand side by side: the step never lets them run into each other.
    const float rowStep = std::max(mStep, RowStepForTexts());
    switch (mFlags & kLEDDirectionMask)
    {
    case kLEDLeftwards: return {stretch ? (rect.xMin - first->X + halfHeight) * k : -rowStep, 0.0f};
    case kLEDRightwards: return {stretch ? (rect.xMax - first->X - halfHeight) * k : rowStep, 0.0f};
    case kLEDUpwards: return {0.0f, stretch ? (rect.yMin - first->Y + halfHeight) * k : -mStep};
    case kLEDDownwards: return {0.0f, stretch ? (rect.yMax - first->Y - halfHeight) * k : mStep};
    case kLEDCentred:
        if (side == kLEDSideLeft || side == kLEDSideRight)
        {
            const float sy = stretch ? (rect.yMax - rect.yMin - 2.0f * halfHeight) * k : mStep;
            first->Y -= float(count - 1) * sy * 0.5f;
            return {0.0f, sy};
        }
        else
        {
            const float sx = stretch ? (rect.xMax - rect.xMin - 2.0f * halfWidth) * k : rowStep;
            first->X -= float(count - 1) * sx * 0.5f;
            return {sx, 0.0f};
        }
    default: return {0.0f, 0.0f};
    }
}

float cWidgetLEDCycleButton::RowStepForTexts() const
{
    if (!mLEDTextStyle.font.IsValid())
        return 0.0f;
    float step = 0.0f;
    for (size_t i = 1; i < mLEDs.size(); ++i)
    {
        const float widths = mLEDTextStyle.font.GetTextWidth(mLEDs[i - 1].text.CStr()) +
                             mLEDTextStyle.font.GetTextWidth(mLEDs[i].text.CStr());
        step = std::max(step, 0.5f * widths + kLEDTextGap);
    }
    return step;
}

void cWidgetLEDCycleButton::PlaceLines(const cVector2& sideOffset, const cVector2& step)
{
    if (mLEDs.size() < 2)
        return;
    const cVector2 first = mLEDs.front().position, last = mLEDs.back().position;
    if (std::fabs(step.X) > std::fabs(step.Y))
        mTrackLine = LineRect(first.X, first.Y - 1.0f, last.X, first.Y + 1.0f);
    else
        mTrackLine = LineRect(first.X - 1.0f, first.Y, first.X + 1.0f, last.Y);
    const cVector2 centre = Centre(litBackground.layoutRect);
    if (std::fabs(sideOffset.X) > std::fabs(sideOffset.Y))
        mConnectorLine = LineRect(centre.X, centre.Y - 1.0f, first.X, centre.Y + 1.0f);
    else
        mConnectorLine = LineRect(centre.X - 1.0f, centre.Y, centre.X + 1.0f, first.Y);
}

void cWidgetLEDCycleButton::DrawImageAt(cDrawList& list, const cImage& image, const cVector2& position) const
{
    cRect rect = image.drawRect;
    MoveRect(rect, position.X, position.Y);
    image.Draw(rect, list, false);
}

bool cWidgetLEDCycleButton::Draw(cDrawList& list)
{
    if (mLEDs.size() > 1)
    {
        list.FillRect(mTrackLine, lineColour);
        list.FillRect(mConnectorLine, lineColour);
    }
    cWidgetButton::Draw(list);
    list.fontHandle = mLEDTextStyle.font;
    for (const cLED& led : mLEDs)
    {
        DrawImageAt(list, ledImage, led.position);
        list.GetTextBatch().DrawTextInRect(led.textRect, mLEDTextStyle.font, list.depth, mLEDTextStyle.colour,
                                           uint32_t(mLEDTextStyle.alignment), led.text.CStr());
    }
    const int32_t lit = GetLitLED();
    if (lit >= 0)
        DrawImageAt(list, litLEDImage, mLEDs[size_t(lit)].position);
    return false;
}
