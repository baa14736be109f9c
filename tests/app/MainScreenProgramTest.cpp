#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "app/MainUI.h"
#include "app/WidgetKeyboard.h"
#include "app/WidgetStatusBar.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "ui/WidgetMultiButton.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/TonePitch.h"
#include "base/MessageQueue.h"
#include "base/CriticalSection.h"
#include "mixer/MixerChannel.h"
#include "platform/PlaybackStateService.h"
#include "project/ProjectSlots.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/WidgetButton.h"

// The whole program in this process, headless, on the disk audio device:
// the status bar's play button sounds the song through the mixer, Space
// stops it, and a name typed on the computer's keyboard reaches the
// on-screen keyboard's prompt.
namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kC4 = 60;

// One sine voice per held note, on a mixer strip as every instrument has.
class cToneModule : public cAudioModule
{
public:
    explicit cToneModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (event.type == kAudioEventNoteOn)
        {
            mNote = event.GetNote();
            mVoice = event.wordB;
        }
        else if ((event.type == kAudioEventNoteOff && event.wordB == mVoice) || event.type == kAudioEventAllNotesOff)
            mNote = -1;
        return 0;
    }
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        if (mNote < 0)
            return 0;
        const double step = 2.0 * M_PI * 440.0 * std::pow(2.0, (mNote - 69) / 12.0) / double(info.sampleRate);
        float* out = buffer.Floats();
        for (uint32_t f = 0; f < buffer.frames; ++f, mPhase += step)
            for (uint32_t c = 0; c < buffer.channels; ++c)
                out[f * buffer.channels + c] += 0.25f * float(std::sin(mPhase));
        return 0;
    }

private:
    int32_t mNote = -1;
    uint32_t mVoice = 0;
    double mPhase = 0.0;
};

class cToneInstrument : public cInstrument
{
public:
    explicit cToneInstrument(cInstrumentPackage* package)
    {
        mPackage = package;
        SetName("Tone");
        SetModule(new cToneModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
};

class cTonePackage : public cInstrumentPackage
{
public:
    cTonePackage() { mName.AssignCStr("Tone"); }
    ~cTonePackage() override
    {
        while (cInstrument* instrument = mInstruments.PopFront())
            delete instrument;
    }
    cInstrument* CreateInstrument(int32_t) override
    {
        auto* instrument = new cToneInstrument(this);
        AddInstrument(instrument);
        return instrument;
    }
    void DestroyInstrument(cInstrument* instrument) override
    {
        RemoveInstrument(instrument);
        delete instrument;
    }
    bool IsSampleInUse(const cGenString&) override { return false; }
    bool Reload() override { return true; }
    bool LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&) override { return true; }
    bool SaveProjectData(const cGenString&, cSampleRelocator*, bool) override { return true; }
};

// A C4 held through the part, in slot 2's track, added under the song's lock.
void PutToneInSlot2(cTonePackage& package)
{
    SetInstrumentSlot(package.CreateInstrument(0), 2, true);
    CreateMissingInstrumentTracks();
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLock lock(sequencer->GetLock());
    const cTrackList::cGroup& group = sequencer->GetTrackList()->GetGroup(2);
    cTrack* track = sequencer->GetTrackList()->GetTrack(group.first);
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    part->start = 0;
    part->length = 4096;
    part->pattern->loopLength = 4096;
    cPatternEvent* note = cPatternEvent::Allocate();
    note->time = 0;
    note->length = 4000;
    note->SetNote(kC4);
    note->SetVelocity(100);
    part->pattern->InsertEventSorted(note);
    track->InsertPart(part);
}

cVector2 ButtonCentre(int32_t tag)
{
    const cRect& rect = cMainUI::GetInstance()->GetStatusBar()->GetButton(tag)->GetRect();
    return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f};
}

std::vector<int16_t> ReadLeft(const std::string& path)
{
    std::vector<int16_t> left;
    if (FILE* file = std::fopen(path.c_str(), "rb"))
    {
        int16_t frame[2];
        while (std::fread(frame, sizeof(int16_t), 2, file) == 2)
            left.push_back(frame[0]);
        std::fclose(file);
    }
    return left;
}

