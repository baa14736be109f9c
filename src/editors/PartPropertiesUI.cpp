#include "editors/PartPropertiesUI.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/SongEditModel.h"
#include "platform/DisplayMetrics.h"
#include "render/DrawList.h"
#include "render/FontHandle.h"
#include "render/TextBatch.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/SequencerPresetPanel.h"
#include "ui/UIMetrics.h"
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
constexpr int32_t kSharedPatterns = 100;
constexpr uint32_t kTopByte = 0xff000000u;
constexpr uint32_t kBankBits = 0x00ff0000u;
constexpr uint32_t kPresetBits = 0x0000ffffu;

int32_t BarOf(int32_t ticks) { return int32_t(std::lround(double(ticks) / double(gTransport.ticksPerBar.load()))); }

cInstrument* InstrumentOf(const cPatternInstance* part)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    return slots && part->owner ? slots->GetInstrument(part->owner->GetChannel()) : nullptr;
}

cCriticalSection* SequencerLock()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer ? sequencer->GetLock() : nullptr;
}
} // namespace

cPatternInstance* cPartPropertiesPanel::SelectedPart() const
{
    const cSongEditModel* model = mDialogue->GetModel();
    if (model->GetSelectedCount() != 1)
        return nullptr;
    return model->GetSelection().GetFirst()->view->part;
}

// --- Pattern ---

cPartPropertiesPanelPattern::cPartPropertiesPanelPattern(cPartPropertiesUI* dialogue) : cPartPropertiesPanel(dialogue)
{
    SetName("Part properties");
    mConvert = CreateButton("Convert to part", kButtonPush, kWideSkin);
    mConvert->SetTag(0);
    mConvert->clickDelegate.Bind(this, &cPartPropertiesPanelPattern::OnConvert);
    mSpin = CreateSpinButton("Using Pattern:");
    mSpin->minimum = 1;
    mSpin->maximum = kSharedPatterns - 1;
    mSpin->valueDelegate.Bind(this, &cPartPropertiesPanelPattern::OnSpin);
    AddChild(mSpin);
    mSpin->Release();
    AddChild(mConvert);
    mConvert->Release();

    auto* column = new cLayoutLinear(kAxisY, 3);
    AddGapItem(column, 1.0f);
    auto* row = AddLayoutItem(column, new cLayoutLinear(kAxisX, 5), kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.3f);
    AddWidgetItem(row, mSpin, kPolicyPref, kPolicyPref)->stretch.X = 1.0f;
    AddGapItem(row, 0.3f);
    AddWidgetItem(row, mConvert, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.3f);
    AddGapItem(column, 1.0f);
    SetLayout(column);
}

cPartPropertiesPanelPattern::~cPartPropertiesPanelPattern() = default;

void cPartPropertiesPanelPattern::OnStateChange()
{
    const cPatternInstance* part = SelectedPart();
    if (!part)
        return;
    mPrivate = part->patternNumber >= kSharedPatterns;
    if (mPrivate)
        mSpin->CancelInput();
    mSpin->SetEnabled(!mPrivate);
    mConvert->SetName(mPrivate ? "Convert to pattern" : "Convert to part");
    ShowNumber(part->patternNumber);
}

void cPartPropertiesPanelPattern::ShowNumber(int32_t number)
{
    cGenStringFixed<8> text;
    if (number >= 0 && number < kSharedPatterns)
        text.Printf("%02d", int(number));
    else
        text.AssignCStr("--");
    mSpin->SetText(text.CStr());
    mSpin->SetValue(std::clamp(number, mSpin->minimum, mSpin->maximum));
}

void cPartPropertiesPanelPattern::OnSpin(int32_t value, cWidgetSpinButton*)
{
    ShowNumber(value);
    if (cPatternInstance* part = SelectedPart())
    {
        cSongEditModel* model = mDialogue->GetModel();
        model->SetPartPattern(model->FindView(part), value);
    }
    ModifyFlags(kWidgetStateDirty, 0, false);
}

