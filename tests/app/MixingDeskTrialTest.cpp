#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramTrial.h"

// The mixing desk tried as a new user would, on a virtual display with the
// disk audio device: the master's insert chain given an effect, saved
// through the file browser, cleared, loaded back, and the project that the
// program keeps on closing holding what the desk showed.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts things: MIXER on the
// bar, the chain's first slot, the chooser's rows (the list opens with the
// slot's unit on top, "None" for an empty slot) and its buttons, the
// browser's first row, its "Save As" and accept buttons, the alert's OK.
constexpr int kMixerX = 131, kBarY = 11, kMixerLitX = 115, kMixerLitY = 6;
constexpr int kSlot1X = 244, kSlotY = 715;
constexpr int kChooserRowX = 500, kChooserFirstRowY = 327, kChooserRowPitch = 58;
constexpr int kLoadChainX = 349, kSaveChainX = 457, kClearChainX = 566, kChooserOKX = 674, kChooserButtonY = 579;
constexpr int kBrowserRowX = 300, kBrowserFirstRowY = 77, kBrowserAcceptX = 968, kBrowserAcceptY = 745,
              kSaveAsY = 700;
constexpr int kAlertOKX = 562, kAlertButtonY = 194;
// The chooser's title bar, the alert's body, the chain strip's background,
// and a spot of the browser's list where the desk draws black.
constexpr int kChooserTitleX = 400, kChooserTitleY = 256, kAlertBodyX = 400, kAlertBodyY = 100;
constexpr int kChainStripX = 500, kChainStripY = 690, kBrowserListX = 600, kBrowserListY = 400;
// The first slot's button, whose label names its unit.
constexpr int kSlot1LabelX = 170, kSlot1LabelY = 700, kSlot1LabelWidth = 150, kSlot1LabelHeight = 30;
// The chain strip's slots 175 pixels apart; a strip's FX box, which shows
// its chain; the status text on the bar.
constexpr int kSlotPitch = 175, kKest1FXX = 406, kStripFXY = 262;
constexpr int kStatusX = 215, kStatusY = 6, kStatusWidth = 300, kStatusHeight = 20;
// The chooser's list dragged to its end shows the last two units on its
// third and fourth rows.
constexpr int kListDragX = 500, kListDragFromY = 500, kListDragToY = 300;

bool IsLightGrey(const cRGB& c) { return c.r > 150 && std::abs(c.r - c.b) < 15 && std::abs(c.r - c.g) < 15; }
bool IsBrowserGrey(const cRGB& c) { return std::abs(c.r - 32) < 6 && c.r == c.g && c.g == c.b; }

class MixingDeskTrialTest : public cProgramTrial
{
protected:
    MixingDeskTrialTest() : cProgramTrial("desk-trial", "desk-trial") {}

    // A finger resting on the spot until the condition shows, then lifted.
    bool HoldUntil(int x, int y, const std::function<bool()>& shown)
    {
        Input(MoveTo(x, y) + " sleep 0.1 mousedown 1");
        const bool seen = WaitUntil(shown);
        Input("mouseup 1");
        return seen;
    }
    bool ProbeIs(int x, int y, const std::function<bool(const cRGB&)>& test) { return test(Pixel(Shot("probe"), x, y)); }

    bool DeskAlone()
    {
        const cScreenshot shot = Shot("probe");
        return Pixel(shot, kMixerLitX, kMixerLitY).IsLitBlue() && IsLightGrey(Pixel(shot, kChainStripX, kChainStripY));
    }
    bool ChooserOpen() { return ProbeIs(kChooserTitleX, kChooserTitleY, IsLightGrey); }
    bool BrowserOpen()
    {
        const cScreenshot shot = Shot("probe");
        return IsBrowserGrey(Pixel(shot, kBrowserListX, kBrowserListY)) &&
               IsBrowserGrey(Pixel(shot, kChainStripX, kChainStripY));
    }
    bool AlertOpen() { return ProbeIs(kAlertBodyX, kAlertBodyY, IsLightGrey); }

