#include "app/WidgetStatusBar.h"

#include <cmath>

#include "app/MainScreenSprites.h"
#include "app/MainUI.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBarScreen.h"
#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/SongSettingsUI.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/GlobalSettingValues.h"
#include "platform/PlatformServices.h"
#include "platform/os/KeyTable.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/Sequencer.h"
#include "sequencer/TrackList.h"
#include "ui/DrawHelpers.h"
#include "ui/HouseColours.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kTabletScreenReserve = 470.0f;
constexpr float kScreenReserve = 324.0f;
constexpr float kScreenReserveMargin = 10.0f;
constexpr float kEdgeGap = 2.0f;
constexpr float kLabelLift = -5.0f;
constexpr float kValueDrop = 6.0f;
// The tools' icons lie under their texts, half transparent.
constexpr uint32_t kHalfAlpha = 0x80808080;
constexpr uint32_t kDividerColour = 0x80ffffff;
constexpr float kDividerInset = 4.0f;
constexpr uint32_t kDisabledVeil = 180u << 24;
constexpr float kMessageStep = 1.0f / 30.0f;
constexpr int32_t kTapsToStart = 2;
constexpr int32_t kTapsToStartAfterStop = 3;
constexpr int32_t kFirstLeftButton = 1;
constexpr int32_t kLastLeftButton = 4;
constexpr int32_t kFirstTool = 5;
constexpr int32_t kLastTool = 9;
constexpr int32_t kAllTools = 4;
constexpr int32_t kRightButtons = 8;
// Left and top from the parent's start, width and height as sizes; the same
// with the left measured from the parent's end.
constexpr uint32_t kFromLeft = 0x1133;
constexpr uint32_t kFromRight = 0x1135;
constexpr uint32_t kFillWidthBelow = 0x1533;
// Image alignments: natural size centred, three-patch across, nine-patch.
constexpr int32_t kNaturalCentred = 0x11;
constexpr int32_t kThreePatchAcross = 0x13;
constexpr int32_t kNinePatch = 0x33;
// Drawn over the main window's pages and their drop-downs.
constexpr float kBarDepth = 0.1f;

bool (*sOpenURL)(const char* address) = &OpenURLInBrowser;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

cSequencer* Sequencer() { return cSequencer::GetInstance(); }

// Read without the lock, for display: the next frame shows a change.
bool HasRecordSessionToUndo()
{
    const cSequencer* sequencer = Sequencer();
    return sequencer && sequencer->GetRecordUndoJournal()->HasEntries();
}

bool IsRecordingState(int32_t state) { return state == cTransport::kRecording || state == cTransport::kRecordCountIn; }

bool IsLeftButton(int32_t tag) { return tag >= kFirstLeftButton && tag <= kLastLeftButton; }

bool IsTool(int32_t tag) { return tag >= kFirstTool && tag <= kLastTool; }

// A transport change takes the sequencer's lock and marks the project changed.
template <class F>
void ChangeTransport(F&& change)
{
    cSequencer* sequencer = Sequencer();
    if (!sequencer)
        return;
    {
        cScopedLock lock(sequencer->GetLock());
        change(*sequencer);
    }
    MarkProjectModified();
}

void SetImageSprite(cImage& image, int sprite, uint32_t colour)
{
    image.SetSprites(Sprite(sprite), nullptr, nullptr);
    image.colour = colour;
}
} // namespace

void cWidgetStatusBar::SetURLOpener(bool (*opener)(const char* address))
{
    sOpenURL = opener ? opener : &OpenURLInBrowser;
}

float cWidgetStatusBar::GetBarHeight() { return Sprite(MainScreenSprite::kStatusBarBackground)->height; }

