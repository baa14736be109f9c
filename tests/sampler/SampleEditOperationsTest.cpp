#include "SampleEditFixture.h"

#include <algorithm>
#include <functional>

namespace
{
using SampleEditOperationsTest = SampleEditTest;

// The bytes of frames first..first+count of a buffer.
tBytes Frames(const tBytes& buffer, const cSampleFormat& format, int32_t first, int32_t count)
{
    const auto begin = buffer.begin() + ptrdiff_t(first) * format.FrameBytes();
    return tBytes(begin, begin + ptrdiff_t(count) * format.FrameBytes());
}

tBytes Zeros(const cSampleFormat& format, int32_t count) { return tBytes(size_t(count * format.FrameBytes()), 0); }

using tEdit = std::function<bool(cSampleEditModel&)>;

const struct
{
    const char* name;
    tEdit edit;
} kEdits[] = {
    {"Delete", [](cSampleEditModel& m) { return m.Delete(); }},
    {"Trim", [](cSampleEditModel& m) { return m.Trim(); }},
    {"Normalize", [](cSampleEditModel& m) { return m.Normalize(); }},
    {"Silence", [](cSampleEditModel& m) { return m.Silence(); }},
    {"Fade in", [](cSampleEditModel& m) { return m.FadeIn(); }},
    {"Fade out", [](cSampleEditModel& m) { return m.FadeOut(); }},
};
} // namespace

TEST_F(SampleEditOperationsTest, DeleteMovesTheRestDownAndItsUndoPutsTheRegionBack)
{
    for (const cSampleFormat& format : kFormats)
    {
        SCOPED_TRACE(Describe(format));
        const tBytes before = Bytes(*MakeSample(format, 1000));
        mModel.SetSelection(100, 200);
        ASSERT_TRUE(mModel.Delete());
        const tBytes after = Bytes(*mSample);
        EXPECT_EQ(Frames(after, format, 100, 800), Frames(before, format, 200, 800));
        EXPECT_EQ(Frames(after, format, 0, 100), Frames(before, format, 0, 100));
        EXPECT_EQ(Frames(after, format, 900, 100), Zeros(format, 100));
        EXPECT_EQ(mModel.GetFrames(), 900);
        EXPECT_EQ(mSample->GetFrames(), 1000) << "the buffer keeps its size until a commit";
        EXPECT_EQ(mModel.GetSelectionStart(), 100);
        EXPECT_EQ(mModel.GetSelectionEnd(), 100);

        ASSERT_TRUE(mModel.GetHistory().Undo());
        EXPECT_EQ(Bytes(*mSample), before);
        EXPECT_EQ(mModel.GetFrames(), 1000);
        EXPECT_EQ(mModel.GetSelectionStart(), 100);
        EXPECT_EQ(mModel.GetSelectionEnd(), 200);
    }
}

TEST_F(SampleEditOperationsTest, TrimKeepsTheRegionAndItsUndoPutsBothSidesBack)
{
    for (const cSampleFormat& format : kFormats)
    {
        SCOPED_TRACE(Describe(format));
        const tBytes before = Bytes(*MakeSample(format, 1000));
        mModel.SetSelection(100, 200);
        ASSERT_TRUE(mModel.Trim());
        const tBytes after = Bytes(*mSample);
        EXPECT_EQ(Frames(after, format, 0, 100), Frames(before, format, 100, 100));
        EXPECT_EQ(Frames(after, format, 100, 900), Zeros(format, 900));
        EXPECT_EQ(mModel.GetFrames(), 100);
        EXPECT_EQ(mModel.GetSelectionStart(), 0);
        EXPECT_EQ(mModel.GetSelectionEnd(), 100);
        EXPECT_EQ(mModel.GetHistory().GetSlot(0)->GetUndoHeader().frames, 900) << "100 before, 800 after";

        ASSERT_TRUE(mModel.GetHistory().Undo());
        EXPECT_EQ(Bytes(*mSample), before);
        EXPECT_EQ(mModel.GetFrames(), 1000);
        EXPECT_EQ(mModel.GetSelectionStart(), 100);
        EXPECT_EQ(mModel.GetSelectionEnd(), 200);
    }
}

TEST_F(SampleEditOperationsTest, NormalizeRaisesByAtMostTwentyDecibelsAndLeavesFullScale)
{
    const struct
    {
        const char* what;
        std::vector<int16_t> values;
        std::vector<int16_t> after;
    } cases[] = {
        {"a quiet region rises as if its peak were 3276", {1000, -500, 0}, {10002, -5001, 0}},
        {"peak 20000", {20000, 10000, -20000}, {32767, 16383, -32767}},
        {"a lone 32767", {32767, 100, -100}, {32767, 100, -100}},
        {"a lone -32768", {-32768, 100, -100}, {-32768, 100, -100}},
    };
    for (const auto& c : cases)
    {
        MakeSample16(c.values);
        ASSERT_TRUE(mModel.Normalize()) << c.what;
        EXPECT_EQ(std::vector<int16_t>(mSample->GetData16(), mSample->GetData16() + c.values.size()), c.after)
            << c.what;
        EXPECT_EQ(mModel.GetSelectionLength(), 0) << c.what;
    }
}

