#include "SampleEditFixture.h"

namespace
{
using SampleEditHistoryTest = SampleEditTest;

std::string UndoName(const cSampleEditCommand& command)
{
    char name[32];
    std::snprintf(name, sizeof(name), "%XUndo.tmp", command.GetIdentity());
    return name;
}
} // namespace

TEST_F(SampleEditHistoryTest, FiveEditsKeepTheLastFour)
{
    MakeSample({16, 2, 44100}, 1000);
    cSampleEditHistory& history = mModel.GetHistory();
    mModel.SetSelection(0, 50);
    ASSERT_TRUE(mModel.FadeIn());
    const std::string first = UndoName(*history.GetSlot(0));
    const cSampleEditCommand* second = nullptr;
    for (int i = 0; i < 4; ++i)
    {
        mModel.SetSelection(100 * i, 100 * i + 10);
        ASSERT_TRUE(mModel.Silence());
        if (i == 0)
            second = history.GetSlot(1);
    }
    EXPECT_EQ(history.GetCount(), cSampleEditHistory::Capacity);
    EXPECT_EQ(history.GetCurrent(), 3);
    EXPECT_EQ(history.GetSlot(0), second);
    const std::vector<std::string> files = SamplerFiles();
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(std::count(files.begin(), files.end(), first), 0) << "the oldest edit's file went with it";
}

TEST_F(SampleEditHistoryTest, ANewEditReplacesTheUndoneOnes)
{
    MakeSample({16, 1, 44100}, 1000);
    cSampleEditHistory& history = mModel.GetHistory();
    for (int i = 0; i < 3; ++i)
    {
        mModel.SetSelection(10 * i, 10 * i + 5);
        ASSERT_TRUE(mModel.Delete());
    }
    ASSERT_NE(history.Undo(), nullptr);
    ASSERT_NE(history.Undo(), nullptr);
    EXPECT_TRUE(history.CanRedo());
    mModel.SetSelection(500, 600);
    ASSERT_TRUE(mModel.Trim());
    EXPECT_EQ(history.GetCount(), 2);
    EXPECT_EQ(history.GetCurrent(), 1);
    EXPECT_STREQ(history.GetSlot(1)->GetName(), "Trim");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Redo(), nullptr);
    EXPECT_EQ(SamplerFiles().size(), 2u);
}

TEST_F(SampleEditHistoryTest, JumpsUndoNewestFirstAndRedoOldestFirst)
{
    for (const cSampleFormat& format : kFormats)
    {
        SCOPED_TRACE(Describe(format));
        const tBytes original = Bytes(*MakeSample(format, 1000));
        cSampleEditHistory& history = mModel.GetHistory();
        // Each edit works on what the one before left, so any other order
        // gives other bytes.
        mModel.SetSelection(100, 200);
        ASSERT_TRUE(mModel.Delete());
        mModel.SetSelection(50, 850);
        ASSERT_TRUE(mModel.Trim());
        mModel.SetSelection(0, 400);
        ASSERT_TRUE(mModel.FadeOut());
        mModel.SetSelection(300, 500);
        ASSERT_TRUE(mModel.Delete());
        const tBytes edited = Bytes(*mSample);

        EXPECT_EQ(history.GoTo(-1), history.GetSlot(0));
        EXPECT_EQ(Bytes(*mSample), original);
        EXPECT_EQ(mModel.GetFrames(), 1000);
        EXPECT_EQ(history.GetCurrent(), -1);
        EXPECT_TRUE(SamplerFiles().empty());
        EXPECT_EQ(history.GoTo(3), history.GetSlot(3));
        EXPECT_EQ(Bytes(*mSample), edited);
        EXPECT_EQ(mModel.GetFrames(), 600);
        EXPECT_EQ(history.GoTo(1), history.GetSlot(2));
        EXPECT_EQ(history.GoTo(1), nullptr) << "already there";
        EXPECT_EQ(history.GoTo(99), history.GetSlot(3)) << "clamped to the newest";
        EXPECT_EQ(Bytes(*mSample), edited);
    }
}

