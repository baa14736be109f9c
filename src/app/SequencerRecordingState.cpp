#include "app/SequencerRecordingState.h"

#include "audio/Transport.h"
#include "sequencer/Sequencer.h"

int32_t cSequencerRecordingState::GetTransportState() const { return gTransport.state.load(); }

bool cSequencerRecordingState::GetRecordOption() const
{
    cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer && sequencer->GetParamInt(cSequencer::kParamEraseKeys) != 0;
}
