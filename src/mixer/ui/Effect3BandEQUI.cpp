#include "mixer/ui/Effect3BandEQUI.h"

#include <cstdio>

#include "mixer/Effect3BandEQ.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/WidgetKnob.h"

namespace
{
const cEffectKnobPanel::cControl kSwitchControls[] = {{"ON", cEffect3BandEQ::kParamEnable},
                                                {"GAIN COMP", cEffect3BandEQ::kParamGainComp}};
const cEffectKnobPanel::cControl kKnobControls[] = {
    {"FREQ", cEffect3BandEQ::kParamLowFreq},  {"GAIN", cEffect3BandEQ::kParamLowGain},
    {"FREQ", cEffect3BandEQ::kParamMidFreq},  {"WIDTH", cEffect3BandEQ::kParamMidWidth},
    {"GAIN", cEffect3BandEQ::kParamMidGain},  {"FREQ", cEffect3BandEQ::kParamHighFreq},
    {"GAIN", cEffect3BandEQ::kParamHighGain},
};

// Hertz below a kilohertz, kilohertz from there.
void DescribeFrequency(const char* what, float hertz, char* text, int32_t capacity)
{
    if (hertz < 1000.0f)
        std::snprintf(text, size_t(capacity), "%s = %.0fHz", what, double(hertz));
    else
        std::snprintf(text, size_t(capacity), "%s = %.2fkHz", what, double(hertz) / 1000.0);
}

constexpr uint32_t kPanelColour = 0xff3a3a3a;
} // namespace

cEffect3BandEQUI::cEffect3BandEQUI(cEffectPackage* package)
    : cEffectKnobPanel(package, kSwitchControls, kKnobControls, int32_t(sizeof(kKnobControls) / sizeof(kKnobControls[0])))
{
    SetName("3BandEQUI");
}

bool cEffect3BandEQUI::DescribeKnob(uint32_t parameter, float v, char* text, int32_t capacity) const
{
    switch (parameter)
    {
    case cEffect3BandEQ::kParamLowFreq: DescribeFrequency("Low cutoff freq.", cEffect3BandEQ::LowHz(v), text, capacity); return true;
    case cEffect3BandEQ::kParamMidFreq: DescribeFrequency("Mid centre freq.", cEffect3BandEQ::MidHz(v), text, capacity); return true;
    case cEffect3BandEQ::kParamHighFreq: DescribeFrequency("High cutoff freq.", cEffect3BandEQ::HighHz(v), text, capacity); return true;
    case cEffect3BandEQ::kParamLowGain:
        std::snprintf(text, size_t(capacity), "Low shelf gain = %+.1fdB", double(cEffect3BandEQ::GainDb(v)));
        return true;
    case cEffect3BandEQ::kParamMidGain:
        std::snprintf(text, size_t(capacity), "Mid gain = %+.1fdB", double(cEffect3BandEQ::GainDb(v)));
        return true;
    case cEffect3BandEQ::kParamHighGain:
        std::snprintf(text, size_t(capacity), "High shelf gain = %+.1fdB", double(cEffect3BandEQ::GainDb(v)));
        return true;
    case cEffect3BandEQ::kParamMidWidth:
        std::snprintf(text, size_t(capacity), "Mid width = %.1f Octaves", double(cEffect3BandEQ::MidOctaves(v)));
        return true;
    default: return false;
    }
}

// A plain panel with each band's knobs joined by a link line.
bool cEffect3BandEQUI::Draw(cDrawList& list)
{
    list.FillRect(GetRect(), kPanelColour);
    const int32_t bands[][2] = {{0, 1}, {2, 4}, {5, 6}};
    for (const auto& band : bands)
        DrawLinkLine(list, mKnobs[band[0]], mKnobs[band[1]]);
    return false;
}
