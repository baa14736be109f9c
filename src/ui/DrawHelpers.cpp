#include "ui/DrawHelpers.h"

#include <algorithm>
#include <cmath>

#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/Widget.h"
#include "ui/WidgetManager.h"

namespace
{
enum eHelperSprite : int
{
    kBusySpinner = 287,
    kRecordMarkerWithOption = 308,
    kRecordMarker = 312,
    kLinkBar = 68,
    kTitledFrame = 350,
};

constexpr int32_t kLEDTypeCount = 6;
// Lit sprites by LED type; each unlit sprite is 6 entries before its lit one.
constexpr int kLitLEDs[kLEDTypeCount] = {419, 421, 417, 420, 422, 418};
constexpr int kUnlitOffset = 6;
constexpr float kLEDLitThreshold = 0.01f;
constexpr float kCaptionGap = 5.0f;
constexpr float kFillInset = 2.0f;
constexpr float kFrameTitleIndent = 3.0f;
constexpr float kFrameTitleGap = 4.0f;
// Radians per second.
constexpr float kSpinnerSpeed = 8.0f;
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;
constexpr uint32_t kWhite = HouseColour::kWhite;

cRecordingStateSource* gRecordingStateSource = nullptr;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

cFontHandle FontAtStandardSize(const cDrawList& list)
{
    const float size = GetStandardTextSize();
    return size < 0.0f ? list.fontHandle : cFontHandle::CopyWithSize(list.fontHandle, size);
}

float WrapToPi(float angle)
{
    angle = std::fmod(angle, kTwoPi);
    if (angle > kPi)
        angle -= kTwoPi;
    else if (angle < -kPi)
        angle += kTwoPi;
    return angle;
}

// A parabola through the sine's zeros and peaks, refined once; the
// constants are 4/pi, 4/pi^2 and the refinement's weight.
float ParabolicSine(float a)
{
    const float s = 1.2732395f * a - 0.40528473f * a * std::fabs(a);
    return 0.225f * (s * std::fabs(s) - s) + s;
}
} // namespace

cRect SpriteRectAt(const cAtlasSprite* sprite, float centreX, float centreY)
{
    const float x0 = std::floor(centreX - sprite->width / 2.0f + 0.5f);
    const float y0 = std::floor(centreY - sprite->height / 2.0f + 0.5f);
    return {x0, y0, std::floor(x0 + sprite->width + 0.5f), std::floor(y0 + sprite->height + 0.5f)};
}

void DrawSprite(cDrawList& list, const cAtlasSprite* sprite, const cRect& rect, uint32_t colour)
{
    list.DrawQuad(rect, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, colour, 0);
}

void SetRecordingStateSource(cRecordingStateSource* source) { gRecordingStateSource = source; }

cRecordingStateSource* GetRecordingStateSource() { return gRecordingStateSource; }

void DrawProgressBar(cDrawList& list, const char* caption, float x, float y, float width, float start, float end,
                     bool showBar, const cAtlasSprite* frameSprite, const cAtlasSprite* fillSprite)
{
    end = std::clamp(end, 0.0f, 1.0f);
    start = start < 0.0f ? 0.0f : std::min(start, end);
    if (caption && *caption)
    {
        const cFontHandle font = FontAtStandardSize(list);
        list.GetTextBatch().DrawText(x, y - kCaptionGap - FontSizeOf(font), list.depth, font,
                                     HouseColour::kDarkCaption, caption);
    }
    if (!showBar || !frameSprite || !fillSprite)
        return;
    list.DrawThreePatchH({x, y, x + width, y + frameSprite->height}, frameSprite, nullptr, kWhite);
    const float inner = width - 2.0f * kFillInset;
    const float y0 = y + (frameSprite->height - fillSprite->height) / 2.0f;
    DrawSprite(list, fillSprite,
               {x + kFillInset + inner * start, y0, x + kFillInset + inner * end, y0 + fillSprite->height}, kWhite);
}

