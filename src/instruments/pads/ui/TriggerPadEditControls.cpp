#include "instruments/pads/ui/TriggerPadEditControls.h"

#include <cmath>

#include "audio/Instrument.h"
#include "audio/Sample.h"
#include "audio/Transport.h"
#include "base/PathUtils.h"
#include "base/ProjectModified.h"
#include "base/UniqueFileName.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadFactories.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/LayoutItem.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
const char* const kActionLabels[cTriggerPadEditControls::kActionCount] = {
    "CLEAR", "COPY", "PASTE", "LOAD", "EDIT", "RECORD", "AUTO BPM",
};
const char* const kKnobLabels[cTriggerPadEditControls::kKnobCount] = {"VOL", "PAN", "ATTACK", "RELEASE"};
constexpr int32_t kKnobParams[cTriggerPadEditControls::kKnobCount] = {
    cTriggerPadData::kParamVolume, cTriggerPadData::kParamPan, cTriggerPadData::kParamAttack,
    cTriggerPadData::kParamRelease};

constexpr int32_t kLastPad = cTriggerPad::kPadCount - 1;
constexpr float kMessageSeconds = 1.5f;
constexpr float kLoadedMessageSeconds = 2.5f;
constexpr int32_t kAlertStyle = 0x700;
constexpr int32_t kPasteStyle = 0x600;

// Whole bars a sample may be stretched or squeezed to.
constexpr int32_t kBarCounts[] = {1, 2, 4, 8, 16};

// What the controls read when no pad has a name.
const char* PadName(const cTriggerPadData& pad) { return pad.name.IsEmpty() ? cTriggerPadTile::kEmptyName : pad.name.CStr(); }

const char* InstrumentName(cTriggerPadUI* owner)
{
    cTriggerPadInstrument* instrument = owner ? owner->GetInstrument() : nullptr;
    return instrument ? instrument->GetName() : "";
}

// The sample's name for messages: its file name without the extension.
cGenStringFixed<260> SampleTitle(const char* path)
{
    cGenStringFixed<260> title(path);
    PathStripToFileName(title);
    PathRemoveExtension(title);
    return title;
}
} // namespace

// ----------------------------------------------------------------------- job

cTriggerPadEditControls::cJobLoadSample::cJobLoadSample(cTriggerPad* padModule, int32_t padIndex,
                                                        const char* sourcePath, const char* destinationPath,
                                                        bool fromPaste)
    : module(padModule), pad(padIndex), source(sourcePath), destination(destinationPath), paste(fromPaste)
{
}

void cTriggerPadEditControls::cJobLoadSample::Run(JobQueue::cJobQueue*)
{
    result = module->ImportPadSample(pad, source.CStr(), destination.CStr());
    if (result)
        return;
    // A copy that fails never reaches the loader, which then has no reason.
    if (cGenString::EqualsNoCase(source, destination))
        errorText.AssignCStr(cSample::GetErrorText());
    if (errorText.IsEmpty())
        errorText.Printf("Couldn't read '%s'", PathGetFileName(source).CStr());
}

// ------------------------------------------------------------------ controls