    std::string Slot1Label() { return Region(kSlot1LabelX, kSlot1LabelY, kSlot1LabelWidth, kSlot1LabelHeight); }
    std::string SlotLabel(int slot)
    {
        return Region(kSlot1LabelX + slot * kSlotPitch, kSlot1LabelY, kSlot1LabelWidth, kSlot1LabelHeight);
    }
    std::string Status() { return Region(kStatusX, kStatusY, kStatusWidth, kStatusHeight); }
    // The project the program kept on closing.
    std::string SavedProject() const
    {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Documents("User/Projects"), error))
            if (std::filesystem::exists(entry.path() / "Package.prj"))
                return (entry.path() / "Package.prj").string();
        return "";
    }
    static std::string Text(const std::string& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(MixingDeskTrialTest, AChainIsSavedClearedAndLoadedThroughTheBrowserAndKeptWithTheProject)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    // MIXER shows the desk on the master's insert chain, its slots empty.
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk";
    Shot("1-desk");
    const std::string emptyLabel = Slot1Label();

    // A slot held opens the chooser; the third row is "EQ-3B".
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); })) << "the chooser";
    Shot("2-chooser");
    Tap(kChooserRowX, kChooserFirstRowY + 2 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() != emptyLabel; })) << "the slot names its unit";
    const std::string chosenLabel = Slot1Label();
    Shot("3-eq-inserted");

    // "Save Chain": the browser opens in the favourites; "Save As" asks for
    // a name, and the save closes browser and chooser.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kSaveChainX, kChooserButtonY, [&] { return BrowserOpen(); })) << "the save browser";
    Shot("4-save-browser");
    const std::string before = Region(130, 40, 760, 50);
    ASSERT_TRUE(TapUntil(kBrowserAcceptX, kSaveAsY, [&] { return Region(130, 40, 760, 50) != before; }))
        << "Save As asks for a name";
    StillShot("probe");
    Input("key --window " + mWindow + " --repeat 24 BackSpace");
    Input("type --delay 80 Trial");
    Shot("5-save-name");
    Input("key --window " + mWindow + " Return");
    const std::string chain = Documents("User/FX Favourites/Trial.qfx");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(chain); })) << "the chain file";
    ASSERT_TRUE(WaitUntil([&] { return DeskAlone(); }));
    Shot("6-saved");
    EXPECT_EQ(std::system(("xmllint --noout '" + chain + "'").c_str()), 0);
    EXPECT_NE(Text(chain).find("<SLOT1 Type=\"EQ-3B\">"), std::string::npos) << Text(chain);

    // "Clear Chain", then OK: the slot is empty again.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kClearChainX, kChooserButtonY, [&] { return AlertOpen(); })) << "the clear question";
    Shot("7-clear-question");
    ASSERT_TRUE(TapUntil(kAlertOKX, kAlertButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() == emptyLabel; })) << "the chain cleared";
    Shot("8-cleared");

    // "Load Chain": the saved file chosen and loaded brings the unit back.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kLoadChainX, kChooserButtonY, [&] { return BrowserOpen(); })) << "the load browser";
    Tap(kBrowserRowX, kBrowserFirstRowY);
    Shot("9-load-browser");
    ASSERT_TRUE(TapUntil(kBrowserAcceptX, kBrowserAcceptY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() == chosenLabel; })) << "the loaded chain";
    Shot("10-loaded");

    Close(*program);

    // The desk's view and the master's chain as loaded are in the project.
    const std::string project = SavedProject();
    ASSERT_FALSE(project.empty()) << "no project kept";
    EXPECT_EQ(std::system(("xmllint --noout '" + project + "'").c_str()), 0);
    const std::string text = Text(project);
    const size_t desk = text.find("<Instr Type=\"Mixer\"");
    ASSERT_NE(desk, std::string::npos);
    const std::string deskLine = text.substr(desk, text.find('\n', desk) - desk);
    EXPECT_NE(deskLine.find(" InChan=\""), std::string::npos) << deskLine;
    EXPECT_NE(deskLine.find(" InsertFX=\""), std::string::npos) << deskLine;
    const size_t slot = text.find("<SLOT1 Type=\"EQ-3B\">", desk);
    ASSERT_NE(slot, std::string::npos) << "the loaded chain";
    EXPECT_NE(text.find("<Patch Enable=\"1\"", slot), std::string::npos);
}

