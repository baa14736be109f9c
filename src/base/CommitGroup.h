#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Several files of one folder saved as one. While a group lives, the safe
// writes its thread closes on files directly in the folder keep their
// temporaries (held open, so no sweep takes them) and the deletes asked
// there wait. Commit lists them all in the folder's commit journal, makes
// each temporary its file, does each delete and removes the journal: a save
// cut short before the journal is written leaves every file as it was, one
// cut short after it is finished by the next load or start. A group that
// is destroyed uncommitted removes its temporaries and changes nothing.
class cCommitGroup
{
public:
    // folder: a native path.
    explicit cCommitGroup(const char* folder);
    ~cCommitGroup();
    cCommitGroup(const cCommitGroup&) = delete;
    cCommitGroup& operator=(const cCommitGroup&) = delete;

    // False when a file could not be put in place; the journal then stays
    // for the next load to finish.
    bool Commit();

    // The group this thread gathers into, or null.
    static cCommitGroup* Current();
    // Takes over a finished safe write (its temporary still open) whose
    // target lies directly in the folder; false leaves it to the caller.
    bool Adopt(FILE* handle, const std::string& temp, const std::string& target, bool dropBackup);
    // Takes a delete of a path directly in the folder; false leaves it to
    // the caller.
    bool AdoptDelete(const char* path);

private:
    struct cWrite
    {
        FILE* handle;
        std::string temp;
        std::string target;
        bool dropBackup;
    };

    // The name within the folder, or empty when the path lies elsewhere.
    std::string NameInFolder(const std::string& path) const;
    void Release(bool removeTemporaries);

    std::string mFolder;
    std::vector<cWrite> mWrites;
    std::vector<std::string> mDeletes;
    cCommitGroup* mOuter;
    bool mCommitted = false;
};

// The journal's name in the folder of a group.
extern const char* const kCommitJournalName;

// Finishes a commit that was cut short in the folder (native path). True
// when none is pending afterwards; false while another live writer commits
// there or when a file cannot be put in place. finished, when given, tells
// whether there was one to finish.
bool FinishInterruptedCommit(const char* folder, bool* finished = nullptr);
