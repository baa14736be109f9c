#include "app/WidgetKeyboard.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/MainScreenSprites.h"
#include "app/MainUI.h"
#include "app/WidgetStatusBar.h"
#include "platform/os/KeyTable.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetMultiButton.h"

namespace
{
const char* const kLetters[cWidgetKeyboard::kRowCount] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
const char* const kSymbolSet[cWidgetKeyboard::kRowCount] = {"1234567890", "_-+'()!&@", "./:?*#\""};
// File names cannot hold the other symbols of the third row.
const char* const kFileNameSymbols[cWidgetKeyboard::kRowCount] = {"1234567890", "_-+'()!&@", "#"};

constexpr int32_t kFirstPrintable = 32;
constexpr int32_t kLastPrintable = 126;
constexpr float kKeyHeightShare = 0.85f;
constexpr float kLineGap = 6.0f;
constexpr float kScreenMargin = 16.0f;
constexpr float kMaxWidth = 760.0f;
constexpr float kTabletMaxWidth = 980.0f;
// Stretch of the key rows beside their gaps and function keys.
constexpr float kRowStretch = 5.0f;
constexpr float kFirstRowGap = 0.5f;
constexpr float kSecondRowGap = 1.0f;
constexpr float kSpaceStretch = 10.0f;
constexpr uint32_t kPlacedInParent = 0x1133;
// Keys take the tall small skin, three-patched across and scaled to the row's height.
constexpr uint32_t kKeySkin = kButtonStyleSmallTall | kButtonStyleStretched;
constexpr int32_t kAcrossAndScaled = 0x23;
// Room for "." and the extension within the request's text.
constexpr int32_t kLongestText = cWidgetKeyboard::kTextCapacity - 1;

bool IsInRow(const char* row, int32_t character) { return std::strchr(row, character) != nullptr; }

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
} // namespace

cWidgetKeyboard::cWidgetKeyboard()
{
    SetName("Keyboard");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mEditField = CreateEditLabel();
    AddChild(mEditField);
    mEditField->Release();
    for (int32_t row = 0; row < kRowCount; ++row)
    {
        const int32_t keys = int32_t(std::strlen(kLetters[row]));
        cWidgetMultiButton* keyRow = CreateMultiButton("", keys, 1, kMultiCommand, kKeySkin);
        keyRow->normalTemplate.alignment = keyRow->litTemplate.alignment = kAcrossAndScaled;
        keyRow->itemStyle.font.SetSize(GetTextSize(kTextSizeTitle));
        keyRow->selectionDelegate = cDelegate(this, &cWidgetKeyboard::OnKey);
        AddChild(keyRow);
        keyRow->Release();
        mKeyRows[row] = keyRow;
    }
    const char* const labels[kFunctionKeyCount] = {"shift", "del", ".?123", "space", "Browse", ""};
    for (int32_t tag = 0; tag < kFunctionKeyCount; ++tag)
    {
        cWidgetButton* key = CreateButton(labels[tag], kButtonPush, kKeySkin);
        key->background.alignment = key->litBackground.alignment = kAcrossAndScaled;
        key->SetTag(tag);
        key->clickDelegate = cDelegate(this, &cWidgetKeyboard::OnButton);
        AddChild(key);
        key->Release();
        mFunctionKeys[tag] = key;
    }
    SetButtonIcon(mFunctionKeys[kDone], &gTex8888AtlasTable[MainScreenSprite::kKeyboardDone]);
}

cWidgetKeyboard::~cWidgetKeyboard() = default;

void cWidgetKeyboard::Prompt(const cRequest& request, const cDelegate& completion)
{
    Open(cDelegate(this, &cWidgetKeyboard::OnBack));
    mRequest = request;
    mCompletion = completion;
    if (request.hideBelow)
        ModifyFlags(kWidgetHidesLayerBelow, 0, false);
    else
        ModifyFlags(0, kWidgetHidesLayerBelow, false);
    TakeRequestText();
    mShift = IsTextEmpty() || request.selectAll;
    mSymbols = false;
    mFunctionKeys[kBrowseKey]->SetVisible(request.browse != 0);
    RefreshFunctionKeys();
    ModifyFlags(kWidgetAllDirty, 0, true);
}