intptr_t cPartPropertiesPanelPattern::OnConvert(intptr_t, cWidgetButton* button)
{
    if (button->GetTag() != 0 || !SelectedPart())
        return 0;
    cSongEditModel* model = mDialogue->GetModel();
    if (mPrivate)
        model->ConvertToPattern();
    else
        model->ConvertToPart();
    mDialogue->ModifyFlags(kWidgetStateDirty, 0, true);
    return 0;
}

void cPartPropertiesPanelPattern::DescribePattern(cGenString& text) const
{
    text.Truncate(0);
    const cPatternInstance* part = SelectedPart();
    if (!part || !part->pattern)
        return;
    const cPattern& pattern = *part->pattern;
    if (pattern.count == 0)
        text.AssignCStr("EMPTY");
    else if (part->patternNumber >= kSharedPatterns)
        text.Printf("%d events.", int(pattern.count));
    else if (pattern.loopLength < 1)
        text.Printf("%d events, repeat OFF.", int(pattern.count));
    else
        text.Printf("%d events, repeat every %d bars.", int(pattern.count),
                    int(pattern.loopLength / (gTransport.beatsPerBar.load() * cTransport::kTicksPerBeat)));
}

bool cPartPropertiesPanelPattern::Draw(cDrawList& list)
{
    cGenStringFixed<64> text;
    DescribePattern(text);
    if (text.Length() == 0)
        return false;
    const float size = GetTextSize(kTextSizeAlert);
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, size);
    const cRect& spin = mSpin->GetRect();
    list.GetTextBatch().DrawText(spin.xMin, spin.yMax + size, list.depth, font, kTextColour, text.CStr());
    return false;
}

// --- Preset ---

cPartPropertiesPanelPreset::~cPartPropertiesPanelPreset() { ReleasePresetWidget(); }

void cPartPropertiesPanelPreset::Refresh()
{
    ReleasePresetWidget();
    cScopedLockIfAny lock(SequencerLock());
    const cPatternInstance* part = SelectedPart();
    cInstrument* instrument = part ? InstrumentOf(part) : nullptr;
    if (!instrument)
        return;
    cWidget* widget = instrument->GetPresetWidget();
    mPresetWidget = dynamic_cast<cSequencerPresetPanel*>(widget);
    if (!mPresetWidget)
    {
        if (widget)
            widget->Release();
        return;
    }
    mPresetWidget->onDelegate.Bind(this, &cPartPropertiesPanelPreset::OnOn);
    mPresetWidget->bankDelegate.Bind(this, &cPartPropertiesPanelPreset::OnBank);
    mPresetWidget->presetDelegate.Bind(this, &cPartPropertiesPanelPreset::OnPreset);
    mPresetWidget->SetAnchors(kAnchorsFillParent, 3.0f, 6.0f, -4.0f, -4.0f);
    AddChild(mPresetWidget);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cPartPropertiesPanelPreset::ReleasePresetWidget()
{
    if (!mPresetWidget)
        return;
    RemoveChild(mPresetWidget);
    mPresetWidget->Release();
    mPresetWidget = nullptr;
}

void cPartPropertiesPanelPreset::OnStateChange()
{
    const cPatternInstance* part = SelectedPart();
    if (!mPresetWidget || !part)
        return;
    if (part->programWord > 0xffffffu)
    {
        mPresetWidget->SetValues(true, part->GetPresetKind(), part->GetPresetId());
        return;
    }
    // Off: the instrument's own bank and preset.
    cInstrument* instrument = InstrumentOf(part);
    cAudioModule* module = instrument ? instrument->GetModule() : nullptr;
    mPresetWidget->SetValues(false, module ? module->GetParamInt(0) : 0, module ? module->GetParamInt(1) : 0);
}

bool cPartPropertiesPanelPreset::Draw(cDrawList& list)
{
    if (mPresetWidget)
    {
        mPresetWidget->DrawTree(list);
        return true;
    }
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, GetTextSize(kTextSizeStandard));
    const cRect& rect = GetRect();
    list.GetTextBatch().DrawTextAligned(0.5f * (rect.xMin + rect.xMax), rect.yMin + 0.3f * (rect.yMax - rect.yMin),
                                        list.depth, font, kTextColour, kTextAlignCentreX,
                                        "The instrument on this track does not support presets");
    return true;
}

