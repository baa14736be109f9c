#include "sampler/OfflineRender.h"

#include <algorithm>
#include <cstring>

#include "audio/AudioManager.h"
#include "audio/FlushDenormals.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "midi/MIDIManager.h"
#include "mixer/Mixer.h"
#include "project/ProjectSlots.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
// Blocks through the mixer before and after the instruments' reset, so that
// the release events and then the reset events are drained.
constexpr int kFlushBlocks = 3;

cTrackList* Tracks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer ? sequencer->GetTrackList() : nullptr;
}

void SetOutputsEnabled(bool enabled)
{
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetOutputsEnabled(enabled);
}
} // namespace

cOfflineRender::~cOfflineRender()
{
    if (IsQuiet())
        Restore();
}

int32_t cOfflineRender::GetTrackStates(uint8_t* states)
{
    const cTrackList* tracks = Tracks();
    const int32_t count = tracks ? std::min(tracks->GetCount(), kTrackStateCount) : 0;
    for (int32_t i = 0; i < count; ++i)
        states[i] = uint8_t(tracks->GetTrack(i)->GetMuteSolo());
    return count;
}

void cOfflineRender::ApplyTrackStates(const uint8_t* states)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cTrackList* tracks = Tracks();
    if (!tracks)
        return;
    const int32_t count = std::min(tracks->GetCount(), kTrackStateCount);
    for (int32_t i = 0; i < count; ++i)
        tracks->GetTrack(i)->SetMuteSolo(std::min<int32_t>(states[i], cTrack::kSolo));
    // Recounts the solos and moves each changed audible flag, which locates
    // a track or releases its notes.
    sequencer->UpdateAudibleTracks();
}

bool cOfflineRender::Quiet(cMixer* mixer)
{
    if (!mixer || IsQuiet())
        return false;
    if (cSequencer* sequencer = cSequencer::GetInstance())
    {
        cScopedLock lock(sequencer->GetLock());
        sequencer->Stop();
    }
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Suspend();
    StopAllInstruments(kStopAllForChange);
    SetOutputsEnabled(false);
    mMixer = mixer;
    mInfo.offline = 1;
    mInfo.sampleRate = kSampleRate;
    mInfo.secondsPerSample = 1.0f / kSampleRate;
    mInfo.outputIndex = 0;
    mInfo.quality = 2;
    mBuffer.Describe(kAudioFormatS16, kBlockFrames, 2, mBlock);
    Flush();
    return true;
}

void cOfflineRender::QuietOutputs()
{
    if (IsQuiet())
        return;
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Suspend();
    SetOutputsEnabled(false);
    mOutputsOnly = true;
}

void cOfflineRender::Flush()
{
    for (int i = 0; i < kFlushBlocks; ++i)
        RenderBlock(kBlockFrames, nullptr);
    ResetAllInstrumentModules();
    for (int i = 0; i < kFlushBlocks; ++i)
        RenderBlock(kBlockFrames, nullptr);
    std::memset(mBlock, 0, sizeof(mBlock));
}

void cOfflineRender::SaveTransport()
{
    mSavedMetronome = gTransport.metronomeMode;
    mSavedPosition = gTransport.position;
    mSavedLoopOn = gTransport.loopOn;
    std::memset(mSavedStates, 0, sizeof(mSavedStates));
    GetTrackStates(mSavedStates);
    mTransportSaved = true;
}

void cOfflineRender::StartPlaying(int32_t start, const uint8_t* trackStates)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer)
        return;
    gTransport.metronomeMode = 0;
    sequencer->SetPosition(start);
    if (trackStates)
        ApplyTrackStates(trackStates);
    gTransport.loopOn = 0;
    sequencer->Play(0);
}

const int16_t* cOfflineRender::RenderBlock(uint32_t frames, const uint32_t* mask)
{
    const uint32_t rendered = std::min((frames + 3) & ~3u, kBlockFrames);
    mInfo.duration = float(rendered) / kSampleRate;
    mBuffer.frames = rendered;
    mBuffer.bytes = rendered * 2 * sizeof(int16_t);
    // The job thread renders as the audio thread does.
    const cScopedFlushDenormals flush;
    mMixer->RenderGraph(mInfo, mBuffer, mask);
    return mBlock;
}

void cOfflineRender::Restore()
{
    if (!IsQuiet())
        return;
    if (mOutputsOnly)
    {
        mOutputsOnly = false;
        SetOutputsEnabled(true);
        if (cMIDIManager* midi = cMIDIManager::GetInstance())
            midi->Resume();
        return;
    }
    cSequencer* sequencer = cSequencer::GetInstance();
    if (sequencer && mTransportSaved)
    {
        sequencer->Stop();
        gTransport.metronomeMode = mSavedMetronome;
        sequencer->SetPosition(mSavedPosition);
        // Back on with the position at or past the loop end, it starts over.
        sequencer->SetLoopEnabled(mSavedLoopOn != 0);
        ApplyTrackStates(mSavedStates);
    }
    else if (sequencer)
        sequencer->Stop();
    StopAllInstruments(kStopAllForChange);
    Flush();
    mMixer = nullptr;
    mTransportSaved = false;
    SetOutputsEnabled(true);
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Resume();
}
