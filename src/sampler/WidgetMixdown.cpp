#include "sampler/WidgetMixdown.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <strings.h>

#include "audio/Transport.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/JobQueue.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/UniqueFileName.h"
#include "project/FileList.h"
#include "project/Pasteboard.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/Mixdown.h"
#include "sampler/MixdownSprites.h"
#include "ui/HouseColours.h"
#include "ui/LayoutBuilders.h"
#include "ui/StatusBarHost.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"

namespace
{
const char* const kRegionTexts[] = {"Entire Song", "Song Loop"};
const char* const kOutputTexts[] = {"Final Mix", "Mixer Channels", "Song Parts"};
const char* const kFormatTexts[] = {"Wav", "Ogg (64 Kbps)", "Ogg (128 Kbps)", "Ogg (256 Kbps)", "Zipped Wav"};
// The widest a region text gets, for the spin button's box.
const char* const kRegionWidest[] = {"Entire Song", "Song Loop (999-999)"};

constexpr const char* kMixdownFolder = "User/Mixdowns";
// The file browser's request flags.
constexpr int32_t kAskForFile = 0x16;
constexpr int32_t kAskForFolder = 0xD6;
constexpr int32_t kAccepted = 1;
// The overlay with a "Cancel" button; the conversion's also shows its bar at once.
constexpr int32_t kRenderOverlay = 0x10002;
constexpr int32_t kConversionOverlay = 0x10006;
// The alerts' styles: icons on OK (and on "Show File" for the report).
constexpr int32_t kFailureAlertStyle = 0x604;
constexpr int32_t kReportAlertStyle = 0x404;
// The shown path drops the leading "User".
constexpr int32_t kShownPathSkip = 4;
// Native paths: the documents root with a folder and file name below it.
constexpr int32_t kNativePathCapacity = 1024;

constexpr float kRowGap = 8.0f;
constexpr float kColumnGap = 24.0f;
// Between the switches and the "Mixdown" button.
constexpr float kButtonGap = 140.0f;
constexpr float kSwitchColumnWidth = 220.0f;
// Room above a spin button for its caption, in standard text heights.
constexpr float kCaptionRoom = 1.6f;

template <size_t N>
const char* TextOf(const char* const (&texts)[N], intptr_t value)
{
    return value >= 0 && size_t(value) < N ? texts[value] : "";
}

const cProject* CurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects ? projects->GetCurrentProject() : nullptr;
}

File::cFileSystem* Documents()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
}

bool ExistsInDocuments(const cGenString& path)
{
    File::cFileSystem* documents = Documents();
    return documents && documents->Exists(path);
}


} // namespace

cWidgetMixdown::cWidgetMixdown(cHost& host) : mHost(host)
{
    SetName("Mixdown");
    mRegion = AddSpinButton("Region", 1, &cWidgetMixdown::OnRegionChanged);
    mRegion->SetLabelWidth(kRegionWidest, int32_t(std::size(kRegionWidest)));
    mOutput = AddSpinButton("Output", 2, &cWidgetMixdown::OnOutputChanged);
    mOutput->SetLabelWidth(kOutputTexts, int32_t(std::size(kOutputTexts)));
    mFormat = AddSpinButton("Format", 4, &cWidgetMixdown::OnFormatChanged);
    mFormat->SetLabelWidth(kFormatTexts, int32_t(std::size(kFormatTexts)));
    for (cWidgetButton** toggle : {&mRenderTail, &mAddToPasteboard})
    {
        *toggle = CreateToggleButton(toggle == &mRenderTail ? "Render tail" : "Add to pasteboard");
        (*toggle)->labelStyle.colour = HouseColour::kLightLabel;
        AddChild(*toggle);
        (*toggle)->Release();
    }
    // Offering the files to the pasteboard waits for a pasteboard.
    mAddToPasteboard->SetVisible(false);
    mMixdownButton = CreateButton("Mixdown", kButtonPush, 0);
    SetButtonIcon(mMixdownButton, &gTex8888AtlasTable[MixdownSprite::kMixdown]);
    mMixdownButton->clickDelegate = cDelegate(this, &cWidgetMixdown::OnMixdownButton);
    AddChild(mMixdownButton);
    mMixdownButton->Release();
}

cWidgetMixdown::~cWidgetMixdown() = default;

