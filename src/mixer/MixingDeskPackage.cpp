#include "mixer/MixingDeskPackage.h"

#include "audio/InstrumentIcons.h"
#include "mixer/Mixer.h"
#include "mixer/MixingDeskEditor.h"
#include "mixer/MixingDeskInstrument.h"

namespace
{
// Names of the mixer's module parameters.
const char* const kControllerNames[] = {"PitchB",    "Out Vol",   "Out Pan",   "",
                                        "Send1 Vol", "Send1 Pan", "Send2 Vol", "Send2 Pan"};

// Lane groups: 0 the first return, 1 the second, 2 the master; pans are centred.
constexpr float kControllerMax = 32767.0f;
const cInstrumentPackage::cControllerParam kControllerParams[] = {
    {cMixer::kParamSend1Volume, 0, 0.0f, kControllerMax, 1.0f, 0},
    {cMixer::kParamSend1Pan, 0, 0.0f, kControllerMax, 1.0f, 1},
    {cMixer::kParamSend2Volume, 1, 0.0f, kControllerMax, 1.0f, 0},
    {cMixer::kParamSend2Pan, 1, 0.0f, kControllerMax, 1.0f, 1},
    {cMixer::kParamMasterVolume, 2, 0.0f, kControllerMax, 1.0f, 0},
    {cMixer::kParamMasterPan, 2, 0.0f, kControllerMax, 1.0f, 1},
};

const cInstrumentPackage::cControllerAssignment kDefaultAssignments[] = {
    {cMixer::kParamMasterVolume, 7, 0}, {cMixer::kParamMasterPan, 10, 0}, {cMixer::kParamSend1Volume, 70, 0},
    {cMixer::kParamSend1Pan, 71, 0},    {cMixer::kParamSend2Volume, 72, 0}, {cMixer::kParamSend2Pan, 73, 0},
};

tMixingDeskEditorFactory gEditorFactory = nullptr;
} // namespace

cMixingDeskPackage::cMixingDeskPackage()
{
    mName.AssignCStr("Mixer");
    mGridIconSprite = InstrumentIcons::kMixerGrid;
    mListIconSprite = InstrumentIcons::kMixerList;
    SetControllerTables(kControllerNames, kControllerParams, kDefaultAssignments);
    CreateKeyStripDrawer();
    if (gEditorFactory)
        SetEditor(gEditorFactory());
}

// The page stops showing an instrument before any goes.
cMixingDeskPackage::~cMixingDeskPackage()
{
    Show(nullptr);
    while (cInstrument* instrument = mInstruments.PopFront())
        delete instrument;
    SetEditor(nullptr);
}

void cMixingDeskPackage::SetEditor(cMixingDeskEditor* editor)
{
    if (mEditor)
        mEditor->ReleaseEditor();
    mEditor = editor;
    mUserInterface = editor ? editor->GetPage() : nullptr;
}

void cMixingDeskPackage::Show(cMixingDeskInstrument* instrument)
{
    mShown = instrument;
    if (mEditor)
        mEditor->ShowInstrument(instrument);
}

cInstrument* cMixingDeskPackage::CreateInstrument(int32_t)
{
    auto* instrument = new cMixingDeskInstrument(this);
    AddInstrument(instrument);
    return instrument;
}

void cMixingDeskPackage::DestroyInstrument(cInstrument* instrument)
{
    if (!instrument)
        return;
    if (mShown == instrument)
        Show(nullptr);
    RemoveInstrument(instrument);
    delete instrument;
}

bool cMixingDeskPackage::IsSampleInUse(const cGenString&) { return false; }

// A project load calls this on its job thread, after the unload left no
// desk shown: then there is nothing to reset.
void cMixingDeskPackage::ResetInsertChoice()
{
    if (!mShown)
        return;
    if (mEditor)
        mEditor->ResetSelection();
    else
        mShown->SetInsertChannel(-1);
}

bool cMixingDeskPackage::Reload()
{
    ResetInsertChoice();
    return true;
}

bool cMixingDeskPackage::LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&)
{
    ResetInsertChoice();
    return true;
}

bool cMixingDeskPackage::SaveProjectData(const cGenString&, cSampleRelocator*, bool) { return true; }

void SetMixingDeskEditorFactory(tMixingDeskEditorFactory factory) { gEditorFactory = factory; }
