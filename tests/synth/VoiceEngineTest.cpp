#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "SynthSoundFixture.h"
#include "audio/Transport.h"
#include "instruments/synth/AnalogueSynthMulti.h"

namespace
{
using tVoices = std::vector<const cAnalogueSynthVoice*>;

// A patch whose released voices go on sounding: a ten-second release.
cAnalogueSynthSingle LongRelease(int32_t polyphony)
{
    cAnalogueSynthSingle patch;
    patch.Polyphony = polyphony;
    patch.AmpEnv.R = 1.0f;
    return patch;
}

std::vector<int32_t> Notes(const tVoices& voices)
{
    std::vector<int32_t> notes;
    for (const cAnalogueSynthVoice* voice : voices)
        notes.push_back(voice->note);
    return notes;
}

std::vector<int32_t> States(const tVoices& voices)
{
    std::vector<int32_t> states;
    for (const cAnalogueSynthVoice* voice : voices)
        states.push_back(voice->state);
    return states;
}
} // namespace

class VoiceEngine : public cSynthSound
{
protected:
    // The synthesizer playing the patch as the store's first single, one
    // block on, when the voices have taken the patch's limit.
    std::unique_ptr<cAnalogueSynth> Play(const cAnalogueSynthSingle& patch)
    {
        store.GetSingle(0) = patch;
        auto synth = MakeSynth();
        Block(*synth);
        return synth;
    }
    // Drains the ring and runs one block.
    static void Block(cAnalogueSynth& synth) { Render(synth, kBlock); }
    static float BlockSeconds() { return float(kBlock) / kRate; }
};

// Legato: 64 after 60 glides the one voice up, releasing 64 glides it back,
// releasing 60 lets it go.
TEST_F(VoiceEngine, LegatoGlidesUpAndBackThenReleases)
{
    cAnalogueSynthSingle patch;
    patch.Polyphony = 0;
    patch.GlideTime = 0.1f;
    auto synth = Play(patch);
    NoteOn(*synth, 60, UserVoice(1));
    Block(*synth);
    NoteOn(*synth, 64, UserVoice(2));
    Block(*synth);
    tVoices voices = Voices(*synth);
    ASSERT_EQ(voices.size(), 1u);
    EXPECT_EQ(voices[0]->note, 64);
    EXPECT_FLOAT_EQ(voices[0]->targetPitch, 64.0f);
    EXPECT_NEAR(voices[0]->currentPitch, 60.0f + 4.0f * BlockSeconds() / 0.1f, 1e-4);
    Render(*synth, 44100 / 10);
    EXPECT_FLOAT_EQ(Voices(*synth)[0]->currentPitch, 64.0f);

    NoteOff(*synth, 64, UserVoice(2));
    Block(*synth);
    voices = Voices(*synth);
    ASSERT_EQ(voices.size(), 1u);
    EXPECT_EQ(voices[0]->state, cAnalogueSynthVoice::kHeld);
    EXPECT_EQ(voices[0]->note, 60);
    EXPECT_EQ(voices[0]->voiceId, UserVoice(1));
    EXPECT_LT(voices[0]->currentPitch, 64.0f);
    Render(*synth, 44100 / 10);
    EXPECT_FLOAT_EQ(Voices(*synth)[0]->currentPitch, 60.0f);

    NoteOff(*synth, 60, UserVoice(1));
    synth->DrainEvents();
    EXPECT_EQ(Voices(*synth)[0]->state, cAnalogueSynthVoice::kReleased);
    EXPECT_EQ(synth->GetVoiceEngine().GetHeldNoteCount(), 0);
}

// Polyphony 1: a second key cuts the first key's voice and starts its own;
// releasing it brings the first key back on a new voice.
TEST_F(VoiceEngine, PolyphonyOneRetriggers)
{
    auto synth = Play(LongRelease(1));
    NoteOn(*synth, 60, UserVoice(1));
    Block(*synth);
    const cAnalogueSynthVoice* first = Voices(*synth)[0];
    NoteOn(*synth, 64, UserVoice(2));
    synth->DrainEvents();
    EXPECT_EQ(Notes(Voices(*synth)), (std::vector<int32_t>{64, 60}));
    EXPECT_EQ(States(Voices(*synth)), (std::vector<int32_t>{1, 0}));
    Block(*synth);
    ASSERT_EQ(Voices(*synth).size(), 1u);
    const cAnalogueSynthVoice* second = Voices(*synth)[0];
    EXPECT_EQ(second->note, 64);

    NoteOff(*synth, 64, UserVoice(2));
    Block(*synth);
    const tVoices voices = Voices(*synth);
    ASSERT_EQ(voices.size(), 1u);
    EXPECT_EQ(voices[0]->note, 60);
    EXPECT_EQ(voices[0]->state, cAnalogueSynthVoice::kHeld);
    EXPECT_NE(voices[0], second);
    EXPECT_NE(voices[0], first);
}

