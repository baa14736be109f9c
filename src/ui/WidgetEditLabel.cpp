#include "ui/WidgetEditLabel.h"

#include <algorithm>
#include <cstring>

#include "platform/os/KeyTable.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr float kTextSize = 12.0f;
constexpr int32_t kTextAlignment = kTextAlignLeft | kTextAlignCentreY;
// The cursor and the selection band are this many font sizes high.
constexpr float kCursorHeightScale = 1.6f;
// The cursor shows while this bit of the drawn-frame count is set: 16
// frames on, 16 off.
constexpr int32_t kBlinkBit = 16;
// Room kept right of a text and its suffix before the suffix is dropped.
constexpr float kSuffixRoom = 15.0f;
constexpr int32_t kFirstTyped = 32;
constexpr int32_t kLastTyped = 126;
// A UTF-8 character has at most three continuation bytes.
constexpr int kMaxContinuationBytes = 3;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

// The character boundary at or before an index.
int32_t FloorToCharacter(const char* text, int32_t index)
{
    for (int step = 0; step < kMaxContinuationBytes && index > 0 && IsContinuationByte(text[index]); ++step)
        --index;
    return index;
}

int32_t PreviousCharacter(const char* text, int32_t index)
{
    return index <= 0 ? 0 : FloorToCharacter(text, index - 1);
}

int32_t NextCharacter(const char* text, int32_t index, int32_t length)
{
    if (index >= length)
        return length;
    ++index;
    for (int step = 0; step < kMaxContinuationBytes && index < length && IsContinuationByte(text[index]); ++step)
        ++index;
    return index;
}
} // namespace

cWidgetEditLabel::cWidgetEditLabel()
{
    textStyle.alignment = kTextAlignment;
    textStyle.font.SetSize(kTextSize);
}

cWidgetEditLabel::~cWidgetEditLabel() = default;

void cWidgetEditLabel::SetText(const char* newText, bool selectAll)
{
    if (!newText)
        newText = "";
    int32_t length = int32_t(std::strlen(newText));
    if (length > mSetLimit)
        length = FloorToCharacter(newText, mSetLimit);
    text.AssignChars(newText, length);
    mCursor = length;
    mAnchor = selectAll ? 0 : length;
}

void cWidgetEditLabel::SetMaxLength(int32_t length)
{
    mSetLimit = mTypedLimit = std::clamp(length, 0, kMaxLength - 1);
}

void cWidgetEditLabel::KeepIndicesInText()
{
    const char* chars = text.CStr();
    const int32_t length = text.Length();
    mAnchor = FloorToCharacter(chars, std::clamp(mAnchor, 0, length));
    mCursor = FloorToCharacter(chars, std::clamp(mCursor, 0, length));
}

void cWidgetEditLabel::InsertText(const char* insert)
{
    if (!insert || *insert == '\0')
        return;
    KeepIndicesInText();
    const int32_t insertLength = int32_t(std::strlen(insert));
    const int32_t start = SelectionStart();
    const int32_t selected = SelectionEnd() - start;
    if (text.Length() - selected + insertLength > mTypedLimit)
        return;
    text.Replace(start, selected, cGenString(insert), insertLength);
    mAnchor = mCursor = start + insertLength;
}

void cWidgetEditLabel::InsertChar(char character)
{
    const char one[2] = {character, '\0'};
    InsertText(one);
}

void cWidgetEditLabel::RemoveRange(int32_t start, int32_t end)
{
    text.Replace(start, end - start, cGenString(""), 0);
    mAnchor = mCursor = start;
}

void cWidgetEditLabel::EraseBackward()
{
    KeepIndicesInText();
    if (HasSelection())
        RemoveRange(SelectionStart(), SelectionEnd());
    else if (mCursor > 0)
        RemoveRange(PreviousCharacter(text.CStr(), mCursor), mCursor);
}

void cWidgetEditLabel::Delete()
{
    KeepIndicesInText();
    const int32_t length = text.Length();
    if (HasSelection())
        RemoveRange(SelectionStart(), SelectionEnd());
    else if (mCursor < length)
        RemoveRange(mCursor, NextCharacter(text.CStr(), mCursor, length));
}

void cWidgetEditLabel::MoveLeft(bool extend)
{
    KeepIndicesInText();
    if (extend)
        mCursor = PreviousCharacter(text.CStr(), mCursor);
    else if (HasSelection())
        mAnchor = mCursor = SelectionStart();
    else
        mAnchor = mCursor = PreviousCharacter(text.CStr(), mAnchor);
}

void cWidgetEditLabel::MoveRight(bool extend)
{
    KeepIndicesInText();
    const int32_t length = text.Length();
    if (extend)
        mCursor = NextCharacter(text.CStr(), mCursor, length);
    else if (HasSelection())
        mAnchor = mCursor = SelectionEnd();
    else
        mAnchor = mCursor = NextCharacter(text.CStr(), mAnchor, length);
}

void cWidgetEditLabel::MoveHome(bool extend)
{
    KeepIndicesInText();
    mCursor = 0;
    if (!extend)
        mAnchor = 0;
}

