#include <algorithm>
#include <cmath>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/KeyStripView.h"
#include "audio/MIDINoteName.h"
#include "audio/Transport.h"
#include "editors/EditGeometryBatch.h"
#include "editors/EditorHost.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PianoRoll.h"
#include "editors/PianoRollOwner.h"
#include "editors/PianoRollSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "editors/ScreenCoordinate.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/Track.h"

namespace
{
constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr float kTapTicks = 8.0f; // a draw shorter than this is a tap
constexpr float kControllerBarTicks = 16.0f;
constexpr float kMinimumLabelGap = 30.0f;
constexpr float kBeat = 256.0f;
constexpr float kTextSize = 9.0f;
constexpr float kCountTextSize = 10.0f;

constexpr uint32_t kBackground = 0xff2a2a2a;
constexpr uint32_t kAxisLine = 0xff464646;
constexpr uint32_t kAxisText = 0xffc8c8c8;
constexpr uint32_t kSelectionColour = 0x80ffffff;
constexpr uint32_t kGuideColour = 0x80ffffff;
constexpr uint32_t kPreviewColour = 0xc0ffd080;
constexpr uint32_t kPreviewLine = 0xffc8c8c8;
constexpr uint32_t kBandColour = 0x20ffffff;
constexpr uint32_t kBarLabel = 0xffdcdcdc, kBarLabelBeyond = 0xff646464;
constexpr uint32_t kBeatLabel = 0xffc8c8c8, kBeatLabelBeyond = 0xff464646;
constexpr uint32_t kSongPositionColour = 0xffdcdcdc;
constexpr uint32_t kRepeatLineColour = 0xffba8400;
constexpr uint32_t kGridTextColour = 0xffdcdcdc;
constexpr uint32_t kCountColour = 0xffdcdcdc;
constexpr uint32_t kCountFullColour = 0xff4040ff;
constexpr int32_t kHandleSprites[cPianoRoll::kHandleCount] = {PianoRollSprite::kMoveHandle, PianoRollSprite::kLengthHandle,
                                                             PianoRollSprite::kValueHandle};
constexpr uint32_t kOpaqueWhite = 0xffffffff;
constexpr uint32_t kToolbarColour = 0xff1e1e1e;

// Text alignment: low nibble across (0 left, 1 centred), high nibble down (1 centred).
constexpr uint32_t kCentred = 0x11;
constexpr uint32_t kLeftMiddle = 0x10;

int32_t Floor(float value) { return int32_t(std::floor(value)); }

void DrawSprite(cDrawList& list, const cRect& rect, int32_t index)
{
    const cAtlasSprite& sprite = gTex8888AtlasTable[index];
    list.DrawQuad(rect, {sprite.u0, sprite.v0}, {sprite.u1, sprite.v1}, kOpaqueWhite, 0);
}
} // namespace

bool cPianoRoll::Draw(cDrawList& list)
{
    // The per-frame update.
    Glide();
    Fling();
    EdgeScroll();
    if (mDrawZoom.GetState() != cZoomEasing::kIdle)
        StepDrawZoom();
    UpdateHandles();
    if (mAudition.sounding)
    {
        const int32_t lane = mModel.GetLane();
        if (mAudition.secondsLeft > 0.0f)
        {
            mAudition.secondsLeft -= kFrameSeconds;
            if (mAudition.secondsLeft <= 0.0f)
                StopAudition();
        }
        if (lane == cPatternEditModel::kLaneController)
            StopAudition();
    }
    RefreshButtons();

    list.FillRect(GetRect(), kBackground);
    list.FillRect(mToolbar, kToolbarColour);
    if (GetPart())
    {
        list.PushClipRect(mEditArea);
        DrawLaneBackground(list);
        DrawEvents(list);
        DrawSelection(list);
        DrawPreview(list);
        DrawRubberBand(list);
        list.PopClipRect();
        DrawRuler(list);
        DrawHandles(list);
        DrawCounts(list);
    }
    UpdateHint();
    return false;
}