// Each unit the chooser offers, where the trial puts it and where its panel
// has its on switch and the knob turned: offsets in its cell, the cells two
// to a row of 468 x 84 pixels from (44, 327). The attribute the knob sets
// and its value in a new unit.
struct cUnitTrial
{
    const char* type;
    bool onMaster;
    int slot;
    bool listDragged;
    int row;
    int switchX, switchY, knobX, knobY;
    const char* knobAttribute;
    const char* newValue;
};
constexpr cUnitTrial kUnitTrials[] = {
    {"Q-HALLS", true, 0, true, 3, 51, 46, 403, 47, "DryWet", "0.320000"},
    {"QDL-5", false, 0, false, 1, 56, 26, 235, 48, "Threshold", "-10.500000"},
    {"EQ-3B", false, 1, false, 2, 48, 26, 126, 48, "LowFreq", "0.500000"},
    {"VELTRIX", false, 2, false, 3, 58, 54, 240, 48, "CDelay", "0.015000"},
    {"9TH HARBOR", false, 3, true, 2, 51, 54, 260, 48, "Drive", "0.330000"},
};
constexpr int kCellX = 44, kCellY = 327, kCellWidth = 468, kCellHeight = 84;
// The on switch's face, left of its label.
constexpr int kSwitchFaceOffsetX = -30;

std::string Attribute(const std::string& element, const std::string& name)
{
    const size_t at = element.find(" " + name + "=\"");
    if (at == std::string::npos)
        return "";
    const size_t from = at + name.size() + 3;
    return element.substr(from, element.find('"', from) - from);
}

TEST_F(MixingDeskTrialTest, EachUnitIsInsertedTurnedAndSwitchedOffAndKeptWithTheProject)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk";

    int shot = 1;
    for (const cUnitTrial& unit : kUnitTrials)
    {
        SCOPED_TRACE(unit.type);
        // The master's chain shows first; the first synthesizer's FX box
        // shows its own.
        if (!unit.onMaster && unit.slot == 0)
        {
            const std::string chain = Region(kSlot1LabelX, kSlot1LabelY, 4 * kSlotPitch, kSlot1LabelHeight);
            Tap(kKest1FXX, kStripFXY);
            ASSERT_TRUE(WaitUntil([&] {
                return Region(kSlot1LabelX, kSlot1LabelY, 4 * kSlotPitch, kSlot1LabelHeight) != chain;
            })) << "Kest 1's chain";
        }
        const std::string emptyLabel = SlotLabel(unit.slot);
        const int slotX = kSlot1X + unit.slot * kSlotPitch;
        ASSERT_TRUE(HoldUntil(slotX, kSlotY, [&] { return ChooserOpen(); })) << "the chooser";
        if (unit.listDragged)
        {
            Drag(kListDragX, kListDragFromY, 0, kListDragToY - kListDragFromY);
            ASSERT_TRUE(WaitUntilStill(300, 297, 420, 233)) << "the list at rest";
        }
        Tap(kChooserRowX, kChooserFirstRowY + unit.row * kChooserRowPitch);
        std::string prefix = std::to_string(shot++) + "-" + unit.type;
        std::replace(prefix.begin(), prefix.end(), ' ', '-');
        Shot(prefix + "-chosen");
        ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
        ASSERT_TRUE(WaitUntil([&] { return SlotLabel(unit.slot) != emptyLabel; })) << "the slot names its unit";

        const int cellX = kCellX + (unit.slot % 2) * kCellWidth, cellY = kCellY + (unit.slot / 2) * kCellHeight;
        const int switchX = cellX + unit.switchX, switchY = cellY + unit.switchY;
        const auto switchLit = [&] { return Pixel(Shot("probe"), switchX + kSwitchFaceOffsetX, switchY).IsLitBlue(); };
        ASSERT_TRUE(WaitUntil(switchLit)) << "a new unit is on";
        Shot(prefix + "-inserted");

        // The knob turned down: its value on the status bar.
        const std::string status = Status();
        Drag(cellX + unit.knobX, cellY + unit.knobY, 0, 60);
        ASSERT_TRUE(WaitUntil([&] { return Status() != status; })) << "the knob's value on the status bar";
        Shot(prefix + "-knob");

        ASSERT_TRUE(TapUntil(switchX, switchY, [&] { return !switchLit(); })) << "switched off";
        Shot(prefix + "-off");
    }

    Close(*program);

    // Each unit's patch as left: off, with the turned knob's new value.
    const std::string project = SavedProject();
    ASSERT_FALSE(project.empty()) << "no project kept";
    const std::string text = Text(project);
    for (const cUnitTrial& unit : kUnitTrials)
    {
        std::vector<std::string> patches;
        bool kept = false;
        for (size_t at = text.find(std::string("Type=\"") + unit.type + "\">"); at != std::string::npos;
             at = text.find(std::string("Type=\"") + unit.type + "\">", at + 1))
        {
            const size_t patch = text.find("<Patch", at);
            const std::string element = text.substr(patch, text.find('>', patch) - patch);
            patches.push_back(element);
            kept |= Attribute(element, "Enable") == "0" && !Attribute(element, unit.knobAttribute).empty() &&
                    Attribute(element, unit.knobAttribute) != unit.newValue;
        }
        EXPECT_TRUE(kept) << unit.type << ": " << ::testing::PrintToString(patches);
    }
}

