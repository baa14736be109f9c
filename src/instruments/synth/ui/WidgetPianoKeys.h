#pragma once
#include <cstdint>
#include <memory>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "instruments/synth/ui/PianoNotePool.h"
#include "render/FontHandle.h"
#include "render/VertexLayouts.h"

class cMaterial;
class cScale;

// The playable keyboard of the synthesizer editor. Touches and the computer
// keyboard play notes into the bound module; keys light while the module
// reports them held. It shows a piano (scale "Off") or only a scale's notes
// as equal keys, glides when moved by octaves, and scrolls by dragging when
// it is not play-only. Positions are in octaves counted from note 0.
class cWidgetPianoKeys : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kNotePoolSize = 12;
    static constexpr int32_t kMaxInScaleQuads = 144;
    static constexpr int32_t kMaxOutOfScaleQuads = 72;
    static constexpr int32_t kMaxLabels = 144;
    static constexpr int32_t kLowestNote = 24;  // scrolling and folding
    static constexpr int32_t kHighestNote = 108; // scrolling, at the right edge
    static constexpr int32_t kHighestFoldedNote = 100;
    static constexpr int32_t kScanCodeCount = 54;

    cWidgetPianoKeys(cAnalogueSynthUI* owner, bool clip);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

    void SetPosition(float position, float glide);
    void SetKeyWidth(float pixels);
    void SetScale(int32_t index);
    // On commits a drag in progress; off lets the newest held touch scroll.
    void SetPlayOnly(bool playOnly);

    float GetPosition() const { return mPosition; }
    float GetDisplayPosition() const { return mDisplay; }
    float GetGlide() const { return mGlide; }
    float GetKeyWidth() const { return mKeyWidth; }
    float GetVisibleKeys() const { return mVisibleKeys; }
    bool IsAtTop() const { return mAtTop; }
    bool IsAtBottom() const { return mAtBottom; }
    bool IsPlayOnly() const { return mPlayOnly; }
    int32_t GetScaleIndex() const { return mScaleIndex; }
    int32_t GetLastTouchedNote() const { return mLastTouchedNote; }
    int32_t GetFirstKey() const { return mFirstKey; }
    int32_t GetLastKey() const { return mLastKey; }
    // The point size the labels were last built with.
    float GetLabelSize() const { return mLabelSize; }
    int32_t GetLabelCount() const { return mLabelCount; }
    const char* GetLabelName(int32_t index) const { return mLabels[index].name.CStr(); }
    const char* GetLabelTransposedName(int32_t index) const { return mLabels[index].transposed.CStr(); }
    int32_t GetHeldNoteCount() { return mTouchNotes.GetUsedCount() + mKeyNotes.GetUsedCount(); }

    cDelegate scrolledDelegate; // (position, keys) after a drag scroll

private:
    struct cTouchNote
    {
        int32_t unfoldedNote;
        int32_t note;
        uint32_t id;
        int32_t touchId;
        float touchX;
    };
    struct cKeyNote
    {
        int32_t unfoldedNote;
        int32_t note;
        uint32_t id;
        int32_t scanCode;
    };
    struct cLabel
    {
        cGenStringFixed<8> name;
        float x, y;
        cGenStringFixed<12> transposed;
        float transposedX, transposedY;
    };

    void UpdateRange();
    int32_t InScaleCount() const;
    int32_t StepCount() const;
    int32_t NoteOfKey(int32_t key) const;
    // The left edge of a key at the display position, and whether it is in scale.
    float KeyLeft(int32_t key, float display, bool* inScale);
    int32_t NoteAt(float x, float y);
    int32_t Velocity(float y);
    int32_t Transpose() const;
    static int32_t Fold(int32_t note);
    void PostNote(uint8_t type, int32_t note, int32_t velocity, uint32_t id) const;
    cTouchNote* FindTouchNote(int32_t touchId);
    void CommitDrag();
    // Fills the key quads from key k; where to go on, or -1 at the end.
    int32_t BuildKeyQuads(int32_t key);
    void AddQuad(cVertexXYZColourTex1* vertices, int32_t quad, const cRect& rect, float u0, float v0, float u1,
                 float v1) const;
    void AddBackground(float firstU);
    void RebuildLabels();
    bool DrawGlide();
    void FlushQuads(cDrawList& list);
    void DrawLabels(cDrawList& list) const;

    cPianoNotePool<cTouchNote, kNotePoolSize> mTouchNotes;
    cPianoNotePool<cKeyNote, kNotePoolSize> mKeyNotes;
    std::unique_ptr<cMaterial> mWhiteKeys;
    std::unique_ptr<cMaterial> mBlackKeys;
    // Room for the background quad as well, drawn in the same call.
    cVertexXYZColourTex1 mInScaleVertices[(kMaxInScaleQuads + 1) * 4];
    cVertexXYZColourTex1 mOutOfScaleVertices[kMaxOutOfScaleQuads * 4];
    uint16_t mIndices[(kMaxInScaleQuads + 1) * 6];
    int32_t mInScaleQuads = 0;
    int32_t mOutOfScaleQuads = 0;
    float mGlide = 0.0f;
    bool mLabelsDirty = true;
    int32_t mScaleIndex = 0;
    const cScale* mScale = nullptr;
    bool mPlayOnly = false;
    int32_t mScrollTouch = -1;
    float mDragOffset = 0.0f;
    float mTouchDownX = 0.0f;
    float mDragStart = -1.0f;
    float mVisibleKeys = 0.0f;
    float mKeyWidth = 40.0f;
    float mPosition = 3.0f;
    float mDisplay = 3.0f;
    int32_t mFirstKey = 0;
    int32_t mLastKey = 0;
    int32_t mCachedTranspose = 0;
    bool mClip;
    int32_t mLastTouchedNote = -1;
    bool mClampedLow = false;
    bool mClampedHigh = false;
    bool mAtBottom = false;
    bool mAtTop = false;
    cLabel mLabels[kMaxLabels];
    int32_t mLabelCount = 0;
    float mLabelSize = 0.0f;
    cFontHandle mLabelFont;
};
