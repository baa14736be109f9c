#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "editors/EditorHost.h"
#include "editors/RollButton.h"
#include "editors/SongRoll.h"
#include "editors/SongRollSprites.h"
#include "platform/DisplayMetrics.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/HouseColours.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr int32_t kLargeScrollTrack = 326;
constexpr float kHeaderWidthPhone = 64.0f;
constexpr float kHeaderWidth = 110.0f;
constexpr float kPanelWidthTablet = 340.0f;
constexpr float kPanelWidth = 180.0f;
constexpr float kPartsTouchMargin = 10.0f; // the parts area reaches this far into the header
constexpr float kLabelledRowHeight = 18.0f;
constexpr float kLabelSize = 7.0f;
constexpr float kHeaderTextSize = 9.0f;
constexpr float kMinimumBarLineGap = 6.0f;
constexpr int32_t kMaxBarLines = 255;
constexpr float kMinimumLabelGap = 30.0f;
constexpr int32_t kPartsUsedWarning = 1000;

constexpr uint32_t kBarLineColour = 0xff000000;
constexpr uint32_t kFaintBarLineColour = 0x40000000;
constexpr uint32_t kFirstTrackTop = 0xff939393, kFirstTrackBottom = 0xff727272;
// Black: the box's mid grey is too light for the dark label grey to read on.
constexpr uint32_t kTrackNameColour = 0xff000000;
constexpr uint32_t kOtherTrackTop = 0xff555555, kOtherTrackBottom = 0xff3c3c3c;
constexpr uint32_t kPanelCell = 0xff2a2a2a;
constexpr uint32_t kRubberBandFill = 0x20ffffff;
constexpr uint32_t kSongPositionColour = 0xffdcdcdc;
constexpr uint32_t kColumnTitleColour = 0xffc8c8c8;
constexpr uint32_t kPartsUsedColour = 0xffdcdcdc;
constexpr uint32_t kPartsUsedFullColour = 0xff4040ff;
constexpr uint32_t kLabelColour = 0xff000000;
constexpr uint32_t kLabelOnDarkColour = 0xffffffff;
// The grey level below which white reads better than black on a part.
constexpr float kDarkPartLevel = 118.0f;
// The grey level of the roll's background under the parts.
constexpr float kRollLevel = 36.0f;
constexpr float kPositionOverhang = 5.0f;
constexpr const char* kColumnTitles[cSongRoll::kColumnCount] = {"MUTE", "SOLO", "REC", "DEL", "ADD"};

// Text alignment: low nibble across (0 left, 1 centred), high nibble down (1 centred, 2 below y).
constexpr uint32_t kLeftTop = 0x20;
constexpr uint32_t kLeftMiddle = 0x10;
constexpr uint32_t kCentred = 0x11;

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }

bool IsPhone() { return GetDisplayMetrics().deviceClass == kDeviceClassPhone; }

float BarTicks() { return float(gTransport.ticksPerBar.load()); }

void DrawSprite(cDrawList& list, const cAtlasSprite* sprite, float centreX, float centreY, uint32_t colour)
{
    const cRect rect = {centreX - 0.5f * sprite->width, centreY - 0.5f * sprite->height,
                        centreX + 0.5f * sprite->width, centreY + 0.5f * sprite->height};
    list.DrawQuad(rect, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, colour, 0);
}

void DrawGradient(cDrawList& list, const cRect& rect, uint32_t top, uint32_t bottom)
{
    cVector2 uv0, uv1;
    cMaterial* previous = list.BeginSolidFill(uv0, uv1);
    list.DrawGradientQuad(rect, uv0, uv1, top, top, bottom, bottom);
    list.currentMaterial = previous;
}

// The text cut at its end until it fits the width.
// Black on a light part, white on a dark one: pattern colours run both ways,
// and they are laid translucent over the dark roll.
uint32_t LabelColourOn(uint32_t fill)
{
    const float alpha = float(fill >> 24) / 255.0f;
    const float level = 0.2126f * float(fill & 0xff) + 0.7152f * float((fill >> 8) & 0xff) +
                        0.0722f * float((fill >> 16) & 0xff);
    const float shown = alpha * level + (1.0f - alpha) * kRollLevel;
    return shown < kDarkPartLevel ? kLabelOnDarkColour : kLabelColour;
}

