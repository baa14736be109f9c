#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SynthTrial.h"
#include "base/FileSystemDisk.h"
#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "mixer/RealFFT.h"

// The synthesizer's presets tried as a new user would, from an empty data
// folder (the first start installs the demo project): "Kest 4" opened from
// the main menu, its preset stepped, the filter's cutoff turned up, WRITE to
// bank B's third slot renamed "Test Lead" on the keyboard; after the closing
// save the bank file holds it, and after a restart that slot chosen by hand
// plays the edited sound. A note held after each step is heard in the
// program's audio and told apart by its spectrum.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts Kest 4's cell in the
// main menu (slot 5), the cutoff knob on the sound page and "My Last Save"
// in the restart's auto-save question.
constexpr int kKestCellX = 691;
constexpr int kCutoffX = 780, kCutoffY = 142;
constexpr int kQuestionX = 511, kQuestionY = 130, kLastSaveX = 563, kLastSaveY = 195;
// The status bar's title, "Kest 4 : A00.Round Sub".
constexpr int kTitleX = 215, kTitleY = 6, kTitleWidth = 316, kTitleHeight = 20;

constexpr int kQuietLevel = 30;
constexpr double kSampleRate = 44100.0;
// The spectra: a Hann window a quarter second into each note, in third
// octaves from 50 Hz, each band in dB of the note's whole energy.
constexpr int32_t kWindow = 8192;
constexpr double kSettle = 0.25;
constexpr double kLowestBand = 50.0, kHighestBand = 16000.0;
constexpr double kFloorDb = -60.0;
// The same sound played twice comes back within this RMS distance over the
// bands; another preset or a turned filter lies well beyond the other.
constexpr double kSameSound = 3.0, kOtherSound = 10.0;

std::vector<double> BandSpectrum(const std::vector<int16_t>& samples, size_t from)
{
    cRealFFT fft;
    const int32_t bins = fft.SetSize(kWindow);
    std::vector<float> windowed(kWindow), re(bins), im(bins);
    for (int32_t n = 0; n < kWindow; ++n)
        windowed[n] = float(samples[from + n]) * float(0.5 - 0.5 * std::cos(2.0 * M_PI * n / kWindow));
    fft.Forward(windowed.data(), re.data(), im.data());
    const double third = std::pow(2.0, 1.0 / 3.0);
    const double binWidth = kSampleRate / kWindow;
    std::vector<double> bands;
    double total = 0.0;
    for (double low = kLowestBand; low < kHighestBand; low *= third)
    {
        double energy = 0.0;
        for (int32_t k = int32_t(low / binWidth); k < std::min(int32_t(low * third / binWidth), bins); ++k)
            energy += double(re[k]) * re[k] + double(im[k]) * im[k];
        bands.push_back(energy);
        total += energy;
    }
    for (double& band : bands)
        band = std::max(10.0 * std::log10(band / std::max(total, 1e-30)), kFloorDb);
    return bands;
}

double Distance(const std::vector<double>& a, const std::vector<double>& b)
{
    double sum = 0.0;
    for (size_t k = 0; k < a.size(); ++k)
        sum += (a[k] - b[k]) * (a[k] - b[k]);
    return std::sqrt(sum / double(a.size()));
}

class SynthPresetTrialTest : public cSynthTrial
{
protected:
    SynthPresetTrialTest() : cSynthTrial("preset-trial", "preset-trial") {}

    std::string Documents(const std::string& name) const { return mData + "/Quilwright/Documents/" + name; }

    // A key held as long as a player would, then a rest for the note to
    // end, both timed by the program's own audio.
    void HoldNote()
    {
        Input("keydown --window " + mWindow + " q");
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(1.0 * kSampleRate))) << "the note held";
        Input("keyup --window " + mWindow + " q");
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(1.2 * kSampleRate))) << "the note ended";
    }
    // Whether two screenshots show the same title, pixel for pixel.
    static bool SameTitle(const cScreenshot& a, const cScreenshot& b)
    {
        return Region(a, kTitleX, kTitleY, kTitleWidth, kTitleHeight) ==
               Region(b, kTitleX, kTitleY, kTitleWidth, kTitleHeight);
    }
    // The frames of audio written so far: the notes played from here on are
    // the trial's own, whatever a stray tap played before.
    size_t AudioFrames() const
    {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(mAudio, error);
        return error ? 0 : size_t(bytes / (2 * sizeof(int16_t)));
    }
    // The spectrum of each note the program played after that frame, in order.
    std::vector<std::vector<double>> NoteSpectra(size_t fromFrame) const
    {
        std::vector<int16_t> left = ReadLeftChannel();
        left.erase(left.begin(), left.begin() + std::min(fromFrame, left.size()));
        std::vector<std::vector<double>> spectra;
        for (size_t onset : Onsets(left, kQuietLevel))
        {
            const size_t from = onset + size_t(kSettle * kTrialSampleRate);
            if (from + kWindow <= left.size())
                spectra.push_back(BandSpectrum(left, from));
        }
        return spectra;
    }
};
} // namespace