// --- The lane's backdrop ---

void cPianoRoll::DrawLaneBackground(cDrawList& list)
{
    const int32_t lane = mModel.GetLane();
    if (lane == cPatternEditModel::kLaneNotes)
    {
        cInstrument* instrument = PartInstrument();
        if (!instrument)
            return;
        cKeyStripView view;
        view.strip = mKeyStrip;
        view.noteArea = mEditArea;
        view.firstTick = mView.firstTick;
        view.tickSpan = mView.tickSpan;
        view.lowestNote = mView.lowestValue;
        view.noteSpan = mView.valueSpan;
        view.gridEndTick = GetScrollRangeEnd();
        list.PopClipRect();
        instrument->DrawKeyStrip(list, view);
        list.PushClipRect(mEditArea);
        return;
    }
    struct cMark
    {
        float value;
        const char* text;
    };
    cMark marks[3];
    int32_t count = 0;
    if (lane == cPatternEditModel::kLaneVelocity)
    {
        marks[count++] = {127.0f, "127"};
        marks[count++] = {0.0f, "0"};
    }
    else
    {
        const cInstrumentPackage::cControllerParam* entry = mModel.GetControllerEntry();
        const float low = entry ? entry->minimum : mRangeLow, high = entry ? entry->maximum : mRangeHigh;
        marks[count++] = {high, "+1.0"};
        if (entry && entry->centred)
        {
            marks[count++] = {(low + high) * 0.5f, "0"};
            marks[count++] = {low, "-1.0"};
        }
        else
            marks[count++] = {low, "0.0"};
    }
    list.PopClipRect();
    for (int32_t i = 0; i < count; ++i)
    {
        const float y = std::clamp(std::round(ValueToY(marks[i].value)), mEditArea.yMin, mEditArea.yMax - 1.0f);
        list.FillRect({mKeyStrip.xMin, y, mEditArea.xMax, y + 1.0f}, kAxisLine);
        list.DrawTextSized((mKeyStrip.xMin + mKeyStrip.xMax) * 0.5f,
                           std::clamp(y, mKeyStrip.yMin + 2.0f * kTextSize, mKeyStrip.yMax - kTextSize), kAxisText, kCentred,
                           marks[i].text, kTextSize);
    }
    list.PushClipRect(mEditArea);
}

// --- Events ---

bool cPianoRoll::AddQuad(int32_t& count, float x0, float y0, float x1, float y1, uint32_t top, uint32_t bottom)
{
    cEditGeometryBatch* batch = mOwner ? mOwner->GetEditGeometryBatch() : nullptr;
    if (!batch || uint32_t(count) >= cEditGeometryBatch::kRectangles)
        return false;
    cVertexIntXYColour* v = batch->fillVertices.At(uint32_t(count) * cEditGeometryBatch::kVerticesPerRectangle);
    // Far beyond a zoomed-in view a coordinate is held at the clip's edge.
    const int16_t left = ToScreenCoordinate(x0), right = ToScreenCoordinate(x1);
    const int16_t upper = ToScreenCoordinate(y0), lower = ToScreenCoordinate(y1);
    v[0] = {left, upper, top};
    v[1] = {right, upper, top};
    v[2] = {left, lower, bottom};
    v[3] = {right, lower, bottom};
    v[4] = v[3];
    ++count;
    return true;
}

void cPianoRoll::FlushQuads(cDrawList& list, int32_t count, cMaterial* material)
{
    cEditGeometryBatch* batch = mOwner ? mOwner->GetEditGeometryBatch() : nullptr;
    if (!batch || count == 0)
        return;
    cScopedMaterial scoped(list, material);
    // Flat 2D vertices carry no depth: they draw over the note rows whatever lies below.
    cScopedDepthFunc depth(list);
    depth.Set(kDepthAlways);
    list.DrawDirect(kPrimitiveTriangles, cVertexIntXYColour::kFormat, batch->fillVertices.GetData(),
                    uint32_t(count) * cEditGeometryBatch::kVerticesPerRectangle, batch->triangleIndices.GetData(),
                    uint32_t(count) * cEditGeometryBatch::kTriangleIndicesPerRectangle);
}