void FitText(cGenString& text, const cFontHandle& font, float width)
{
    while (text.Length() > 0 && font.GetTextWidth(text.CStr()) > width)
        text.Truncate(text.Length() - 1);
}
} // namespace

// --- Layout ---

void cSongRoll::OnLayout()
{
    const cRect r = GetRect();
    const float toolbarHeight = Sprite(kRollButtonSkin)->height;
    const float rulerHeight = Sprite(kSongRollRuler)->height;
    const float bar = Sprite(kLargeScrollTrack)->height;
    const float header = IsPhone() ? kHeaderWidthPhone : kHeaderWidth;
    mPanelWidth = GetDisplayMetrics().deviceClass == kDeviceClassTablet ? kPanelWidthTablet : kPanelWidth;
    mPanelColumnWidth = mPanelWidth / float(kColumnCount);
    mSlotWidth = (r.xMax - r.xMin) / float(kToolCount);
    mToolbar = {r.xMin, r.yMax - toolbarHeight, r.xMax, r.yMax};
    const float headerRight = r.xMin + header + (mPanelExpanded ? mPanelWidth : 0.0f);
    const float barsLeft = r.xMax - bar;
    const float barsTop = mToolbar.yMin - bar;
    mHeaderColumn = {r.xMin, r.yMin + rulerHeight, r.xMin + header, mToolbar.yMin};
    mHeaderWithPanel = {r.xMin, r.yMin + rulerHeight, headerRight, mToolbar.yMin};
    mRuler = {r.xMin + header, r.yMin, barsLeft, r.yMin + rulerHeight};
    mRollArea = {headerRight, r.yMin + rulerHeight, barsLeft, barsTop};
    mPartsTouchArea = {headerRight - kPartsTouchMargin, mRollArea.yMin, mRollArea.xMax, mRollArea.yMax};
    mPanelToggle->SetAnchors(kAnchorsAbsoluteRect, r.xMin, r.yMin, header, rulerHeight);
    mFollowToggle->SetAnchors(kAnchorsAbsoluteRect, barsLeft, r.yMin, bar, rulerHeight);
    mScrollModeToggle->SetAnchors(kAnchorsAbsoluteRect, barsLeft, barsTop, bar, bar);
    PlaceZoomButtons();
    LayoutToolbar();
    mModel.MarkPartsDirty();
    mModel.MarkHighlightsDirty();
    UpdateScrollRanges();
}

void cSongRoll::PlaceZoomButtons()
{
    const float size = Sprite(kLargeScrollTrack)->height;
    const float width = mRollArea.xMax - mRollArea.xMin;
    const float height = mRollArea.yMax - mRollArea.yMin;
    // Each pair only where the bar keeps room beside it.
    const bool across = width > 2.0f * size;
    const bool down = height > 2.0f * size;
    const float barWidth = across ? width - 2.0f * size : width;
    const float barHeight = down ? height - 2.0f * size : height;
    mHorizontalBar->SetAnchors(kAnchorsAbsoluteRect, mRollArea.xMin, mRollArea.yMax, barWidth, size);
    mVerticalBar->SetAnchors(kAnchorsAbsoluteRect, mRollArea.xMax, mRollArea.yMin, size, barHeight);
    for (int32_t in = 0; in < 2; ++in)
    {
        cWidgetButton* horizontal = mZoomButtons[0][in];
        cWidgetButton* vertical = mZoomButtons[1][in];
        horizontal->SetVisible(across);
        vertical->SetVisible(down);
        horizontal->SetAnchors(kAnchorsAbsoluteRect, mRollArea.xMin + barWidth + float(1 - in) * size, mRollArea.yMax,
                               size, size);
        vertical->SetAnchors(kAnchorsAbsoluteRect, mRollArea.xMax, mRollArea.yMin + barHeight + float(1 - in) * size,
                             size, size);
    }
}

