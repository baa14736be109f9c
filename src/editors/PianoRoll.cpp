#include "editors/PianoRoll.h"

#include <algorithm>
#include <cmath>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "base/Delegate.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PatternToolsUI.h"
#include "editors/PianoRollOwner.h"
#include "editors/PianoRollSprites.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "editors/RollButton.h"
#include "platform/DisplayMetrics.h"
#include "platform/os/KeyTable.h"
#include "render/Material.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr int32_t kMenuCapacity = 8;
constexpr float kToolbarHeight = 44.0f;
constexpr float kToolbarHeightPhone = 36.0f;
constexpr float kStripWidth = 48.0f;
constexpr float kStripWidthPhone = 32.0f;
constexpr float kRulerHeight = 24.0f;
constexpr float kRulerHeightPhone = 18.0f;
constexpr float kScrollBarSize = 24.0f;
constexpr float kScrollBarSizePhone = 18.0f;
constexpr float kChooserMargin = 4.0f;

bool IsPhone() { return GetDisplayMetrics().deviceClass == kDeviceClassPhone; }

float RoundHalfAway(float value) { return std::round(value); }

void WaitForSequencerEvents()
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->WaitForEvents();
}
} // namespace

cPianoRoll::cPianoRoll(cPianoRollOwner* owner) : mOwner(owner), mSelectionMaterial(new cMaterial(kBlendAlpha))
{
    SetName("PianoRoll");
    // Its buttons answer their shortcut keys.
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    BuildToolbar();
    BuildSideControls();
    mTarget = mView;
    RefreshButtons();
}

cPianoRoll::~cPianoRoll()
{
    StopAudition();
    mModel.ClearHistory();
    mQuantize->Hide();
    mQuantize->Release();
    delete mSelectionMaterial;
}

void cPianoRoll::BuildToolbar()
{
    const cDelegate click(this, &cPianoRoll::OnTool);
    struct
    {
        const char* name;
        int32_t mode;
        int32_t shortcut;
        bool character;
    } buttons[kToolCount] = {
        {"Tools", kButtonPush, 'T', true},          {nullptr, 0, 0, false},
        {nullptr, 0, 0, false},                     {nullptr, 0, 0, false},
        {"Draw", kButtonCycle, 'D', true},          {"Delete", kButtonPush, kKeyDelete, false},
        {"Copy", kButtonPush, 'C', true},           {"Qtz", kButtonCycle, 'Q', true},
        {"Done", kButtonPush, kKeyEnter, false},
    };
    for (int32_t tool = 0; tool < kToolCount; ++tool)
    {
        if (!buttons[tool].name)
            continue;
        cWidgetButton* button =
            CreateRollButton(buttons[tool].name, buttons[tool].mode, tool, click, kRollButtonSkin, kRollButtonSkinLit);
        if (buttons[tool].character)
            button->SetCharShortcut(buttons[tool].shortcut);
        else
            button->SetKeyShortcut(buttons[tool].shortcut);
        AddChild(button);
        button->Release();
        mTools[tool] = button;
    }
    SetRollButtonIcon(mTools[kToolQuantize], PianoRollSprite::kQuantizeIcon);
    SetRollButtonIcon(mTools[kToolDone], PianoRollSprite::kDoneIcon);
    mTools[kToolHistory] = MakeMenu("History", kToolHistory, cPatternEditModel::kHistorySteps + 1, 'H');
    mTools[kToolZoom] = MakeMenu("Zoom", kToolZoom, 3, 'Z');
    mTools[kToolSelect] = MakeMenu("Select", kToolSelect, 6, 'S');
    static const char* const kZoomItems[] = {"Selection", "All", "Min"};
    static const char* const kSelectItems[] = {"All", "Inverse", "Note", "To End", "To Start", "Add To"};
    for (int32_t i = 0; i < 3; ++i)
        GetMenu(kToolZoom)->AddItem(kZoomItems[i], i, true);
    for (int32_t i = 0; i < 6; ++i)
        GetMenu(kToolSelect)->AddItem(kSelectItems[i], i, true);
}

