#include "instruments/synth/ui/AnalogueSynthPresetWrite.h"

#include "audio/AudioEvent.h"
#include "base/UTF8.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/PresetName.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "ui/KeyboardRequest.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

namespace
{
// No dim: the dialogue is drawn inside the editor's pass, and a dim drawn
// there would blacken what the editor draws after it.
constexpr int32_t kStyle = kDialogueCloseButton;
constexpr int32_t kButtonStyle = 3;
constexpr int32_t kNoticeStyle = kAlertIconOnNo | kAlertIconOnOK;
constexpr char kBankLetters[] = "ABCDEFGP";
constexpr int32_t kConfirmed = 2;
constexpr const char* kButtonNames[2] = {"RENAME", "WRITE"};
constexpr float kMargin = 5.0f;
constexpr float kTopMargin = 10.0f;
constexpr float kGapStretch = 0.3f;
// Room for a lamp button's caption above it.
constexpr float kButtonGap = 20.0f;

void MarkProjectModified()
{
    cProjectList* projects = cProjectList::GetInstance();
    if (cProject* project = projects ? projects->GetCurrentProject() : nullptr)
        project->SetModified(true);
}
} // namespace

cAnalogueSynthPresetWrite::cAnalogueSynthPresetWrite(cAnalogueSynthUI* owner) : cWidgetDialogue(kStyle), mOwner(owner)
{
    ModifyFlags(kWidgetNoAutoLayout, 0, false);
    mChooser = new cWidgetBankPreset();
    mChooser->SetDestinationLabels();
    AddChild(mChooser);
    for (int32_t tag = kRename; tag <= kWrite; ++tag)
    {
        cWidgetButton* button = CreateSynthButton(kButtonPush, kButtonStyle);
        button->SetName(kButtonNames[tag]);
        button->SetTag(tag);
        button->clickDelegate.Bind(this, &cAnalogueSynthPresetWrite::OnButton);
        AddChild(button);
        mButtons[tag] = button;
    }
    mButtons[kWrite]->litBackground.state = kImageBlinking;

    auto* column = new cLayoutLinear(kAxisY, 3);
    column->margins[0] = {kMargin, kUnitPixels};
    column->margins[1] = {kTopMargin, kUnitPixels};
    column->margins[2] = {kMargin, kUnitPixels};
    column->margins[3] = {kMargin, kUnitPixels};
    AddGapItem(column, kGapStretch);
    auto* row = AddLayoutItem(column, new cLayoutLinear(kAxisX, 3), kPolicyExpand, kPolicyExpand);
    AddGapItem(column, kGapStretch);
    AddWidgetItem(row, mChooser, kPolicyExpand, kPolicyExpand);
    AddGapItem(row, 0.1f, kButtonGap);
    auto* buttons = AddLayoutItem(row, new cLayoutLinear(kAxisY, 2), kPolicyFixed, kPolicyFixed);
    buttons->itemSpacing = kButtonGap;
    AddWidgetItem(buttons, mButtons[kRename], kPolicyFixed, kPolicyFixed);
    AddWidgetItem(buttons, mButtons[kWrite], kPolicyFixed, kPolicyFixed);
    SetLayout(column);
    SetVisible(false);
}

cAnalogueSynthPresetWrite::~cAnalogueSynthPresetWrite()
{
    mChooser->Release();
    mButtons[0]->Release();
    mButtons[1]->Release();
}

cAnalogueSynth* cAnalogueSynthPresetWrite::GetModule() const
{
    cAnalogueSynthInstrument* instrument = mOwner ? mOwner->GetInstrument() : nullptr;
    return instrument ? instrument->GetSynth() : nullptr;
}

cAnalogueSynthPackage* cAnalogueSynthPresetWrite::GetPackage() const
{
    cAnalogueSynthInstrument* instrument = mOwner ? mOwner->GetInstrument() : nullptr;
    return instrument ? static_cast<cAnalogueSynthPackage*>(instrument->GetPackage()) : nullptr;
}

void cAnalogueSynthPresetWrite::OnLayout()
{
    cWidgetDialogue::OnLayout();
    SetLayoutRect(GetContentRect());
}

void cAnalogueSynthPresetWrite::OnStateChange()
{
    ResetAnimation();
    cAnalogueSynth* module = GetModule();
    if (!module)
        return;
    module->WaitForEvents();
    mMode = module->GetParamInt(MakeSynthParamId(kSynthParamMode));
    mPresetId = module->GetParamInt(MakeSynthParamId(kSynthParamPreset));
    mChooser->kind = mMode;
    mChooser->SetPresetId(mPresetId);
    cAnalogueSynthPackage* package = GetPackage();
    const bool named = package && (mMode == cAnalogueSynth::kModeSingle || mMode == cAnalogueSynth::kModeMulti);
    mName.AssignCStr(named ? package->GetStore().GetPresetName(mMode, mPresetId) : "");
    UpdateTitle();
    mButtons[kWrite]->value = 1;
}