void cSongRoll::LayoutToolbar()
{
    const auto place = [&](cWidgetButton* button, int32_t slot) {
        button->SetAnchors(kAnchorsAbsoluteRect, std::floor(mToolbar.xMin + float(slot) * mSlotWidth), mToolbar.yMin,
                           std::floor(mSlotWidth) + 1.0f, mToolbar.yMax - mToolbar.yMin);
    };
    for (int32_t tool : {kToolTools, kToolHistory, kToolZoom, kToolSelect})
        place(mTools[tool], tool);
    int32_t slot = kToolDraw;
    for (int32_t tool : {kToolDraw, kToolDelete, kToolCopy})
        if (mTools[tool]->IsVisible())
            place(mTools[tool], slot++);
    place(mTools[kToolMore], kToolMore);
    // Anchored at the right edge.
    mTools[kToolEdit]->SetAnchors(kAnchorsAbsoluteRect, std::floor(mToolbar.xMax - mSlotWidth), mToolbar.yMin,
                                  std::floor(mSlotWidth), mToolbar.yMax - mToolbar.yMin);
}

void cSongRoll::SetPanelExpanded(bool expanded)
{
    const float oldWidth = mRollArea.xMax - mRollArea.xMin;
    mPanelExpanded = expanded;
    mPanelToggle->value = expanded ? 1 : 0;
    OnLayout();
    const float newWidth = mRollArea.xMax - mRollArea.xMin;
    // The tick scale stays: the view covers what the narrower area shows.
    if (oldWidth > 0.0f && newWidth > 0.0f)
    {
        mView.width *= newWidth / oldWidth;
        mTarget.width *= newWidth / oldWidth;
    }
    mModel.MarkPartsDirty();
    mModel.MarkHighlightsDirty();
}

cRect cSongRoll::GetPanelCell(int32_t column, float row) const
{
    const float left = mHeaderColumn.xMax + float(column) * mPanelColumnWidth;
    return {left + 2.0f, RowToY(row) + 2.0f, left + mPanelColumnWidth - 2.0f, RowToY(row + 1.0f) - 2.0f};
}

// --- The frame ---

bool cSongRoll::Draw(cDrawList& list)
{
    Update();
    if (!mTracks)
        return true;
    {
        cScopedClipRect clip(list, mRollArea);
        DrawBackground(list);
        DrawBarLines(list);
        mModel.Draw(list, GetGuideMode(), GetViewInfo());
        if (mMode == kRubberBand)
            mModel.DrawRubberBand(mDownTick, mDownRow, list, mLastTick, mLastRow, GetViewInfo());
        else if (mMode == kDrawing)
            mModel.DrawInsertPreview(list);
        DrawPartLabels(list);
        DrawRubberBandFill(list);
    }
    {
        cScopedClipRect clip(list, mHeaderWithPanel);
        DrawHeaders(list);
    }
    DrawRuler(list);
    DrawHandles(list);
    DrawToolbarBackground(list);
    UpdateStatusText();
    return false;
}

int32_t cSongRoll::GetGuideMode() const
{
    switch (mMode)
    {
    case kMoving: return cSongEditModel::kGuideStart;
    case kResizing: return cSongEditModel::kGuideEnd;
    case kTrackMoving: return cSongEditModel::kGuideRows;
    default: return cSongEditModel::kGuideNone;
    }
}

void cSongRoll::DrawBackground(cDrawList& list)
{
    const float right = std::min(mRollArea.xMax, TickToX(kSongEnd));
    if (right <= mRollArea.xMin)
        return;
    // One repeat of the texture covers two rows, so rows alternate in shade.
    const float bottomRow = mView.top + mView.rows;
    cScopedMaterial material(list, mBackground);
    list.DrawQuad({mRollArea.xMin, mRollArea.yMin, right, mRollArea.yMax}, {0.0f, 0.5f * mView.top},
                  {1.0f, 0.5f * bottomRow}, 0xffffffff, 0);
}

