#pragma once

#include "base/Math.h"

#include <cstdint>

class cDrawList;

enum ePolylineJoin : int32_t
{
    kPolylineJoinMitre = 0,
    kPolylineJoinBevel = 1,
    kPolylineJoinRound = 2,
};

enum ePolylineCap : int32_t
{
    kPolylineCapAsOptions = -1, // a segment's end cap: the options' kind
    kPolylineCapButt = 0,
    kPolylineCapRound = 1,
    kPolylineCapSquare = 2, // the end pushed out by the core and feather width
    kPolylineCapFeatheredButt = 3,
};

struct cPolylineOptions
{
    ePolylineJoin join = kPolylineJoinBevel;
    ePolylineCap cap = kPolylineCapFeatheredButt;
    bool feather = false;     // scale the feather width by the factor below
    float feathering = 1.0f;  // used only when feather is set
    bool noFeatherAtCap = false;
    bool noFeatherAtCore = false;
};

// An anti-aliased line through the points without texture: a solid core in
// the colour flanked by a band that fades to transparent. Written into the
// draw list's batch as plain coloured triangles in the current material
// (callers make an untextured blending material current). Fewer than two
// points draw nothing.
void DrawPolylineAA(cDrawList& list, const cVector2* points, int count, uint32_t colour, float width,
                    const cPolylineOptions& options);

// One straight piece from p0 to p1. The start cap is the options' kind, the
// end cap the given kind (or the options' kind too).
void DrawPolylineSegment(cDrawList& list, const cVector2& p0, const cVector2& p1, uint32_t colour0,
                         uint32_t colour1, float width0, float width1, const cPolylineOptions& options,
                         bool capStart, bool capEnd, ePolylineCap endCap = kPolylineCapAsOptions);

// The core half-width t and the feather width R of a line width.
void GetCoreAndFeather(float width, float& core, float& feather);
// Angular step in radians of round joins and caps.
float GetRoundJoinStep(float core, float feather);