void cPianoRoll::DrawEvents(cDrawList& list)
{
    mModel.eventGeometryDirty = false;
    int32_t quads = 0;
    const float firstTick = mView.firstTick, lastTick = mView.firstTick + mView.tickSpan;
    const float lowest = mView.lowestValue, highest = mView.lowestValue + mView.valueSpan;
    for (const cPatternEditModel::cEventView* view = mModel.GetViews().GetFirst(); view; view = view->GetNext())
    {
        if (!(view->flags & cPatternEditModel::kViewDrawn) || view->end < firstTick || view->start > lastTick ||
            view->top < lowest || view->bottom > highest)
            continue;
        const float x0 = TickToX(view->start) + 1.0f;
        const float x1 = std::max(TickToX(view->end), x0 + 1.0f);
        if (!AddQuad(quads, x0, ValueToY(view->top) + 1.0f, x1, ValueToY(view->bottom), view->topColour,
                     view->bottomColour))
            break;
    }
    mDrawnEvents = quads;
    mNoteCount = mControllerCount = 0;
    if (const cPattern* pattern = mModel.GetPattern())
        for (const cPatternEvent* event = pattern->head; event; event = event->next)
            ++(event->IsController() ? mControllerCount : mNoteCount);
    FlushQuads(list, quads, list.GetUntexturedAlphaMaterial());
}

void cPianoRoll::DrawSelection(cDrawList& list)
{
    if (mModel.GetSelectionCount() == 0)
        return;
    const float startShift = mModel.GetStartShift(), endShift = mModel.GetEndShift();
    const float valueShift = mModel.GetValueOffset();
    for (const cPatternEditModel::cSelectionNode* node = mModel.GetSelection().GetFirst(); node; node = node->GetNext())
    {
        const cPatternEditModel::cEventView& view = *node->view;
        const float x0 = TickToX(view.start + startShift) + 1.0f;
        const float x1 = std::max(TickToX(view.end + endShift), x0 + 1.0f);
        const float y0 = ValueToY(view.top + valueShift) + 1.0f, y1 = ValueToY(view.bottom + valueShift);
        if (x1 < mEditArea.xMin || x0 > mEditArea.xMax || y1 < mEditArea.yMin || y0 > mEditArea.yMax)
            continue;
        list.FillRect({x0, y0, x1, y1}, kSelectionColour);
    }
    // A line along each edge being dragged.
    const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
    const float left = std::round(TickToX(b.earliestStart)), right = std::round(TickToX(b.latestEnd));
    const float top = std::round(ValueToY(b.highestTop)), bottom = std::round(ValueToY(b.lowestBottom));
    const bool all = mState != kMoving && mState != kResizing && (mState < kNoteShift || mState > kControllerShift);
    if (all || mState == kMoving || mState == kResizing)
        list.FillRect({left, mEditArea.yMin, left + 1.0f, mEditArea.yMax}, kGuideColour);
    if (all || mState == kMoving)
        list.FillRect({right, mEditArea.yMin, right + 1.0f, mEditArea.yMax}, kGuideColour);
    if (all || (mState >= kNoteShift && mState <= kControllerShift))
        list.FillRect({mEditArea.xMin, top, mEditArea.xMax, top + 1.0f}, kGuideColour);
    if (all)
        list.FillRect({mEditArea.xMin, bottom, mEditArea.xMax, bottom + 1.0f}, kGuideColour);
}

// --- The draw preview ---

