#include <gtest/gtest.h>

#include <string>

#include "KillHarness.h"
#include "SampleFiles.h"
#include "audio/WavFile.h"

// A WAV file written again and again, killed at each step of its commit and
// at random moments: every next start finds one of the two versions whole
// (its header and every sample) and no temporary left.
namespace
{
constexpr uint32_t kDataBytes = 400000;

class WavFileKillTest : public testing::Test
{
protected:
    // Every data byte tells the version.
    bool Save(int version)
    {
        cWavFile wav;
        if (!wav.OpenWrite(folder.Doc("Take.wav").c_str()))
            return false;
        wav.SetFormat(44100, 16, 2);
        const std::string data(kDataBytes, char('0' + version));
        return wav.WriteData(data.data(), kDataBytes) && wav.Close();
    }

    int Start() const
    {
        const std::string file = folder.Read("Take.wav");
        if (file.size() != cWavFile::kHeaderBytes + kDataBytes || file.compare(0, 4, "RIFF") != 0)
            return -1;
        const char mark = file[cWavFile::kHeaderBytes];
        const bool same = file.find_first_not_of(mark, cWavFile::kHeaderBytes) == std::string::npos;
        return same && (mark == '0' || mark == '1') ? mark - '0' : -1;
    }

    KillHarness::cKind Kind()
    {
        return {[this](int version) { return Save(version); }, [this] { return Start(); },
                {folder.Documents(), folder.Doc("../Temp")}};
    }

    cSampleFolder folder;
};

TEST_F(WavFileKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewFileWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 1);
}

TEST_F(WavFileKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 30, 4109);
}
} // namespace