// In multi mode a layer plays at most four voices: Polyphony 6 gives 3,
// Polyphony 4 gives 4; single mode takes Polyphony as it is.
TEST_F(VoiceEngine, MultiLayersPlayAtMostFourVoices)
{
    struct cCase
    {
        int32_t polyphony;
        int32_t mode;
        int32_t limit;
    };
    for (const cCase& c : {cCase{6, 1, 3}, cCase{4, 1, 4}, cCase{5, 1, 3}, cCase{6, 0, 6}, cCase{0, 1, 1}})
    {
        SCOPED_TRACE(testing::Message() << "Polyphony " << c.polyphony << " mode " << c.mode);
        auto synth = Play(LongRelease(c.polyphony));
        SetInt(*synth, MakeSynthParamId(kSynthParamMode), c.mode);
        Block(*synth);
        EXPECT_EQ(synth->GetVoiceEngine().GetLayerLimit(0), c.limit);
        for (int note = 60; note < 68; ++note)
            NoteOn(*synth, note, UserVoice(uint32_t(note)));
        Block(*synth);
        EXPECT_EQ(synth->GetVoiceEngine().GetLayerVoiceCount(0), c.limit);
        EXPECT_EQ(int32_t(Voices(*synth).size()), c.limit);
    }
}

// With all sixteen voices in use, the voice released first goes before any
// held one, even a held one older than it.
TEST_F(VoiceEngine, TheOldestReleasedVoiceIsStolenFirst)
{
    auto synth = Play(LongRelease(16));
    for (int n = 0; n < 16; ++n)
        NoteOn(*synth, 40 + n, UserVoice(uint32_t(n)));
    Block(*synth);
    NoteOff(*synth, 49, UserVoice(9));
    NoteOff(*synth, 45, UserVoice(5));
    Block(*synth);
    const auto count = [&](int note) {
        const std::vector<int32_t> notes = Notes(Voices(*synth));
        return std::count(notes.begin(), notes.end(), note);
    };
    NoteOn(*synth, 80, UserVoice(100));
    Block(*synth);
    ASSERT_EQ(Voices(*synth).size(), 16u);
    EXPECT_EQ(Voices(*synth).front()->note, 80);
    EXPECT_EQ(count(49), 0) << "released first, stolen first";
    EXPECT_EQ(count(45), 1);
    EXPECT_EQ(count(40), 1) << "the oldest held voice stays";

    // Then the other released voice, and only then the oldest held one.
    NoteOn(*synth, 81, UserVoice(101));
    Block(*synth);
    EXPECT_EQ(count(45), 0);
    EXPECT_EQ(count(40), 1);
    NoteOn(*synth, 82, UserVoice(102));
    Block(*synth);
    EXPECT_EQ(count(40), 0);
    EXPECT_EQ(Voices(*synth).size(), 16u);
}

// Velocity 0, and a note byte above 127, start nothing and are not held.
TEST_F(VoiceEngine, NotesThatCannotSoundAreIgnored)
{
    auto synth = Play(cAnalogueSynthSingle());
    NoteOn(*synth, 60, UserVoice(1), 0);
    NoteOn(*synth, 128, UserVoice(2), 100);
    NoteOn(*synth, 255, UserVoice(3), 100);
    Block(*synth);
    EXPECT_TRUE(Voices(*synth).empty());
    EXPECT_EQ(synth->GetVoiceEngine().GetHeldNoteCount(), 0);
    for (uint32_t first = 96; first < 160; first += 32)
        EXPECT_EQ(synth->GetParamInt(MakeSynthParamId(kSynthParamHeldKeys) | first << 8), 0);
}

// Only four notes are remembered: with five held, releasing down to the
// first key lets the voice go instead of gliding back to the forgotten note.
TEST_F(VoiceEngine, AFifthHeldNotePushesOutTheOldest)
{
    cAnalogueSynthSingle patch;
    patch.Polyphony = 0;
    patch.GlideTime = 0.0f;
    auto synth = Play(patch);
    const int notes[] = {60, 62, 64, 65, 67};
    for (int i = 0; i < 5; ++i)
        NoteOn(*synth, notes[i], UserVoice(uint32_t(i)));
    Block(*synth);
    const cAnalogueSynthVoiceEngine& engine = synth->GetVoiceEngine();
    ASSERT_EQ(engine.GetHeldNoteCount(), 4);
    EXPECT_EQ(engine.GetHeldNote(3).note, 62);
    for (int i = 4; i >= 2; --i)
    {
        NoteOff(*synth, notes[i], UserVoice(uint32_t(i)));
        Block(*synth);
        EXPECT_EQ(Voices(*synth)[0]->note, notes[i - 1]);
        EXPECT_EQ(Voices(*synth)[0]->state, cAnalogueSynthVoice::kHeld);
    }
    NoteOff(*synth, 62, UserVoice(1));
    Block(*synth);
    EXPECT_EQ(Voices(*synth)[0]->state, cAnalogueSynthVoice::kReleased);
}

