#include "platform/WindowPlacement.h"

namespace
{
// Keeps [start, end) left of the limit by moving it back, never past 0.
void FitSpan(int& start, int& end, int limit)
{
    if (end <= limit)
        return;
    start -= end - limit;
    if (start < 0)
        start = 0;
    end = limit;
}
} // namespace

cWindowFrame PlaceWindowOnWorkArea(int left, int top, int clientWidth, int clientHeight,
                                   int borderWidth, int borderHeight, int workRight, int workBottom)
{
    cWindowFrame frame = {left, top, left + clientWidth + borderWidth, top + clientHeight + borderHeight};
    FitSpan(frame.left, frame.right, workRight);
    FitSpan(frame.top, frame.bottom, workBottom);
    return frame;
}
