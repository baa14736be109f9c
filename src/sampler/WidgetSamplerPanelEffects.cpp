#include "sampler/WidgetSamplerPanelEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/JobQueue.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/ui/EffectRackUI.h"
#include "platform/DisplayMetrics.h"
#include "project/ui/FileBrowserHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "sampler/EffectPanelEndCheeks.h"
#include "sampler/SampleEditor.h"
#include "sampler/SampleRender.h"
#include "sampler/SamplerEffectsSprites.h"
#include "sampler/SamplerPage.h"
#include "ui/HouseColours.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetNavButtonUpDown.h"

namespace
{
const char* const kToggleLabels[] = {"Preroll", "Tail", "Mono"};
constexpr const char* kTitle = "Apply effects to sample";
// The overlay with a "Cancel" button and its bar shown at once.
constexpr int32_t kRenderOverlay = 0x10002;
constexpr int32_t kAlertStyle = 0x604;
constexpr uint32_t kRackBackground = 0xff282828u;
// The mixer's volume curve: a square law below 0.2 meeting the
// 12 dB-per-quarter law above it.
constexpr float kCurveKnee = 0.2f;
constexpr float kCurveLowScale = 0.10881881f;
constexpr float kProcessIconGap = 6.0f;
// The effect knob's caption stands 0.4 of its line above the knob, the line
// itself above that; a few pixels keep both off the strip's edges.
constexpr float kCaptionRise = 1.4f;
constexpr float kStripMargin = 4.0f;
constexpr float kProcessMargins[4] = {10.0f, 10.0f, 10.0f, 8.0f};
constexpr int32_t kMaximumLength = 32; // MB, the render's cap

cWidgetButton* Adopt(cWidget* parent, cWidgetButton* button)
{
    parent->AddChild(button);
    button->Release();
    return button;
}
} // namespace

cWidgetSamplerPanelEffects::cWidgetSamplerPanelEffects(cSamplerPage& page)
    : mEndCheeks(new cEffectPanelEndCheeks()), mRackEditor(new cEffectRackUI()), mPage(page)
{
    SetName("Process Sample");
    // The row of controls is laid into the strip, not over the whole panel.
    ModifyFlags(kWidgetNoAutoLayout, 0, false);
    AddChild(mEndCheeks);
    AddChild(mRackEditor);
    cWidgetNavButtonUpDown* pageButton = mEndCheeks->GetPageButton();
    pageButton->repeatDelegate = cDelegate(this, &cWidgetSamplerPanelEffects::OnPageRepeat);
    pageButton->swipeDelegate = cDelegate(this, &cWidgetSamplerPanelEffects::OnPageSwipe);
    BuildStrip();
}

cWidgetSamplerPanelEffects::~cWidgetSamplerPanelEffects()
{
    mRackEditor->SetRack(nullptr);
    mRackEditor->Release();
    mEndCheeks->Release();
}

void cWidgetSamplerPanelEffects::BuildStrip()
{
    auto* row = new cLayoutLinear(kAxisX, 9);
    AddGapItem(row, 0.6f);
    for (int32_t tag = 0; tag < kToggleCount; ++tag)
    {
        cWidgetButton* toggle = Adopt(this, CreateToggleButton(kToggleLabels[tag]));
        toggle->labelStyle.colour = HouseColour::kLightLabel;
        toggle->SetTag(tag);
        mToggles[tag] = toggle;
        AddWidgetItem(row, toggle, kPolicyPref, kPolicyPref);
    }
    AddGapItem(row, 0.3f);
    mLevel = CreateEffectKnob({"REC LEVEL", kKnobContinuous, 0, 0, nullptr, 0, 0}, HouseColour::kLightLabel);
    mLevel->SetValue(kDefaultLevel);
    AddChild(mLevel);
    mLevel->Release();
    // The knob's caption stands above it inside the strip, not over the tabs.
    auto* column = AddLayoutItem(row, new cLayoutLinear(kAxisY, 3), kPolicyPref, kPolicyPref);
    AddFixedGapItem(column, LevelCaptionRoom());
    AddWidgetItem(column, mLevel, kPolicyPref, kPolicyPref);
    AddGapItem(column, 1.0f);
    AddGapItem(row, 0.3f);
    mProcess = Adopt(this, CreateButton("", kButtonPush, 0));
    SetButtonIconBeside(mProcess, &gTex8888AtlasTable[SamplerEffectsSprite::kProcessIcon]);
    mProcess->SetIconTextGap(kProcessIconGap);
    std::copy(std::begin(kProcessMargins), std::end(kProcessMargins), mProcess->touchMargins);
    mProcess->SetTag(kTagProcess);
    mProcess->clickDelegate = cDelegate(this, &cWidgetSamplerPanelEffects::StartEffectRender);
    AddWidgetItem(row, mProcess, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.6f);
    SetLayout(row);
}