// How many notes a release now would write: one per grid cell, or one.
int32_t cPianoRoll::PreviewNoteCount() const
{
    const cQuantizeGrid& grid = gGridQuantizeGrid;
    const bool drag = std::fabs(mDownTick - mTick) > kTapTicks;
    if (!grid.IsActive() || grid.interval <= 0.0f)
        return 1;
    float a = std::min(mDownTick, drag ? mTick : mDownTick), b = std::max(mDownTick, drag ? mTick : mDownTick);
    a = grid.Floor(a);
    b = grid.Ceil(b, true) - 0.5f;
    int32_t count = 0;
    for (int64_t k = int64_t(a / grid.interval); a < b && count < kEventLimit; ++count)
    {
        ++k;
        a = float(k) * grid.interval + ((k & 1) ? grid.swingOffset : 0.0f);
    }
    return std::max(count, 1);
}

void cPianoRoll::DrawPreview(cDrawList& list)
{
    if (mState != kDrawing)
        return;
    const int32_t lane = mModel.GetLane();
    const float firstTick = mView.firstTick, lastTick = mView.firstTick + mView.tickSpan;
    const float a = std::clamp(std::min(mDownTick, mTick), firstTick, lastTick);
    const float b = std::clamp(std::max(mDownTick, mTick), firstTick, lastTick);
    const cQuantizeGrid& grid = gGridQuantizeGrid;
    const bool gridOn = grid.IsActive() && grid.interval > 0.0f;
    if (lane == cPatternEditModel::kLaneNotes)
    {
        const float row = std::floor(std::clamp(mValue, mRangeLow, mRangeHigh));
        const float y0 = ValueToY(row + 1.0f) + 1.0f, y1 = ValueToY(row);
        float start = a, end = std::max(b, a + kTapTicks);
        if (gridOn)
        {
            start = grid.Floor(a);
            end = grid.Ceil(std::fabs(mDownTick - mTick) > kTapTicks ? b : a, true);
            const float last = end - 0.5f;
            int32_t cells = 0;
            for (int64_t k = int64_t(start / grid.interval); start < last && cells < kEventLimit; ++cells)
            {
                const float length = (k & 1) ? grid.interval - grid.swingOffset : grid.interval + grid.swingOffset;
                const float x0 = TickToX(start) + 1.0f;
                list.FillRect({x0, y0, std::max(TickToX(start + length), x0 + 1.0f), y1}, kPreviewColour);
                ++k;
                start = float(k) * grid.interval + ((k & 1) ? grid.swingOffset : 0.0f);
            }
            start = grid.Floor(a);
        }
        else
            list.FillRect({TickToX(start) + 1.0f, y0, TickToX(end), y1}, kPreviewColour);
        // Guides across the whole widget at the preview's edges and the row.
        list.PopClipRect();
        const cRect r = GetRect();
        const float left = std::round(TickToX(start)), right = std::round(TickToX(end));
        list.FillRect({left, r.yMin, left + 1.0f, mEditArea.yMax}, kGuideColour);
        list.FillRect({right, r.yMin, right + 1.0f, mEditArea.yMax}, kGuideColour);
        list.FillRect({r.xMin, std::round(y0), mEditArea.xMax, std::round(y0) + 1.0f}, kGuideColour);
        list.FillRect({r.xMin, std::round(y1), mEditArea.xMax, std::round(y1) + 1.0f}, kGuideColour);
        list.PushClipRect(mEditArea);
        return;
    }
    const float pressValue = std::clamp(mDownValue, mRangeLow, mRangeHigh);
    const float fingerValue = std::clamp(mValue, mRangeLow, mRangeHigh);
    const float fromTick = mDownTick <= mTick ? mDownTick : mTick;
    const float toTick = mDownTick <= mTick ? mTick : mDownTick;
    const float fromValue = mDownTick <= mTick ? pressValue : fingerValue;
    const float toValue = mDownTick <= mTick ? fingerValue : pressValue;
    const auto valueAt = [&](float tick)
    {
        if (toTick - fromTick < 1.0f)
            return toValue;
        return fromValue + (toValue - fromValue) * std::clamp((tick - fromTick) / (toTick - fromTick), 0.0f, 1.0f);
    };
    if (lane == cPatternEditModel::kLaneVelocity)
    {
        for (const cPatternEditModel::cEventView* view = mModel.GetViews().GetFirst(); view; view = view->GetNext())
        {
            if (!(view->flags & cPatternEditModel::kViewSelectable) || !view->event || view->event->IsController() ||
                view->end < fromTick || view->start > std::max(toTick, fromTick + 1.0f))
                continue;
            const float x0 = TickToX(view->start) + 1.0f;
            list.FillRect({x0, ValueToY(valueAt(view->start)), std::max(TickToX(view->end), x0 + 1.0f),
                           ValueToY(mRangeLow)},
                          kPreviewColour);
        }
    }
    else
    {
        const cInstrumentPackage::cControllerParam* entry = mModel.GetControllerEntry();
        const float baseline = entry && entry->centred ? (mRangeLow + mRangeHigh) * 0.5f : mRangeLow;
        const float step = gridOn ? grid.interval : kControllerBarTicks;
        float tick = gridOn ? grid.Snap(a) : std::round(a / step) * step;
        for (int32_t bars = 0; tick <= b && bars < kEventLimit; ++bars, tick += step)
        {
            const float x0 = TickToX(tick) + 1.0f;
            const float y0 = ValueToY(valueAt(tick)), y1 = ValueToY(baseline);
            list.FillRect({x0, std::min(y0, y1), std::max(TickToX(tick + kControllerBarTicks), x0 + 1.0f),
                           std::max(y0, y1) + 1.0f},
                          kPreviewColour);
        }
    }
    // A line from the press to the finger.
    const cVector2 from = {TickToX(mDownTick), ValueToY(pressValue)};
    const cVector2 to = {mPoint.X, ValueToY(fingerValue)};
    const float length = std::hypot(to.X - from.X, to.Y - from.Y);
    for (float t = 0.0f; t <= length; t += 2.0f)
    {
        const float f = length > 0.0f ? t / length : 0.0f;
        const float x = from.X + (to.X - from.X) * f, y = from.Y + (to.Y - from.Y) * f;
        list.FillRect({x, y, x + 1.0f, y + 1.0f}, kPreviewLine);
    }
}

