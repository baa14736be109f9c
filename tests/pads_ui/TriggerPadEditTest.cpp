#include "PadEditorFixture.h"

#include <filesystem>
#include <functional>

#include "audio/ScopedTransport.h"
#include "audio/Transport.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadEditPopup.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelEdit.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
using Controls = cTriggerPadEditControls;

// The editor on the EDIT page of the desktop, editing one pad.
class PadEdit : public PadEditorFixture
{
protected:
    void OpenOnPad(int32_t pad)
    {
        Open();
        TapTab(cTriggerPadControlPanel::kPageEdit);
        if (pad != Edit()->GetPad())
            TapAt(PadCentre(pad));
        Frame();
        Events();
        ASSERT_EQ(Edit()->GetPad(), pad);
    }
    cTriggerPadPanelEdit* Edit() const
    {
        return static_cast<cTriggerPadPageEdit*>(Panel()->GetPage(cTriggerPadControlPanel::kPageEdit))->GetEditPanel();
    }
    cWidgetButton* Action(int32_t action) const { return Edit()->GetActionButton(action); }
    // A vertical drag from the control's centre.
    void Drag(cWidget* control, float dy)
    {
        const cVector2 centre = Centre(control->GetRect());
        Down(1, centre.X, centre.Y);
        for (int step = 1; step <= 10; ++step)
            Move(1, centre.X, centre.Y + dy * float(step) / 10.0f);
        Up(1, centre.X, centre.Y + dy);
        Frame();
    }
    // Lets the progress overlay finish the job it runs.
    void FinishJob() { Frame(4); }
    bool AlertShown() const { return root->HasLayer(host.alert); }
    std::string AlertTitle() const { return host.alert->GetName(); }
    bool AlertHas(int32_t button) const { return host.alert->GetButton(button)->IsVisible(); }
    const cTriggerPadData& Record(int32_t pad) { return Pads().GetActiveSet().pads[pad]; }
};

bool PostedInt(const std::vector<cAudioEvent>& events, uint32_t id, int32_t value)
{
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventSetIntParam && event.wordA == id && event.GetIntValue() == value)
            return true;
    return false;
}

bool PostedFloat(const std::vector<cAudioEvent>& events, uint32_t id, float value)
{
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventSetFloatParam && event.wordA == id && event.GetFloatValue() == value)
            return true;
    return false;
}
} // namespace

// Every value control of pad 5 posts its own kind of event on the pad's
// parameter, as the engine reads it.
TEST_F(PadEdit, ControlsAddressTheEditedPad)
{
    OpenOnPad(5);
    Controls* edit = Edit();
    const struct
    {
        const char* name;
        cWidget* control;
        bool drag;
        uint8_t type;
        uint32_t id;
    } controls[] = {
        {"VOL", edit->GetKnob(Controls::kKnobVolume), true, kAudioEventSetFloatParam, 0x00050002},
        {"PAN", edit->GetKnob(Controls::kKnobPan), true, kAudioEventSetFloatParam, 0x01050002},
        {"ATTACK", edit->GetKnob(Controls::kKnobAttack), true, kAudioEventSetFloatParam, 0x0a050002},
        {"RELEASE", edit->GetKnob(Controls::kKnobRelease), true, kAudioEventSetFloatParam, 0x0b050002},
        {"TRANSPOSE", edit->GetTransposeSpin(), true, kAudioEventSetIntParam, 0x02050002},
        {"PITCH", edit->GetPitchSpin(), true, kAudioEventSetIntParam, 0x03050002},
        {"GROUP", edit->GetGroupButton(), false, kAudioEventSetIntParam, 0x05050002},
        {"DIRECTION", edit->GetDirectionButton(), false, kAudioEventSetIntParam, 0x08050002},
        {"KEY MODE", edit->GetKeyModeButton(), false, kAudioEventSetIntParam, 0x09050002},
    };
    for (const auto& control : controls)
    {
        SCOPED_TRACE(control.name);
        if (control.drag)
            Drag(control.control, -60.0f);
        else
            TapAt(Centre(control.control->GetRect()));
        Frame();
        const std::vector<cAudioEvent> events = Events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().type, control.type);
        EXPECT_EQ(events.back().wordA, control.id);
        if (control.type == kAudioEventSetFloatParam)
            EXPECT_FLOAT_EQ(Pads().GetParamFloat(control.id), static_cast<cWidgetKnob*>(control.control)->GetValue());
        else
            EXPECT_EQ(Pads().GetParamInt(control.id), events.back().GetIntValue());
    }
    EXPECT_EQ(Pads().GetParamInt(PadId(5, cTriggerPadData::kParamTriggerMode)), 1) << "TRIG became HOLD";
    EXPECT_EQ(Pads().GetParamInt(PadId(4, cTriggerPadData::kParamTriggerMode)), 0) << "other pads keep theirs";
}