void cSongRoll::DrawBarLines(cDrawList& list)
{
    const float bar = BarTicks();
    const float barPixels = mView.width > 0.0f ? bar * (mRollArea.xMax - mRollArea.xMin) / mView.width : 0.0f;
    if (!(barPixels > 0.0f))
        return;
    int32_t every = 1;
    while (barPixels * float(every) < kMinimumBarLineGap)
        every *= 2;
    const int32_t beats = gTransport.beatsPerBar.load();
    const int32_t lastBar = int32_t(std::min(mView.left + mView.width, kSongEnd) / bar);
    int32_t index = int32_t(mView.left / bar);
    index -= index % every;
    for (int32_t lines = 0; index <= lastBar && lines < kMaxBarLines; index += every, ++lines)
    {
        const float x = std::floor(TickToX(float(index) * bar));
        const bool strong = every == 1 && beats > 0 && index % beats == 0;
        list.FillRect({x, mRollArea.yMin, x + 1.0f, mRollArea.yMax}, strong ? kBarLineColour : kFaintBarLineColour);
    }
}

void cSongRoll::DrawHeaders(cDrawList& list)
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    const int32_t first = std::max(0, int32_t(std::floor(mView.top)));
    const int32_t last = std::min(TrackCount(), int32_t(std::ceil(mView.top + mView.rows)));
    for (int32_t row = first; row < last; ++row)
    {
        const cTrack* track = mTracks->GetTrack(row);
        const float top = RowToY(float(row));
        const float bottom = RowToY(float(row + 1));
        const cTrackList::cGroup& group = mTracks->GetGroup(track->GetChannel());
        const cInstrument* instrument = slots ? slots->GetInstrument(track->GetChannel()) : nullptr;
        if (track->GetIndexInGroup() == 0)
        {
            DrawGradient(list, {mHeaderColumn.xMin, top, mHeaderColumn.xMax, bottom - 1.0f}, kFirstTrackTop,
                         kFirstTrackBottom);
            list.DrawTextF(mHeaderColumn.xMin + 4.0f, 0.5f * (top + bottom), kHeaderTextSize, kTrackNameColour,
                           kLeftMiddle, "%s", instrument ? instrument->GetName() : "");
            if (group.end - group.first > 1)
                DrawSprite(list, Sprite(kSongRollGroupMarker), mHeaderColumn.xMax - 8.0f, bottom - 6.0f,
                           HouseColour::kWhite);
        }
        else
            DrawGradient(list, {mHeaderColumn.xMin + 8.0f, top, mHeaderColumn.xMax, bottom - 1.0f}, kOtherTrackTop,
                         kOtherTrackBottom);
        const float iconY = 0.5f * (top + bottom);
        float iconX = mHeaderColumn.xMax - 24.0f;
        const auto icon = [&](int32_t sprite) {
            DrawSprite(list, Sprite(sprite), iconX, iconY, HouseColour::kWhite);
            iconX -= Sprite(sprite)->width + 2.0f;
        };
        if (track->GetMuteSolo() == cTrack::kMute)
            icon(kSongRollMuteIcon);
        if (track->GetMuteSolo() == cTrack::kSolo)
            icon(kSongRollSoloIcon);
        if (track->IsSelected())
            icon(kSongRollInputIcon);
        if (mPanelExpanded)
            DrawHeaderPanel(list, row);
    }
}

void cSongRoll::DrawHeaderPanel(cDrawList& list, int32_t row)
{
    const cTrack* track = mTracks->GetTrack(row);
    const bool lit[kColumnCount] = {track->GetMuteSolo() == cTrack::kMute, track->GetMuteSolo() == cTrack::kSolo,
                                    track->IsSelected(), false, false};
    const bool shown[kColumnCount] = {true, true, true, CanDeleteTrack(row), CanAddTrackAfter(row)};
    const int32_t icons[3] = {kSongRollMuteIcon, kSongRollSoloIcon, kSongRollInputIcon};
    for (int32_t column = 0; column < kColumnCount; ++column)
    {
        if (!shown[column])
            continue;
        const cRect cell = GetPanelCell(column, float(row));
        list.FillRect(cell, lit[column] ? HouseColour::kLit : kPanelCell);
        const float x = 0.5f * (cell.xMin + cell.xMax), y = 0.5f * (cell.yMin + cell.yMax);
        if (column < 3)
            DrawSprite(list, Sprite(icons[column]), x, y, HouseColour::kWhite);
        else
            list.DrawTextF(x, y, kHeaderTextSize, HouseColour::kLightLabel, kCentred, "%s",
                           column == kColumnDelete ? "-" : "+");
    }
}

