#include "sampler/SampleEditor.h"

#include <algorithm>
#include <cmath>

#include "audio/Sample.h"
#include "base/Delegate.h"
#include "base/PathUtils.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/SampleEditorHost.h"
#include "sampler/SampleEditorSprites.h"
#include "ui/HouseColours.h"
#include "ui/StatusBarHost.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetScrollBar.h"

namespace
{
namespace S = SampleEditorSprite;

// The children are placed from the editor's top-left corner with their size.
constexpr uint32_t kAnchorsFromParent = 0x1133;
// Done hangs from the editor's right edge.
constexpr uint32_t kAnchorsFromRightEdge = 0x1135;
// Width patched, height scaled: the skin fits any strip.
constexpr int32_t kPatchedAcross = 0x23;
constexpr int32_t kBottomColumns = 9;
constexpr int32_t kHistoryColumn = 1;
constexpr int32_t kZoomColumn = 2;
constexpr int32_t kSelectColumn = 3;
constexpr int32_t kDeleteColumn = 5;
constexpr int32_t kTrimColumn = 6;
constexpr int32_t kVolumeColumn = 7;
constexpr int32_t kMaxAmplitudeZoom = 16;
constexpr float kRulerMenuWidthInBoxes = 2.0f;

const char* const kRulerUnits[] = {"Time", "Bars", "Frames"};
const char* const kZoomItems[] = {"Selection", "All"};
const char* const kSelectItems[] = {"All", "None", "To End", "To Start"};
const char* const kVolumeItems[] = {"Silence", "Normalize", "Fade In", "Fade Out"};

enum eSelectItem : int32_t
{
    kSelectAll = 0,
    kSelectNone = 1,
    kSelectToEnd = 2,
    kSelectToStart = 3,
};

enum eVolumeItem : int32_t
{
    kVolumeSilence = 0,
    kVolumeNormalize = 1,
    kVolumeFadeIn = 2,
    kVolumeFadeOut = 3,
};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

// How the handles rest and how far their touch reaches, by device class:
// gap from the centre, lift from the bottom, touch margin beside and above,
// touch margin below.
struct cHandleMetrics
{
    float gap, lift, side, below;
};

cHandleMetrics HandleMetrics()
{
    if (GetDisplayMetrics().deviceClass == kDeviceClassTablet)
        return {26.0f, 12.0f, 14.0f, 14.0f};
    return {10.0f, 4.0f, 7.0f, 0.0f};
}

void Place(cWidget* child, const cRect& parent, float x, float y, float width, float height)
{
    child->SetAnchors(kAnchorsFromParent, x - parent.xMin, y - parent.yMin, width, height);
}

void Skin(cImage& image, const cAtlasSprite* sprite)
{
    image.SetSprites(sprite, sprite, nullptr);
    image.alignment = kPatchedAcross;
}

void AddItems(cWidgetComboBox* menu, const char* const* items, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        menu->AddItem(items[i], i, true);
}
} // namespace

cWidgetButton* CreateSampleEditorButton(const char* label, int32_t mode, int32_t tag, const cDelegate& callback,
                                        const cAtlasSprite* normal, const cAtlasSprite* pressed)
{
    cWidgetButton* button = CreateButton(label, mode, 0);
    button->SetTag(tag);
    button->clickDelegate = callback;
    Skin(button->background, normal);
    Skin(button->litBackground, pressed);
    for (float& margin : button->touchMargins)
        margin = 0.0f;
    return button;
}

cSampleEditor::cSampleEditor(cSampleEditorHost* host) : mHost(host)
{
    SetName("SampleEditor");
    for (int i = 0; i < 2; ++i)
        mHandles[i].image = Sprite(i == 0 ? S::kStartHandle : S::kEndHandle);
    mHandleWidth = mHandles[0].image->width;
    mHandleHeight = mHandles[0].image->height;
    for (cVertexXYZColour& vertex : mGridLines)
        vertex = {0.0f, 0.0f, 0.05f, 0x80808080};
    BuildChildren();
    SetViewLength(kMinimumLength, false);
    SetViewStart(0, false);
    SetMode(kModeIdle, true);
}

cSampleEditor::~cSampleEditor() = default;

