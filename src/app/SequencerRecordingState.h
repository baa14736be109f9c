#pragma once

#include "ui/DrawHelpers.h"

// Tells the toolkit's recording marker whether the song engine records and
// which record option it has, from the transport and the sequencer.
class cSequencerRecordingState : public cRecordingStateSource
{
public:
    int32_t GetTransportState() const override;
    bool GetRecordOption() const override;
};
