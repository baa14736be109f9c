#pragma once

#include <cstdint>

#include "base/IntrusiveList.h"
#include "base/Singleton.h"

class cProject;

// Owns the project records and names the current one, the project every
// page, job and render works on. The program keeps exactly one: start-up
// makes it, and loading, saving and "New" reuse it. Main thread only.
class cProjectList : public Base::cSingleton<cProjectList>
{
public:
    cProjectList();
    // Closes every project.
    ~cProjectList();
    cProjectList(const cProjectList&) = delete;
    cProjectList& operator=(const cProjectList&) = delete;

    // A new untitled project with the default instruments, not activated;
    // the first one made becomes the current project.
    cProject* NewProject();
    // Deactivates, unloads and frees every project, oldest first.
    void CloseAll();

    cProject* GetCurrentProject() const { return mCurrent; }
    int32_t GetCount() const { return int32_t(mProjects.GetCount()); }

private:
    Base::cIntrusiveList<cProject, 1> mProjects; // newest first
    cProject* mCurrent = nullptr;
};
