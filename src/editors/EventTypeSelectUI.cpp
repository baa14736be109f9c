#include "editors/EventTypeSelectUI.h"

#include <algorithm>
#include <cstring>

#include "audio/InstrumentPackage.h"
#include "base/CriticalSection.h"
#include "editors/ScreenCoordinate.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"

namespace
{
constexpr int32_t kClosedSprite = 14;
constexpr int32_t kOpenSprite = 22;
constexpr int32_t kNoteColumn = 3;
constexpr uint32_t kGridColour = 0xff404040;
constexpr uint32_t kOutlineColour = 0xff000000;
constexpr uint32_t kEventColour = 0xffccb258;
constexpr uint32_t kOpaqueWhite = 0xffffffff;
constexpr float kGridDepth = 0.2f;
constexpr uint32_t kCentred = 0x11;
constexpr uint32_t kEndsAtY = 0x00;
// The miniature sits in the cell's upper half, inset from the frame; its
// lines keep 2 pixels inside it.
constexpr float kPreviewInsetX = 8.0f;
constexpr float kPreviewInsetY = 6.0f;
constexpr float kPreviewMargin = 2.0f;
constexpr float kLabelHeight = 0.75f;
// A two-word name is shown on two lines in the closed button.
constexpr float kFirstLine = 0.33f;
constexpr float kSecondLine = 0.66f;
constexpr int32_t kMaxVelocity = 127;

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }

std::unique_ptr<cMaterial> PlainMaterial(uint32_t colour)
{
    auto material = std::make_unique<cMaterial>(kBlendOff);
    material->colour = colour;
    return material;
}

float Width(const cRect& r) { return r.xMax - r.xMin; }
float Height(const cRect& r) { return r.yMax - r.yMin; }
} // namespace

cEventTypeSelectUI::cEventTypeSelectUI()
    : cellLabelTextSize(GetTextSize(kTextSizeStandard)), mOutlineMaterial(PlainMaterial(kOutlineColour)),
      mEventMaterial(PlainMaterial(kEventColour)), mClosedSprite(Sprite(kClosedSprite)),
      mOpenSprite(Sprite(kOpenSprite))
{
    mLineVertices.Resize(kLineVertexCapacity);
    mButtonSize = {mClosedSprite->width, mClosedSprite->height};
    std::memset(mCellOfController, -1, sizeof(mCellOfController));
}

cEventTypeSelectUI::~cEventTypeSelectUI() = default;

void cEventTypeSelectUI::PlaceInColumn(int32_t column, int32_t key, const char* label)
{
    for (int32_t row = 0; row < kRows; ++row)
    {
        cCell& cell = mCells[row * kColumns + column];
        if (cell.key != kKeyEmpty)
            continue;
        cell.key = key;
        cell.label = label;
        return;
    }
}

void cEventTypeSelectUI::Fill(cPatternInstance* part, const cInstrumentPackage* block)
{
    mPart = part;
    mBlock = block;
    for (cCell& cell : mCells)
    {
        cell.key = kKeyEmpty;
        cell.label = nullptr;
    }
    PlaceInColumn(kNoteColumn, kKeyNote, "Note");
    PlaceInColumn(kNoteColumn, kKeyVelocity, "Velocity");
    // Without a package there is no controller to offer, and the notes are
    // previewed over every MIDI note.
    mLowestNote = block ? block->GetKeyRangeLow() : 0.0f;
    mHighestNote = block ? block->GetKeyRangeHigh() : 127.0f;
    const int32_t count = block ? block->GetControllerParamCount() : 0;
    for (int32_t j = 0; j < count; ++j)
    {
        const cInstrumentPackage::cControllerParam* entry = block->GetControllerParam(j);
        if (entry->laneGroup >= 0 && entry->laneGroup < kColumns)
            PlaceInColumn(entry->laneGroup, j, block->GetControllerName(entry->paramIndex));
    }
    mRebuild = true;
}

int32_t cEventTypeSelectUI::FindKey(int32_t key) const
{
    for (int32_t i = 0; i < kCellCount; ++i)
        if (mCells[i].key == key)
            return i;
    return -1;
}