// The bus button of a pad on bus 3 wraps to bus 1: its label, the tile's
// tint and the engine follow.
TEST_F(PadEdit, TheBusButtonRoutesThePad)
{
    Open();
    Pads().PostEvent(MakeSetIntEvent(PadId(6, cTriggerPadData::kParamBus), 2));
    Events();
    editor->ModifyFlags(kWidgetStateDirty, 0, true);
    TapTab(cTriggerPadControlPanel::kPageEdit);
    TapAt(PadCentre(6));
    Frame();
    cTriggerPadButton* bus = Edit()->GetBusButton();
    EXPECT_STREQ(bus->GetName(), "BUS 3");
    EXPECT_EQ(Grid()->GetTile(6).bus, 2);
    Events();
    TapButton(bus);
    Frame();
    const std::vector<cAudioEvent> events = Events();
    // The grid reads the bus back once the engine has it.
    Grid()->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].wordA, 0x4000002u + 6u * 0x10000u);
    EXPECT_EQ(events[0].GetIntValue(), 0);
    EXPECT_STREQ(bus->GetName(), "BUS 1");
    EXPECT_EQ(bus->labelStyle.colour, cTriggerPadTile::BusCaptionColour(0));
    EXPECT_EQ(Grid()->GetTile(6).bus, 0);
}

// What the pad holds decides which actions are offered.
TEST_F(PadEdit, ActionsShowForWhatThePadHolds)
{
    Open();
    LoadPad(1, "Kick");
    LoadPad(2, "Gone");
    // A pad whose file went away keeps its path but has no sample.
    std::filesystem::remove(folder.Doc("User/Samples/Gone.wav"));
    Pads().ReleaseSamples();
    Pads().LoadSamples(false);
    const struct
    {
        int32_t pad;
        bool sampler;
        bool clear, edit, autoBpm, record;
    } cases[] = {
        {0, true, false, false, false, true},
        {1, true, true, true, true, true},
        {1, false, true, false, true, false},
        {2, true, true, false, false, true},
    };
    for (const auto& step : cases)
    {
        SCOPED_TRACE(testing::Message() << "pad " << step.pad << " sampler " << step.sampler);
        host.hasSampler = step.sampler;
        TapTab(cTriggerPadControlPanel::kPageEdit);
        Edit()->SelectPad(step.pad);
        Edit()->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
        EXPECT_EQ(Action(Controls::kActionClear)->IsVisible(), step.clear);
        EXPECT_EQ(Action(Controls::kActionEdit)->IsVisible(), step.edit);
        EXPECT_EQ(Action(Controls::kActionAutoBpm)->IsVisible(), step.autoBpm);
        EXPECT_EQ(Action(Controls::kActionRecord)->IsVisible(), step.record);
        EXPECT_FALSE(Action(Controls::kActionPaste)->IsVisible()) << "nothing copied yet";
    }
    TapButton(Action(Controls::kActionCopy));
    EXPECT_TRUE(Action(Controls::kActionPaste)->IsVisible());
}

