// The waveform of the sample editor. The overview holds two vertices per
// pixel column, a line from the column's highest value down to its lowest,
// in sample units: a model matrix scales them to the rectangle, so a new
// amplitude zoom needs no rebuild. A column reads about sixteen values
// whatever the zoom, so a frame costs the same over a whole ten-minute
// sample as over sixteen frames.
#include <algorithm>
#include <cmath>

#include "audio/Sample.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/VertexLayouts.h"
#include "sampler/SampleEditModel.h"

namespace
{
constexpr uint32_t kColumnTopColour = 0xFFE2C8B4;
constexpr uint32_t kColumnBottomColour = 0xFFC88400;
constexpr uint32_t kEdgeColour = 0xFF181414;
constexpr uint32_t kMiddleColour = 0xFF4C4438;
constexpr uint32_t kOutsideColour = 0x82000000;
constexpr uint32_t kEndLineColour = 0xC8BA8400;
constexpr uint32_t kCentreLineColour = 0xFF808080;
constexpr uint32_t kSelectionColour = 0x50968080;
constexpr uint32_t kHighlightedLineColour = 0xFF146EFF;
constexpr uint32_t kPlainLineColour = 0x80FFFFFF;
constexpr uint32_t kLevelGuideColour = 0x80808080;
// Full scale fills the height less a 5 % margin at amplitude zoom 1: 65536 x 1.05.
constexpr float kFullScaleHeight = 68812.8f;
constexpr float kOverviewDepth = 0.05f;
constexpr float kLevelGuideInset = 0.04f;
// Each column looks at about this many values.
constexpr int64_t kValuesPerColumn = 16;
// Pixel positions far outside any screen are held here, so a frame far off
// screen never overflows an int.
constexpr double kFarPixel = 16777216.0;

int32_t ToPixel(double x) { return int32_t(std::clamp(x, -kFarPixel, kFarPixel)); }

double Width(const cSampleEditView& view) { return double(view.waveform.xMax) - view.waveform.xMin; }

// The x of a frame in the view.
int32_t FrameX(const cSampleEditView& view, int64_t frame)
{
    return ToPixel(double(frame - view.start) * Width(view) / view.length + view.waveform.xMin);
}

// Floor division, so a view that starts before frame 0 aligns down too.
int64_t AlignDown(int64_t value, int64_t step)
{
    const int64_t quotient = value / step;
    return (quotient * step > value ? quotient - 1 : quotient) * step;
}

// A value of a 16-bit or signed 8-bit buffer in 16-bit units.
int32_t ValueAt(const cSample& sample, int64_t index)
{
    if (sample.GetBits() == 16)
        return sample.GetData16()[index];
    return int32_t(reinterpret_cast<const int8_t*>(sample.GetData())[index]) * 256;
}

void FillColumn(cRect rect, cDrawList& list, float x0, float x1, uint32_t colour)
{
    rect.xMin = x0;
    rect.xMax = x1;
    list.FillRect(rect, colour);
}
} // namespace

void cSampleEditModel::SetColumns(int32_t columns)
{
    columns = std::max(columns, 0);
    if (columns > mColumnCapacity)
    {
        mOverview.reset(new cVertexIntXYColour[size_t(columns) * 2]);
        mColumnCapacity = columns;
    }
    for (int32_t i = 0; i < mColumnCapacity; ++i)
    {
        mOverview[size_t(i) * 2] = {int16_t(i), 0, kColumnTopColour};
        mOverview[size_t(i) * 2 + 1] = {int16_t(i), 0, kColumnBottomColour};
    }
    mColumns = std::min(mColumns, mColumnCapacity);
    mOverviewDirty = true;
}

void cSampleEditModel::BuildOverview(const cSampleEditView& view)
{
    mColumns = mSample ? std::clamp(int32_t(view.waveform.xMax - view.waveform.xMin), 0, mColumnCapacity) : 0;
    const int64_t values = int64_t(view.length) * (mSample ? mSample->GetChannels() : 0);
    if (values <= 0 || mColumns == 0)
        return;
    // A view that starts past the edited sample shows none of it.
    if (view.start > mFrames)
        ClearOverview();
    else if (values > int64_t(2) * mColumns)
        BuildOverviewMinMax(view);
    else
        BuildOverviewSparse(view);
}

void cSampleEditModel::ClearOverview()
{
    for (int32_t i = 0; i < mColumns * 2; ++i)
        mOverview[size_t(i)].y = 0;
}

// Fewer than two values per column: the frame under each column's centre.
void cSampleEditModel::BuildOverviewSparse(const cSampleEditView& view)
{
    const double framesPerPixel = double(view.length) / Width(view);
    const int32_t channels = mSample->GetChannels();
    for (int32_t i = 0; i < mColumns; ++i)
    {
        const int64_t frame = int64_t(i * framesPerPixel + view.start + 0.5);
        int32_t value = 0;
        if (frame >= 0 && frame < mFrames)
        {
            int32_t sum = 0;
            for (int32_t c = 0; c < channels; ++c)
                sum += ValueAt(*mSample, frame * channels + c);
            value = sum / channels;
        }
        mOverview[size_t(i) * 2].y = int16_t(value);
        mOverview[size_t(i) * 2 + 1].y = 0;
    }
}