int32_t cEventTypeSelectUI::SelectKey(int32_t key)
{
    const int32_t index = FindKey(key);
    if (index < 0)
        return kCellCount;
    mCurrentCell = index;
    return index;
}

void cEventTypeSelectUI::OnLayout()
{
    const cRect& r = GetRect();
    mButtonRect = {r.xMax - mButtonSize.X, r.yMin - mButtonSize.Y, r.xMax, r.yMin};
    mCellWidth = Width(r) / float(kColumns);
    mCellHeight = Height(r) / float(kRows);
    for (int32_t i = 0; i < kCellCount; ++i)
    {
        cCell& cell = mCells[i];
        const float x0 = r.xMin + float(i % kColumns) * mCellWidth;
        const float y0 = r.yMin + float(i / kColumns) * mCellHeight;
        cell.rect = {x0, y0, x0 + mCellWidth + 1.0f, y0 + mCellHeight + 1.0f};
        cell.preview = {x0 + kPreviewInsetX, y0 + kPreviewInsetY, cell.rect.xMax - kPreviewInsetX,
                        (cell.rect.yMin + cell.rect.yMax) * 0.5f};
        cell.labelCentre = {(cell.rect.xMin + cell.rect.xMax) * 0.5f, y0 + kLabelHeight * mCellHeight};
    }
    mRebuild = true;
}

int32_t cEventTypeSelectUI::CellAt(const cVector2& point)
{
    if (!(mCellWidth > 0.0f) || !(mCellHeight > 0.0f))
        return -1;
    const cRect& r = GetRect();
    const int32_t row = std::max(0, int32_t((point.Y - r.yMin) / mCellHeight));
    const int32_t column = std::max(0, int32_t((point.X - r.xMin) / mCellWidth));
    if (row >= kRows || column >= kColumns)
        return -1;
    const int32_t index = row * kColumns + column;
    return mCells[index].key == kKeyEmpty ? -1 : index;
}

cRect cEventTypeSelectUI::HitRect() const
{
    cRect rect = mButtonRect;
    rect.Grow(hitMargins[0], hitMargins[1], hitMargins[2], hitMargins[3]);
    return rect;
}

// One loop of the part: its length, or the pattern's loop when that is shorter.
int32_t cEventTypeSelectUI::PreviewLength() const
{
    if (!mPart)
        return 0;
    const cPattern* pattern = mPart->pattern;
    if (pattern && pattern->loopLength > 0 && pattern->loopLength < mPart->length)
        return pattern->loopLength;
    return mPart->length;
}

void cEventTypeSelectUI::AddLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    cVertexIntXY* v = mLineVertices.GetData() + mLineVertexCount;
    v[0] = {ToScreenCoordinate(float(x0)), ToScreenCoordinate(float(y0))};
    v[1] = {ToScreenCoordinate(float(x1)), ToScreenCoordinate(float(y1))};
    mLineVertexCount += 2;
}

// A note is a dash on its row in "Note" (when the package plays it) and
// always a bar of its velocity in "Velocity".
void cEventTypeSelectUI::AddNoteLines(const cPatternEvent& event, float length, float scale)
{
    const cRect& notes = mCells[FindKey(kKeyNote)].preview;
    const float inner = Height(notes) - 2.0f * kPreviewMargin;
    const int32_t x = int32_t(float(event.time) * scale + notes.xMin + kPreviewMargin);
    const float note = float(event.data1);
    if (note >= mLowestNote && note <= mHighestNote)
    {
        const int32_t y = int32_t(notes.yMax - kPreviewMargin - inner / (mHighestNote - mLowestNote) * (note - mLowestNote));
        const float end = std::min(float(event.time) + float(event.length), length);
        AddLine(x, y, int32_t(end * scale + notes.xMin + kPreviewMargin) + 1, y);
    }
    const cRect& velocities = mCells[FindKey(kKeyVelocity)].preview;
    const int32_t bottom = int32_t(velocities.yMax - kPreviewMargin);
    const int32_t vx = int32_t(float(event.time) * scale + velocities.xMin + kPreviewMargin);
    AddLine(vx, bottom, vx, bottom - int32_t(inner / float(kMaxVelocity) * float(event.data2)));
}

