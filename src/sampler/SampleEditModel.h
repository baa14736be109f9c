#pragma once
#include <cstdint>
#include <memory>

#include "base/Math.h"
#include "sampler/SampleEditHistory.h"

class cDrawList;
class cSample;
struct cVertexIntXYColour;

// The window of the sample the waveform shows, and where.
struct cSampleEditView
{
    cRect waveform;
    int32_t start;  // frames; may lie before frame 0
    int32_t length; // frames
    int32_t amplitudeZoom;
};

// What the sample editor edits: one sample, the length of it the editor
// treats as the sample, a selection and the history of the last four edits.
// Edits change the sample's buffer in place; Delete and Trim move frames
// inside it and shorten only the edited length, the frames past which are
// zero until the edits are committed. The edits never write the sample's
// file. Main thread only.
class cSampleEditModel
{
public:
    static constexpr const char* kErrorSaveUndo = "Couldn't save undo data: sample unchanged";
    static constexpr const char* kErrorReadUndo = "Couldn't read undo data";

    // Which selection lines the waveform draws highlighted.
    enum eHighlight : uint32_t
    {
        kHighlightNone = 0,
        kHighlightStart = 1,
        kHighlightEnd = 2,
    };

    cSampleEditModel();
    // Clears the history, deleting every undo file.
    ~cSampleEditModel();
    cSampleEditModel(const cSampleEditModel&) = delete;
    cSampleEditModel& operator=(const cSampleEditModel&) = delete;

    // Starts afresh: empty history and selection, the whole sample (the
    // caller holds the reference).
    void SetSample(cSample* sample);
    cSample* GetSample() const { return mSample; }
    int32_t GetFrames() const { return mFrames; }
    // Clamped to the sample's own length.
    void SetFrames(int32_t frames);

    // Selections keep 0 <= start <= end <= the edited length; the setters
    // return the selection's length.
    int32_t SetSelection(int32_t a, int32_t b);
    int32_t SetSelectionStart(int32_t frame);
    int32_t SetSelectionEnd(int32_t frame);
    void ClearSelection();
    void SelectAll();
    void SelectToEnd();
    void SelectToStart();
    // Return the part of the move that the limits took away: below 0
    // negative, beyond the other end or the length positive.
    int32_t MoveSelectionStart(int32_t delta);
    int32_t MoveSelectionEnd(int32_t delta);
    // A copy of the selection, kept while a selection drag may turn into a
    // pinch.
    void SaveSelection();
    void RestoreSelection();
    int32_t GetSelectionStart() const { return mSelectionStart; }
    int32_t GetSelectionEnd() const { return mSelectionEnd; }
    int32_t GetSelectionLength() const { return mSelectionEnd - mSelectionStart; }
    int32_t GetSelectionCentre() const { return (mSelectionStart + mSelectionEnd) / 2; }

    // The edits. Each makes one command in the history; false, with the
    // reason in the error text, when it was refused and nothing changed.
    // Without a selection Normalize, Silence and the fades work on the whole
    // edited length.
    bool Delete();
    bool Trim();
    bool Normalize();
    bool Silence();
    bool FadeIn();
    bool FadeOut();
    // Replaces the whole sample with the WAV file at the native path, which
    // the history owns from now on (a refused replace deletes it).
    bool ReplaceFromFile(const char* nativePath);

    // Keeps the preview's range on the selection, or on the whole edited
    // sample without one; with cursor, playback then goes on from the cursor.
    void SyncAudition(bool cursor);

    cSampleEditHistory& GetHistory() { return mHistory; }
    const cSampleEditHistory& GetHistory() const { return mHistory; }
    // Why the last edit, undo or redo was refused; "" after one that worked.
    const char* GetErrorText() const { return mErrorText; }
    void SetErrorText(const char* text) { mErrorText = text; }
    // The waveform overview must be built again before it is drawn.
    bool IsOverviewDirty() const { return mOverviewDirty; }
    void SetOverviewDirty(bool dirty) { mOverviewDirty = dirty; }

    // Room for an overview of that many pixel columns, two vertices each: a
    // line from the column's highest value to its lowest. Marks it dirty.
    void SetColumns(int32_t columns);
    // The columns of the last overview built.
    int32_t GetColumns() const { return mColumns; }
    const cVertexIntXYColour* GetOverview() const { return mOverview.get(); }
    // The overview of the view: each column's extremes, read from about
    // sixteen values whatever the zoom, or one frame per column when the
    // view holds fewer values than two per column.
    void BuildOverview(const cSampleEditView& view);
    // The background, the shading outside the edited sample, the overview
    // (rebuilt only when the view or the data changed), the selection and
    // its edge lines. Nothing without a sample.
    void DrawWaveform(uint32_t highlight, cDrawList& list, const cSampleEditView& view);

private:
    bool Edit(cSampleEditCommand::eType type);
    void BuildOverviewSparse(const cSampleEditView& view);
    void BuildOverviewMinMax(const cSampleEditView& view);
    void ClearOverview();
    void DrawOutside(cDrawList& list, const cSampleEditView& view);
    void DrawOverview(cDrawList& list, const cSampleEditView& view);
    void DrawSelection(uint32_t highlight, cDrawList& list, const cSampleEditView& view);
    // Adds an executed command, or deletes one that was refused.
    bool Record(cSampleEditCommand* command, bool executed);

    int32_t mColumns = 0;
    int32_t mColumnCapacity = 0;
    std::unique_ptr<cVertexIntXYColour[]> mOverview;
    cSample* mSample = nullptr;
    int32_t mFrames = 0;
    int32_t mCachedViewStart = -1;
    int32_t mCachedViewLength = -1;
    int32_t mSavedSelectionStart = 0;
    int32_t mSavedSelectionEnd = 0;
    int32_t mSelectionStart = 0;
    int32_t mSelectionEnd = 0;
    cSampleEditHistory mHistory;
    bool mOverviewDirty = true;
    const char* mErrorText = "";
};
