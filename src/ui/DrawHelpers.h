#pragma once

#include <cstdint>

#include "base/Math.h"

class cDrawList;
class cWidget;
struct cAtlasSprite;

// What the recording marker reads of the song engine, which the toolkit does
// not link. The application installs one where it creates the sequencer and
// removes it before the sequencer goes; without one the transport counts as
// stopped.
class cRecordingStateSource
{
public:
    static constexpr int32_t kRecording = 3;

    virtual ~cRecordingStateSource() = default;
    virtual int32_t GetTransportState() const = 0;
    // The sequencer's record option: its erase-keys flag.
    virtual bool GetRecordOption() const = 0;
};

void SetRecordingStateSource(cRecordingStateSource* source);
cRecordingStateSource* GetRecordingStateSource();

// Small recurring pieces drawn straight into the draw list from a widget's
// draw. Main thread only.

// The sprite at its own size centred on the point, on whole pixels.
cRect SpriteRectAt(const cAtlasSprite* sprite, float centreX, float centreY);
// The whole sprite stretched over the rect, tinted.
void DrawSprite(cDrawList& list, const cAtlasSprite* sprite, const cRect& rect, uint32_t colour);

// A captioned bar whose fill runs from start to end (0..1) of the frame.
void DrawProgressBar(cDrawList& list, const char* caption, float x, float y, float width, float start, float end,
                     bool showBar, const cAtlasSprite* frameSprite, const cAtlasSprite* fillSprite);
// An LED of type 0..5 centred on the point: the unlit lens in the colour,
// the lit one over it as bright as the brightness (0..1).
void DrawLED(cDrawList& list, int32_t type, float centreX, float centreY, float brightness, uint32_t colour);
// Blinks while the transport records.
void DrawRecordBlinkMarker(cDrawList& list, float centreX, float centreY);
// One frame of the busy spinner's turn; returns the new angle.
float AdvanceSpinnerAngle(float& angle);
void DrawBusySpinner(cDrawList& list, float centreX, float centreY, float angle);
// A bar from the centre of one widget to the centre of the other.
void DrawLinkLine(cDrawList& list, cWidget* from, cWidget* to);
void DrawTitledFrame(const cRect& rect, cDrawList& list, const char* title);

// Sine and cosine good to about 0.001, for spinning sprites.
void FastSinCos(float angle, float* sine, float* cosine);