void cEventTypeSelectUI::AddControllerLine(const cPatternEvent& event, const cCell& cell, float scale)
{
    const cInstrumentPackage::cControllerParam* entry = mBlock->GetControllerParam(cell.key);
    const cRect& p = cell.preview;
    const float k = (Height(p) - 2.0f * kPreviewMargin) / (entry->maximum - entry->minimum);
    const int32_t x = int32_t(float(event.time) * scale + p.xMin + kPreviewMargin);
    const int32_t bottom = int32_t(p.yMax - kPreviewMargin);
    const int32_t value = bottom - int32_t((float(event.GetControllerValue()) - entry->minimum) * k);
    const int32_t from = entry->centred ? int32_t((p.yMin + p.yMax) * 0.5f) : bottom;
    AddLine(x, from, x, value);
}

// Four lines round each filled cell's miniature.
void cEventTypeSelectUI::BuildOutlines()
{
    mOutlineVertices.Resize(uint32_t(kOutlineVerticesPerCell * kCellCount));
    mOutlineVertexCount = 0;
    cVertexIntXY* v = mOutlineVertices.GetData();
    for (const cCell& cell : mCells)
    {
        if (cell.key == kKeyEmpty)
            continue;
        const int16_t x0 = ToScreenCoordinate(cell.preview.xMin), x1 = ToScreenCoordinate(cell.preview.xMax);
        const int16_t y0 = ToScreenCoordinate(std::round(cell.preview.yMin));
        const int16_t y1 = ToScreenCoordinate(std::round(cell.preview.yMax));
        const cVertexIntXY lines[kOutlineVerticesPerCell] = {
            {x0, y0}, {x1, y0}, {x1, int16_t(y0 - 1)}, {x1, y1}, {x1, y1}, {x0, y1}, {x0, y1}, {x0, y0}};
        std::copy(std::begin(lines), std::end(lines), v + mOutlineVertexCount);
        mOutlineVertexCount += kOutlineVerticesPerCell;
    }
}

void cEventTypeSelectUI::RebuildPreviews()
{
    mRebuild = false;
    BuildOutlines();
    mLineVertexCount = 0;
    const int32_t length = PreviewLength();
    if (length < 1 || !mPart->pattern)
        return;
    std::memset(mCellOfController, -1, sizeof(mCellOfController));
    for (int32_t i = 0; i < kCellCount; ++i)
        if (mCells[i].key >= 0)
            if (const cInstrumentPackage::cControllerParam* entry = mBlock->GetControllerParam(mCells[i].key))
                if (entry->paramIndex >= 0 && entry->paramIndex < 128)
                    mCellOfController[entry->paramIndex] = int8_t(i);
    const float scale = (Width(mCells[FindKey(kKeyNote)].preview) - 2.0f * kPreviewMargin) / float(length);
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLockIfAny lock(sequencer ? sequencer->GetLock() : nullptr);
    for (const cPatternEvent* event = mPart->pattern->head;
         event && event->time < length && mLineVertexCount < kLineVertexLimit; event = event->next)
    {
        if (!event->IsController())
            AddNoteLines(*event, float(length), scale);
        else if (event->data3 < 128 && mCellOfController[event->data3] >= 0)
            AddControllerLine(*event, mCells[mCellOfController[event->data3]], scale);
    }
}

void cEventTypeSelectUI::DrawButton(cDrawList& list)
{
    list.DrawNinePatch(mButtonRect, mOpen ? mOpenSprite : mClosedSprite, nullptr, kOpaqueWhite, true);
    const char* label = mCells[mCurrentCell].label;
    if (label && *label)
    {
        const float x = (mButtonRect.xMin + mButtonRect.xMax) * 0.5f;
        const char* blank = std::strchr(label, ' ');
        if (blank)
        {
            const float size = GetTextSize(kTextSizeToggle);
            const float height = Height(mButtonRect);
            list.DrawTextF(x, mButtonRect.yMin + kFirstLine * height, size, cellLabelColour, kCentred, "%.*s",
                           int(blank - label), label);
            list.DrawTextF(x, mButtonRect.yMin + kSecondLine * height, size, cellLabelColour, kCentred, "%s",
                           blank + 1);
        }
        else
            list.DrawTextF(x, (mButtonRect.yMin + mButtonRect.yMax) * 0.5f, cellLabelTextSize, cellLabelColour,
                           kCentred, "%s", label);
    }
    if (*GetName())
        list.DrawTextF(mButtonRect.xMin + nameOffset.X, mButtonRect.yMin + nameOffset.Y, nameTextSize, nameColour,
                       kEndsAtY, "%s", GetName());
}

