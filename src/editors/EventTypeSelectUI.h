#pragma once
#include <cstdint>
#include <memory>

#include "base/Delegate.h"
#include "base/HeapArray.h"
#include "base/Math.h"
#include "render/VertexLayouts.h"
#include "ui/Widget.h"

class cInstrumentPackage;
class cMaterial;
class cPatternInstance;
struct cAtlasSprite;
struct cPatternEvent;

// Chooses what the piano roll edits: notes, note velocities or one of the
// instrument's controllers. Closed, it is a small button above its top-right
// corner naming the current choice; touched, it opens into a grid of five
// rows by four columns over its rect, a cell per choice with its name and a
// miniature of the part's events of that kind. The choice delegate hears
// (null, chooser) when the grid opens and (cell, chooser) when a new cell is
// chosen. Main thread only; the previews read the pattern under the
// sequencer lock.
class cEventTypeSelectUI : public cWidget
{
public:
    static constexpr int32_t kRows = 5;
    static constexpr int32_t kColumns = 4;
    static constexpr int32_t kCellCount = kRows * kColumns;
    static constexpr int32_t kLineVertexCapacity = 4000;
    // Two short of the capacity: a line needs two vertices.
    static constexpr int32_t kLineVertexLimit = 3996;
    static constexpr int32_t kOutlineVerticesPerCell = 8;

    enum : int32_t
    {
        kKeyEmpty = INT32_MIN, // 0x80000000
        kKeyNote = -2,
        kKeyVelocity = -1,
        // 0 and up: an index into the package's controller table.
    };

    struct cCell
    {
        int32_t key = kKeyEmpty;
        cRect rect = {0, 0, 0, 0};
        cRect preview = {0, 0, 0, 0};
        cVector2 labelCentre = {0, 0};
        const char* label = nullptr; // not owned
    };

    cEventTypeSelectUI();

    // Empties the grid, then places "Note" and "Velocity" in the last column
    // and each controller of the package (which may be null) in the column
    // of its lane group, top down.
    void Fill(cPatternInstance* part, const cInstrumentPackage* block);
    // Makes the first cell of that key current: its index, or the cell
    // count (and nothing changes) when no cell has it.
    int32_t SelectKey(int32_t key);
    // -1 when no cell has the key.
    int32_t FindKey(int32_t key) const;
    // The filled cell under a point; -1 outside the grid or over an empty cell.
    int32_t CellAt(const cVector2& point);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    // Closes the grid.
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    bool IsOpen() const { return mOpen; }
    void Close() { mOpen = false; }
    int32_t GetCurrentCell() const { return mCurrentCell; }
    int32_t GetHoverCell() const { return mHoverCell; }
    const cCell& GetCell(int32_t index) const { return mCells[index]; }
    const cRect& GetButtonRect() const { return mButtonRect; }
    cPatternInstance* GetPart() const { return mPart; }
    // Rebuilt at the next draw.
    void InvalidatePreviews() { mRebuild = true; }
    int32_t GetLineVertexCount() const { return mLineVertexCount; }
    const cVertexIntXY* GetLineVertices() const { return mLineVertices.GetData(); }
    int32_t GetOutlineVertexCount() const { return mOutlineVertexCount; }
    const cMaterial* GetEventMaterial() const { return mEventMaterial.get(); }
    const cMaterial* GetOutlineMaterial() const { return mOutlineMaterial.get(); }

    cDelegate choiceDelegate;
    uint32_t cellLabelColour = 0xffc8c8c8;
    float cellLabelTextSize;
    uint32_t nameColour = 0xffc8c8c8;
    float nameTextSize = 8.0f;
    cVector2 nameOffset = {0.0f, 0.0f};
    // Left, top, right, bottom growth of the closed button for touches.
    float hitMargins[4] = {5.0f, 5.0f, 5.0f, 5.0f};

protected:
    ~cEventTypeSelectUI() override;

private:
    void PlaceInColumn(int32_t column, int32_t key, const char* label);
    cRect HitRect() const;
    void RebuildPreviews();
    void BuildOutlines();
    int32_t PreviewLength() const;
    void AddLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void AddNoteLines(const cPatternEvent& event, float length, float scale);
    void AddControllerLine(const cPatternEvent& event, const cCell& cell, float scale);
    void DrawButton(cDrawList& list);
    void DrawGrid(cDrawList& list);
    void Choose(int32_t cell);

    cHeapArray<cVertexIntXY> mLineVertices;
    int32_t mLineVertexCount = 0;
    bool mRebuild = true;
    cHeapArray<cVertexIntXY> mOutlineVertices;
    int32_t mOutlineVertexCount = 0;
    cPatternInstance* mPart = nullptr;
    const cInstrumentPackage* mBlock = nullptr;
    // Note rows the "Note" preview spans: the package's range, or every
    // MIDI note without a package.
    float mLowestNote = 0.0f;
    float mHighestNote = 127.0f;
    cCell mCells[kCellCount];
    int8_t mCellOfController[128];
    int32_t mCurrentCell = 0;
    int32_t mHoverCell = -1;
    cVector2 mButtonSize;
    float mCellWidth = 0.0f;
    float mCellHeight = 0.0f;
    std::unique_ptr<cMaterial> mOutlineMaterial;
    std::unique_ptr<cMaterial> mEventMaterial;
    bool mOpen = false;
    const cAtlasSprite* mClosedSprite;
    const cAtlasSprite* mOpenSprite;
    cRect mButtonRect = {0, 0, 0, 0};
};