// The song tools' MIDI-file import on the song page, play and stop on the bar.
constexpr int kSongX = 78, kToolsX = 57, kToolsY = 746, kMIDIFileTabX = 80, kMIDIFileTabY = 692, kImportX = 221,
              kImportY = 647, kPlayX = 944, kStopX = 891;
constexpr double kRate = 44100.0;

class MixingDeskAudioTrialTest : public MixingDeskTrialTest
{
protected:
    // A tap on the window at rest, until it shows something else.
    bool TapUntilChanged(int x, int y)
    {
        const std::string before = StillShot("probe").Region(0, 0, 1024, 768);
        Tap(x, y);
        return WaitUntil([&] { return Region(0, 0, 1024, 768) != before; });
    }

    static std::filesystem::path ReferenceSong()
    {
        return std::filesystem::path(QUIL_BENCH_DATA_DIR) / "reference-song.mid";
    }
    // The reference song waits among the user's MIDI files.
    bool HasReferenceSong()
    {
        if (!std::filesystem::exists(ReferenceSong()))
            return false;
        std::filesystem::create_directories(Documents("User/MIDI Files"));
        std::filesystem::copy_file(ReferenceSong(), Documents("User/MIDI Files/reference-song.mid"));
        return true;
    }
    // The song tools' MIDI-file tab imports it into the new project.
    void ImportReferenceSong()
    {
        ASSERT_TRUE(TapUntilChanged(kSongX, kBarY)) << "the song page";
        ASSERT_TRUE(TapUntilChanged(kToolsX, kToolsY)) << "the song tools";
        ASSERT_TRUE(TapUntilChanged(kMIDIFileTabX, kMIDIFileTabY)) << "the MIDI file tab";
        ASSERT_TRUE(TapUntilChanged(kImportX, kImportY)) << "the browser";
        ASSERT_TRUE(TapUntilChanged(kBrowserRowX, kBrowserFirstRowY)) << "the song selected";
        ASSERT_TRUE(TapUntilChanged(kBrowserAcceptX, kBrowserAcceptY)) << "the song imported";
    }

    struct cPlayed
    {
        size_t play, stop;
    };
    // The song from its start for a few seconds, then stopped and left to
    // ring out; stop twice first brings it back to the start.
    cPlayed PlayFromStart()
    {
        for (int i = 0; i < 2; ++i)
        {
            Tap(kStopX, kBarY);
            WaitForFrames(Frames() + size_t(kRate * 0.3));
        }
        cPlayed played;
        played.play = Frames();
        Tap(kPlayX, kBarY);
        WaitForFrames(played.play + size_t(kRate * 4.0));
        played.stop = Frames();
        Tap(kStopX, kBarY);
        WaitForFrames(played.stop + size_t(kRate * 4.0));
        return played;
    }
    static double RMS(const std::vector<int16_t>& samples, size_t from, size_t frames)
    {
        double sum = 0.0;
        size_t count = 0;
        for (size_t i = from; i < std::min(samples.size(), from + frames); ++i, ++count)
            sum += double(samples[i]) * samples[i];
        return count ? std::sqrt(sum / count) : 0.0;
    }
    static size_t FirstSound(const std::vector<int16_t>& samples, size_t from)
    {
        while (from < samples.size() && samples[from] == 0)
            ++from;
        return from;
    }
    // Seconds from the stop to the last sample above the quiet level.
    static double Tail(const std::vector<int16_t>& samples, const cPlayed& played, size_t end)
    {
        size_t last = played.stop;
        for (size_t i = played.stop; i < std::min(samples.size(), end); ++i)
            if (std::abs(int(samples[i])) > 30)
                last = i;
        return double(last - played.stop) / kRate;
    }
};

