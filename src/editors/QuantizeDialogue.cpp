#include "editors/QuantizeDialogue.h"

#include "editors/QuantizeSettingsUI.h"

cQuantizeDialogue::cQuantizeDialogue(int32_t settingsStyle)
    : cQuantizeDialogue(new cQuantizeSettingsUI(settingsStyle))
{
}

cQuantizeDialogue::cQuantizeDialogue(cQuantizeSettingsUI* settingsUI)
    : cSettingsPopup(settingsUI), mSettingsUI(settingsUI)
{
    mSettingsUI->Release();
}

cQuantizeDialogue::~cQuantizeDialogue() = default;