void cPianoRoll::DrawRubberBand(cDrawList& list)
{
    if (mState == kRubberBand)
    {
        const float x0 = TickToX(mDownTick), x1 = mPoint.X;
        const float y0 = ValueToY(mDownValue), y1 = mPoint.Y;
        list.FillRect({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}, kBandColour);
        return;
    }
    if (mModel.GetSelectionCount() == 0)
        return;
    const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
    list.FillRect({TickToX(b.earliestStart), ValueToY(b.highestTop), TickToX(b.latestEnd), ValueToY(b.lowestBottom)},
                  kBandColour);
}

// --- Ruler, handles and counts ---

void cPianoRoll::DrawRuler(cDrawList& list)
{
    DrawSprite(list, mRuler, PianoRollSprite::kRuler);
    const cPatternInstance* part = GetPart();
    const bool shared = part->IsShared() && part->pattern;
    float loop = shared ? float(part->pattern->loopLength) : -1.0f;
    if (mState == kRuler && mRepeatDrag)
        loop = mRepeatTick;
    list.PushClipRect(mRuler);
    if (shared && loop > 0.0f)
        DrawSprite(list, {mRuler.xMin, mRuler.yMin, TickToX(loop), mRuler.yMax}, PianoRollSprite::kLoopRegion);
    const int32_t beatsPerBar = std::max(gTransport.beatsPerBar.load(), 2);
    const float width = std::max(mEditArea.xMax - mEditArea.xMin, 1.0f);
    float step = kBeat;
    while (step / mView.tickSpan * width < kMinimumLabelGap && step < kSongEnd)
        step *= float(beatsPerBar);
    const float ticksPerBar = float(std::max(gTransport.ticksPerBar.load(), 1));
    const float y = (mRuler.yMin + mRuler.yMax) * 0.5f;
    for (float tick = std::floor(mView.firstTick / step) * step; tick <= mView.firstTick + mView.tickSpan; tick += step)
    {
        const float x = std::round(TickToX(tick));
        const int32_t bar = Floor(tick / ticksPerBar);
        const int32_t beat = Floor((tick - float(bar) * ticksPerBar) / kBeat);
        const bool beyond = shared && loop > 0.0f && tick >= loop;
        cGenStringFixed<16> text;
        if (beat == 0)
            text.Printf("%d", int(bar + 1));
        else
            text.Printf("%d.%d", int(bar + 1), int(beat + 1));
        const uint32_t colour = beat == 0 ? (beyond ? kBarLabelBeyond : kBarLabel) : (beyond ? kBeatLabelBeyond : kBeatLabel);
        list.FillRect({x, mRuler.yMax - 4.0f, x + 1.0f, mRuler.yMax}, colour);
        list.DrawTextSized(x + 2.0f, y, colour, kLeftMiddle, text.CStr(), kTextSize);
    }
    list.PopClipRect();
    // The song position, folded into the loop for a shared pattern.
    float position = float(gTransport.position.load() - part->start);
    if (position >= 0.0f && position < float(part->length))
    {
        if (shared && part->pattern->loopLength > 0)
            position = std::fmod(position, float(part->pattern->loopLength));
        const float x = std::round(TickToX(position));
        if (x >= mEditArea.xMin && x < mEditArea.xMax)
            list.FillRect({x, mRuler.yMin, x + 1.0f, mEditArea.yMax}, kSongPositionColour);
    }
    if (mState == kRuler && mRepeatDrag)
    {
        const float x = std::round(TickToX(mRepeatTick));
        if (x >= mEditArea.xMin && x < mEditArea.xMax)
            list.FillRect({x, mRuler.yMin, x + 1.0f, mEditArea.yMax}, kRepeatLineColour);
    }
}