// In file-name mode the extension stays apart, shown after the name; the
// name may grow only as far as leaves room for "." and the extension.
void cWidgetKeyboard::TakeRequestText()
{
    cGenStringFixed<kTextCapacity> name;
    name = mRequest.text;
    mExtension.AssignCStr("");
    int32_t longest = kLongestText;
    if (mRequest.fileNameMode)
    {
        const int32_t dot = name.FindLastChar('.');
        const bool afterSeparator = dot > name.FindLastChar('/') && dot > name.FindLastChar('\\');
        if (dot >= 0 && afterSeparator && dot + 1 < name.Length())
        {
            mExtension.AssignCStr(name.CStr() + dot + 1);
            name.Truncate(dot);
        }
        else if (dot >= 0 && afterSeparator)
        {
            name.Truncate(dot);
        }
        if (mExtension.IsEmpty())
            mExtension = mRequest.defaultExtension;
        if (!mExtension.IsEmpty())
            longest -= 1 + mExtension.Length();
    }
    mEditField->SetMaxLength(std::clamp(std::min(mRequest.maxLength, longest), 0, cWidgetEditLabel::kMaxLength));
    mEditField->SetText(name.CStr(), mRequest.selectAll != 0);
    mEditField->suffix = mExtension;
}

bool cWidgetKeyboard::IsTextEmpty() const { return mEditField->GetText()[0] == '\0'; }

bool cWidgetKeyboard::IsAcceptedCharacter(int32_t character) const
{
    if (character == ' ')
        return true;
    if (character < kFirstPrintable || character > kLastPrintable)
        return false;
    const int32_t upper = UpperCaseCharacter(character);
    const char* const* symbols = mRequest.fileNameMode ? kFileNameSymbols : kSymbolSet;
    for (int32_t row = 0; row < kRowCount; ++row)
        if (IsInRow(kLetters[row], upper) || IsInRow(symbols[row], upper))
            return true;
    return false;
}

const char* cWidgetKeyboard::GetKeyLabel(int32_t row, int32_t index) const
{
    return mKeyRows[row]->items[size_t(index)].text.CStr();
}

void cWidgetKeyboard::RefreshKeyLabels()
{
    const char* const* symbols = mRequest.fileNameMode ? kFileNameSymbols : kSymbolSet;
    for (int32_t row = 0; row < kRowCount; ++row)
    {
        const char* letters = kLetters[row];
        const int32_t symbolCount = int32_t(std::strlen(symbols[row]));
        for (int32_t index = 0; letters[index] != '\0'; ++index)
        {
            char label[2] = {'\0', '\0'};
            if (mSymbols)
                label[0] = index < symbolCount ? symbols[row][index] : '\0';
            else
                label[0] = mShift ? letters[index] : LowerCase(letters[index]);
            cGenString& shown = mKeyRows[row]->items[size_t(index)].text;
            if (std::strcmp(shown.CStr(), label) != 0)
                shown.AssignCStr(label);
        }
    }
}

void cWidgetKeyboard::RefreshFunctionKeys()
{
    mFunctionKeys[kShift]->value = mShift ? 1 : 0;
    mFunctionKeys[kSymbols]->value = mSymbols ? 1 : 0;
}

intptr_t cWidgetKeyboard::OnKey(intptr_t index, cWidgetMultiButton* row)
{
    if (index < 0 || index >= intptr_t(row->items.size()))
        return 0;
    const char* label = row->items[size_t(index)].text.CStr();
    if (*label == '\0')
        return 0;
    mEditField->InsertText(label);
    const char* text = mEditField->GetText();
    const int32_t length = int32_t(std::strlen(text));
    if (length == 1 || (length >= 2 && text[length - 2] == ' '))
        mShift = false;
    RefreshFunctionKeys();
    return 0;
}

intptr_t cWidgetKeyboard::OnButton(intptr_t, cWidgetButton* button)
{
    switch (button->GetTag())
    {
    case kShift: mShift = mSymbols ? false : !mShift; break;
    case kDelete:
        mEditField->EraseBackward();
        if (IsTextEmpty())
        {
            mShift = true;
            mSymbols = false;
        }
        break;
    case kSymbols:
        mShift = false;
        mSymbols = !mSymbols;
        break;
    case kSpace:
        mEditField->InsertText(" ");
        if (!mSymbols && std::strlen(mEditField->GetText()) == 1)
            mShift = false;
        break;
    case kBrowseKey:
        if (mRequest.browse)
            Finish(kBrowse);
        return 0;
    case kDone:
        if (!IsTextEmpty())
            Finish(kAccepted);
        return 0;
    default: break;
    }
    RefreshFunctionKeys();
    return 0;
}

intptr_t cWidgetKeyboard::OnBack()
{
    Finish(kCancelled);
    return 0;
}

