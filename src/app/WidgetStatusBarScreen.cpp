#include "app/WidgetStatusBarScreen.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "app/MainScreenSprites.h"
#include "audio/Transport.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr int32_t kNinePatch = 0x33;
constexpr float kTextIndent = 8.0f;
constexpr float kPositionGap = 8.0f;
constexpr float kLoopBarHeight = 3.0f;
constexpr float kBaselineShare = 0.33f;
constexpr float kIconGap = 6.0f;
constexpr float kSecondIconTop = 5.0f;
constexpr float kIconSpacing = 2.0f;
constexpr float kTextRoom = 4.0f;
// The screen is wide enough for its text line when it has this much beside the position.
constexpr float kWideMargin = 50.0f;
// The widest position text.
constexpr const char* kWidestPosition = "000:00";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

bool CountsIn(int32_t state) { return state == cTransport::kPlayCountIn || state == cTransport::kRecordCountIn; }

bool Records(int32_t state) { return state == cTransport::kRecording || state == cTransport::kRecordCountIn; }

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

cRect IconRectRightOf(const cAtlasSprite* sprite, float right, float top)
{
    return {right - sprite->width, top, right, top + sprite->height};
}
} // namespace

cWidgetStatusBarScreen::cWidgetStatusBarScreen()
    : mLoopIcon(Sprite(MainScreenSprite::kLoop)), mSecondIcon(Sprite(MainScreenSprite::kScreenSecondIcon)),
      mLastPosition(INT_MAX), mLastTempoArgument(FLT_MAX)
{
    SetName("Screen");
    mBackground.SetSprites(Sprite(MainScreenSprite::kScreenFrame), nullptr, Sprite(MainScreenSprite::kScreenFrameInner));
    mBackground.alignment = kNinePatch;
    const bool tablet = gDisplayMetrics.deviceClass == kDeviceClassTablet;
    mTextFont.Select(GetTextSize(tablet ? kTextSizeAlert : kTextSizeStandard));
    mPositionFont.Select(GetTextSize(tablet ? kTextSizeTitle : kTextSizeValue));
}

cWidgetStatusBarScreen::~cWidgetStatusBarScreen() = default;

void cWidgetStatusBarScreen::SetText(const char* text, uint32_t colour)
{
    mTextColour = colour;
    if (!text)
        text = "";
    int32_t length = int32_t(strnlen(text, kTextKept + 1));
    if (length > kTextKept)
    {
        length = kTextKept;
        while (length > 0 && IsContinuationByte(text[length]))
            --length;
    }
    mText.AssignChars(text, length);
}

cRect cWidgetStatusBarScreen::InnerRect() const
{
    const cRect insets = SpriteInsets(mBackground.sprite, mBackground.innerSprite);
    const cRect& outer = mBackground.layoutRect;
    return {outer.xMin + insets.xMin, outer.yMin + insets.yMin, outer.xMax - insets.xMax, outer.yMax - insets.yMax};
}

void cWidgetStatusBarScreen::OnLayout()
{
    const cRect& rect = GetRect();
    mBackground.Layout(rect, {0.0f, 0.0f});
    const cRect inner = InnerRect();
    mTitlePosition = {inner.xMin + kTextIndent, (rect.yMin + rect.yMax) * 0.5f};

    const float widest = mPositionFont.GetTextWidth(kWidestPosition);
    const float x0 = inner.xMax - widest - kPositionGap;
    const float fontHeight = FontSizeOf(mPositionFont);
    const float e = std::round((inner.yMax - inner.yMin - fontHeight - kLoopBarHeight) * kBaselineShare);
    const float barTop = inner.yMax - e - kLoopBarHeight;
    mLoopBarRect = {x0, barTop, x0 + widest, barTop + kLoopBarHeight};
    mPositionOrigin = {x0 - 1.0f, barTop - e};

    mSecondIconRect = IconRectRightOf(mSecondIcon, x0 - kIconGap, inner.yMin + kSecondIconTop);
    mLoopIconRect = IconRectRightOf(mLoopIcon, x0 - kIconGap, mSecondIconRect.yMax + kIconSpacing);
    mWide = rect.xMax - rect.xMin - widest > kWideMargin;
}