void cPianoRoll::DrawHandles(cDrawList& list)
{
    for (int32_t i = 0; i < kHandleCount; ++i)
        if (mHandles[i].visible)
            DrawSprite(list, mHandles[i].dragged, kHandleSprites[i]);
}

void cPianoRoll::DrawCounts(cDrawList& list)
{
    const float x = (mEditArea.xMin + mEditArea.xMax) * 0.5f;
    float y = mEditArea.yMin + 14.0f;
    if (gGridQuantizeGrid.IsActive())
    {
        cGenStringFixed<48> grid;
        QuantizeSettingsToText(grid, gGridQuantizeSettings, true);
        list.DrawTextSized(x, y, kGridTextColour, kCentred, grid.CStr(), kCountTextSize);
        y += 16.0f;
    }
    if (mModel.GetSelectionCount() > 0)
        return;
    const cPattern* pattern = mModel.GetPattern();
    const int32_t events = pattern ? pattern->count : 0;
    if (events == 0)
    {
        list.DrawTextSized(x, y, kCountColour, kCentred, "Empty pattern", kCountTextSize);
        return;
    }
    cGenStringFixed<64> text;
    text.Printf("%d/%d events used", int(events), int(kEventLimit));
    list.DrawTextSized(x, y, events >= kEventLimit ? kCountFullColour : kCountColour, kCentred, text.CStr(),
                       kCountTextSize);
    text.Printf("(%d note, %d controller)", int(mNoteCount), int(mControllerCount));
    list.DrawTextSized(x, y + 16.0f, kCountColour, kCentred, text.CStr(), kCountTextSize);
}

// --- The status hint ---

void cPianoRoll::FormatPosition(cGenString& text, float ticks) const
{
    const int32_t perBar = std::max(gTransport.ticksPerBar.load(), 1);
    const int32_t t = int32_t(std::fabs(ticks));
    const int32_t bar = t / perBar, beat = (t % perBar) / int32_t(kBeat), rest = (t % int32_t(kBeat)) / 4;
    text.Printf("%03d.%02d.%02d", int(bar + 1), int(beat + 1), int(rest));
}