void cWidgetKeyboard::Finish(int32_t result)
{
    mRequest.text.AssignCStr(mEditField->GetText());
    if (mRequest.fileNameMode && !mExtension.IsEmpty())
    {
        mRequest.text.AppendChar('.');
        mRequest.text.Append(mExtension);
    }
    Close();
    mCompletion.Invoke(result, this);
}

bool cWidgetKeyboard::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || event->action != 1)
        return false;
    if (event->character >= 0 && !IsAcceptedCharacter(event->character))
        return false;
    if (mEditField->ProcessKey(event))
    {
        if (IsTextEmpty())
        {
            mShift = true;
            mSymbols = false;
            RefreshFunctionKeys();
        }
        return true;
    }
    if (event->keyCode == kKeyEnter && !IsTextEmpty())
    {
        Finish(kAccepted);
        return true;
    }
    return false;
}

void cWidgetKeyboard::PlaceRow(cWidget* widget, float left, float top, float width, float height)
{
    widget->SetAnchors(kPlacedInParent, std::round(left), std::round(top), std::round(width), std::round(height));
}

// Top to bottom: the edit field; the first key row between half gaps; the
// second between whole gaps; "shift", the third row and "del"; ".?123",
// "space", "Browse" and done.
void cWidgetKeyboard::OnLayout()
{
    cWidgetManager* manager = cWidgetManager::GetInstance();
    const cRect& screen = manager->GetScreenRect();
    const bool tablet = GetRowHeight() > 60.0f;
    const float width = std::min(screen.xMax - screen.xMin - kScreenMargin, tablet ? kTabletMaxWidth : kMaxWidth);
    const float keyHeight = std::round(GetRowHeight() * kKeyHeightShare);
    const cVector2 content = {width, 5.0f * keyHeight + 4.0f * kLineGap};
    cRect contentRect;
    FitToContent(&content, &contentRect);
    cWidgetDialogueDropDown::OnLayout();
    const cRect& rect = GetRect();
    const float x = contentRect.xMin - rect.xMin, pitch = keyHeight + kLineGap;
    float y = contentRect.yMin - rect.yMin;

    PlaceRow(mEditField, x, y, width, keyHeight);
    y += pitch;
    const float first = width * kRowStretch / (kRowStretch + 2.0f * kFirstRowGap);
    PlaceRow(mKeyRows[0], x + (width - first) * 0.5f, y, first, keyHeight);
    y += pitch;
    const float second = width * kRowStretch / (kRowStretch + 2.0f * kSecondRowGap);
    PlaceRow(mKeyRows[1], x + (width - second) * 0.5f, y, second, keyHeight);
    y += pitch;
    const float unit = width / (kRowStretch + 2.0f);
    PlaceRow(mFunctionKeys[kShift], x, y, unit, keyHeight);
    PlaceRow(mKeyRows[2], x + unit, y, unit * kRowStretch, keyHeight);
    PlaceRow(mFunctionKeys[kDelete], x + unit * (kRowStretch + 1.0f), y, unit, keyHeight);
    y += pitch;
    const bool browse = mFunctionKeys[kBrowseKey]->IsVisible();
    const float bottomUnit = width / (kSpaceStretch + (browse ? 3.0f : 2.0f));
    PlaceRow(mFunctionKeys[kSymbols], x, y, bottomUnit, keyHeight);
    PlaceRow(mFunctionKeys[kSpace], x + bottomUnit, y, bottomUnit * kSpaceStretch, keyHeight);
    float right = x + bottomUnit * (kSpaceStretch + 1.0f);
    if (browse)
    {
        PlaceRow(mFunctionKeys[kBrowseKey], right, y, bottomUnit, keyHeight);
        right += bottomUnit;
    }
    PlaceRow(mFunctionKeys[kDone], right, y, bottomUnit, keyHeight);
}

bool cWidgetKeyboard::Draw(cDrawList& list)
{
    cWidgetDialogueDropDown::Draw(list);
    RefreshKeyLabels();
    WriteStatusTitle();
    return false;
}

void cWidgetKeyboard::WriteStatusTitle()
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!ui)
        return;
    if (!mRequest.showPath)
        mStatusTitle = mRequest.title;
    else if (mExtension.IsEmpty())
        mStatusTitle.Printf("%s%s", mRequest.title.CStr(), mEditField->GetText());
    else
        mStatusTitle.Printf("%s%s.%s", mRequest.title.CStr(), mEditField->GetText(), mExtension.CStr());
    ui->GetStatusBar()->GetTitleText() = mStatusTitle;
}