// The reference song's synthesizer parts through the master's chain: the
// EQ switched on with its knobs centred leaves the level alone, and the
// reverb's tail after stop comes with its switch on and goes with it off.
TEST_F(MixingDeskAudioTrialTest, TheEQLeavesTheLevelAndTheReverbsTailFollowsItsSwitch)
{
    if (!HasReferenceSong())
        GTEST_FAIL() << "no reference song in " << QUIL_BENCH_DATA_DIR;
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_NO_FATAL_FAILURE(ImportReferenceSong());
    Shot("audio-1-imported");

    // EQ-3B in the master's first slot, Q-HALLS in its second (after the
    // returns), switched off.
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk";
    const int eqSwitchX = kCellX + 48, eqSwitchY = kCellY + 26;
    const int reverbSwitchX = kCellX + kCellWidth + 51, reverbSwitchY = kCellY + 46;
    const auto lit = [&](int x, int y) { return Pixel(Shot("probe"), x + kSwitchFaceOffsetX, y).IsLitBlue(); };
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    Tap(kChooserRowX, kChooserFirstRowY + 2 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return lit(eqSwitchX, eqSwitchY); })) << "EQ-3B on";
    ASSERT_TRUE(HoldUntil(kSlot1X + 2 * kSlotPitch, kSlotY, [&] { return ChooserOpen(); }));
    Drag(kListDragX, kListDragFromY, 0, kListDragToY - kListDragFromY);
    ASSERT_TRUE(WaitUntilStill(300, 297, 420, 233));
    Tap(kChooserRowX, kChooserFirstRowY + 3 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return lit(reverbSwitchX, reverbSwitchY); })) << "Q-HALLS on";
    ASSERT_TRUE(TapUntil(reverbSwitchX, reverbSwitchY, [&] { return !lit(reverbSwitchX, reverbSwitchY); }));
    Shot("audio-2-eq-on");

    const cPlayed eqOn = PlayFromStart();
    ASSERT_TRUE(TapUntil(eqSwitchX, eqSwitchY, [&] { return !lit(eqSwitchX, eqSwitchY); })) << "EQ-3B off";
    const cPlayed reverbOff = PlayFromStart();
    ASSERT_TRUE(TapUntil(reverbSwitchX, reverbSwitchY, [&] { return lit(reverbSwitchX, reverbSwitchY); }));
    Shot("audio-3-reverb-on");
    const cPlayed reverbOn = PlayFromStart();
    ASSERT_TRUE(TapUntil(reverbSwitchX, reverbSwitchY, [&] { return !lit(reverbSwitchX, reverbSwitchY); }));
    const cPlayed reverbOffAgain = PlayFromStart();
    const size_t end = Frames();

    Close(*program);

    const std::vector<int16_t> left = ReadLeftChannel();
    const size_t window = size_t(kRate * 3.0);
    const size_t eqOnStart = FirstSound(left, eqOn.play), eqOffStart = FirstSound(left, reverbOff.play);
    const double on = RMS(left, eqOnStart, window), off = RMS(left, eqOffStart, window);
    ASSERT_GT(off, 100.0) << "the song sounds";
    const double changeDb = 20.0 * std::log10(on / off);
    EXPECT_LT(std::abs(changeDb), 0.1) << "EQ on " << on << ", off " << off;

    const double tailOff = Tail(left, reverbOff, reverbOn.play), tailOn = Tail(left, reverbOn, reverbOffAgain.play),
                 tailOffAgain = Tail(left, reverbOffAgain, end);
    EXPECT_GT(tailOn, tailOff + 0.5);
    EXPECT_GT(tailOn, tailOffAgain + 0.5);
    std::printf("EQ on %.1f, off %.1f RMS: %+.4f dB; tails off %.2f s, on %.2f s, off %.2f s\n", on, off, changeDb,
                tailOff, tailOn, tailOffAgain);
}