cWidgetComboBox* cPianoRoll::MakeMenu(const char* name, int32_t tool, int32_t capacity, int32_t shortcut)
{
    cWidgetComboBox* menu =
        CreateComboBox(name, std::max(capacity, kMenuCapacity), kComboOpensUpwards, cDelegate(this, &cPianoRoll::OnMenu));
    menu->minimumMenuWidth = 160.0f;
    menu->labelStyle.colour = 0xffdcdcdc;
    menu->SetTag(tool);
    menu->SetCharShortcut(shortcut);
    AddChild(menu);
    menu->Release();
    return menu;
}

void cPianoRoll::BuildSideControls()
{
    const cDelegate click(this, &cPianoRoll::OnSideButton);
    // No label: the toggle is known by its place and its key.
    mScrollModeToggle = CreateRollButton("", kButtonCycle, -1, click, kRollButtonSkin, kRollButtonSkinLit);
    mScrollModeToggle->SetCharShortcut('P');
    SetRollButtonIcon(mScrollModeToggle, PianoRollSprite::kScrollModeIcon);
    AddChild(mScrollModeToggle);
    mScrollModeToggle->Release();
    mHorizontalBar = CreateScrollBar(false, true);
    mVerticalBar = CreateScrollBar(true, true);
    for (cWidgetScrollBar* bar : {mHorizontalBar, mVerticalBar})
    {
        bar->windowMovedDelegate = cDelegate(this, &cPianoRoll::OnScrollBar);
        AddChild(bar);
        bar->Release();
    }
    for (int32_t vertical = 0; vertical < 2; ++vertical)
        for (int32_t in = 0; in < 2; ++in)
        {
            cWidgetButton* button = CreateRollButton(in == 0 ? "+" : "-", kButtonPush, vertical * 2 + in, click,
                                                     kRollButtonSkin, kRollButtonSkinLit);
            FitRollButtonSkin(button);
            AddChild(button);
            button->Release();
            mZoomButtons[vertical][in] = button;
        }
    mChooser = new cEventTypeSelectUI();
    mChooser->choiceDelegate = cDelegate(this, &cPianoRoll::OnLaneChoice);
    AddChild(mChooser);
    mChooser->Release();
    mPatternTools = new cPatternToolsUI();
    mPatternTools->GetGridPanel()->requestDelegate = cDelegate(this, &cPianoRoll::OnGridRequest);
    mPatternTools->GetCopyPanel()->requestDelegate = cDelegate(this, &cPianoRoll::OnCopyRequest);
    mPatternTools->GetCleanPanel()->requestDelegate = cDelegate(this, &cPianoRoll::OnCleanRequest);
    mPatternTools->resultDelegate = cDelegate(this, &cPianoRoll::OnPatternToolsClosed);
    AddChild(mPatternTools);
    mPatternTools->Release();
    mQuantize = new cQuantizeDialogue(cQuantizeSettingsUI::kQuantizeButton | cQuantizeSettingsUI::kTypeSpin);
    mQuantize->SetName("Quantize");
    mQuantize->GetSettingsUI()->changeDelegate = cDelegate(this, &cPianoRoll::OnQuantizeChosen);
}

cWidgetComboBox* cPianoRoll::GetMenu(int32_t tool) const
{
    if (tool == kToolHistory || tool == kToolZoom || tool == kToolSelect)
        return static_cast<cWidgetComboBox*>(mTools[tool]);
    return nullptr;
}

bool cPianoRoll::IsDrawToolOn() const { return mTools[kToolDraw]->value != 0; }
bool cPianoRoll::IsScrollModeOn() const { return mScrollModeToggle->value != 0; }

// --- The page's calls ---