void cSampleEditor::BuildChildren()
{
    mScrollBar = CreateScrollBar(false, true);
    mScrollBar->windowMovedDelegate = cDelegate(this, &cSampleEditor::OnScroll);
    AddChild(mScrollBar);
    mScrollBar->Release();

    const cAtlasSprite* normal = Sprite(S::kButton);
    const cAtlasSprite* pressed = Sprite(S::kButtonPressed);
    auto button = [&](const char* label, int32_t mode, int32_t tag, const cDelegate& callback)
    {
        cWidgetButton* made = CreateSampleEditorButton(label, mode, tag, callback, normal, pressed);
        AddChild(made);
        made->Release();
        return made;
    };
    mScrollModeToggle = button("", kButtonCycle, 0, cDelegate(this, &cSampleEditor::OnScrollModeToggle));
    SetButtonIcon(mScrollModeToggle, Sprite(S::kScrollMode));
    mScrollModeToggle->iconOffset = {0.0f, 0.0f};
    mZoomIn = button("+", kButtonPush, 1, cDelegate(this, &cSampleEditor::OnZoomButton));
    mZoomOut = button("-", kButtonPush, -1, cDelegate(this, &cSampleEditor::OnZoomButton));
    mAmplitudeUp = button("+", kButtonPush, 1, cDelegate(this, &cSampleEditor::OnAmplitudeButton));
    mAmplitudeDown = button("-", kButtonPush, -1, cDelegate(this, &cSampleEditor::OnAmplitudeButton));

    mRulerUnit = AddMenu("", 3, kComboSelection, cDelegate());
    AddItems(mRulerUnit, kRulerUnits, 3);
    mRulerUnit->SetSelectedItem(kRulerTime);
    mHistoryMenu = AddMenu("History", kHistoryItems, kComboOpensUpwards, cDelegate(this, &cSampleEditor::OnHistoryMenu));
    mZoomMenu = AddMenu("Zoom", 2, kComboOpensUpwards, cDelegate(this, &cSampleEditor::OnZoomMenu));
    AddItems(mZoomMenu, kZoomItems, 2);
    mSelectMenu = AddMenu("Select", 4, kComboOpensUpwards, cDelegate(this, &cSampleEditor::OnSelectMenu));
    AddItems(mSelectMenu, kSelectItems, 4);
    mVolumeMenu = AddMenu("Volume", 4, kComboOpensUpwards, cDelegate(this, &cSampleEditor::OnVolumeMenu));
    AddItems(mVolumeMenu, kVolumeItems, 4);

    mDeleteButton = button("Delete", kButtonPush, 0, cDelegate(this, &cSampleEditor::OnDeleteTrim));
    mTrimButton = button("Trim", kButtonPush, 1, cDelegate(this, &cSampleEditor::OnDeleteTrim));
    mDoneButton = button("Done", kButtonPush, 0, cDelegate(this, &cSampleEditor::OnDone));
}

// The command menus show no chosen item: they are lists of commands.
cWidgetComboBox* cSampleEditor::AddMenu(const char* name, int32_t capacity, int32_t flags, const cDelegate& change)
{
    cWidgetComboBox* menu = CreateComboBox(name, capacity, flags, change);
    Skin(menu->background, Sprite(S::kButton));
    Skin(menu->litBackground, Sprite(S::kButtonPressed));
    // Lettered like the buttons beside them.
    menu->labelStyle.font.SetSize(GetStandardTextSize());
    menu->SetSelectedItem(-1);
    AddChild(menu);
    menu->Release();
    return menu;
}

