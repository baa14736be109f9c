#include "instruments/pads/ui/TriggerPadButtons.h"

#include <cmath>

#include "instruments/pads/ui/TriggerPadSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"

namespace
{
// Centred across, below the button.
constexpr int32_t kLabelBelowCentred = 49;
constexpr float kLabelDrop = 0.7f;
// A held button's face is a little darker.
constexpr uint32_t kPressedTint = 0xffc0c0c0;
constexpr float kLampLabelShift = 25.0f;
constexpr float kSideLabelShift = 18.0f;
constexpr float kDirectionLabelShift = 35.0f;
constexpr float kCaptionSize = 6.0f;
constexpr float kCaptionTop = 15.0f;
constexpr float kCaptionGap = 2.0f;
constexpr float kCaptionIndent = 12.0f;
constexpr float kPanelGap = 2.0f;
constexpr uint32_t kGrooveColour = 0xff202020;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetBoth(cImage& image, const cAtlasSprite* sprite) { image.SetSprites(sprite, sprite, nullptr); }

void DrawSpriteIn(cDrawList& list, const cRect& rect, const cAtlasSprite* sprite, uint32_t colour)
{
    list.DrawQuad(rect, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, colour, 0);
}
} // namespace

cTriggerPadButton::cTriggerPadButton(const char* label, const cAtlasSprite* image, const cAtlasSprite* litImage)
    : cWidgetButton(kButtonCyclePressedLook, image ? image : Sprite(TriggerPadSprite::kPadButton), nullptr)
{
    SetName(label);
    SetBoth(litBackground, litImage ? litImage : background.sprite);
    if (!litImage)
        litBackground.colour = kPressedTint;
    minimum = maximum = 0;
    labelStyle.colour = kLabelColour;
    labelStyle.alignment = kLabelBelowCentred;
    labelStyle.font.Select(kLabelSize);
    labelStyle.offsetX = 0.0f;
    labelStyle.offsetY = kLabelDrop * FontSizeOf(labelStyle.font);
    for (float& margin : touchMargins)
        margin = 5.0f;
}

cTriggerPadButton::~cTriggerPadButton() = default;

void cTriggerPadButton::SetIcon(const cAtlasSprite* image)
{
    SetBoth(icon, image);
    SetBoth(litIcon, image);
    ModifyFlags(kWidgetLayoutDirty, 0, false);
}

void cTriggerPadButton::OnLayout()
{
    cWidgetButton::OnLayout();
    decoration.Layout(GetRect(), {0.0f, 0.0f});
}

bool cTriggerPadButton::Draw(cDrawList& list)
{
    decoration.Draw(decoration.drawRect, list, false);
    return cWidgetButton::Draw(list);
}

// ------------------------------------------------------------------ one lamp

cTriggerPadButton1LED::cTriggerPadButton1LED(const char* label) : cTriggerPadButton(label)
{
    SetBoth(mLamp, Sprite(TriggerPadSprite::kLamp));
    labelStyle.offsetX += kLampLabelShift;
    labelStyle.offsetY -= 1.0f;
}

cTriggerPadButton1LED::~cTriggerPadButton1LED() = default;

// The lamp sits on the left of the face, clear of the label beside it.
void cTriggerPadButton1LED::OnLayout()
{
    cTriggerPadButton::OnLayout();
    const cRect& face = background.layoutRect;
    const cAtlasSprite* lamp = mLamp.sprite;
    const cVector2 centre = {face.xMin + TriggerPadSprite::kLampColumnWidth * 0.5f + 2.0f, RectCentre(face).Y};
    mLampRect = CentredRect(centre, lamp->width, lamp->height);
}

bool cTriggerPadButton1LED::Draw(cDrawList& list)
{
    list.FillRect({mLampRect.xMin, mLampRect.yMax + 1.0f, mLampRect.xMax, mLampRect.yMax + 2.0f}, kGrooveColour);
    cTriggerPadButton::Draw(list);
    if (value != 0)
        DrawSpriteIn(list, mLampRect, mLamp.sprite, 0xffffffffu);
    return false;
}

// ---------------------------------------------------------------- three lamps

cTriggerPadButton3LED::cTriggerPadButton3LED(const char* label, bool lampsOnLeft)
    : cTriggerPadButton(label, Sprite(lampsOnLeft ? TriggerPadSprite::kLampBackLeft : TriggerPadSprite::kLampBackRight)),
      mLampsOnLeft(lampsOnLeft)
{
    SetBoth(mLamp, Sprite(TriggerPadSprite::kLamp));
    labelStyle.offsetX = lampsOnLeft ? -kSideLabelShift : kSideLabelShift;
    mCaptionFont.Select(kCaptionSize);
    maximum = minimum + 2;
    // The captions take the room on the lamps' side of the rect.
    SetContentAlignment(lampsOnLeft ? kAlignEnd : kAlignStart);
}

