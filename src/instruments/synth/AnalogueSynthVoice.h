#pragma once
#include <cstdint>

#include "audio/LFO.h"
#include "audio/SamplePlayer.h"
#include "base/IntrusiveList.h"
#include "instruments/synth/Envelope.h"
#include "instruments/synth/FilterSection.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/OscillatorSection.h"

class cSample;
struct cAnalogueSynthSingle;
struct cAudioBuffer;
struct cAudioProcessInfo;

// A note the voice engine remembers for mono and legato play.
struct cHeldNote
{
    uint8_t sourceSlot = 0;
    uint8_t note = 0;
    uint32_t voiceId = 0;
    uint8_t velocity = 0;
};

// What a layer gives its voices each block.
struct cVoiceLayerSetup
{
    float transpose = 0.0f; // semitones
    float gain = 1.0f;      // layer gain x render gain x layer volume
    float pan = 0.5f;
    float bend = 0.0f; // the module's pitch bend, -1..1
};

// One of the voice engine's sixteen voices: a note of one layer played
// through the patch's sections. Once per block the control step runs the
// envelopes, LFOs and matrix, glides, and sets the gains the mix ramps to;
// Generate then writes the raw tone into the voice's channel of a group's
// scratch block. Audio thread only.
class cAnalogueSynthVoice : public Base::cIntrusiveListItem<cAnalogueSynthVoice, 1>
{
public:
    enum eState : int32_t
    {
        kFinished = 0, // collected at the end of the block
        kHeld = 1,
        kReleased = 2,
    };

    // A new note on the patch; sample voices play the layer's sample.
    void Start(const cHeldNote& entry, int32_t layer, int32_t trackKeys, cAnalogueSynthSingle* patch, cSample* sample);
    // Legato: the voice glides to the entry's note, its envelopes and LFOs
    // going on.
    void Retarget(const cHeldNote& entry, int32_t layer);
    void Release();
    // Finished at once; it fades out over the next block.
    void Cut();

    void Control(const cAudioProcessInfo& info, const cVoiceLayerSetup& layer);
    // Writes the voice's raw tone into the first channel of the view.
    void Generate(const cAudioProcessInfo& info, cAudioBuffer& channel);

    // The section whose stages the render runs over the voice's channel.
    cFilterSection& GetFilter() { return mFilter; }
    int32_t GetStageCount() const { return mFilter.GetStageCount(); }
    const cSamplePlayer& GetSamplePlayer() const { return mPlayer; }
    const cEnvelope& GetAmpEnvelope() const { return mAmpEnv; }

    eState state = kFinished;
    int32_t layer = 0;
    cAnalogueSynthSingle* patch = nullptr;
    uint8_t sourceSlot = 0;
    uint32_t voiceId = 0;
    int32_t note = 0;
    float velocity = 0.0f; // 0..1
    float currentPitch = 0.0f;
    float targetPitch = 0.0f;
    float glideDistance = 0.0f;
    int32_t trackKeys = 1;
    uint8_t sampleVoice = 0;
    float age = 0.0f; // seconds
    float previousLeft = 0.0f;
    float previousRight = 0.0f;
    float currentLeft = 0.0f;
    float currentRight = 0.0f;
    float pitchOffset = 0.0f;
    float previousPitchOffset = 0.0f;
    float filterEnvValue = 0.0f;
    float previousFilterEnvValue = 0.0f;
    uint8_t firstBlock = 0;

private:
    void BindSections(cAnalogueSynthSingle* newPatch);
    void RunModulation(float elapsed);
    void Glide(float elapsed);
    float Amplitude(float elapsed, float gain);
    float FilterStep(const cAudioProcessInfo& info);
    void SetPanGains(float amplitude, float pan);
    // The sample layer's pitch, rate and region for this block.
    void UpdateSampleLayer(float offset);

    cSamplePlayer mPlayer;
    cOscSection mOsc;
    cFilterSection mFilter;
    cEnvelope mFilterEnv;
    cEnvelope mAmpEnv;
    cEnvelope mAuxEnv;
    cLFO mLFO[4];
    cModMatrixEvaluator mMatrix;
    float mSampleRatio = 1.0f;
};
