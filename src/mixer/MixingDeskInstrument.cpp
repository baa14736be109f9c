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
void SerialiseFrom(Base::cSerialise& serialise, const char* key, int32_t& field, int32_t low)
{
    int32_t value = field;
    if (serialise.SerialiseInt32(key, &value, INT32_MIN, INT32_MAX) && value >= low)
        field = value;
}
} // namespace

// Only the lower bounds are checked: slot 0 is read while the mixer holds
// just its two returns, before the other instruments' channels exist. The
// desk clamps both positions whenever it uses them.
bool cMixingDeskInstrument::Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    const bool result = cInstrument::Serialise(serialise, relocator);
    SerialiseFrom(serialise, "InChan", mFirstShownChannel, 0);
    SerialiseFrom(serialise, "InsertFX", mInsertChannel, -1);
    return result;
}
