#pragma once
#include <cstdint>

#include "audio/Instrument.h"

class cMixer;
class cMixerChannel;

// The mixer as an instrument: every project keeps one in slot 0. It owns the
// master channel and the cMixer module, and remembers which strips and
// which insert chain its desk shows.
class cMixingDeskInstrument : public cInstrument
{
public:
    static constexpr float kMasterLevel = 0.9f;

    explicit cMixingDeskInstrument(cInstrumentPackage* package);

    void Select() override;
    // The base's sections, then "InChan" and "InsertFX".
    bool Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator) override;

    cMixer* GetMixer() const;
    cMixerChannel* GetMaster() const;
    // The list position of the first strip the desk shows.
    int32_t GetFirstShownChannel() const { return mFirstShownChannel; }
    void SetFirstShownChannel(int32_t position) { mFirstShownChannel = position; }
    // The channel whose chain the desk shows: -1 the master, else a list position.
    int32_t GetInsertChannel() const { return mInsertChannel; }
    void SetInsertChannel(int32_t position) { mInsertChannel = position; }

private:
    int32_t mFirstShownChannel = 0;
    int32_t mInsertChannel = -1;
};
