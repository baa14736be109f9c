#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
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
using namespace std::chrono_literals;

// Where the desktop layout of a 1024 x 768 window puts Kest 4's cell in the
// main menu (slot 5), the cutoff knob on the sound page and "My Last Save"
// in the restart's auto-save question.
constexpr int kKestCellX = 691;
constexpr int kCutoffX = 780, kCutoffY = 142;
constexpr int kQuestionX = 511, kQuestionY = 130, kLastSaveX = 563, kLastSaveY = 195;
// The status bar's title, "Kest 4 : A00.Round Sub".
constexpr const char* kTitleArea = "316x20+215+6";

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

    // A key held as long as a player would, then a rest for the note to end.
    void HoldNote()
    {
        mDisplay.Run("xdotool keydown --window " + mWindow + " q sleep 1.0 keyup --window " + mWindow + " q");
        std::this_thread::sleep_for(1200ms);
    }
    // Whether two screenshots show the same title, pixel for pixel.
    static bool SameTitle(const std::string& a, const std::string& b)
    {
        const std::string command =
            "compare -metric AE '" + a + "[" + kTitleArea + "]' '" + b + "[" + kTitleArea + "]' null: 2>&1";
        char differing[64] = {};
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            if (!fgets(differing, sizeof(differing), pipe))
                differing[0] = 0;
            pclose(pipe);
        }
        return differing[0] == '0' && std::atof(differing) == 0.0;
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
    void Close(cProgram& program)
    {
        program.Signal(SIGTERM);
        ASSERT_TRUE(program.WaitForExit(10.0)) << "still running 10 s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
    }
};
} // namespace

TEST_F(SynthPresetTrialTest, AnEditedPresetWrittenToBankBPlaysTheSameAfterARestart)
{
    std::string written;
    std::vector<std::vector<double>> first;
    size_t notesFrom = 0;
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        OpenInstrument(kKestCellX);
        const std::string opened = Shot("1-kest-4");
        notesFrom = AudioFrames();
        HoldNote();

        Press(kPresetUpX, kBandY);
        const std::string stepped = Shot("2-preset-stepped");
        EXPECT_FALSE(SameTitle(opened, stepped)) << "the title names the next preset";
        HoldNote();

        // The sound page, two steps down past the Perform page; the cutoff
        // dragged most of the way up.
        Key("Down");
        Key("Down");
        // The page slides in and takes no touches until it stands.
        std::this_thread::sleep_for(1000ms);
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(kCutoffX) + " " +
                     std::to_string(kCutoffY) + " mousedown 1");
        for (int step = 1; step <= 12; ++step)
            mDisplay.Run("xdotool sleep 0.03 mousemove --window " + mWindow + " " + std::to_string(kCutoffX) + " " +
                         std::to_string(kCutoffY - step * 10));
        mDisplay.Run("xdotool mouseup 1");
        std::this_thread::sleep_for(500ms);
        const std::string edited = Shot("3-cutoff-turned");
        // WRITE blinks while the preset is modified: one shot may catch it dark.
        EXPECT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kWriteX, kBandY).IsLitBlue(); }, 5.0))
            << "WRITE lights for the modified preset";
        EXPECT_FALSE(SameTitle(stepped, edited)) << "the title marks the preset modified";
        HoldNote();

        Press(kWriteX, kBandY);
        Shot("4-write-dialogue");
        Press(kDialogueUpX, kDialogueBankY);
        Press(kDialogueUpX, kDialoguePresetY);
        Shot("5-destination");
        Press(kDialogueButtonX, kRenameY);
        Shot("6-rename-keyboard");
        TypeAndConfirm("Test Lead");
        Shot("7-renamed");
        Press(kDialogueButtonX, kDialogueWriteY);
        written = Shot("8-written");
        EXPECT_FALSE(SameTitle(edited, written)) << "the title names the written preset";

        Close(*program);
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
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        // The project as last saved by hand, with Kest 4 on its own preset again.
        ASSERT_TRUE(WaitForLightBox("9-auto-save-question", kQuestionX, kQuestionY))
            << "the restart asks which save to open";
        std::this_thread::sleep_for(1000ms);
        Press(kLastSaveX, kLastSaveY);
        OpenInstrument(kKestCellX);
        const std::string reopened = Shot("10-reopened");
        EXPECT_FALSE(SameTitle(reopened, written)) << "Kest 4 starts on its own preset";
        Press(kBankUpX, kBandY);
        Press(kPresetUpX, kBandY);
        Press(kPresetUpX, kBandY);
        const std::string chosen = Shot("11-test-lead-chosen");
        EXPECT_TRUE(SameTitle(chosen, written)) << "the title names \"Test Lead\" in bank B as when it was written";
        notesFrom = AudioFrames();
        HoldNote();
        Close(*program);
    }
    const std::vector<std::vector<double>> second = NoteSpectra(notesFrom);
    ASSERT_EQ(second.size(), 1u) << "one note on the chosen preset";
    EXPECT_LT(Distance(second[0], first[2]), kSameSound) << "the written preset plays the edited sound";
    EXPECT_GT(Distance(second[0], first[1]), kOtherSound) << "and not the preset it was made from";
}
