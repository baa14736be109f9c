#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramTrial.h"
#include "audio/TonePitch.h"
#include "base/File.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// The pad page tried as a new user would, on a virtual display with the disk
// audio device, after a first start that installed the kits: the default kit
// imported and played from keys and pads, a muted pad, a held key repeating
// on the auto-beat's sixteenths, a sample of the user's loaded into a pad and
// moved to the second bus, the first bus low-passed, a bank exported,
// cleared, imported again and a damaged one refused, and pad hits recorded
// into the song. Every step waits for what the user would see or hear.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts things: the panel's
// tabs and buttons on the left, the 4 x 4 grid (pad 0 at the bottom left)
// on the right; the browser's list rows 60 pixels apart and its buttons;
// the alert's buttons from the right; the bar's record, stop and SONG.
constexpr int kHomeTabX = 51, kEditTabX = 139, kOutputsTabX = 228, kTabY = 67;
// Lit tabs and switches show blue beside their icon.
constexpr int kLitOffsetX = -21, kTabLitY = 80, kMuteLitX = 30, kMuteLitY = 742;
constexpr int kClearX = 53, kImportX = 140, kExportX = 227, kBankY = 333;
constexpr int kSixteenthX = 29, kSixteenthY = 652;
constexpr int kMuteX = 139, kMuteY = 730;
constexpr int kLoadX = 61, kLoadY = 338, kBusX = 218, kBusY = 226;
constexpr int kFilterX = 104, kFilterY = 162, kCutoffX = 172, kCutoffY = 197;
constexpr int kPadX[4] = {379, 563, 748, 932}, kPadY[4] = {682, 497, 313, 128};
constexpr int kRowX = 200, kFirstRowY = 77, kRowPitch = 60;
constexpr int kAcceptX = 969, kAcceptY = 745, kSaveAsY = 700, kUpX = 874;
// Inside the browser's list, over a pad's tile on the pad page.
constexpr int kBrowserProbeX = 600, kBrowserProbeY = 500;
constexpr int kAlertNoX = 457, kAlertMiddleX = 563, kAlertRightX = 669, kAlertY = 194;
constexpr int kRecordX = 998, kStopX = 891, kSongX = 78, kBarY = 15;
// The first pad's name, drawn above its tile.
constexpr int kNameX = 330, kNameY = 588, kNameWidth = 100, kNameHeight = 10;
// The second song track's lane, the pads' own.
constexpr int kLaneX = 120, kLaneY = 175, kLaneWidth = 860, kLaneHeight = 80;

constexpr double kRate = 44100.0;
constexpr int kQuietLevel = 40, kRepeatQuietLevel = 1000;
constexpr int kHitHz = 3000;

int PadX(int pad) { return kPadX[pad % 4]; }
int PadY(int pad) { return kPadY[pad / 4]; }

// A 16-bit mono WAV of 40 ms at 3 kHz, then nothing: a hit whose repeats
// stand apart.
std::string HitWav()
{
    const int frames = int(kRate * 0.04);
    std::string data;
    for (int i = 0; i < frames; ++i)
    {
        const auto value = int16_t(16000.0 * std::sin(2.0 * M_PI * kHitHz * i / kRate));
        data += char(value & 0xff);
        data += char((value >> 8) & 0xff);
    }
    const auto word = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += char((value >> (8 * i)) & 0xff);
        return out;
    };
    return "RIFF" + word(uint32_t(36 + data.size()), 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
           word(44100, 4) + word(88200, 4) + word(2, 2) + word(16, 2) + "data" + word(uint32_t(data.size()), 4) + data;
}

bool IsGreenTile(const cRGB& c) { return c.g > c.r + 15 && c.g > c.b + 15; }
bool IsLavenderTile(const cRGB& c) { return c.b > c.g + 15 && c.r > 150; }
bool IsAlertGrey(const cRGB& c) { return c.r > 150 && std::abs(c.r - c.b) < 8 && std::abs(c.r - c.g) < 8; }
bool IsBrowserDark(const cRGB& c) { return c.r + c.g + c.b < 250; }

class PadPageTrialTest : public cProgramTrial
{
protected:
    PadPageTrialTest() : cProgramTrial("pad-trial", "pad-trial") {}

    // A first start: the installer puts the kits in place; no recent
    // project, the intro help seen. The user's sample and a damaged bank
    // wait in their folders.
    void SetUp() override
    {
        cProgramTrial::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WriteFirstStartSettings();
        std::filesystem::create_directories(Documents("User/Samples"));
        std::ofstream(Documents("User/Samples/Hit.wav"), std::ios::binary) << HitWav();
        std::filesystem::create_directories(Documents("User/VRX Banks/Zapped.vrx"));
        std::ofstream(Documents("User/VRX Banks/Zapped.vrx/Package.vrx")) << "<?xml version=\"1.0\"?>\n<Root><Pad";
    }