TEST_F(SampleEditOperationsTest, WithoutASelectionTheVolumeEditsStopAtTheEditedLength)
{
    for (const auto& edit : kEdits)
    {
        if (std::string(edit.name) == "Delete" || std::string(edit.name) == "Trim")
            continue;
        MakeSample16(std::vector<int16_t>(1000, 1000));
        mModel.SetFrames(500);
        ASSERT_TRUE(edit.edit(mModel)) << edit.name;
        const cSampleEditCommand* command = mModel.GetHistory().GetSlot(0);
        EXPECT_EQ(command->GetRegionStart(), 0) << edit.name;
        EXPECT_EQ(command->GetRegionEnd(), 500) << edit.name;
        const int16_t* values = mSample->GetData16();
        EXPECT_LT(std::count(values, values + 500, int16_t(1000)), 500) << edit.name;
        EXPECT_EQ(std::count(values + 500, values + 1000, int16_t(1000)), 500) << edit.name << ": past the edited length";
        EXPECT_EQ(mModel.GetFrames(), 500) << edit.name;
    }
}

TEST_F(SampleEditOperationsTest, FadesRampInSinglePrecisionAndOneFrameTakesTheStartGain)
{
    MakeSample16(std::vector<int16_t>(101, 10000));
    ASSERT_TRUE(mModel.FadeIn());
    const int32_t frames[] = {0, 33, 50, 99, 100};
    const int16_t values[] = {0, 3299, 5000, 9899, 10000};
    for (size_t i = 0; i < std::size(frames); ++i)
        EXPECT_EQ(Value16(*mSample, frames[i]), values[i]) << "frame " << frames[i];

    const struct
    {
        const char* name;
        tEdit edit;
        int16_t after;
    } oneFrame[] = {
        {"Fade out", kEdits[5].edit, 10000},
        {"Fade in", kEdits[4].edit, 0},
        {"Silence", kEdits[3].edit, 0},
    };
    for (const auto& c : oneFrame)
    {
        MakeSample16({10000, 10000, 10000});
        mModel.SetSelection(1, 2);
        ASSERT_TRUE(c.edit(mModel)) << c.name;
        EXPECT_EQ(Value16(*mSample, 1), c.after) << c.name;
        EXPECT_EQ(Value16(*mSample, 0), 10000) << c.name;
        EXPECT_EQ(Value16(*mSample, 2), 10000) << c.name;
        EXPECT_EQ(mModel.GetSelectionStart(), 1) << c.name << ": the selection stays";
        EXPECT_EQ(mModel.GetSelectionEnd(), 2) << c.name;
    }
}

// Long ranges change a piece at a time, so the audio thread never waits
// long for its lock; the pieces give what the whole range in one pass does.
TEST_F(SampleEditOperationsTest, LongVolumeEditsGiveWhatOnePassGives)
{
    for (const cSampleFormat& format : kFormats)
        for (int edit : {2, 3, 4, 5})
        {
            cSample* sample = MakeSample(format, 300001);
            // Quiet enough for Normalize to raise.
            for (int64_t i = 0; i < sample->GetDataBytes(); i += format.bits / 8)
                sample->GetData()[i + format.bits / 8 - 1] /= 4;
            mModel.SetSelection(7, 250007);
            tSampleRef whole(cSample::Create("whole.wav", format.bits, format.channels, format.rate, 300001));
            ASSERT_NE(whole.Get(), nullptr) << cSample::GetErrorText();
            whole->Release();
            std::memcpy(whole->GetData(), sample->GetData(), size_t(sample->GetDataBytes()));
            if (edit == 2)
                whole->Normalize(7, 250000);
            else
            {
                const float gains[][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 1}, {1, 0}};
                whole->ApplyGainRamp(7, 250000, gains[edit][0], gains[edit][1]);
            }
            ASSERT_TRUE(kEdits[edit].edit(mModel)) << kEdits[edit].name;
            EXPECT_EQ(Bytes(*sample), Bytes(*whole)) << kEdits[edit].name << ", " << Describe(format);
            whole.Release();
        }
}