float cWidgetSamplerPanelEffects::LevelCaptionRoom() const
{
    const cFontHandle& font = mLevel->captionStyle.font;
    return (font.sizeEntry ? font.sizeEntry->size : 0.0f) * kCaptionRise + kStripMargin;
}

float cWidgetSamplerPanelEffects::VolumeCurve(float value)
{
    if (value < kCurveKnee)
    {
        const float scaled = 5.0f * value;
        return scaled * scaled * kCurveLowScale;
    }
    return std::exp2(-4.0f * (1.0f - value));
}

float cWidgetSamplerPanelEffects::GetRenderGain() const { return 2.0f * VolumeCurve(mLevel->GetValue()); }

// ---------------------------------------------------------------- layout

void cWidgetSamplerPanelEffects::OnLayout()
{
    const cRect& rect = GetRect();
    const float cheek = cEffectPanelEndCheeks::GetCheekWidth();
    const float partHeight =
        GetDisplayMetrics().deviceClass == kDeviceClassTablet ? kTabletStripHeight : kStripHeight;
    // Taller where the knob and its caption need it: a legible caption does
    // not fit with the knob into the 50 px strip.
    const float height =
        std::max(partHeight, std::ceil(LevelCaptionRoom() + PreferredSizeOf(mLevel).Y + kStripMargin));
    const float left = rect.xMin + cheek;
    const float right = std::max(left, rect.xMax - cheek);
    mStrip = {left, rect.yMin, right, std::min(rect.yMax, rect.yMin + height)};
    SetLayoutRect(mStrip);
    mEndCheeks->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
    mEndCheeks->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    mRackEditor->SetAnchors(kAnchorsAbsoluteRect, left, mStrip.yMax, right - left, std::max(0.0f, rect.yMax - mStrip.yMax));
    // Laid out at once, so the page button knows the editor's rows.
    mRackEditor->UpdateRect();
    mRackEditor->OnLayout();
    mRackEditor->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    UpdatePageButtons();
}

void cWidgetSamplerPanelEffects::OnStateChange()
{
    mRackEditor->SetRack(gAuditionPlayer ? &gAuditionPlayer->GetRack() : nullptr);
    UpdatePageButtons();
}

bool cWidgetSamplerPanelEffects::Draw(cDrawList& list)
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText(kTitle);
    const float gain = GetRenderGain();
    if (gAuditionPlayer)
        mEndCheeks->SetLevels(gAuditionPlayer->GetMeterLeft() * gain, gAuditionPlayer->GetMeterRight() * gain);
    else
        mEndCheeks->SetLevels(0.0f, 0.0f);
    list.DrawNinePatch(mStrip, &gTex8888AtlasTable[SamplerEffectsSprite::kStrip], nullptr, 0xffffffffu, true);
    list.FillRect(mRackEditor->GetRect(), kRackBackground);
    return false;
}

// ---------------------------------------------------------------- pages

void cWidgetSamplerPanelEffects::UpdatePageButtons()
{
    const int32_t page = mRackEditor->GetTargetRow();
    const int32_t last = mRackEditor->GetLastRow();
    cWidgetNavButtonUpDown* button = mEndCheeks->GetPageButton();
    button->upEnabled = page > 0;
    button->downEnabled = page < last;
    button->SetActive(button->upEnabled || button->downEnabled);
}

void cWidgetSamplerPanelEffects::OnPageStep(bool up)
{
    const int32_t page = mRackEditor->GetTargetRow();
    if (up && page > 0)
        mRackEditor->SetTargetRow(page - 1);
    else if (!up && page < mRackEditor->GetLastRow())
        mRackEditor->SetTargetRow(page + 1);
    UpdatePageButtons();
}

void cWidgetSamplerPanelEffects::OnPageJump(bool up)
{
    mRackEditor->SetTargetRow(up ? 0 : mRackEditor->GetLastRow());
    UpdatePageButtons();
}

intptr_t cWidgetSamplerPanelEffects::OnPageRepeat(bool up, cWidgetNavButtonUpDown*)
{
    OnPageStep(up);
    return 0;
}