cWidgetStatusBar::cWidgetStatusBar()
    : mScreenReserve(gDisplayMetrics.deviceClass == kDeviceClassTablet ? kTabletScreenReserve : kScreenReserve)
{
    SetName("StatusBar");
    ModifyFlags(kWidgetAcceptsKeys | kWidgetAbsoluteDepth, 0, false);
    SetDepth(kBarDepth);
    mQuantizeCopy = {1, 0, 0, 0.0f};
    mBackground.SetSprites(Sprite(MainScreenSprite::kStatusBarBackground), nullptr, nullptr);
    mBackground.alignment = kThreePatchAcross;
    mLabelFont.Select(GetTextSize(kTextSizeStandard));

    mScreen = new cWidgetStatusBarScreen();
    mScreen->holdDelegate = cDelegate(this, &cWidgetStatusBar::OnHelpHold);
    AddChild(mScreen);
    mScreen->Release();
    mMenu = new cWidgetMainMenu(this);
    AddChild(mMenu);
    mMenu->Release();
    mTempoPopup = new cSongSettingsPopup();

    const struct
    {
        const char* label;
        int32_t mode;
    } buttons[kButtonCount] = {{"", kButtonPush},       {"", kButtonCycle},  {"SONG", kButtonPush},
                               {"MIXER", kButtonPush},  {"MANAGE", kButtonPush}, {"BPM", kButtonCycle},
                               {"LOOP", kButtonPush},   {"CLICK", kButtonCycle}, {"QUANTIZE", kButtonCycle},
                               {"UNDO", kButtonPush},   {"", kButtonPush},   {"", kButtonPush},
                               {"", kButtonPush}};
    for (int32_t tag = 0; tag < kButtonCount; ++tag)
        mButtons[tag] = MakeButton(tag, buttons[tag].label, buttons[tag].mode);
    mButtons[kClick]->maximum = 2;
    mButtons[kBack]->SetKeyShortcut(kKeyEscape);
    const uint32_t light = HouseColour::kLightLabel;
    SetImageSprite(mButtons[kBack]->icon, MainScreenSprite::kBack, light);
    SetImageSprite(mButtons[kMenu]->icon, MainScreenSprite::kMenu, light);
    SetImageSprite(mButtons[kMenu]->litIcon, MainScreenSprite::kMenu, HouseColour::kWhite);
    SetImageSprite(mButtons[kTempo]->icon, MainScreenSprite::kTempo, kHalfAlpha);
    SetImageSprite(mButtons[kTempo]->litIcon, MainScreenSprite::kTempo, kHalfAlpha);
    SetImageSprite(mButtons[kQuantize]->icon, MainScreenSprite::kQuantize, kHalfAlpha);
    SetImageSprite(mButtons[kQuantize]->litIcon, MainScreenSprite::kQuantize, kHalfAlpha);
    SetImageSprite(mButtons[kClick]->icon, MainScreenSprite::kClick, kHalfAlpha);
    for (int32_t tag : {kTempo, kClick, kQuantize})
        mButtons[tag]->iconOffset.Y = kValueDrop;
    mQuantizeDialogue = new cQuantizeDialogue(cQuantizeSettingsUI::kShowOff);
    mQuantizeDialogue->SetName("Record Quantize");
    mQuantizeDialogue->SetAnchor(mButtons[kQuantize], kAttachBelow);
    mQuantizeDialogue->GetSettingsUI()->changeDelegate = cDelegate(this, &cWidgetStatusBar::OnRecordQuantizeChanged);
    for (int32_t tag : {kStop, kPlay, kRecord})
    {
        const int sprite = tag == kStop ? MainScreenSprite::kStop
                           : tag == kPlay ? MainScreenSprite::kPlay
                                          : MainScreenSprite::kRecord;
        SetImageSprite(mButtons[tag]->icon, sprite, HouseColour::kWhite);
        SetImageSprite(mButtons[tag]->litIcon, sprite, HouseColour::kWhite);
    }
}

cWidgetStatusBar::~cWidgetStatusBar()
{
    mTempoPopup->Hide();
    mTempoPopup->Release();
    mQuantizeDialogue->Hide();
    mQuantizeDialogue->Release();
}

