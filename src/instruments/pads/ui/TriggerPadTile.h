#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "base/Math.h"
#include "render/FontHandle.h"
#include "render/Image.h"

class cDrawList;

// How one pad looks: its image tinted by its output bus, a glow that lights
// on a hit and fades a quarter every frame, its number, its name (shortened
// at the start to fit) and a mute mark. A plain record the pad grid holds
// sixteen of and the phone's pad editor one; the owner lays it out, names it
// and draws it. Main thread only.
class cTriggerPadTile
{
public:
    static constexpr uint32_t kNameColour = 0xff1e1e1e;
    static constexpr uint32_t kMissingNameColour = 0xff191996; // dark red
    static constexpr uint32_t kNumberColour = 0xa0000000;
    static constexpr uint32_t kMuteColour = 0x00202020; // the alpha comes from the caller
    static constexpr const char* kEmptyName = "<EMPTY>";

    // The bus's tint of pad images and panels; white for a bus outside 0..2.
    static uint32_t BusTint(int32_t bus);
    // The bus's colour, which tints its panel on the output page.
    static uint32_t BusTextColour(int32_t bus);
    // A bus's name written on a panel: its hue, lightened to read there.
    static uint32_t BusCaptionColour(int32_t bus);

    cTriggerPadTile();

    // Lays the images, texts and mute mark out in the cell.
    void SetRect(float left, float top, float right, float bottom);
    // An empty text shows as "<EMPTY>"; a sample that failed to load shows
    // its name in dark red.
    void SetName(const char* text, bool sampleMissing);
    void Draw(cDrawList& list, bool lit, int32_t indicatorAlpha);

    const char* GetName() const { return mName.CStr(); }
    const char* GetDisplayName() const { return mDisplayName.CStr(); }
    uint32_t GetNameColour() const { return mNameColour; }
    const cImage& GetNormalImage() const { return mNormal; }
    const cImage& GetLitImage() const { return mLit; }
    const cRect& GetImageRect() const { return mImageRect; }
    const cRect& GetMuteRect() const { return mMuteRect; }
    // How often the name has been measured to fit: only when it or the
    // rect changes, never per frame.
    int32_t GetShortenCount() const { return mShortenCount; }

    // Written by the owner.
    int32_t padIndex = 0;
    int32_t bus = 0; // other values leave the last tint
    float glow = 0.0f;
    cGenStringFixed<4> numberText;

private:
    void ApplyBus();
    void ShortenName();

    uint32_t mNameColour = 0;
    float mNameWidth = 0.0f;
    float mDisplayWidth = 0.0f;
    cFontHandle mNameFont;
    cFontHandle mNumberFont;
    cVector2 mNamePosition = {0.0f, 0.0f};
    cVector2 mNumberPosition = {0.0f, 0.0f};
    cImage mNormal;
    cImage mLit;
    cRect mImageRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mMuteRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cGenStringFixed<64> mName;
    cGenStringFixed<64> mDisplayName;
    bool mDirty = true;
    int32_t mShortenCount = 0;
};
