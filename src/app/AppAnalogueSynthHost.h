#pragma once

#include "instruments/synth/ui/AnalogueSynthUIHost.h"

// The main screen's side of what the synthesizer's editor asks: its shared
// text keyboard.
class cAppAnalogueSynthHost : public cAnalogueSynthUIHost
{
public:
    bool PromptName(const cKeyboardRequest& request, const cDelegate& completion) override;
};
