#include "base/SettingsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Delegate.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/SerialiseXML.h"

namespace
{
using tReason = cGenStringFixed<256>;

const char kNoticeBackup[] = "SETTINGS DAMAGED - Using backup";
const char kNoticeDefaults[] = "SETTINGS DAMAGED - Using defaults";

const char* sDamageNotice = nullptr;

void RaiseNotice(const char* notice)
{
    if (sDamageNotice != kNoticeDefaults)
        sDamageNotice = notice;
}

const char* ErrnoText(int error) { return error != 0 ? std::strerror(error) : "unknown reason"; }

// Reads one generation of the file; false with the reason when it cannot.
bool ReadGeneration(File::cFileSystem* documents, const cGenString& path, float version, const cDelegate& body,
                    tReason& reason)
{
    errno = 0;
    File::cFile* stream = documents->Open(path, File::kModeRead, 0);
    if (!stream)
    {
        reason.Printf("it can't be opened: %s", ErrnoText(errno));
        return false;
    }
    bool read = false;
    if (stream->GetRemaining() <= 0)
        reason.AssignCStr("it is empty");
    else
    {
        Base::cSerialiseXML serialiser(version, stream, 0);
        read = serialiser.Begin();
        if (read)
        {
            body.Invoke(&serialiser);
            serialiser.End();
        }
        else if (serialiser.GetDocumentError()[0] != 0)
            reason.Printf("it is not readable XML: %s", serialiser.GetDocumentError());
        else
            reason.AssignCStr("it has no \"Root\" element");
    }
    stream->Close(false);
    delete stream;
    return read;
}

File::cFileSystem* FindDocuments()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
}

void ReportSaveFailure(const char* name, const char* reason)
{
    std::fprintf(stderr, "Couldn't save the settings file \"%s\": %s; the previous file is kept\n", name, reason);
}
} // namespace

eSettingsRead ReadSettingsFile(const char* name, float version, const cDelegate& body)
{
    File::cFileSystem* documents = FindDocuments();
    if (!documents)
        return eSettingsRead::kNoMount;
    const cGenString path = cGenString::ConstructView(name);
    if (!documents->Exists(path))
        return eSettingsRead::kNoFile;
    tReason reason;
    if (ReadGeneration(documents, path, version, body, reason))
        return eSettingsRead::kFile;

    cGenStringFixed<280> backup;
    backup.Printf("%s.bak", name);
    tReason backupReason;
    if (documents->Exists(backup) && ReadGeneration(documents, backup, version, body, backupReason))
    {
        std::fprintf(stderr, "The settings file \"%s\" is damaged (%s): using its backup \"%s\"\n", name,
                     reason.CStr(), backup.CStr());
        RaiseNotice(kNoticeBackup);
        return eSettingsRead::kBackup;
    }
    std::fprintf(stderr, "The settings file \"%s\" is damaged (%s) and has no readable backup: using the defaults\n",
                 name, reason.CStr());
    RaiseNotice(kNoticeDefaults);
    return eSettingsRead::kDamaged;
}

bool WriteSettingsFile(const char* name, float version, const cDelegate& body)
{
    File::cFileSystem* documents = FindDocuments();
    if (!documents)
    {
        ReportSaveFailure(name, "there is no documents folder");
        return false;
    }
    errno = 0;
    File::cFile* stream = documents->Open(cGenString::ConstructView(name), File::kModeWrite, File::kFlagSafeWrite);
    if (!stream)
    {
        tReason reason;
        reason.Printf("it can't be created: %s", ErrnoText(errno));
        ReportSaveFailure(name, reason.CStr());
        return false;
    }
    // What fails from here on, a write or the commit, leaves its reason.
    errno = 0;
    Base::cSerialiseXML serialiser(version, stream, 0);
    bool written = serialiser.Begin();
    if (written)
    {
        body.Invoke(&serialiser);
        written = serialiser.End();
    }
    const bool streamFailed = stream->GetErrorFlag() != 0;
    // A save that failed anywhere is not committed.
    const bool closed = stream->Close(!written);
    const int error = errno;
    delete stream;
    if (written && closed)
        return true;
    tReason reason;
    if (!written && !streamFailed)
        reason.AssignCStr("not every value could be written");
    else if (closed || streamFailed || documents->GetLastError() != File::kErrorCommitFailed)
        reason.Printf("it couldn't be written: %s", ErrnoText(error));
    else
        reason.Printf("the new file couldn't replace the old one: %s", ErrnoText(error));
    ReportSaveFailure(name, reason.CStr());
    return false;
}

const char* TakeSettingsDamageNotice()
{
    const char* notice = sDamageNotice;
    sDamageNotice = nullptr;
    return notice;
}
