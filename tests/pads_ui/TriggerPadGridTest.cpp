#include "PadEditorFixture.h"

#include "audio/AllocationCounter.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelEdit.h"
#include "instruments/pads/ui/TriggerPadEditPopup.h"

namespace
{
using PadGrid = PadEditorFixture;

struct cNote
{
    uint8_t type;
    int32_t note;
    int32_t velocity;
    uint32_t id;
};

std::vector<cNote> Notes(const std::vector<cAudioEvent>& events)
{
    std::vector<cNote> notes;
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventNoteOn || event.type == kAudioEventNoteOff)
            notes.push_back({event.type, event.GetNote(), event.GetVelocity(), event.wordB});
    return notes;
}

// The mute bits a gesture toggled, in order, as the engine received them.
std::vector<std::pair<int32_t, int32_t>> MuteToggles(const std::vector<cAudioEvent>& events)
{
    std::vector<std::pair<int32_t, int32_t>> toggles;
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventSetIntParam && (event.wordA & 0xffff) == 0x0302)
            toggles.push_back({int32_t((event.wordA - 0x0302) / 0x10000), event.GetIntValue()});
    return toggles;
}
} // namespace

// The bottom-left corner is pad 0 (note 48), the top-right pad 15 (63).
TEST_F(PadGrid, CornersPlayTheLowestAndHighestPads)
{
    Open();
    const cRect& rect = Grid()->GetRect();
    const struct
    {
        float x, y;
        int32_t note;
    } corners[] = {{rect.xMin + 1, rect.yMax - 1, 48}, {rect.xMax - 1, rect.yMin + 1, 63}};
    for (const auto& corner : corners)
    {
        TapAt({corner.x, corner.y});
        const std::vector<cNote> notes = Notes(Events());
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_EQ(notes[0].type, kAudioEventNoteOn);
        EXPECT_EQ(notes[0].note, corner.note);
        EXPECT_EQ(notes[1].type, kAudioEventNoteOff);
        EXPECT_EQ(notes[1].id, notes[0].id) << "the release ends the note it began";
    }
}

// The four rows of keys play the grid's rows from the top, at the editor's
// velocity with a user id; a release ends the key's note.
TEST_F(PadGrid, KeysPlayTheirPads)
{
    Open();
    const int32_t firstScanCodes[] = {2, 16, 30, 44};
    const int32_t firstPads[] = {12, 8, 4, 0};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
        {
            const int32_t scanCode = firstScanCodes[row] + column;
            Key(1, scanCode);
            Key(0, scanCode);
            const std::vector<cAudioEvent> events = Events();
            ASSERT_EQ(events.size(), 2u) << scanCode;
            EXPECT_EQ(events[0].type, kAudioEventNoteOn);
            EXPECT_EQ(events[0].GetNote(), 48 + firstPads[row] + column) << scanCode;
            EXPECT_EQ(events[0].GetVelocity(), 100);
            EXPECT_EQ(events[0].slot, 1);
            EXPECT_TRUE(IsUserId(events[0].wordB));
            EXPECT_EQ(events[1].type, kAudioEventNoteOff);
            EXPECT_EQ(events[1].wordB, events[0].wordB);
        }
}

// Other keys, extended keys and characters are left to whoever else wants
// them; a key released without its press ends nothing.
TEST_F(PadGrid, OtherKeysAndCharactersAreNotHandled)
{
    Open();
    for (int32_t scanCode : {1, 6, 15, 20, 29, 34, 43, 48, 57, 0x102, 0x11c})
    {
        const cKeyEvent press = {1, KeyCodeOf(scanCode), -1, scanCode};
        EXPECT_FALSE(Grid()->HandleKey(&press)) << scanCode;
    }
    const cKeyEvent character = {1, -1, 'Q', 16};
    EXPECT_FALSE(Grid()->HandleKey(&character));
    const cKeyEvent release = {0, 'Z', -1, 44};
    EXPECT_TRUE(Grid()->HandleKey(&release));
    EXPECT_TRUE(Events().empty());
}