void cPianoRoll::NoteName(cGenString& text, int32_t note) const
{
    if (cInstrument* instrument = PartInstrument())
        instrument->GetNoteName(text, note);
    else
        GetMIDINoteName(text, note);
}

const char* cPianoRoll::PartName(cGenString& text) const
{
    const cPatternInstance* part = GetPart();
    if (part && part->IsShared())
        text.Printf("Pattern %02d", int(part->patternNumber));
    else
        text.AssignCStr("Edit part");
    return text.CStr();
}

void cPianoRoll::UpdateHint()
{
    const int32_t lane = mModel.GetLane();
    const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
    const int32_t selected = mModel.GetSelectionCount();
    cGenStringFixed<48> a, c, grid;
    QuantizeSettingsToText(grid, gGridQuantizeSettings, true);
    const bool gridOn = gGridQuantizeGrid.IsActive();
    const float scale = 1.0f / 32767.0f;
    if (IsScrollModeOn())
        mHint.AssignCStr("Drag to scroll/Pinch to zoom");
    else if (mChooser->IsOpen())
        mHint.AssignCStr("Select an event type to edit");
    else
        switch (mState)
        {
        case kScrolling: mHint.AssignCStr("Drag to scroll/Pinch to zoom"); break;
        case kPinching: mHint.AssignCStr("Pinch to zoom"); break;
        case kDrawing:
            if (lane == cPatternEditModel::kLaneNotes)
            {
                NoteName(a, int32_t(std::floor(std::clamp(mValue, mRangeLow, mRangeHigh))));
                const int32_t notes = PreviewNoteCount();
                if (!gridOn)
                    mHint.AssignCStr(a.CStr());
                else if (notes > 1)
                    mHint.Printf("%s - %d events %s", a.CStr(), int(notes), grid.CStr());
                else
                    mHint.Printf("%s - %s", a.CStr(), grid.CStr());
            }
            else
            {
                const float press = std::clamp(mDownValue, mRangeLow, mRangeHigh);
                const float finger = std::clamp(mValue, mRangeLow, mRangeHigh);
                const bool one = std::fabs(mDownTick - mTick) <= kTapTicks;
                if (lane == cPatternEditModel::kLaneVelocity)
                {
                    if (one)
                        mHint.Printf("Velocity %03d", int(finger));
                    else
                        mHint.Printf("Velocity %03d to %03d", int(press), int(finger));
                }
                else if (one)
                    mHint.Printf("Controller value %.02f", double(finger * scale));
                else
                    mHint.Printf("Controller value %.02f to %.02f", double(press * scale), double(finger * scale));
            }
            break;
        case kRuler:
            if (mRepeatDrag)
            {
                const int32_t bars = int32_t(mRepeatTick) / std::max(gTransport.ticksPerBar.load(), 1);
                if (bars <= 0)
                    mHint.AssignCStr("Pattern repeat OFF");
                else
                    mHint.Printf("Repeat pattern every %d bars", int(bars));
            }
            else
                mHint.AssignCStr(GetPart() && GetPart()->IsShared() ? "Drag to set pattern repeat length" : "");
            break;
        case kMoving:
        case kResizing:
        {
            const float offset = mState == kMoving ? mModel.GetTimeOffset() : mModel.GetLengthOffset();
            FormatPosition(a, mState == kMoving ? b.earliestStart : b.shortestLength);
            FormatPosition(c, offset);
            mHint.Printf(mState == kMoving ? "Move %s (%s%s)" : "Length %s (%s%s)", a.CStr(), offset < 0.0f ? "-" : "+",
                         c.CStr());
            break;
        }
        case kNoteShift:
        {
            const int32_t shift = int32_t(std::round(mModel.GetValueOffset()));
            int32_t note = 0;
            if (SelectionIsOnePitch(&note))
            {
                NoteName(a, note);
                NoteName(c, note + shift);
                mHint.Printf("Transpose %s to %s (%+d)", a.CStr(), c.CStr(), int(shift));
            }
            else
                mHint.Printf("Transpose %+d", int(shift));
            break;
        }
        case kVelocityShift:
        {
            const int32_t shift = int32_t(mModel.GetValueOffset());
            const cPatternEditModel::cEventView* view = mModel.GetSelection().GetFirst()->view;
            NoteName(a, view->note);
            if (selected == 1)
                mHint.Printf("%s velocity %03d", a.CStr(), int(view->event->data2 + shift));
            else
                mHint.Printf("%s shift velocities %+d", a.CStr(), int(shift));
            break;
        }
        case kControllerShift:
            if (selected == 1)
                mHint.Printf("Controller value %.02f", double((b.highestTop) * scale));
            else
                mHint.Printf("Shift controller values %+.02f", double(mModel.GetValueOffset() * scale));
            break;
        case kRubberBand: mHint.AssignCStr("Drag to select"); break;
        case kKeyStrip: mHint.AssignCStr("Drag to scroll/Dbl tap to zoom"); break;
        default:
            if (selected == 0)
            {
                PartName(a);
                if (lane == cPatternEditModel::kLaneNotes)
                    mHint.Printf("%s (track %d) %s", a.CStr(),
                                 int(GetPart() && GetPart()->owner ? GetPart()->owner->GetChannel() + 1 : 1), "");
                else if (lane == cPatternEditModel::kLaneVelocity)
                    mHint.Printf("%s %s", a.CStr(), " - Velocity");
                else
                {
                    const cInstrumentPackage* block = mModel.GetPianoRollBlock();
                    const cInstrumentPackage::cControllerParam* entry = mModel.GetControllerEntry();
                    const char* name = entry ? block->GetControllerName(entry->paramIndex) : nullptr;
                    c.Printf(" - %s", name ? name : "");
                    mHint.Printf("%s %s", a.CStr(), c.CStr());
                }
            }
            else if (lane == cPatternEditModel::kLaneNotes)
            {
                if (b.lowestNote == b.highestNote)
                    NoteName(a, b.lowestNote);
                else
                {
                    cGenStringFixed<16> high;
                    NoteName(c, b.lowestNote);
                    NoteName(high, b.highestNote);
                    a.Printf("%s-%s", c.CStr(), high.CStr());
                }
                const int32_t perBar = std::max(gTransport.ticksPerBar.load(), 1);
                const auto split = [perBar](float ticks, int32_t* bar, int32_t* beat, int32_t* rest)
                {
                    const int32_t t = int32_t(ticks);
                    *bar = t / perBar + 1;
                    *beat = (t % perBar) / 256 + 1;
                    *rest = (t % 256) / 4;
                };
                int32_t s[3], e[3];
                split(b.earliestStart, &s[0], &s[1], &s[2]);
                split(b.latestEnd, &e[0], &e[1], &e[2]);
                mHint.Printf("%s %03d.%02d.%02d-%03d.%02d.%02d", a.CStr(), int(s[0]), int(s[1]), int(s[2]), int(e[0]),
                             int(e[1]), int(e[2]));
            }
            else if (lane == cPatternEditModel::kLaneVelocity)
            {
                if (b.lowestNote == b.highestNote)
                    NoteName(a, b.lowestNote);
                else
                {
                    cGenStringFixed<16> high;
                    NoteName(c, b.lowestNote);
                    NoteName(high, b.highestNote);
                    a.Printf("%s-%s", c.CStr(), high.CStr());
                }
                const int32_t low = int32_t(b.lowestTop), top = int32_t(b.highestTop);
                if (low == top)
                    mHint.Printf("%s velocity %03d", a.CStr(), int(top));
                else
                    mHint.Printf("%s velocity %03d-%03d", a.CStr(), int(low), int(top));
            }
            else if (b.lowestTop == b.highestTop)
                mHint.Printf("Controller value %.02f", double(b.highestTop * scale));
            else
                mHint.Printf("Controller values %.02f-%.02f", double(b.lowestTop * scale), double(b.highestTop * scale));
            break;
        }
    GetEditorHost().SetStatusHint(mHint.CStr());
}
