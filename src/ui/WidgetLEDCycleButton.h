#pragma once

#include <cstdint>
#include <vector>

#include "base/GenString.h"
#include "render/Image.h"
#include "ui/WidgetButton.h"

enum eLEDButtonFlags : uint32_t
{
    // Where the LEDs sit: 0 left of the body, 1 right, 2 above, 3 below;
    // other values at the body's centre.
    kLEDSideMask = 0x0f,
    kLEDSideLeft = 0,
    kLEDSideRight = 1,
    kLEDSideAbove = 2,
    kLEDSideBelow = 3,
    // How they follow each other: leftwards, rightwards, upwards, downwards,
    // or centred on the first LED's place; other values all at one point.
    kLEDDirectionMask = 0xf0,
    kLEDLeftwards = 0x00,
    kLEDRightwards = 0x10,
    kLEDUpwards = 0x20,
    kLEDDownwards = 0x30,
    kLEDCentred = 0x40,
    // The step reaches the widget's edge instead of the configured step.
    kLEDStretch = 0x10000,
    // The owner's content alignment stays as it is.
    kLEDKeepAlignment = 0x20000,
    // A cycle button that keeps its lit look between presses.
    kLEDCycleLitLook = 0x40000,
};

// A cycle button whose values are shown by a row or column of labelled LEDs
// beside its body, joined to it by a connector line and to each other by a
// track line; the LED whose value is the button's value is lit. Clicks,
// keys and the click delegate are the button's. Main thread only.
class cWidgetLEDCycleButton : public cWidgetButton
{
public:
    struct cLED
    {
        int32_t value = 0;
        cRect textRect = {0.0f, 0.0f, 0.0f, 0.0f};
        cVector2 position = {0.0f, 0.0f}; // the LED's centre
        cGenString text;
    };

    explicit cWidgetLEDCycleButton(uint32_t flags);

    // Replaces the LEDs with n default ones.
    void SetLEDCount(int32_t count);
    // An index outside the LEDs changes nothing.
    void SetLED(int32_t index, int32_t ledValue, const char* text);
    void SetLEDDistance(float distance) { mDistance = distance; }
    void SetLEDStep(float step) { mStep = step; }
    cTextStyle& GetLEDTextStyle() { return mLEDTextStyle; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    const std::vector<cLED>& GetLEDs() const { return mLEDs; }
    const cRect& GetTrackLine() const { return mTrackLine; }
    const cRect& GetConnectorLine() const { return mConnectorLine; }
    // The last LED showing the value, or -1.
    int32_t GetLitLED() const;

    cImage ledImage;
    cImage litLEDImage;
    uint32_t lineColour = 0xff000000u;

protected:
    ~cWidgetLEDCycleButton() override;

private:
    // The body's alignment toward its LEDs, and the offset from its centre
    // to the first LED.
    uint32_t BodyAlignment(cVector2* sideOffset) const;
    // From the first LED to the next; centred rows move the first back.
    cVector2 StepBetweenLEDs(const cRect& rect, cVector2* first) const;
    // The step at which neighbouring texts of a row just keep apart.
    float RowStepForTexts() const;
    void PlaceLines(const cVector2& sideOffset, const cVector2& step);
    void DrawImageAt(cDrawList& list, const cImage& image, const cVector2& position) const;

    cTextStyle mLEDTextStyle;
    float mDistance = 25.0f;
    float mStep = 15.0f;
    uint32_t mFlags;
    cRect mTrackLine = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mConnectorLine = {0.0f, 0.0f, 0.0f, 0.0f};
    std::vector<cLED> mLEDs;
};