TEST_F(SynthPresetTrialTest, AnEditedPresetWrittenToBankBPlaysTheSameAfterARestart)
{
    cScreenshot written;
    std::vector<std::vector<double>> first;
    size_t notesFrom = 0;
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        OpenInstrument(kKestCellX);
        const cScreenshot opened = StillShot("1-kest-4");
        notesFrom = AudioFrames();
        ASSERT_NO_FATAL_FAILURE(HoldNote());

        Press(kPresetUpX, kBandY);
        const cScreenshot stepped = StillShot("2-preset-stepped");
        EXPECT_FALSE(SameTitle(opened, stepped)) << "the title names the next preset";
        ASSERT_NO_FATAL_FAILURE(HoldNote());

        // The sound page, two steps down past the Perform page; the cutoff
        // dragged most of the way up. The page slides in and takes no
        // touches until it stands.
        Key("Down");
        StillShot("probe");
        Key("Down");
        StillShot("probe");
        std::string drag = MoveTo(kCutoffX, kCutoffY) + " mousedown 1";
        for (int step = 1; step <= 12; ++step)
            drag += " sleep 0.03 " + MoveTo(kCutoffX, kCutoffY - step * 10);
        Input(drag + " mouseup 1");
        // WRITE blinks while the preset is modified: one shot may catch it dark.
        EXPECT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kWriteX, kBandY).IsLitBlue(); }))
            << "WRITE lights for the modified preset";
        cScreenshot edited;
        EXPECT_TRUE(WaitUntil([&] { return !SameTitle(stepped, edited = Shot("3-cutoff-turned")); }))
            << "the title marks the preset modified";
        ASSERT_NO_FATAL_FAILURE(HoldNote());

        Press(kWriteX, kBandY);
        StillShot("4-write-dialogue");
        Press(kDialogueUpX, kDialogueBankY);
        Press(kDialogueUpX, kDialoguePresetY);
        StillShot("5-destination");
        Press(kDialogueButtonX, kRenameY);
        StillShot("6-rename-keyboard");
        TypeAndConfirm("Test Lead");
        StillShot("7-renamed");
        Press(kDialogueButtonX, kDialogueWriteY);
        written = StillShot("8-written");
        EXPECT_FALSE(SameTitle(edited, written)) << "the title names the written preset";

        Close(*program, 10.0);
        first = NoteSpectra(notesFrom);
    }
    ASSERT_EQ(first.size(), 3u) << "one note each: the opened preset, the next, the edited";
    EXPECT_GT(Distance(first[0], first[1]), kOtherSound) << "stepping the preset changes the sound";
    EXPECT_GT(Distance(first[1], first[2]), kOtherSound) << "the cutoff turned up changes the sound";

    // The closing save wrote bank B, and its third slot holds the new name.
    {
        File::cFileSystemDisk documents("Doc", Documents("").c_str());
        auto bank = std::make_unique<cAnalogueSynthBank>();
        cGenString error;
        ASSERT_TRUE(ReadBankFile(documents, cGenString("Instruments/Kest/GlobalB.bnk"), nullptr, *bank, error))
            << error.CStr();
        EXPECT_STREQ(bank->singles[2].Name, "Test Lead");
    }

    std::filesystem::remove(mAudio);
    {
        // The restart meets a question before the main screen.
        const std::unique_ptr<cProgram> program = LaunchProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        // The project as last saved by hand, with Kest 4 on its own preset again.
        ASSERT_TRUE(WaitForLightBox("9-auto-save-question", kQuestionX, kQuestionY))
            << "the restart asks which save to open";
        StillShot("probe");
        Press(kLastSaveX, kLastSaveY);
        EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
        OpenInstrument(kKestCellX, false);
        const cScreenshot reopened = StillShot("10-reopened");
        EXPECT_FALSE(SameTitle(reopened, written)) << "Kest 4 starts on its own preset";
        Press(kBankUpX, kBandY);
        Press(kPresetUpX, kBandY);
        Press(kPresetUpX, kBandY);
        const cScreenshot chosen = StillShot("11-test-lead-chosen");
        EXPECT_TRUE(SameTitle(chosen, written)) << "the title names \"Test Lead\" in bank B as when it was written";
        notesFrom = AudioFrames();
        ASSERT_NO_FATAL_FAILURE(HoldNote());
        Close(*program, 10.0);
    }
    const std::vector<std::vector<double>> second = NoteSpectra(notesFrom);
    ASSERT_EQ(second.size(), 1u) << "one note on the chosen preset";
    EXPECT_LT(Distance(second[0], first[2]), kSameSound) << "the written preset plays the edited sound";
    EXPECT_GT(Distance(second[0], first[1]), kOtherSound) << "and not the preset it was made from";
}