size_t FileFrames(const std::string& path)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return error ? 0 : size_t(bytes / 4);
}

TEST(MainScreenProgramTest, PlaySoundsTheSongAndSpaceStopsIt)
{
    const std::string audio = TestScratchFolder() + "/main-screen-" + std::to_string(getpid()) + ".raw";
    std::remove(audio.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", audio.c_str(), 1);
    EmptyInProcessDocumentsOfAReturningUser();
    cTonePackage package;
    size_t playAt = 0, spaceAt = 0;
    const int frames = kStartupCoverFrames + 5 * 60;
    auto* application = new cScriptedApplication(
        frames,
        [&](cScriptedApplication&, int frame)
        {
            if (frame == 2)
                PutToneInSlot2(package);
            else if (frame == kStartupCoverFrames + 30)
            {
                const cVector2 play = ButtonCentre(cWidgetStatusBar::kPlay);
                playAt = FileFrames(audio);
                PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, int(play.X), int(play.Y));
                PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, int(play.X), int(play.Y));
            }
            else if (frame == kStartupCoverFrames + 90)
            {
                spaceAt = FileFrames(audio);
                PushKey(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE);
                PushKey(SDL_KEYUP, SDL_SCANCODE_SPACE, SDLK_SPACE);
            }
        });
    EXPECT_EQ(RunInProcess(application), 0);
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const std::vector<int16_t> left = ReadLeft(audio);
    std::remove(audio.c_str());
    ASSERT_GT(spaceAt, playAt);
    ASSERT_GT(left.size(), spaceAt + size_t(2 * kSampleRate)) << "less than two seconds after Space";
    // The tone, measured over the half second after the click was heard.
    size_t heard = playAt;
    while (heard < spaceAt && left[heard] == 0)
        ++heard;
    ASSERT_LT(heard, spaceAt) << "nothing was played";
    const size_t span = size_t(kSampleRate / 2);
    ASSERT_LT(heard + span, left.size());
    EXPECT_NEAR(TonePitch(left.data() + heard, span, kSampleRate), 261.63, 2.6);
    // Silent within two seconds of Space.
    const size_t quiet = spaceAt + size_t(2 * kSampleRate);
    for (size_t i = quiet; i < left.size(); ++i)
        ASSERT_EQ(left[i], 0) << "still sounding " << double(i - spaceAt) / kSampleRate << " s after Space";
}

TEST(MainScreenProgramTest, ANamePromptTakesTypedTextFilteredForFileNames)
{
    EmptyInProcessDocumentsOfAReturningUser();
    std::string result;
    int resultCode = -1;
    struct cReceiver
    {
        std::string* text;
        int* code;
        intptr_t OnDone(int32_t code, cWidgetKeyboard* keyboard)
        {
            *this->code = code;
            *text = keyboard->GetRequest().text.CStr();
            return 0;
        }
    } receiver{&result, &resultCode};
    int32_t transportWhileTyping = -1;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 60,
        [&](cScriptedApplication&, int step)
        {
            const int frame = step - kStartupCoverFrames;
            if (frame == 10)
                transportWhileTyping = gPlaybackStateService->GetState(cPlaybackStateService::kSlotTransport);
            if (frame == 2)
            {
                cWidgetKeyboard::cRequest request;
                request.maxLength = 32;
                request.selectAll = 1;
                request.text.AssignCStr("kick.wav");
                cMainUI::GetInstance()->GetKeyboard()->Prompt(request, cDelegate(&receiver, &cReceiver::OnDone));
            }
            else if (frame == 20)
            {
                for (const char* typed : {"s", "n", ".", "a", "r", "e"})
                    PushText(typed);
                PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN);
                PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN);
            }
        });
    EXPECT_EQ(RunInProcess(application), 0);
    EXPECT_EQ(resultCode, cWidgetKeyboard::kAccepted);
    EXPECT_EQ(result, "snare.wav");
    EXPECT_EQ(transportWhileTyping, 3) << "the transport is not on a drop-down without it";
}