cWidgetButton* cWidgetStatusBar::MakeButton(int32_t tag, const char* label, int32_t mode)
{
    auto* button = new cWidgetButton(mode, nullptr, nullptr);
    button->SetName(label);
    button->SetTag(tag);
    button->litBackground.SetSprites(Sprite(MainScreenSprite::kStatusButtonLit), nullptr, nullptr);
    button->litBackground.alignment = kNinePatch;
    button->icon.alignment = button->litIcon.alignment = kNaturalCentred;
    button->ModifyFlags(kWidgetTouchWholeRect, 0, false);
    for (float& margin : button->touchMargins)
        margin = 0.0f;
    button->labelStyle.font = mLabelFont;
    button->labelStyle.colour = HouseColour::kLightLabel;
    button->labelStyle.offsetY = kLabelLift;
    button->clickDelegate = cDelegate(this, &cWidgetStatusBar::OnButton);
    AddChild(button);
    button->Release();
    return button;
}

// ---------------------------------------------------------------- states

void cWidgetStatusBar::PushState(const cDelegate& handler, bool withTransport)
{
    if (mStateDepth >= kStateCapacity)
    {
        ++mStateDepth;
        DebugTrace("Status bar: %d nested states, only %d are kept\n", mStateDepth, kStateCapacity);
        return;
    }
    mStates[mStateDepth++] = {mHandler, mMode};
    mHandler = handler;
    SetMode(withTransport ? kModeDialogueWithTransport : kModeDialogue);
}

void cWidgetStatusBar::PushDisabledState()
{
    PushState(cDelegate(), false);
    if (mStateDepth <= kStateCapacity)
        SetMode(kModeDisabled);
}

void cWidgetStatusBar::PopState()
{
    if (mStateDepth == 0)
        return;
    if (--mStateDepth >= kStateCapacity)
        return;
    const cStateEntry& entry = mStates[mStateDepth];
    mHandler = entry.handler;
    SetMode(entry.mode);
}

void cWidgetStatusBar::SetMode(int32_t mode)
{
    ShowButtons(mode);
    mScreen->SetSongPositionOption(mode != kModeDialogue);
    if (mode == kModeDisabled)
    {
        CancelInputRecursive(true);
        SetEnabled(false);
    }
    else if (!IsEnabled())
    {
        SetEnabled(true);
    }
    mMode = mode;
    PlaceScreen();
}

void cWidgetStatusBar::ShowButtons(int32_t mode)
{
    const bool dialogue = mode == kModeDialogue || mode == kModeDialogueWithTransport;
    const int32_t toolLimit = mode == kModeMenuOpen ? kAllTools : mRightLimit;
    for (int32_t tag = 0; tag < kButtonCount; ++tag)
    {
        bool shown;
        if (tag == kBack)
            shown = dialogue;
        else if (IsLeftButton(tag))
            shown = !dialogue && tag <= mLeftCount;
        else if (IsTool(tag))
            shown = !dialogue && tag > toolLimit;
        else
            shown = mode != kModeDialogue;
        if (dialogue && IsLeftButton(tag))
            mButtons[tag]->value = 0;
        if (mButtons[tag]->IsVisible() != shown)
            mButtons[tag]->SetVisible(shown);
    }
}

void cWidgetStatusBar::ApplyRecordQuantize(const cQuantizeSettings& settings) { ::ApplyRecordQuantize(settings); }

// Recording snaps to the new grid from the audio thread's next block; the
// song file keeps the setting, so the project has changed.
void cWidgetStatusBar::OnRecordQuantizeChanged(const cQuantizeSettings* settings, cQuantizeSettingsUI*)
{
    if (cSequencer* sequencer = Sequencer())
    {
        cScopedLock lock(sequencer->GetLock());
        ApplyRecordQuantize(*settings);
    }
    else
        ApplyRecordQuantize(*settings);
    MarkProjectModified();
}

void cWidgetStatusBar::ToggleRecordQuantize(bool show)
{
    CancelInputRecursive(true);
    mQuantizeDialogue->GetSettingsUI()->SetSettings(gRecordQuantizeSettings);
    if (show)
        mQuantizeDialogue->Show();
    else
        mQuantizeDialogue->Hide();
}

bool cWidgetStatusBar::IsPopupOpen() const { return mQuantizeDialogue->IsShown() || mTempoPopup->IsShown(); }

