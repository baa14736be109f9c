#include "editors/SongToolsPanelMIDIFile.h"

#include <cmath>

#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/PathUtils.h"
#include "base/ProjectModified.h"
#include "base/RootPaths.h"
#include "base/UniqueFileName.h"
#include "editors/EditorHost.h"
#include "editors/SongRoll.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/FontHandle.h"
#include "render/TextBatch.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Sequencer.h"
#include "sequencer/TrackList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kTextColour = 0xff1e1e1e;
constexpr uint32_t kLineColour = 0xffba8400;
constexpr uint32_t kButtonSkin = 49;
constexpr int kImportIcon = 189;
constexpr int kExportIcon = 192;
constexpr float kNoteSize = 9.0f;
// Overlay styles: reading and writing, and adding events.
constexpr int32_t kFileOverlay = 2;
constexpr int32_t kAddingOverlay = 6;
constexpr int32_t kQuestionStyle = kAlertCancelRightmost | kAlertIconOnNo | kAlertIconOnOK;
constexpr int32_t kResultStyle = kAlertIconOnNo | kAlertIconOnOK;
// The tempos compared as the song and the file keep them.
constexpr float kSameTempo = 0.1f;

cSequencer* Sequencer() { return cSequencer::GetInstance(); }

bool HasProject()
{
    cMIDIFileProjectHost* host = GetMIDIFileProjectHost();
    return host && host->HasCurrentProject();
}

const char* ProjectName()
{
    cProjectList* projects = cProjectList::GetInstance();
    cProject* project = projects ? projects->GetCurrentProject() : nullptr;
    return project ? project->GetName().CStr() : "Untitled";
}
} // namespace

// --- Jobs, on the job thread ---

void cSongToolsPanelMIDIFile::cJobImportOpen::Run(JobQueue::cJobQueue*) { song = LoadMIDIFile(path.CStr(), error); }

void cSongToolsPanelMIDIFile::cJobImport::Run(JobQueue::cJobQueue*)
{
    result = ImportMIDIFileSong(song, false);
    song = nullptr;
}

void cSongToolsPanelMIDIFile::cJobExport::Run(JobQueue::cJobQueue*)
{
    result = ExportSongToMIDIFile(path.CStr(), projectName.CStr(), error);
}

// --- The panel ---

cSongToolsPanelMIDIFile::cSongToolsPanelMIDIFile(cSongToolsUI* dialogue) : cSongToolsPanel(dialogue)
{
    mImport = CreateButton("Import", kButtonPush, kButtonSkin);
    mExport = CreateButton("Export", kButtonPush, kButtonSkin);
    SetButtonIconBeside(mImport, &gTex8888AtlasTable[kImportIcon]);
    SetButtonIconBeside(mExport, &gTex8888AtlasTable[kExportIcon]);
    for (cWidgetButton* button : {mImport, mExport})
    {
        button->SetTag(button == mImport ? kImport : kExport);
        button->clickDelegate.Bind(this, &cSongToolsPanelMIDIFile::OnButton);
        AddChild(button);
        button->Release();
    }
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->margins[0].value = 30.0f;
    column->margins[1].value = 20.0f;
    column->margins[2].value = 20.0f;
    column->margins[3].value = 20.0f;
    AddGapItem(column, 1.0f);
    auto* row = AddLayoutItem(column, new cLayoutLinear(kAxisX, 3), kPolicyPref, kPolicyPref);
    AddWidgetItem(row, mImport, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.8f);
    AddWidgetItem(row, mExport, kPolicyPref, kPolicyPref);
    AddGapItem(column, 1.0f);
    SetLayout(column);
}

cSongToolsPanelMIDIFile::~cSongToolsPanelMIDIFile() { delete mSong; }

void cSongToolsPanelMIDIFile::OnStateChange()
{
    mExport->SetEnabled(mDialogue->GetSongRoll()->GetModel().GetViewCount() > 0);
}

bool cSongToolsPanelMIDIFile::Draw(cDrawList& list)
{
    cTextBatch& text = list.GetTextBatch();
    const cRect& panel = GetRect();
    const cRect& import = mImport->GetRect();
    const cRect& exportRect = mExport->GetRect();
    const float centreX = 0.5f * (panel.xMin + panel.xMax);
    const cFontHandle note = cFontHandle::CopyWithSize(list.fontHandle, kNoteSize);
    text.DrawTextAligned(centreX, 0.5f * (panel.yMin + import.yMin), list.depth, note, kTextColour,
                         kTextAlignCentreX | kTextAlignCentreY,
                         "You can set MIDI controller mappings on the MANAGE/MIDI page.");
    const float importX = 0.5f * (import.xMin + import.xMax);
    text.DrawTextAligned(importX, import.yMax + 10.0f, list.depth, note, kTextColour, kTextAlignCentreX,
                         "Imported events are");
    text.DrawTextAligned(importX, import.yMax + 24.0f, list.depth, note, kTextColour, kTextAlignCentreX,
                         "appended to the song.");
    const float lineX = std::floor(0.5f * (import.xMax + exportRect.xMin));
    list.FillRect({lineX, import.yMin + 1.0f, lineX + 1.0f, panel.yMax - 12.0f}, kLineColour);
    return false;
}

