#include "instruments/pads/ui/TriggerPadPanelBank.h"

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/ProjectModified.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetAlert.h"

using namespace TriggerPadLayout;

namespace
{
const char* const kLabels[cTriggerPadPanelBank::kButtonCount] = {"CLEAR", "IMPORT", "EXPORT"};
constexpr uint32_t kIconColour = 0xffdcdcdc;
constexpr uint32_t kCaptionColour = 0xffdcdcdc;
constexpr float kCaptionSize = 8.0f;
constexpr float kCaptionRise = 8.0f;
constexpr float kMessageSeconds = 2.5f;
constexpr int32_t kQuestionStyle = 0x700;
constexpr int32_t kNoticeStyle = 0x600;
constexpr uint32_t kBrowserOpen = 1;
constexpr uint32_t kBrowserSave = 2;

// A bank's name in messages: its folder's name without the extension.
cGenStringFixed<260> BankName(const char* path)
{
    cGenStringFixed<260> name(path);
    PathStripToFileName(name);
    PathRemoveExtension(name);
    return name;
}
} // namespace

// ---------------------------------------------------------------------- jobs

cTriggerPadPanelBank::cJobExportBank::cJobExportBank(cTriggerPad* padModule, const char* path)
    : module(padModule), packagePath(path)
{
}

void cTriggerPadPanelBank::cJobExportBank::Run(JobQueue::cJobQueue*) { result = module->SaveBank(packagePath); }

cTriggerPadPanelBank::cJobImportBank::cJobImportBank(cTriggerPad* padModule, const char* destination,
                                                     const char* path, bool copy)
    : module(padModule), destinationFolder(destination), bankPath(path), copySamples(copy)
{
}

void cTriggerPadPanelBank::cJobImportBank::Run(JobQueue::cJobQueue*)
{
    result = module->LoadBank(destinationFolder, bankPath, copySamples);
}

// --------------------------------------------------------------------- panel

cTriggerPadPanelBank::cTriggerPadPanelBank(cTriggerPadUI* owner) : cTriggerPadPanel(owner)
{
    SetName("MAIN");
    for (int32_t index = 0; index < kButtonCount; ++index)
    {
        auto* button = new cTriggerPadButton(kLabels[index]);
        button->SetTag(index);
        button->touchMargins[0] = button->touchMargins[2] = 6.0f;
        button->touchMargins[1] = button->touchMargins[3] = 10.0f;
        button->clickDelegate = cDelegate(this, &cTriggerPadPanelBank::OnButton);
        AddChild(button);
        button->Release();
        mButtons[index] = button;
    }
    const cAtlasSprite* icon = &gTex8AtlasTable[TriggerPadSprite::kMonoBankIcon];
    mIcon.SetSprites(icon, icon, nullptr);
    mIcon.colour = kIconColour;
    BuildLayout();
}

cTriggerPadPanelBank::~cTriggerPadPanelBank() = default;

void cTriggerPadPanelBank::BuildLayout()
{
    cLayoutLinear* buttons = Row(7);
    buttons->AddItem(Gap(0.5f));
    for (int32_t index = 0; index < kButtonCount; ++index)
    {
        if (index > 0)
            buttons->AddItem(Gap(1.0f));
        buttons->AddItem(Item(mButtons[index]));
    }
    buttons->AddItem(Gap(0.5f));
    mBox = Column(2);
    mBox->AddItem(Gap(0.8f));
    mBox->AddItem(buttons);
    SetMargins(mBox, 0.0f, 0.0f, 0.0f, 16.0f);
    const cAtlasSprite* icon = mIcon.sprite;
    mIconItem = new cLayoutItemSpacer(kPolicyFixed, kPolicyFixed, {icon->width, kUnitPixels},
                                      {icon->height, kUnitPixels});
    cLayoutLinear* column = Column(4);
    column->AddItem(Gap(0.2f));
    column->AddItem(mIconItem);
    column->AddItem(Gap(0.2f));
    column->AddItem(mBox);
    SetLayout(column);
}

void cTriggerPadPanelBank::RefreshEditor()
{
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
}

void cTriggerPadPanelBank::OnButton(int32_t, cWidget* button)
{
    switch (button->GetTag())
    {
    case kButtonClear:
    {
        mPending = kPendingClear;
        cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert();
        if (!alert)
            return;
        alert->Reset(kQuestionStyle);
        alert->SetName("Clear Bank");
        alert->firstLine.AssignCStr("This will unload all samples from the bank.");
        alert->secondLine.AssignCStr("Are you sure?");
        alert->SetButton(kAlertCancel, "Cancel");
        alert->SetButton(kAlertOK, "OK");
        alert->Show(cDelegate(this, &cTriggerPadPanelBank::OnAlertDone));
        break;
    }
    case kButtonImport:
        mPending = kPendingImport;
        OpenBrowser(true);
        break;
    case kButtonExport:
        mPending = kPendingExport;
        OpenBrowser(false);
        break;
    default: mPending = kPendingNone; break;
    }
}

// Bank packages are folders ending ".vrx"; no file is listed.
void cTriggerPadPanelBank::OpenBrowser(bool import)
{
    cTriggerPadUIHost& host = GetTriggerPadUIHost();
    if (!host.GetProjectFolder())
        return;
    if (File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr)
        documents->CreateFolder(cGenString(kBankFolder));
    cTriggerPadBrowserRequest request;
    request.title = import ? "Import Bank" : "Export Bank";
    request.rootFolder = kBankFolder;
    request.path.AssignCStr(mLastPath.IsEmpty() ? kBankFolder : mLastPath.CStr());
    request.actionLabel = import ? "Import" : "Export";
    if (!import)
        request.extension = "vrx";
    request.AddPackageType("vrx", &gTex8AtlasTable[TriggerPadSprite::kMonoBankIcon]);
    request.AddFileType("???", nullptr);
    request.flags = import ? kBrowserOpen : kBrowserSave;
    host.ShowFileBrowser(request, cDelegate(this, &cTriggerPadPanelBank::OnBrowserDone));
}