// What the shell tells the user through the status bar: the engine's
// messages, a damaged settings file, low memory.
TEST(MainScreenProgramTest, TheShellWritesItsNoticesIntoTheStatusBar)
{
    EmptyInProcessDocuments();
    std::ofstream(InProcessDocuments() + "/GlobalSettings.dat") << "not a settings file";
    std::vector<std::string> seen;
    bool blinking = false;
    auto* application = new cScriptedApplication(
        12,
        [&](cScriptedApplication& app, int frame)
        {
            cWidgetStatusBar* bar = cMainUI::GetInstance()->GetStatusBar();
            if (frame == 2)
            {
                seen.push_back(bar->GetMessageText());
                gMessageQueue->Push({nullptr, cMessageQueue::kTypeMIDIChannel, 9});
            }
            else if (frame == 4)
            {
                seen.push_back(bar->GetMessageText());
                app.HandleLowMemory();
                seen.push_back(bar->GetMessageText());
                blinking = bar->IsMessageBlinking() && bar->GetMessageTimer() == 4.0f;
            }
        });
    EXPECT_EQ(RunInProcess(application), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"SETTINGS DAMAGED - Using defaults", "VuvozIvuvedu MIDI Channel 10",
                                              "MEMORY LOW - Save your work"}));
    EXPECT_TRUE(blinking);
}
} // namespace

namespace
{
void ClickAt(const cVector2& point)
{
    PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, int(point.X), int(point.Y));
    PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, int(point.X), int(point.Y));
}

cVector2 CellCentre(cWidgetMultiButton* selector, int32_t item)
{
    const cRect& r = selector->items[size_t(item)].normalImage.layoutRect;
    return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f};
}

// QUANTIZE opens "Record Quantize"; "1/8" and the triplet cell make the
// button read "1/8T"; the closed project's song keeps it, and the next start
// shows it again.
TEST(MainScreenProgramTest, TheRecordQuantizeChosenOnTheBarIsKeptWithTheSong)
{
    EmptyInProcessDocumentsOfAReturningUser();
    constexpr int32_t kEighth = 4, kTripletCell = 1;
    const int start = kStartupCoverFrames;
    std::string title, label;
    auto* application = new cScriptedApplication(
        start + 40,
        [&](cScriptedApplication&, int frame)
        {
            cWidgetStatusBar* bar = cMainUI::GetInstance()->GetStatusBar();
            cQuantizeSettingsUI* settings = bar->GetRecordQuantizeDialogue()->GetSettingsUI();
            if (frame == start)
                ClickAt(ButtonCentre(cWidgetStatusBar::kQuantize));
            else if (frame == start + 10)
            {
                if (bar->GetRecordQuantizeDialogue()->IsShown())
                    title = bar->GetRecordQuantizeDialogue()->GetName();
                ClickAt(CellCentre(settings->GetIntervalSelector(), kEighth));
            }
            else if (frame == start + 20)
                ClickAt(CellCentre(settings->GetFeelSelector(), kTripletCell));
            else if (frame == start + 30)
                label = bar->GetQuantizeLabel();
        });
    ASSERT_EQ(RunInProcess(application), 0);
    EXPECT_EQ(title, "Record Quantize");
    EXPECT_EQ(label, "1/8T");

    std::ifstream song(InProcessDocuments() + "/User/Projects/Untitled-01.prj/Package.sng", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(song)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 180u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 172, bytes.begin() + 180),
              (std::vector<uint8_t>{4, 0, 0, 0, 2, 0, 0, 0}));

    cWidgetStatusBar::ApplyRecordQuantize(cQuantizeSettings());
    label.clear();
    application = new cScriptedApplication(60,
                                           [&](cScriptedApplication&, int)
                                           { label = cMainUI::GetInstance()->GetStatusBar()->GetQuantizeLabel(); });
    ASSERT_EQ(RunInProcess(application), 0);
    EXPECT_EQ(label, "1/8T");
}
} // namespace
