#include "editors/SongRoll.h"

#include <algorithm>

#include "audio/AudioModule.h"
#include "base/Delegate.h"
#include "editors/PartPropertiesUI.h"
#include "editors/RollButton.h"
#include "editors/SongEditAction.h"
#include "editors/SongRollOwner.h"
#include "editors/SongRollSprites.h"
#include "editors/SongToolsPanelMIDIFile.h"
#include "editors/SongToolsUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/os/KeyTable.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/Material.h"
#include "render/Texture.h"
#include "sequencer/Sequencer.h"
#include "sequencer/TrackList.h"
#include "ui/InputManager.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr int32_t kMenuCapacity = 8;
constexpr int32_t kThreePatchAcrossNaturalHeight = 0x13;
constexpr int32_t kToolIcons[cSongRoll::kToolCount] = {kRollToolsIcon, kRollHistoryIcon, kRollZoomIcon,
                                                       kRollSelectIcon, kRollDrawIcon,    kRollDeleteIcon,
                                                       kRollCopyIcon,  kRollMoreIcon,    kRollEditIcon};

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }

void WaitForSequencerEvents()
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->WaitForEvents();
}
} // namespace

cSongRoll::cSongRoll(cSongRollOwner* owner)
    : mOwner(owner), mModel(owner ? owner->GetEditGeometryBatch() : nullptr), mBackground(new cMaterial(kBlendOff))
{
    SetName("SongRoll");
    mBackground->sampling = kSamplingLinearRepeat;
    if (cTexture* texture = cTexture::Load("Textures/SongRollBG.pvr", 0))
    {
        mBackground->SetTexture(texture);
        ReleaseTextureReference(texture);
    }
    const cAtlasSprite* handles[kHandleCount] = {Sprite(kSongRollMoveHandle), Sprite(kSongRollResizeHandle),
                                                 Sprite(kSongRollTrackMoveHandle)};
    for (int32_t i = 0; i < kHandleCount; ++i)
        mHandles[i].sprite = handles[i];
    BuildToolbar();
    BuildSideControls();
    BuildDialogues();
    RefreshToolbar();
}

cSongRoll::~cSongRoll()
{
    for (cWidgetTabbedProperties* dialogue : {static_cast<cWidgetTabbedProperties*>(mSongTools),
                                              static_cast<cWidgetTabbedProperties*>(mPartProperties)})
    {
        dialogue->resultDelegate.Clear();
        if (dialogue->IsShown())
            dialogue->Close();
        dialogue->Release();
    }
    delete mBackground;
}

// Made once and shown again and again; their results come back here.
void cSongRoll::BuildDialogues()
{
    mSongTools = new cSongToolsUI(this);
    mSongTools->resultDelegate.Bind(this, &cSongRoll::OnSongToolsClosed);
    mSongTools->GetClearPanel()->requestDelegate.Bind(this, &cSongRoll::OnClearRequest);
    mSongTools->GetMIDIFilePanel()->importedDelegate.Bind(this, &cSongRoll::OnSongToolsZoom);
    mPartProperties = new cPartPropertiesUI(&mModel);
    mPartProperties->resultDelegate.Bind(this, &cSongRoll::OnPartPropertiesClosed);
    // Above the toolbar buttons that open them.
    mSongTools->SetAnchor(mTools[kToolTools], kAttachAbove);
    mPartProperties->SetAnchor(mTools[kToolMore], kAttachAbove);
}

void cSongRoll::BuildToolbar()
{
    const cDelegate click(this, &cSongRoll::OnTool);
    struct
    {
        const char* name;
        int32_t mode;
        int32_t shortcut;
        bool character;
    } buttons[] = {
        {"Tools", kButtonCycle, 'T', true},     {"", 0, 0, false},       {"", 0, 0, false},
        {"", 0, 0, false},                      {"Draw", kButtonCycle, 'D', true},
        {"Delete", kButtonPush, kKeyDelete, false}, {"Copy", kButtonPush, 'C', true},
        {"", 0, 0, false},                      {"Edit", kButtonPush, kKeyEnter, false},
    };
    for (int32_t tool = 0; tool < kToolCount; ++tool)
    {
        if (tool == kToolHistory || tool == kToolZoom || tool == kToolSelect || tool == kToolMore)
            continue;
        cWidgetButton* button = CreateRollButton(buttons[tool].name, buttons[tool].mode, tool, click,
                                                 kRollButtonSkin, kRollButtonSkinLit);
        SetRollButtonIcon(button, kToolIcons[tool]);
        if (buttons[tool].character)
            button->SetCharShortcut(buttons[tool].shortcut);
        else
            button->SetKeyShortcut(buttons[tool].shortcut);
        AddChild(button);
        button->Release();
        mTools[tool] = button;
    }
    mTools[kToolHistory] = MakeMenu("History", kToolHistory, cSongEditModel::kHistorySteps + 1, 'H', kRollHistoryIcon);
    mTools[kToolZoom] = MakeMenu("Zoom", kToolZoom, 4, 'Z', kRollZoomIcon);
    mTools[kToolSelect] = MakeMenu("Select", kToolSelect, 6, 'S', kRollSelectIcon);
    mTools[kToolMore] = MakeMenu("More", kToolMore, 4, 'M', kRollMoreIcon);
    static const char* const kZoomItems[] = {"Loop", "Selection", "All", "Min"};
    static const char* const kSelectItems[] = {"All", "Inverse", "Track", "To End", "To Start", "Add To"};
    static const char* const kMoreItems[] = {"Properties", "Join", "Split", "Loop to Sel"};
    for (int32_t i = 0; i < 4; ++i)
        GetMenu(kToolZoom)->AddItem(kZoomItems[i], i, true);
    for (int32_t i = 0; i < 6; ++i)
        GetMenu(kToolSelect)->AddItem(kSelectItems[i], i, true);
    for (int32_t i = 0; i < 4; ++i)
        GetMenu(kToolMore)->AddItem(kMoreItems[i], i, true);
}