void cWidgetStatusBarScreen::OnStateChange()
{
    mHoldTime = 0.0f;
    mHolding = false;
}

void cWidgetStatusBarScreen::AdvanceHold()
{
    if (!mHolding || mHoldTime >= kHoldSeconds)
        return;
    mHoldTime += gFramePeriod;
    // Frame periods summed in floats fall a hair short of the second.
    if (mHoldTime < kHoldSeconds - 1e-4f)
        return;
    mHoldTime = kHoldSeconds;
    holdDelegate.Invoke(this);
}

void cWidgetStatusBarScreen::RefreshPositionText()
{
    const int32_t state = gTransport.state.load();
    const int32_t position = CountsIn(state) ? gTransport.clock.load() : gTransport.position.load();
    const float tempoArgument = mTimeFormat ? gTransport.tempo.load() : 0.0f;
    if (position == mLastPosition && tempoArgument == mLastTempoArgument)
        return;
    mLastPosition = position;
    mLastTempoArgument = tempoArgument;
    FormatSongPosition(mPositionText, position, tempoArgument);
}

bool cWidgetStatusBarScreen::Draw(cDrawList& list)
{
    AdvanceHold();
    if (mShowPosition)
        RefreshPositionText();
    mBackground.Draw(mBackground.drawRect, list, false);
    if (mWide)
        DrawTextLine(list);
    if (mShowPosition)
        DrawPosition(list);
    return false;
}

void cWidgetStatusBarScreen::DrawTextLine(cDrawList& list)
{
    const float right = mShowPosition ? mSecondIconRect.xMin - kTextRoom : GetRect().xMax - kTextIndent;
    mShortened = mText;
    mTextFont.TruncateMiddle(mShortened, right - mTitlePosition.X);
    list.GetTextBatch().DrawTextAligned(mTitlePosition.X, mTitlePosition.Y, list.depth, mTextFont, mTextColour,
                                        kTextAlignLeft | kTextAlignCentreY, mShortened.CStr());
}

void cWidgetStatusBarScreen::DrawPosition(cDrawList& list)
{
    const bool recording = Records(gTransport.state.load());
    const uint32_t fill = recording ? kRecordPositionColour : kPositionColour;
    const uint32_t ground = recording ? kRecordGroundColour : kGroundColour;
    list.GetTextBatch().DrawTextAligned(mPositionOrigin.X, mPositionOrigin.Y, list.depth, mPositionFont, fill,
                                        kTextAlignLeft | kTextAlignBottom, mPositionText.CStr());
    DrawLoopBar(list, fill, ground);
    const bool loopOn = gTransport.loopOn.load() != 0;
    DrawSprite(list, mLoopIcon, mLoopIconRect, loopOn ? kPositionColour : kGroundColour);
}

void cWidgetStatusBarScreen::DrawLoopBar(cDrawList& list, uint32_t fillColour, uint32_t groundColour)
{
    list.FillRect(mLoopBarRect, groundColour);
    const float start = float(gTransport.loopStart.load()), end = float(gTransport.loopEnd.load());
    if (gTransport.loopOn.load() == 0 || end <= start)
        return;
    const float fraction = ClampTo((float(gTransport.position.load()) - start) / (end - start), 0.0f, 1.0f);
    if (fraction <= 0.0f)
        return;
    cRect filled = mLoopBarRect;
    filled.xMax = filled.xMin + (filled.xMax - filled.xMin) * fraction;
    list.FillRect(filled, fillColour);
}

bool cWidgetStatusBarScreen::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (captor != this)
    {
        if (!HasFlags(kWidgetShown) || type != kTouchDown || !GetRect().Contains(touch->position))
            return false;
        CaptureTouch(touch->id);
        mHoldTime = 0.0f;
        mHolding = true;
        if (mShowPosition && touch->position.X > mPositionOrigin.X)
        {
            mTimeFormat = !mTimeFormat;
            RefreshPositionText();
        }
        return true;
    }
    if (type == kTouchUp)
        mHolding = false;
    return true;
}
