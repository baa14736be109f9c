#pragma once

#include "AtlasLayout.h"
#include "Canvas.h"

// The toolkit's house colours and the shared drawing of its look: flat dark
// panels, bevelled buttons that light blue, knobs, LEDs, arrows and icons.
// The lit and value colours are the words the toolkit tints with, so drawn
// art, tinted texts, LEDs and meters agree.
namespace HouseStyle
{
extern const cColour kDark;        // 0xff202020
extern const cColour kDarker;      // 0xff1e1e1e
extern const cColour kPanel;       // raised panel face
extern const cColour kEdge;        // panel rims
extern const cColour kLit;   // 0xffba8400 as the toolkit writes it: RGB 0, 132, 186
extern const cColour kValue; // 0xffe5b000: RGB 0, 176, 229, values and lit segments
extern const cColour kLabel;       // 0xffdcdcdc
extern const cColour kWhite;
extern const cColour kBlack;

struct cRectF
{
    float x0, y0, x1, y1;
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
    float CentreX() const { return (x0 + x1) * 0.5f; }
    float CentreY() const { return (y0 + y1) * 0.5f; }
    cRectF Inset(float d) const { return {x0 + d, y0 + d, x1 - d, y1 - d}; }
};

// A rectangle of a group mapped onto the canvas where the group is painted.
cRectF Map(const cPlace& place, const cRectI& rect);

enum class eDirection { Up, Down, Left, Right };

enum class eIcon
{
    Close, Check, Cross, Share, Import, Export, Power, MidiFile, AudioFile, Effect, Dotted, Triplet, Spinner,
    Folder, InUse, UpArrow, Project, Archive, Chain
};

// A soft drop shadow below a rounded shape, kept inside the given margin.
void DrawShadow(cCanvas& canvas, const cRectF& body, float radius);
// A bevelled button face: dark when unlit, blue when lit.
void DrawButtonFace(cCanvas& canvas, const cRectF& body, float radius, bool lit);
// A rounded panel with a rim.
void DrawPanel(cCanvas& canvas, const cRectF& body, float radius, const cColour& face, const cColour& rim);
// A knob body with a lit rim; the pointer and the value ticks are separate
// sprites. Scale marks over the knob's sweep sit in the margin around the body.
void DrawKnobBody(cCanvas& canvas, const cRectF& body, float margin);
// A round LED: unlit is a dim lens, lit glows.
void DrawLed(cCanvas& canvas, const cRectF& body, bool lit, const cColour& colour);
void DrawArrow(cCanvas& canvas, const cRectF& box, eDirection direction, const cColour& colour);
void DrawIcon(cCanvas& canvas, const cRectF& box, eIcon icon, const cColour& colour);
// The small neutral square that stands for an index no code uses.
void DrawPlaceholder(cCanvas& canvas, const cRectF& box);
}