void cEventTypeSelectUI::DrawGrid(cDrawList& list)
{
    cScopedDrawListValue depth(list);
    list.depth = kGridDepth;
    cVector2 uv0, uv1;
    {
        cMaterial* saved = list.BeginSolidFill(uv0, uv1);
        list.DrawQuad(GetRect(), uv0, uv1, kGridColour, 0);
        list.currentMaterial = saved;
    }
    for (int32_t i = 0; i < kCellCount; ++i)
    {
        const cCell& cell = mCells[i];
        if (cell.key == kKeyEmpty)
            continue;
        const bool lit = i == mHoverCell || i == mCurrentCell;
        list.DrawNinePatch(cell.rect, lit ? mOpenSprite : mClosedSprite, nullptr, kOpaqueWhite, true);
        cMaterial* saved = list.BeginSolidFill(uv0, uv1);
        list.DrawQuad(cell.preview, uv0, uv1, kGridColour, 0);
        list.currentMaterial = saved;
        if (cell.label)
            list.DrawTextF(cell.labelCentre.X, cell.labelCentre.Y, cellLabelTextSize, cellLabelColour, kCentred,
                           "%s", cell.label);
    }
    // Flat 2D lines carry no depth: they draw over the cells whatever lies below.
    cScopedDepthFunc lineDepth(list);
    lineDepth.Set(kDepthAlways);
    {
        cScopedMaterial outline(list, mOutlineMaterial.get());
        list.DrawDirect(kPrimitiveLines, cVertexIntXY::kFormat, mOutlineVertices.GetData(),
                        uint32_t(mOutlineVertexCount));
    }
    if (mLineVertexCount > 0)
    {
        cScopedMaterial events(list, mEventMaterial.get());
        list.DrawDirect(kPrimitiveLines, cVertexIntXY::kFormat, mLineVertices.GetData(), uint32_t(mLineVertexCount));
    }
}

bool cEventTypeSelectUI::Draw(cDrawList& list)
{
    if (mRebuild)
        RebuildPreviews();
    DrawButton(list);
    if (mOpen)
        DrawGrid(list);
    return false;
}

void cEventTypeSelectUI::CancelInput()
{
    mOpen = false;
    mHoverCell = -1;
}

void cEventTypeSelectUI::Choose(int32_t cell)
{
    if (cell != mCurrentCell)
    {
        mCurrentCell = cell;
        choiceDelegate.Invoke(&mCells[cell], this);
    }
    mHoverCell = -1;
    mOpen = false;
}

bool cEventTypeSelectUI::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    const cVector2& at = touch->position;
    if (!mOpen)
    {
        if (type != kTouchDown || !HitRect().Contains(at))
            return false;
        mRebuild = true;
        choiceDelegate.Invoke(static_cast<cCell*>(nullptr), this);
        CaptureTouch(touch->id);
        mOpen = true;
        mHoverCell = -1;
        return true;
    }
    switch (type)
    {
    case kTouchDown:
        if (mButtonRect.Contains(at))
        {
            CaptureTouch(touch->id);
            mHoverCell = -1;
            mOpen = false;
            return true;
        }
        if (!GetRect().Contains(at))
            return false;
        CaptureTouch(touch->id);
        mHoverCell = CellAt(at);
        return true;
    case kTouchMove:
        if (captor != this)
            return false;
        if (!mButtonRect.Contains(at))
            mHoverCell = CellAt(at);
        return true;
    case kTouchUp:
        if (captor != this)
            return false;
        if (!HitRect().Contains(at))
        {
            const int32_t cell = CellAt(at);
            if (cell >= 0)
                Choose(cell);
        }
        return true;
    default:
        return false;
    }
}