void cPianoRoll::BindPart(cPatternInstance* part)
{
    StopAudition();
    mModel.Bind(part);
    mHasSavedNoteView = false;
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cPianoRoll::RebuildForPart(bool refreshChooser)
{
    WaitForSequencerEvents();
    mModel.RebuildViews();
    if (refreshChooser)
    {
        mChooser->Fill(GetPart(), mModel.GetPianoRollBlock());
        mChooser->SelectKey(kLaneKeyNotes);
    }
    RefreshButtons();
}

void cPianoRoll::ResetViewForPart()
{
    if (mModel.GetLane() != cPatternEditModel::kLaneNotes)
        SwitchLane(kLaneKeyNotes);
    else
        SetLaneRange();
    mHasSavedNoteView = false;
    ZoomOut(false);
}

void cPianoRoll::RefreshFromRecorder()
{
    mModel.RefreshViews();
    RefreshButtons();
}

void cPianoRoll::ForgetHistory()
{
    mModel.ClearHistory();
    GetMenu(kToolHistory)->CancelInput();
}

// --- Lanes ---

void cPianoRoll::SetValueRange(float low, float high, float minimumSpan)
{
    mRangeLow = low;
    mRangeHigh = high;
    mMinimumValueSpan = std::min(minimumSpan, high - low);
}

// Notes span the package's key range; velocities always show 0..128 whole;
// a controller its entry's range. Without a package every MIDI note.
void cPianoRoll::SetLaneRange()
{
    const cInstrumentPackage* block = mModel.GetPianoRollBlock();
    switch (mModel.GetLane())
    {
    case cPatternEditModel::kLaneVelocity: SetValueRange(0.0f, 128.0f, 128.0f); break;
    case cPatternEditModel::kLaneController:
        if (const cInstrumentPackage::cControllerParam* entry = mModel.GetControllerEntry())
        {
            const float scale = entry->scale > 0.0f ? entry->scale : 1.0f;
            SetValueRange(entry->minimum, entry->maximum, RoundHalfAway((entry->maximum - entry->minimum) / scale));
            break;
        }
        [[fallthrough]];
    default:
        if (block)
        {
            const float step = block->GetKeyStep() > 0.0f ? block->GetKeyStep() : 8.0f;
            const float low = block->GetKeyRangeLow(), high = block->GetKeyRangeHigh();
            SetValueRange(low, high, RoundHalfAway((high - low) / step));
        }
        else
            SetValueRange(0.0f, 127.0f, 7.0f);
        break;
    }
}

void cPianoRoll::SwitchLane(int32_t key)
{
    const int32_t lane = key == kLaneKeyNotes      ? cPatternEditModel::kLaneNotes
                         : key == kLaneKeyVelocity ? cPatternEditModel::kLaneVelocity
                                                   : cPatternEditModel::kLaneController;
    const bool wasNotes = mModel.GetLane() == cPatternEditModel::kLaneNotes;
    mModel.SetLane(lane, key >= 0 ? key : 0, true);
    mChooser->Close();
    mChooser->SelectKey(key);
    StopAudition();
    SetState(kIdle);
    bool restored = false;
    if (mModel.GetPianoRollBlock())
    {
        if (wasNotes && lane != cPatternEditModel::kLaneNotes)
        {
            mSavedNoteView = mTarget;
            mHasSavedNoteView = true;
        }
        SetLaneRange();
        if (lane == cPatternEditModel::kLaneNotes && !wasNotes && mHasSavedNoteView)
        {
            mTarget.valueSpan = std::clamp(mSavedNoteView.valueSpan, mMinimumValueSpan, mRangeHigh - mRangeLow);
            mTarget.lowestValue = std::clamp(mSavedNoteView.lowestValue, GetScrollFloor(), mRangeHigh - mTarget.valueSpan);
            mView.lowestValue = mTarget.lowestValue;
            mView.valueSpan = mTarget.valueSpan;
            restored = true;
        }
    }
    else
        SetLaneRange();
    if (!restored)
    {
        if (mModel.GetSelectionCount() > 0)
        {
            const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
            ZoomToValues(b.lowestBottom, b.highestTop - b.lowestBottom, 0.0f, false);
        }
        else
            ZoomToValues(mRangeLow, mRangeHigh - mRangeLow, 0.0f, false);
    }
    UpdateScrollBars();
    UpdateHandles();
}

// --- Widget ---

void cPianoRoll::OnLayout()
{
    const cRect r = GetRect();
    const bool phone = IsPhone();
    const float toolbar = phone ? kToolbarHeightPhone : kToolbarHeight;
    const float strip = phone ? kStripWidthPhone : kStripWidth;
    const float ruler = phone ? kRulerHeightPhone : kRulerHeight;
    const float bar = phone ? kScrollBarSizePhone : kScrollBarSize;
    mToolbar = {r.xMin, r.yMax - toolbar, r.xMax, r.yMax};
    mKeyStrip = {r.xMin, r.yMin + ruler, r.xMin + strip, mToolbar.yMin - bar};
    mRuler = {mKeyStrip.xMax, r.yMin, r.xMax - bar, r.yMin + ruler};
    mEditArea = {mKeyStrip.xMax, mRuler.yMax, r.xMax - bar, mKeyStrip.yMax};
    const float column = (r.xMax - r.xMin) / float(kToolCount);
    for (int32_t tool = 0; tool < kToolCount; ++tool)
        mTools[tool]->SetAnchors(kAnchorsAbsoluteRect, std::floor(r.xMin + float(tool) * column), mToolbar.yMin,
                                 std::floor(column) + 1.0f, toolbar);
    mScrollModeToggle->SetAnchors(kAnchorsAbsoluteRect, r.xMin, r.yMin, strip, ruler);
    mChooser->SetAnchors(kAnchorsAbsoluteRect, mEditArea.xMin + kChooserMargin, mEditArea.yMin + kChooserMargin,
                         mEditArea.xMax - mEditArea.xMin - 2.0f * kChooserMargin,
                         mEditArea.yMax - mEditArea.yMin - 2.0f * kChooserMargin);
    cVector2 minimum, preferred;
    mPatternTools->GetSizePreferences(&minimum, &preferred);
    const float toolsWidth = std::min(preferred.X, r.xMax - r.xMin);
    const float toolsHeight = std::min(std::max(preferred.Y, 320.0f), mToolbar.yMin - r.yMin);
    mPatternTools->SetAnchors(kAnchorsAbsoluteRect, std::floor((r.xMin + r.xMax - toolsWidth) * 0.5f),
                              std::floor((r.yMin + mToolbar.yMin - toolsHeight) * 0.5f), toolsWidth, toolsHeight);
    PlaceZoomButtons();
    mModel.eventGeometryDirty = true;
    UpdateScrollBars();
    UpdateHandles();
}

void cPianoRoll::PlaceZoomButtons()
{
    const float size = IsPhone() ? kScrollBarSizePhone : kScrollBarSize;
    const float width = mEditArea.xMax - mEditArea.xMin;
    const float height = mEditArea.yMax - mEditArea.yMin;
    // A pair only where the bar keeps room beside it.
    const bool across = width > 2.0f * size;
    const bool down = height > 2.0f * size;
    const float barWidth = across ? width - 2.0f * size : width;
    const float barHeight = down ? height - 2.0f * size : height;
    mHorizontalBar->SetAnchors(kAnchorsAbsoluteRect, mEditArea.xMin, mEditArea.yMax, barWidth, size);
    mVerticalBar->SetAnchors(kAnchorsAbsoluteRect, mEditArea.xMax, mEditArea.yMin, size, barHeight);
    for (int32_t in = 0; in < 2; ++in)
    {
        mZoomButtons[0][in]->SetVisible(across);
        mZoomButtons[1][in]->SetVisible(down);
        mZoomButtons[0][in]->SetAnchors(kAnchorsAbsoluteRect, mEditArea.xMin + barWidth + float(in) * size,
                                        mEditArea.yMax, size, size);
        mZoomButtons[1][in]->SetAnchors(kAnchorsAbsoluteRect, mEditArea.xMax, mEditArea.yMin + barHeight + float(in) * size,
                                        size, size);
    }
}

void cPianoRoll::OnStateChange()
{
    mTools[kToolDraw]->value = 0;
    UpdateScrollBars();
    mModel.eventGeometryDirty = true;
    StopAudition();
    SetState(kIdle);
    UpdateHandles();
    RefreshButtons();
}

void cPianoRoll::CancelInput()
{
    StopAudition();
    if (mDrawZoom.GetState() != cZoomEasing::kIdle)
        mDrawZoom.Release();
    mState = kIdle;
    mDownPoint = mPoint;
    mTouchId = -1;
    mSecondTouchId = -1;
    mTimeOffset = mValueOffset = 0.0f;
    mRepeatDrag = false;
}
