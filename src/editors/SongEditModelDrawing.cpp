#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "editors/EditGeometryBatch.h"
#include "editors/SongEditModel.h"
#include "render/DrawList.h"
#include "render/Renderer.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"

namespace
{
// Rows this tall leave room for a part's label above its notes.
constexpr float kLabelledRowHeight = 18.0f;

// Vertices are 16-bit: far outside the window a coordinate is held where it
// still lies off screen instead of wrapping round onto it.
int16_t Pixel(float value)
{
    const float rounded = std::floor(value + 0.5f);
    return int16_t(std::clamp(rounded, -32767.0f, 32766.0f));
}

void SetVertex(cVertexIntXY& vertex, float x, float y)
{
    vertex.x = Pixel(x);
    vertex.y = Pixel(y);
}

void SetVertex(cVertexIntXYColour& vertex, float x, float y, uint32_t colour)
{
    vertex.x = Pixel(x);
    vertex.y = Pixel(y);
    vertex.colour = colour;
}

// Corners top-left, top-right, bottom-left, bottom-right, and a point just
// below the top-left one that pads the stride.
template <class tSet>
void SetRectangle(float left, float top, float right, float bottom, tSet set)
{
    set(0, left, top);
    set(1, right, top);
    set(2, left, bottom);
    set(3, right, bottom);
    set(4, left, top + 1.0f);
}

// The model's vertices carry no depth: they draw over the roll's
// background whatever its depth, in the order given.
void DrawFlat(cDrawList& list, cMaterial* material, ePrimitive primitive, const cVertexFormat& format,
              const void* vertices, uint32_t count, const uint16_t* indices = nullptr, uint32_t indexCount = 0)
{
    cScopedMaterial scopedMaterial(list, material);
    cScopedDepthFunc depth(list);
    list.FlushAll();
    list.GetRenderer()->SetDepthFunc(kDepthAlways);
    list.DrawDirect(primitive, format, vertices, count, indices, indexCount);
}

bool Intersects(float start, float end, float top, float bottom, const cSongViewInfo& info)
{
    return start <= info.leftTick + info.widthTicks && end >= info.leftTick && top <= info.topRow + info.rows &&
           bottom >= info.topRow;
}
} // namespace

bool cSongEditModel::IsOnAudibleTrack(const cPatternInstance* part) const
{
    return part->owner && part->owner->IsAudible();
}

void cSongEditModel::Draw(cDrawList& list, int32_t guide, const cSongViewInfo& info)
{
    if (!(info == mDrawnView))
    {
        mDrawnView = info;
        mPartsDirty = true;
        mHighlightsDirty = true;
    }
    if (mPartsDirty)
        BuildPartRects(info);
    if (mHighlightsDirty && !mPreviewVisible)
        BuildHighlights(info);
    if (!mBatch)
        return;
    if (mPartRectCount > 0)
        DrawFlat(list, list.GetUntexturedAlphaMaterial(), kPrimitiveTriangles, cVertexIntXYColour::kFormat,
                 mBatch->fillVertices.GetData(), uint32_t(mPartRectCount) * cEditGeometryBatch::kVerticesPerRectangle,
                 mBatch->triangleIndices.GetData(),
                 uint32_t(mPartRectCount) * cEditGeometryBatch::kTriangleIndicesPerRectangle);
    DrawGuides(list, guide, info);
    if (mHighlightCount > 0 && !mPreviewVisible)
        DrawFlat(list, mSelectionMaterial, kPrimitiveTriangles, cVertexIntXY::kFormat,
                 mBatch->outlineVertices.GetData(), uint32_t(mHighlightCount) * cEditGeometryBatch::kVerticesPerRectangle,
                 mBatch->triangleIndices.GetData(),
                 uint32_t(mHighlightCount) * cEditGeometryBatch::kTriangleIndicesPerRectangle);
    if (mNoteLineCount > 0)
        DrawFlat(list, mNoteLineMaterial, kPrimitiveLines, cVertexIntXY::kFormat, mNoteLines,
                 uint32_t(mNoteLineCount));
}

uint32_t cSongEditModel::GetShownFill(const cPartView& view) const
{
    return IsOnAudibleTrack(view.part) ? view.fillColour : kSilentColour;
}

