#include "platform/GlobalSettingValues.h"

cGlobalSettingValues gSettings;

void cGlobalSettingValues::Reset()
{
    recentProject = "User/Projects/Demos/Rock On.prj";
    autoSaved = false;
    normalizeSample = true;
    normalizeResample = false;
    installerVersion = 0;
    introHelp = 0;
    keyWidth = kKeyWidthNormal;
    auditionNote = 1;
    auditionNoteVol = 80;
    stopSamples = 1;
    lockOrientation = 0;
    startOnProjectPage = 0;
    dynamicCPUBoost = 0;
    backgroundAudio = 0;
    currentOrientation = 4;
    audioQuality = 1;
    bufferLatency = 2;
    debug = false;
}
