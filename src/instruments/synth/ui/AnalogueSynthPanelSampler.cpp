#include "instruments/synth/ui/AnalogueSynthPanelSampler.h"

#include <algorithm>
#include <cstdio>

#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "base/CriticalSection.h"
#include "base/Delegate.h"
#include "base/PathUtils.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"
#include "instruments/synth/ui/WidgetLoopDirection.h"
#include "project/ProjectList.h"
#include "render/DrawList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kTransposeIndex = 0;
constexpr int32_t kPitchIndex = 1;
constexpr int32_t kLevelIndex = 2;
constexpr int32_t kDirectionIndex = 3;
constexpr int32_t kLoopIndex = 4;
constexpr int32_t kNoteSliceIndex = 5;
constexpr int32_t kHighestTranspose = 24;
constexpr int32_t kHighestPitch = 50;
constexpr int32_t kHighestNoteSlice = 64;
constexpr uint32_t kSpinStyle = 16;
constexpr uint32_t kLoopFlags = 0x60021;
constexpr uint32_t kRecordRed = 0xff4040ffu;
// Open a file, offer "Load Copy" into the project, let WAV files be heard.
constexpr uint32_t kBrowserFlags = 25;
const char* const kButtonLabels[] = {"LOAD", "REC", "EDIT"};

uint32_t SampleId(int32_t index) { return MakeSynthParamId(kSynthParamSingle, kSingleGroupSample, index); }

cCriticalSection* AudioLock()
{
    cAudioManager* manager = cAudioManager::Get();
    return manager ? manager->GetLock() : nullptr;
}

bool HasProject()
{
    cProjectList* projects = cProjectList::GetInstance();
    return projects && projects->GetCurrentProject();
}

void ShowNumber(cWidgetSpinButton* spin, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    spin->SetText(text);
    spin->SetValue(value);
}

cWidgetSpinButton* MakeSpin(const char* label, int32_t minimum, int32_t maximum, uint32_t id)
{
    cWidgetSpinButton* spin = CreateSynthSpin(kSpinStyle);
    spin->SetName(label);
    spin->minimum = minimum;
    spin->maximum = maximum;
    spin->SetTag(int32_t(id));
    return spin;
}

// A column with a small margin, so the box drawn behind it frames it.
cLayoutLinear* BoxColumn()
{
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->margins[0].value = column->margins[2].value = MillimetresToPixels(1.0f);
    column->margins[1].value = MillimetresToPixels(2.0f);
    return column;
}
} // namespace

cAnalogueSynthPanelSampler::cAnalogueSynthPanelSampler(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    for (int32_t i = 0; i < 3; ++i)
    {
        mButtons[i] = CreateSynthButton(kButtonPush, 0);
        mButtons[i]->SetName(kButtonLabels[i]);
        mButtons[i]->SetTag(i);
        mButtons[i]->clickDelegate.Bind(this, &cAnalogueSynthPanelSampler::OnButtonClicked);
        mButtons[i]->ModifyFlags(kWidgetDisabledImages | kWidgetDisabledLabel, 0, false);
    }
    mButtons[kRecord]->labelStyle.colour = kRecordRed;
    SetTouchMargins(mButtons[kRecord], 15.0f, 15.0f, 4.0f, 15.0f);
    SetTouchMargins(mButtons[kEdit], 4.0f, 15.0f, 15.0f, 15.0f);
    mName = CreateSynthValueLabel();
    mTranspose = MakeSpin("TRANSPOSE", -kHighestTranspose, kHighestTranspose, SampleId(kTransposeIndex));
    mTranspose->valueDelegate.Bind(this, &cAnalogueSynthPanelSampler::OnTransposeChanged);
    mPitch = MakeSpin("PITCH", -kHighestPitch, kHighestPitch, SampleId(kPitchIndex));
    mPitch->valueDelegate.Bind(this, &cAnalogueSynthPanelSampler::OnPitchChanged);
    mNoteSlice = MakeSpin("NOTE SLICE", 0, kHighestNoteSlice, SampleId(kNoteSliceIndex));
    mNoteSlice->valueDelegate.Bind(this, &cAnalogueSynthPanelSampler::OnNoteSliceChanged);
    mLevel = CreateSynthKnob("LEVEL", 0);
    mLevel->SetTag(int32_t(SampleId(kLevelIndex)));
    mLevel->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mDirection = CreateSynthLoopDirection();
    mDirection->SetName("DIRECTION");
    mDirection->SetTag(int32_t(SampleId(kDirectionIndex)));
    mDirection->clickDelegate.Bind(this, &cAnalogueSynthPanel::OnIntChanged);
    mLoop = CreateSynthLEDButton(1, kLoopFlags);
    mLoop->SetName("LOOP");
    mLoop->SetTag(int32_t(SampleId(kLoopIndex)));
    mLoop->clickDelegate.Bind(this, &cAnalogueSynthPanel::OnIntChanged);
    for (cWidgetButton* button : mButtons)
        AddChild(button);
    for (cWidget* child : {static_cast<cWidget*>(mName), static_cast<cWidget*>(mTranspose),
                           static_cast<cWidget*>(mPitch), static_cast<cWidget*>(mNoteSlice),
                           static_cast<cWidget*>(mLevel), static_cast<cWidget*>(mDirection),
                           static_cast<cWidget*>(mLoop)})
        AddChild(child);
    BuildLayout();
}