intptr_t cSongToolsPanelMIDIFile::OnButton(intptr_t, cWidgetButton* button)
{
    if (mMode != kIdle)
        return 0;
    mDialogue->Close();
    if (button->GetTag() == kImport)
        StartImport();
    else
        StartExport();
    return 0;
}

void cSongToolsPanelMIDIFile::StartImport()
{
    cTrackList* tracks = mDialogue->GetTrackList();
    mSongLength = tracks ? tracks->GetSongLength() : 0;
    if (mDialogue->GetSongRoll()->GetModel().GetCurrentStep() == -1)
    {
        OpenImportBrowser();
        return;
    }
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!alert)
        return;
    mMode = kAskingHistory;
    alert->Reset(kQuestionStyle);
    alert->SetName("Import MIDI File");
    alert->firstLine.AssignCStr("Importing a MIDI file will clear your undo history.");
    alert->secondLine.AssignCStr("Are you sure?");
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cSongToolsPanelMIDIFile::OnHistoryAnswer));
}

intptr_t cSongToolsPanelMIDIFile::OnHistoryAnswer(int32_t button, cWidget*)
{
    mMode = kIdle;
    if (button == kAlertOK)
        OpenImportBrowser();
    return 0;
}

void cSongToolsPanelMIDIFile::OpenImportBrowser()
{
    mMode = kIdle;
    if (!HasProject())
        return;
    cEditorHost::cFileRequest request;
    request.title = "Import MIDI File";
    request.button = "Import";
    request.folder = kFolder;
    mMode = kReading;
    if (!GetEditorHost().ChooseMIDIFile(request, cDelegate(this, &cSongToolsPanelMIDIFile::OnFileChosen)))
        mMode = kIdle;
}

void cSongToolsPanelMIDIFile::StartExport()
{
    if (!HasProject())
        return;
    cGenStringFixed<260> proposed;
    proposed.Printf("%s/%s.mid", kFolder, ProjectName());
    MakeUniqueFileName(proposed, true);
    cEditorHost::cFileRequest request;
    request.title = "Export MIDI File";
    request.button = "Export";
    request.folder = kFolder;
    request.fileName = proposed.CStr();
    request.save = true;
    mMode = kExporting;
    if (!GetEditorHost().ChooseMIDIFile(request, cDelegate(this, &cSongToolsPanelMIDIFile::OnFileChosen)))
        mMode = kIdle;
}

intptr_t cSongToolsPanelMIDIFile::OnFileChosen(int32_t result, const void* chosen)
{
    const auto* choice = static_cast<const cEditorHost::cFileChoice*>(chosen);
    if (result != 1 || !choice)
    {
        mMode = kIdle;
        return 0;
    }
    mPath.AssignCStr(choice->path);
    mShownPath.AssignCStr(choice->shownPath);
    cGenStringFixed<300> status;
    if (mMode == kReading)
    {
        status.Printf("Reading '%s'", FileName());
        RunJob(new cJobImportOpen(mPath.CStr()), kFileOverlay, "Importing MIDI File", status.CStr());
    }
    else if (mMode == kExporting && HasProject())
    {
        status.Printf("Writing '%s'", FileName());
        RunJob(new cJobExport(mPath.CStr(), mShownPath.CStr(), ProjectName()), kFileOverlay, "Exporting MIDI File",
               status.CStr());
    }
    else
        mMode = kIdle;
    return 0;
}

void cSongToolsPanelMIDIFile::RunJob(cWidgetProgress::cJob* job, int32_t flags, const char* title, const char* status)
{
    cWidgetProgress* overlay = GetEditorHost().GetProgress();
    if (!overlay)
    {
        // No screen to wait behind: the work is done here.
        job->Run(nullptr);
        OnJobDone(job, nullptr);
        return;
    }
    overlay->Setup(flags);
    overlay->SetName(title);
    cWidgetProgress::SetStatusText(status);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cSongToolsPanelMIDIFile::OnJobDone));
}

intptr_t cSongToolsPanelMIDIFile::OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    switch (mMode)
    {
    case kReading: FileRead(static_cast<cJobImportOpen*>(job)); break;
    case kAdding: EventsAdded(static_cast<cJobImport*>(job)->result); break;
    case kExporting: FileWritten(static_cast<cJobExport*>(job)); break;
    default: break;
    }
    delete job;
    return 0;
}