cWidgetSpinButton* cWidgetMixdown::AddSpinButton(const char* label, int32_t maximum,
                                                 intptr_t (cWidgetMixdown::*changed)(intptr_t, cWidgetSpinButton*))
{
    cWidgetSpinButton* spin = CreateSpinButton(label);
    spin->minimum = 0;
    spin->maximum = maximum;
    spin->valueDelegate = cDelegate(this, changed);
    // The panel is dark: light captions.
    spin->captionStyle.colour = HouseColour::kLightLabel;
    AddChild(spin);
    spin->Release();
    return spin;
}

// ---------------------------------------------------------------- the panel

void cWidgetMixdown::Show()
{
    Open(cDelegate(this, &cWidgetMixdown::OnBack));
    if (const cProject* project = CurrentProject())
    {
        mTitle.Printf("Mixdown '%s'", project->GetName().CStr());
        SetName(mTitle.CStr());
    }
    ModifyFlags(kWidgetAllDirty, 0, true);
}

intptr_t cWidgetMixdown::OnBack()
{
    Close();
    return 0;
}

// Output, Region and Format down the first column, each under its caption;
// in the second the switches, and the "Mixdown" button at its foot, 140 below
// the switches' top.
void cWidgetMixdown::OnLayout()
{
    cVector2 spin = {0.0f, 0.0f};
    for (cWidget* widget : {static_cast<cWidget*>(mOutput), static_cast<cWidget*>(mRegion),
                            static_cast<cWidget*>(mFormat)})
    {
        const cVector2 size = PreferredSizeOf(widget);
        spin = {std::max(spin.X, size.X), std::max(spin.Y, size.Y)};
    }
    const float caption = std::round(GetTextSize(kTextSizeStandard) * kCaptionRoom);
    const cVector2 toggle = PreferredSizeOf(mRenderTail);
    const cVector2 button = PreferredSizeOf(mMixdownButton);
    const float switchColumn = std::max(kSwitchColumnWidth, button.X);
    const float pitch = caption + spin.Y + kRowGap;
    const float spinColumnHeight = 3.0f * pitch - kRowGap;
    const float switchColumnHeight = caption + kButtonGap + button.Y;
    const cVector2 content = {spin.X + kColumnGap + switchColumn, std::max(spinColumnHeight, switchColumnHeight)};
    cRect contentRect;
    FitToContent(&content, &contentRect);
    cWidgetDialogueDropDown::OnLayout();
    const cRect& rect = GetRect();
    const float x = contentRect.xMin - rect.xMin, y = contentRect.yMin - rect.yMin;
    PlaceInParent(mOutput, x, y + caption, spin);
    PlaceInParent(mRegion, x, y + caption + pitch, spin);
    PlaceInParent(mFormat, x, y + caption + 2.0f * pitch, spin);
    const float right = x + spin.X + kColumnGap;
    const float switchTop = y + caption + (spin.Y - toggle.Y) * 0.5f;
    PlaceInParent(mRenderTail, right, switchTop, toggle);
    PlaceInParent(mAddToPasteboard, right, switchTop + spin.Y + kRowGap, toggle);
    PlaceInParent(mMixdownButton, right + (switchColumn - button.X) * 0.5f, y + content.Y - button.Y, button);
}

// Every open shows the choices as they stand and the switches they imply.
void cWidgetMixdown::OnStateChange()
{
    OnOutputChanged(mOutput->GetValue(), mOutput);
    OnRegionChanged(mRegion->GetValue(), mRegion);
    OnFormatChanged(mFormat->GetValue(), mFormat);
    mAddToPasteboard->value = 0;
}

bool cWidgetMixdown::Draw(cDrawList& list)
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText(GetName());
    return cWidgetDialogueDropDown::Draw(list);
}

intptr_t cWidgetMixdown::OnRegionChanged(intptr_t value, cWidgetSpinButton* spin)
{
    spin->SetValue(int32_t(value));
    if (spin->GetValue() != cMixdown::kRegionSongLoop)
    {
        spin->SetText(TextOf(kRegionTexts, spin->GetValue()));
        return 0;
    }
    const int32_t ticksPerBar = std::max(1, gTransport.ticksPerBar.load());
    cGenStringFixed<64> text;
    text.Printf("%s (%d-%d)", kRegionTexts[cMixdown::kRegionSongLoop], int(gTransport.loopStart / ticksPerBar + 1),
                int(gTransport.loopEnd / ticksPerBar));
    spin->SetText(text.CStr());
    return 0;
}

