#include <vector>

#include "render/VertexLayouts.h"
#include "sampler/SampleEditFixture.h"

namespace
{
class SampleEditOverviewTest : public SampleEditTest
{
protected:
    // A waveform of that many columns from x 0, over the view.
    void Build(int32_t columns, int32_t start, int32_t length)
    {
        mModel.SetColumns(columns);
        mModel.BuildOverview({{0.0f, 0.0f, float(columns), 100.0f}, start, length, 1});
        ASSERT_EQ(mModel.GetColumns(), columns);
    }
    int16_t Top(int32_t column) const { return mModel.GetOverview()[column * 2].y; }
    int16_t Bottom(int32_t column) const { return mModel.GetOverview()[column * 2 + 1].y; }

    // Frame f of a 16-bit sample holds the value of the function on every channel c.
    template <class F>
    void Fill16(int32_t channels, int32_t frames, F value)
    {
        cSample* sample = MakeSample({16, channels, 44100}, frames);
        int16_t* data = reinterpret_cast<int16_t*>(sample->GetData());
        for (int32_t f = 0; f < frames; ++f)
            for (int32_t c = 0; c < channels; ++c)
                data[f * channels + c] = int16_t(value(f, c));
    }
};

// Fewer than two values per column: the frame under each column, its
// channels averaged, drawn from 0.
TEST_F(SampleEditOverviewTest, AFewFramesShowOneFramePerColumn)
{
    Fill16(2, 100, [](int32_t f, int32_t c) { return f * (c == 0 ? 10 : 30); });
    Build(800, 0, 16);
    EXPECT_EQ(Top(0), 0);
    EXPECT_EQ(Top(24), 0);   // frame 0.48 rounds to 0
    EXPECT_EQ(Top(25), 20);  // frame 1
    EXPECT_EQ(Top(775), 320); // frame 16
    EXPECT_EQ(Bottom(775), 0);
    const cVertexIntXYColour& vertex = mModel.GetOverview()[775 * 2 + 1];
    EXPECT_EQ(vertex.x, 775);
    EXPECT_EQ(vertex.colour, 0xFFC88400u);
    EXPECT_EQ(mModel.GetOverview()[775 * 2].colour, 0xFFE2C8B4u);
}

// Many values per column: each column's highest and lowest, from 0.
TEST_F(SampleEditOverviewTest, ManyFramesShowEachColumnsExtremes)
{
    Fill16(1, 1000, [](int32_t f, int32_t) { return (f % 2 ? -f : f) * 10; });
    Build(100, 0, 1000); // ten frames a column
    for (int32_t column : {0, 7, 99})
    {
        EXPECT_EQ(Top(column), (column * 10 + 8) * 10) << column;
        EXPECT_EQ(Bottom(column), -(column * 10 + 9) * 10) << column;
    }
}

// Each column reads about sixteen values, so a spike between them is
// passed over: the cost of a column does not grow with the zoom.
TEST_F(SampleEditOverviewTest, AColumnReadsAboutSixteenValues)
{
    Fill16(1, 16000, [](int32_t f, int32_t) { return f == 5 || f == 170 ? 20000 : 0; });
    Build(100, 0, 16000); // 160 frames a column, every tenth read
    EXPECT_EQ(Top(0), 0) << "frame 5 lies between two reads";
    EXPECT_EQ(Top(1), 20000) << "frame 170 is read";
}

// Whatever the zoom, a column reads both channels of a stereo sample.
TEST_F(SampleEditOverviewTest, BothChannelsShowAtEveryZoom)
{
    Fill16(2, 160000, [](int32_t, int32_t c) { return c == 1 ? 10000 : 0; });
    for (int32_t frames : {1600, 3200, 16000, 160000})
    {
        Build(100, 0, frames);
        EXPECT_EQ(Top(50), 10000) << frames << " frames";
    }
}

TEST_F(SampleEditOverviewTest, EightBitValuesAreShownInSixteenBitUnits)
{
    cSample* sample = MakeSample({8, 1, 11025}, 4);
    int8_t* data = reinterpret_cast<int8_t*>(sample->GetData());
    data[0] = data[1] = data[2] = data[3] = -100;
    Build(800, 0, 16);
    EXPECT_EQ(Top(0), -25600);
}

// Nothing before frame 0 or past the edited length is shown.
TEST_F(SampleEditOverviewTest, NothingOutsideTheEditedSampleIsShown)
{
    Fill16(2, 1000, [](int32_t, int32_t) { return 5000; });
    Build(800, -31, 1062);
    EXPECT_EQ(Top(0), 0);
    EXPECT_EQ(Top(22), 0);
    EXPECT_EQ(Top(30), 5000);
    mModel.SetFrames(500);
    Build(800, 600, 100);
    for (int32_t column : {0, 400, 799})
        EXPECT_EQ(Top(column), 0) << column;
}
} // namespace