TEST_F(VoiceEngine, CutsAndAllNotesOffEndVoicesAtOnce)
{
    auto synth = Play(LongRelease(8));
    const auto hold = [&] {
        for (int n = 0; n < 3; ++n)
            NoteOn(*synth, 60 + n, UserVoice(uint32_t(n)), 100, 4);
        Block(*synth);
    };
    hold();
    synth->PostEvent(Note(kAudioEventNoteCut, 61, 0, UserVoice(1), 4));
    synth->PostEvent(Note(kAudioEventNoteCut, 62, 0, UserVoice(2), 5)); // another slot: nothing
    Block(*synth);
    EXPECT_EQ(Notes(Voices(*synth)), (std::vector<int32_t>{62, 60}));
    EXPECT_EQ(synth->GetVoiceEngine().GetHeldNoteCount(), 2);

    // A transport stop's all-notes-off is for the sequencer's own notes.
    cAudioEvent off;
    off.type = kAudioEventAllNotesOff;
    off.flags = kAudioEventFlagTransportStop;
    synth->PostEvent(off);
    Block(*synth);
    EXPECT_EQ(Voices(*synth).size(), 2u);
    off.flags = 0;
    synth->PostEvent(off);
    Block(*synth);
    EXPECT_TRUE(Voices(*synth).empty());
    EXPECT_EQ(synth->GetVoiceEngine().GetHeldNoteCount(), 0);
}

// Releasing a MIDI device's notes (controllers 120 and 123) reaches only the
// live notes of that device.
TEST_F(VoiceEngine, ReleaseSourceReleasesOneDevicesLiveNotes)
{
    auto synth = Play(LongRelease(8));
    NoteOn(*synth, 60, MIDIVoice(3, 60));
    NoteOn(*synth, 62, MIDIVoice(3, 62));
    NoteOn(*synth, 64, MIDIVoice(4, 64));
    NoteOn(*synth, 65, UserVoice(3));
    Block(*synth);
    cAudioEvent release;
    release.type = kAudioEventReleaseLiveNotes;
    release.SetNote(3, 0);
    synth->PostEvent(release);
    Block(*synth);
    for (const cAnalogueSynthVoice* voice : Voices(*synth))
        EXPECT_EQ(voice->state, voice->note < 64 ? cAnalogueSynthVoice::kReleased : cAnalogueSynthVoice::kHeld)
            << voice->note;
    const cAnalogueSynthVoiceEngine& engine = synth->GetVoiceEngine();
    ASSERT_EQ(engine.GetHeldNoteCount(), 2);
    EXPECT_EQ(engine.GetHeldNote(0).note, 65);
    EXPECT_EQ(engine.GetHeldNote(1).note, 64);
}

// The held-key map marks the keys that held voices play until the editor
// asks for it to be cleared.
TEST_F(VoiceEngine, HeldKeysStayMarkedUntilCleared)
{
    auto synth = Play(LongRelease(8));
    NoteOn(*synth, 36, UserVoice(1));
    NoteOn(*synth, 70, UserVoice(2));
    NoteOn(*synth, 127, UserVoice(3));
    Block(*synth);
    const auto keys = [&](uint32_t first) {
        return uint32_t(synth->GetParamInt(MakeSynthParamId(kSynthParamHeldKeys) | first << 8));
    };
    EXPECT_EQ(keys(32), 1u << 4);
    EXPECT_EQ(keys(60), 1u << 10);
    EXPECT_EQ(keys(100), 1u << 27);
    EXPECT_EQ(keys(127), 1u);
    NoteOff(*synth, 70, UserVoice(2));
    Block(*synth);
    EXPECT_EQ(keys(60), 1u << 10) << "sticky";
    synth->GetVoiceEngine().RequestClearKeys();
    Block(*synth);
    EXPECT_EQ(keys(60), 0u);
    EXPECT_EQ(keys(32), 1u << 4);
}