void cSongRoll::DrawPartLabels(cDrawList& list)
{
    const float rowHeight = mView.rows > 0.0f ? (mRollArea.yMax - mRollArea.yMin) / mView.rows : 0.0f;
    if (rowHeight < kLabelledRowHeight)
        return;
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, kLabelSize);
    cGenStringFixed<96> text;
    for (const cSongEditModel::cPartView* view = mModel.GetViews().GetFirst(); view; view = view->GetNext())
    {
        const float x0 = TickToX(view->start), x1 = TickToX(view->end);
        const float y = RowToY(view->top);
        const float width = x1 - x0;
        if (x1 < mRollArea.xMin || x0 > mRollArea.xMax || y < mRollArea.yMin - rowHeight || y > mRollArea.yMax)
            continue;
        const cPatternInstance* part = view->part;
        cInstrument* instrument =
            slots && part->owner ? slots->GetInstrument(part->owner->GetChannel()) : nullptr;
        const bool preset = part->HasProgramChange() && instrument && instrument->GetPresetWidget();
        const char* name = preset ? instrument->GetPresetName(part->GetPresetKind(), part->GetPresetId()) : "";
        text.AssignCStr("");
        if (part->IsShared() && part->patternNumber >= 0 && width > 15.0f)
        {
            text.Printf("%02d", int(part->patternNumber));
            if (width > 25.0f && preset)
                text.Append("-");
            if (width > 35.0f && preset)
                text.Append(name);
        }
        else if (!part->IsShared() && preset && width > 35.0f)
            text.AssignCStr(name);
        FitText(text, font, width - 6.0f);
        if (text.Length() > 0)
            list.DrawTextF(x0 + 3.0f, y + 3.0f, kLabelSize, LabelColourOn(mModel.GetShownFill(*view)), kLeftTop, "%s",
                           text.CStr());
    }
}

void cSongRoll::DrawRubberBandFill(cDrawList& list)
{
    if (mMode != kRubberBand)
        return;
    const float x0 = std::clamp(std::min(TickToX(mDownTick), mLastPoint.X), mRollArea.xMin, mRollArea.xMax);
    const float x1 = std::clamp(std::max(TickToX(mDownTick), mLastPoint.X), mRollArea.xMin, mRollArea.xMax);
    const float y0 = std::clamp(std::min(RowToY(mDownRow), mLastPoint.Y), mRollArea.yMin, mRollArea.yMax);
    const float y1 = std::clamp(std::max(RowToY(mDownRow), mLastPoint.Y), mRollArea.yMin, mRollArea.yMax);
    list.FillRect({x0, y0, x1, y1}, kRubberBandFill);
}