void DrawLED(cDrawList& list, int32_t type, float centreX, float centreY, float brightness, uint32_t colour)
{
    if (type < 0 || type >= kLEDTypeCount)
        return;
    const cAtlasSprite* lit = Sprite(kLitLEDs[type]);
    const cRect rect = SpriteRectAt(lit, centreX, centreY);
    DrawSprite(list, Sprite(kLitLEDs[type] - kUnlitOffset), rect, 0xff000000u | colour);
    if (brightness <= kLEDLitThreshold)
        return;
    const uint32_t alpha = uint32_t(std::min(int32_t(brightness * 255.0f), 255));
    DrawSprite(list, lit, rect, (colour & 0x00ffffffu) | (alpha << 24));
}

void DrawRecordBlinkMarker(cDrawList& list, float centreX, float centreY)
{
    const cRecordingStateSource* source = gRecordingStateSource;
    if (!source || source->GetTransportState() != cRecordingStateSource::kRecording)
        return;
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    const int32_t blink = manager ? manager->GetBlinkAlpha() : 0;
    if (blink <= 0)
        return;
    const cAtlasSprite* sprite = Sprite(source->GetRecordOption() ? kRecordMarkerWithOption : kRecordMarker);
    DrawSprite(list, sprite, SpriteRectAt(sprite, centreX, centreY), (uint32_t(blink) << 24) | 0x00ffffffu);
}

float AdvanceSpinnerAngle(float& angle)
{
    angle += gFramePeriod * kSpinnerSpeed;
    if (angle > kTwoPi)
        angle -= kTwoPi;
    return angle;
}

void FastSinCos(float angle, float* sine, float* cosine)
{
    const float a = WrapToPi(angle);
    *sine = ParabolicSine(a);
    float b = a + kPi / 2.0f;
    if (b > kPi)
        b -= kTwoPi;
    *cosine = ParabolicSine(b);
}

void DrawBusySpinner(cDrawList& list, float centreX, float centreY, float angle)
{
    const cAtlasSprite* sprite = Sprite(kBusySpinner);
    const cRect rect = SpriteRectAt(sprite, centreX, centreY);
    const float cx = (rect.xMin + rect.xMax) / 2.0f, cy = (rect.yMin + rect.yMax) / 2.0f;
    float s, c;
    FastSinCos(-angle, &s, &c);
    const float dx[4] = {rect.xMin - cx, rect.xMax - cx, rect.xMin - cx, rect.xMax - cx};
    const float dy[4] = {rect.yMin - cy, rect.yMin - cy, rect.yMax - cy, rect.yMax - cy};
    float corners[8];
    for (int i = 0; i < 4; ++i)
    {
        corners[i] = cx + dx[i] * c - dy[i] * s;
        corners[4 + i] = cy + dx[i] * s + dy[i] * c;
    }
    list.DrawFreeQuad(corners, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, kWhite);
}

void DrawLinkLine(cDrawList& list, cWidget* from, cWidget* to)
{
    from->UpdateRect();
    to->UpdateRect();
    const cRect& a = from->GetRect();
    const cRect& b = to->GetRect();
    const cAtlasSprite* bar = Sprite(kLinkBar);
    const float y0 = std::trunc((a.yMin + a.yMax) / 2.0f - bar->height / 2.0f);
    DrawSprite(list, bar, {(a.xMin + a.xMax) / 2.0f, y0, (b.xMin + b.xMax) / 2.0f, y0 + bar->height}, kWhite);
}

void DrawTitledFrame(const cRect& rect, cDrawList& list, const char* title)
{
    list.DrawNinePatch(rect, Sprite(kTitledFrame), nullptr, kWhite, true);
    if (!title || !*title)
        return;
    const cFontHandle font = FontAtStandardSize(list);
    list.GetTextBatch().DrawText(rect.xMin + kFrameTitleIndent, rect.yMin - kFrameTitleGap - FontSizeOf(font),
                                 list.depth, font, HouseColour::kDarkCaption, title);
}
