#include "SampleEditFixture.h"

#include <deque>
#include <random>

namespace
{
// The sample as the editor leaves it.
struct cState
{
    tBytes data;
    int32_t frames = 0;
    int32_t bits = 0;
    int32_t channels = 0;
    int32_t rate = 0;
    bool saved = false; // the command that led here keeps an undo file

    bool operator==(const cState&) const = default;
};

// The history kept as plain copies of the sample after each edit: what every
// undo, redo and jump must give back.
class cPlainHistory
{
public:
    explicit cPlainHistory(const cState& start) { mStates.push_back(start); }

    const cState& Current() const { return mStates[size_t(mCurrent + 1)]; }
    const cState& At(int32_t index) const { return mStates[size_t(index + 1)]; }
    int32_t GetCount() const { return int32_t(mStates.size()) - 1; }
    int32_t GetCurrent() const { return mCurrent; }
    void SetCurrent(int32_t index) { mCurrent = index; }
    void Push(const cState& state)
    {
        mStates.resize(size_t(mCurrent + 2));
        if (mCurrent + 1 >= cSampleEditHistory::Capacity)
        {
            mStates.pop_front();
            --mCurrent;
        }
        mStates.push_back(state);
        ++mCurrent;
    }
    int32_t SavedInEffect() const
    {
        int32_t saved = 0;
        for (int32_t i = 0; i <= mCurrent; ++i)
            saved += At(i).saved ? 1 : 0;
        return saved;
    }

private:
    std::deque<cState> mStates;
    int32_t mCurrent = -1;
};

tBytes Part(const cState& state, int32_t first, int32_t count)
{
    const int32_t frameBytes = state.bits / 8 * state.channels;
    const auto begin = state.data.begin() + ptrdiff_t(first) * frameBytes;
    return tBytes(begin, begin + ptrdiff_t(count) * frameBytes);
}

tBytes Join(std::initializer_list<tBytes> parts)
{
    tBytes joined;
    for (const tBytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// Delete and Trim, computed from the plain copy.
cState Deleted(const cState& state, int32_t start, int32_t end)
{
    cState after = state;
    const int32_t frameBytes = state.bits / 8 * state.channels;
    const int32_t total = int32_t(state.data.size()) / frameBytes;
    const int32_t length = end - start;
    after.data = Join({Part(state, 0, start), Part(state, end, state.frames - end), tBytes(size_t(length * frameBytes), 0),
                       Part(state, state.frames, total - state.frames)});
    after.frames = state.frames - length;
    after.saved = length > 0;
    return after;
}

cState Trimmed(const cState& state, int32_t start, int32_t end)
{
    cState after = state;
    after.saved = false;
    if (end == start)
        return after; // nothing to keep is no trim at all
    const int32_t frameBytes = state.bits / 8 * state.channels;
    const int32_t total = int32_t(state.data.size()) / frameBytes;
    const int32_t length = end - start;
    after.data = Join({Part(state, start, length), tBytes(size_t((state.frames - length) * frameBytes), 0),
                       Part(state, state.frames, total - state.frames)});
    after.frames = length;
    after.saved = length > 0;
    return after;
}

class SampleEditRandomTest : public SampleEditTest
{
protected:
    cState Observe(bool saved = false) const
    {
        return {Bytes(*mSample), mModel.GetFrames(), mSample->GetBits(), mSample->GetChannels(),
                mSample->GetSampleRate(), saved};
    }

    size_t UndoFiles() const
    {
        const std::vector<std::string> files = SamplerFiles();
        return size_t(std::count_if(files.begin(), files.end(),
                                    [](const std::string& f) { return f.ends_with("Undo.tmp"); }));
    }

    // A WAV file of random length, channels, rate and values to replace the sample with.
    std::string MakeRender(std::mt19937& random, cState& expected)
    {
        const int channels = int(random() % 2) + 1;
        const int frames = int(random() % 400) + 1;
        const int rate = 8000 + int(random() % 40000);
        std::vector<int16_t> values(size_t(frames * channels));
        for (int16_t& v : values)
            v = int16_t(random());
        const std::string path = Sampler() + "/Render.wav";
        WriteFile(path, Wav16(channels, rate, values));
        expected = {tBytes(reinterpret_cast<const uint8_t*>(values.data()),
                           reinterpret_cast<const uint8_t*>(values.data() + values.size())),
                    frames, 16, channels, rate, true};
        return path;
    }
};
} // namespace

// Random edits, undos, redos and jumps, 500 in each format, against the
// history kept as plain copies.
TEST_F(SampleEditRandomTest, EveryStepMatchesThePlainCopies)
{
    int32_t formatIndex = 0;
    for (const cSampleFormat& format : kFormats)
    {
        SCOPED_TRACE(Describe(format));
        std::mt19937 random(uint32_t(43 + formatIndex++));
        MakeSample(format, 2000);
        cSampleEditHistory& history = mModel.GetHistory();
        cPlainHistory plain(Observe());
        for (int step = 0; step < 500; ++step)
        {
            SCOPED_TRACE("step " + std::to_string(step));
            const uint32_t choice = random() % 100;
            if (choice < 60)
            {
                const int32_t frames = mModel.GetFrames();
                const int32_t a = int32_t(random() % uint32_t(frames + 1));
                const int32_t b = random() % 5 == 0 ? a : int32_t(random() % uint32_t(frames + 1));
                mModel.SetSelection(a, b);
                const int32_t start = mModel.GetSelectionStart(), end = mModel.GetSelectionEnd();
                const cState before = Observe();
                cState expected;
                const uint32_t kind = random() % 31;
                if (kind < 6)
                {
                    ASSERT_TRUE(mModel.Delete());
                    expected = Deleted(before, start, end);
                    ASSERT_EQ(Observe(expected.saved), expected);
                }
                else if (kind < 12)
                {
                    ASSERT_TRUE(mModel.Trim());
                    expected = Trimmed(before, start, end);
                    ASSERT_EQ(Observe(expected.saved), expected);
                }
                else if (kind < 30)
                {
                    const uint32_t which = kind % 4;
                    const bool done = which == 0   ? mModel.Normalize()
                                      : which == 1 ? mModel.Silence()
                                      : which == 2 ? mModel.FadeIn()
                                                   : mModel.FadeOut();
                    ASSERT_TRUE(done);
                    expected = Observe(before.frames > 0);
                    // Only the region changes, never past the edited length.
                    const int32_t first = end > start ? start : 0, last = end > start ? end : before.frames;
                    ASSERT_EQ(Part(expected, 0, first), Part(before, 0, first));
                    const int32_t total = int32_t(before.data.size()) / (before.bits / 8 * before.channels);
                    ASSERT_EQ(Part(expected, last, total - last), Part(before, last, total - last));
                }
                else
                {
                    const std::string render = MakeRender(random, expected);
                    ASSERT_TRUE(mModel.ReplaceFromFile(render.c_str())) << mModel.GetErrorText();
                    ASSERT_EQ(Observe(true), expected);
                }
                plain.Push(expected);
            }
            else if (choice < 75)
            {
                const bool can = plain.GetCurrent() >= 0;
                ASSERT_EQ(history.Undo() != nullptr, can);
                if (can)
                    plain.SetCurrent(plain.GetCurrent() - 1);
            }
            else if (choice < 90)
            {
                const bool can = plain.GetCurrent() < plain.GetCount() - 1;
                ASSERT_EQ(history.Redo() != nullptr, can);
                if (can)
                    plain.SetCurrent(plain.GetCurrent() + 1);
            }
            else
            {
                const int32_t target = int32_t(random() % uint32_t(plain.GetCount() + 1)) - 1;
                ASSERT_EQ(history.GoTo(target) != nullptr, target != plain.GetCurrent());
                plain.SetCurrent(target);
            }
            ASSERT_STREQ(mModel.GetErrorText(), "");
            ASSERT_EQ(history.GetCount(), plain.GetCount());
            ASSERT_EQ(history.GetCurrent(), plain.GetCurrent());
            ASSERT_EQ(Observe(plain.Current().saved), plain.Current());
            ASSERT_EQ(UndoFiles(), size_t(plain.SavedInEffect())) << "one file per edit in effect that saved data";
        }
        mModel.SetSample(nullptr);
        EXPECT_TRUE(SamplerFiles().empty()) << "clearing the history deletes every file";
    }
}