void cWidgetEditLabel::MoveEnd(bool extend)
{
    KeepIndicesInText();
    mCursor = text.Length();
    if (!extend)
        mAnchor = mCursor;
}

bool cWidgetEditLabel::ProcessKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetShown) || event->action != 1)
        return false;
    if (event->character >= 0)
    {
        if (event->character < kFirstTyped || event->character > kLastTyped)
            return false;
        InsertChar(char(event->character));
        return true;
    }
    const bool extend =
        gInputManager && (gInputManager->keyState[kKeyLeftShift] != 0 || gInputManager->keyState[kKeyRightShift] != 0);
    switch (event->keyCode)
    {
    case kKeyLeft: MoveLeft(extend); return true;
    case kKeyRight: MoveRight(extend); return true;
    case kKeyBackspace: EraseBackward(); return true;
    case kKeyDelete: Delete(); return true;
    case kKeyHome: MoveHome(extend); return true;
    case kKeyEnd: MoveEnd(extend); return true;
    default: return false;
    }
}

bool cWidgetEditLabel::HandleKey(const cKeyEvent* event)
{
    return HasFlags(kWidgetTakesKeys) && ProcessKey(event);
}

int32_t cWidgetEditLabel::IndexAt(float x) const
{
    const int32_t count = textStyle.font.CountCharsInWidth(x - GetTextRect().xMin, text.CStr(), false, nullptr);
    return FloorToCharacter(text.CStr(), std::clamp(count, 0, text.Length()));
}

bool cWidgetEditLabel::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && (type != kTouchDown || !GetRect().Contains(touch->position)))
        return false;
    switch (type)
    {
    case kTouchDown:
        if (mSelecting)
            return true;
        CaptureTouch(touch->id);
        mAnchor = mCursor = IndexAt(touch->position.X);
        mSelecting = true;
        return true;
    case kTouchMove:
        mCursor = IndexAt(touch->position.X);
        return true;
    case kTouchUp:
        mCursor = IndexAt(touch->position.X);
        mSelecting = false;
        return true;
    default:
        return false;
    }
}

void cWidgetEditLabel::CancelInput() { mSelecting = false; }

float cWidgetEditLabel::CursorHeight() const { return RoundAway(FontSizeOf(textStyle.font)) * kCursorHeightScale; }

void cWidgetEditLabel::OnLayout()
{
    cWidgetLabel::OnLayout();
    const cRect& area = GetTextRect();
    const float height = CursorHeight();
    mCursorTop = RoundAway((area.yMin + area.yMax) * 0.5f - height * 0.5f);
    mCursorBottom = mCursorTop + height;
}

void cWidgetEditLabel::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    float insets[4];
    GetInsets(insets);
    const float width = textStyle.font.GetTextWidth("X") * float(kMaxLength);
    *minimumSize = {width + insets[0] + insets[2], insets[1] + CursorHeight() + insets[3]};
    *preferredSize = *minimumSize;
}

float cWidgetEditLabel::XOfIndex(int32_t index) const
{
    return GetTextRect().xMin + textStyle.font.GetTextWidth(text.CStr(), index);
}

void cWidgetEditLabel::DrawBand(cDrawList& list, float x0, float x1) const
{
    list.FillRect({std::min(x0, x1), mCursorTop, std::max(x0, x1), mCursorBottom}, cursorColour);
}

bool cWidgetEditLabel::Draw(cDrawList& list)
{
    KeepIndicesInText();
    ++mBlinkCounter;
    background.Draw(background.drawRect, list, false);
    if (HasSelection())
        DrawBand(list, XOfIndex(mAnchor), XOfIndex(mCursor));
    else if (mBlinkCounter & kBlinkBit)
        DrawBand(list, XOfIndex(mCursor), XOfIndex(mCursor) + 1.0f);

    const uint32_t colour = IsEnabled() ? textStyle.colour : disabledColour;
    list.fontHandle = textStyle.font;
    const cRect& area = GetTextRect();
    const float size = FontSizeOf(textStyle.font);
    const float middle = (area.yMin + area.yMax) * 0.5f;
    const float width = GetRect().xMax - GetRect().xMin;
    if (!suffix.IsEmpty() &&
        textStyle.font.GetTextWidth(text.CStr()) + textStyle.font.GetTextWidth(suffix.CStr()) + kSuffixRoom <= width)
        list.DrawTextF(area.xMin, middle, size, colour, kTextAlignCentreY, "%s.%s", text.CStr(), suffix.CStr());
    else if (!text.IsEmpty())
        list.GetTextBatch().DrawText(area.xMin, middle - size * 0.5f, list.depth, textStyle.font, colour, text.CStr());

    if (*GetName() != '\0')
    {
        uint32_t captionColour = captionStyle.colour;
        if ((GetFlags() & kWidgetDisabledImages) && !IsEnabled())
            captionColour = HalveColour(captionColour);
        list.fontHandle = captionStyle.font;
        list.GetTextBatch().DrawTextInRect(GetCaptionRect(), captionStyle.font, list.depth, captionColour,
                                           uint32_t(captionStyle.alignment), GetName());
    }
    return false;
}
