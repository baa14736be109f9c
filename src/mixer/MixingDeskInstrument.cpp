#include "mixer/MixingDeskInstrument.h"

#include <cstdint>

#include "base/Serialise.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskPackage.h"

// The master exists before the mixer, which names it and reads its levels.
cMixingDeskInstrument::cMixingDeskInstrument(cInstrumentPackage* package)
{
    mPackage = package;
    AddChannel(new cMixerChannel(cMixerChannel::kKindMaster, kMasterLevel, this, 0));
    SetModule(new cMixer(this));
}

void cMixingDeskInstrument::Select()
{
    if (auto* package = dynamic_cast<cMixingDeskPackage*>(mPackage))
        package->Show(this);
}

cMixer* cMixingDeskInstrument::GetMixer() const { return static_cast<cMixer*>(GetModule()); }

cMixerChannel* cMixingDeskInstrument::GetMaster() const { return static_cast<cMixerChannel*>(GetChannel(0)); }

namespace
{
void SerialiseWithin(Base::cSerialise& serialise, const char* key, int32_t& field, int32_t low, int32_t high)
{
    int32_t value = field;
    if (serialise.SerialiseInt32(key, &value, INT32_MIN, INT32_MAX) && value >= low && value <= high)
        field = value;
}
} // namespace

// A stored position outside the mixer's list is refused and the default kept.
bool cMixingDeskInstrument::Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    const bool result = cInstrument::Serialise(serialise, relocator);
    const int32_t last = GetMixer()->GetChannelCount() - 1;
    SerialiseWithin(serialise, "InChan", mFirstShownChannel, 0, last);
    SerialiseWithin(serialise, "InsertFX", mInsertChannel, -1, last);
    return result;
}