void cSampleEditor::SetSample(cSample* sample)
{
    mSample = sample;
    mModel.SetSample(sample);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cSampleEditor::ResetSelection()
{
    mModel.ClearSelection();
    ShowStatusMessage("Reset Selection");
    mModel.SyncAudition(true);
    SetMode(mMode, true);
}

bool cSampleEditor::ReplaceSampleFromFile(const char* nativePath)
{
    const bool done = mModel.ReplaceFromFile(nativePath);
    UpdateViewLimits();
    ApplyHandleDrag();
    UpdateScrollRange();
    FollowViewWithScrollBar();
    return done;
}

bool cSampleEditor::CommitEdits(cSample* sample)
{
    mModel.GetHistory().Clear();
    if (!mSample || sample != mSample || mModel.GetFrames() >= mSample->GetFrames())
        return true;
    return mSample->Truncate(mModel.GetFrames());
}

void cSampleEditor::ClearHistory() { mModel.GetHistory().Clear(); }

void cSampleEditor::OnStateChange()
{
    mDisplayName.AssignCStr("");
    if (mSample)
    {
        mDisplayName = PathGetFileName(cGenString(mSample->GetPath()));
        PathRemoveExtension(mDisplayName);
    }
    mAmplitudeZoom = 1;
    UpdateViewLimits();
    ApplyHandleDrag();
    UpdateScrollRange();
    mLastHandle = kHandleNone;
    ZoomTo(0.1f, mMinimumStart, std::max(kMinimumLength, mMaximumEnd), false);
    SetMode(kModeIdle, true);
}

// From the top: the strip of the scroll bar, as high as the amplitude box;
// the ruler; the waveform with the amplitude column at its right; the bar of
// menus and buttons.
void cSampleEditor::OnLayout()
{
    const cRect rect = GetRect();
    const cAtlasSprite* box = Sprite(S::kAmplitudeBox);
    const float rulerTop = rect.yMin + box->height;
    const float waveformTop = rulerTop + Sprite(S::kRuler)->height;
    const float barTop = rect.yMax - Sprite(S::kBottomBar)->height;
    mRulerRect = {rect.xMin, rulerTop, rect.xMax, waveformTop};
    mWaveformRect = {rect.xMin, waveformTop, std::fmax(rect.xMax - box->width, rect.xMin), std::fmax(barTop, waveformTop)};
    mWaveformCentreX = (mWaveformRect.xMin + mWaveformRect.xMax) * 0.5f;
    mClipRect = {rect.xMin, rulerTop, rect.xMax, mWaveformRect.yMax};
    mBottomBarRect = {rect.xMin, barTop, rect.xMax, rect.yMax};
    LayoutTopStrip(rect, rect.yMin, box->height);
    LayoutAmplitudeColumn(rect, box->width);
    LayoutBottomBar(rect);
    LayoutHandles();
    mModel.SetColumns(int32_t(mWaveformRect.xMax - mWaveformRect.xMin + 0.5f));
    mModel.SetOverviewDirty(true);
    SetMode(mMode, true);
}

// The scroll-mode toggle, the scroll bar, the zoom buttons while the
// waveform has room for them, and the ruler's unit at the right end.
void cSampleEditor::LayoutTopStrip(const cRect& rect, float top, float height)
{
    const float buttonWidth = Sprite(S::kAmplitudeBox)->width;
    const float menuWidth = buttonWidth * kRulerMenuWidthInBoxes;
    Place(mScrollModeToggle, rect, rect.xMin, top, height, height);
    const float menuLeft = rect.xMax - menuWidth;
    Place(mRulerUnit, rect, menuLeft, top, menuWidth, height);
    const float waveformWidth = mWaveformRect.xMax - mWaveformRect.xMin;
    const bool zoomShown = waveformWidth > 2.0f * (2.0f * buttonWidth);
    mZoomIn->SetVisible(zoomShown);
    mZoomOut->SetVisible(zoomShown);
    float barRight = menuLeft;
    if (zoomShown)
    {
        Place(mZoomIn, rect, menuLeft - buttonWidth, top, buttonWidth, height);
        Place(mZoomOut, rect, menuLeft - 2.0f * buttonWidth, top, buttonWidth, height);
        barRight -= 2.0f * buttonWidth;
    }
    const float barLeft = rect.xMin + height;
    const float track = std::fmin(height, mScrollBar->trackSprite ? mScrollBar->trackSprite->height : height);
    Place(mScrollBar, rect, barLeft, top + (height - track) * 0.5f, std::fmax(barRight - barLeft, 1.0f), track);
}

// "+" and "-" at the column's top, the "x%d" box below them.
void cSampleEditor::LayoutAmplitudeColumn(const cRect& rect, float width)
{
    const float height = Sprite(S::kAmplitudeBox)->height;
    const float left = mWaveformRect.xMax;
    Place(mAmplitudeUp, rect, left, mWaveformRect.yMin, width, height);
    Place(mAmplitudeDown, rect, left, mWaveformRect.yMin + height, width, height);
    mAmplitudeBoxRect = {left, mWaveformRect.yMin + 2.0f * height, left + width, mWaveformRect.yMin + 3.0f * height};
}

// Nine columns; neighbours share their border pixel.
void cSampleEditor::LayoutBottomBar(const cRect& rect)
{
    PlaceInColumn(mHistoryMenu, kHistoryColumn);
    PlaceInColumn(mZoomMenu, kZoomColumn);
    PlaceInColumn(mSelectMenu, kSelectColumn);
    PlaceInColumn(mVolumeMenu, kVolumeColumn);
    PlaceInColumn(mDeleteButton, kDeleteColumn);
    PlaceInColumn(mTrimButton, kTrimColumn);
    const float width = (rect.xMax - rect.xMin) / float(kBottomColumns);
    mDoneButton->SetAnchors(kAnchorsFromRightEdge, -(width + 1.0f), mBottomBarRect.yMin - rect.yMin, width + 1.0f,
                            mBottomBarRect.yMax - mBottomBarRect.yMin);
}

void cSampleEditor::PlaceInColumn(cWidget* child, int32_t column)
{
    const cRect& rect = GetRect();
    const float width = (rect.xMax - rect.xMin) / float(kBottomColumns);
    Place(child, rect, rect.xMin + float(column) * width - 1.0f, mBottomBarRect.yMin, width + 1.0f,
          mBottomBarRect.yMax - mBottomBarRect.yMin);
}

// Side by side at the waveform's bottom centre, clear of the selection.
void cSampleEditor::LayoutHandles()
{
    const cHandleMetrics metrics = HandleMetrics();
    const float bottom = std::round(mWaveformRect.yMax - metrics.lift);
    const float lefts[2] = {std::round(mWaveformCentreX - metrics.gap - mHandleWidth),
                            std::round(mWaveformCentreX + metrics.gap)};
    for (int i = 0; i < 2; ++i)
    {
        cHandle& handle = mHandles[i];
        handle.resting = {lefts[i], bottom - mHandleHeight, lefts[i] + mHandleWidth, bottom};
        handle.current = handle.resting;
        handle.touch = handle.resting;
        handle.touch.Grow(metrics.side, metrics.side, metrics.side, metrics.below);
    }
}

void cSampleEditor::CloseMenus(const cWidget* except)
{
    for (cWidgetComboBox* menu : {mHistoryMenu, mVolumeMenu, mZoomMenu, mSelectMenu, mRulerUnit})
        if (menu != except)
            menu->value = 0;
}

void cSampleEditor::ShowStatusMessage(const char* text)
{
    if (cStatusBarHost* host = GetStatusBarHost())
        host->ShowStatusMessage(text);
}

void cSampleEditor::ReportEdit(bool done, const char* message)
{
    if (done)
        ShowStatusMessage(message);
    else if (*mModel.GetErrorText())
        ShowStatusMessage(mModel.GetErrorText());
}

void cSampleEditor::OnScrollModeToggle(int32_t, cWidgetButton* button) { CloseMenus(button); }

void cSampleEditor::OnZoomButton(int32_t, cWidgetButton* button)
{
    CloseMenus(button);
    const int32_t length = button->GetTag() == 1 ? mViewLength / 2 : mViewLength * 2;
    int32_t centre = mViewStart + mViewLength / 2;
    if (mModel.GetSelectionStart() != 0 || mModel.GetSelectionEnd() != 0)
    {
        if (mLastHandle == kHandleStart)
            centre = mModel.GetSelectionStart();
        else if (mLastHandle == kHandleEnd)
            centre = mModel.GetSelectionEnd();
        else
            centre = mModel.GetSelectionCentre();
    }
    ZoomTo(0.0f, centre - length / 2, length, true);
}

void cSampleEditor::OnAmplitudeButton(int32_t, cWidgetButton* button)
{
    CloseMenus(button);
    const int32_t zoom = button->GetTag() == 1 ? mAmplitudeZoom * 2 : mAmplitudeZoom / 2;
    mAmplitudeZoom = std::clamp(zoom, 1, kMaxAmplitudeZoom);
}

void cSampleEditor::OnHistoryMenu(int32_t item, cWidgetButton* menu)
{
    CloseMenus(menu);
    if (item < 0)
    {
        RebuildHistoryMenu();
        return;
    }
    cSampleEditHistory& history = mModel.GetHistory();
    history.GoTo(history.GetCount() - 1 - item);
    FollowHistory();
    if (*mModel.GetErrorText())
        ShowStatusMessage(mModel.GetErrorText());
}

// Newest first, then "..." for the sample before any edit; the line of the
// edit in effect is lit.
void cSampleEditor::RebuildHistoryMenu()
{
    const cSampleEditHistory& history = mModel.GetHistory();
    mHistoryMenu->ClearItems();
    int32_t item = 0;
    for (int32_t i = history.GetCount() - 1; i >= 0; --i, ++item)
    {
        mHistoryLabels[item].Printf("%d. %s", int(i + 1), history.GetSlot(i)->GetName());
        mHistoryMenu->AddItem(mHistoryLabels[item].CStr(), item, true);
    }
    mHistoryLabels[item].AssignCStr("...");
    mHistoryMenu->AddItem(mHistoryLabels[item].CStr(), item, true);
    mHistoryMenu->SetSelectedItem(history.GetCount() - 1 - history.GetCurrent());
}

// After an undo or redo the view, the handles and the preview catch up.
void cSampleEditor::FollowHistory()
{
    UpdateViewLimits();
    ApplyHandleDrag();
    UpdateScrollRange();
    FollowViewWithScrollBar();
    EnsureFrameVisible(mModel.GetSelectionCentre());
    mModel.SyncAudition(false);
    SetMode(mMode, true);
}

void cSampleEditor::OnZoomMenu(int32_t item, cWidgetButton* menu)
{
    CloseMenus(menu);
    if (item == 0)
    {
        ZoomPreset(0, true);
        ShowStatusMessage("Zoom Selection");
    }
    else if (item == 1)
    {
        ZoomPreset(1, true);
        ShowStatusMessage("Zoom All");
    }
}

void cSampleEditor::OnSelectMenu(int32_t item, cWidgetButton* menu)
{
    CloseMenus(menu);
    if (item < 0)
    {
        for (int32_t i = 0; i < mSelectMenu->GetItemCount(); ++i)
            mSelectMenu->GetItem(i)->enabled = mModel.GetFrames() > 0 ? 1 : 0;
        return;
    }
    switch (item)
    {
    case kSelectAll:
        mModel.SelectAll();
        ShowStatusMessage("Select All");
        break;
    case kSelectNone:
        mModel.ClearSelection();
        ShowStatusMessage("Select None");
        break;
    case kSelectToEnd:
        mModel.SelectToEnd();
        break;
    case kSelectToStart:
        mModel.SelectToStart();
        break;
    default:
        return;
    }
    mModel.SyncAudition(true);
    SetMode(mMode, true);
}

// The page hears of a volume edit before it is made.
void cSampleEditor::OnVolumeMenu(int32_t item, cWidgetButton* menu)
{
    CloseMenus(menu);
    if (item < kVolumeSilence || item > kVolumeFadeOut)
        return;
    if (mHost)
        mHost->OnEditorModified(this);
    switch (item)
    {
    case kVolumeSilence:
        ReportEdit(mModel.Silence(), "Silence Selection");
        break;
    case kVolumeNormalize:
        ReportEdit(mModel.Normalize(), "Normalize Selection");
        break;
    case kVolumeFadeIn:
        ReportEdit(mModel.FadeIn(), "Fade-in Selection");
        break;
    default:
        ReportEdit(mModel.FadeOut(), "Fade-out Selection");
        break;
    }
    UpdateScrollRange();
    SetMode(mMode, true);
}

// The page hears of a Delete or Trim once it is made.
void cSampleEditor::OnDeleteTrim(int32_t, cWidgetButton* button)
{
    CloseMenus(button);
    const bool trim = button->GetTag() == 1;
    const bool done = trim ? mModel.Trim() : mModel.Delete();
    if (done && mHost)
        mHost->OnEditorModified(this);
    ReportEdit(done, trim ? "Trim Selection" : "Delete Selection");
    UpdateScrollRange();
    mTargetStart = ClampStart(mViewStart);
    mViewStart = mTargetStart;
    FollowViewWithScrollBar();
    SetMode(mMode, true);
}

void cSampleEditor::OnDone(int32_t, cWidgetButton* button)
{
    CloseMenus(button);
    if (mHost)
        mHost->ConfirmClose();
}