// A finger sliding from pad 0 to pad 1 ends note 48 with the press's id and
// starts note 49 with a new one.
TEST_F(PadGrid, ASlideMovesTheNote)
{
    Open();
    const cVector2 from = PadCentre(0), to = PadCentre(1);
    Down(1, from.X, from.Y);
    Move(1, to.X, to.Y);
    const std::vector<cNote> notes = Notes(Events());
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1].type, kAudioEventNoteOff);
    EXPECT_EQ(notes[1].note, 48);
    EXPECT_EQ(notes[1].id, notes[0].id);
    EXPECT_EQ(notes[2].type, kAudioEventNoteOn);
    EXPECT_EQ(notes[2].note, 49);
    EXPECT_NE(notes[2].id, notes[0].id);
    EXPECT_TRUE(IsUserId(notes[2].id));
    Up(1, to.X, to.Y);
    EXPECT_EQ(Notes(Events()).back().id, notes[2].id);
}

// In mute mode a slide toggles each pad along its column once; a diagonal
// step toggles only the pad it reaches. The engine's mute word follows.
TEST_F(PadGrid, MuteModeTogglesAlongRowsAndColumns)
{
    Open();
    TapButton(Panel()->GetMuteButton());
    ASSERT_TRUE(editor->IsMuteMode());
    const struct
    {
        std::vector<int32_t> path;
        std::vector<std::pair<int32_t, int32_t>> toggles;
    } cases[] = {
        {{0, 12}, {{0, 1}, {4, 1}, {8, 1}, {12, 1}}},
        {{12, 0}, {{12, 0}, {8, 0}, {4, 0}, {0, 0}}},
        {{0, 5}, {{0, 1}, {5, 1}}},
        {{3, 0}, {{3, 1}, {2, 1}, {1, 1}, {0, 0}}},
    };
    for (const auto& gesture : cases)
    {
        const cVector2 start = PadCentre(gesture.path.front()), end = PadCentre(gesture.path.back());
        Down(1, start.X, start.Y);
        Move(1, end.X, end.Y);
        Up(1, end.X, end.Y);
        const std::vector<cAudioEvent> events = Events();
        EXPECT_EQ(MuteToggles(events), gesture.toggles);
        EXPECT_TRUE(Notes(events).empty()) << "mute mode plays nothing";
    }
    Frame();
    const uint32_t word = uint32_t(Pads().GetParamInt(0x202));
    EXPECT_EQ(word, (1u << 1) | (1u << 2) | (1u << 3) | (1u << 5));
    EXPECT_EQ(Grid()->GetMuteMask(), word);
}

// With the EDIT tab on a desktop, a press on another pad selects it and
// plays nothing, a press on the edited pad plays it, and keys still play.
TEST_F(PadGrid, SelectModeOnTheDesktopSelectsThenPlays)
{
    Open();
    TapTab(cTriggerPadControlPanel::kPageEdit);
    Events();
    ASSERT_TRUE(editor->IsSelectMode());
    EXPECT_EQ(editor->GetEditedPad(), 0);
    TapAt(PadCentre(6));
    EXPECT_TRUE(Notes(Events()).empty());
    EXPECT_EQ(editor->GetEditedPad(), 6);
    TapAt(PadCentre(6));
    EXPECT_EQ(Notes(Events()).size(), 2u);
    Key(1, 44);
    Key(0, 44);
    const std::vector<cNote> keyed = Notes(Events());
    ASSERT_EQ(keyed.size(), 2u);
    EXPECT_EQ(keyed[0].note, 48);
    EXPECT_EQ(editor->GetEditedPad(), 6) << "keys do not select";
}

