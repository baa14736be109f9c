#include "audio/InstrumentPackage.h"

#include "audio/Instrument.h"
#include "audio/KeyStripDrawer.h"
#include "audio/MIDIControllerMap.h"

cInstrumentPackage::cInstrumentPackage() = default;

cInstrumentPackage::~cInstrumentPackage() = default;

void cInstrumentPackage::ExportMapBegin() {}

void cInstrumentPackage::ExportMapCollect() {}

void cInstrumentPackage::ExportMapFinalize() {}

void cInstrumentPackage::ExportMapApply() {}

const char* cInstrumentPackage::GetControllerName(int32_t index) const
{
    if (!mControllerNames || index < 0 || index >= mControllerNameCount)
        return nullptr;
    return mControllerNames[index];
}

const cInstrumentPackage::cControllerParam* cInstrumentPackage::GetControllerParam(int32_t index) const
{
    if (!mControllerParams || index < 0 || index >= mControllerParamCount)
        return nullptr;
    return &mControllerParams[index];
}

void cInstrumentPackage::CreateControllerMap()
{
    mControllerMap = std::make_unique<cMIDIControllerMap>();
    for (int32_t i = 0; i < mDefaultAssignmentCount; ++i)
        mControllerMap->SetAssignment(mDefaultAssignments[i].paramIndex, mDefaultAssignments[i].controller);
}

void cInstrumentPackage::CreateKeyStripDrawer() { mKeyStripDrawer.reset(NewKeyStripDrawer()); }

void cInstrumentPackage::AddInstrument(cInstrument* instrument) { mInstruments.PushBack(instrument); }

void cInstrumentPackage::RemoveInstrument(cInstrument* instrument) { mInstruments.Remove(instrument); }
