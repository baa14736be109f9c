#pragma once

// A window's outer rectangle, frame included.
struct cWindowFrame
{
    int left;
    int top;
    int right;
    int bottom;
};

// Places a window whose client area should be clientWidth x clientHeight:
// the frame keeps its top-left corner unless it would reach past the work
// area's right or bottom edge; then it moves back (never beyond 0) and is cut
// at that edge, so the client area ends up smaller than asked.
cWindowFrame PlaceWindowOnWorkArea(int left, int top, int clientWidth, int clientHeight,
                                   int borderWidth, int borderHeight, int workRight, int workBottom);
