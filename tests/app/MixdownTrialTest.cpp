#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "ProgramTrial.h"
#include "sampler/MixdownLevels.h"

// A mixdown tried as a new user would, on a virtual display with the disk
// audio device: a project saved once, its song swapped for the reference
// song as a MIDI file at a third of its tempo, opened at start; the project page's "Mixdown" to an
// Ogg file under the proposed name, decoded by oggdec; a second run
// cancelled from the overlay, leaving nothing new. And the first start's
// demo project mixed down to a WAV file that never reaches full scale.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts things: MANAGE on
// the bar, the project page's "Mixdown"; the dialogue's Format up arrow and
// its "Mixdown" button; the keyboard's return key; the overlay's "Cancel";
// the report's "Show File" and "OK".
constexpr int kBarMiddle = 15, kManageX = 185, kMixdownPageX = 136, kMixdownPageY = 428;
constexpr int kFormatUpX = 465, kFormatUpY = 170, kMixdownX = 613, kMixdownY = 212;
constexpr int kReturnX = 862, kReturnY = 269;
constexpr int kCancelX = 722, kCancelY = 194, kShowFileX = 540, kShowFileY = 190, kOkX = 668, kOkY = 194;
// Points that tell the screens apart: the alert's title bar, high above the
// overlay; the middle of the overlay or alert, dark in the dialogue below.
constexpr int kAlertTitleX = 512, kAlertTitleY = 60, kMiddleX = 512, kMiddleY = 150;

// The alert's title line, and the widest "Mixdown Cancelled" may draw:
// "Format Conversion Cancelled", after a cancel too late for the render,
// draws some 150 pixels wide.
constexpr int kTitleX = 362, kTitleY = 49, kTitleWidth = 300, kTitleHeight = 14, kCancelledTitleMaxWidth = 120;

// The reference song's 260 beats played at 40 BPM, 390 s, in whole blocks
// of 256 frames: a third of its tempo makes the render last long enough for
// a cancel to land in it.
constexpr size_t kSongFrames = 17199104;

// The reference song with its one tempo event, 120 BPM, set to 40 BPM.
bool WriteSlowedSong(const std::filesystem::path& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string tempo120("\xFF\x51\x03\x07\xA1\x20", 6);
    const size_t at = bytes.find(tempo120);
    if (at == std::string::npos)
        return false;
    bytes.replace(at + 3, 3, std::string("\x16\xE3\x60", 3));
    std::ofstream out(to, std::ios::binary);
    out << bytes;
    return bool(out.flush());
}

bool IsLight(const cRGB& rgb) { return rgb.r > 150 && rgb.g > 150 && rgb.b > 150; }
bool IsDark(const cRGB& rgb) { return rgb.r < 110 && rgb.g < 110 && rgb.b < 110; }

class MixdownTrialTest : public cProgramTrial
{
protected:
    MixdownTrialTest() : cProgramTrial("mixdown-trial", "mixdown-trial") {}

    // Screenshots until the test passes on one or the time runs out; the last one.
    template <class F>
    cScreenshot ShotWhen(const std::string& name, F&& test, double seconds = 60.0)
    {
        cScreenshot shot;
        WaitUntil([&] { return test(shot = Shot(name)); }, seconds);
        return shot;
    }
    static bool ShowsDialogue(const cScreenshot& shot) { return Pixel(shot, kFormatUpX, kFormatUpY).IsLitBlue(); }
    static bool ShowsKeyboard(const cScreenshot& shot)
    {
        return IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsDark(Pixel(shot, kMiddleX, kMiddleY));
    }
    static bool ShowsOverlay(const cScreenshot& shot)
    {
        return !IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsLight(Pixel(shot, kMiddleX, kMiddleY)) &&
               IsDark(Pixel(shot, kCancelX, kCancelY));
    }
    static bool ShowsAlert(const cScreenshot& shot)
    {
        return IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsLight(Pixel(shot, kMiddleX, kMiddleY));
    }

    // The width of the dark text (under 40 % grey) on the alert's title line.
    static int TitleWidth(const cScreenshot& shot)
    {
        const auto dark = [](const cRGB& c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b < 0.4 * 255.0; };
        int left = kTitleX + kTitleWidth, right = -1;
        for (int y = kTitleY; y < kTitleY + kTitleHeight; ++y)
            for (int x = kTitleX; x < kTitleX + kTitleWidth; ++x)
                if (dark(Pixel(shot, x, y)))
                {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right < 0 ? 0 : right - left + 1;
    }

    std::set<std::string> Mixdowns() const
    {
        std::set<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Documents("User/Mixdowns"), error))
            names.insert(entry.path().filename().string());
        return names;
    }

};