cTriggerPadButton3LED::~cTriggerPadButton3LED() = default;

void cTriggerPadButton3LED::SetCaption(int32_t position, const char* text)
{
    if (position >= 0 && position < 3)
        mCaptions[position].AssignCStr(text);
}

float cTriggerPadButton3LED::LampColumnX() const
{
    const cRect& body = background.layoutRect;
    const float half = TriggerPadSprite::kLampColumnWidth * 0.5f;
    return mLampsOnLeft ? body.xMin + half : body.xMax - half;
}

float cTriggerPadButton3LED::CaptionRoom() const
{
    float widest = 0.0f;
    for (const auto& caption : mCaptions)
        widest = std::fmax(widest, mCaptionFont.GetTextWidth(caption.CStr()));
    return widest > 0.0f ? widest + (mLampsOnLeft ? kCaptionGap : kCaptionIndent) : 0.0f;
}

void cTriggerPadButton3LED::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    cTriggerPadButton::GetSizePreferences(minimumSize, preferredSize);
    const float room = CaptionRoom();
    minimumSize->X += room;
    preferredSize->X += room;
}

cRect cTriggerPadButton3LED::GetLampRect() const
{
    const int32_t row = ClampTo(value - minimum, 0, 2);
    const float y = RectCentre(background.layoutRect).Y + (float(row) - 1.0f) * kLampPitch;
    return CentredRect({LampColumnX(), y}, mLamp.sprite->width, mLamp.sprite->height);
}

bool cTriggerPadButton3LED::Draw(cDrawList& list)
{
    cTriggerPadButton::Draw(list);
    DrawSpriteIn(list, GetLampRect(), mLamp.sprite, 0xffffffffu);
    const float half = TriggerPadSprite::kLampColumnWidth * 0.5f;
    const float top = RectCentre(background.layoutRect).Y - kCaptionTop;
    cTextBatch& text = list.GetTextBatch();
    for (int32_t row = 0; row < 3; ++row)
    {
        const char* caption = mCaptions[row].CStr();
        const float y = top + float(row) * kCaptionPitch;
        float x = LampColumnX() + kCaptionIndent;
        if (mLampsOnLeft)
            x = LampColumnX() - half - kCaptionGap - mCaptionFont.GetTextWidth(caption);
        text.DrawText(x, y, list.depth, mCaptionFont, labelStyle.colour, caption);
    }
    return false;
}

// ------------------------------------------------------------------ direction

cTriggerPadButtonDirection::cTriggerPadButtonDirection(const char* label) : cTriggerPadButton(label)
{
    labelStyle.offsetX = kDirectionLabelShift;
    labelStyle.offsetY -= 1.0f;
    maximum = 3;
    // The button keeps to the left of its rect, the panel follows it.
    SetContentAlignment(kAlignStart);
}

cTriggerPadButtonDirection::~cTriggerPadButtonDirection() = default;

void cTriggerPadButtonDirection::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    cTriggerPadButton::GetSizePreferences(minimumSize, preferredSize);
    const cAtlasSprite* panel = Sprite(TriggerPadSprite::kDirectionPanel);
    for (cVector2* size : {minimumSize, preferredSize})
    {
        size->X += kPanelGap + panel->width;
        size->Y = std::fmax(size->Y, panel->height);
    }
}

void cTriggerPadButtonDirection::OnLayout()
{
    cTriggerPadButton::OnLayout();
    const cRect& face = litBackground.layoutRect;
    const cAtlasSprite* panel = Sprite(TriggerPadSprite::kDirectionPanel);
    const float left = face.xMax + kPanelGap;
    mPanelRect = CentredRect({left + panel->width * 0.5f, RectCentre(face).Y}, panel->width, panel->height);
}

cRect cTriggerPadButtonDirection::GetArrowRect() const
{
    const int32_t direction = ClampTo(value, 0, 3);
    const cAtlasSprite* arrow = Sprite(TriggerPadSprite::kArrowForward + direction);
    // Reverse arrows sit below forward ones.
    const bool reverse = direction == 1 || direction == 3;
    const float offset = reverse ? TriggerPadSprite::kArrowOffset : -TriggerPadSprite::kArrowOffset;
    const cVector2 centre = RectCentre(mPanelRect);
    return CentredRect({centre.X, centre.Y + offset}, arrow->width, arrow->height);
}

bool cTriggerPadButtonDirection::Draw(cDrawList& list)
{
    DrawSpriteIn(list, mPanelRect, Sprite(TriggerPadSprite::kDirectionPanel), 0xffffffffu);
    cTriggerPadButton::Draw(list);
    DrawSpriteIn(list, GetArrowRect(), Sprite(TriggerPadSprite::kArrowForward + ClampTo(value, 0, 3)), 0xffffffffu);
    return false;
}