intptr_t cWidgetSamplerPanelEffects::OnPageSwipe(bool up, cWidgetNavButtonUpDown*)
{
    OnPageJump(up);
    return 0;
}

// ---------------------------------------------------------------- the render

bool cWidgetSamplerPanelEffects::MakeOutputPath(char* out, int32_t capacity) const
{
    File::cFileSystem* temp = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr;
    cGenStringFixed<260> path(temp ? temp->GetRootPath()->CStr() : GetTempFolderPath());
    if (!PathAppend(path, cGenString(kRenderFile)) || path.Length() >= capacity)
        return false;
    std::snprintf(out, size_t(capacity), "%s", path.CStr());
    return true;
}

intptr_t cWidgetSamplerPanelEffects::StartEffectRender(intptr_t, cWidgetButton* button)
{
    if (!button || button->GetTag() != kTagProcess)
        return 0;
    char path[260];
    if (!MakeOutputPath(path, sizeof(path)))
    {
        ShowAlert("Effect Render Failed", "Couldn't open file", "");
        return 0;
    }
    cSampleRender::Settings settings;
    settings.sample = mPage.GetSample();
    settings.rack = gAuditionPlayer ? &gAuditionPlayer->GetRack() : nullptr;
    settings.startFrame = 0;
    settings.endFrame = mPage.GetSampleEditor().GetModel().GetFrames();
    settings.preRoll = mToggles[kTagPreroll]->value != 0;
    settings.tail = mToggles[kTagTail]->value != 0 ? 1 : 0;
    settings.rate = 44100;
    settings.channels = mToggles[kTagMono]->value != 0 ? 1 : 2;
    settings.gain = GetRenderGain();

    cWidgetProgress* overlay = mPage.GetHost().GetProgress();
    overlay->Setup(kRenderOverlay);
    overlay->SetName("Rendering Effects");
    mRenderRunning = 1;
    if (JobQueue::gJobQueue)
        JobQueue::gJobQueue->WaitUntilIdle();
    auto* job = new cSampleRender::cJob(settings, path);
    job->SetOverlay(overlay);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetSamplerPanelEffects::FinishEffectRender));
    return 0;
}

intptr_t cWidgetSamplerPanelEffects::FinishEffectRender(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* render = static_cast<cSampleRender::cJob*>(job);
    if (mRenderRunning != 1)
        mRenderRunning = 0;
    else if ((render->GetResult() & cSampleRender::kErrorMask) != 0)
        ReportFailure(render->GetResult());
    else if (!mPage.GetSampleEditor().ReplaceSampleFromFile(render->GetOutputPath()))
        // The editor refused the file (and deleted it): nothing changed.
        ShowAlert("Effect Render Failed", mPage.GetSampleEditor().GetModel().GetErrorText(), "");
    else
        ReportSuccess(render->GetResult());
    delete render;
    ModifyFlags(kWidgetStateDirty, 0, true);
    return 0;
}

void cWidgetSamplerPanelEffects::ReportFailure(int32_t result)
{
    if (result & cSampleRender::kCancelled)
        return;
    const char* reason = (result & cSampleRender::kWriteFailed)     ? "Couldn't write to file"
                         : (result & cSampleRender::kOpenFailed)    ? "Couldn't open file"
                         : (result & cSampleRender::kSampleEmpty)   ? "Sample empty"
                         : (result & cSampleRender::kSampleTooShort) ? "Sample too short"
                                                                    : "Unknown error";
    ShowAlert("Effect Render Failed", reason, "");
}

void cWidgetSamplerPanelEffects::ReportSuccess(int32_t result)
{
    mRenderRunning = 0;
    mPage.MarkModified();
    mPage.SelectEditTab();
    if (result & cSampleRender::kClipping)
        ShowAlert("Clipping Detected", "If the sample sounds distorted, reduce the", "gain control and try again.");
    else if (result & cSampleRender::kTruncated)
    {
        cGenStringFixed<64> title;
        title.Printf("Sample truncated to %dMB", kMaximumLength);
        ShowAlert(title.CStr(), "You may need to shorten your sample before applying effects.",
                  "Alternatively, try disabling the tail or enabling mono mode.");
    }
}

void cWidgetSamplerPanelEffects::ShowAlert(const char* title, const char* firstLine, const char* secondLine)
{
    cWidgetAlert* alert = mPage.GetHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(kAlertStyle);
    alert->SetButton(kAlertOK, "OK");
    alert->SetName(title);
    alert->firstLine.AssignCStr(firstLine);
    alert->secondLine.AssignCStr(secondLine);
    alert->Show(cDelegate());
}