cTriggerPadEditControls::cTriggerPadEditControls(cTriggerPadUI* owner) : cTriggerPadPanel(owner)
{
    for (int32_t action = 0; action < kActionCount; ++action)
    {
        auto* button = new cTriggerPadButton(kActionLabels[action]);
        button->SetTag(action);
        button->clickDelegate = cDelegate(this, &cTriggerPadEditControls::OnAction);
        if (action == kActionRecord)
            button->SetIcon(&gTex8888AtlasTable[TriggerPadSprite::kRecordImage]);
        AddChild(button);
        button->Release();
        mActions[action] = button;
    }
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        mKnobs[knob] = CreatePadKnob(knob == kKnobPan ? uint32_t(kKnobBipolar) : 0u);
        mKnobs[knob]->SetName(kKnobLabels[knob]);
        mKnobs[knob]->valueDelegate = cDelegate(this, &cTriggerPadPanel::OnFloatControl);
        AddChild(mKnobs[knob]);
        mKnobs[knob]->Release();
    }
    mPadSelector = CreatePadSpinButton();
    mPadSelector->minimum = 0;
    mPadSelector->maximum = kLastPad;
    // Room for a pad's number and most of its name.
    const char* const widest[] = {"16. WWWWWWWWW"};
    mPadSelector->SetLabelWidth(widest, 1);
    mPadSelector->valueDelegate = cDelegate(this, &cTriggerPadEditControls::OnPadSelector);
    AddChild(mPadSelector);
    mPadSelector->Release();

    mGroup = new cTriggerPadButton3LED("GROUP", true);
    const char* groups[] = {"OFF", "1", "2"};
    mKeyMode = new cTriggerPadButton3LED("KEY MODE", false);
    const char* modes[] = {"TRIG", "HOLD", "LOOP"};
    for (int32_t position = 0; position < 3; ++position)
    {
        mGroup->SetCaption(position, groups[position]);
        mKeyMode->SetCaption(position, modes[position]);
    }
    mDirection = new cTriggerPadButtonDirection("DIRECTION");
    for (cTriggerPadButton* button : {static_cast<cTriggerPadButton*>(mGroup), static_cast<cTriggerPadButton*>(mKeyMode),
                                      static_cast<cTriggerPadButton*>(mDirection)})
    {
        button->clickDelegate = cDelegate(this, &cTriggerPadPanel::OnIntControl);
        AddChild(button);
        button->Release();
    }

    mTranspose = CreatePadSpinButton();
    mTranspose->SetName("TRANSPOSE");
    mTranspose->minimum = -cTriggerPadData::kTransposeLimit;
    mTranspose->maximum = cTriggerPadData::kTransposeLimit;
    mPitch = CreatePadSpinButton();
    mPitch->SetName("PITCH");
    mPitch->minimum = -cTriggerPadData::kFineTuneLimit;
    mPitch->maximum = cTriggerPadData::kFineTuneLimit;
    for (cWidgetSpinButton* spin : {mTranspose, mPitch})
    {
        spin->valueDelegate = cDelegate(this, &cTriggerPadEditControls::OnSpinControl);
        AddChild(spin);
        spin->Release();
    }
}

cTriggerPadEditControls::~cTriggerPadEditControls() = default;

uint32_t cTriggerPadEditControls::PadParamId(int32_t pad, int32_t parameter)
{
    return cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindPad, pad, parameter));
}

int32_t cTriggerPadEditControls::GetPad() const { return mPadSelector->GetValue(); }