// AUTO BPM re-pitches a loop to the nearest power-of-two count of bars.
TEST_F(PadEdit, AutoBpmFitsTheLoopToWholeBars)
{
    cScopedTransport transport;
    gTransport.tempo = 120.0f;
    gTransport.beatsPerBar = 4;
    const struct
    {
        double seconds;
        int32_t transpose, fine;
    } cases[] = {{4.2, 1, -7}, {100.0, 20, -13}, {2.0, 0, 0}};
    Open();
    for (const auto& loop : cases)
    {
        SCOPED_TRACE(loop.seconds);
        LoadPad(3, "Loop" + std::to_string(int(loop.seconds * 10.0)), int32_t(loop.seconds * 44100.0));
        TapTab(cTriggerPadControlPanel::kPageEdit);
        Edit()->SelectPad(3);
        Frame();
        Events();
        TapButton(Action(Controls::kActionAutoBpm));
        const std::vector<cAudioEvent> events = Events();
        EXPECT_TRUE(PostedInt(events, PadId(3, cTriggerPadData::kParamTranspose), loop.transpose));
        EXPECT_TRUE(PostedInt(events, PadId(3, cTriggerPadData::kParamFineTune), loop.fine));
        EXPECT_EQ(Edit()->GetTransposeSpin()->GetValue(), loop.transpose);
        EXPECT_EQ(Edit()->GetPitchSpin()->GetValue(), loop.fine);
    }
}

// COPY keeps the record and says so; PASTE asks, then shares the file
// ("No") or copies it into the project ("OK"); an empty copy empties the
// pad without a word.
TEST_F(PadEdit, CopyAndPaste)
{
    folder.Write("User/Projects/Song.prj/Song.xml", "<Song/>");
    const std::string snare = LoadPad(3, "Snare");
    Pads().PostEvent(MakeSetFloatEvent(PadId(3, cTriggerPadData::kParamVolume), 0.25f));
    Events();
    OpenOnPad(3);
    TapButton(Action(Controls::kActionCopy));
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back(), "Copied '04. Snare'");
    EXPECT_FLOAT_EQ(host.messageSeconds.back(), 1.5f);

    const struct
    {
        int32_t pad;
        int32_t answer;
        std::string path;
    } pastes[] = {{9, kAlertNo, snare}, {10, kAlertOK, "User/Projects/Song.prj/Snare.wav"}};
    for (const auto& paste : pastes)
    {
        SCOPED_TRACE(paste.pad);
        Edit()->SelectPad(paste.pad);
        Frame();
        TapButton(Action(Controls::kActionPaste));
        Frame(20);
        ASSERT_TRUE(AlertShown());
        EXPECT_EQ(AlertTitle(), "Paste '4. Snare' to '" + std::to_string(paste.pad + 1) + ". <EMPTY>'");
        EXPECT_STREQ(host.alert->firstLine.CStr(), "Do you wish to make a new copy of the sample?");
        EXPECT_TRUE(AlertHas(kAlertCancel) && AlertHas(kAlertOK) && AlertHas(kAlertNo));
        const size_t messages = host.messages.size();
        Answer(paste.answer);
        FinishJob();
        EXPECT_STREQ(Record(paste.pad).samplePath.CStr(), paste.path.c_str());
        EXPECT_NE(Pads().GetSample(paste.pad), nullptr);
        EXPECT_FLOAT_EQ(Record(paste.pad).volume, 0.25f);
        EXPECT_EQ(host.messages.size(), messages) << "a paste says nothing";
    }
    EXPECT_TRUE(folder.Exists("User/Projects/Song.prj/Snare.wav"));

    // An empty pad pasted over a loaded one.
    Edit()->SelectPad(0);
    Frame();
    TapButton(Action(Controls::kActionCopy));
    Edit()->SelectPad(9);
    Frame();
    TapButton(Action(Controls::kActionPaste));
    Frame(20);
    EXPECT_EQ(AlertTitle(), "Paste '1. <EMPTY>' to '10. Snare'");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Do you wish to overwrite the pad's current settings?");
    EXPECT_FALSE(AlertHas(kAlertNo));
    const size_t messages = host.messages.size();
    Answer(kAlertOK);
    FinishJob();
    EXPECT_TRUE(Record(9).samplePath.IsEmpty());
    EXPECT_EQ(Pads().GetSample(9), nullptr);
    EXPECT_FALSE(AlertShown());
    EXPECT_EQ(host.messages.size(), messages);
}