intptr_t cWidgetMixdown::OnOutputChanged(intptr_t value, cWidgetSpinButton* spin)
{
    spin->SetValue(int32_t(value));
    spin->SetText(TextOf(kOutputTexts, spin->GetValue()));
    // Song parts keep the switch as the user left it.
    if (spin->GetValue() != cMixdown::kOutputSongParts)
        mRenderTail->value = 1;
    return 0;
}

intptr_t cWidgetMixdown::OnFormatChanged(intptr_t value, cWidgetSpinButton* spin)
{
    spin->SetValue(int32_t(value));
    spin->SetText(TextOf(kFormatTexts, spin->GetValue()));
    return 0;
}

// ---------------------------------------------------------------- the run

intptr_t cWidgetMixdown::OnMixdownButton(intptr_t, cWidgetButton*)
{
    mState = kStateRendering;
    ChooseOutput(mOutput->GetValue(), mFormat->GetValue());
    return 0;
}

void cWidgetMixdown::ChooseOutput(int32_t output, int32_t format)
{
    const cProject* project = CurrentProject();
    if (!project)
    {
        mState = kStateIdle;
        return;
    }
    if (File::cFileSystem* documents = Documents())
        documents->CreateFolder(cGenString(kMixdownFolder));
    cOutputRequest request;
    request.title.Printf("Mixdown %s", output == cMixdown::kOutputFinalMix ? "File" : "Folder");
    request.root.AssignCStr(kMixdownFolder);
    request.startPath.AssignCStr(kMixdownFolder);
    PathAppend(request.startPath, project->GetName());
    request.flags = kAskForFile;
    if (format == kFormatZippedWav)
    {
        request.extension.AssignCStr("zip");
        request.icon = &gTex8888AtlasTable[MixdownSprite::kFormatZip];
    }
    else if (output == cMixdown::kOutputFinalMix)
    {
        request.extension.AssignCStr(format == kFormatWav ? "wav" : "ogg");
        request.icon = &gTex8888AtlasTable[format == kFormatWav ? MixdownSprite::kFormatWav : MixdownSprite::kFormatOgg];
    }
    else
        request.flags = kAskForFolder;
    if (!request.extension.IsEmpty())
    {
        request.startPath.AppendChar('.');
        request.startPath.Append(request.extension);
    }
    MakeUniqueFileName(request.startPath, true);
    mHost.AskForOutput(request, cDelegate(this, &cWidgetMixdown::StartMixdown));
}

intptr_t cWidgetMixdown::StartMixdown(intptr_t result, const char* path)
{
    if (!CurrentProject() || mState != kStateRendering || result != kAccepted)
    {
        mState = kStateIdle;
        return 0;
    }
    mFileCount = 0;
    mChosenPath.AssignCStr(path);
    if (!MakeRenderPath())
    {
        // Every numbered name is taken: rendering would overwrite, then
        // delete, a file of the user's.
        mState = kStateIdle;
        cGenStringFixed<300> line;
        line.Printf("Couldn't save to '%s'", mRenderPath.CStr());
        ShowAlert("Mixdown Failed", line.CStr(), "");
        return 0;
    }
    cWidgetProgress* overlay = mHost.GetProgress();
    overlay->Setup(kRenderOverlay);
    cGenStringFixed<260> name(PathGetFileName(mChosenPath));
    PathRemoveExtension(name);
    cGenStringFixed<300> title;
    title.Printf("Mixdown '%s'", name.CStr());
    overlay->SetName(title.CStr());
    if (JobQueue::gJobQueue)
        JobQueue::gJobQueue->WaitUntilIdle();
    auto* job = new cMixdown::cJob(mRenderPath.CStr(), mRegion->GetValue(), mOutput->GetValue(),
                                   mRenderTail->value != 0);
    job->SetOverlay(overlay);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetMixdown::OnMixdownDone));
    return 0;
}

// The render's output: the stem folder, or the WAV file. Only "Wav" renders
// into the chosen file itself; otherwise an existing WAV of the name stays
// untouched. False when no free name is left.
bool cWidgetMixdown::MakeRenderPath()
{
    mRenderPath.Assign(mChosenPath);
    PathRemoveExtension(mRenderPath);
    if (mOutput->GetValue() == cMixdown::kOutputFinalMix)
    {
        mRenderPath.AppendCString(".wav");
        if (mFormat->GetValue() == kFormatWav)
            return true;
    }
    MakeUniqueFileName(mRenderPath, true);
    return !ExistsInDocuments(mRenderPath);
}