void cTriggerPadEditControls::SelectPad(int32_t pad)
{
    pad = ClampTo(pad, 0, kLastPad);
    if (pad == GetPad())
        return;
    mPadSelector->SetValue(pad);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cTriggerPadEditControls::OnPadSelector(int32_t value, cWidgetSpinButton*)
{
    ModifyFlags(kWidgetStateDirty, 0, false);
    mPadSelector->SetValue(value);
}

void cTriggerPadEditControls::OnSpinControl(int32_t value, cWidgetSpinButton* spin)
{
    cGenStringFixed<16> text;
    text.Printf("%d", int(value));
    spin->SetText(text.CStr());
    OnIntControl(value, spin);
}

void cTriggerPadEditControls::SetSeparatorRows(cLayout* const* rows, int32_t count)
{
    mSeparatorCount = ClampTo(count, 0, kMaxSeparators);
    for (int32_t i = 0; i < mSeparatorCount; ++i)
        mSeparatorRows[i] = rows[i];
}

// ------------------------------------------------------------------ refresh

void cTriggerPadEditControls::OnStateChange() { Refresh(); }

void cTriggerPadEditControls::Refresh()
{
    mPending = kPendingNone;
    cTriggerPad* module = Module();
    if (!module)
        return;
    module->WaitForEvents();
    const int32_t pad = GetPad();
    cGenStringFixed<128> title;
    title.Printf("%s - Edit pad %02d", InstrumentName(mOwner), int(pad + 1));
    GetTriggerPadUIHost().SetTitle(title.CStr());
    BindControls(pad);
    UpdateVisibility(pad);
}

void cTriggerPadEditControls::BindControls(int32_t pad)
{
    cTriggerPad* module = Module();
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        const uint32_t id = PadParamId(pad, kKnobParams[knob]);
        mKnobs[knob]->SetTag(int32_t(id));
        mKnobs[knob]->SetValue(ClampTo(module->GetParamFloat(id), 0.0f, 1.0f));
    }
    const struct
    {
        cWidget* control;
        int32_t parameter;
    } integers[] = {
        {mTranspose, cTriggerPadData::kParamTranspose}, {mPitch, cTriggerPadData::kParamFineTune},
        {mGroup, cTriggerPadData::kParamChokeGroup},    {mDirection, cTriggerPadData::kParamDirection},
        {mKeyMode, cTriggerPadData::kParamTriggerMode},
    };
    for (const auto& binding : integers)
        binding.control->SetTag(int32_t(PadParamId(pad, binding.parameter)));
    for (cWidgetSpinButton* spin : {mTranspose, mPitch})
    {
        spin->SetValue(module->GetParamInt(uint32_t(spin->GetTag())));
        cGenStringFixed<16> text;
        text.Printf("%d", int(spin->GetValue()));
        spin->SetText(text.CStr());
    }
    for (cTriggerPadButton* button : {static_cast<cTriggerPadButton*>(mGroup), static_cast<cTriggerPadButton*>(mDirection),
                                      static_cast<cTriggerPadButton*>(mKeyMode)})
        button->value = ClampTo(module->GetParamInt(uint32_t(button->GetTag())), button->minimum, button->maximum);

    const cTriggerPadData& record = module->GetActiveSet().pads[pad];
    cGenStringFixed<80> text;
    text.Printf("%02d. %s", int(pad + 1), PadName(record));
    mPadSelector->SetText(text.CStr());
}

void cTriggerPadEditControls::ShowControl(cWidget* control, bool show)
{
    if (!show && control->IsVisible())
        control->CancelInputRecursive(true);
    control->SetVisible(show);
}

void cTriggerPadEditControls::UpdateVisibility(int32_t pad)
{
    cTriggerPad* module = Module();
    const cSample* sample = module->GetSample(pad);
    const bool sampler = GetTriggerPadUIHost().HasSampler();
    ShowControl(mActions[kActionEdit], sampler && sample);
    ShowControl(mActions[kActionRecord], sampler);
    ShowControl(mActions[kActionAutoBpm], sample && sample->GetDuration() > kAutoBpmMinimumSeconds);
    ShowControl(mActions[kActionPaste], mClipboardSource >= 0);
    ShowControl(mActions[kActionClear], !module->GetActiveSet().pads[pad].samplePath.IsEmpty());
}

// ------------------------------------------------------------------ actions

void cTriggerPadEditControls::OnAction(int32_t, cWidget* button)
{
    if (!Module())
        return;
    MarkProjectModified();
    mActionPad = GetPad();
    switch (button->GetTag())
    {
    case kActionClear: AskClear(); break;
    case kActionCopy: Copy(); break;
    case kActionPaste: AskPaste(); break;
    case kActionLoad: Load(); break;
    case kActionEdit: OpenSampler(false); break;
    case kActionRecord: OpenSampler(true); break;
    case kActionAutoBpm: FitToTempo(); break;
    default: break;
    }
}

