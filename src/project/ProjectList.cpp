#include "project/ProjectList.h"

#include "base/ProjectModified.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"

cProjectList::cProjectList() : cSingleton(this) {}

cProjectList::~cProjectList() { CloseAll(); }

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
