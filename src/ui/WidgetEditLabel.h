#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetLabel.h"

// The one-line text field: a label whose text is edited at a cursor, with a
// selection made by dragging a finger or by Shift with the arrow keys, and
// an optional suffix shown after a dot while both fit (a file name and its
// extension). The on-screen keyboard feeds it through InsertText and
// ProcessKey and reads the text back. Every index it keeps lies on a
// character boundary of the UTF-8 text and within it, so a name it hands
// back is never cut inside a character. Main thread only.
class cWidgetEditLabel : public cWidgetLabel
{
public:
    // Bytes of text; typing stops one short of it.
    static constexpr int32_t kMaxLength = 128;

    cWidgetEditLabel();

    // Texts of 128 bytes or more are cut to the whole characters within 128
    // (within the maximum length once one is set). The cursor goes to the
    // end; with selectAll the whole text is selected, so the next typed
    // character replaces it.
    void SetText(const char* newText, bool selectAll);
    // The longest text the field takes from here on, set or typed; held to
    // what the buffer takes, 127 bytes.
    void SetMaxLength(int32_t length);
    int32_t GetMaxLength() const { return mTypedLimit; }
    // Replaces the selection with the text, when the result stays within the
    // maximum length.
    void InsertText(const char* insert);
    void InsertChar(char character);
    // Printable ASCII characters and the editing keys; false for anything
    // else (Enter, accented letters), which the owner may act on.
    bool ProcessKey(const cKeyEvent* event);

    void EraseBackward();
    void Delete();
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;
    // Room for the maximum length of "X" and the cursor's height.
    void GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize) override;

    int32_t GetCursor() const { return mCursor; }
    int32_t GetAnchor() const { return mAnchor; }
    bool IsSelecting() const { return mSelecting; }
    float GetCursorTop() const { return mCursorTop; }
    float GetCursorBottom() const { return mCursorBottom; }

    cGenStringFixed<260> suffix;
    uint32_t cursorColour = 0xffffffffu;

protected:
    ~cWidgetEditLabel() override;

private:
    // The label's own SetText may have changed the text under the indices.
    void KeepIndicesInText();
    bool HasSelection() const { return mAnchor != mCursor; }
    int32_t SelectionStart() const { return mAnchor < mCursor ? mAnchor : mCursor; }
    int32_t SelectionEnd() const { return mAnchor < mCursor ? mCursor : mAnchor; }
    // Removes [start, end) and puts the cursor, without a selection, at start.
    void RemoveRange(int32_t start, int32_t end);
    int32_t IndexAt(float x) const;
    float CursorHeight() const;
    float XOfIndex(int32_t index) const;
    void DrawBand(cDrawList& list, float x0, float x1) const;

    float mCursorTop = 0.0f;
    float mCursorBottom = 0.0f;
    bool mSelecting = false;
    int32_t mAnchor = 0;
    int32_t mCursor = 0;
    int32_t mBlinkCounter = 0;
    int32_t mSetLimit = kMaxLength;
    int32_t mTypedLimit = kMaxLength - 1;
};