// Below its button, showing the song's values afresh at every opening.
void cWidgetStatusBar::ToggleTempoPopup()
{
    if (mTempoPopup->IsShown())
    {
        mTempoPopup->Hide();
        return;
    }
    mTempoPopup->SetAnchor(mButtons[kTempo], kAttachBelow);
    mTempoPopup->Show();
}

// --------------------------------------------------------------- messages

void cWidgetStatusBar::ShowMessage(const char* text, float seconds, bool blink)
{
    mMessageText.AssignCStr(text);
    mMessageTimer = seconds;
    mMessageBlink = blink;
}

void cWidgetStatusBar::ClearMessageTimer() { mMessageTimer = 0.0f; }

// ----------------------------------------------------------------- layout

void cWidgetStatusBar::OnLayout()
{
    const cRect& rect = GetRect();
    const float rowHeight = GetRowHeight(), barHeight = GetBarHeight();
    mBackgroundRect = {rect.xMin, rect.yMin, rect.xMax, rect.yMin + barHeight};
    mBackground.Layout(mBackgroundRect, {0.0f, 0.0f});
    LayoutButtons(rowHeight, barHeight);
    CountButtonRoom(rowHeight);
    SetMode(mMode);
    mMenu->SetMetrics(mLeftCount);
    mMenu->SetAnchors(kFillWidthBelow, 0.0f, barHeight, 0.0f, mMenu->GetHeight());
}

void cWidgetStatusBar::LayoutButtons(float rowHeight, float barHeight)
{
    for (int32_t tag = kBack; tag <= kLastLeftButton; ++tag)
        mButtons[tag]->SetAnchors(kFromLeft, -1.0f + float(tag == kBack ? 0 : tag - 1) * rowHeight, 0.0f, rowHeight,
                                  barHeight);
    const cRect& rect = GetRect();
    for (int32_t index = 0; index < kRightButtons; ++index)
    {
        const int32_t tag = kRecord - index;
        const float left = -float(index + 1) * rowHeight;
        mButtons[tag]->SetAnchors(kFromRight, left, 0.0f, rowHeight, barHeight);
        const float x = rect.xMax + left;
        mDividers[index] = {x, rect.yMin + kDividerInset, x + 1.0f, rect.yMin + barHeight - kDividerInset};
    }
}

// The screen keeps its reserve; the rest holds page buttons, then tools.
void cWidgetStatusBar::CountButtonRoom(float rowHeight)
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    const int32_t k = int32_t((width - 3.0f * rowHeight - (mScreenReserve + kScreenReserveMargin)) / rowHeight - 0.5f);
    const int32_t pageButtons = k < 3 ? k : 3;
    const int32_t extra = k - pageButtons;
    mLeftCount = pageButtons + 1;
    mRightLimit = extra > 0 ? kLastTool - extra : kLastTool;
}

void cWidgetStatusBar::PlaceScreen()
{
    const cRect& rect = GetRect();
    float left = rect.xMin + kEdgeGap, right = rect.xMax - kEdgeGap;
    for (int32_t tag = kLastLeftButton; tag >= kBack; --tag)
        if (mButtons[tag]->IsVisible())
        {
            left = mButtons[tag]->GetRect().xMax;
            break;
        }
    for (int32_t tag = kFirstTool; tag <= kRecord; ++tag)
        if (mButtons[tag]->IsVisible())
        {
            right = mButtons[tag]->GetRect().xMin;
            break;
        }
    const bool fits = right - left >= kScreenMinimum;
    if (mScreen->IsVisible() != fits)
        mScreen->SetVisible(fits);
    if (fits)
        mScreen->SetAnchors(kAnchorsAbsoluteRect, left, rect.yMin, right - left, GetBarHeight());
}

void cWidgetStatusBar::OnStateChange()
{
    mQuantizeDialogue->Hide();
    mQuantizeCopy = gRecordQuantizeSettings;
    RefreshQuantizeLabel();
}

// ------------------------------------------------------------------- draw

