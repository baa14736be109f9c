#pragma once

#include "project/ProjectHost.h"

// The application's side of what the projects ask of the screens. The parts
// whose screens do not exist yet keep the headless answers.
class cAppProjectHost : public cProjectHost
{
public:
    cCriticalSection* GetFrameLock() override;
};