void cSongRoll::DrawRuler(cDrawList& list)
{
    list.DrawThreePatchH(mRuler, Sprite(kSongRollRuler), nullptr, HouseColour::kWhite);
    {
        const cRect area = {mRollArea.xMin, mRuler.yMin, mRollArea.xMax, mRuler.yMax};
        cScopedClipRect clip(list, area);
        DrawLoopRegion(list);
        const int32_t beatsPerBar = std::max(1, gTransport.beatsPerBar.load());
        const float beat = BarTicks() / float(beatsPerBar);
        const float beatPixels = mView.width > 0.0f ? beat * (mRollArea.xMax - mRollArea.xMin) / mView.width : 0.0f;
        if (beatPixels > 0.0f)
        {
            int32_t step = 1;
            while (beatPixels * float(step) < kMinimumLabelGap)
                step *= std::max(2, beatsPerBar);
            int32_t index = int32_t(mView.left / beat);
            index -= index % step;
            const float end = std::min(mView.left + mView.width, kSongEnd);
            for (int32_t lines = 0; float(index) * beat <= end && lines < kMaxBarLines; index += step, ++lines)
            {
                const float x = TickToX(float(index) * beat) + 2.0f;
                const float y = 0.5f * (mRuler.yMin + mRuler.yMax);
                if (index % beatsPerBar == 0)
                    list.DrawTextF(x, y, kHeaderTextSize, HouseColour::kLightLabel, kLeftMiddle, "%d",
                                   int(index / beatsPerBar + 1));
                else
                    list.DrawTextF(x, y, kHeaderTextSize, HouseColour::kGreyLabel, kLeftMiddle, "%d.%d",
                                   int(index / beatsPerBar + 1), int(index % beatsPerBar + 1));
            }
        }
    }
    DrawSongPosition(list);
    if (mPanelExpanded)
        for (int32_t column = 0; column < kColumnCount; ++column)
            list.DrawTextF(mHeaderColumn.xMax + (float(column) + 0.5f) * mPanelColumnWidth,
                           0.5f * (mRuler.yMin + mRuler.yMax), kHeaderTextSize, kColumnTitleColour, kCentred, "%s",
                           kColumnTitles[column]);
}

void cSongRoll::DrawLoopRegion(cDrawList& list)
{
    const bool dragging = mMode == kLoopMarker;
    const float begin = dragging ? std::min(mLoopBegin, mLoopEnd) : float(gTransport.loopStart.load());
    const float end = dragging ? std::max(mLoopBegin, mLoopEnd) : float(gTransport.loopEnd.load());
    const cAtlasSprite* sprite = Sprite(kSongRollLoopRegion);
    const float x0 = TickToX(begin), x1 = TickToX(end);
    const float y = mRuler.yMax - sprite->height;
    const uint32_t colour = gTransport.loopOn.load() ? HouseColour::kWhite : 0x80ffffff;
    if (x1 - x0 >= sprite->width)
        list.DrawThreePatchH({x0, y, x1, mRuler.yMax}, sprite, nullptr, colour);
    else
        list.DrawQuad({x0, y, x0 + sprite->width, mRuler.yMax}, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1},
                      colour, 0);
}

void cSongRoll::DrawSongPosition(cDrawList& list)
{
    const float x = std::floor(TickToX(float(gTransport.position.load())));
    if (x > mRollArea.xMax)
        return;
    const float top = mRollArea.yMin - kPositionOverhang;
    // Left of the roll only the stub above it shows, at the roll's edge.
    if (x < mRollArea.xMin)
        list.FillRect({mRollArea.xMin, top, mRollArea.xMin + 1.0f, mRollArea.yMin}, kSongPositionColour);
    else
        list.FillRect({x, top, x + 1.0f, mRollArea.yMax}, kSongPositionColour);
    if (mMode == kLoopMarker && mLoopMarkerMoved)
    {
        const float marker = std::floor(TickToX(mLoopMarker == 0 ? mLoopBegin : mLoopEnd));
        list.FillRect({marker, mRuler.yMin, marker + 1.0f, mRollArea.yMax}, HouseColour::kLit);
    }
}

void cSongRoll::DrawHandles(cDrawList& list)
{
    for (const cHandle& handle : mHandles)
        if (handle.alpha > 0.0f)
            DrawSprite(list, handle.sprite, handle.position.X, handle.position.Y,
                       (uint32_t(handle.alpha) << 24) | 0x00ffffffu);
}

void cSongRoll::DrawToolbarBackground(cDrawList& list)
{
    list.DrawThreePatchH(mToolbar, Sprite(kSongRollToolbarBackground), nullptr, HouseColour::kWhite);
    if (mModel.GetSelectedCount() > 0)
        return;
    const int32_t used = mModel.GetViewCount();
    list.DrawTextF(mToolbar.xMax - 2.5f * mSlotWidth, 0.5f * (mToolbar.yMin + mToolbar.yMax), kHeaderTextSize + 2.0f,
                   used >= kPartsUsedWarning ? kPartsUsedFullColour : kPartsUsedColour, kCentred, "%d/%d parts used",
                   int(used), int(cSongEditModel::kMaxViews));
}