void cWidgetStatusBar::AdvanceTimers()
{
    if (mMessageTimer > 0.0f)
    {
        mMessageTimer -= kMessageStep;
        if (mMessageTimer < 0.0f)
        {
            mMessageTimer = 0.0f;
            mMessageBlink = false;
        }
    }
    if (mStopTapThreshold != kTapsToStart)
    {
        mStopTapTimer -= gFramePeriod;
        if (mStopTapTimer <= 0.0f)
            mStopTapThreshold = kTapsToStart;
    }
}

void cWidgetStatusBar::FollowMenu()
{
    if (mMode == kModeMenuOpen && !mMenu->IsOpen())
    {
        mButtons[kMenu]->value = 0;
        SetMode(kModePage);
    }
    else if (mMode == kModePage && mMenu->IsOpen())
    {
        mButtons[kMenu]->value = 1;
        SetMode(kModeMenuOpen);
    }
}

void cWidgetStatusBar::RefreshLights()
{
    const int32_t pageType = mMenu->GetPageType();
    mButtons[kSong]->value = pageType == cWidgetMainMenu::kPageSong;
    mButtons[kManage]->value = pageType == cWidgetMainMenu::kPageManage;
    mButtons[kMixer]->value = pageType == cWidgetMainMenu::kPageInstrument && mMenu->GetSelectedSlot() == 0;

    const int32_t state = gTransport.state.load();
    if (state != mLastTransportState)
    {
        mLastTransportState = state;
        mButtons[kPlay]->value = state == cTransport::kPlaying || state == cTransport::kPlayCountIn;
        mButtons[kRecord]->value = IsRecordingState(state);
    }
    mButtons[kStop]->value = state == cTransport::kStopped;
    mButtons[kLoop]->value = gTransport.loopOn.load() != 0;
    mButtons[kUndo]->value = HasRecordSessionToUndo();

    const int32_t metronome = gTransport.metronomeMode.load();
    if (metronome != mLastMetronomeMode)
    {
        mLastMetronomeMode = metronome;
        mButtons[kClick]->value = metronome;
        SetImageSprite(mButtons[kClick]->litIcon,
                       metronome == 2 ? MainScreenSprite::kClickAlways : MainScreenSprite::kClickWhileRecording,
                       HouseColour::kWhite);
    }
}

void cWidgetStatusBar::RefreshQuantizeLabel()
{
    QuantizeSettingsToText(mQuantizeLabel, mQuantizeCopy, false);
}

bool cWidgetStatusBar::Draw(cDrawList& list)
{
    AdvanceTimers();
    const bool message = mMessageTimer > 0.0f;
    uint32_t colour = cWidgetStatusBarScreen::kPositionColour;
    if (message && mMessageBlink)
        colour = (colour & 0x00ffffffu) | (uint32_t(cWidgetManager::GetInstance()->GetBlinkAlpha()) << 24);
    mScreen->SetText(message ? mMessageText.CStr() : mTitleText.CStr(), colour);
    FollowMenu();
    RefreshLights();

    mBackground.Draw(mBackground.drawRect, list, false);
    if (mMode != kModeDialogue)
        DrawDividers(list);
    DrawChildren(list);
    const int32_t state = gTransport.state.load();
    if (IsRecordingState(state) && mButtons[kRecord]->IsVisible())
    {
        const cRect& record = mButtons[kRecord]->GetRect();
        const cAtlasSprite* indicator = Sprite(gTransport.eraseKeys.load() ? MainScreenSprite::kErasingIndicator
                                                                            : MainScreenSprite::kRecordingIndicator);
        const uint32_t alpha = uint32_t(cWidgetManager::GetInstance()->GetBlinkAlpha());
        DrawSprite(list, indicator, SpriteRectAt(indicator, (record.xMin + record.xMax) * 0.5f,
                                                 (record.yMin + record.yMax) * 0.5f),
                   (alpha << 24) | 0x00ffffffu);
    }
    DrawButtonTexts(list);
    if (mMode == kModeDisabled)
        list.FillRect(mBackgroundRect, kDisabledVeil);
    return true;
}

void cWidgetStatusBar::DrawDividers(cDrawList& list)
{
    for (int32_t index = 0; index < kRightButtons; ++index)
        if (mButtons[kRecord - index]->IsVisible())
            list.FillRect(mDividers[index], kDividerColour);
}

