#include "editors/SongToolsUI.h"

#include <algorithm>
#include <cmath>

#include "audio/Transport.h"
#include "base/GenString.h"
#include "base/ProjectModified.h"
#include "editors/EditorHost.h"
#include "editors/SongSettingsUI.h"
#include "editors/SongToolsPanelMIDIFile.h"
#include "render/DrawList.h"
#include "render/FontHandle.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

namespace
{
constexpr uint32_t kTextColour = 0xff1e1e1e;
constexpr uint32_t kWideSkin = 37;
constexpr int32_t kQuietestMetronome = 25; // percent
constexpr int32_t kLoudestMetronome = 100;
constexpr int32_t kMostCountInBars = 4;

struct cClearKind
{
    const char* name;
    const char* description;
    const char* title;
};
constexpr cClearKind kClearKinds[] = {
    {"Song", "Erases the song and all patterns.", "Clear Song"},
    {"Patterns", "Erases any patterns not in use by the song.", "Clear Unused Patterns"},
};

// Two controls in a row, centred top to bottom, inside the panels' margins.
cLayoutLinear* TwoControlRow(cWidget* first, float firstStretch, cWidget* second)
{
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->margins[0].value = 30.0f;
    column->margins[1].value = 20.0f;
    column->margins[2].value = 20.0f;
    column->margins[3].value = 20.0f;
    AddGapItem(column, 1.0f);
    auto* row = AddLayoutItem(column, new cLayoutLinear(kAxisX, 3), kPolicyPref, kPolicyPref);
    AddWidgetItem(row, first, kPolicyPref, kPolicyPref)->stretch.X = firstStretch;
    AddGapItem(row, 0.5f);
    AddWidgetItem(row, second, kPolicyPref, kPolicyPref);
    AddGapItem(column, 1.0f);
    return column;
}

void Adopt(cWidget* parent, cWidget* child)
{
    parent->AddChild(child);
    child->Release();
}
} // namespace

// --- Tempo ---

cSongToolsPanelTempo::cSongToolsPanelTempo(cSongToolsUI* dialogue)
    : cSongToolsPanel(dialogue), mSettings(new cSongSettingsUI())
{
    Adopt(this, mSettings);
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->margins[0].value = 30.0f;
    column->margins[1].value = 20.0f;
    column->margins[2].value = 20.0f;
    column->margins[3].value = 20.0f;
    AddGapItem(column, 0.3f);
    AddWidgetItem(column, mSettings, kPolicyPref, kPolicyPref)->stretch = {1.0f, 1.0f};
    AddGapItem(column, 0.3f);
    SetLayout(column);
}

// --- Clear ---

cSongToolsPanelClear::cSongToolsPanelClear(cSongToolsUI* dialogue) : cSongToolsPanel(dialogue)
{
    mSpin = CreateSpinButton("");
    mSpin->minimum = kClearSong;
    mSpin->maximum = kClearPatterns;
    mSpin->valueDelegate.Bind(this, &cSongToolsPanelClear::OnSpin);
    mClear = CreateButton("Clear", kButtonPush, kWideSkin);
    mClear->clickDelegate.Bind(this, &cSongToolsPanelClear::OnClear);
    Adopt(this, mSpin);
    Adopt(this, mClear);
    SetLayout(TwoControlRow(mSpin, 2.0f, mClear));
}

const char* cSongToolsPanelClear::GetDescription(int32_t kind)
{
    return kClearKinds[std::clamp(kind, int32_t(kClearSong), int32_t(kClearPatterns))].description;
}

void cSongToolsPanelClear::OnStateChange() { ShowKind(kClearSong); }

void cSongToolsPanelClear::ShowKind(int32_t kind)
{
    mKind = std::clamp(kind, int32_t(kClearSong), int32_t(kClearPatterns));
    mSpin->SetText(kClearKinds[mKind].name);
    mSpin->SetValue(mKind);
}

void cSongToolsPanelClear::OnSpin(int32_t value, cWidgetSpinButton*) { ShowKind(value); }

intptr_t cSongToolsPanelClear::OnClear(intptr_t, cWidgetButton*)
{
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!alert)
        return 0;
    alert->Reset(kAlertCancelRightmost | kAlertIconOnNo | kAlertIconOnOK);
    alert->SetName(kClearKinds[mKind].title);
    alert->firstLine.AssignCStr("This operation cannot be undone.");
    alert->secondLine.AssignCStr("Are you sure?");
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cSongToolsPanelClear::OnAlert));
    return 0;
}