intptr_t cWidgetMixdown::OnMixdownDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    if (mState == kStateRendering)
    {
        const auto* render = static_cast<cMixdown::cJob*>(job);
        mFileCount = render->GetFileCount();
        const int32_t result = render->GetResult();
        delete job;
        OnRenderDone(result);
    }
    else if (mState == kStateConverting)
    {
        const int32_t result = static_cast<cJobConvertFormat*>(job)->GetResult();
        delete job;
        OnConversionDone(result);
    }
    else
    {
        delete job;
        mState = kStateIdle;
    }
    return 0;
}

void cWidgetMixdown::OnRenderDone(int32_t result)
{
    cGenStringFixed<300> line;
    switch (result)
    {
    case cMixdown::kResultWritten:
        CopyToPasteboard();
        return;
    case cMixdown::kResultClipping:
        if (mFormat->GetValue() != kFormatWav || mAddToPasteboard->value != 0)
        {
            mState = kStateClipping;
            ShowAlert("Clipping Detected", "The mixdown may sound distorted.", "Do you want to continue?");
            return;
        }
        mState = kStateIdle;
        ShowAlert("Clipping Detected", "If the final mix sounds distorted, reduce the",
                  "mixer's master volume and try exporting again.");
        return;
    case cMixdown::kResultCancelled:
        mState = kStateIdle;
        ShowAlert("Mixdown Cancelled", "No mixdown files were saved.", "");
        return;
    case cMixdown::kResultFailed:
        mState = kStateIdle;
        line.Printf("Couldn't open '%s'", mRenderPath.CStr());
        ShowAlert("Mixdown Failed", line.CStr(), "Is the file open in another application?");
        return;
    default:
        mState = kStateIdle;
        line.Printf("Couldn't save to '%s'", mRenderPath.CStr());
        ShowAlert("Mixdown Failed", line.CStr(), "");
        return;
    }
}

void cWidgetMixdown::OnConversionDone(int32_t result)
{
    if (result == cJobConvertFormat::kResultDone)
    {
        ReportResult();
        return;
    }
    mState = kStateIdle;
    if (result == cJobConvertFormat::kResultCancelled)
    {
        ShowAlert("Format Conversion Cancelled", "No mixdown files were saved.", "");
        return;
    }
    // The WAVs are kept, so the user learns where they are.
    cGenStringFixed<300> first, second;
    first.Printf("Couldn't save to '%s'", mChosenPath.CStr());
    second.Printf("The WAV mixdown was kept: '%s'.", mRenderPath.CStr());
    ShowAlert("Format Conversion Failed", first.CStr(), second.CStr());
}

// The render's WAVs go to the pasteboard when "Add to pasteboard" is on
// (never, as it stays hidden); the conversion follows the pasteboard's answer,
// or at once when it declines.
void cWidgetMixdown::CopyToPasteboard()
{
    mState = kStatePasteboard;
    cFileList files;
    cPasteboard* pasteboard = cPasteboard::GetInstance();
    if (mAddToPasteboard->value == 0 || !pasteboard || !GatherRenderedWavs(files) ||
        !pasteboard->AddFile(files, cDelegate(this, &cWidgetMixdown::OnPasteboardDone)))
        StartConversion();
}

intptr_t cWidgetMixdown::OnPasteboardDone(const void*)
{
    StartConversion();
    return 0;
}

// Absolute paths: the render file, or each WAV file of the stems' folder.
bool cWidgetMixdown::GatherRenderedWavs(cFileList& files) const
{
    File::cFileSystem* documents = Documents();
    if (!documents)
        return false;
    auto addNative = [&](const cGenString& path)
    {
        cGenStringFixed<kNativePathCapacity> native(*documents->GetRootPath());
        if (native.Length() == documents->GetRootPath()->Length() && PathAppend(native, path))
            files.Add(native.CStr());
    };
    if (strcasecmp(PathGetExtension(mRenderPath).CStr(), "wav") == 0)
    {
        addNative(mRenderPath);
        return files.GetCount() > 0;
    }
    std::unique_ptr<File::cFileSystem::cFileIterator> entries(documents->NewIterator(mRenderPath));
    for (bool found = entries && entries->First(); found; found = entries->Next())
    {
        const cGenString name = cGenString::ConstructView(entries->GetName());
        if (entries->IsFolder() || strcasecmp(PathGetExtension(name).CStr(), "wav") != 0)
            continue;
        cGenStringFixed<260> path(mRenderPath);
        if (PathAppend(path, name))
            addNative(path);
    }
    return files.GetCount() > 0;
}

