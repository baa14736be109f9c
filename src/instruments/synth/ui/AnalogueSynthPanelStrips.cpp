#include "instruments/synth/ui/AnalogueSynthPanelStrips.h"

#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthStripEnvelope.h"
#include "instruments/synth/ui/AnalogueSynthStripFilter.h"
#include "instruments/synth/ui/AnalogueSynthStripLFO.h"
#include "instruments/synth/ui/AnalogueSynthStripPolyphonyFX.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"

namespace
{
// Left, top, width and height as fractions of the parent.
constexpr uint32_t kAnchorsFractions = 0x2222;
constexpr float kTopCaption = 3.0f;
} // namespace

cAnalogueSynthPanelTwoStrips::cAnalogueSynthPanelTwoStrips(cAnalogueSynthUI* owner, cAnalogueSynthPanel* upper,
                                                           cAnalogueSynthPanel* lower)
    : cAnalogueSynthPanel(owner, 0), mUpper(upper), mLower(lower)
{
    mUpper->SetAnchors(kAnchorsFractions, 0.0f, 0.0f, 1.0f, 0.5f);
    AddChild(mUpper);
    mLower->SetAnchors(kAnchorsFractions, 0.0f, 0.5f, 1.0f, 0.5f);
    AddChild(mLower);
}

cAnalogueSynthPanelTwoStrips::~cAnalogueSynthPanelTwoStrips()
{
    mUpper->Release();
    mLower->Release();
}

void cAnalogueSynthPanelTwoStrips::DrawCaption(cDrawList& list, float y, const char* text)
{
    if (mOwner)
        mOwner->DrawLabelBox(GetRect().xMin, y, list, GetRect().xMax, text);
}

cAnalogueSynthPanelFilter::cAnalogueSynthPanelFilter(cAnalogueSynthUI* owner)
    : cAnalogueSynthPanelTwoStrips(owner, new cAnalogueSynthStripFilter(owner, 0),
                                   new cAnalogueSynthStripEnvelope(owner, kSingleGroupFilterEnv))
{
}

bool cAnalogueSynthPanelFilter::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    DrawCaption(list, GetRect().yMin + kTopCaption, "FILTER");
    DrawCaption(list, Middle(), "FILTER ENVELOPE");
    return false;
}

cAnalogueSynthPanelAmp::cAnalogueSynthPanelAmp(cAnalogueSynthUI* owner)
    : cAnalogueSynthPanelTwoStrips(owner, new cAnalogueSynthStripEnvelope(owner, kSingleGroupAmpEnv),
                                   new cAnalogueSynthStripPolyphonyFX(owner, 0))
{
    mUpper->SetName("Env");
    mLower->SetName("PolyphonyFX");
}

bool cAnalogueSynthPanelAmp::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    DrawCaption(list, GetRect().yMin + kTopCaption, "AMP ENVELOPE");
    return false;
}

cAnalogueSynthPanelAux1::cAnalogueSynthPanelAux1(cAnalogueSynthUI* owner)
    : cAnalogueSynthPanelTwoStrips(owner, new cAnalogueSynthStripLFO(owner, 0),
                                   new cAnalogueSynthStripEnvelope(owner, kSingleGroupAuxEnv))
{
}

// Without a matrix (multi mode, layer 0 off) the last title stays.
void cAnalogueSynthPanelAux1::OnStateChange()
{
    WaitForModule();
    cAnalogueSynth* module = GetModule();
    const cModMatrix* matrix = module ? module->GetCurrentModMatrix() : nullptr;
    if (!matrix)
        return;
    const cModMatrixRow& row = matrix->rows[cModMatrix::kSourceAuxEnv];
    if (row.Dest == cModMatrix::kDestOff)
        mTitle.AssignCStr("AUX ENVELOPE: Unused");
    else
        mTitle.Printf("AUX ENVELOPE: %s %s", cModMatrix::GetDestName(row.Dest),
                      cModMatrix::GetParName(row.Dest, row.Par));
}

bool cAnalogueSynthPanelAux1::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    DrawCaption(list, Middle(), mTitle.CStr());
    return false;
}