TEST_F(SampleEditHistoryTest, NothingToUndoOrRedoChangesNothing)
{
    const tBytes original = Bytes(*MakeSample({16, 2, 44100}, 100));
    cSampleEditHistory& history = mModel.GetHistory();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Undo(), nullptr);
    EXPECT_EQ(history.Redo(), nullptr);
    EXPECT_EQ(history.GoTo(-1), nullptr);
    mModel.SetSelection(10, 20);
    ASSERT_TRUE(mModel.Normalize());
    EXPECT_EQ(history.Redo(), nullptr);
    EXPECT_STREQ(mModel.GetErrorText(), "");
    ASSERT_NE(history.Undo(), nullptr);
    EXPECT_EQ(history.Undo(), nullptr);
    EXPECT_EQ(Bytes(*mSample), original);
    EXPECT_EQ(history.GetCurrent(), -1);
}

// An edit of nothing is listed and undone like any other, with no file.
TEST_F(SampleEditHistoryTest, AnEditOfNothingUndoesToNothing)
{
    const tBytes original = Bytes(*MakeSample({16, 2, 44100}, 100));
    cSampleEditHistory& history = mModel.GetHistory();
    mModel.SetSelection(40, 40);
    ASSERT_TRUE(mModel.Delete());
    EXPECT_TRUE(SamplerFiles().empty());
    EXPECT_STREQ(history.GetSlot(0)->GetName(), "Delete");
    EXPECT_NE(history.Undo(), nullptr);
    EXPECT_NE(history.Redo(), nullptr);
    EXPECT_EQ(Bytes(*mSample), original);

    cSampleEditCommand* pushed = history.Push();
    EXPECT_EQ(history.GetSlot(1), pushed);
    EXPECT_EQ(pushed->GetType(), cSampleEditCommand::kNone);
    EXPECT_EQ(pushed->GetState(), cSampleEditCommand::kNew);
    EXPECT_STREQ(pushed->GetName(), "");
    EXPECT_TRUE(pushed->Execute());
    EXPECT_EQ(pushed->GetState(), cSampleEditCommand::kDone);
    EXPECT_NE(history.Undo(), nullptr);
    EXPECT_EQ(Bytes(*mSample), original);
}

TEST_F(SampleEditHistoryTest, CommandsTakeTheirNamesAndGains)
{
    cSampleEditCommand command(&mModel);
    const struct
    {
        cSampleEditCommand::eType type;
        const char* name;
        float start, end;
    } cases[] = {
        {cSampleEditCommand::kDelete, "Delete", 0.0f, 0.0f},  {cSampleEditCommand::kTrim, "Trim", 0.0f, 0.0f},
        {cSampleEditCommand::kNormalize, "Normalize", 0.0f, 0.0f}, {cSampleEditCommand::kSilence, "Silence", 0.0f, 0.0f},
        {cSampleEditCommand::kFadeIn, "Fade in", 0.0f, 1.0f},  {cSampleEditCommand::kFadeOut, "Fade out", 1.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        command.SetType(c.type);
        EXPECT_STREQ(command.GetName(), c.name);
        if (c.type >= cSampleEditCommand::kSilence)
        {
            EXPECT_EQ(command.GetGainStart(), c.start) << c.name;
            EXPECT_EQ(command.GetGainEnd(), c.end) << c.name;
        }
    }
    cSampleEditCommand other(&mModel);
    EXPECT_NE(other.GetIdentity(), command.GetIdentity());
    cGenStringFixed<64> name;
    other.FormatFileName(cSampleEditCommand::kRedoFile, name);
    char expected[32];
    std::snprintf(expected, sizeof(expected), "Sampler/%XRedo.tmp", other.GetIdentity());
    EXPECT_STREQ(name.CStr(), expected);
}