// A glide takes GlideTime, one semitone or twelve.
TEST_F(VoiceEngine, GlidesTakeGlideTimeWhateverTheirDistance)
{
    for (int distance : {1, 12, -7})
    {
        SCOPED_TRACE(distance);
        cAnalogueSynthSingle patch;
        patch.Polyphony = 0;
        patch.GlideTime = 1.0f;
        auto synth = Play(patch);
        NoteOn(*synth, 60, UserVoice(1));
        Block(*synth);
        NoteOn(*synth, 60 + distance, UserVoice(2));
        int blocks = 0;
        while (Voices(*synth)[0]->currentPitch != float(60 + distance) && blocks < 1000)
        {
            Block(*synth);
            ++blocks;
        }
        EXPECT_NEAR(float(blocks) * BlockSeconds(), 1.0f, BlockSeconds());
    }
    // Without a glide time the pitch jumps.
    cAnalogueSynthSingle patch;
    patch.Polyphony = 0;
    patch.GlideTime = 0.0f;
    auto synth = Play(patch);
    NoteOn(*synth, 60, UserVoice(1));
    NoteOn(*synth, 72, UserVoice(2));
    Block(*synth);
    EXPECT_FLOAT_EQ(Voices(*synth)[0]->currentPitch, 72.0f);
}

// With track keys off every key plays note 60; bend and transpose still
// move it.
TEST_F(VoiceEngine, TrackKeysOffPlaysEveryKeyAtSixty)
{
    store.GetSingle(3) = LongRelease(4);
    store.GetSingle(3).BendRange = 12;
    cAnalogueSynthMulti& multi = store.GetMulti(0);
    multi.layers[0].Index = 3;
    multi.layers[0].TrackKeys = 0;
    multi.layers[0].Trans = -5;
    auto synth = MakeSynth();
    SetInt(*synth, MakeSynthParamId(kSynthParamMode), 1);
    Block(*synth);
    NoteOn(*synth, 40, UserVoice(1));
    NoteOn(*synth, 90, UserVoice(2));
    ModuleParam(*synth, 0, 0.5f);
    Block(*synth);
    for (const cAnalogueSynthVoice* voice : Voices(*synth))
    {
        EXPECT_FLOAT_EQ(voice->currentPitch, 60.0f);
        EXPECT_FLOAT_EQ(voice->pitchOffset, 60.0f - 5.0f + 6.0f);
    }
}

// The voice's gains: velocity, the layer's gain, the filter's level
// compensation, key scaling on the pitch, and 0.75 of that on each side at
// the centre.
TEST_F(VoiceEngine, GainsFollowVelocityKeyScalingAndThePanLaw)
{
    struct cCase
    {
        int note;
        float keyScale;
    };
    const cCase cases[] = {{24, 1.0f}, {36, 1.0f}, {48, 0.925f}, {60, 0.85f}, {72, 0.775f}, {84, 0.7f}, {96, 0.7f}};
    // Low-pass with the init filter envelope fully open: 1 - 0.15.
    constexpr float kFilterLevel = 0.85f;
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.note);
        auto synth = Play(cAnalogueSynthSingle());
        NoteOn(*synth, c.note, UserVoice(1), 100);
        Render(*synth, 8 * kBlock);
        const cAnalogueSynthVoice& voice = *Voices(*synth)[0];
        const float amplitude = 100.0f / 127.0f * cAnalogueSynth::kVoiceGain * kFilterLevel * c.keyScale;
        EXPECT_NEAR(voice.currentLeft, 0.75f * amplitude, 1e-5);
        EXPECT_NEAR(voice.currentRight, 0.75f * amplitude, 1e-5);
    }
}

// Live notes are copied to the sequencer, so that recording hears them; the
// sequencer's own playback is not. While keys erase notes they do not
// sound, but a note-off still releases what sounded before.
TEST_F(VoiceEngine, LiveNotesReachTheSequencerAndEraseKeysSilenceThem)
{
    cRecordingSequencer sequencer;
    auto synth = Play(LongRelease(8));
    NoteOn(*synth, 60, UserVoice(1));
    NoteOn(*synth, 61, SequencerVoice(2));
    NoteOn(*synth, 62, MIDIVoice(1, 62));
    Block(*synth);
    EXPECT_EQ(sequencer.TakeNotes(), (std::vector<int32_t>{60, 62}));

    gTransport.eraseKeys = 1;
    NoteOn(*synth, 70, UserVoice(3));
    NoteOn(*synth, 71, SequencerVoice(4));
    NoteOff(*synth, 60, UserVoice(1));
    NoteOff(*synth, 61, SequencerVoice(2));
    Block(*synth);
    gTransport.eraseKeys = 0;
    EXPECT_EQ(sequencer.TakeNotes(), (std::vector<int32_t>{70, -60}));
    const std::vector<int32_t> notes = Notes(Voices(*synth));
    EXPECT_EQ(std::count(notes.begin(), notes.end(), 70), 0);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), 71), 1);
    for (const cAnalogueSynthVoice* voice : Voices(*synth))
        if (voice->note == 60 || voice->note == 61)
        {
            EXPECT_EQ(voice->state, cAnalogueSynthVoice::kReleased);
        }
}