// The preset as the chooser and the status bar write it ("A01.Saw Bass").
void cAnalogueSynthPresetWrite::UpdateTitle()
{
    cGenStringFixed<80> title;
    title.Printf("Write '%c%02d. %s'", kBankLetters[(mPresetId >> 8) & 7], mPresetId & 63, mName.CStr());
    SetName(title.CStr());
}

void cAnalogueSynthPresetWrite::OnButton(int32_t, cWidget* sender)
{
    if (sender->GetTag() == kRename)
        Rename();
    else if (sender->GetTag() == kWrite)
        Write();
}

void cAnalogueSynthPresetWrite::Rename()
{
    cKeyboardRequest request;
    request.maxLength = kNameCharacters;
    request.selectAll = 1;
    request.fileNameMode = 0;
    request.title.Printf("Rename Preset '%s'", mName.CStr());
    request.text.AssignCStr(mName.CStr());
    GetAnalogueSynthUIHost().PromptName(request, cDelegate(this, &cAnalogueSynthPresetWrite::OnRenamed));
}

void cAnalogueSynthPresetWrite::OnRenamed(int32_t result, const char* text)
{
    if (result != kConfirmed || !text)
        return;
    mName.AssignCStr(text);
    UpdateTitle();
}

bool cAnalogueSynthPresetWrite::PostWrite(cAnalogueSynth& module, int32_t id)
{
    const cAudioEvent event = MakeSetIntEvent(MakeSynthParamId(kSynthParamWritePreset), id);
    if (module.PostEvent(event))
        return true;
    module.WaitForEvents();
    return module.PostEvent(event);
}

void cAnalogueSynthPresetWrite::Write()
{
    cAnalogueSynth* module = GetModule();
    if (!module)
        return;
    MarkProjectModified();
    // A name is kept in 23 bytes; a cut inside a character would store
    // text that is not UTF-8.
    cGenStringFixed<kPresetNameSize> name;
    name.AssignChars(mName.CStr(), UTF8PrefixWithin(mName.CStr(), kPresetNameSize - 1));
    module->SetPresetName(name.CStr());
    const int32_t destination = mChooser->GetPresetId();
    if (!PostWrite(*module, destination))
    {
        // Closing now would lose the user's sound without a word.
        if (cStatusBarHost* host = GetStatusBarHost())
            host->ShowStatusMessage("The synthesizer is busy: press WRITE again");
        return;
    }
    // A global bank is the user's library, kept apart from any project: its
    // file is written as soon as the module has stored the preset. The
    // project bank is saved with the project that uses it.
    const int32_t bank = (destination >> 8) & 7;
    if (bank < cAnalogueSynthPresetStore::kGlobalBankCount)
        mUnsavedBank = bank;
    module->WaitForEvents();
    SaveWrittenBank();
    Close();
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
}

// Only once the module's ring is empty has the audio thread stored the
// preset; until then the store still holds the bank as it was.
void cAnalogueSynthPresetWrite::SaveWrittenBank()
{
    cAnalogueSynth* module = GetModule();
    if (mUnsavedBank < 0 || (module && module->HasPendingEvents()))
        return;
    const int32_t bank = mUnsavedBank;
    mUnsavedBank = -1;
    cAnalogueSynthPackage* package = GetPackage();
    if (package && !package->SaveGlobalBank(bank))
        ReportBankNotSaved(bank);
}

void cAnalogueSynthPresetWrite::ReportBankNotSaved(int32_t bank)
{
    cWidgetAlert* alert = GetAnalogueSynthUIHost().GetAlert();
    if (!alert)
        return;
    cGenStringFixed<64> path;
    cAnalogueSynthPackage::GetGlobalBankPath(bank, path);
    alert->Reset(kNoticeStyle);
    alert->SetName("Preset Not Saved");
    alert->firstLine.Printf("Couldn't write '%s.bnk'.", path.CStr());
    alert->secondLine.AssignCStr("It is written again with the next project save.");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

void cAnalogueSynthPresetWrite::Close()
{
    if (IsVisible())
        SetVisible(false);
}

void cAnalogueSynthPresetWrite::OnDismiss(int32_t) { Close(); }