// On the phone a press in select mode opens the pad editor on that pad.
TEST_F(PadGrid, SelectModeOnThePhoneOpensThePopUp)
{
    Open(kDeviceClassPhone);
    TapTab(cTriggerPadControlPanel::kPageEdit);
    Events();
    TapAt(PadCentre(9));
    Frame();
    EXPECT_TRUE(Notes(Events()).empty());
    ASSERT_NE(editor->GetEditPopup(), nullptr);
    EXPECT_TRUE(editor->GetEditPopup()->IsVisible());
    EXPECT_FALSE(Grid()->IsVisible());
    EXPECT_FALSE(Panel()->IsVisible());
    EXPECT_EQ(editor->GetEditPopup()->GetPad(), 9);
    TapButton(editor->GetEditPopup()->GetDoneButton());
    EXPECT_TRUE(Grid()->IsVisible());
    EXPECT_FALSE(editor->GetEditPopup()->IsVisible());
}

// Every way held pads can lose their release ends their notes: detaching
// the instrument, and all notes off.
TEST_F(PadGrid, HeldPadsEndWhenTheEditorLetsGo)
{
    Open();
    for (const bool detach : {false, true})
    {
        const cVector2 a = PadCentre(2), b = PadCentre(7);
        Down(1, a.X, a.Y);
        Down(2, b.X, b.Y);
        Key(1, 30);
        const std::vector<cNote> on = Notes(Events());
        ASSERT_EQ(on.size(), 3u);
        if (detach)
            editor->SetInstrument(nullptr);
        else
            instrument.AllNotesOff(0);
        std::vector<uint32_t> ended;
        for (const cNote& note : Notes(Events()))
            if (note.type == kAudioEventNoteOff)
                ended.push_back(note.id);
        EXPECT_EQ(ended.size(), 3u) << (detach ? "detach" : "all notes off");
        for (const cNote& note : on)
            EXPECT_NE(std::find(ended.begin(), ended.end(), note.id), ended.end());
        EXPECT_EQ(Grid()->GetHeldTouchCount(), 0);
        EXPECT_EQ(Grid()->GetHeldKeyCount(), 0);
        Up(1, a.X, a.Y);
        Up(2, b.X, b.Y);
        Key(0, 30);
        EXPECT_TRUE(Events().empty()) << "the late releases end nothing";
    }
    EXPECT_FALSE(editor->IsVisible());
}

// Twelve keys are held at most; a thirteenth plays nothing.
TEST_F(PadGrid, AThirteenthHeldKeyDoesNothing)
{
    Open();
    const int32_t scanCodes[] = {2, 3, 4, 5, 16, 17, 18, 19, 30, 31, 32, 33, 44};
    for (int32_t scanCode : scanCodes)
        Key(1, scanCode);
    EXPECT_EQ(Notes(Events()).size(), 12u);
    Key(0, 44);
    EXPECT_TRUE(Events().empty());
    Key(0, 2);
    EXPECT_EQ(Notes(Events()).size(), 1u);
}

// Velocities are held to 10..127 and sent as the repeat velocity.
TEST_F(PadGrid, VelocityIsHeldToItsRange)
{
    Open();
    for (const auto& [asked, kept] : {std::pair{5, 10}, std::pair{200, 127}, std::pair{64, 64}})
    {
        editor->SetVelocity(asked);
        EXPECT_EQ(editor->GetVelocity(), kept);
        const std::vector<cAudioEvent> events = Events();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].type, kAudioEventSetIntParam);
        EXPECT_EQ(events[0].wordA, uint32_t(cTriggerPad::kClassRepeatVelocity));
        EXPECT_EQ(events[0].GetIntValue(), kept);
        Key(1, 44);
        Key(0, 44);
        EXPECT_EQ(Notes(Events())[0].velocity, kept);
    }
}

// Playing the grid from keys and touches allocates nothing: its holds come
// from pools made with it.
TEST_F(PadGrid, PlayingAllocatesNothing)
{
    Open();
    const cVector2 a = PadCentre(0), b = PadCentre(1);
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (int32_t scanCode : {2, 17, 32, 47})
        Key(1, scanCode);
    Down(1, a.X, a.Y);
    Move(1, b.X, b.Y);
    Up(1, b.X, b.Y);
    for (int32_t scanCode : {2, 17, 32, 47})
        Key(0, scanCode);
    const uint64_t allocations = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(Notes(Events()).size(), 12u);
}