cWidgetComboBox* cSongRoll::MakeMenu(const char* name, int32_t tool, int32_t capacity, int32_t shortcut, int32_t icon)
{
    cWidgetComboBox* menu = CreateComboBox(name, std::max(capacity, kMenuCapacity), kComboOpensUpwards,
                                           cDelegate(this, &cSongRoll::OnMenu));
    // The toolbar's own look: the roll skin, the icon above the label.
    menu->background.SetSprites(Sprite(kRollButtonSkin), Sprite(kRollButtonSkin), nullptr);
    menu->litBackground.SetSprites(Sprite(kRollButtonSkinLit), Sprite(kRollButtonSkinLit), nullptr);
    menu->background.alignment = kThreePatchAcrossNaturalHeight;
    menu->litBackground.alignment = kThreePatchAcrossNaturalHeight;
    menu->minimumMenuWidth = 160.0f;
    SetRollButtonIcon(menu, icon);
    menu->labelStyle.colour = 0xffdcdcdc;
    menu->SetTag(tool);
    menu->SetCharShortcut(shortcut);
    AddChild(menu);
    menu->Release();
    return menu;
}

void cSongRoll::BuildSideControls()
{
    const cDelegate click(this, &cSongRoll::OnSideButton);
    struct
    {
        cWidgetButton** field;
        int32_t icon;
    } toggles[] = {
        {&mPanelToggle, kSongRollPanelIcon},
        {&mFollowToggle, kSongRollFollowIcon},
        {&mScrollModeToggle, kSongRollScrollModeIcon},
    };
    for (const auto& toggle : toggles)
    {
        // Icons only: a button's name is its label.
        cWidgetButton* button = CreateRollButton("", kButtonCycle, 0, click, kRollButtonSkin, kRollButtonSkinLit);
        button->icon.SetSprites(Sprite(toggle.icon), Sprite(toggle.icon), nullptr);
        button->litIcon.SetSprites(Sprite(toggle.icon), Sprite(toggle.icon), nullptr);
        AddChild(button);
        button->Release();
        *toggle.field = button;
    }
    mScrollModeToggle->SetCharShortcut('P');
    mHorizontalBar = CreateScrollBar(false, true);
    mVerticalBar = CreateScrollBar(true, true);
    for (cWidgetScrollBar* bar : {mHorizontalBar, mVerticalBar})
    {
        bar->windowMovedDelegate = cDelegate(this, &cSongRoll::OnScrollBar);
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
}

cWidgetComboBox* cSongRoll::GetMenu(int32_t tool) const
{
    if (tool == kToolHistory || tool == kToolZoom || tool == kToolSelect || tool == kToolMore)
        return static_cast<cWidgetComboBox*>(mTools[tool]);
    return nullptr;
}

bool cSongRoll::IsDrawToolOn() const { return mTools[kToolDraw]->value != 0; }
bool cSongRoll::IsFollowing() const { return mFollowToggle->value != 0; }
bool cSongRoll::IsScrollModeOn() const { return mScrollModeToggle->value != 0; }

int32_t cSongRoll::TrackCount() const { return mTracks ? mTracks->GetCount() : 0; }

// --- The page's and the main UI's calls ---

void cSongRoll::SetTrackList(cTrackList* tracks, bool resetView)
{
    WaitForSequencerEvents();
    mTracks = tracks;
    mModel.BindTracks(tracks);
    if (resetView)
    {
        mLowestRow = 0.0f;
        mTarget.rows = kMinimumRows;
        mTarget.top = 0.0f;
        mView.rows = kMinimumRows;
        mView.top = 0.0f;
        RecomputeRowLimits();
        UpdateScrollRanges();
        mModel.UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    }
    else
        RefreshToolbar();
    GetMenu(kToolHistory)->CancelInput();
}

void cSongRoll::Refresh()
{
    mModel.RefreshAllViews();
    RecomputeRowLimits();
    RefreshToolbar();
    GetMenu(kToolHistory)->CancelInput();
}

void cSongRoll::CommitPatternEdit(cPattern* edited, const cPattern* backup) { mModel.CommitPatternEdit(edited, backup); }

bool cSongRoll::AddInstrumentTrack(cInstrumentPackage* package, const char* name, int32_t slot)
{
    if (TrackCount() >= kMaxTracks)
        return false;
    mModel.AddInstrument(package, name, slot);
    RecomputeRowLimits();
    AfterCommand();
    return true;
}

void cSongRoll::ReplaceTrackInstrument(cInstrumentPackage* package, const char* name, int32_t slot)
{
    mModel.SwapInstrument(package, name, slot);
    AfterCommand();
}

bool cSongRoll::RemoveInstrumentTrack(int32_t slot)
{
    mModel.DeleteInstrument(slot);
    RecomputeRowLimits();
    AfterCommand();
    return true;
}

void cSongRoll::OnSongToolsClosed() { AfterCommand(); }

void cSongRoll::OnPartPropertiesClosed() { AfterCommand(); }

// --- Widget ---

void cSongRoll::OnStateChange()
{
    WaitForSequencerEvents();
    CloseMenus(nullptr);
    mTools[kToolDraw]->value = 0;
    mModel.HideInsertPreview();
    mModel.MarkPartsDirty();
    mMode = kIdle;
    RefreshToolbar();
}

void cSongRoll::CancelInput()
{
    mModel.HideInsertPreview();
    mMode = kIdle;
    mDownPoint = mLastPoint;
    mTouchId = -1;
    mSecondTouchId = -1;
}