cAnalogueSynthPanelSampler::~cAnalogueSynthPanelSampler()
{
    for (cWidgetButton* button : mButtons)
        button->Release();
    mName->Release();
    mTranspose->Release();
    mPitch->Release();
    mNoteSlice->Release();
    mLevel->Release();
    mDirection->Release();
    mLoop->Release();
}

void cAnalogueSynthPanelSampler::BuildLayout()
{
    auto* top = new cLayoutLinear(kAxisX, 7);
    AddWidgetItem(top, mButtons[kLoad], kPolicyFixed, kPolicyPref);
    AddGapItem(top, 1.0f);
    AddWidgetItem(top, mName, kPolicyExpand, kPolicyPref);
    AddGapItem(top, 1.0f);
    AddWidgetItem(top, mButtons[kRecord], kPolicyFixed, kPolicyPref);
    AddGapItem(top, 1.0f);
    AddWidgetItem(top, mButtons[kEdit], kPolicyFixed, kPolicyPref);

    mColumns[0] = BoxColumn();
    AddWidgetItem(mColumns[0], mTranspose, kPolicyPref, kPolicyPref);
    AddGapItem(mColumns[0], 0.2f);
    AddWidgetItem(mColumns[0], mPitch, kPolicyPref, kPolicyPref);
    mColumns[1] = BoxColumn();
    auto* loopRow = new cLayoutLinear(kAxisX, 2);
    AddWidgetItem(loopRow, mLoop, kPolicyPref, kPolicyPref);
    AddWidgetItem(loopRow, mDirection, kPolicyPref, kPolicyPref);
    AddLayoutItem(mColumns[1], loopRow, kPolicyPref, kPolicyPref);
    AddGapItem(mColumns[1], 0.2f);
    AddWidgetItem(mColumns[1], mNoteSlice, kPolicyPref, kPolicyPref);
    auto* levelColumn = new cLayoutLinear(kAxisY, 1);
    AddWidgetItem(levelColumn, mLevel, kPolicyFixed, kPolicyPref);

    auto* main = new cLayoutLinear(kAxisX, 5);
    AddLayoutItem(main, mColumns[0], kPolicyPref, kPolicyPref);
    AddGapItem(main, 0.2f);
    AddLayoutItem(main, mColumns[1], kPolicyPref, kPolicyPref);
    AddGapItem(main, 0.1f);
    AddLayoutItem(main, levelColumn, kPolicyPref, kPolicyPref);

    auto* panel = new cLayoutLinear(kAxisY, 3);
    panel->margins[1].value = MillimetresToPixels(1.5f);
    panel->margins[3].value = 1.0f;
    AddLayoutItem(panel, top, kPolicyExpand, kPolicyPref);
    AddGapItem(panel, 0.2f);
    AddLayoutItem(panel, main, kPolicyExpand, kPolicyPref);
    SetLayout(panel);
}

void cAnalogueSynthPanelSampler::OnTransposeChanged(int32_t value, cWidget* sender)
{
    ShowNumber(mTranspose, value);
    OnIntChanged(std::clamp(value, -kHighestTranspose, kHighestTranspose), sender);
}

void cAnalogueSynthPanelSampler::OnPitchChanged(int32_t value, cWidget* sender)
{
    ShowNumber(mPitch, value);
    OnIntChanged(std::clamp(value, -kHighestPitch, kHighestPitch), sender);
}

void cAnalogueSynthPanelSampler::OnNoteSliceChanged(int32_t value, cWidget* sender)
{
    ShowNumber(mNoteSlice, value);
    if (value == 0)
        mNoteSlice->SetText("OFF");
    OnIntChanged(std::clamp(value, 0, kHighestNoteSlice), sender);
}

bool cAnalogueSynthPanelSampler::IsSampleLoading() const
{
    cAnalogueSynth* module = GetModule();
    return module && (module->GetSampleManager().IsLoadQueued() || module->GetPreviewSampleManager().IsLoadQueued());
}

void cAnalogueSynthPanelSampler::OnButtonClicked(int32_t, cWidget* sender)
{
    const int32_t operation = sender->GetTag();
    if (IsSampleLoading())
        mDeferred = operation;
    else
        Carry(operation);
}

void cAnalogueSynthPanelSampler::Carry(int32_t operation)
{
    WaitForModule();
    if (operation == kLoad)
        StartLoad();
    else if (GetAnalogueSynthUIHost().HasSampler())
        StartSampler(operation);
}

