#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "render/Image.h"
#include "ui/WidgetButton.h"

struct cAtlasSprite;

// The pad editor's own buttons, drawn from its skin. Each is a cycle
// button that looks pressed only while held: a plain labelled button, one
// with a lamp, a three-way selector with a lamp and a caption per position,
// and a four-way playback-direction selector that shows its arrow. Labels
// sit below the buttons in the skin's label colour. Main thread only.
class cTriggerPadButton : public cWidgetButton
{
public:
    static constexpr uint32_t kLabelColour = 0xffdcdcdc;
    static constexpr float kLabelSize = 8.0f;

    // The pad-button image when none is given.
    cTriggerPadButton(const char* label, const cAtlasSprite* image = nullptr, const cAtlasSprite* litImage = nullptr);

    // The image drawn on the button (the record mark), or none.
    void SetIcon(const cAtlasSprite* icon);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    // Laid out in the button's rect and drawn beneath it.
    cImage decoration;

protected:
    ~cTriggerPadButton() override;
};

// With a lamp on its face that lights while its value is not 0.
class cTriggerPadButton1LED : public cTriggerPadButton
{
public:
    explicit cTriggerPadButton1LED(const char* label);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    const cRect& GetLampRect() const { return mLampRect; }

protected:
    ~cTriggerPadButton1LED() override;

private:
    cImage mLamp;
    cRect mLampRect = {0.0f, 0.0f, 0.0f, 0.0f};
};

// Three positions, minimum to minimum + 2, each with a lamp and a caption
// in a column beside the button: on the left with the side flag (captions
// right-aligned against the lamps), else on the right (captions after them).
class cTriggerPadButton3LED : public cTriggerPadButton
{
public:
    static constexpr float kLampPitch = 12.0f;
    static constexpr float kCaptionPitch = 11.0f;

    cTriggerPadButton3LED(const char* label, bool lampsOnLeft);

    void SetCaption(int32_t position, const char* text);
    // The lamp of the current position.
    cRect GetLampRect() const;
    const char* GetCaption(int32_t position) const { return mCaptions[position].CStr(); }

    bool Draw(cDrawList& list) override;
    // The button and its captions beside the lamps.
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

protected:
    ~cTriggerPadButton3LED() override;

private:
    float LampColumnX() const;
    float CaptionRoom() const;

    cImage mLamp;
    cGenStringFixed<16> mCaptions[3];
    cFontHandle mCaptionFont;
    bool mLampsOnLeft;
};

// Four playback directions (forward, reverse, forward then reverse,
// reverse then forward), each shown as an arrow in a panel right of the
// button.
class cTriggerPadButtonDirection : public cTriggerPadButton
{
public:
    explicit cTriggerPadButtonDirection(const char* label);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    // The button and its panel.
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    const cRect& GetPanelRect() const { return mPanelRect; }
    // Where the current value's arrow is drawn.
    cRect GetArrowRect() const;

protected:
    ~cTriggerPadButtonDirection() override;

private:
    cRect mPanelRect = {0.0f, 0.0f, 0.0f, 0.0f};
};
