#include "SampleEditFixture.h"

#include <functional>

#include "base/FileTestFolder.h"

namespace
{
using SampleEditUndoFileTest = SampleEditTest;

std::string Slice(const tBytes& buffer, int32_t frameBytes, int32_t first, int32_t count)
{
    return std::string(buffer.begin() + ptrdiff_t(first) * frameBytes,
                       buffer.begin() + ptrdiff_t(first + count) * frameBytes);
}
} // namespace

TEST_F(SampleEditUndoFileTest, AnUndoFileIsItsHeaderThenTheDestroyedFrames)
{
    const struct
    {
        const char* what;
        bool trim;
        size_t size;
        int32_t frames;
    } cases[] = {
        {"Delete of 100..199", false, 420, 100},
        {"Trim to 100..199", true, 3620, 900},
    };
    for (const auto& c : cases)
    {
        const tBytes before = Bytes(*MakeSample({16, 2, 44100}, 1000));
        mModel.SetSelection(100, 200);
        ASSERT_TRUE(c.trim ? mModel.Trim() : mModel.Delete()) << c.what;
        const cSampleEditCommand* command = mModel.GetHistory().GetSlot(0);
        char name[32];
        std::snprintf(name, sizeof(name), "%XUndo.tmp", command->GetIdentity());
        EXPECT_EQ(SamplerFiles(), std::vector<std::string>{name}) << c.what << ": no temporary or backup is left";

        const std::string file = ReadFile(Sampler() + "/" + name);
        ASSERT_EQ(file.size(), c.size) << c.what;
        const int32_t header[] = {2, 2, 44100, c.frames, c.frames * 4};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(ReadWord(file, size_t(i) * 4), header[i]) << c.what << ", word " << i;
        const std::string saved = c.trim ? Slice(before, 4, 0, 100) + Slice(before, 4, 200, 800)
                                         : Slice(before, 4, 100, 100);
        EXPECT_TRUE(file.substr(20) == saved) << c.what;

        ASSERT_TRUE(mModel.GetHistory().Undo());
        EXPECT_TRUE(SamplerFiles().empty()) << c.what;
    }
}

// An edit whose undo data cannot be saved whole changes nothing: not the
// sample, not the history, and it leaves no file.
TEST_F(SampleEditUndoFileTest, AnEditWithoutRoomForItsUndoDataIsRefused)
{
    using tEdit = bool (cSampleEditModel::*)();
    const struct
    {
        const char* name;
        tEdit edit;
    } edits[] = {
        {"Delete", &cSampleEditModel::Delete},   {"Trim", &cSampleEditModel::Trim},
        {"Normalize", &cSampleEditModel::Normalize}, {"Silence", &cSampleEditModel::Silence},
        {"Fade in", &cSampleEditModel::FadeIn},   {"Fade out", &cSampleEditModel::FadeOut},
    };
    for (const bool fullDisk : {true, false})
        for (const auto& edit : edits)
        {
            SCOPED_TRACE(std::string(edit.name) + (fullDisk ? " on a full disk" : " without a folder"));
            MakeSample({16, 2, 44100}, 1000);
            mModel.SetSelection(0, 10);
            ASSERT_TRUE(mModel.FadeIn());
            ASSERT_TRUE(mModel.Silence());
            ASSERT_NE(mModel.GetHistory().Undo(), nullptr);
            const tBytes before = Bytes(*mSample);
            const std::vector<std::string> files = SamplerFiles();
            mModel.SetSelection(100, 300);
            bool done;
            if (fullDisk)
            {
                cFileSizeLimit limit(500);
                done = (mModel.*edit.edit)();
            }
            else
            {
                std::filesystem::rename(Sampler(), Sampler() + "-away");
                done = (mModel.*edit.edit)();
                std::filesystem::rename(Sampler() + "-away", Sampler());
            }
            EXPECT_FALSE(done);
            EXPECT_STREQ(mModel.GetErrorText(), "Couldn't save undo data: sample unchanged");
            EXPECT_EQ(Bytes(*mSample), before);
            EXPECT_EQ(mModel.GetFrames(), 1000);
            EXPECT_EQ(mModel.GetSelectionStart(), 100);
            EXPECT_EQ(mModel.GetSelectionEnd(), 300);
            EXPECT_EQ(mModel.GetHistory().GetCount(), 2) << "the undone edit can still be redone";
            EXPECT_EQ(mModel.GetHistory().GetCurrent(), 0);
            EXPECT_EQ(SamplerFiles(), files);

            ASSERT_TRUE((mModel.*edit.edit)()) << "with room again";
            EXPECT_STREQ(mModel.GetErrorText(), "");
        }
}

TEST_F(SampleEditUndoFileTest, ARedoWithoutRoomForItsUndoDataIsRefused)
{
    MakeSample({16, 2, 44100}, 1000);
    mModel.SetSelection(100, 300);
    ASSERT_TRUE(mModel.Delete());
    ASSERT_NE(mModel.GetHistory().Undo(), nullptr);
    const tBytes before = Bytes(*mSample);
    {
        cFileSizeLimit limit(500);
        EXPECT_EQ(mModel.GetHistory().Redo(), nullptr);
        EXPECT_EQ(mModel.GetHistory().GoTo(0), nullptr);
    }
    EXPECT_STREQ(mModel.GetErrorText(), "Couldn't save undo data: sample unchanged");
    EXPECT_EQ(Bytes(*mSample), before);
    EXPECT_EQ(mModel.GetFrames(), 1000);
    EXPECT_EQ(mModel.GetHistory().GetCurrent(), -1);
    EXPECT_TRUE(SamplerFiles().empty());
    EXPECT_EQ(mModel.GetHistory().GetSlot(0)->GetState(), cSampleEditCommand::kUndone);
    ASSERT_NE(mModel.GetHistory().Redo(), nullptr) << "with room again";
    EXPECT_EQ(mModel.GetFrames(), 800);
}