void cAnalogueSynthPanelSampler::StartLoad()
{
    if (!HasProject())
        return;
    cSynthBrowserRequest request;
    request.title = "Load Sample";
    request.rootFolder = "User";
    request.path.AssignCStr(mSamplePath.IsEmpty() ? GetAnalogueSynthUIHost().GetLastFolder() : mSamplePath.CStr());
    request.fileType = "wav";
    request.fileIcon = SynthSprite(kSynthSampleIcon);
    request.flags = kBrowserFlags;
    if (GetAnalogueSynthUIHost().ShowFileBrowser(request,
                                                 cDelegate(this, &cAnalogueSynthPanelSampler::OnLoadCompleted)))
        mPending = kLoad;
}

void cAnalogueSynthPanelSampler::StartSampler(int32_t operation)
{
    cAnalogueSynth* module = GetModule();
    cSample* current = module ? module->GetSampleManager().GetSample(0) : nullptr;
    // The program drives no record input, so the sampler is never offered one.
    GetAnalogueSynthUIHost().ShowSampler(operation == kEdit ? current : nullptr, false,
                                         cDelegate(this, &cAnalogueSynthPanelSampler::OnSamplerCompleted));
    mPending = operation;
}

void cAnalogueSynthPanelSampler::InstallSample(const char* path)
{
    cAnalogueSynth* module = GetModule();
    if (!module)
        return;
    cGenStringFixed<260> chosen(path);
    {
        cScopedLockIfAny lock(AudioLock());
        module->SetSamplePath(chosen);
    }
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cAnalogueSynthPanelSampler::OnLoadCompleted(int32_t result, const char* path)
{
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
    if (mPending == kLoad && result == 1 && path)
    {
        InstallSample(path);
        GetAnalogueSynthUIHost().SetLastFolder(path);
    }
    mPending = kNone;
}

void cAnalogueSynthPanelSampler::OnSamplerCompleted(int32_t result, cSample* sample)
{
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
    if (sample && result == 1 && (mPending == kRecord || mPending == kEdit))
        InstallSample(sample->GetPath());
    mPending = kNone;
}

void cAnalogueSynthPanelSampler::OnStateChange()
{
    mPending = kNone;
    WaitForModule();
    ShowNumber(mTranspose, ReadParamInt(SampleId(kTransposeIndex)));
    ShowNumber(mPitch, ReadParamInt(SampleId(kPitchIndex)));
    ShowNumber(mNoteSlice, ReadParamInt(SampleId(kNoteSliceIndex)));
    if (mNoteSlice->GetValue() == 0)
        mNoteSlice->SetText("OFF");
    mLoop->value = ReadParamInt(SampleId(kLoopIndex));
    mDirection->value = std::clamp(ReadParamInt(SampleId(kDirectionIndex)), 0, cWidgetLoopDirection::kDirectionCount - 1);
    mLevel->SetValue(ReadParamFloat(SampleId(kLevelIndex)));
    if (cAnalogueSynth* module = GetModule())
    {
        cScopedLockIfAny lock(AudioLock());
        mSamplePath.Assign(module->GetCurrentSamplePath());
    }
    else
        mSamplePath.AssignCStr("");
    ShowName();
    UpdateButtons();
}

void cAnalogueSynthPanelSampler::ShowName()
{
    cGenStringFixed<260> name(mSamplePath.CStr());
    PathStripToFileName(name);
    PathRemoveExtension(name);
    if (mName->GetFlags() & kWidgetRectDirty)
        mName->UpdateRect();
    const cRect& rect = mName->GetRect();
    mName->textStyle.font.TruncateEnd(name, rect.xMax - rect.xMin - kLabelInset);
    mName->SetText(name.CStr());
}

// While a sample loads no button takes a click; EDIT needs a sample, REC
// and EDIT a sampler page.
void cAnalogueSynthPanelSampler::UpdateButtons()
{
    cAnalogueSynth* module = GetModule();
    const bool idle = !IsSampleLoading();
    const bool sampler = GetAnalogueSynthUIHost().HasSampler();
    const bool hasSample = module && module->GetSampleManager().GetSample(0) != nullptr;
    const bool enabled[3] = {idle, idle && sampler, idle && sampler && hasSample};
    for (int32_t i = 0; i < 3; ++i)
        if (mButtons[i]->IsEnabled() != enabled[i])
            mButtons[i]->SetEnabled(enabled[i]);
}

bool cAnalogueSynthPanelSampler::Draw(cDrawList& list)
{
    if (mDeferred != kNone && !IsSampleLoading())
    {
        const int32_t operation = mDeferred;
        mDeferred = kNone;
        Carry(operation);
    }
    UpdateButtons();
    if (GetFlags() & kWidgetRectDirty)
        UpdateRect();
    for (cLayoutLinear* column : mColumns)
        list.DrawNinePatch(column->GetRect(), SynthSprite(kSynthStripBox), nullptr, SynthColour::kWhite, true);
    return false;
}