void cSongToolsPanelMIDIFile::FileRead(cJobImportOpen* job)
{
    mSong = job->song;
    job->song = nullptr;
    if (!mSong)
    {
        mMode = kIdle;
        ShowFailure("Import Failed", job->error.CStr());
        return;
    }
    const float songTempo = gTransport.tempo.load();
    const int32_t songBeats = gTransport.beatsPerBar.load();
    const bool songHasParts = mDialogue->GetSongRoll()->GetModel().GetViewCount() > 0;
    const bool differs = std::fabs(songTempo - mSong->tempo) > kSameTempo || songBeats != mSong->numerator;
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!songHasParts || !differs || !alert)
    {
        UseFileTempo();
        AddEvents();
        return;
    }
    mMode = kAskingTempo;
    alert->Reset(0);
    alert->SetName("Tempo/Time Signature");
    alert->firstLine.Printf("The current song is %d/4 %.1f BPM but the file", int(songBeats), double(songTempo));
    alert->secondLine.Printf("is %d/4 %.1f BPM.  Which would you like to use?", int(mSong->numerator),
                             double(mSong->tempo));
    cGenStringFixed<32> label;
    label.Printf("%d/4 %.1f BPM", int(songBeats), double(songTempo));
    alert->SetButton(kAlertCancel, label.CStr());
    label.Printf("%d/4 %.1f BPM", int(mSong->numerator), double(mSong->tempo));
    alert->SetButton(kAlertOK, label.CStr());
    alert->Show(cDelegate(this, &cSongToolsPanelMIDIFile::OnTempoAnswer));
}

intptr_t cSongToolsPanelMIDIFile::OnTempoAnswer(int32_t button, cWidget*)
{
    if (button == kAlertOK)
        UseFileTempo();
    AddEvents();
    return 0;
}

void cSongToolsPanelMIDIFile::UseFileTempo()
{
    cSequencer* sequencer = Sequencer();
    if (!sequencer || !mSong)
        return;
    cScopedLock lock(sequencer->GetLock());
    sequencer->SetTempo(mSong->tempo);
    sequencer->SetBeatsPerBar(mSong->numerator);
}

void cSongToolsPanelMIDIFile::AddEvents()
{
    mMode = kAdding;
    cSongRoll* roll = mDialogue->GetSongRoll();
    roll->GetModel().ClearHistory();
    roll->OnSongToolsClosed();
    cMIDIFileSong* song = mSong;
    mSong = nullptr;
    RunJob(new cJobImport(song), kAddingOverlay, "Importing MIDI File", "Adding new events");
}

// The roll shows the song with the new parts selected before it frames them.
void cSongToolsPanelMIDIFile::EventsAdded(bool result)
{
    mMode = kIdle;
    MarkProjectModified();
    cSongRoll* roll = mDialogue->GetSongRoll();
    roll->SetTrackList(mDialogue->GetTrackList(), true);
    roll->GetModel().SelectFrom(float(mSongLength));
    roll->OnSongToolsClosed();
    cGenStringFixed<300> text;
    if (!result)
    {
        text.Printf("Could not import '%s'.", FileName());
        ShowFailure("Import Failed", text.CStr());
        return;
    }
    mDialogue->Close();
    importedDelegate.Invoke(this);
    text.Printf("Imported '%s'", FileName());
    GetEditorHost().ShowStatusMessage(text.CStr(), kImportedSeconds);
}

void cSongToolsPanelMIDIFile::FileWritten(const cJobExport* job)
{
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!job->result)
    {
        mMode = kIdle;
        ShowFailure("Export Failed", job->error.CStr());
        return;
    }
    mDialogue->Close();
    exportedDelegate.Invoke(this);
    if (!alert)
    {
        mMode = kIdle;
        return;
    }
    alert->Reset(kResultStyle);
    cGenStringFixed<300> title;
    title.Printf("Exported '%s'", FileName());
    alert->SetName(title.CStr());
    alert->firstLine.Printf("File was saved to '%s'.", job->shownPath.CStr());
    alert->SetButton(kAlertOther, "Show File");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cSongToolsPanelMIDIFile::OnExportAnswer));
}

intptr_t cSongToolsPanelMIDIFile::OnExportAnswer(int32_t button, cWidget*)
{
    mMode = kIdle;
    if (button != kAlertOther)
        return 0;
    cGenStringFixed<1024> folder;
    folder.AssignCStr(GetDocumentsFolderPath());
    if (!PathAppend(folder, mPath))
        return 0;
    folder.RemoveTrailingSeparator();
    PathStripToDirectory(folder);
    GetEditorHost().OpenFolder(folder.CStr());
    return 0;
}

void cSongToolsPanelMIDIFile::ShowFailure(const char* title, const char* line)
{
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(kResultStyle);
    alert->SetName(title);
    alert->firstLine.AssignCStr(line);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

// The path after its last separator.
const char* cSongToolsPanelMIDIFile::FileName() const
{
    const char* name = mPath.CStr();
    for (const char* c = name; *c; ++c)
        if (*c == '/')
            name = c + 1;
    return name;
}