// Kest 1's strip on the desk's first page: its pan knob, fader thumb, name,
// mute and solo buttons; the master's name and mute; the left cheek's
// paging button, forward on its upper half, back on its lower; the strips'
// names across the first page.
constexpr int kKest1X = 374, kKest1FaderX = 356, kPanY = 58, kFaderY = 131, kNameY = 262, kMuteY = 288,
              kSoloY = 313;
constexpr int kOutX = 926;
constexpr int kPageX = 22, kPageForwardY = 50, kPageBackY = 96;
constexpr int kNamesX = 52, kNamesY = 252, kNamesWidth = 820, kNamesHeight = 22;
constexpr int kButtonHalf = 14;

// A strip faded, panned, muted and soloed, the desk paged, the master's
// chain reordered by a drag, the master muted while the song plays, and a
// double tap on a strip's name that shows its instrument's page.
TEST_F(MixingDeskAudioTrialTest, AStripIsFadedPannedMutedAndSoloedAndTheMastersMuteSilencesTheCapture)
{
    if (!HasReferenceSong())
        GTEST_FAIL() << "no reference song in " << QUIL_BENCH_DATA_DIR;
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_NO_FATAL_FAILURE(ImportReferenceSong());
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk";
    Shot("strips-1-desk");

    // Fader and knob: the value on the status bar, the strip redrawn.
    const auto button = [&](int x, int y) { return Region(x - kButtonHalf, y - 8, 2 * kButtonHalf, 16); };
    const auto strip = [&] { return Region(kKest1X - 45, 30, 90, 215); };
    std::string before = strip(), status = Status();
    Drag(kKest1FaderX, kFaderY, 0, 50);
    ASSERT_TRUE(WaitUntil([&] { return Status() != status && strip() != before; })) << "faded";
    Shot("strips-2-faded");
    before = strip(), status = Status();
    Drag(kKest1X, kPanY, 0, -40);
    ASSERT_TRUE(WaitUntil([&] { return Status() != status && strip() != before; })) << "panned";
    Shot("strips-3-panned");

    // Mute and solo light up and go out again.
    const std::string mute = button(kKest1X, kMuteY), solo = button(kKest1X, kSoloY);
    ASSERT_TRUE(TapUntil(kKest1X, kMuteY, [&] { return button(kKest1X, kMuteY) != mute; })) << "muted";
    Shot("strips-4-muted");
    ASSERT_TRUE(TapUntil(kKest1X, kMuteY, [&] { return button(kKest1X, kMuteY) == mute; })) << "unmuted";
    ASSERT_TRUE(TapUntil(kKest1X, kSoloY, [&] { return button(kKest1X, kSoloY) != solo; })) << "soloed";
    Shot("strips-5-soloed");
    ASSERT_TRUE(TapUntil(kKest1X, kSoloY, [&] { return button(kKest1X, kSoloY) == solo; })) << "unsoloed";

    // The paging button shows the next strips, then the first again.
    const std::string firstPage = Region(kNamesX, kNamesY, kNamesWidth, kNamesHeight);
    ASSERT_TRUE(TapUntil(kPageX, kPageForwardY,
                         [&] { return Region(kNamesX, kNamesY, kNamesWidth, kNamesHeight) != firstPage; }))
        << "paged forward";
    ASSERT_TRUE(WaitUntilStill(kNamesX, kNamesY, kNamesWidth, kNamesHeight));
    Shot("strips-6-paged");
    ASSERT_TRUE(TapUntil(kPageX, kPageBackY,
                         [&] { return Region(kNamesX, kNamesY, kNamesWidth, kNamesHeight) == firstPage; }))
        << "paged back";

    // The master's chain: EQ-3B and Q-HALLS after the returns, then Q-HALLS
    // dragged before EQ-3B.
    Tap(kOutX, kNameY);
    ASSERT_TRUE(WaitUntil([&] { return DeskAlone(); }));
    const int eqSlot = 2, reverbSlot = 3;
    const std::string empty = SlotLabel(eqSlot);
    ASSERT_TRUE(HoldUntil(kSlot1X + eqSlot * kSlotPitch, kSlotY, [&] { return ChooserOpen(); }));
    Tap(kChooserRowX, kChooserFirstRowY + 2 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return SlotLabel(eqSlot) != empty; })) << "EQ-3B inserted";
    ASSERT_TRUE(HoldUntil(kSlot1X + reverbSlot * kSlotPitch, kSlotY, [&] { return ChooserOpen(); }));
    Drag(kListDragX, kListDragFromY, 0, kListDragToY - kListDragFromY);
    ASSERT_TRUE(WaitUntilStill(300, 297, 420, 233));
    Tap(kChooserRowX, kChooserFirstRowY + 3 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return SlotLabel(reverbSlot) != empty; })) << "Q-HALLS inserted";
    const std::string eq = SlotLabel(eqSlot), reverb = SlotLabel(reverbSlot);
    Shot("strips-7-chain");
    Drag(kSlot1X + reverbSlot * kSlotPitch, kSlotY, -kSlotPitch, 0);
    ASSERT_TRUE(WaitUntil([&] { return SlotLabel(eqSlot) == reverb && SlotLabel(reverbSlot) == eq; }))
        << "Q-HALLS dragged before EQ-3B";
    Shot("strips-8-dragged");

    // The master muted while the song plays: the capture falls silent and
    // stays so until it is unmuted.
    const std::string outMute = button(kOutX, kMuteY);
    mMovingScreen = true;
    Tap(kPlayX, kBarY);
    ASSERT_TRUE(WaitForFrames(Frames() + size_t(kRate * 3.0)));
    const size_t tapped = Frames();
    ASSERT_TRUE(TapUntil(kOutX, kMuteY, [&] { return button(kOutX, kMuteY) != outMute; })) << "the master muted";
    const size_t seen = Frames();
    Shot("strips-9-master-muted");
    ASSERT_TRUE(WaitForFrames(seen + size_t(kRate * 1.0)));
    const size_t heldUntil = Frames();
    ASSERT_TRUE(TapUntil(kOutX, kMuteY, [&] { return button(kOutX, kMuteY) == outMute; })) << "the master unmuted";

    // A double tap on Kest 1's name while the song plays shows its page,
    // which answers taps: MIXER brings the desk back.
    const std::string title = Status();
    Input(MoveTo(kKest1X, kNameY) + " click --repeat 2 --delay 80 1");
    ASSERT_TRUE(WaitUntil([&] { return !DeskAlone() && Status() != title; })) << "Kest 1's page";
    Shot("strips-10-kest-1");
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk again";
    Tap(kStopX, kBarY);
    mMovingScreen = false;

    Close(*program);

    const std::vector<int16_t> left = ReadLeftChannel();
    ASSERT_GT(left.size(), heldUntil);
    ASSERT_GT(RMS(left, tapped - size_t(kRate), size_t(kRate)), 100.0) << "the song sounds before the mute";
    // The last sound before the held silence: the mute took effect there.
    size_t silentFrom = heldUntil;
    while (silentFrom > tapped && left[silentFrom - 1] == 0)
        --silentFrom;
    EXPECT_GT(silentFrom, tapped) << "sound until the tap";
    // The device's period under way when the screen showed the mute may
    // not be in the file yet.
    constexpr size_t kDevicePeriod = 256;
    EXPECT_LE(silentFrom, seen + kDevicePeriod) << "silent once the mute shows";
    // The sound stops within a block rather than fading out.
    constexpr size_t kBlock = 128;
    const double playing = RMS(left, tapped - size_t(kRate), size_t(kRate));
    const double lastBlock = RMS(left, silentFrom - 2 * kBlock, kBlock);
    EXPECT_GT(lastBlock, playing * 0.1) << "faded out before the silence";
    std::printf("master mute: silent %.3f s after the tap began, %.3f s before it showed; RMS %.0f playing, "
                "%.0f a block before the silence\n",
                double(silentFrom - tapped) / kRate, double(seen - silentFrom) / kRate, playing, lastBlock);
}
} // namespace