    std::string FirstPadName() { return Region(kNameX, kNameY, kNameWidth, kNameHeight); }
    // A tap that changes what the region shows, then the window at rest:
    // what the tap opened takes keys and taps only once it stands.
    bool TapUntilChanged(int x, int y, int rx, int ry, int width, int height)
    {
        const std::string before = Region(rx, ry, width, height);
        Tap(x, y);
        const bool changed = WaitUntil([&] { return Region(rx, ry, width, height) != before; });
        StillShot("probe");
        return changed;
    }
    bool TapListUntilChanged(int x, int y) { return TapUntilChanged(x, y, 10, 47, 880, 660); }
    // A row of the browser's list tapped until it shows as the selected one.
    bool SelectRow(int y)
    {
        return TapUntil(kRowX, y, kBrowserProbeX, y, [](const cRGB& c) { return c.IsLitBlue(); });
    }

    void WaitForAudio(size_t frames) { ASSERT_TRUE(WaitForFrames(frames)) << "the program's audio stalled"; }
    // The frame the device had written when the action began; the audio
    // runs on until the sound has had time to end.
    template <class F>
    size_t Moment(F&& action)
    {
        const size_t at = Frames();
        action();
        WaitForAudio(at + size_t(kRate * 1.5));
        return at;
    }
    // A key struck: down and up in different frames, as a finger's.
    void Press(const char* key)
    {
        Input("keydown --window " + mWindow + " " + key);
        Input("keyup --window " + mWindow + " " + key);
    }

    // The notes in the parts of the pads' track (the second) of the song the
    // program kept on closing.
    size_t RecordedHits() const
    {
        const std::string path = SavedSong();
        EXPECT_FALSE(path.empty()) << "the closing save wrote no song";
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        cSequencer sequencer;
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        cGenString error;
        EXPECT_TRUE(sequencer.ReadSong(file, error)) << error.CStr();
        size_t hits = 0;
        if (sequencer.GetTrackList()->GetCount() > 1)
            for (const cPatternInstance* p = sequencer.GetTrackList()->GetTrack(1)->GetFirstPart(); p; p = p->next)
                for (const cPatternEvent* e = p->pattern->head; e; e = e->next)
                    ++hits;
        return hits;
    }

    static int Peak(const std::vector<int16_t>& samples, size_t from, size_t frames)
    {
        int peak = 0;
        for (size_t i = from; i < std::min(samples.size(), from + frames); ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        return peak;
    }
    // The energy of the sample-to-sample change: what a low-pass takes away.
    static double HighEnergy(const std::vector<int16_t>& samples, size_t from, size_t frames)
    {
        double energy = 0.0;
        for (size_t i = from + 1; i < std::min(samples.size(), from + frames); ++i)
        {
            const double step = double(samples[i]) - double(samples[i - 1]);
            energy += step * step;
        }
        return energy;
    }
};

TEST_F(PadPageTrialTest, ANewUserPlaysEditsAndKeepsBanks)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    // The new project opens on the pad page's HOME, its pads empty.
    ASSERT_TRUE(WaitUntil([&] { return Pixel(Shot("1-home-new"), kHomeTabX + kLitOffsetX, kTabLitY).IsLitBlue(); }))
        << "the pad page's HOME tab is lit";
    ASSERT_TRUE(WaitUntil([&] { return IsLavenderTile(Pixel(Shot("1-home-new"), PadX(0), PadY(0))); }))
        << "the empty pads";
    // Names read as they stand, with no fade over them.
    const std::string emptyName = Region(StillShot("probe"), kNameX, kNameY, kNameWidth, kNameHeight);

    // IMPORT "Default", its samples left where they are.
    ASSERT_TRUE(TapUntil(kImportX, kBankY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark)) << "the browser opens";
    Shot("2-import-browser");
    ASSERT_TRUE(SelectRow(kFirstRowY)) << "Default.vrx selected";
    ASSERT_TRUE(TapUntil(kAcceptX, kAcceptY, 330, 150, IsAlertGrey)) << "the copy question";
    Shot("3-import-question");
    Tap(kAlertNoX, kAlertY);
    // Once no overlay dims the page, its HOME tab shows lit.
    const auto homeLit = [&] { return Pixel(Shot("probe"), kHomeTabX + kLitOffsetX, kTabLitY).IsLitBlue(); };
    ASSERT_TRUE(WaitUntil([&] { return homeLit() && FirstPadName() != emptyName; })) << "the kit's names";
    const std::string kitName = Region(StillShot("probe"), kNameX, kNameY, kNameWidth, kNameHeight);
    Shot("4-home-default");

