#include "project/ProjectList.h"

#include "base/ProjectModified.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"
#include "project/ProjectSlots.h"
#include "sequencer/MIDIFileProjectHost.h"

namespace
{
// MIDI-file import and export, below the projects, reach the current
// project and its slot operation through this.
class cProjectListMIDIFileHost : public cMIDIFileProjectHost
{
public:
    bool HasCurrentProject() override
    {
        const cProjectList* list = cProjectList::GetInstance();
        return list && list->GetCurrentProject();
    }
    void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) override
    {
        ::SetInstrumentSlot(instrument, slot, deleteOld);
    }
};

cProjectListMIDIFileHost sMIDIFileHost;
} // namespace

cProjectList::cProjectList() : cSingleton(this) { SetMIDIFileProjectHost(&sMIDIFileHost); }

cProjectList::~cProjectList()
{
    CloseAll();
    SetMIDIFileProjectHost(nullptr);
}

cProject* cProjectList::NewProject()
{
    auto* project = new cProject();
    mProjects.PushFront(project);
    // With no name free the project has no folder; it is never saved over
    // one of the user's.
    cGenStringFixed<260> path;
    if (!MakeNewUntitledProjectPath(path))
        path.AssignCStr("");
    project->NewDefault(path, 0);
    if (!mCurrent)
    {
        mCurrent = project;
        SetProjectModifiedFlag(&project->GetModifiedFlag());
    }
    return project;
}

void cProjectList::CloseAll()
{
    while (cProject* project = mProjects.GetLast())
    {
        mProjects.Remove(project);
        if (project->IsActive())
            project->Deactivate();
        project->Unload();
        if (project == mCurrent)
        {
            SetProjectModifiedFlag(nullptr);
            mCurrent = nullptr;
        }
        delete project;
    }
}
