#pragma once

#include "platform/PlatformMain.h"

// How the program makes its OpenGL 1.1 renderer once the window's context is
// current, and deletes it again.
const cRendererHooks& GetProgramRendererHooks();