void cTriggerPadEditControls::AskClear()
{
    cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert();
    if (!alert)
        return;
    mPending = kPendingClear;
    cTriggerPadData record;
    Module()->GetPad(mActionPad, record);
    cGenStringFixed<64> title;
    title.Printf("Clear Pad %02d", int(mActionPad + 1));
    alert->Reset(kAlertStyle);
    alert->SetName(title.CStr());
    alert->firstLine.Printf("Unload sample '%s'?", record.name.CStr());
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cTriggerPadEditControls::OnAlertDone));
}

void cTriggerPadEditControls::Copy()
{
    Module()->GetPad(mActionPad, mClipboard);
    mClipboardSource = mActionPad;
    cGenStringFixed<128> message;
    message.Printf("Copied '%s'", mPadSelector->GetText());
    GetTriggerPadUIHost().ShowStatusMessage(message.CStr(), kMessageSeconds);
    ShowControl(mActions[kActionPaste], true);
}

void cTriggerPadEditControls::AskPaste()
{
    cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert();
    if (mClipboardSource < 0 || !alert)
        return;
    mPending = kPendingPaste;
    cGenStringFixed<256> title;
    alert->Reset(kPasteStyle);
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    if (!mClipboard.name.IsEmpty())
    {
        title.Printf("Paste '%d. %s' to '%s'", int(mClipboardSource + 1), mClipboard.name.CStr(),
                     mPadSelector->GetText());
        alert->firstLine.AssignCStr("Do you wish to make a new copy of the sample?");
        alert->SetButton(kAlertNo, "No");
    }
    else
    {
        title.Printf("Paste '%d. <EMPTY>' to '%s'", int(mClipboardSource + 1), mPadSelector->GetText());
        alert->firstLine.AssignCStr("Do you wish to overwrite the pad's current settings?");
    }
    alert->SetName(title.CStr());
    alert->Show(cDelegate(this, &cTriggerPadEditControls::OnAlertDone));
}

