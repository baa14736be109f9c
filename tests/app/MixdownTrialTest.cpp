#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "ProgramTrial.h"
#include "sampler/MixdownLevels.h"

// A mixdown tried as a new user would, on a virtual display with the disk
// audio device: a project saved once, its song swapped for the reference
// song as a MIDI file, opened at start; the project page's "Mixdown" to an
// Ogg file under the proposed name, decoded by oggdec; a second run
// cancelled from the overlay, leaving nothing new. And the first start's
// demo project mixed down to a WAV file that never reaches full scale.
namespace
{
using namespace std::chrono_literals;

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

// The reference song's 66,560 ticks at 120 BPM.
constexpr size_t kSongFrames = 5733120;

bool IsLight(const cRGB& rgb) { return rgb.r > 150 && rgb.g > 150 && rgb.b > 150; }
bool IsDark(const cRGB& rgb) { return rgb.r < 110 && rgb.g < 110 && rgb.b < 110; }

class MixdownTrialTest : public cProgramTrial
{
protected:
    MixdownTrialTest() : cProgramTrial("mixdown-trial", "mixdown-trial") {}

    void Press(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
        std::this_thread::sleep_for(500ms);
    }

    // Screenshots until the test passes on one or the time runs out; the last one.
    template <class F>
    std::string ShotWhen(const std::string& name, F&& test, double seconds = 60.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string shot = Shot(name);
        while (!test(shot) && std::chrono::steady_clock::now() < deadline)
        {
            std::this_thread::sleep_for(200ms);
            shot = Shot(name);
        }
        return shot;
    }
    static bool ShowsDialogue(const std::string& shot) { return Pixel(shot, kFormatUpX, kFormatUpY).IsLitBlue(); }
    static bool ShowsKeyboard(const std::string& shot)
    {
        return IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsDark(Pixel(shot, kMiddleX, kMiddleY));
    }
    static bool ShowsOverlay(const std::string& shot)
    {
        return !IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsLight(Pixel(shot, kMiddleX, kMiddleY)) &&
               IsDark(Pixel(shot, kCancelX, kCancelY));
    }
    static bool ShowsAlert(const std::string& shot)
    {
        return IsLight(Pixel(shot, kAlertTitleX, kAlertTitleY)) && IsLight(Pixel(shot, kMiddleX, kMiddleY));
    }

    // The width of the dark text on the alert's title line.
    static int TitleWidth(const std::string& shot)
    {
        int width = 0;
        const std::string command = "convert '" + shot + "' -crop " + std::to_string(kTitleWidth) + "x" +
                                    std::to_string(kTitleHeight) + "+" + std::to_string(kTitleX) + "+" +
                                    std::to_string(kTitleY) + " +repage -colorspace gray -threshold 40% -negate -trim "
                                                              "-format %w info:";
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            if (std::fscanf(pipe, "%d", &width) != 1)
                width = 0;
            pclose(pipe);
        }
        return width;
    }

    std::set<std::string> Mixdowns() const
    {
        std::set<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Documents("User/Mixdowns"), error))
            names.insert(entry.path().filename().string());
        return names;
    }

    void Close(cProgram& program)
    {
        program.Signal(SIGTERM);
        ASSERT_TRUE(program.WaitForExit(30.0)) << "still running 30 s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
    }
};

TEST_F(MixdownTrialTest, TheReferenceSongIsMixedDownToOggAndACancelLeavesNothing)
{
    const std::filesystem::path reference = std::filesystem::path(QUIL_BENCH_DATA_DIR) / "reference-song.mid";
    if (!std::filesystem::exists(reference))
        GTEST_FAIL() << "no reference song at " << reference;
    if (!HasTool("oggdec"))
        GTEST_SKIP() << "oggdec is not installed";

    // The project saved once: played and stopped, a change kept on closing.
    const std::string project = Documents("User/Projects/Untitled-01.prj");
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        Key("space");
        Key("space");
        Close(*program);
    }
    ASSERT_TRUE(std::filesystem::remove(project + "/Package.sng")) << "the closing save wrote no song";
    std::filesystem::copy_file(reference, project + "/Package.mid");

    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    Click(kManageX, kBarMiddle);
    Shot("1-project-page");
    Press(kMixdownPageX, kMixdownPageY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("2-dialogue", ShowsDialogue, 30.0))) << "the mixdown dialogue";
    Press(kFormatUpX, kFormatUpY);
    Press(kFormatUpX, kFormatUpY);
    Shot("3-ogg-128");
    Press(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("4-proposed-name", ShowsKeyboard, 30.0))) << "the name asked for";
    Press(kReturnX, kReturnY);
    EXPECT_TRUE(ShowsOverlay(ShotWhen("5-rendering", ShowsOverlay, 30.0))) << "the overlay while it renders";
    const std::string report = ShotWhen("6-completed", ShowsAlert, 600.0);
    ASSERT_TRUE(ShowsAlert(report)) << "no report within ten minutes";
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
    Press(kOkX, kOkY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("7-dialogue-again", ShowsDialogue, 30.0)));
    Press(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("8-proposed-name", ShowsKeyboard, 30.0)));
    // The whole song renders in about two seconds here: "Cancel" goes in the
    // same xdotool run as the name's acceptance, half a second after it.
    mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(kReturnX) + " " +
                 std::to_string(kReturnY) + " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1 sleep 0.5 mousemove --window " +
                 mWindow + " " + std::to_string(kCancelX) + " " + std::to_string(kCancelY) +
                 " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
    const std::string cancelled = ShotWhen("10-cancelled", ShowsAlert, 120.0);
    ASSERT_TRUE(ShowsAlert(cancelled)) << "no alert after the cancel";
    EXPECT_TRUE(IsLight(Pixel(cancelled, kShowFileX, kShowFileY))) << "\"Mixdown Cancelled\": OK alone";
    const int title = TitleWidth(cancelled);
    EXPECT_GT(title, 0);
    EXPECT_LE(title, kCancelledTitleMaxWidth) << "the render cancelled, not the conversion after it";
    EXPECT_EQ(Mixdowns(), std::set<std::string>{"Untitled-01.ogg"}) << "nothing new, nothing partial";
    Press(kOkX, kOkY);
    Close(*program);
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
    Press(kMixdownPageX, kMixdownPageY);
    ASSERT_TRUE(ShowsDialogue(ShotWhen("demo-1-dialogue", ShowsDialogue, 30.0))) << "the mixdown dialogue";
    Press(kMixdownX, kMixdownY);
    ASSERT_TRUE(ShowsKeyboard(ShotWhen("demo-2-proposed-name", ShowsKeyboard, 30.0))) << "the name asked for";
    Press(kReturnX, kReturnY);
    const std::string report = ShotWhen("demo-3-completed", ShowsAlert, 120.0);
    ASSERT_TRUE(ShowsAlert(report)) << "no report within two minutes";
    EXPECT_TRUE(IsDark(Pixel(report, kShowFileX, kShowFileY))) << "\"Mixdown Completed\" with \"Show File\"";
    ASSERT_EQ(Mixdowns(), std::set<std::string>{"Rock On.wav"});
    const MixdownLevels::cLevels levels = MixdownLevels::MeasureFile(Documents("User/Mixdowns/Rock On.wav"));
    EXPECT_GT(levels.frames, 44100 * 15) << "eight bars at 112 beats per minute";
    EXPECT_EQ(levels.Clips(), 0);
    EXPECT_LE(levels.PeakDb(), -1.0);
    EXPECT_GE(levels.RmsDb(), -23.0);
    Press(kOkX, kOkY);
    Close(*program);
}
} // namespace