// The tempo and the record quantize written over their buttons.
void cWidgetStatusBar::DrawButtonTexts(cDrawList& list)
{
    cTextBatch& text = list.GetTextBatch();
    if (mButtons[kQuantize]->IsVisible())
    {
        if (gRecordQuantizeSettings.on != mQuantizeCopy.on || gRecordQuantizeSettings.interval != mQuantizeCopy.interval ||
            gRecordQuantizeSettings.type != mQuantizeCopy.type || gRecordQuantizeSettings.swing != mQuantizeCopy.swing)
        {
            mQuantizeCopy = gRecordQuantizeSettings;
            RefreshQuantizeLabel();
        }
        mButtons[kQuantize]->value = mQuantizeDialogue->IsShown() ? 1 : 0;
        const cRect& r = mButtons[kQuantize]->GetRect();
        text.DrawTextAligned((r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f + kValueDrop, list.depth, mLabelFont,
                             HouseColour::kValue, kTextAlignCentreX | kTextAlignCentreY, mQuantizeLabel.CStr());
    }
    if (mButtons[kTempo]->IsVisible())
    {
        mButtons[kTempo]->value = mTempoPopup->IsShown() ? 1 : 0;
        const float tempo = gTransport.tempo.load();
        if (tempo != mLastTempo)
        {
            mLastTempo = tempo;
            mTempoLabel.Printf("%.1f", tempo);
        }
        const cRect& r = mButtons[kTempo]->GetRect();
        text.DrawTextAligned((r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f + kValueDrop, list.depth, mLabelFont,
                             HouseColour::kValue, kTextAlignCentreX | kTextAlignCentreY, mTempoLabel.CStr());
    }
}

// ---------------------------------------------------------------- buttons

intptr_t cWidgetStatusBar::OnButton(intptr_t value, cWidgetButton* button)
{
    switch (button->GetTag())
    {
    case kBack: mHandler.Invoke(); break;
    case kMenu:
        mMenu->SetOpen(value != 0);
        if (value != 0)
            mMenu->SetVisible(true);
        break;
    case kSong:
    case kManage:
        mMenu->SelectPage(button->GetTag() == kSong ? cWidgetMainMenu::kPageSong : cWidgetMainMenu::kPageManage, 0);
        mMenu->SetOpen(false);
        break;
    case kMixer:
        mMenu->SelectPage(cWidgetMainMenu::kPageInstrument, 0);
        mMenu->SetOpen(false);
        break;
    case kLoop:
        if (cSequencer* sequencer = Sequencer())
        {
            // Applied on the audio thread, at the start of its next block.
            sequencer->PostEvent(MakeSetIntEvent(cSequencer::kParamLoopOn, gTransport.loopOn.load() == 0));
            MarkProjectModified();
        }
        break;
    case kClick: ChangeTransport([value](cSequencer&) { gTransport.metronomeMode = int32_t(value); }); break;
    case kUndo: ShowUndoAlert(); break;
    case kQuantize: ToggleRecordQuantize(value != 0); break;
    case kStop: OnStop(button->tapCount); break;
    case kPlay: ChangeTransport([](cSequencer& sequencer) { sequencer.Play(0); }); break;
    case kRecord:
        ChangeTransport(
            [](cSequencer& sequencer)
            {
                if (IsRecordingState(gTransport.state.load()))
                    sequencer.SetParamInt(cSequencer::kParamEraseKeys, gTransport.eraseKeys.load() == 0);
                else
                    sequencer.Record();
            });
        break;
    case kTempo: ToggleTempoPopup(); break;
    default: break;
    }
    return 0;
}

// With the loop on, one tap while stopped goes to the loop start and a double
// tap to the song start; the tap that stopped counts as the first for 0.3 s.
void cWidgetStatusBar::OnStop(int32_t tapCount)
{
    cSequencer* sequencer = Sequencer();
    if (!sequencer)
        return;
    cScopedLock lock(sequencer->GetLock());
    if (gTransport.state.load() != cTransport::kStopped)
    {
        sequencer->Stop();
        if (gSettings.stopSamples != 0 && cProjectList::GetInstance() &&
            cProjectList::GetInstance()->GetCurrentProject())
            StopAllInstruments(kAudioEventFlagTransportStop);
        mStopTapThreshold = kTapsToStartAfterStop;
        mStopTapTimer = kStopTapSeconds;
    }
    else if (gTransport.loopOn.load() == 0 || tapCount >= mStopTapThreshold)
    {
        sequencer->SetPosition(0);
        mStopTapThreshold = kTapsToStart;
        mStopTapTimer = 0.0f;
    }
    else
    {
        sequencer->SetPosition(gTransport.loopStart.load());
    }
}

void cWidgetStatusBar::ShowUndoAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!HasRecordSessionToUndo() || !ui)
        return;
    cWidgetAlert* alert = ui->GetAlert();
    alert->Reset(0x700);
    alert->SetName("Undo Real-Time Record");
    alert->firstLine.AssignCStr("Are you sure you want to undo the last record session?");
    alert->secondLine.AssignCStr("This operation cannot be redone.");
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetStatusBar::OnUndoAlert));
}

