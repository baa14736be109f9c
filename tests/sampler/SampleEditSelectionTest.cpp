#include "SampleEditFixture.h"

namespace
{
using SampleEditSelectionTest = SampleEditTest;
} // namespace

TEST_F(SampleEditSelectionTest, SettersKeepTheSelectionInsideTheEditedLength)
{
    MakeSample({16, 1, 44100}, 1000);
    mModel.SetFrames(800);
    const struct
    {
        const char* what;
        int32_t a, b;
        int32_t start, end;
    } cases[] = {
        {"in order", 100, 200, 100, 200},
        {"exchanged", 200, 100, 100, 200},
        {"clamped at both ends", -50, 5000, 0, 800},
        {"a cursor", 300, 300, 300, 300},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(mModel.SetSelection(c.a, c.b), c.end - c.start) << c.what;
        EXPECT_EQ(mModel.GetSelectionStart(), c.start) << c.what;
        EXPECT_EQ(mModel.GetSelectionEnd(), c.end) << c.what;
    }

    mModel.SetSelection(100, 200);
    EXPECT_EQ(mModel.SetSelectionStart(250), 0) << "the start stops at the end";
    EXPECT_EQ(mModel.SetSelectionStart(-5), 200);
    EXPECT_EQ(mModel.SetSelectionEnd(900), 800) << "the end stops at the edited length";
    mModel.SetSelection(100, 200);
    EXPECT_EQ(mModel.SetSelectionEnd(50), 0) << "the end stops at the start";
    EXPECT_EQ(mModel.GetSelectionEnd(), 100);

    mModel.SetSelection(100, 200);
    mModel.SelectToEnd();
    EXPECT_EQ(mModel.GetSelectionEnd(), 800);
    mModel.SelectToStart();
    EXPECT_EQ(mModel.GetSelectionStart(), 0);
    mModel.ClearSelection();
    EXPECT_EQ(mModel.GetSelectionLength(), 0);
    mModel.SelectAll();
    EXPECT_EQ(mModel.GetSelectionEnd(), 800);
    EXPECT_EQ(mModel.GetSelectionCentre(), 400);
}

TEST_F(SampleEditSelectionTest, MovesReturnWhatTheLimitsTookAway)
{
    MakeSample({16, 2, 44100}, 1000);
    const struct
    {
        const char* what;
        bool end;
        int32_t delta;
        int32_t overshoot, start, stop;
    } cases[] = {
        {"start within", false, -50, 0, 50, 300},
        {"start below 0", false, -130, -30, 0, 300},
        {"start beyond the end", false, 250, 50, 300, 300},
        {"end within", true, 100, 0, 100, 400},
        {"end beyond the length", true, 800, 100, 100, 1000},
        {"end below the start", true, -260, -60, 100, 100},
    };
    for (const auto& c : cases)
    {
        mModel.SetSelection(100, 300);
        const int32_t overshoot = c.end ? mModel.MoveSelectionEnd(c.delta) : mModel.MoveSelectionStart(c.delta);
        EXPECT_EQ(overshoot, c.overshoot) << c.what;
        EXPECT_EQ(mModel.GetSelectionStart(), c.start) << c.what;
        EXPECT_EQ(mModel.GetSelectionEnd(), c.stop) << c.what;
    }
}

TEST_F(SampleEditSelectionTest, ASavedSelectionComesBack)
{
    MakeSample({16, 2, 44100}, 1000);
    mModel.SetSelection(10, 20);
    mModel.SaveSelection();
    mModel.SetSelection(500, 500);
    mModel.RestoreSelection();
    EXPECT_EQ(mModel.GetSelectionStart(), 10);
    EXPECT_EQ(mModel.GetSelectionEnd(), 20);
}

TEST_F(SampleEditSelectionTest, ANewSampleStartsAfresh)
{
    MakeSample({16, 2, 44100}, 1000);
    mModel.SetSelection(100, 200);
    ASSERT_TRUE(mModel.Delete());
    mModel.SetOverviewDirty(false);
    mModel.SetFrames(5000);
    EXPECT_EQ(mModel.GetFrames(), 1000) << "never past the sample's own length";
    mModel.SetFrames(-1);
    EXPECT_EQ(mModel.GetFrames(), 0);

    MakeSample({8, 1, 22050}, 300);
    EXPECT_EQ(mModel.GetFrames(), 300);
    EXPECT_EQ(mModel.GetHistory().GetCount(), 0);
    EXPECT_EQ(mModel.GetHistory().GetCurrent(), -1);
    EXPECT_EQ(mModel.GetSelectionLength(), 0);
    EXPECT_TRUE(mModel.IsOverviewDirty());
    EXPECT_TRUE(SamplerFiles().empty()) << "the old history's undo file went with it";

    mModel.SetSample(nullptr);
    EXPECT_EQ(mModel.GetFrames(), 0);
    EXPECT_TRUE(mModel.Normalize()) << "edits of nothing change nothing";
    EXPECT_TRUE(mModel.Delete());
    EXPECT_FALSE(mModel.ReplaceFromFile((Sampler() + "/none.wav").c_str()));
}

// The preview follows the selection, or plays the whole edited sample.
TEST_F(SampleEditSelectionTest, TheAuditionFollowsTheSelection)
{
    cRecordingAudition audition;
    SetSampleEditAudition(&audition);
    MakeSample({16, 2, 44100}, 1000);
    mModel.SetSelection(100, 200);
    mModel.SyncAudition(true);
    mModel.ClearSelection();
    mModel.SetSelection(40, 40);
    mModel.SyncAudition(true);
    mModel.SetSelection(100, 200);
    ASSERT_TRUE(mModel.Delete());
    audition.active = false;
    mModel.SyncAudition(true);
    SetSampleEditAudition(nullptr);
    EXPECT_EQ(audition.calls, (std::vector<std::string>{"range 100..200", "range 0..1000", "position 40",
                                                        "range 0..900"}));
}