// A paste whose sample cannot be read puts the pad back as it was and says
// why.
TEST_F(PadEdit, AFailedPasteLeavesThePadAsItWas)
{
    folder.Write("User/Projects/Song.prj/Song.xml", "<Song/>");
    LoadPad(3, "Snare");
    const std::string hat = LoadPad(9, "Hat");
    OpenOnPad(3);
    TapButton(Action(Controls::kActionCopy));
    std::filesystem::remove(folder.Doc("User/Samples/Snare.wav"));
    Edit()->SelectPad(9);
    Frame();
    const cSample* before = Pads().GetSample(9);
    TapButton(Action(Controls::kActionPaste));
    // A fresh copy of a file that has gone.
    Answer(kAlertOK);
    FinishJob();
    Frame(20);
    ASSERT_TRUE(AlertShown());
    EXPECT_EQ(AlertTitle(), "Load Failed");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Couldn't read 'Snare.wav'");
    EXPECT_STREQ(Record(9).samplePath.CStr(), hat.c_str());
    EXPECT_STREQ(Record(9).name.CStr(), "Hat");
    EXPECT_EQ(Pads().GetSample(9), before);
}

// LOAD asks the browser for a WAV below "User", then loads it behind the
// overlay; a file that fails leaves the pad as it was.
TEST_F(PadEdit, LoadThroughTheBrowser)
{
    OpenOnPad(2);
    host.lastFolder = "User/Samples/";
    folder.Write("User/Samples/Clap.wav", PadTest::LevelWav(2000, 0.5f));
    TapButton(Action(Controls::kActionLoad));
    ASSERT_EQ(host.requests.size(), 1u);
    const cTriggerPadBrowserRequest& request = host.requests[0];
    EXPECT_STREQ(request.title, "Load Sample");
    EXPECT_STREQ(request.rootFolder, "User");
    EXPECT_STREQ(request.path.CStr(), "User/Samples/");
    ASSERT_EQ(request.fileTypeCount, 1);
    EXPECT_STREQ(request.fileTypes[0].extension, "wav");
    EXPECT_EQ(request.flags, 25u);
    host.AnswerBrowser(1, "User/Samples/Clap.wav");
    FinishJob();
    EXPECT_EQ(host.messages.back(), "Loaded Sample 'Clap'");
    EXPECT_FLOAT_EQ(host.messageSeconds.back(), 2.5f);
    EXPECT_EQ(host.lastFolder, "User/Samples/Clap.wav");
    EXPECT_STREQ(Record(2).samplePath.CStr(), "User/Samples/Clap.wav");
    const cSample* clap = Pads().GetSample(2);
    ASSERT_NE(clap, nullptr);

    // A damaged file.
    folder.Write("User/Samples/Broken.wav", "RIFF1234WAVEjunk");
    TapButton(Action(Controls::kActionLoad));
    EXPECT_STREQ(host.requests.back().path.CStr(), "User/Samples/Clap.wav") << "the browser starts at the pad's file";
    host.AnswerBrowser(1, "User/Samples/Broken.wav");
    FinishJob();
    Frame(20);
    ASSERT_TRUE(AlertShown());
    EXPECT_EQ(AlertTitle(), "Load Failed");
    EXPECT_STRNE(host.alert->firstLine.CStr(), "");
    EXPECT_STREQ(Record(2).samplePath.CStr(), "User/Samples/Clap.wav");
    EXPECT_STREQ(Record(2).name.CStr(), "Clap");
    EXPECT_EQ(Pads().GetSample(2), clap);
    EXPECT_STREQ(Edit()->GetPadSelector()->GetText(), "03. Clap");

    // A browser closed without a choice loads nothing.
    const size_t messages = host.messages.size();
    TapButton(Action(Controls::kActionLoad));
    host.AnswerBrowser(0, "");
    FinishJob();
    EXPECT_EQ(host.messages.size(), messages);
}

// CLEAR asks first; only "OK" unloads.
TEST_F(PadEdit, ClearAsksFirst)
{
    LoadPad(4, "Tom");
    OpenOnPad(4);
    for (const int32_t answer : {kAlertCancel, kAlertOK})
    {
        TapButton(Action(Controls::kActionClear));
        Frame(20);
        EXPECT_EQ(AlertTitle(), "Clear Pad 05");
        EXPECT_STREQ(host.alert->firstLine.CStr(), "Unload sample 'Tom'?");
        Answer(answer);
        EXPECT_EQ(Pads().GetSample(4) != nullptr, answer == kAlertCancel);
    }
    EXPECT_FALSE(Action(Controls::kActionClear)->IsVisible());
}