intptr_t cWidgetStatusBar::OnUndoAlert(intptr_t index)
{
    if (index != kAlertOK)
        return 0;
    // The session may have gone meanwhile; the buttons are cleared either way.
    if (cSequencer* sequencer = Sequencer())
        sequencer->UndoRecording();
    mButtons[kUndo]->value = 0;
    mButtons[kMenu]->value = 0;
    mMenu->SetOpen(false);
    return 0;
}

// The manual opens on a second's hold of the screen, except over a dialogue.
intptr_t cWidgetStatusBar::OnHelpHold(cWidgetStatusBarScreen*)
{
    if (mMode == kModeDialogue || mMode == kModeDialogueWithTransport)
        return 0;
    mButtons[kMenu]->value = 0;
    mMenu->SetOpen(false);
    cGenStringFixed<1024> address;
    GetManualPageURL(address);
    // A failed open is told by the application, with the address.
    sOpenURL(address.CStr());
    return 0;
}

// ------------------------------------------------------------------- keys

bool cWidgetStatusBar::HandleKey(const cKeyEvent* event)
{
    const bool transportShown = mMode == kModePage || mMode == kModeMenuOpen || mMode == kModeDialogueWithTransport;
    if (HasFlags(kWidgetTakesKeys) && transportShown && event->action == 1 && event->character < 0 &&
        HandleTransportKey(event->keyCode))
        return true;
    return cWidget::HandleKey(event);
}

bool cWidgetStatusBar::HandleTransportKey(int32_t keyCode)
{
    const bool control = gInputManager && (gInputManager->keyState[kKeyLeftControl] != 0 ||
                                           gInputManager->keyState[kKeyRightControl] != 0);
    switch (keyCode)
    {
    case kKeySpace:
        ChangeTransport(
            [control](cSequencer& sequencer)
            {
                const int32_t state = gTransport.state.load();
                if (control)
                {
                    if (state == cTransport::kStopped || state == cTransport::kPlaying ||
                        state == cTransport::kPlayCountIn)
                        sequencer.Record();
                    else
                        sequencer.Play(0);
                }
                else if (state == cTransport::kStopped)
                    sequencer.Play(0);
                else
                    sequencer.Stop();
            });
        return true;
    case kKeyHome: ChangeTransport([](cSequencer& sequencer) { sequencer.SetPosition(0); }); return true;
    case kKeyEnd:
        ChangeTransport([](cSequencer& sequencer)
                        { sequencer.SetPosition(sequencer.GetTrackList()->GetSongLength()); });
        return true;
    case kKeyPageUp:
        ChangeTransport([](cSequencer& sequencer) { sequencer.SetPosition(gTransport.loopStart.load()); });
        return true;
    case kKeyPageDown:
        ChangeTransport([](cSequencer& sequencer) { sequencer.SetPosition(gTransport.loopEnd.load()); });
        return true;
    default: return false;
    }
}