// The columns start at a multiple of their width in values, so the same
// values fall into the same column while the view scrolls and the waveform
// does not flicker.
void cSampleEditModel::BuildOverviewMinMax(const cSampleEditView& view)
{
    const int32_t channels = mSample->GetChannels();
    const int64_t values = int64_t(view.length) * channels;
    const int64_t per = std::max<int64_t>(values / mColumns, 1);
    const double valuesPerColumn = double(values) / mColumns;
    int64_t step = std::max<int64_t>(per / kValuesPerColumn, 1);
    // A step of whole frames would read one channel only: a sound in the
    // other would vanish at some zooms.
    if (channels > 1 && step % channels == 0)
        ++step;
    const int64_t base = AlignDown(int64_t(channels) * view.start, per);
    const int64_t stored = int64_t(channels) * mSample->GetFrames();
    for (int32_t i = 0; i < mColumns; ++i)
    {
        int32_t low = 0, high = 0;
        const int64_t end = int64_t((i + 1) * valuesPerColumn);
        for (int64_t h = int64_t(i * valuesPerColumn); h < end; h += step)
        {
            const int64_t index = base + h;
            const int32_t value = index >= 0 && index < stored ? ValueAt(*mSample, index) : 0;
            low = std::min(low, value);
            high = std::max(high, value);
        }
        mOverview[size_t(i) * 2].y = int16_t(high);
        mOverview[size_t(i) * 2 + 1].y = int16_t(low);
    }
}

void cSampleEditModel::DrawWaveform(uint32_t highlight, cDrawList& list, const cSampleEditView& view)
{
    if (!mSample || view.length <= 0)
        return;
    if (mOverviewDirty || view.start != mCachedViewStart || view.length != mCachedViewLength)
    {
        BuildOverview(view);
        mOverviewDirty = false;
        mCachedViewStart = view.start;
        mCachedViewLength = view.length;
    }
    const cRect& r = view.waveform;
    const float middle = (r.yMin + r.yMax) * 0.5f;
    cVector2 uv0, uv1;
    cMaterial* previous = list.BeginSolidFill(uv0, uv1);
    list.DrawGradientQuad({r.xMin, r.yMin, r.xMax, middle}, uv0, uv1, kEdgeColour, kEdgeColour, kMiddleColour,
                          kMiddleColour);
    list.DrawGradientQuad({r.xMin, middle, r.xMax, r.yMax}, uv0, uv1, kMiddleColour, kMiddleColour, kEdgeColour,
                          kEdgeColour);
    list.currentMaterial = previous;
    DrawOutside(list, view);
    list.FillRect({r.xMin, middle - 0.5f, r.xMax, middle + 0.5f}, kCentreLineColour);
    DrawOverview(list, view);
    DrawSelection(highlight, list, view);
    if (view.amplitudeZoom == 1)
    {
        const float inset = (r.yMax - r.yMin) * kLevelGuideInset;
        list.FillRect({r.xMin, r.yMin + inset, r.xMax, r.yMin + inset + 1.0f}, kLevelGuideColour);
        list.FillRect({r.xMin, r.yMax - inset - 1.0f, r.xMax, r.yMax - inset}, kLevelGuideColour);
    }
}

// Before frame 0 and after the edited length, with a line at each.
void cSampleEditModel::DrawOutside(cDrawList& list, const cSampleEditView& view)
{
    const cRect& r = view.waveform;
    const int32_t x0 = FrameX(view, 0);
    const int32_t x1 = FrameX(view, mFrames);
    if (float(x0) > r.xMin)
        FillColumn(r, list, r.xMin, float(x0), kOutsideColour);
    if (float(x1) < r.xMax)
        FillColumn(r, list, float(x1), r.xMax, kOutsideColour);
    FillColumn(r, list, float(x0), float(x0) + 1.0f, kEndLineColour);
    FillColumn(r, list, float(x1), float(x1) + 1.0f, kEndLineColour);
}

void cSampleEditModel::DrawOverview(cDrawList& list, const cSampleEditView& view)
{
    if (mColumns == 0)
        return;
    const cRect& r = view.waveform;
    cMatrix44 transform = {};
    transform.Row0.X = 1.0f;
    transform.Row1.Y = -(float(view.amplitudeZoom) * (r.yMax - r.yMin) / kFullScaleHeight);
    transform.Row2.Z = 1.0f;
    transform.Row3 = {std::floor(r.xMin) + 0.5f, (r.yMin + r.yMax) * 0.5f, kOverviewDepth, 1.0f};
    list.PushTransform(transform);
    {
        cScopedMaterial plain(list, list.GetUntexturedMaterial());
        list.DrawDirect(kPrimitiveLines, cVertexIntXYColour::kFormat, mOverview.get(), uint32_t(mColumns) * 2);
    }
    list.PopMatrix();
}

void cSampleEditModel::DrawSelection(uint32_t highlight, cDrawList& list, const cSampleEditView& view)
{
    const cRect& r = view.waveform;
    const int32_t xs = FrameX(view, mSelectionStart);
    const int32_t xe = FrameX(view, mSelectionEnd);
    if (xe > xs)
        FillColumn(r, list, float(xs), float(xe), kSelectionColour);
    const int32_t edges[2] = {xs, xe};
    const uint32_t bits[2] = {kHighlightStart, kHighlightEnd};
    for (int i = 0; i < 2; ++i)
    {
        float x = float(edges[i]);
        // A line on the left edge would be cut away by the clip.
        if (x >= r.xMin - 1.0f && x <= r.xMin)
            x += 1.0f;
        FillColumn(r, list, x, x + 1.0f, (highlight & bits[i]) ? kHighlightedLineColour : kPlainLineColour);
    }
}