    // Keys z, x and 1 and taps on pads sound when played; a pad muted in
    // mute mode stays silent.
    struct cHeard
    {
        const char* what;
        size_t at;
        bool sounds;
    };
    std::vector<cHeard> heard;
    heard.push_back({"z", Moment([&] { Press("z"); }), true});
    heard.push_back({"x", Moment([&] { Press("x"); }), true});
    heard.push_back({"1", Moment([&] { Press("1"); }), true});
    heard.push_back({"pad 2 tapped", Moment([&] { Tap(PadX(2), PadY(2)); }), true});
    ASSERT_TRUE(TapUntil(kMuteX, kMuteY, kMuteLitX, kMuteLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    ASSERT_TRUE(TapUntilChanged(PadX(4), PadY(4), PadX(4) - 75, PadY(4) - 72, 150, 144)) << "pad 4 muted";
    Shot("5-mute-mode");
    ASSERT_TRUE(TapUntil(kMuteX, kMuteY, kMuteLitX, kMuteLitY, [](const cRGB& c) { return !c.IsLitBlue(); }));
    heard.push_back({"muted pad 4 tapped", Moment([&] { Tap(PadX(4), PadY(4)); }), false});

    // EDIT: pad 14 chosen, the user's sample loaded from "User/Samples",
    // then the pad sent to bus 2.
    ASSERT_TRUE(TapUntil(kEditTabX, kTabY, kEditTabX + kLitOffsetX, kTabLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    ASSERT_TRUE(TapUntilChanged(PadX(14), PadY(14), 50, 105, 180, 25)) << "pad 14 chosen";
    Shot("6-edit");
    ASSERT_TRUE(TapUntil(kLoadX, kLoadY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark)) << "Load Sample";
    ASSERT_TRUE(TapListUntilChanged(kUpX, kAcceptY)) << "up to VRX Banks";
    ASSERT_TRUE(TapListUntilChanged(kUpX, kAcceptY)) << "up to User";
    const int samplesRowY = kFirstRowY + 4 * kRowPitch;
    ASSERT_TRUE(SelectRow(samplesRowY)) << "Samples selected";
    ASSERT_TRUE(TapListUntilChanged(kRowX, samplesRowY)) << "Samples entered";
    ASSERT_TRUE(SelectRow(kFirstRowY + kRowPitch)) << "Hit.wav selected";
    Shot("7-load-sample");
    ASSERT_TRUE(TapUntil(kAcceptX, kAcceptY, kBrowserProbeX, kBrowserProbeY, [](const cRGB& c) { return !IsBrowserDark(c); }));
    ASSERT_TRUE(TapUntil(kBusX, kBusY, PadX(14), PadY(14), IsGreenTile)) << "pad 14 on bus 2";
    Shot("8-edit-loaded");

    // HOME: "1/16" and the key held; then "1/16" again stops the repeat.
    ASSERT_TRUE(TapUntil(kHomeTabX, kTabY, kHomeTabX + kLitOffsetX, kTabLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    const std::string repeatOff = Region(kSixteenthX - 15, kSixteenthY - 15, 30, 30);
    ASSERT_TRUE(TapUntilChanged(kSixteenthX, kSixteenthY, kSixteenthX - 15, kSixteenthY - 15, 30, 30));
    const size_t holdAt = Frames();
    Input("keydown --window " + mWindow + " 3");
    WaitForAudio(holdAt + size_t(kRate * 1.2));
    Input("keyup --window " + mWindow + " 3");
    const size_t releaseAt = Frames();
    WaitForAudio(releaseAt + size_t(kRate * 1.0));
    // A button's pressed look also changes the region, so the repeat is off
    // only once "1/16" looks as it did before it was turned on; a repeat left
    // on would play and record short key hits only on its steps.
    Tap(kSixteenthX, kSixteenthY);
    ASSERT_TRUE(WaitUntil([&] { return Region(kSixteenthX - 15, kSixteenthY - 15, 30, 30) == repeatOff; }))
        << "1/16 off again";

    // OUTPUTS: bus 1's filter on at cutoff 0 takes the snare's highs; the
    // hit on bus 2 keeps its own.
    ASSERT_TRUE(TapUntil(kOutputsTabX, kTabY, kOutputsTabX + kLitOffsetX, kTabLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    Shot("9-outputs");
    const size_t snareOpen = Moment([&] { Press("x"); });
    ASSERT_TRUE(TapUntilChanged(kFilterX, kFilterY, kFilterX - 15, kFilterY - 15, 30, 30)) << "FILTER on";
    Input(MoveTo(kCutoffX, kCutoffY) + " mousedown 1 " + MoveTo(kCutoffX, kCutoffY + 300) + " mouseup 1");
    Shot("10-outputs-low-pass");
    const size_t snareFiltered = Moment([&] { Press("x"); });
    const size_t hitOnBus2 = Moment([&] { Press("3"); });
    ASSERT_TRUE(TapUntilChanged(kFilterX, kFilterY, kFilterX - 15, kFilterY - 15, 30, 30)) << "FILTER off";

    // HOME: EXPORT to "Test".
    ASSERT_TRUE(TapUntil(kHomeTabX, kTabY, kHomeTabX + kLitOffsetX, kTabLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    ASSERT_TRUE(TapUntil(kExportX, kBankY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark)) << "the export browser";
    ASSERT_TRUE(TapUntilChanged(kAcceptX, kSaveAsY, 130, 40, 760, 50)) << "Save As asks for a name";
    Input("key --window " + mWindow + " --repeat 24 BackSpace");
    Input("type --delay 80 Test");
    Shot("11-export-name");
    Press("Return");
    const std::string package = Documents("User/VRX Banks/Test.vrx/Package.vrx");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(package); })) << "the exported package";
    EXPECT_EQ(std::system(("xmllint --noout '" + package + "'").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsBrowserDark(Pixel(Shot("probe"), kBrowserProbeX, kBrowserProbeY)); }));

    // CLEAR, then "OK": every pad empty and silent.
    ASSERT_TRUE(TapUntil(kClearX, kBankY, 330, 150, IsAlertGrey)) << "the clear question";
    Tap(kAlertMiddleX, kAlertY);
    ASSERT_TRUE(WaitUntil([&] { return FirstPadName() == emptyName; })) << "\"<EMPTY>\" on the pads";
    Shot("12-cleared");
    heard.push_back({"z after Clear Bank", Moment([&] { Press("z"); }), false});

    // IMPORT "Test" with "No": the pads sound again.
    const int testRowY = kFirstRowY + 2 * kRowPitch; // Default, Neon, Test, Timber, Zapped
    ASSERT_TRUE(TapUntil(kImportX, kBankY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark));
    ASSERT_TRUE(SelectRow(testRowY)) << "Test.vrx selected";
    ASSERT_TRUE(TapUntil(kAcceptX, kAcceptY, 330, 150, IsAlertGrey));
    Tap(kAlertNoX, kAlertY);
    ASSERT_TRUE(WaitUntil([&] { return FirstPadName() == kitName; })) << "the exported kit back on the pads";
    heard.push_back({"z after importing Test", Moment([&] { Press("z"); }), true});

    // A damaged bank: only the failure is shown, and the pads play on.
    ASSERT_TRUE(TapUntil(kImportX, kBankY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark));
    ASSERT_TRUE(SelectRow(kFirstRowY + 4 * kRowPitch)) << "Zapped.vrx selected";
    ASSERT_TRUE(TapUntil(kAcceptX, kAcceptY, 330, 150, IsAlertGrey));
    Tap(kAlertNoX, kAlertY);
    // The failure's alert has one button, so the question's "No" is gone.
    ASSERT_TRUE(WaitUntil([&] {
        const cScreenshot shot = Shot("13-import-failed");
        return IsAlertGrey(Pixel(shot, 330, 150)) && IsAlertGrey(Pixel(shot, kAlertNoX, kAlertY));
    })) << "Bank Import Failed";
    ASSERT_TRUE(TapUntil(kAlertRightX, kAlertY, 330, 150, [](const cRGB& c) { return !IsAlertGrey(c); }));
    // The alert's dim fades for a few frames after the alert has gone.
    EXPECT_TRUE(WaitUntil([&] { return FirstPadName() == kitName; })) << "the bank is kept";
    heard.push_back({"z after the failed import", Moment([&] { Press("z"); }), true});

    // Pad hits recorded from the keys become a part on the pads' track.
    // Recording counts in for a bar, two seconds at 120 BPM, from the frame
    // that took the tap; the hits go on for four seconds after it.
    Tap(kRecordX, kBarY);
    WaitForAudio(Frames() + size_t(kRate * 2.5));
    Shot("14-recording");
    for (const char* key : {"z", "x", "z", "x", "z", "x", "z", "x"})
    {
        const size_t at = Frames();
        Press(key);
        WaitForAudio(at + size_t(kRate * 0.5));
    }
    Tap(kStopX, kBarY);
    WaitForAudio(Frames() + size_t(kRate * 0.5));
    ASSERT_TRUE(TapUntil(kSongX, kBarY, kSongX - 20, 6, [](const cRGB& c) { return c.IsLitBlue(); }));
    const auto coloured = [&] {
        const cScreenshot song = StillShot("15-song");
        int count = 0;
        for (int y = kLaneY; y < kLaneY + kLaneHeight; y += 8)
            for (int x = kLaneX; x < kLaneX + kLaneWidth; x += 16)
            {
                const cRGB c = Pixel(song, x, y);
                count += std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 40 ? 1 : 0;
            }
        return count;
    };
    EXPECT_TRUE(WaitUntil([&] { return coloured() > 3; })) << "a part on the pads' track";

    Close(*program, 10.0);
    // The closing save keeps the part, with the hits in it.
    EXPECT_EQ(RecordedHits(), 8u) << "every hit recorded on the pads' track of the kept song";

    const std::vector<int16_t> left = ReadLeftChannel();
    for (const cHeard& moment : heard)
    {
        const int peak = Peak(left, moment.at, size_t(kRate * 0.4));
        if (moment.sounds)
            EXPECT_GT(peak, 1000) << moment.what;
        else
            EXPECT_LE(peak, kQuietLevel) << moment.what;
    }

    // Held with "1/16" at 120 BPM: a hit every eighth of a second, each on
    // its step to within one 128-frame block.
    std::vector<size_t> repeats;
    // Bus 2's send leaves a faint tail between the hits.
    for (size_t onset : Onsets(left, kRepeatQuietLevel))
        if (onset >= holdAt && onset < releaseAt + size_t(kRate / 8))
            repeats.push_back(onset);
    ASSERT_GE(repeats.size(), 5u);
    for (size_t i = 1; i < repeats.size(); ++i)
        EXPECT_NEAR(double(repeats[i] - repeats[i - 1]), kRate / 8.0, 128.0) << "repeat " << i;
    const size_t firstRepeat = repeats.front();
    EXPECT_NEAR(TonePitch(left.data() + firstRepeat + 100, 1200, kRate), kHitHz, kHitHz * 0.02) << "the loaded sample";

    const double open = HighEnergy(left, snareOpen, size_t(kRate * 0.4));
    EXPECT_LT(HighEnergy(left, snareFiltered, size_t(kRate * 0.4)), open * 0.05) << "bus 1 low-passed";
    EXPECT_GT(Peak(left, hitOnBus2, size_t(kRate * 0.4)), 1000) << "bus 2 untouched";
}
} // namespace

// The phone's layout of a 480 x 320 window: four tabs with AUTOBEAT among
// them, and the EDIT page's pop-up over the whole page once a pad is tapped.
TEST_F(PadPageTrialTest, ThePhoneShowsEveryPageAndThePopUp)
{
    constexpr int kPhoneTabX[4] = {25, 61, 96, 131};
    constexpr int kPhoneTabY = 67, kPhoneLitOffsetX = -11, kPhoneLitY = 80;
    constexpr int kPhonePadX = 204, kPhonePadY = 290, kPopUpProbeX = 300, kPopUpProbeY = 210;
    const char* const pages[4] = {"phone-1-home", "phone-2-edit", "phone-3-autobeat", "phone-4-outputs"};

    const std::unique_ptr<cProgram> program = StartProgram("-phone");
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    const auto lit = [](const cRGB& c) { return c.IsLitBlue(); };
    ASSERT_TRUE(WaitUntil([&] { return lit(Pixel(Shot(pages[0]), kPhoneTabX[0] + kPhoneLitOffsetX, kPhoneLitY)); }))
        << "HOME lit";
    // The start-up cover takes every tap until it has faded out.
    ASSERT_TRUE(WaitUntilStill(0, kPhoneTabY - 30, 160, 60)) << "the cover gone";
    for (int page : {2, 3, 1})
    {
        ASSERT_TRUE(TapUntil(kPhoneTabX[page], kPhoneTabY, kPhoneTabX[page] + kPhoneLitOffsetX, kPhoneLitY, lit))
            << pages[page];
        Shot(pages[page]);
    }
    // On the EDIT tab a tapped pad opens its pop-up rather than playing.
    ASSERT_TRUE(TapUntil(kPhonePadX, kPhonePadY, kPopUpProbeX, kPopUpProbeY,
                         [](const cRGB& c) { return !IsLavenderTile(c); }))
        << "the pop-up covers the grid";
    Shot("phone-5-popup");

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();
}