void cTriggerPadPanelBank::OnBrowserDone(int32_t result, const char* path)
{
    const bool chosen = result == 1 && path && *path;
    if (mPending == kPendingImport && chosen)
    {
        mLastPath.AssignCStr(path);
        if (cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert())
        {
            cGenStringFixed<300> title;
            title.Printf("Import Bank '%s'", BankName(path).CStr());
            alert->Reset(kNoticeStyle);
            alert->SetName(title.CStr());
            alert->firstLine.AssignCStr("Do you wish to copy the samples into the project folder?");
            alert->SetButton(kAlertCancel, "Cancel");
            alert->SetButton(kAlertOK, "OK");
            alert->SetButton(kAlertNo, "No");
            alert->Show(cDelegate(this, &cTriggerPadPanelBank::OnAlertDone));
        }
        else
        {
            mPending = kPendingNone;
        }
    }
    else if (mPending == kPendingExport && chosen)
    {
        mLastPath.AssignCStr(path);
        MarkProjectModified();
        StartJob(new cJobExportBank(Module(), path), "Exporting Bank");
    }
    else
    {
        mPending = kPendingNone;
    }
    RefreshEditor();
}

void cTriggerPadPanelBank::OnAlertDone(int32_t button, cWidgetAlert*)
{
    switch (mPending)
    {
    case kPendingClear:
        if (button == kAlertOK)
            ClearBank();
        mPending = kPendingNone;
        break;
    case kPendingImport:
    {
        const char* project = GetTriggerPadUIHost().GetProjectFolder();
        if ((button != kAlertOK && button != kAlertNo) || !project)
        {
            RefreshEditor();
            mPending = kPendingNone;
            break;
        }
        MarkProjectModified();
        StartJob(new cJobImportBank(Module(), project, mLastPath.CStr(), button == kAlertOK), "Importing Bank");
        break;
    }
    case kPendingExport: mPending = kPendingNone; break;
    default: break;
    }
}

void cTriggerPadPanelBank::ClearBank()
{
    MarkProjectModified();
    if (cTriggerPad* module = Module())
        module->ClearBank();
    RefreshEditor();
    GetTriggerPadUIHost().ShowStatusMessage("New Bank Created", kMessageSeconds);
}

void cTriggerPadPanelBank::StartJob(cWidgetProgress::cJob* job, const char* title)
{
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
    overlay->SetName(title);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cTriggerPadPanelBank::OnJobDone));
}

void cTriggerPadPanelBank::ShowFailure(const char* title, const char* format, const char* name)
{
    cWidgetAlert* alert = GetTriggerPadUIHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(kNoticeStyle);
    alert->SetName(title);
    alert->firstLine.Printf(format, name);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

// A failed import leaves the pads as they were: the engine reads a bank
// whole before it replaces anything.
void cTriggerPadPanelBank::OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    cTriggerPadUIHost& host = GetTriggerPadUIHost();
    cGenStringFixed<300> message;
    if (auto* import = dynamic_cast<cJobImportBank*>(job))
    {
        const cGenStringFixed<260> name = BankName(import->bankPath.CStr());
        if (import->result)
        {
            message.Printf("Imported Bank From '%s'", name.CStr());
            host.ShowStatusMessage(message.CStr(), kMessageSeconds);
        }
        else
        {
            ShowFailure("Bank Import Failed", "Couldn't import bank file '%s'", name.CStr());
        }
        RefreshEditor();
    }
    else if (auto* exportJob = dynamic_cast<cJobExportBank*>(job))
    {
        const cGenStringFixed<260> name = BankName(exportJob->packagePath.CStr());
        if (exportJob->result)
        {
            message.Printf("Exported Bank To '%s'", name.CStr());
            host.ShowStatusMessage(message.CStr(), kMessageSeconds);
        }
        else
        {
            ShowFailure("Bank Export Failed", "Couldn't export bank file '%s'", name.CStr());
        }
    }
    delete job;
    mPending = kPendingNone;
    Release();
}

// --------------------------------------------------------------------- draw

bool cTriggerPadPanelBank::Draw(cDrawList& list)
{
    mIcon.Layout(mIconItem->GetRect(), {0.0f, 0.0f});
    {
        cScopedMaterial mono(list, mOwner->GetMonoMaterial());
        mIcon.Draw(mIcon.drawRect, list, false);
    }
    list.DrawNinePatch(mBox->GetRect(), &gTex8888AtlasTable[TriggerPadSprite::kPanelBackground], nullptr, 0xffffffffu,
                       true);
    const cAtlasSprite* bar = &gTex8888AtlasTable[TriggerPadSprite::kConnectorBar];
    const cRect clear = mButtons[kButtonClear]->GetRect(), import = mButtons[kButtonImport]->GetRect(),
                exportButton = mButtons[kButtonExport]->GetRect();
    const float y = RectCentre(clear).Y;
    list.DrawThreePatchH({RectCentre(clear).X, y - bar->height * 0.5f, RectCentre(exportButton).X, y + bar->height * 0.5f},
                         bar, nullptr, 0xffffffffu);
    const cFontHandle caption = cFontHandle::CopyWithSize(list.fontHandle, kCaptionSize);
    list.GetTextBatch().DrawTextAligned(RectCentre(import).X, import.yMin - kCaptionRise, list.depth, caption,
                                        kCaptionColour, kTextAlignCentreX | kTextAlignBottom, "BANK");
    return false;
}
