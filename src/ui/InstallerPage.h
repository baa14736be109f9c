#pragma once

#include "ui/Widget.h"

// The page start-up shows while content is installed, before the core of
// the program starts: the application looks at it every frame and starts
// the core once the page says it is done.
class cInstallerPage : public cWidget
{
public:
    bool IsDone() const { return mDone; }

protected:
    bool mDone = false;
};
