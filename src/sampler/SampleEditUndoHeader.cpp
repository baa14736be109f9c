#include "sampler/SampleEditUndoHeader.h"

#include "base/File.h"

bool cSampleEditUndoHeader::Write(File::cFile& file) const
{
    const int32_t words[] = {bytesPerValue, channels, sampleRate, frames, bytes};
    return file.Write(words, kBytes) == kBytes;
}

bool cSampleEditUndoHeader::Read(File::cFile& file)
{
    int32_t words[5] = {};
    if (file.Read(words, kBytes) != kBytes)
        return false;
    *this = {words[0], words[1], words[2], words[3], words[4]};
    return true;
}