void cPartPropertiesPanelPreset::ChangeProgram(uint32_t keep, uint32_t set)
{
    {
        cScopedLockIfAny lock(SequencerLock());
        cPatternInstance* part = SelectedPart();
        if (!part)
            return;
        part->programWord = (part->programWord & keep) | set;
        if (part->owner && part->owner->GetCurrentPart() == part)
            part->owner->SendPartProgramChange(part);
    }
    // Kept in the song file, so a save must know.
    MarkProjectModified();
    mDialogue->ModifyFlags(kWidgetStateDirty, 0, true);
}

void cPartPropertiesPanelPreset::OnOn(bool on, cSequencerPresetPanel* widget)
{
    const cPatternInstance* part = SelectedPart();
    if (!part)
        return;
    if (!on)
    {
        ChangeProgram(~kTopByte, 0);
        return;
    }
    const uint32_t top = ((part->programWord >> 24) | 1u) << 24;
    ChangeProgram(0, top | (uint32_t(widget->GetBank()) & 0xffu) << 16 | (uint32_t(widget->GetPreset()) & kPresetBits));
}

void cPartPropertiesPanelPreset::OnBank(int32_t bank, cSequencerPresetPanel*)
{
    ChangeProgram(~kBankBits, (uint32_t(bank) & 0xffu) << 16);
}

void cPartPropertiesPanelPreset::OnPreset(int32_t preset, cSequencerPresetPanel*)
{
    ChangeProgram(~kPresetBits, uint32_t(preset) & kPresetBits);
}

// --- The dialogue ---

cPartPropertiesUI::cPartPropertiesUI(cSongEditModel* model)
    : cWidgetTabbedProperties(2), mModel(model), mPattern(new cPartPropertiesPanelPattern(this)),
      mPreset(new cPartPropertiesPanelPreset(this))
{
    SetName("Part properties");
    AddTab(kTabPattern, "Pattern", mPattern);
    AddTab(kTabPreset, "Preset", mPreset);
    GetTabView()->SelectPage(kTabPattern, true);
}

cPartPropertiesUI::~cPartPropertiesUI() = default;

void cPartPropertiesUI::Open()
{
    mPreset->Refresh();
    if (!IsShown())
    {
        ResetAnimation();
        cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
    }
    ModifyFlags(kWidgetAllDirty, 0, true);
    Show(-1);
}

void cPartPropertiesUI::Close()
{
    mPreset->ReleasePresetWidget();
    CancelInputRecursive(true);
    // Off the screen before the owner hears of it.
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
    cWidgetTabbedProperties::Close();
}

void cPartPropertiesUI::OnStateChange()
{
    const cSongEditModel::cSelectionNode* node = mModel->GetSelection().GetFirst();
    if (mModel->GetSelectedCount() != 1 || !node->view->part)
        return;
    const cPatternInstance* part = node->view->part;
    cGenStringFixed<48> title;
    title.Printf("Part (%03d - %03d) properties", int(BarOf(part->start) + 1), int(BarOf(part->GetEnd())));
    SetName(title.CStr());
}

void cPartPropertiesUI::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    const bool tablet = gDisplayMetrics.deviceClass == kDeviceClassTablet;
    *minimum = {0.0f, 0.0f};
    *preferred = tablet ? cVector2{600.0f, 300.0f} : cVector2{440.0f, 220.0f};
}
