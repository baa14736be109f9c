#include "instruments/synth/ui/WidgetBankPreset.h"

#include "audio/InstrumentPackageRegistry.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kSpinStyle = 16;
constexpr int32_t kHighestBank = cAnalogueSynthPresetStore::kBankCount - 1;
constexpr int32_t kHighestSlot = cAnalogueSynthPresetStore::kSlotCount - 1;
constexpr const char* kBankNames[cAnalogueSynthPresetStore::kBankCount] = {
    "Global A", "Global B", "Global C", "Global D", "Global E", "Global F", "Global G", "Project"};
constexpr float kRowGapStretch = 0.25f;

cWidgetSpinButton* MakeSpin(const char* name, int32_t highest)
{
    cWidgetSpinButton* spin = CreateSynthSpin(kSpinStyle);
    spin->SetName(name);
    spin->minimum = 0;
    spin->maximum = highest;
    return spin;
}
} // namespace

cWidgetBankPreset::cWidgetBankPreset()
{
    mBankSpin = MakeSpin("BANK", kHighestBank);
    mPresetSpin = MakeSpin("PRESET", kHighestSlot);
    // Its depth stays relative: at an absolute depth of 0 it would sit
    // behind the panel or dialogue that holds the chooser and not be seen.
    mPresetSpin->ModifyFlags(kWidgetNoRounding, 0, false);
    mBankSpin->valueDelegate.Bind(this, &cWidgetBankPreset::OnSpinChanged);
    mPresetSpin->valueDelegate.Bind(this, &cWidgetBankPreset::OnSpinChanged);
    AddChild(mBankSpin);
    AddChild(mPresetSpin);
    mColumn = BuildLayout(kAxisY, 1.0f);
    mRow = BuildLayout(kAxisX, kRowGapStretch);
    SetLayout(mColumn);
}

cWidgetBankPreset::~cWidgetBankPreset()
{
    // The layout not in use is ours; the widget deletes the other.
    delete (mSideBySide ? mColumn : mRow);
    mBankSpin->Release();
    mPresetSpin->Release();
}

cLayoutLinear* cWidgetBankPreset::BuildLayout(int32_t axis, float gapStretch)
{
    auto* layout = new cLayoutLinear(axis, 3);
    auto* bank = new cLayoutItemWidget(mBankSpin, kPolicyPref, kPolicyFixed);
    auto* gap = new cLayoutItemSpacer(kPolicyShrink, kPolicyShrink, {}, {});
    gap->stretch = {gapStretch, gapStretch};
    auto* preset = new cLayoutItemWidget(mPresetSpin, kPolicyPref, kPolicyFixed);
    layout->AddItem(bank);
    layout->AddItem(gap);
    layout->AddItem(preset);
    return layout;
}

void cWidgetBankPreset::SetPresetId(int32_t id)
{
    mBankSpin->SetValue(id >> 8);
    mPresetSpin->SetValue(id & 0xFF);
    mTextsDirty = true;
}

int32_t cWidgetBankPreset::GetPresetId() const { return mBankSpin->GetValue() << 8 | mPresetSpin->GetValue(); }

void cWidgetBankPreset::SetSideBySide(bool on)
{
    if (on == mSideBySide)
        return;
    mSideBySide = on;
    SetLayout(on ? mRow : mColumn);
    ModifyFlags(kWidgetLayoutDirty, 0, true);
}

void cWidgetBankPreset::SetDestinationLabels()
{
    mBankSpin->SetName("DESTINATION BANK");
    mPresetSpin->SetName("DESTINATION PRESET");
}

const char* cWidgetBankPreset::GetPresetName() const
{
    if (!mStore || (kind != kKindSingle && kind != kKindMulti))
        return "";
    return mStore->GetPresetName(kind, GetPresetId());
}

void cWidgetBankPreset::OnSpinChanged(int32_t, cWidget*)
{
    changedDelegate.Invoke(GetPresetId(), static_cast<cWidget*>(this));
    mTextsDirty = true;
}

void cWidgetBankPreset::OnStateChange()
{
    cInstrumentPackageRegistry* registry = cInstrumentPackageRegistry::GetInstance();
    auto* package = registry ? dynamic_cast<cAnalogueSynthPackage*>(registry->FindPackage("Kest")) : nullptr;
    mStore = package ? &package->GetStore() : nullptr;
    mTextsDirty = true;
}

bool cWidgetBankPreset::Draw(cDrawList&)
{
    if (!mTextsDirty)
        return false;
    mTextsDirty = false;
    cGenStringFixed<48> text;
    if (mStore)
        mStore->GetPresetText(text, GetPresetId(), kind);
    mPresetSpin->SetText(text.CStr());
    mBankSpin->SetText(kBankNames[mBankSpin->GetValue() & kHighestBank]);
    return false;
}