// EDIT hands the sampler the pad's sample, RECORD none; the sampler's file
// comes back into the pad, and a recording starts from neutral settings.
TEST_F(PadEdit, TheSamplerResultComesBackIntoThePad)
{
    host.hasSampler = true;
    LoadPad(7, "Vox");
    OpenOnPad(7);
    folder.Write("User/Samples/Take.wav", PadTest::LevelWav(3000, 0.5f));

    TapButton(Action(Controls::kActionEdit));
    ASSERT_EQ(host.samplerSamples.size(), 1u);
    EXPECT_EQ(host.samplerSamples[0], Pads().GetSample(7));
    host.AnswerSampler(0, "");
    EXPECT_STREQ(Record(7).name.CStr(), "Vox") << "a cancelled sampler changes nothing";

    Events();
    TapButton(Action(Controls::kActionRecord));
    ASSERT_EQ(host.samplerSamples.size(), 2u);
    EXPECT_EQ(host.samplerSamples[1], nullptr);
    host.AnswerSampler(1, "User/Samples/Take.wav");
    Frame();
    EXPECT_STREQ(Record(7).samplePath.CStr(), "User/Samples/Take.wav");
    ASSERT_NE(Pads().GetSample(7), nullptr);
    const std::vector<cAudioEvent> events = Events();
    for (const auto& [parameter, value] : {std::pair{cTriggerPadData::kParamVolume, 0.5f},
                                           std::pair{cTriggerPadData::kParamPan, 0.5f},
                                           std::pair{cTriggerPadData::kParamAttack, 0.0f},
                                           std::pair{cTriggerPadData::kParamRelease, 0.0f}})
        EXPECT_TRUE(PostedFloat(events, PadId(7, parameter), value)) << parameter;
    for (const int32_t parameter :
         {cTriggerPadData::kParamFineTune, cTriggerPadData::kParamTranspose, cTriggerPadData::kParamDirection})
        EXPECT_TRUE(PostedInt(events, PadId(7, parameter), 0)) << parameter;
}

// The phone's pop-up plays its pad while the audition button is held; a
// press cut short by the pop-up going away, or by a dialogue, still ends
// the note.
TEST_F(PadEdit, ThePopUpAuditionAlwaysEnds)
{
    Open(kDeviceClassPhone);
    LoadPad(5, "Pad");
    Pads().PostEvent(MakeSetIntEvent(PadId(5, cTriggerPadData::kParamTriggerMode), 2));
    Events();
    TapTab(cTriggerPadControlPanel::kPageEdit);
    const auto pressAudition = [&]
    {
        editor->OpenEditPopup(5);
        Frame(2);
        Events();
        const cVector2 centre = Centre(editor->GetEditPopup()->GetAuditionButton()->GetTouchRect());
        Down(1, centre.X, centre.Y);
        Frame();
        const std::vector<cAudioEvent> on = Events();
        EXPECT_TRUE(!on.empty() && on.back().type == kAudioEventNoteOn && on.back().GetNote() == 53);
        return on.empty() ? 0u : on.back().wordB;
    };
    const std::function<void()> interruptions[] = {
        [&] { editor->CloseEditPopup(); },
        [&]
        {
            host.alert->Reset(0x600);
            host.alert->SetButton(kAlertOK, "OK");
            host.alert->Show(cDelegate());
        },
    };
    for (const auto& interrupt : interruptions)
    {
        const uint32_t id = pressAudition();
        interrupt();
        Frame();
        std::vector<cAudioEvent> off;
        for (const cAudioEvent& event : Events())
            if (event.type == kAudioEventNoteOn || event.type == kAudioEventNoteOff)
                off.push_back(event);
        ASSERT_EQ(off.size(), 1u);
        EXPECT_EQ(off[0].type, kAudioEventNoteOff);
        EXPECT_EQ(off[0].wordB, id);
        const cVector2 centre = Centre(editor->GetEditPopup()->GetAuditionButton()->GetTouchRect());
        Up(1, centre.X, centre.Y);
        Frame();
        for (const cAudioEvent& event : Events())
            EXPECT_NE(event.type, kAudioEventNoteOff) << "the release after the cut posts nothing more";
        if (root->HasLayer(host.alert))
            Answer(kAlertOK);
    }
}