// A replace that cannot take its file records nothing and drops the file.
TEST_F(SampleEditUndoFileTest, AReplaceWhoseFileCannotBeReadIsRefused)
{
    const struct
    {
        const char* what;
        const char* content; // null: no file
        const char* error;
    } cases[] = {
        {"not a WAV file", "just text", "Couldn't find RIFF, WAVE, or fmt"},
        {"a missing file", nullptr, "Couldn't open file"},
    };
    for (const auto& c : cases)
    {
        const tBytes before = Bytes(*MakeSample({16, 2, 44100}, 100));
        mModel.SetSelection(10, 20);
        ASSERT_TRUE(mModel.Normalize());
        const tBytes normalized = Bytes(*mSample);
        const std::string render = Sampler() + "/EffectRender.wav";
        if (c.content)
            WriteFile(render, c.content);
        EXPECT_FALSE(mModel.ReplaceFromFile(render.c_str())) << c.what;
        EXPECT_STREQ(mModel.GetErrorText(), c.error) << c.what;
        EXPECT_EQ(Bytes(*mSample), normalized) << c.what;
        EXPECT_EQ(mModel.GetHistory().GetCount(), 1) << c.what;
        EXPECT_EQ(SamplerFiles().size(), 1u) << c.what << ": only the Normalize undo file is left";
        ASSERT_NE(mModel.GetHistory().Undo(), nullptr) << c.what;
        EXPECT_EQ(Bytes(*mSample), before) << c.what;
    }
}

// Undo reads nothing it cannot trust: a file that is missing, shorter or
// longer than its header says, or another's, leaves sample and history.
TEST_F(SampleEditUndoFileTest, AnUndoWithoutItsWholeFileIsRefused)
{
    const struct
    {
        const char* what;
        std::function<void(const std::string&)> damage;
    } damages[] = {
        {"missing", [](const std::string& path) { std::filesystem::remove(path); }},
        {"a byte short", [](const std::string& path) { std::filesystem::resize_file(path, std::filesystem::file_size(path) - 1); }},
        {"a byte long", [](const std::string& path) { WriteFile(path, ReadFile(path) + "x"); }},
        {"only its header", [](const std::string& path) { WriteFile(path, ReadFile(path).substr(0, 20)); }},
        {"another rate", [](const std::string& path) {
             std::string bytes = ReadFile(path);
             bytes[8] = char(0x22); // 44100 becomes 44066
             WriteFile(path, bytes);
         }},
    };
    using tEdit = bool (cSampleEditModel::*)();
    const struct
    {
        const char* name;
        tEdit edit;
    } edits[] = {
        {"Delete", &cSampleEditModel::Delete},
        {"Trim", &cSampleEditModel::Trim},
        {"Normalize", &cSampleEditModel::Normalize},
        {"Fade out", &cSampleEditModel::FadeOut},
        {"Effects", nullptr},
    };
    for (const auto& damage : damages)
        for (const auto& edit : edits)
        {
            SCOPED_TRACE(std::string(edit.name) + " with its file " + damage.what);
            MakeSample({16, 2, 44100}, 1000);
            mModel.SetSelection(100, 300);
            if (edit.edit)
                ASSERT_TRUE((mModel.*edit.edit)());
            else
            {
                WriteFile(Sampler() + "/Render.wav", Wav16(1, 22050, {1, 2, 3}));
                ASSERT_TRUE(mModel.ReplaceFromFile((Sampler() + "/Render.wav").c_str()));
            }
            const tBytes edited = Bytes(*mSample);
            const int32_t frames = mModel.GetFrames();
            const int32_t start = mModel.GetSelectionStart(), end = mModel.GetSelectionEnd();
            const cSampleEditCommand* command = mModel.GetHistory().GetSlot(0);
            damage.damage(UndoFilePath(*command));

            EXPECT_EQ(mModel.GetHistory().Undo(), nullptr);
            EXPECT_STREQ(mModel.GetErrorText(), "Couldn't read undo data");
            EXPECT_EQ(Bytes(*mSample), edited);
            EXPECT_EQ(mSample->GetChannels(), edit.edit ? 2 : 1);
            EXPECT_EQ(mModel.GetFrames(), frames);
            EXPECT_EQ(mModel.GetSelectionStart(), start);
            EXPECT_EQ(mModel.GetSelectionEnd(), end);
            EXPECT_EQ(mModel.GetHistory().GetCurrent(), 0);
            EXPECT_EQ(command->GetState(), cSampleEditCommand::kDone);
        }
}

TEST_F(SampleEditUndoFileTest, AJumpStopsAtAnUndoItCannotMake)
{
    MakeSample({8, 1, 22050}, 1000);
    mModel.SetSelection(0, 100);
    ASSERT_TRUE(mModel.FadeIn());
    mModel.SetSelection(300, 400);
    ASSERT_TRUE(mModel.Delete());
    mModel.SetSelection(500, 600);
    ASSERT_TRUE(mModel.Silence());
    cSampleEditHistory& history = mModel.GetHistory();
    std::filesystem::remove(UndoFilePath(*history.GetSlot(1)));

    EXPECT_EQ(history.GoTo(-1), history.GetSlot(2)) << "the last command undone";
    EXPECT_EQ(history.GetCurrent(), 1);
    EXPECT_STREQ(mModel.GetErrorText(), "Couldn't read undo data");
    EXPECT_EQ(mModel.GetFrames(), 900);
    EXPECT_EQ(history.GoTo(-1), nullptr) << "refused at once";
    EXPECT_EQ(history.GetCurrent(), 1);
}