void cSongEditModel::BuildPartRects(const cSongViewInfo& info)
{
    mPartsDirty = false;
    mNoteLineCount = 0;
    mPartRectCount = 0;
    if (!mBatch)
        return;
    for (const cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
    {
        if (!Intersects(view->start, view->end, view->top, view->bottom, info))
            continue;
        const uint32_t fill = GetShownFill(*view);
        const uint32_t edge = IsOnAudibleTrack(view->part) ? view->edgeColour : kSilentColour;
        cVertexIntXYColour* vertices =
            mBatch->fillVertices.At(uint32_t(mPartRectCount) * cEditGeometryBatch::kVerticesPerRectangle);
        SetRectangle(info.TickToX(view->start) + 1.0f, info.RowToY(view->top), info.TickToX(view->end),
                     info.RowToY(view->bottom) - 1.0f, [&](int corner, float x, float y)
                     { SetVertex(vertices[corner], x, y, corner < 2 ? fill : edge); });
        ++mPartRectCount;
        AddNoteLines(*view, info);
    }
}

void cSongEditModel::BuildHighlights(const cSongViewInfo& info)
{
    mHighlightsDirty = false;
    mHighlightCount = 0;
    if (!mBatch)
        return;
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
    {
        const cPartView& view = *node->view;
        const float start = view.start + mBounds.ghostStart;
        const float end = view.end + mBounds.ghostEnd;
        const float top = view.top + mBounds.rowOffset;
        const float bottom = view.bottom + mBounds.rowOffset;
        if (!Intersects(start, end, top, bottom, info))
            continue;
        cVertexIntXY* vertices =
            mBatch->outlineVertices.At(uint32_t(mHighlightCount) * cEditGeometryBatch::kVerticesPerRectangle);
        SetRectangle(info.TickToX(start) + 1.0f, info.RowToY(top), info.TickToX(end), info.RowToY(bottom) - 1.0f,
                     [&](int corner, float x, float y) { SetVertex(vertices[corner], x, y); });
        ++mHighlightCount;
    }
}

void cSongEditModel::AddNoteLines(const cPartView& view, const cSongViewInfo& info)
{
    const cPatternInstance* part = view.part;
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    cSequencer* sequencer = cSequencer::GetInstance();
    if (mNoteLineCount >= kNoteLineLimit || !part->owner || !slots || !sequencer ||
        !slots->GetInstrument(part->owner->GetChannel()) || part->length <= 0)
        return;
    const float area = info.widthTicks * info.rows;
    if (!(area > 0.0f))
        return;
    // Recording on the audio thread may add events to the pattern meanwhile.
    cScopedLock lock(sequencer->GetLock());
    const cPattern* pattern = part->pattern;
    if (!pattern)
        return;
    const int32_t budget = int32_t(std::min(float(kNoteLineVertices) * float(part->length) / area,
                                            float(kNoteLineLimit - mNoteLineCount)));
    if (budget < 2)
        return;
    const int32_t length = part->length;
    const int32_t span = pattern->loopLength <= 0 || pattern->loopLength > length ? length : pattern->loopLength;
    int64_t wanted = 0;
    int32_t lowest = 127, highest = 0;
    for (const cPatternEvent* event = pattern->head; event && event->time < span; event = event->next)
    {
        wanted += 2;
        if (!event->IsController())
        {
            lowest = std::min<int32_t>(lowest, event->data1);
            highest = std::max<int32_t>(highest, event->data1);
        }
    }
    if (wanted == 0)
        return;
    if (!pattern->IsPrivate() && span < length)
        wanted = (wanted + 2) * length / span;
    const float range = highest > lowest ? float(highest - lowest) : 1.0f;
    const float top = info.RowToY(view.top);
    const float rowHeight = info.RowToY(view.bottom) - top;
    const bool labelled = rowHeight >= kLabelledRowHeight;
    const float height = labelled ? rowHeight - kLabelledRowHeight : rowHeight - 2.0f;
    const float base = top + rowHeight - (labelled ? 4.0f : 1.0f);
    // Every k-th event, at least every one.
    const int64_t step = std::max<int64_t>(1, (2 * wanted - 1) / budget);
    const int32_t limit = mNoteLineCount + budget;
    int64_t index = 0;
    const auto add = [&](float x0, float y0, float x1, float y1) {
        SetVertex(mNoteLines[mNoteLineCount++], x0, y0);
        SetVertex(mNoteLines[mNoteLineCount++], x1, y1);
    };
    for (int32_t offset = 0; offset < length && mNoteLineCount + 2 <= limit; offset += span)
    {
        if (offset > 0)
        {
            const float x = info.TickToX(float(part->start + offset));
            add(x, top, x, top + 0.5f * rowHeight);
        }
        for (const cPatternEvent* event = pattern->head; event && event->time < span; event = event->next)
        {
            if (index++ % step != 0)
                continue;
            const int32_t time = offset + event->time;
            if (time >= length)
                continue;
            if (mNoteLineCount + 2 > limit)
                break;
            const float x = info.TickToX(float(part->start + time));
            if (event->IsController())
            {
                const float level = float(std::abs(event->GetControllerValue())) / 32767.0f;
                add(x, base, x, base - level * height);
                continue;
            }
            const float y = base - float(event->data1 - lowest) * height / range;
            const int32_t end = std::min(time + event->length, length);
            add(x, y, info.TickToX(float(part->start + end)) + 1.0f, y);
        }
    }
}

void cSongEditModel::DrawGuides(cDrawList& list, int32_t guide, const cSongViewInfo& info)
{
    if (mSelection.IsEmpty() || guide < kGuideAll || guide > kGuideRows)
        return;
    cVertexIntXY lines[8];
    int32_t count = 0;
    const auto across = [&](float row) {
        const float y = info.RowToY(row);
        SetVertex(lines[count++], info.rect.xMin, y);
        SetVertex(lines[count++], info.rect.xMax, y);
    };
    const auto down = [&](float tick) {
        const float x = info.TickToX(tick);
        SetVertex(lines[count++], x, info.rect.yMin);
        SetVertex(lines[count++], x, info.rect.yMax);
    };
    if (guide == kGuideAll || guide == kGuideRows)
    {
        across(mBounds.lowestRow);
        across(mBounds.highestRow);
    }
    if (guide == kGuideAll || guide == kGuideStart)
        down(mBounds.earliestStart);
    if (guide == kGuideAll || guide == kGuideEnd)
        down(mBounds.latestEnd);
    DrawFlat(list, mSelectionMaterial, kPrimitiveLines, cVertexIntXY::kFormat, lines, uint32_t(count));
}

void cSongEditModel::SetInsertPreview(float row, const cSongViewInfo& info, float tickA, float tickB)
{
    const float bar = TicksPerBar();
    const float right = info.leftTick + info.widthTicks;
    float start = std::clamp(std::min(tickA, tickB), info.leftTick, right);
    float end = std::clamp(std::max(tickA, tickB), info.leftTick, right);
    start -= std::fmod(start, bar);
    end = end - std::fmod(end, bar) + bar;
    if (end <= start)
        end = start + bar;
    const float wholeRow = std::floor(row);
    const float top = info.RowToY(wholeRow);
    const float bottom = info.RowToY(wholeRow + 1.0f);
    SetVertex(mPreviewLines[0], info.rect.xMin, top);
    SetVertex(mPreviewLines[1], info.rect.xMax, top);
    SetVertex(mPreviewLines[2], info.rect.xMin, bottom);
    SetVertex(mPreviewLines[3], info.rect.xMax, bottom);
    SetVertex(mPreviewLines[4], info.TickToX(start), info.rect.yMin);
    SetVertex(mPreviewLines[5], info.TickToX(start), info.rect.yMax);
    SetVertex(mPreviewLines[6], info.TickToX(end), info.rect.yMin);
    SetVertex(mPreviewLines[7], info.TickToX(end), info.rect.yMax);
    mPreviewVisible = true;
    mHighlightCount = 0;
}

void cSongEditModel::DrawInsertPreview(cDrawList& list)
{
    if (!mPreviewVisible)
        return;
    DrawFlat(list, mSelectionMaterial, kPrimitiveLines, cVertexIntXY::kFormat, mPreviewLines, 8);
}

void cSongEditModel::DrawRubberBand(float tickA, float rowA, cDrawList& list, float tickB, float rowB,
                                    const cSongViewInfo& info)
{
    const float x0 = std::min(info.TickToX(tickA), info.TickToX(tickB));
    const float x1 = std::max(info.TickToX(tickA), info.TickToX(tickB));
    const float y0 = std::min(info.RowToY(rowA), info.RowToY(rowB));
    const float y1 = std::max(info.RowToY(rowA), info.RowToY(rowB));
    cVertexIntXY lines[8];
    const float corners[8][2] = {{x0, y0}, {x1, y0}, {x1, y0}, {x1, y1}, {x1, y1}, {x0, y1}, {x0, y1}, {x0, y0}};
    for (int i = 0; i < 8; ++i)
        SetVertex(lines[i], corners[i][0], corners[i][1]);
    DrawFlat(list, mSelectionMaterial, kPrimitiveLines, cVertexIntXY::kFormat, lines, 8);
}