void cWidgetMixdown::StartConversion()
{
    mState = kStateConverting;
    const int32_t format = mFormat->GetValue();
    if (format == kFormatWav)
    {
        ReportResult();
        return;
    }
    cWidgetProgress* overlay = mHost.GetProgress();
    overlay->Setup(kConversionOverlay);
    cGenStringFixed<300> title;
    if (format == kFormatZippedWav)
        title.Printf("Creating '%s'", PathGetFileName(mChosenPath).CStr());
    else
        title.AssignCStr("Converting To Ogg");
    overlay->SetName(title.CStr());
    auto* job = new cJobConvertFormat(mRenderPath.CStr(), mChosenPath.CStr(), format, mFileCount);
    job->SetOverlay(overlay);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetMixdown::OnMixdownDone));
}

void cWidgetMixdown::ReportResult()
{
    mState = kStateReport;
    cWidgetAlert* alert = mHost.GetAlert();
    alert->Reset(kReportAlertStyle);
    alert->SetButton(kAlertOK, "OK");
    alert->SetName("Mixdown Completed");
    const cGenString& output = GetOutputPath();
    const char* shown = output.Length() > kShownPathSkip ? output.CStr() + kShownPathSkip : "";
    if (PathGetExtension(mChosenPath).IsEmpty())
    {
        if (mFileCount == 0)
            alert->firstLine.AssignCStr("No files were saved.");
        else if (mFileCount == 1)
            alert->firstLine.Printf("One file was saved to folder '%s'.", shown);
        else
            alert->firstLine.Printf("%d files saved to folder '%s'.", int(mFileCount), shown);
        if (mFileCount > 0)
            alert->SetButton(kAlertNo, mFileCount == 1 ? "Show File" : "Show Files");
    }
    else
    {
        alert->firstLine.Printf("File saved as '%s'.", shown);
        alert->SetButton(kAlertNo, "Show File");
    }
    alert->secondLine.AssignCStr("Click 'Show File' to view in the file manager.");
    alert->Show(cDelegate(this, &cWidgetMixdown::OnAlertButton));
}

void cWidgetMixdown::ShowAlert(const char* title, const char* firstLine, const char* secondLine)
{
    cWidgetAlert* alert = mHost.GetAlert();
    alert->Reset(kFailureAlertStyle);
    alert->SetButton(kAlertOK, "OK");
    alert->SetName(title);
    alert->firstLine.AssignCStr(firstLine);
    alert->secondLine.AssignCStr(secondLine);
    cDelegate result;
    if (mState == kStateClipping)
    {
        alert->SetButton(kAlertCancel, "Cancel");
        alert->SetButton(kAlertOK, "Continue");
        result = cDelegate(this, &cWidgetMixdown::OnAlertButton);
    }
    alert->Show(result);
}

intptr_t cWidgetMixdown::OnAlertButton(intptr_t index, cWidgetAlert*)
{
    if (mState == kStateClipping && index == kAlertOK)
    {
        CopyToPasteboard();
        return 0;
    }
    if (mState == kStateClipping)
        DeleteRenderOutput();
    else if (mState == kStateReport && index == kAlertNo)
        ShowFolder();
    mState = kStateIdle;
    return 0;
}

void cWidgetMixdown::DeleteRenderOutput()
{
    if (File::cFileSystem* documents = Documents())
        documents->Delete(mRenderPath);
}

// Stems stay in the folder they were rendered to, which takes a free name
// when the chosen one is taken; a file output is the chosen file.
const cGenString& cWidgetMixdown::GetOutputPath() const
{
    return PathGetExtension(mChosenPath).IsEmpty() ? mRenderPath : mChosenPath;
}

// The stem folder itself, or the folder of the output file.
void cWidgetMixdown::ShowFolder()
{
    const cGenString& output = GetOutputPath();
    cGenStringFixed<1024> folder;
    folder.AssignCStr(GetDocumentsFolderPath());
    if (!PathAppend(folder, output))
        return;
    if (!PathGetExtension(output).IsEmpty())
    {
        folder.RemoveTrailingSeparator();
        PathStripToDirectory(folder);
    }
    mHost.OpenFolder(folder.CStr());
}
