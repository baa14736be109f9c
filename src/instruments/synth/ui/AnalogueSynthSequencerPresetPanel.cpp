#include "instruments/synth/ui/AnalogueSynthSequencerPresetPanel.h"

#include "instruments/synth/ui/WidgetBankPreset.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kEnableStyle = 17;
constexpr int32_t kEnableTag = 0;
constexpr float kSideStretch = 0.3f;

void MarkProjectModified()
{
    cProjectList* projects = cProjectList::GetInstance();
    if (cProject* project = projects ? projects->GetCurrentProject() : nullptr)
        project->SetModified(true);
}
} // namespace

cAnalogueSynthSequencerPresetPanel::cAnalogueSynthSequencerPresetPanel()
{
    mEnable = CreateButton("ENABLE", kButtonPush, kEnableStyle);
    mEnable->SetTag(kEnableTag);
    mEnable->clickDelegate.Bind(this, &cAnalogueSynthSequencerPresetPanel::OnEnableClicked);
    AddChild(mEnable);
    mChooser = new cWidgetBankPreset();
    mChooser->changedDelegate.Bind(this, &cAnalogueSynthSequencerPresetPanel::OnChooserChanged);
    AddChild(mChooser);

    auto* row = new cLayoutLinear(kAxisX, 3);
    AddGapItem(row, kSideStretch);
    auto* column = AddLayoutItem(row, new cLayoutLinear(kAxisY, 2), kPolicyPref, kPolicyPref);
    AddGapItem(row, kSideStretch);
    AddWidgetItem(column, mEnable, kPolicyPref, kPolicyFixed);
    AddWidgetItem(column, mChooser, kPolicyPref, kPolicyPref);
    SetLayout(row);
}

cAnalogueSynthSequencerPresetPanel::~cAnalogueSynthSequencerPresetPanel()
{
    mEnable->Release();
    mChooser->Release();
}

void cAnalogueSynthSequencerPresetPanel::OnLayout() {}

void cAnalogueSynthSequencerPresetPanel::OnEnableClicked(int32_t, cWidget* sender)
{
    MarkProjectModified();
    if (sender->GetTag() != kEnableTag)
        return;
    mOn = !mOn;
    onDelegate.Invoke(mOn, static_cast<cSequencerPresetPanel*>(this));
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cAnalogueSynthSequencerPresetPanel::OnChooserChanged(int32_t id, cWidget*)
{
    MarkProjectModified();
    mPreset = id;
    presetDelegate.Invoke(id, static_cast<cSequencerPresetPanel*>(this));
}

void cAnalogueSynthSequencerPresetPanel::OnStateChange()
{
    mEnable->value = mOn ? 1 : 0;
    if (mChooser->IsEnabled() != mOn)
    {
        mChooser->SetEnabled(mOn);
        mChooser->ModifyFlags(kWidgetStateDirty, 0, true);
    }
    mChooser->kind = mBank;
    mChooser->SetPresetId(mPreset);
}

bool cAnalogueSynthSequencerPresetPanel::Draw(cDrawList&) { return false; }
