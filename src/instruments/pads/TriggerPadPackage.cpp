#include "instruments/pads/TriggerPadPackage.h"

#include "audio/InstrumentIcons.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadEditor.h"
#include "instruments/pads/TriggerPadInstrument.h"

namespace
{
// Names of the module's parameters.
const char* const kControllerNames[] = {
    "Pitch Bend",  "Bus1 Vol",    "Bus1 Pan",    "",           "Bus1 Send 1", "Bus1 Send 2",
    "Bus1 Cutoff", "Bus2 Send 1", "Bus2 Send 2", "Bus2 Cutoff", "Bus3 Send 1", "Bus3 Send 2",
    "Bus3 Cutoff", "Bus2 Vol",    "Bus2 Pan",    "Bus3 Vol",   "Bus3 Pan",
};

// Lane groups are the buses; pans are centred.
constexpr float kControllerMax = 32767.0f;
const cInstrumentPackage::cControllerParam kControllerParams[] = {
    {cTriggerPad::kParamBus1Volume, 0, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus1Pan, 0, 0.0f, kControllerMax, 1.0f, 1},
    {cTriggerPad::kParamBus1Send1, 0, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus1Send2, 0, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus1Cutoff, 0, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus2Volume, 1, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus2Pan, 1, 0.0f, kControllerMax, 1.0f, 1},
    {cTriggerPad::kParamBus2Send1, 1, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus2Send2, 1, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus2Cutoff, 1, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus3Volume, 2, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus3Pan, 2, 0.0f, kControllerMax, 1.0f, 1},
    {cTriggerPad::kParamBus3Send1, 2, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus3Send2, 2, 0.0f, kControllerMax, 1.0f, 0},
    {cTriggerPad::kParamBus3Cutoff, 2, 0.0f, kControllerMax, 1.0f, 0},
};

const cInstrumentPackage::cControllerAssignment kDefaultAssignments[] = {
    {cTriggerPad::kParamBus1Volume, 7, 1},  {cTriggerPad::kParamBus1Pan, 10, 1},
    {cTriggerPad::kParamBus1Send1, 70, 0},  {cTriggerPad::kParamBus1Send2, 71, 0},
    {cTriggerPad::kParamBus1Cutoff, 72, 0}, {cTriggerPad::kParamBus2Volume, 73, 0},
    {cTriggerPad::kParamBus2Pan, 74, 0},    {cTriggerPad::kParamBus2Send1, 75, 0},
    {cTriggerPad::kParamBus2Send2, 76, 0},  {cTriggerPad::kParamBus2Cutoff, 77, 0},
    {cTriggerPad::kParamBus3Volume, 78, 0}, {cTriggerPad::kParamBus3Pan, 79, 0},
    {cTriggerPad::kParamBus3Send1, 80, 0},  {cTriggerPad::kParamBus3Send2, 81, 0},
    {cTriggerPad::kParamBus3Cutoff, 82, 0},
};

// The piano roll shows the sixteen pads as rows, at least four at a time.
constexpr int32_t kPadRowsLayout = 1;
constexpr float kLowestNote = 48.0f;
constexpr float kHighestNote = 64.0f;
constexpr float kRowsAtSmallestZoom = 4.0f;

tTriggerPadEditorFactory gEditorFactory = nullptr;
} // namespace

cTriggerPadPackage::cTriggerPadPackage()
{
    mName.AssignCStr("VRX");
    mGridIconSprite = InstrumentIcons::kPadsGrid;
    mListIconSprite = InstrumentIcons::kPadsList;
    mDrumLayout = kPadRowsLayout;
    mKeyRangeLow = kLowestNote;
    mKeyRangeHigh = kHighestNote;
    mKeyStep = kRowsAtSmallestZoom;
    SetControllerTables(kControllerNames, kControllerParams, kDefaultAssignments);
    if (tTriggerPadEditorFactory factory = GetTriggerPadEditorFactory())
        SetEditor(factory());
}

// The editor stops showing an instrument before any goes.
cTriggerPadPackage::~cTriggerPadPackage()
{
    if (mEditor)
        mEditor->ShowInstrument(nullptr);
    while (cInstrument* instrument = mInstruments.PopFront())
        delete instrument;
    SetEditor(nullptr);
}

cInstrument* cTriggerPadPackage::CreateInstrument(int32_t argument)
{
    auto* instrument = new cTriggerPadInstrument(this, argument != 0);
    AddInstrument(instrument);
    return instrument;
}

void cTriggerPadPackage::DestroyInstrument(cInstrument* instrument)
{
    if (!instrument)
        return;
    if (mEditor && mEditor->GetShownInstrument() == instrument)
        mEditor->ShowInstrument(nullptr);
    RemoveInstrument(instrument);
    delete instrument;
}

bool cTriggerPadPackage::IsSampleInUse(const cGenString& path)
{
    for (cInstrument* instrument = mInstruments.GetFirst(); instrument; instrument = instrument->GetNext())
        if (static_cast<cTriggerPadInstrument*>(instrument)->GetPads()->IsSampleInUse(path))
            return true;
    return false;
}

bool cTriggerPadPackage::Reload() { return true; }

bool cTriggerPadPackage::LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&) { return true; }

bool cTriggerPadPackage::SaveProjectData(const cGenString&, cSampleRelocator*, bool) { return true; }

void cTriggerPadPackage::SetEditor(cTriggerPadEditor* editor)
{
    if (mEditor)
        mEditor->ReleaseEditor();
    mEditor = editor;
    mUserInterface = editor ? editor->GetPage() : nullptr;
}

void SetTriggerPadEditorFactory(tTriggerPadEditorFactory factory) { gEditorFactory = factory; }

tTriggerPadEditorFactory GetTriggerPadEditorFactory() { return gEditorFactory; }
