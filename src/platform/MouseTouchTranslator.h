#pragma once

class cInputTarget;

// Turns the mouse into touches: the left button is one finger (id 1), the
// right button two fingers (ids 1 and 2) mirrored about the press point, so
// a right drag pinches and rotates.
class cMouseTouchTranslator
{
public:
    enum eButton
    {
        kLeft = 0,
        kRight = 1,
    };

    static void OnMove(cInputTarget& target, float x, float y);
    static void OnButtonDown(cInputTarget& target, eButton button, bool doubleClick, float x, float y);
    static void OnButtonUp(cInputTarget& target, eButton button, float x, float y);

private:
    static void EndGesture(cInputTarget& target);
};