// --- Status texts ---

void cSongRoll::FormatSelectionText(cGenString& text) const
{
    const float bar = BarTicks();
    const cSongEditModel::cSelectionBounds& bounds = mModel.GetBounds();
    const int32_t count = mModel.GetSelectedCount();
    const int32_t first = int32_t(bounds.earliestStart / bar) + 1;
    const int32_t last = int32_t(std::ceil(bounds.latestEnd / bar));
    cGenStringFixed<32> parts;
    parts.Printf(count == 1 ? "1 part" : "%d parts", int(count));
    text.Printf("%s %03d - %03d (length %d)", parts.CStr(), int(first), int(last), int(last - first + 1));
}

void cSongRoll::UpdateStatusText()
{
    const float bar = BarTicks();
    const cSongEditModel::cSelectionBounds& bounds = mModel.GetBounds();
    switch (IsScrollModeOn() ? int32_t(kScrolling) : mMode)
    {
    case kScrolling: mHint.AssignCStr("Drag to scroll/Pinch to zoom"); break;
    case kPinching: mHint.AssignCStr("Pinch to zoom"); break;
    case kDrawing:
    {
        // The span the preview covers: whole bars.
        const float low = std::max(0.0f, std::min(mDownTick, mLastTick));
        const float high = std::max(0.0f, std::max(mDownTick, mLastTick));
        const int32_t first = int32_t(low / bar);
        const int32_t end = int32_t(high / bar) + 1;
        const int32_t row = std::clamp(int32_t(mLastRow), 0, std::max(0, TrackCount() - 1));
        mHint.Printf("Track %d %03d - %03d (length %d)", int(row + 1), int(first + 1), int(end), int(end - first));
        break;
    }
    case kLoopMarker:
        if (!mLoopMarkerMoved)
            mHint.AssignCStr(mLoopMarker == 0 ? "Drag loop begin" : "Drag loop end");
        else if (mLoopMarker == 0)
            mHint.Printf("Loop begin = %03d (length %d)", int(mLoopBegin / bar) + 1,
                         int(std::fabs(mLoopEnd - mLoopBegin) / bar));
        else
            mHint.Printf("Loop end = %03d (length %d)", int(mLoopEnd / bar), int(std::fabs(mLoopEnd - mLoopBegin) / bar));
        break;
    case kMoving:
        mHint.Printf("Move to bar %03d (%+d)", int(std::round(bounds.earliestStart / bar)) + 1,
                     int(std::round(bounds.timeOffset / bar)));
        break;
    case kResizing:
        mHint.Printf("Length %d (%+d)", int(std::round((bounds.latestEnd - bounds.earliestStart) / bar)),
                     int(std::round(bounds.lengthDelta / bar)));
        break;
    case kTrackMoving: mHint.Printf("Track move %+d", int(std::round(bounds.rowOffset))); break;
    case kHeaderDrag: mHint.AssignCStr("Drag to scroll/Dbl tap to jump"); break;
    case kMuteDrag: mHint.AssignCStr("Drag to mute"); break;
    case kSoloDrag: mHint.AssignCStr("Drag to solo"); break;
    case kRubberBand: mHint.AssignCStr("Drag to select"); break;
    default:
        if (IsDrawToolOn())
            mHint.AssignCStr("Tap/drag to add/remove parts");
        else if (mModel.GetSelectedCount() > 0)
            FormatSelectionText(mHint);
        else
        {
            const cProjectList* projects = cProjectList::GetInstance();
            const cProject* project = projects ? projects->GetCurrentProject() : nullptr;
            mHint.Printf("Song '%s'", project ? project->GetName().CStr() : "");
        }
        break;
    }
    GetEditorHost().SetStatusHint(mHint.CStr());
    if (mMode >= kDrawing && mMode <= kTrackMoving && !IsScrollModeOn())
        GetEditorHost().ShowStatusMessage(mHint.CStr(), cEditorHost::kMessageSeconds);
}