TEST_F(MixdownTrialTest, TheReferenceSongIsMixedDownToOggAndACancelLeavesNothing)
{
    const std::filesystem::path reference = std::filesystem::path(QUIL_BENCH_DATA_DIR) / "reference-song.mid";
    if (!std::filesystem::exists(reference))
        GTEST_FAIL() << "no reference song at " << reference;
    ASSERT_NO_FATAL_FAILURE(RequireTools({"oggdec"}));

    // The project saved once: played and stopped, a change kept on closing.
    const std::string project = Documents("User/Projects/Untitled-01.prj");
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        Key("space");
        Key("space");
        Close(*program, 30.0);
    }
    ASSERT_TRUE(std::filesystem::remove(project + "/Package.sng")) << "the closing save wrote no song";
    ASSERT_TRUE(WriteSlowedSong(reference, project + "/Package.mid")) << "no 120 BPM tempo in " << reference;

    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    Click(kManageX, kBarMiddle);
    StillShot("1-project-page");
    Tap(kMixdownPageX, kMixdownPageY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("2-dialogue", ShowsDialogue, 30.0))) << "the mixdown dialogue";
    StillShot("probe");
    Tap(kFormatUpX, kFormatUpY);
    Tap(kFormatUpX, kFormatUpY);
    StillShot("3-ogg-128");
    Tap(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("4-proposed-name", ShowsKeyboard, 30.0))) << "the name asked for";
    StillShot("probe");
    Tap(kReturnX, kReturnY);
    EXPECT_TRUE(ShowsOverlay(ShotWhen("5-rendering", ShowsOverlay, 30.0))) << "the overlay while it renders";
    ASSERT_TRUE(ShowsAlert(ShotWhen("probe", ShowsAlert, 600.0))) << "no report within ten minutes";
    // Read once the alert has faded in.
    const cScreenshot report = StillShot("6-completed");
    EXPECT_TRUE(IsDark(Pixel(report, kShowFileX, kShowFileY))) << "\"Mixdown Completed\" with \"Show File\"";
    // The Ogg alone, under the name proposed: the project's.
    ASSERT_EQ(Mixdowns(), std::set<std::string>{"Untitled-01.ogg"});

    const std::string decoded = mData + "-decoded.wav";
    EXPECT_EQ(std::system(("oggdec -Q -o '" + decoded + "' '" + Documents("User/Mixdowns/Untitled-01.ogg") + "'").c_str()),
              0);
    std::error_code error;
    const auto decodedBytes = std::filesystem::file_size(decoded, error);
    std::filesystem::remove(decoded);
    ASSERT_FALSE(error) << "oggdec wrote nothing";
    // The whole song, with its tail: 16-bit stereo after a 44-byte header.
    EXPECT_GE((decodedBytes - 44) / 4, kSongFrames);

    // The second run, proposed as "Untitled-02.ogg", cancelled while it renders.
    StillShot("probe");
    Tap(kOkX, kOkY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("7-dialogue-again", ShowsDialogue, 30.0)));
    StillShot("probe");
    Tap(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("8-proposed-name", ShowsKeyboard, 30.0)));
    StillShot("probe");
    // "Cancel" is tapped as soon as the overlay shows.
    Input(MoveTo(kReturnX, kReturnY) + " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
    ASSERT_TRUE(ShowsOverlay(ShotWhen("9-rendering-again", ShowsOverlay, 30.0))) << "the overlay while it renders";
    Tap(kCancelX, kCancelY);
    ASSERT_TRUE(ShowsAlert(ShotWhen("probe", ShowsAlert, 120.0))) << "no alert after the cancel";
    const cScreenshot cancelled = StillShot("10-cancelled");
    EXPECT_TRUE(IsLight(Pixel(cancelled, kShowFileX, kShowFileY))) << "\"Mixdown Cancelled\": OK alone";
    const int title = TitleWidth(cancelled);
    EXPECT_GT(title, 0);
    EXPECT_LE(title, kCancelledTitleMaxWidth) << "the render cancelled, not the conversion after it";
    EXPECT_EQ(Mixdowns(), std::set<std::string>{"Untitled-01.ogg"}) << "nothing new, nothing partial";
    StillShot("probe");
    Tap(kOkX, kOkY);
    Close(*program, 30.0);
}

TEST_F(MixdownTrialTest, TheDemoProjectIsMixedDownBelowFullScale)
{
    // A first start: the installer puts the demo in place and the start-up
    // page opens it.
    std::ofstream(Documents("GlobalSettings.dat"))
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Root FileVersion=\"1.000000\" RecentProject=\"User/Projects/Demos/Rock On.prj\" AutoSaved=\"false\" "
           "IntroHelp=\"5\"/>\n";
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(Documents("User/Projects/Demos/Rock On.prj")); }, 60.0))
        << "the installer put no demo in place";
    ASSERT_TRUE(WaitUntilStill(0, 0, 1024, 768)) << "the demo still loading";
    Click(kManageX, kBarMiddle);
    StillShot("probe");
    Tap(kMixdownPageX, kMixdownPageY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("demo-1-dialogue", ShowsDialogue, 30.0))) << "the mixdown dialogue";
    StillShot("probe");
    Tap(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("demo-2-proposed-name", ShowsKeyboard, 30.0))) << "the name asked for";
    StillShot("probe");
    Tap(kReturnX, kReturnY);
    ASSERT_TRUE(ShowsAlert(ShotWhen("probe", ShowsAlert, 120.0))) << "no report within two minutes";
    const cScreenshot report = StillShot("demo-3-completed");
    EXPECT_TRUE(IsDark(Pixel(report, kShowFileX, kShowFileY))) << "\"Mixdown Completed\" with \"Show File\"";
    ASSERT_EQ(Mixdowns(), std::set<std::string>{"Rock On.wav"});
    const MixdownLevels::cLevels levels = MixdownLevels::MeasureFile(Documents("User/Mixdowns/Rock On.wav"));
    EXPECT_GT(levels.frames, 44100 * 15) << "eight bars at 112 beats per minute";
    EXPECT_EQ(levels.Clips(), 0);
    EXPECT_LE(levels.PeakDb(), -1.0);
    EXPECT_GE(levels.RmsDb(), -23.0);
    StillShot("probe");
    Tap(kOkX, kOkY);
    Close(*program, 30.0);
}
} // namespace
