#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/KeyboardRequest.h"
#include "ui/WidgetDialogueDropDown.h"

class cWidgetButton;
class cWidgetEditLabel;
class cWidgetMultiButton;

// The one text-entry surface of the program: a panel dropping from the top
// with an edit field, three rows of character keys and the keys "shift",
// "del", ".?123", "space", "Browse" and done. Every rename and name prompt
// opens it with a request and a completion, which runs once with the result
// (cancelled, "Browse", accepted) and the keyboard; the request's text then
// holds the edited text. Typing on the computer keyboard is taken too,
// filtered to the characters its own keys offer. In file-name mode the
// extension is kept apart (only the name is edited) and the symbols that
// file names cannot hold are not offered. Main thread only.
class cWidgetKeyboard : public cWidgetDialogueDropDown
{
public:
    static constexpr int32_t kTextCapacity = 260;

    enum : int32_t
    {
        kCancelled = 0,
        kBrowse = 1,
        kAccepted = 2,
    };

    // Function keys by tag.
    enum : int32_t
    {
        kShift = 0,
        kDelete = 1,
        kSymbols = 2,
        kSpace = 3,
        kBrowseKey = 4,
        kDone = 5,
        kFunctionKeyCount = 6,
    };

    static constexpr int32_t kRowCount = 3;

    using cRequest = cKeyboardRequest;

    cWidgetKeyboard();

    // Opens the keyboard on the main window with a copy of the request; the
    // completion is called as (result, keyboard).
    void Prompt(const cRequest& request, const cDelegate& completion);
    // A blank, or a printable character one of the keys offers: a letter or
    // a symbol of the set in force (file names have their own).
    bool IsAcceptedCharacter(int32_t character) const;

    const cRequest& GetRequest() const { return mRequest; }
    const char* GetExtension() const { return mExtension.CStr(); }
    cWidgetEditLabel* GetEditField() const { return mEditField; }
    cWidgetButton* GetFunctionKey(int32_t tag) const { return mFunctionKeys[tag]; }
    cWidgetMultiButton* GetKeyRow(int32_t row) const { return mKeyRows[row]; }
    bool IsShiftOn() const { return mShift; }
    bool AreSymbolsOn() const { return mSymbols; }
    // The label the key shows now; empty for a key without one.
    const char* GetKeyLabel(int32_t row, int32_t index) const;

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleKey(const cKeyEvent* event) override;

protected:
    ~cWidgetKeyboard() override;

private:
    intptr_t OnKey(intptr_t index, cWidgetMultiButton* row);
    intptr_t OnButton(intptr_t value, cWidgetButton* button);
    intptr_t OnBack();
    void TakeRequestText();
    void RefreshKeyLabels();
    void RefreshFunctionKeys();
    void WriteStatusTitle();
    // The edited text back into the request, the panel closed, then the completion.
    void Finish(int32_t result);
    bool IsTextEmpty() const;
    void PlaceRow(cWidget* widget, float left, float top, float width, float height);

    cDelegate mCompletion;
    cGenStringFixed<kTextCapacity> mExtension;
    cGenStringFixed<kTextCapacity> mStatusTitle;
    cWidgetEditLabel* mEditField;
    cRequest mRequest;
    bool mShift = true;
    bool mSymbols = false;
    cWidgetButton* mFunctionKeys[kFunctionKeyCount] = {};
    cWidgetMultiButton* mKeyRows[kRowCount] = {};
};
