#include "mixer/EffectChainFile.h"

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/GenString.h"
#include "base/SerialiseXML.h"
#include "mixer/EffectRack.h"

namespace EffectChainFile
{
bool Load(File::cFileSystem* files, const char* path, cEffectRack& rack)
{
    File::cFile* stream = files ? files->Open(cGenString::ConstructView(path), File::kModeRead, 0) : nullptr;
    if (!stream)
        return false;
    bool loaded = false;
    {
        Base::cSerialiseXML serialiser(kVersion, stream, 0);
        if (serialiser.Begin())
        {
            loaded = rack.LoadDetached(serialiser);
            serialiser.End();
        }
    }
    stream->Close(false);
    delete stream;
    return loaded;
}

bool Save(File::cFileSystem* files, const char* path, cEffectRack& rack)
{
    File::cFile* stream =
        files ? files->Open(cGenString::ConstructView(path), File::kModeWrite, File::kFlagSafeWrite) : nullptr;
    if (!stream)
        return false;
    bool written = false;
    {
        Base::cSerialiseXML serialiser(kVersion, stream, 0);
        if (serialiser.Begin())
        {
            const bool body = rack.Serialise(serialiser);
            written = serialiser.End() && body;
        }
    }
    written = written && stream->GetErrorFlag() == 0;
    // A save that failed anywhere is not committed.
    written = stream->Close(!written) && written;
    delete stream;
    return written;
}
} // namespace EffectChainFile