// Every edit then its undo gives the buffer back byte for byte, with a
// selection and without, in every format.
TEST_F(SampleEditOperationsTest, EachEditThenItsUndoGivesTheSampleBack)
{
    for (const cSampleFormat& format : kFormats)
        for (const auto& edit : kEdits)
            for (const bool selected : {true, false})
            {
                SCOPED_TRACE(Describe(format) + " " + edit.name + (selected ? " of 37..613" : " of all"));
                const tBytes before = Bytes(*MakeSample(format, 701));
                if (selected)
                    mModel.SetSelection(37, 613);
                ASSERT_TRUE(edit.edit(mModel));
                // Without a selection Delete and Trim have nothing to remove.
                const std::string name = edit.name;
                const bool changes = selected || (name != "Delete" && name != "Trim");
                EXPECT_EQ(Bytes(*mSample) != before, changes);
                ASSERT_TRUE(mModel.GetHistory().Undo());
                EXPECT_EQ(Bytes(*mSample), before);
                EXPECT_EQ(mModel.GetFrames(), 701);
                EXPECT_TRUE(SamplerFiles().empty()) << "the undo deleted its file";
            }
}

TEST_F(SampleEditOperationsTest, ARedoneDeleteRemovesTheRegionItFirstRemoved)
{
    const tBytes before = Bytes(*MakeSample({16, 2, 44100}, 1000));
    mModel.SetSelection(100, 200);
    ASSERT_TRUE(mModel.Delete());
    const tBytes deleted = Bytes(*mSample);
    ASSERT_TRUE(mModel.GetHistory().Undo());
    mModel.SetSelection(500, 700);
    ASSERT_TRUE(mModel.GetHistory().Redo());
    EXPECT_EQ(Bytes(*mSample), deleted);
    EXPECT_EQ(mModel.GetFrames(), 900);
    EXPECT_EQ(mModel.GetSelectionStart(), 100);
    ASSERT_TRUE(mModel.GetHistory().Undo());
    EXPECT_EQ(Bytes(*mSample), before);
}

TEST_F(SampleEditOperationsTest, AReplaceTakesTheFilesFormatAndItsUndoTheOldOne)
{
    for (const cSampleFormat& format : {kFormats[0], kFormats[3]})
    {
        SCOPED_TRACE(Describe(format));
        const tBytes before = Bytes(*MakeSample(format, 1000));
        mModel.SetSelection(10, 20);
        const std::string render = Sampler() + "/EffectRender.wav";
        const std::vector<int16_t> rendered = {5, -5, 7, 300, -300};
        WriteFile(render, Wav16(1, 32000, rendered));
        ASSERT_TRUE(mModel.ReplaceFromFile(render.c_str())) << mModel.GetErrorText();
        const cSampleEditCommand* command = mModel.GetHistory().GetSlot(0);
        EXPECT_STREQ(command->GetName(), "Effects");
        char adopted[32];
        std::snprintf(adopted, sizeof(adopted), "EffectRender%X.wav", command->GetIdentity());
        EXPECT_EQ(command->GetPath(), Sampler() + "/" + adopted);
        char undo[32];
        std::snprintf(undo, sizeof(undo), "%XUndo.tmp", command->GetIdentity());
        // Listed sorted: the names' order follows the command's identity.
        std::vector<std::string> owned = {undo, adopted};
        std::sort(owned.begin(), owned.end());
        EXPECT_EQ(SamplerFiles(), owned) << "the command owns the render";
        EXPECT_EQ(mSample->GetChannels(), 1);
        EXPECT_EQ(mSample->GetSampleRate(), 32000);
        EXPECT_EQ(mSample->GetBits(), 16);
        EXPECT_EQ(mSample->GetFrames(), 5);
        EXPECT_EQ(std::vector<int16_t>(mSample->GetData16(), mSample->GetData16() + 5), rendered);
        EXPECT_EQ(mModel.GetFrames(), 5);
        EXPECT_EQ(mModel.GetSelectionLength(), 0);

        ASSERT_TRUE(mModel.GetHistory().Undo());
        EXPECT_EQ(mSample->GetChannels(), format.channels);
        EXPECT_EQ(mSample->GetSampleRate(), format.rate);
        EXPECT_EQ(mSample->GetBits(), format.bits);
        EXPECT_EQ(mSample->GetFrames(), 1000);
        EXPECT_EQ(Bytes(*mSample), before);
        EXPECT_EQ(mModel.GetFrames(), 1000);
        EXPECT_EQ(SamplerFiles(), (std::vector<std::string>{adopted}));

        ASSERT_TRUE(mModel.GetHistory().Redo());
        EXPECT_EQ(mSample->GetFrames(), 5);
        EXPECT_EQ(mModel.GetFrames(), 5);
        ASSERT_TRUE(mModel.GetHistory().Undo());
        mModel.GetHistory().Clear();
        EXPECT_TRUE(SamplerFiles().empty()) << "an undone replace deletes its file when it goes";
    }
}