void cTriggerPadEditControls::OnAlertDone(int32_t button, cWidgetAlert*)
{
    const int32_t pending = mPending;
    mPending = kPendingNone;
    cTriggerPad* module = Module();
    if (!module)
        return;
    if (pending == kPendingClear && button == kAlertOK)
        module->ClearPad(mActionPad);
    else if (pending == kPendingPaste && button != kAlertCancel)
        Paste(button == kAlertOK);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

// The pad takes the copied record and then its sample: a fresh copy in
// the project folder, or the same file. Its own record is kept until the
// sample has loaded, so a failure leaves the pad as it was; an empty record
// leaves it empty and silent.
void cTriggerPadEditControls::Paste(bool freshCopy)
{
    cTriggerPad* module = Module();
    if (mClipboard.samplePath.IsEmpty())
    {
        module->ClearPad(mActionPad);
        module->SetPad(mActionPad, mClipboard);
        return;
    }
    cGenStringFixed<260> destination(mClipboard.samplePath);
    const char* projectFolder = GetTriggerPadUIHost().GetProjectFolder();
    if (freshCopy && projectFolder)
    {
        destination.AssignCStr(projectFolder);
        PathAppend(destination, PathGetFileName(mClipboard.samplePath));
        MakeUniqueSampleFileName(destination);
    }
    module->GetPad(mActionPad, mPasteKept);
    module->SetPad(mActionPad, mClipboard);
    StartLoadJob(mClipboard.samplePath.CStr(), destination.CStr(), true);
}

void cTriggerPadEditControls::Load()
{
    cTriggerPadUIHost& host = GetTriggerPadUIHost();
    cTriggerPadBrowserRequest request;
    request.title = "Load Sample";
    request.rootFolder = "User";
    const cTriggerPadData& record = Module()->GetActiveSet().pads[mActionPad];
    if (record.samplePath.IsEmpty())
        request.path.AssignCStr(host.GetLastFolder());
    else
        request.path.Assign(record.samplePath);
    request.AddFileType("wav", nullptr);
    request.flags = 0x19;
    if (host.ShowFileBrowser(request, cDelegate(this, &cTriggerPadEditControls::OnBrowserDone)))
        mPending = kPendingLoad;
}

void cTriggerPadEditControls::OnBrowserDone(int32_t result, const char* path)
{
    const int32_t pending = mPending;
    mPending = kPendingNone;
    if (pending != kPendingLoad || result != 1 || !path || !*path || !Module())
        return;
    GetTriggerPadUIHost().SetLastFolder(path);
    StartLoadJob(path, path, false);
}

void cTriggerPadEditControls::OpenSampler(bool record)
{
    cTriggerPadUIHost& host = GetTriggerPadUIHost();
    if (!host.HasSampler())
        return;
    mPending = mSamplerMode = record ? kPendingRecord : kPendingEdit;
    host.ShowSampler(record ? nullptr : Module()->GetSample(mActionPad),
                     cDelegate(this, &cTriggerPadEditControls::OnSamplerDone));
}

void cTriggerPadEditControls::OnSamplerDone(int32_t result, const char* path)
{
    const int32_t mode = mSamplerMode;
    mSamplerMode = mPending = kPendingNone;
    cTriggerPad* module = Module();
    if (mode == kPendingNone || result != 1 || !path || !*path || !module)
        return;
    module->WaitForEvents();
    module->ImportPadSample(mActionPad, path, path);
    if (mode == kPendingRecord)
    {
        // A recording starts from a neutral pad.
        for (int32_t parameter : {cTriggerPadData::kParamVolume, cTriggerPadData::kParamPan})
            PostFloat(PadParamId(mActionPad, parameter), 0.5f);
        for (int32_t parameter : {cTriggerPadData::kParamAttack, cTriggerPadData::kParamRelease})
            PostFloat(PadParamId(mActionPad, parameter), 0.0f);
        for (int32_t parameter :
             {cTriggerPadData::kParamFineTune, cTriggerPadData::kParamTranspose, cTriggerPadData::kParamDirection})
            Post(PadParamId(mActionPad, parameter), 0);
    }
    ModifyFlags(kWidgetStateDirty, 0, false);
}

// Re-pitches a loop to fill the nearest power-of-two count of bars at the
// song's tempo.
void cTriggerPadEditControls::FitToTempo()
{
    const cSample* sample = Module()->GetSample(mActionPad);
    if (!sample)
        return;
    const double length = sample->GetDuration();
    const double bar = double(gTransport.beatsPerBar.load()) * 60.0 / double(gTransport.tempo.load());
    double ratio = length / bar;
    for (int32_t bars : kBarCounts)
    {
        const double candidate = length / (double(bars) * bar);
        if (std::fabs(candidate - 1.0) < std::fabs(ratio - 1.0))
            ratio = candidate;
    }
    const double semitones = 12.0 * std::log2(ratio);
    const double transpose = std::round(semitones);
    if (!std::isfinite(transpose) || std::fabs(transpose) > cTriggerPadData::kTransposeLimit)
        return;
    const int32_t fine = int32_t((semitones - transpose) * 50.0);
    for (const auto& [spin, value] : {std::pair{mTranspose, int32_t(transpose)}, std::pair{mPitch, fine}})
    {
        spin->SetValue(value);
        OnSpinControl(value, spin);
    }
}

// ----------------------------------------------------------------- load job

void cTriggerPadEditControls::StartLoadJob(const char* source, const char* destination, bool paste)
{
    auto* job = new cJobLoadSample(Module(), mActionPad, source, destination, paste);
    // The panel waits for its job's completion.
    AddRef();
    cWidgetProgress* overlay = GetTriggerPadUIHost().GetProgress();
    if (!overlay)
    {
        JobQueue::RunJob(job, nullptr);
        OnJobDone(job, nullptr);
        return;
    }
    overlay->Setup(0);
    overlay->SetName("Loading Sample");
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cTriggerPadEditControls::OnJobDone));
}