intptr_t cSongToolsPanelClear::OnAlert(int32_t button, cWidget*)
{
    if (button == kAlertOK)
        requestDelegate.Invoke(mKind, int32_t(kAlertOK));
    return 0;
}

bool cSongToolsPanelClear::Draw(cDrawList& list)
{
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, GetTextSize(kTextSizeStandard));
    const cRect& panel = GetRect();
    const cRect& spin = mSpin->GetRect();
    list.GetTextBatch().DrawTextAligned(spin.xMin, 0.5f * (panel.yMin + spin.yMin), list.depth, font, kTextColour,
                                        kTextAlignLeft | kTextAlignCentreY, GetDescription(mKind));
    return false;
}

// --- Preferences ---

cSongToolsPanelPreferences::cSongToolsPanelPreferences(cSongToolsUI* dialogue) : cSongToolsPanel(dialogue)
{
    mMetronome = CreateSpinButton("Metronome volume");
    mMetronome->minimum = kQuietestMetronome;
    mMetronome->maximum = kLoudestMetronome;
    mMetronome->valueDelegate.Bind(this, &cSongToolsPanelPreferences::OnMetronome);
    mCountIn = CreateSpinButton("Record count in");
    mCountIn->minimum = 0;
    mCountIn->maximum = kMostCountInBars;
    mCountIn->valueDelegate.Bind(this, &cSongToolsPanelPreferences::OnCountIn);
    Adopt(this, mMetronome);
    Adopt(this, mCountIn);
    SetLayout(TwoControlRow(mMetronome, 1.0f, mCountIn));
}

void cSongToolsPanelPreferences::OnStateChange()
{
    ShowMetronome(int32_t(std::lround(gTransport.metronomeLevel.load() * 100.0f)));
    ShowCountIn(gTransport.countInBars.load());
}

void cSongToolsPanelPreferences::ShowMetronome(int32_t percent)
{
    cGenStringFixed<8> text;
    text.Printf("%d", int(percent));
    mMetronome->SetText(text.CStr());
    mMetronome->SetValue(percent);
}

void cSongToolsPanelPreferences::ShowCountIn(int32_t bars)
{
    cGenStringFixed<16> text;
    if (bars == 0)
        text.AssignCStr("None");
    else if (bars == 1)
        text.AssignCStr("1 Bar");
    else
        text.Printf("%d Bars", int(bars));
    mCountIn->SetText(text.CStr());
    mCountIn->SetValue(bars);
}

// Both are kept in the song file, so each change marks the project.
void cSongToolsPanelPreferences::SetMetronome(int32_t percent)
{
    gTransport.metronomeLevel = std::clamp(float(percent) * 0.01f, 0.25f, 1.0f);
    ShowMetronome(percent);
    MarkProjectModified();
}

void cSongToolsPanelPreferences::SetCountIn(int32_t bars)
{
    const int32_t kept = std::clamp(bars, 0, kMostCountInBars);
    gTransport.countInBars = kept;
    ShowCountIn(kept);
    MarkProjectModified();
}

// --- The dialogue ---

cSongToolsUI::cSongToolsUI(cSongRoll* roll)
    : cWidgetTabbedProperties(4), mRoll(roll), mTempo(new cSongToolsPanelTempo(this)),
      mPreferences(new cSongToolsPanelPreferences(this)), mClear(new cSongToolsPanelClear(this)),
      mMIDIFile(new cSongToolsPanelMIDIFile(this))
{
    SetName("Song Tools");
    AddTab(kTabTempo, "Tempo", mTempo);
    AddTab(kTabClear, "Clear", mClear);
    AddTab(kTabPreferences, "Preferences", mPreferences);
    AddTab(kTabMIDIFile, "MIDI File", mMIDIFile);
    GetTabView()->SelectPage(kTabTempo, true);
}

cSongToolsUI::~cSongToolsUI() = default;

void cSongToolsUI::Open(cTrackList* tracks)
{
    mTracks = tracks;
    if (!IsShown())
    {
        ResetAnimation();
        cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
    }
    ModifyFlags(kWidgetAllDirty, 0, true);
    Show(-1);
}

void cSongToolsUI::Close()
{
    CancelInputRecursive(true);
    // Off the screen before the owner hears of it.
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
    cWidgetTabbedProperties::Close();
}

void cSongToolsUI::OnStateChange()
{
    if (GetTabView()->GetSelectedPage() != kTabTempo)
        GetTabView()->SelectPage(kTabTempo, false);
}
