#include <memory>

#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"

cMIDIFileSong* LoadMIDIFile(const char* path, cGenString& error)
{
    error.AssignCStr("Unknown Error.");
    File::cFile* file = gFileSystemRegistry ? gFileSystemRegistry->OpenIn("Doc", cGenString(path), File::kModeRead, 0)
                                            : nullptr;
    if (!file)
    {
        error.AssignCStr("Could not open file.");
        return nullptr;
    }
    auto song = std::make_unique<cMIDIFileSong>();
    const int result = cMIDIFileConverter(song.get(), file).Read();
    file->Close(false);
    delete file;
    if (result != 0)
    {
        error.AssignCStr("Could not read this MIDI file.");
        return nullptr;
    }
    return song.release();
}