void cTriggerPadEditControls::ShowLoadFailed(const char* reason)
{
    cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(kPasteStyle);
    alert->SetName("Load Failed");
    alert->firstLine.AssignCStr(reason);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

void cTriggerPadEditControls::OnJobDone(cWidgetProgress::cJob* finished, cWidgetProgress*)
{
    auto* job = static_cast<cJobLoadSample*>(finished);
    if (job->paste && !job->result)
        job->module->SetPad(job->pad, mPasteKept);
    if (!job->result)
    {
        ShowLoadFailed(job->errorText.CStr());
    }
    else if (!job->paste)
    {
        cGenStringFixed<300> message;
        message.Printf("Loaded Sample '%s'", SampleTitle(job->source.CStr()).CStr());
        GetTriggerPadUIHost().ShowStatusMessage(message.CStr(), kLoadedMessageSeconds);
    }
    delete job;
    ModifyFlags(kWidgetStateDirty, 0, false);
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
    Release();
}

// ------------------------------------------------------------------ drawing

bool cTriggerPadEditControls::Draw(cDrawList& list)
{
    list.DrawNinePatch(GetRect(), &gTex8888AtlasTable[TriggerPadSprite::kPanelBackground], nullptr, 0xffffffffu, true);
    DrawSeparators(list);
    DrawHeaders(list);
    DrawPadMap(list);
    return false;
}

void cTriggerPadEditControls::DrawSeparators(cDrawList& list)
{
    const cAtlasSprite* separator = &gTex8888AtlasTable[TriggerPadSprite::kSeparator];
    for (int32_t i = 0; i + 1 < mSeparatorCount; ++i)
    {
        const cRect above = mSeparatorRows[i]->GetRect(), below = mSeparatorRows[i + 1]->GetRect();
        const float y = std::floor((above.yMax + below.yMin) * 0.5f);
        const cRect line = {above.xMin, y - separator->height * 0.5f, above.xMax, y + separator->height * 0.5f};
        list.DrawThreePatchH(line, separator, nullptr, 0xffffffffu);
    }
}

// "PAD" over CLEAR to PASTE, "SAMPLE" over LOAD to RECORD.
void cTriggerPadEditControls::DrawHeaders(cDrawList& list)
{
    const struct
    {
        const char* text;
        int32_t first, last;
    } headers[] = {{"PAD", kActionClear, kActionPaste}, {"SAMPLE", kActionLoad, kActionRecord}};
    const cFontHandle& font = mOwner->GetCaptionFont();
    for (const auto& header : headers)
    {
        const cRect first = mActions[header.first]->GetRect(), last = mActions[header.last]->GetRect();
        const float y = first.yMin - 3.0f;
        list.FillRect({first.xMin, y, last.xMax, y + 1.0f}, cTriggerPadButton::kLabelColour);
        list.GetTextBatch().DrawTextAligned((first.xMin + last.xMax) * 0.5f, y - 1.0f, list.depth, font,
                                            cTriggerPadButton::kLabelColour, kTextAlignCentreX | kTextAlignBottom,
                                            header.text);
    }
}

// A 4 x 4 map of the pads beside the selector, the edited one marked.
void cTriggerPadEditControls::DrawPadMap(cDrawList& list)
{
    constexpr float kSquare = 4.0f, kPitch = 5.0f;
    const cRect selector = mPadSelector->GetRect();
    const float left = selector.xMax + 4.0f, top = RectCentre(selector).Y - 2.0f * kPitch;
    const int32_t edited = GetPad();
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
    {
        const float x = left + float(pad % 4) * kPitch, y = top + float(3 - pad / 4) * kPitch;
        list.FillRect({x, y, x + kSquare, y + kSquare}, pad == edited ? 0xff2424f0u : 0xff505050u);
    }
}
